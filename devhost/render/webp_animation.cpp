#include "devhost/render/webp_animation.h"

#include <fmt/format.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "devhost/render/png_writer.h"

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

// A picture as WebP takes it: ARGB words, colour straight (not
// premultiplied), row after row without padding.
struct Canvas {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    std::span<uint32_t> row(int y) { return {pixels.data() + size_t(y) * size_t(width), size_t(width)}; }
    std::span<const uint32_t> row(int y) const { return {pixels.data() + size_t(y) * size_t(width), size_t(width)}; }
};

// Cairo's native-endian pixels into the canvas: RGB24's unused byte made
// opaque, ARGB32's colour made straight.
void readPicture(cairo_surface_t* picture, Canvas& canvas)
{
    cairo_surface_flush(picture);
    const bool opaque = cairo_image_surface_get_format(picture) == CAIRO_FORMAT_RGB24;
    const int stride = cairo_image_surface_get_stride(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    for (int y = 0; y < canvas.height; ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        const std::span<uint32_t> to = canvas.row(y);
        if (opaque)
            std::transform(from, from + canvas.width, to.begin(), [](uint32_t p) { return p | OpaqueAlpha; });
        else
            std::transform(from, from + canvas.width, to.begin(), straightArgb);
    }
}

// The smallest box holding every pixel that differs between the two
// canvases, if any does.
std::optional<Box> changedBox(const Canvas& before, const Canvas& now)
{
    int top = -1, bottom = -1, left = now.width, right = -1;
    for (int y = 0; y < now.height; ++y) {
        const std::span<const uint32_t> a = before.row(y), b = now.row(y);
        if (std::memcmp(a.data(), b.data(), a.size_bytes()) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (x < left && a[size_t(x)] == b[size_t(x)])
            ++x;
        left = x;
        int last = now.width - 1;
        while (last > right && a[size_t(last)] == b[size_t(last)])
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

int appendEncoded(const uint8_t* data, size_t size, const WebPPicture* picture)
{
    auto* out = static_cast<std::vector<uint8_t>*>(picture->custom_ptr);
    out->insert(out->end(), data, data + size);
    return 1;
}

struct MuxRelease {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};

// Written beside the file and renamed over it whole: a full disk leaves no
// partial picture under the name asked for.
void writeWhole(const std::filesystem::path& path, const uint8_t* bytes, size_t size)
{
    std::filesystem::path partial = path;
    partial += ".partial";
    std::ofstream out(partial, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes), std::streamsize(size));
    out.close();
    std::error_code error;
    if (out)
        std::filesystem::rename(partial, path, error);
    if (!out || error) {
        std::filesystem::remove(partial, error);
        throw std::runtime_error("cannot write " + path.string());
    }
}

class WebPAnimation final : public AnimationSink {
public:
    WebPAnimation(std::filesystem::path path, double secondsEach)
        : path_(std::move(path)), secondsEach_(secondsEach), mux_(WebPMuxNew())
    {
        if (!WebPConfigInit(&config_) || !mux_)
            throw std::runtime_error("the WebP library does not match the one devhost was built with");
        config_.lossless = 1;
        config_.quality = LosslessEffort;
        config_.method = LosslessMethod;
        // The colour under transparent pixels is already zero.
        config_.exact = 1;
    }

    void add(cairo_surface_t* picture) override
    {
        const int width = cairo_image_surface_get_width(picture), height = cairo_image_surface_get_height(picture);
        if (count_ == 0) {
            if (width <= 0 || height <= 0 || width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION)
                throw std::runtime_error(fmt::format("{}: WebP cannot hold {}x{} pictures", path_.string(), width, height));
            for (Canvas* canvas : {&shown_, &next_})
                canvas->width = width, canvas->height = height, canvas->pixels.resize(size_t(width) * size_t(height));
            readPicture(picture, shown_);
            encode(shown_.pixels.data(), {0, 0, width, height}, width, WEBP_MUX_NO_BLEND);
            begin(0);
            ++count_;
            return;
        }
        if (width != shown_.width || height != shown_.height)
            throw std::logic_error("the pictures of one animation differ in size");
        readPicture(picture, next_);
        const int start = timestamp(count_);
        if (const std::optional<Box> changed = changedBox(shown_, next_)) {
            overlay(evenCorner(*changed));
            std::swap(shown_, next_);
            begin(start);
        } else if (timestamp(count_ + 1) - pending_.start > LongestFrame) {
            // Held too long for one frame: a frame of one unchanged pixel
            // goes on showing the picture.
            encode(shown_.pixels.data(), {0, 0, 1, 1}, width, WEBP_MUX_NO_BLEND);
            begin(start);
        }
        ++count_;
    }

    void finish() override
    {
        if (count_ == 0)
            throw std::logic_error("an animation without pictures");
        if (frames_ == 0) {
            // One picture (or all alike): a still.
            writeWhole(path_, pending_.bytes.data(), pending_.bytes.size());
            return;
        }
        push(timestamp(count_));
        WebPData data;
        WebPDataInit(&data);
        const WebPMuxError assembled = WebPMuxAssemble(mux_.get(), &data);
        if (assembled != WEBP_MUX_OK) {
            WebPDataClear(&data);
            throw std::runtime_error(fmt::format("{}: WebP could not put the animation together (error {})",
                                                 path_.string(), int(assembled)));
        }
        try {
            writeWhole(path_, data.bytes, data.size);
        } catch (...) {
            WebPDataClear(&data);
            throw;
        }
        WebPDataClear(&data);
    }

private:
    // A frame encoded and waiting for the next change to know how long it
    // shows.
    struct Frame {
        std::vector<uint8_t> bytes;
        Box box{};
        WebPMuxAnimBlend blend = WEBP_MUX_NO_BLEND;
        int start = 0;
    };

    // At least a millisecond apart, the finest step WebP keeps.
    int timestamp(size_t picture) const
    {
        return int(std::max<double>(double(picture), std::round(double(picture) * secondsEach_ * MillisecondsPerSecond)));
    }

    // The frame for next_ over `box` of shown_: the changed pixels over
    // transparent ones, unless a changed pixel is itself not opaque (laid
    // over the canvas it would mix with what was there): then all of them,
    // replacing the canvas's.
    void overlay(Box box)
    {
        patch_.resize(size_t(box.width) * size_t(box.height));
        bool blendable = true;
        uint32_t* out = patch_.data();
        for (int y = box.y; y < box.y + box.height; ++y) {
            const uint32_t* before = shown_.row(y).data() + box.x;
            const uint32_t* now = next_.row(y).data() + box.x;
            for (int x = 0; x < box.width; ++x) {
                const bool same = before[x] == now[x];
                blendable &= same || now[x] >= OpaqueAlpha;
                *out++ = same ? Transparent : now[x];
            }
        }
        if (blendable)
            return encode(patch_.data(), box, box.width, WEBP_MUX_BLEND);
        encode(next_.row(box.y).data() + box.x, box, next_.width, WEBP_MUX_NO_BLEND);
    }

    // Encodes the pixels of the box (rows `stride` words apart) as the
    // frame to come.
    void encode(uint32_t* pixels, Box box, int stride, WebPMuxAnimBlend blend)
    {
        encoded_.bytes.clear();
        encoded_.box = box, encoded_.blend = blend;
        WebPPicture frame;
        if (!WebPPictureInit(&frame))
            throw std::runtime_error("the WebP library does not match the one devhost was built with");
        frame.use_argb = 1;
        frame.width = box.width, frame.height = box.height;
        frame.argb = pixels, frame.argb_stride = stride;
        frame.writer = appendEncoded, frame.custom_ptr = &encoded_.bytes;
        const bool done = WebPEncode(&config_, &frame);
        const WebPEncodingError error = frame.error_code;
        WebPPictureFree(&frame);
        if (!done)
            throw std::runtime_error(
                fmt::format("{}: WebP could not take picture {} (error {})", path_.string(), count_, int(error)));
    }

    // The frame just encoded begins at `start` ms: the one before it ends there.
    void begin(int start)
    {
        if (count_ > 0)
            push(start);
        std::swap(pending_, encoded_);
        pending_.start = start;
    }

    void push(int end)
    {
        if (frames_ == 0) {
            const WebPMuxAnimParams looping{.bgcolor = Background, .loop_count = 0};
            if (WebPMuxSetCanvasSize(mux_.get(), shown_.width, shown_.height) != WEBP_MUX_OK ||
                WebPMuxSetAnimationParams(mux_.get(), &looping) != WEBP_MUX_OK)
                throw std::runtime_error(fmt::format("{}: WebP refused the animation's size", path_.string()));
        }
        const WebPMuxFrameInfo frame{.bitstream = {pending_.bytes.data(), pending_.bytes.size()},
                                     .x_offset = pending_.box.x,
                                     .y_offset = pending_.box.y,
                                     .duration = end - pending_.start,
                                     .id = WEBP_CHUNK_ANMF,
                                     .dispose_method = WEBP_MUX_DISPOSE_NONE,
                                     .blend_method = pending_.blend,
                                     .pad = {}};
        if (WebPMuxPushFrame(mux_.get(), &frame, 1) != WEBP_MUX_OK)
            throw std::runtime_error(fmt::format("{}: WebP could not take a frame", path_.string()));
        ++frames_;
    }

    std::filesystem::path path_;
    double secondsEach_;
    WebPConfig config_{};
    std::unique_ptr<WebPMux, MuxRelease> mux_;
    Canvas shown_, next_;               // the canvas as the frames so far leave it; the picture coming
    std::vector<uint32_t> patch_;       // the rectangle a frame lays over it
    Frame pending_, encoded_;
    size_t count_ = 0;                  // pictures taken
    size_t frames_ = 0;                 // frames in the mux
};

}  // namespace

std::unique_ptr<AnimationSink> openWebPAnimation(std::filesystem::path path, double secondsEach)
{
    return std::make_unique<WebPAnimation>(std::move(path), secondsEach);
}

}  // namespace devhost
