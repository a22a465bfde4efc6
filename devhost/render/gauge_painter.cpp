#include "devhost/render/gauge_painter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "devhost/core/geometry.h"
#include "devhost/render/turned_blit.h"

namespace devhost {

namespace {

constexpr double Radians = std::numbers::pi / 180.0;

// Windows text-drawing flags the strings use.
constexpr uint32_t TextCentre = 0x01, TextRight = 0x02, TextVCentre = 0x04, TextBottom = 0x08,
                   TextNoClip = 0x100;
constexpr int32_t BoldWeight = 600;

// Text drawn without clipping may reach anywhere.
constexpr double Unbounded = 1 << 20;

std::string boundedText(const char* text, size_t limit)
{
    return text ? std::string(text, strnlen(text, limit)) : std::string();
}

// A Windows colour word, 0x00BBGGRR, in the light the element is seen in.
void setColour(cairo_t* cr, uint32_t colour, Tint tint)
{
    cairo_set_source_rgb(cr, (colour & 0xFF) * tint.r / (255.0 * 255.0), (colour >> 8 & 0xFF) * tint.g / (255.0 * 255.0),
                         (colour >> 16 & 0xFF) * tint.b / (255.0 * 255.0));
}

// Needles are drawn at angles a step apart, a power-of-two fraction of a
// degree that moves no point of the gauge's face by more than a sixteenth
// of a device pixel about the needle's pivot. Nobody could see the
// difference, but a needle creeping slower than that is drawn again only
// every few frames, and a picture still depends on the angle alone, however
// it was reached. Whole and half degrees are drawn as they are.
double drawnAngle(double angle, const GaugeElement& needle, Point face, GaugeScale scale)
{
    constexpr double Movement = 1.0 / 16;  // device pixels
    if (!std::isfinite(angle))
        return angle;
    double farthestSquared = 1;
    for (Point corner : {Point{0, 0}, Point{face.x, 0}, Point{0, face.y}, face}) {
        const double dx = (corner.x - needle.position.x) * scale.x, dy = (corner.y - needle.position.y) * scale.y;
        farthestSquared = std::max(farthestSquared, dx * dx + dy * dy);
    }
    // The least power of two at or above the steps a degree needs; this runs
    // for every needle every frame, so without logarithms.
    int exponent = 0;
    const double fraction = std::frexp(std::sqrt(farthestSquared) * Radians / Movement, &exponent);
    const double stepsPerDegree = std::ldexp(1.0, fraction == 0.5 ? exponent - 1 : exponent);
    return std::round(std::fmod(angle, 360.0) * stepsPerDegree) / stepsPerDegree;
}

// The rectangle an element covers, in device pixels.
struct Extent {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    void add(double x, double y)
    {
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x), bottom = std::max(bottom, y);
    }
    void addRectangle(double x, double y, double width, double height)
    {
        add(x, y);
        add(x + width, y + height);
    }
    bool empty() const { return !(left <= right && top <= bottom); }
};

// Places and draws elements; with an extent given, only measures where
// they would draw, by the same placing.
class Painter {
public:
    Painter(cairo_t* cr, BitmapImages& images, GaugeScale scale, Point face, Extent* measure = nullptr,
            const Lighting& lighting = {}, TurnedPictures* kept = nullptr)
        : cr_(cr), images_(images), scale_(scale), face_(face), measure_(measure), lighting_(lighting), kept_(kept)
    {
    }

