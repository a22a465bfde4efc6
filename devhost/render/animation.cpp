#include "devhost/render/animation.h"

#include <fmt/format.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "devhost/render/panel_renderer.h"

namespace devhost {

namespace {

// Frame times land on whole steps despite the step's binary rounding.
constexpr double StepSlack = 1e-9;
constexpr double MillisecondsPerSecond = 1000.0;
// The encoder's effort for lossless pictures: quick, as a flight has many.
constexpr float LosslessEffort = 20.0f;
constexpr int LosslessMethod = 1;

// Cairo's pixels as straight (not premultiplied) BGRA bytes, as WebP takes them.
std::vector<uint8_t> straightBgra(cairo_surface_t* picture)
{
    cairo_surface_flush(picture);
    const int width = cairo_image_surface_get_width(picture), height = cairo_image_surface_get_height(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const bool opaque = cairo_image_surface_get_format(picture) == CAIRO_FORMAT_RGB24;
    const unsigned char* data = cairo_image_surface_get_data(picture);
    std::vector<uint8_t> bytes(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            const uint32_t alpha = opaque ? 255 : p >> 24;
            auto straight = [&](uint32_t c) { return uint8_t(alpha ? (c * 255 + alpha / 2) / alpha : 0); };
            uint8_t* out = &bytes[(size_t(y) * width + x) * 4];
            out[0] = straight(p & 0xFF), out[1] = straight(p >> 8 & 0xFF), out[2] = straight(p >> 16 & 0xFF);
            out[3] = uint8_t(alpha);
        }
    }
    return bytes;
}

class WebPAnimation : public AnimationSink {
public:
    WebPAnimation(std::filesystem::path path, double secondsEach) : path_(std::move(path)), secondsEach_(secondsEach)
    {
        if (!WebPConfigInit(&config_))
            throw std::runtime_error("the WebP library does not match the one devhost was built with");
        config_.lossless = 1;
        config_.quality = LosslessEffort;
        config_.method = LosslessMethod;
    }
    ~WebPAnimation() override
    {
        if (encoder_)
            WebPAnimEncoderDelete(encoder_);
    }

    void add(cairo_surface_t* picture) override
    {
        const int width = cairo_image_surface_get_width(picture), height = cairo_image_surface_get_height(picture);
        if (!encoder_) {
            WebPAnimEncoderOptions options;
            if (!WebPAnimEncoderOptionsInit(&options))
                throw std::runtime_error("the WebP library does not match the one devhost was built with");
            encoder_ = WebPAnimEncoderNew(width, height, &options);
            if (!encoder_)
                throw std::runtime_error(fmt::format("{}: WebP cannot hold {}x{} pictures", path_.string(), width, height));
            width_ = width, height_ = height;
        }
        if (width != width_ || height != height_)
            throw std::logic_error("the pictures of one animation differ in size");
        const std::vector<uint8_t> bytes = straightBgra(picture);
        WebPPicture frame;
        WebPPictureInit(&frame);
        frame.use_argb = 1;
        frame.width = width, frame.height = height;
        const bool added = WebPPictureImportBGRA(&frame, bytes.data(), width * 4) &&
                           WebPAnimEncoderAdd(encoder_, &frame, timestamp(count_), &config_);
        WebPPictureFree(&frame);
        if (!added)
            throw std::runtime_error(fmt::format("{}: WebP could not take picture {}: {}", path_.string(), count_,
                                                 WebPAnimEncoderGetError(encoder_)));
        ++count_;
    }

