// Pictures of a flight one after another: the moments to draw, and where
// they go, an animated WebP (lossless, every picture exactly as drawn) or
// a folder of numbered PNGs.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devhost/render/png_writer.h"

namespace devhost {

// Beyond this many pictures a run would fill a disk rather than show a flight.
inline constexpr size_t MaxAnimationPictures = 2000;

// The flight times from `from` to `to` (both included when `to` falls on a
// step) every `every` seconds, checked against a flight of `duration`
// seconds; throws std::runtime_error naming the option, the value and what
// is accepted.
std::vector<double> animationTimes(double from, double to, double every, double duration);

class AnimationSink {
public:
    virtual ~AnimationSink() = default;
    // The next picture; all of one animation have the same size.
    virtual void add(cairo_surface_t* picture) = 0;
    // Writes what is still held; nothing is complete before.
    virtual void finish() = 0;
};

// A path ending in ".webp" (any case) gives an animated WebP showing each
// picture for `secondsEach` (a picture equal to the one before lengthens
// that one instead); a folder (an existing one, or a path ending in
// '/') gets frame_0000.png, frame_0001.png, ... Anything else is refused
// with the forms accepted.
// Refuses (std::runtime_error) pictures of width x height that the output
// cannot hold, before any is drawn: WebP takes at most 16383 pixels a side.
void checkAnimationSize(const std::filesystem::path& output, int width, int height);

std::unique_ptr<AnimationSink> openAnimation(const std::filesystem::path& output, double secondsEach,
                                             PngCompression compression = PngCompression::Fast);

}  // namespace devhost