    void element(const GaugeElement& record, const ElementSnapshot& shown, size_t index = 0)
    {
        index_ = index;
        tint_ = lighting_.tintFor(record.imageFlags);
        const bool keyed = (record.imageFlags & ImageTransparent) != 0;
        switch (record.kind) {
        case StaticImage: blit(record.bitmap, keyed, record.position.x, record.position.y); break;
        case Icon:
            if (shown.frame)
                blit(record.bitmap + *shown.frame, keyed, record.position.x, record.position.y);
            break;
        case Slider:
            blit(record.bitmap, keyed, record.position.x + shown.xOffset, record.position.y + shown.yOffset);
            break;
        case Needle: needle(record, shown, keyed); break;
        case MovingImage: movingImage(record, shown, keyed); break;
        case Sprite: sprite(reinterpret_cast<const SpriteElement&>(record), shown, keyed); break;
        case String: drawString(reinterpret_cast<const StringElement&>(record)); break;
        }
    }

private:
    PreparedBitmap prepared(int32_t bitmap, bool keyed)
    {
        return images_.get(bitmap, keyed, scale_.x, scale_.y, tint_);
    }

    // Whole device pixels, so that an unturned bitmap is a plain copy;
    // offsets far off the gauge are held where Cairo's fixed point holds them.
    double deviceX(double x) const { return std::clamp(std::round(x * scale_.x), -Unbounded, Unbounded); }
    double deviceY(double y) const { return std::clamp(std::round(y * scale_.y), -Unbounded, Unbounded); }

    void blit(int32_t bitmap, bool keyed, double x, double y)
    {
        PreparedBitmap image = prepared(bitmap, keyed);
        if (!image)
            return;
        if (measure_) {
            measure_->addRectangle(deviceX(x), deviceY(y), cairo_image_surface_get_width(image.surface),
                                   cairo_image_surface_get_height(image.surface));
            return;
        }
        cairo_set_source_surface(cr_, image.surface, deviceX(x), deviceY(y));
        cairo_paint(cr_);
    }

    // Paints a bitmap through a transformation from its own pixels to the
    // gauge's pixels.
    void transformed(const PreparedBitmap& image, cairo_matrix_t ownToGauge)
    {
        cairo_matrix_t toDevice;
        cairo_matrix_init_scale(&toDevice, scale_.x, scale_.y);
        cairo_matrix_multiply(&toDevice, &ownToGauge, &toDevice);
        cairo_matrix_scale(&toDevice, 1.0 / image.scaleX, 1.0 / image.scaleY);
        // A transformation Cairo cannot take (a value far out of any range)
        // would put the whole context into an error state and blank every
        // element after this one: such an element is not drawn.
        for (double part : {toDevice.xx, toDevice.yx, toDevice.xy, toDevice.yy, toDevice.x0, toDevice.y0})
            if (!(std::abs(part) < Unbounded))
                return;
        const Box& ink = image.inked;
        if (ink.width <= 0 || ink.height <= 0)
            return;
        // The inked part's corners turned, a texel around it for the
        // bilinear filter's reach: no pixel outside takes any colour.
        std::array<std::pair<double, double>, 4> corner = {{{ink.x - 1.0, ink.y - 1.0},
                                                             {ink.x + ink.width + 1.0, ink.y - 1.0},
                                                             {ink.x + ink.width + 1.0, ink.y + ink.height + 1.0},
                                                             {ink.x - 1.0, ink.y + ink.height + 1.0}}};
        Extent box;
        for (auto& [x, y] : corner) {
            cairo_matrix_transform_point(&toDevice, &x, &y);
            box.add(std::floor(x), std::floor(y));
            box.add(std::ceil(x), std::ceil(y));
        }
        if (measure_) {
            measure_->add(box.left, box.top);
            measure_->add(box.right, box.bottom);
            return;
        }
        drawKept(image, toDevice, box);
    }