    void finish() override
    {
        if (!encoder_)
            throw std::logic_error("an animation without pictures");
        WebPData data;
        WebPDataInit(&data);
        const bool assembled =
            WebPAnimEncoderAdd(encoder_, nullptr, timestamp(count_), nullptr) && WebPAnimEncoderAssemble(encoder_, &data);
        if (!assembled)
            throw std::runtime_error(
                fmt::format("{}: WebP could not put the animation together: {}", path_.string(), WebPAnimEncoderGetError(encoder_)));
        // Written beside the file and renamed over it whole: a full disk
        // leaves no partial picture under the name asked for.
        std::filesystem::path partial = path_;
        partial += ".partial";
        std::ofstream out(partial, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.bytes), std::streamsize(data.size));
        out.close();
        WebPDataClear(&data);
        std::error_code error;
        if (out)
            std::filesystem::rename(partial, path_, error);
        if (!out || error) {
            std::filesystem::remove(partial, error);
            throw std::runtime_error("cannot write " + path_.string());
        }
    }

private:
    // At least a millisecond apart, the finest step WebP keeps.
    int timestamp(size_t picture) const
    {
        return int(std::max<double>(double(picture), std::round(double(picture) * secondsEach_ * MillisecondsPerSecond)));
    }

    std::filesystem::path path_;
    double secondsEach_;
    WebPConfig config_{};
    WebPAnimEncoder* encoder_ = nullptr;
    int width_ = 0, height_ = 0;
    size_t count_ = 0;
};

class PngSequence : public AnimationSink {
public:
    PngSequence(std::filesystem::path folder, PngCompression compression)
        : folder_(std::move(folder)), compression_(compression)
    {
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        if (error)
            throw std::runtime_error(fmt::format("cannot make the folder {}: {}", folder_.string(), error.message()));
    }
    void add(cairo_surface_t* picture) override
    {
        writePng(picture, folder_ / fmt::format("frame_{:04}.png", count_++), compression_);
    }
    void finish() override {}

private:
    std::filesystem::path folder_;
    PngCompression compression_;
    size_t count_ = 0;
};

std::string lowered(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::vector<double> animationTimes(double from, double to, double every, double duration)
{
    if (!(from >= 0))
        throw std::runtime_error(fmt::format("--from {}: a time in the flight, 0 s or later", from));
    if (!(to <= duration))
        throw std::runtime_error(
            fmt::format("--to {}: beyond the end of the flight, which lasts {} s", to, duration));
    if (!(from <= to))
        throw std::runtime_error(fmt::format("--from {} comes after --to {}", from, to));
    if (!(every > 0) || !std::isfinite(every))
        throw std::runtime_error(fmt::format("--every {}: the seconds between pictures must be more than 0", every));
    const double steps = std::floor((to - from) / every + StepSlack);
    if (!(steps < double(MaxAnimationPictures)))
        throw std::runtime_error(fmt::format(
            "--from {} --to {} --every {} makes {:.0f} pictures; at most {} (a longer --every, or a shorter stretch)",
            from, to, every, steps + 1, MaxAnimationPictures));
    std::vector<double> times;
    for (size_t i = 0; i <= size_t(steps); ++i)
        times.push_back(std::min(to, from + double(i) * every));
    return times;
}

void checkAnimationSize(const std::filesystem::path& output, int width, int height)
{
    if (lowered(output.extension().string()) == ".webp" && (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION))
        throw std::runtime_error(fmt::format("-o {}: WebP holds pictures of at most {} pixels a side, and these are {}x{}; "
                                             "write a folder of PNGs instead (e.g. frames/)",
                                             output.string(), WEBP_MAX_DIMENSION, width, height));
}

std::unique_ptr<AnimationSink> openAnimation(const std::filesystem::path& output, double secondsEach,
                                             PngCompression compression)
{
    const std::string text = output.string();
    if (lowered(output.extension().string()) == ".webp")
        return std::make_unique<WebPAnimation>(output, secondsEach);
    std::error_code error;
    if (!text.empty() && (text.back() == '/' || std::filesystem::is_directory(output, error)))
        return std::make_unique<PngSequence>(output, compression);
    throw std::runtime_error(fmt::format(
        "-o {}: an animation goes to a .webp file (e.g. flight.webp) or into a folder of PNGs (e.g. frames/)", text));
}

}  // namespace devhost
