#include "devhost/render/bitmap_images.h"

#include <cmath>
#include <limits>

#include "devhost/core/bitmap_catalog.h"

namespace devhost {

namespace {

uint32_t littleEndian(std::span<const unsigned char> bytes, size_t at, size_t width)
{
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value |= uint32_t{bytes[at + i]} << (8 * i);
    return value;
}

// Scaled sizes are keyed by the scale in ten-thousandths: placements that
// differ by less draw the same.
int scaleKey(double scale)
{
    return static_cast<int>(std::lround(scale * 10000.0));
}

// Pure black is the module's transparent colour.
constexpr uint32_t TransparentBlack = 0x000000;

}  // namespace

std::optional<DecodedBitmap> decodeBmp(std::span<const unsigned char> bytes)
{
    constexpr size_t fileHeader = 14, infoHeaderMin = 40;
    if (bytes.size() < fileHeader + infoHeaderMin || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const uint32_t dataOffset = littleEndian(bytes, 10, 4);
    const uint32_t infoSize = littleEndian(bytes, 14, 4);
    const auto width = static_cast<int32_t>(littleEndian(bytes, 18, 4));
    const auto rawHeight = static_cast<int32_t>(littleEndian(bytes, 22, 4));
    const uint32_t planes = littleEndian(bytes, 26, 2), bits = littleEndian(bytes, 28, 2);
    const uint32_t compression = littleEndian(bytes, 30, 4);
    constexpr uint32_t uncompressed = 0, bitFields = 3;
    constexpr int32_t maxSide = 1 << 14;
    if (infoSize < infoHeaderMin || planes != 1 || (bits != 24 && bits != 32) ||
        !(compression == uncompressed || (compression == bitFields && bits == 32)))
        return std::nullopt;
    if (rawHeight == std::numeric_limits<int32_t>::min() || width <= 0 || width > maxSide || rawHeight == 0 ||
        std::abs(rawHeight) > maxSide)
        return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int height = std::abs(rawHeight);
    const size_t bytesPerPixel = bits / 8;
    const size_t rowBytes = (size_t(width) * bytesPerPixel + 3) & ~size_t{3};
    if (dataOffset > bytes.size() || (bytes.size() - dataOffset) / rowBytes < size_t(height))
        return std::nullopt;

    DecodedBitmap bitmap{.width = width, .height = height, .pixels = std::vector<uint32_t>(size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        const size_t row = dataOffset + size_t(topDown ? y : height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = bytes.data() + row + size_t(x) * bytesPerPixel;  // blue, green, red
            bitmap.pixels[size_t(y) * width + x] = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
        }
    }
    return bitmap;
}

BitmapImages::BitmapImages(const BitmapCatalog& catalog)
    : source_([&catalog](int32_t bitmap) { return catalog.bytes(bitmap); })
{
}

const DecodedBitmap* BitmapImages::decoded(int32_t bitmap)
{
    auto known = decoded_.find(bitmap);
    if (known == decoded_.end())
        known = decoded_.emplace(bitmap, decodeBmp(source_(bitmap))).first;
    if (!known->second) {
        missing_.insert(bitmap);
        return nullptr;
    }
    return &*known->second;
}

std::optional<Point> BitmapImages::size(int32_t bitmap)
{
    const DecodedBitmap* d = decoded(bitmap);
    return d ? std::optional<Point>(Point{d->width, d->height}) : std::nullopt;
}

PreparedBitmap BitmapImages::get(int32_t bitmap, bool keyed, double sx, double sy, Tint tint)
{
    if (tint.none())
        return prepare(bitmap, keyed, sx, sy);
    const auto key = std::make_tuple(bitmap, keyed, scaleKey(sx), scaleKey(sy), tint);
    if (auto known = tinted_.find(key); known != tinted_.end())
        return known->second;
    PreparedBitmap plain = prepare(bitmap, keyed, sx, sy);
    if (!plain)
        return {};
    // Premultiplied pixels stay valid when only their colour shrinks.
    cairo_surface_t* source = plain.surface;
    const int width = cairo_image_surface_get_width(source), height = cairo_image_surface_get_height(source);
    SurfaceHandle copy(cairo_image_surface_create(cairo_image_surface_get_format(source), width, height));
    cairo_surface_flush(source);
    cairo_surface_flush(copy.get());
    const unsigned char* from = cairo_image_surface_get_data(source);
    unsigned char* to = cairo_image_surface_get_data(copy.get());
    if (!from || !to)
        return {};
    const int fromStride = cairo_image_surface_get_stride(source), toStride = cairo_image_surface_get_stride(copy.get());
    auto times = [](uint32_t channel, uint8_t by) { return (channel * by + 127) / 255; };
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(from + size_t(y) * fromStride);
        auto* out = reinterpret_cast<uint32_t*>(to + size_t(y) * toStride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = in[x];
            out[x] = (p & 0xFF000000u) | times(p >> 16 & 0xFF, tint.r) << 16 | times(p >> 8 & 0xFF, tint.g) << 8 |
                     times(p & 0xFF, tint.b);
        }
    }
    cairo_surface_mark_dirty(copy.get());
    PreparedBitmap prepared{.surface = copy.get(), .scaleX = plain.scaleX, .scaleY = plain.scaleY};
    owned_.push_back(std::move(copy));
    tinted_.emplace(key, prepared);
    return prepared;
}

PreparedBitmap BitmapImages::prepare(int32_t bitmap, bool keyed, double sx, double sy)
{
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy))
        return {};
    const auto key = std::make_tuple(bitmap, keyed, scaleKey(sx), scaleKey(sy));
    if (auto known = scaled_.find(key); known != scaled_.end())
        return known->second;
    const DecodedBitmap* d = decoded(bitmap);
    if (!d)
        return {};

    auto& original = originals_[{bitmap, keyed}];
    if (!original) {
        bool anyBlack = false;
        for (uint32_t p : d->pixels)
            anyBlack |= p == TransparentBlack;
        const bool opaque = !keyed || !anyBlack;
        original.reset(cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, d->width,
                                                  d->height));
        cairo_surface_flush(original.get());
        unsigned char* data = cairo_image_surface_get_data(original.get());
        const int stride = cairo_image_surface_get_stride(original.get());
        if (!data)
            return {};
        for (int y = 0; y < d->height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
            for (int x = 0; x < d->width; ++x) {
                const uint32_t p = d->pixels[size_t(y) * d->width + x];
                row[x] = opaque || p != TransparentBlack ? 0xFF000000u | p : 0u;
            }
        }
        cairo_surface_mark_dirty(original.get());
    }

    const int width = std::max(1, static_cast<int>(std::lround(d->width * sx)));
    const int height = std::max(1, static_cast<int>(std::lround(d->height * sy)));
    PreparedBitmap prepared{.surface = original.get()};
    if (width != d->width || height != d->height) {
        // Scaled once with Cairo's good filter, which averages when it shrinks.
        SurfaceHandle scaled(cairo_image_surface_create(cairo_image_surface_get_format(original.get()), width, height));
        ContextHandle cr = newContext(scaled.get());
        prepared.scaleX = double(width) / d->width;
        prepared.scaleY = double(height) / d->height;
        cairo_scale(cr.get(), prepared.scaleX, prepared.scaleY);
        cairo_set_source_surface(cr.get(), original.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
        cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_PAD);
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr.get());
        cr.reset();
        prepared.surface = scaled.get();
        owned_.push_back(std::move(scaled));
    }
    scaled_.emplace(key, prepared);
    return prepared;
}

}  // namespace devhost