    // Draws the element's kept picture, turned anew first unless it was
    // turned from the same bitmap by the same matrix within the same
    // window. Only the gauge's own rectangle is kept: nothing beyond it
    // is ever shown.
    void drawKept(const PreparedBitmap& image, const cairo_matrix_t& toDevice, const Extent& reach)
    {
        const Box reached{int(reach.left), int(reach.top), int(reach.right - reach.left),
                          int(reach.bottom - reach.top)};
        const Box face{0, 0, int(std::lround(face_.x * scale_.x)), int(std::lround(face_.y * scale_.y))};
        std::optional<Box> at = intersection(reached, face);
        if (at && opening_)
            at = intersection(*at, *opening_);
        if (!at)
            return;
        if (kept_->size() <= index_)
            kept_->resize(index_ + 1);
        TurnedPicture& kept = (*kept_)[index_];
        auto same = [](const cairo_matrix_t& a, const cairo_matrix_t& b) {
            return a.xx == b.xx && a.yx == b.yx && a.xy == b.xy && a.yy == b.yy && a.x0 == b.x0 && a.y0 == b.y0;
        };
        const bool sized = kept.picture && kept.at.width == at->width && kept.at.height == at->height;
        if (!sized || kept.bitmap != image.surface || kept.at.x != at->x || kept.at.y != at->y ||
            !same(kept.toDevice, toDevice)) {
            if (!sized)
                kept.picture = newImage(at->width, at->height);
            cairo_surface_t* picture = kept.picture.get();
            cairo_surface_flush(picture);
            const ImagePixels pixels = pixelsOf(picture);
            if (!pixels.data) {
                kept.picture.reset();  // too large to allocate: not drawn
                return;
            }
            if (sized)
                std::memset(pixels.data, 0, size_t(pixels.stride) * pixels.height);
            cairo_matrix_t pictureToSource = toDevice;
            pictureToSource.x0 -= at->x;
            pictureToSource.y0 -= at->y;
            if (cairo_matrix_invert(&pictureToSource) == CAIRO_STATUS_SUCCESS)
                drawTurned(pixels, Box{0, 0, at->width, at->height}, pixelsOf(image.surface), image.inked,
                       pictureToSource);
            cairo_surface_mark_dirty(picture);
            kept.bitmap = image.surface;
            kept.toDevice = toDevice;
            kept.at = *at;
        }
        cairo_set_source_surface(cr_, kept.picture.get(), at->x, at->y);
        cairo_paint(cr_);
    }

    void needle(const GaugeElement& record, const ElementSnapshot& shown, bool keyed)
    {
        PreparedBitmap image = prepared(record.bitmap, keyed);
        const double angle = drawnAngle(shown.angle, record, face_, scale_);
        if (!image || !std::isfinite(angle))
            return;
        cairo_matrix_t m;
        cairo_matrix_init_translate(&m, record.position.x, record.position.y);
        cairo_matrix_rotate(&m, angle * Radians);
        cairo_matrix_translate(&m, -record.offset.x, -record.offset.y);
        transformed(image, m);
    }

    // Clips to the window bitmap's rectangle at the position; the window is
    // drawn over what was drawn inside by closeWindow.
    bool openWindow(const GaugeElement& record, const PreparedBitmap& window)
    {
        if (!window)
            return false;
        if (measure_) {
            // Nothing it shows reaches beyond its window.
            measure_->addRectangle(deviceX(record.position.x), deviceY(record.position.y),
                                   cairo_image_surface_get_width(window.surface),
                                   cairo_image_surface_get_height(window.surface));
            return false;
        }
        const Box opening{int(deviceX(record.position.x)), int(deviceY(record.position.y)),
                          cairo_image_surface_get_width(window.surface),
                          cairo_image_surface_get_height(window.surface)};
        cairo_save(cr_);
        cairo_rectangle(cr_, opening.x, opening.y, opening.width, opening.height);
        cairo_clip(cr_);
        opening_ = opening;
        return true;
    }

    void closeWindow(const GaugeElement& record, const PreparedBitmap& window)
    {
        cairo_restore(cr_);
        opening_.reset();
        cairo_set_source_surface(cr_, window.surface, deviceX(record.position.x), deviceY(record.position.y));
        cairo_paint(cr_);
    }

    void movingImage(const GaugeElement& record, const ElementSnapshot& shown, bool keyed)
    {
        PreparedBitmap window = prepared(record.bitmap + 1, true);
        if (!openWindow(record, window))
            return;
        blit(record.bitmap, keyed, record.position.x - shown.xOffset, record.position.y - shown.yOffset);
        closeWindow(record, window);
    }

