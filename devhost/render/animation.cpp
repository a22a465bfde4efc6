#include "devhost/render/animation.h"

#include <fmt/format.h>
#include <webp/encode.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "devhost/render/cairo_handles.h"
#include "devhost/render/webp_animation.h"
#include "devhost/render/work_line.h"

namespace devhost {

namespace {

// Frame times land on whole steps despite the step's binary rounding.
constexpr double StepSlack = 1e-9;

// A picture on its way to a file: a copy of its pixels, as the renderer
// draws the next picture over them.
struct PngJob {
    std::vector<unsigned char> pixels;
    cairo_format_t format = CAIRO_FORMAT_ARGB32;
    int width = 0, height = 0, stride = 0;
    std::filesystem::path path;
};

void writeJob(PngJob& job, PngCompression compression)
{
    SurfaceHandle picture(
        cairo_image_surface_create_for_data(job.pixels.data(), job.format, job.width, job.height, job.stride));
    writePng(picture.get(), job.path, compression);
}

// The files are written on a thread per core while the next pictures are
// drawn.
class PngSequence : public AnimationSink {
public:
    PngSequence(std::filesystem::path folder, PngCompression compression)
        : folder_(std::move(folder)), line_([compression](PngJob& job) { writeJob(job, compression); })
    {
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        if (error)
            throw std::runtime_error(fmt::format("cannot make the folder {}: {}", folder_.string(), error.message()));
    }
    void add(cairo_surface_t* picture) override
    {
        std::filesystem::path path = folder_ / fmt::format("frame_{:04}.png", count_++);
        if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS)
            return writePng(picture, path);   // refused there, saying why
        cairo_surface_flush(picture);
        std::unique_ptr<PngJob> job = line_.blank();
        job->format = cairo_image_surface_get_format(picture);
        job->width = cairo_image_surface_get_width(picture), job->height = cairo_image_surface_get_height(picture);
        job->stride = cairo_image_surface_get_stride(picture);
        const unsigned char* pixels = cairo_image_surface_get_data(picture);
        job->pixels.assign(pixels, pixels + size_t(job->stride) * size_t(job->height));
        job->path = std::move(path);
        line_.submit(std::move(job));
        if (line_.full())
            line_.giveBack(line_.oldest());
    }
    void finish() override
    {
        while (!line_.empty())
            line_.giveBack(line_.oldest());
    }

private:
    std::filesystem::path folder_;
    size_t count_ = 0;
    WorkLine<PngJob> line_;   // last: its threads stop before the rest goes
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
        return openWebPAnimation(output, secondsEach);
    std::error_code error;
    if (!text.empty() && (text.back() == '/' || std::filesystem::is_directory(output, error)))
        return std::make_unique<PngSequence>(output, compression);
    throw std::runtime_error(fmt::format(
        "-o {}: an animation goes to a .webp file (e.g. flight.webp) or into a folder of PNGs (e.g. frames/)", text));
}

}  // namespace devhost
