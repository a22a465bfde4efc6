#include "devhost/render/webp_animation.h"

#include <fmt/format.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

#include "devhost/core/file_writer.h"
#include "devhost/render/png_writer.h"
#include "devhost/render/work_line.h"

namespace devhost {

namespace {

constexpr double MillisecondsPerSecond = 1000.0;
// The longest a frame lasts: its duration has 24 bits.
constexpr int LongestFrame = (1 << 24) - 1;
constexpr uint32_t OpaqueAlpha = 0xFF000000u, Transparent = 0;
// Lossless with little effort, as a flight has hundreds of pictures. Method
// 1 is the quickest here: method 0 skips the transforms that make the
// panel's flat colours small and spends longer writing files seven times as
// large.
constexpr float LosslessEffort = 20;
constexpr int LosslessMethod = 1;
// What WebPAnimEncoder wrote: white behind the canvas, played over and over.
constexpr uint32_t Background = 0xFFFFFFFFu;

// A picture's pixels as Cairo keeps them: native-endian words, colour
// premultiplied (ARGB32) or with an unused top byte (RGB24).
struct Pixels {
    const uint32_t* data = nullptr;
    int width = 0, height = 0;
    size_t stride = 0;   // words from one row to the next
    bool opaque = false;

    const uint32_t* row(int y) const { return data + size_t(y) * stride; }
};

// A row of a picture as WebP takes it: straight colour under an alpha byte.
void convertRow(const Pixels& picture, const uint32_t* from, int width, uint32_t* to)
{
    if (picture.opaque)
        std::transform(from, from + width, to, [](uint32_t pixel) { return pixel | OpaqueAlpha; });
    else
        std::transform(from, from + width, to, straightArgb);
}

// A row of a frame laid over the canvas: transparent where the picture did
// not change. Whether every pixel that changed is opaque: one that is not
// would mix with the canvas.
bool overlayRow(const Pixels& picture, const uint32_t* before, const uint32_t* after, int width, uint32_t* to)
{
    if (picture.opaque) {
        for (int x = 0; x < width; ++x)
            to[x] = before[x] == after[x] ? Transparent : after[x] | OpaqueAlpha;
        return true;
    }
    bool opaque = true;
    for (int x = 0; x < width; ++x) {
        const uint32_t pixel = straightArgb(after[x]);
        opaque &= before[x] == after[x] || pixel >= OpaqueAlpha;
        to[x] = before[x] == after[x] ? Transparent : pixel;
    }
    return opaque;
}

Pixels pixelsOf(cairo_surface_t* picture)
{
    cairo_surface_flush(picture);
    return {.data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(picture)),
            .width = cairo_image_surface_get_width(picture),
            .height = cairo_image_surface_get_height(picture),
            .stride = size_t(cairo_image_surface_get_stride(picture)) / sizeof(uint32_t),
            .opaque = cairo_image_surface_get_format(picture) == CAIRO_FORMAT_RGB24};
}

// The smallest box holding every pixel that differs between the two
// pictures, if any does.
std::optional<Box> changedBox(const Pixels& before, const Pixels& now)
{
    int top = -1, bottom = -1, left = now.width, right = -1;
    for (int y = 0; y < now.height; ++y) {
        const uint32_t *a = before.row(y), *b = now.row(y);
        if (std::memcmp(a, b, size_t(now.width) * sizeof(uint32_t)) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (x < left && a[x] == b[x])
            ++x;
        left = x;
        int last = now.width - 1;
        while (last > right && a[last] == b[last])
            --last;
        right = last;
    }
    if (top < 0)
        return std::nullopt;
    return Box{left, top, right - left + 1, bottom - top + 1};
}

// A frame's offsets are kept halved: its box begins on even pixels.
Box evenCorner(Box box)
{
    const int x = box.x & ~1, y = box.y & ~1;
    return {x, y, box.width + box.x - x, box.height + box.y - y};
}

// A frame on its way into the file: the pixels of its box, then the bytes
// they encode to.
struct Frame {
    std::vector<uint32_t> pixels;   // box.width a row
    Box box{};
    WebPMuxAnimBlend blend = WEBP_MUX_NO_BLEND;
    std::vector<uint8_t> bytes;
};

int appendEncoded(const uint8_t* data, size_t size, const WebPPicture* picture)
{
    try {
        auto* out = static_cast<std::vector<uint8_t>*>(picture->custom_ptr);
        out->insert(out->end(), data, data + size);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void encode(const WebPConfig& config, Frame& frame)
{
    frame.bytes.clear();
    WebPPicture picture;
    if (!WebPPictureInit(&picture))
        throw std::runtime_error("the WebP library does not match the one devhost was built with");
    picture.use_argb = 1;
    picture.width = frame.box.width, picture.height = frame.box.height;
    picture.argb = frame.pixels.data(), picture.argb_stride = frame.box.width;
    picture.writer = appendEncoded, picture.custom_ptr = &frame.bytes;
    const bool done = WebPEncode(&config, &picture);
    const WebPEncodingError error = picture.error_code;
    WebPPictureFree(&picture);
    if (!done)
        throw std::runtime_error(fmt::format("WebP could not encode a frame (error {})", int(error)));
}

struct MuxRelease {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};
struct DataRelease {
    void operator()(WebPData* data) const { WebPDataClear(data); }
};

// Written beside the file and renamed over it whole: a full disk leaves no
// partial picture under the name asked for.
WebPConfig losslessConfig()
{
    WebPConfig config;
    if (!WebPConfigInit(&config))
        throw std::runtime_error("the WebP library does not match the one devhost was built with");
    config.lossless = 1;
    config.quality = LosslessEffort;
    config.method = LosslessMethod;
    // The colour under transparent pixels is already zero.
    config.exact = 1;
    return config;
}

class WebPAnimation final : public AnimationSink {
public:
    WebPAnimation(std::filesystem::path path, double secondsEach)
        : path_(std::move(path)), secondsEach_(secondsEach), mux_(WebPMuxNew()),
          line_([config = losslessConfig()](Frame& frame) { encode(config, frame); })
    {
        if (!mux_)
            throw std::runtime_error("out of memory for the animation");
    }

    void add(cairo_surface_t* picture) override
    {
        const Pixels now = pixelsOf(picture);
        if (count_ == 0) {
            if (now.width <= 0 || now.height <= 0 || now.width > WEBP_MAX_DIMENSION || now.height > WEBP_MAX_DIMENSION)
                throw std::runtime_error(
                    fmt::format("{}: WebP cannot hold {}x{} pictures", path_.string(), now.width, now.height));
            shown_.resize(size_t(now.width) * size_t(now.height));
            submit(now, {0, 0, now.width, now.height});
        } else if (now.width != shownPixels().width || now.height != shownPixels().height) {
            throw std::logic_error("the pictures of one animation differ in size");
        } else if (const std::optional<Box> changed =
                       now.opaque == opaque_ ? changedBox(shownPixels(), now) : Box{0, 0, now.width, now.height}) {
            submit(now, evenCorner(*changed));
        } else if (timestamp(count_ + 1) - starts_.back() > LongestFrame) {
            // Held too long for one frame: a frame of one unchanged pixel
            // goes on showing the picture.
            submit(now, {0, 0, 1, 1});
        }
        ++count_;
    }

    void finish() override
    {
        if (count_ == 0)
            throw std::logic_error("an animation without pictures");
        if (starts_.size() == 1 && frames_ == 0) {
            // One picture (or all alike): a still.
            const std::unique_ptr<Frame> only = encoded();
            writeFileWhole(path_, {reinterpret_cast<const char*>(only->bytes.data()), only->bytes.size()});
            return;
        }
        while (!starts_.empty())
            retire();
        WebPData data;
        WebPDataInit(&data);
        const std::unique_ptr<WebPData, DataRelease> assembly(&data);
        const WebPMuxError assembled = WebPMuxAssemble(mux_.get(), &data);
        if (assembled != WEBP_MUX_OK)
            throw std::runtime_error(fmt::format("{}: WebP could not put the animation together (error {})",
                                                 path_.string(), int(assembled)));
        writeFileWhole(path_, {reinterpret_cast<const char*>(data.bytes), data.size});
    }

private:
    // At least a millisecond apart, the finest step WebP keeps.
    int timestamp(size_t picture) const
    {
        return int(std::max<double>(double(picture), std::round(double(picture) * secondsEach_ * MillisecondsPerSecond)));
    }

    // The picture as the frames so far leave the canvas: the last one handed in.
    Pixels shownPixels() const
    {
        return {.data = shown_.data(), .width = width_, .height = height_, .stride = size_t(width_), .opaque = opaque_};
    }

    // A frame of `box` for the line: after the first, the changed pixels
    // over transparent ones, which leave the canvas as it is, unless a
    // changed pixel is itself not opaque (laid over the canvas it would mix
    // with what was there): then all of them, replacing the canvas's.
    void submit(const Pixels& now, Box box)
    {
        std::unique_ptr<Frame> frame = line_.blank();
        frame->box = box;
        frame->pixels.resize(size_t(box.width) * size_t(box.height));
        bool blend = count_ > 0 && now.opaque == opaque_;   // the same words mean the same pixels
        for (int y = box.y; blend && y < box.y + box.height; ++y)
            blend = overlayRow(now, shown_.data() + size_t(y) * size_t(width_) + box.x, now.row(y) + box.x, box.width,
                               frame->pixels.data() + size_t(y - box.y) * size_t(box.width));
        for (int y = box.y; !blend && y < box.y + box.height; ++y)
            convertRow(now, now.row(y) + box.x, box.width, frame->pixels.data() + size_t(y - box.y) * size_t(box.width));
        frame->blend = blend ? WEBP_MUX_BLEND : WEBP_MUX_NO_BLEND;
        for (int y = box.y; y < box.y + box.height; ++y)
            std::copy_n(now.row(y) + box.x, box.width, shown_.data() + size_t(y) * size_t(now.width) + box.x);
        width_ = now.width, height_ = now.height, opaque_ = now.opaque;

        line_.submit(std::move(frame));
        starts_.push_back(timestamp(count_));
        if (line_.full())
            retire();
    }

    std::unique_ptr<Frame> encoded()
    {
        try {
            return line_.oldest();
        } catch (const std::runtime_error& error) {
            throw std::runtime_error(fmt::format("{}: {}", path_.string(), error.what()));
        }
    }

    // The oldest frame into the mux; it lasts until the next begins or the
    // animation ends.
    void retire()
    {
        std::unique_ptr<Frame> frame = encoded();
        const int start = starts_.front();
        starts_.pop_front();
        const int end = starts_.empty() ? timestamp(count_) : starts_.front();
        if (frames_ == 0) {
            const WebPMuxAnimParams looping{.bgcolor = Background, .loop_count = 0};
            if (WebPMuxSetCanvasSize(mux_.get(), width_, height_) != WEBP_MUX_OK ||
                WebPMuxSetAnimationParams(mux_.get(), &looping) != WEBP_MUX_OK)
                throw std::runtime_error(fmt::format("{}: WebP refused the animation's size", path_.string()));
        }
        const WebPMuxFrameInfo info{.bitstream = {frame->bytes.data(), frame->bytes.size()},
                                    .x_offset = frame->box.x,
                                    .y_offset = frame->box.y,
                                    .duration = end - start,
                                    .id = WEBP_CHUNK_ANMF,
                                    .dispose_method = WEBP_MUX_DISPOSE_NONE,
                                    .blend_method = frame->blend,
                                    .pad = {}};
        if (WebPMuxPushFrame(mux_.get(), &info, 1) != WEBP_MUX_OK)
            throw std::runtime_error(fmt::format("{}: WebP could not take a frame", path_.string()));
        ++frames_;
        line_.giveBack(std::move(frame));
    }

    std::filesystem::path path_;
    double secondsEach_;
    std::unique_ptr<WebPMux, MuxRelease> mux_;
    std::vector<uint32_t> shown_;   // the last picture, as Cairo keeps it, rows packed
    int width_ = 0, height_ = 0;
    bool opaque_ = false;
    std::deque<int> starts_;        // ms: where each frame in the line begins
    size_t count_ = 0;              // pictures taken
    size_t frames_ = 0;             // frames in the mux
    WorkLine<Frame> line_;          // last: its threads stop before the rest goes
};

}  // namespace

std::unique_ptr<AnimationSink> openWebPAnimation(std::filesystem::path path, double secondsEach)
{
    return std::make_unique<WebPAnimation>(std::move(path), secondsEach);
}

}  // namespace devhost