    void sprite(const SpriteElement& sprite, const ElementSnapshot& shown, bool keyed)
    {
        const GaugeElement& record = sprite.common;
        PreparedBitmap window = prepared(record.bitmap + 1, true);
        PreparedBitmap texture = prepared(record.bitmap, keyed);
        auto textureSize = images_.size(record.bitmap);
        if (!openWindow(record, window))
            return;
        if (texture && textureSize && std::isfinite(shown.rotation)) {
            auto textureScale = [](float s) { return std::isfinite(s) && s > 0 ? double(s) : 1.0; };
            cairo_matrix_t m;
            cairo_matrix_init_translate(&m, record.offset.x, record.offset.y);
            cairo_matrix_rotate(&m, -shown.rotation * Radians);
            cairo_matrix_translate(&m, shown.xOffset, shown.yOffset);
            cairo_matrix_scale(&m, textureScale(sprite.textureScaleX), textureScale(sprite.textureScaleY));
            cairo_matrix_translate(&m, -textureSize->x / 2.0, -textureSize->y / 2.0);
            transformed(texture, m);
        }
        closeWindow(record, window);
    }

    void drawString(const StringElement& string)
    {
        const std::string text = boundedText(string.text, string.characters);
        const std::string face = boundedText(string.fontFace, sizeof string.fontFace);
        const double x = deviceX(string.common.position.x), y = deviceY(string.common.position.y);
        const double width = string.box.x * scale_.x, height = string.box.y * scale_.y;
        if (!(width > 0) || !(height > 0))
            return;
        if (measure_) {
            if (string.drawFlags & TextNoClip)
                measure_->addRectangle(-Unbounded, -Unbounded, 2 * Unbounded, 2 * Unbounded);
            else
                measure_->addRectangle(x, y, std::ceil(width), std::ceil(height));
            return;
        }
        cairo_save(cr_);
        if (!(string.drawFlags & TextNoClip)) {
            cairo_rectangle(cr_, x, y, width, height);
            cairo_clip(cr_);
        }
        if (!(string.common.imageFlags & ImageTransparent)) {
            setColour(cr_, string.secondColour, tint_);
            cairo_rectangle(cr_, x, y, width, height);
            cairo_fill(cr_);
        }
        // The font's cell, ascent to descent, fills the box's height, as a
        // Windows font asked for by cell height does.
        cairo_select_font_face(cr_, face.empty() ? "Arial" : face.c_str(), CAIRO_FONT_SLANT_NORMAL,
                               string.fontWeight >= BoldWeight ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr_, 1.0);
        cairo_font_extents_t unit;
        cairo_font_extents(cr_, &unit);
        const double cell = unit.ascent + unit.descent > 0 ? unit.ascent + unit.descent : 1.0;
        cairo_set_font_size(cr_, height / cell);
        cairo_font_extents_t font;
        cairo_font_extents(cr_, &font);
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, text.c_str(), &extents);
        double left = x, baseline = y + font.ascent;
        if (string.drawFlags & TextCentre)
            left = x + (width - extents.x_advance) / 2;
        else if (string.drawFlags & TextRight)
            left = x + width - extents.x_advance;
        if (string.drawFlags & TextVCentre)
            baseline = y + (height - (font.ascent + font.descent)) / 2 + font.ascent;
        else if (string.drawFlags & TextBottom)
            baseline = y + height - font.descent;
        setColour(cr_, string.textColour, tint_);
        cairo_move_to(cr_, left, baseline);
        cairo_show_text(cr_, text.c_str());
        cairo_restore(cr_);
    }

    cairo_t* cr_;
    BitmapImages& images_;
    GaugeScale scale_;
    Point face_;  // the gauge's own pixels
    Extent* measure_;
    Lighting lighting_;
    Tint tint_;
    std::optional<Box> opening_;    // the window open, if one is
    TurnedPictures* kept_;
    size_t index_ = 0;              // the element being drawn
};

}  // namespace

GaugeScale placedScale(const GaugeInstance& gauge)
{
    const Point size = gauge.size(), own = gauge.gaugePixels();
    auto ratio = [](int placed, int pixels) { return placed > 0 && pixels > 0 ? double(placed) / pixels : 1.0; };
    return {ratio(size.x, own.x), ratio(size.y, own.y)};
}

std::optional<Box> elementBounds(const GaugeInstance& gauge, size_t index, BitmapImages& images)
{
    const GaugeElement& record = *gauge.elements()[index].element;
    if (record.imageFlags & ImageHidden)
        return std::nullopt;
    Extent extent;
    Painter(nullptr, images, placedScale(gauge), gauge.gaugePixels(), &extent).element(record, gauge.elements()[index].shown);
    if (extent.empty())
        return std::nullopt;
    auto whole = [](double v) { return static_cast<int32_t>(std::clamp(v, -Unbounded, Unbounded)); };
    const int32_t left = whole(std::floor(extent.left)), top = whole(std::floor(extent.top));
    return Box{left, top, whole(std::ceil(extent.right)) - left, whole(std::ceil(extent.bottom)) - top};
}

void paintGauge(cairo_t* cr, const GaugeInstance& gauge, BitmapImages& images, GaugeScale scale,
                const ElementFilter& only, const Lighting& lighting, TurnedPictures* kept)
{
    TurnedPictures once;  // for a caller that keeps none
    Painter painter(cr, images, scale, gauge.gaugePixels(), nullptr, lighting, kept ? kept : &once);
    const auto& slots = gauge.elements();
    for (size_t i = 0; i < slots.size(); ++i) {
        const GaugeElement& record = *slots[i].element;
        if ((record.imageFlags & ImageHidden) || (only && !only(i)))
            continue;
        painter.element(record, slots[i].shown, i);
    }
}

SurfaceHandle renderGauge(const GaugeInstance& gauge, BitmapImages& images, GaugeScale scale,
                          const ElementFilter& only, const Lighting& lighting)
{
    const Point own = gauge.gaugePixels();
    SurfaceHandle surface = newImage(std::max(1, static_cast<int>(std::lround(own.x * scale.x))),
                                     std::max(1, static_cast<int>(std::lround(own.y * scale.y))));
    ContextHandle cr = newContext(surface.get());
    paintGauge(cr.get(), gauge, images, scale, only, lighting);
    return surface;
}

GaugeDisplay displayOf(const GaugeInstance& gauge)
{
    GaugeDisplay display;
    display.reserve(gauge.elements().size());
    for (const GaugeInstance::Slot& slot : gauge.elements()) {
        const GaugeElement& record = *slot.element;
        const ElementSnapshot& shown = slot.shown;
        ElementDisplay& e = display.emplace_back();
        // The luminous bit too: the transponder lights its wheels at run time.
        e.numbers[0] = double(record.imageFlags & (ImageHidden | ImageLuminous));
        e.numbers[1] = record.bitmap;
        switch (record.kind) {
        case StaticImage: break;
        case Needle: e.numbers[2] = drawnAngle(shown.angle, record, gauge.gaugePixels(), placedScale(gauge)); break;
        case Icon: e.numbers[2] = shown.frame ? *shown.frame : -1; break;
        case Slider:
        case MovingImage: e.numbers[2] = shown.xOffset, e.numbers[3] = shown.yOffset; break;
        case Sprite:
            e.numbers[2] = shown.xOffset, e.numbers[3] = shown.yOffset, e.numbers[4] = shown.rotation;
            break;
        case String: {
            const auto& string = reinterpret_cast<const StringElement&>(record);
            e.numbers[2] = string.textColour, e.numbers[3] = string.secondColour;
            e.text = boundedText(string.text, string.characters) + '\0' +
                     boundedText(string.fontFace, sizeof string.fontFace);
            break;
        }
        }
    }
    return display;
}

}  // namespace devhost
