#include "devhost/app/animate_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <stdexcept>

#include "devhost/render/animation.h"

namespace devhost {

namespace {

constexpr double DefaultStep = 1.0;   // seconds of flight between pictures
constexpr double RealTime = 1.0;

}  // namespace

void animateFlight(FlightRunner& runner, const Flight& flight, const RenderOptions& options,
                   const std::function<cairo_surface_t*()>& draw)
{
    const double every = options.every.value_or(DefaultStep), speed = options.speed.value_or(RealTime);
    const std::vector<double> times =
        animationTimes(options.from.value_or(0), options.to.value_or(flight.duration), every, flight.duration);
    if (!(speed >= MinSpeed && speed <= MaxSpeed))
        throw std::runtime_error(fmt::format("--speed {}: flight seconds per second shown, {} to {}", speed, MinSpeed,
                                             MaxSpeed));
    // A WebP shows each picture for whole milliseconds, up to about 4.6 hours.
    constexpr double ShortestPicture = 0.001, LongestPicture = 16777.0;
    if (!(every / speed >= ShortestPicture && every / speed <= LongestPicture))
        throw std::runtime_error(fmt::format("--every {} at --speed {} shows each picture for {} s: it must be {} to {} s",
                                             every, speed, every / speed, ShortestPicture, LongestPicture));
    std::unique_ptr<AnimationSink> output = openAnimation(options.output, every / speed, pngCompression(options));
    uint64_t done = 0;
    for (double at : times) {
        const uint64_t frames = runner.framesBefore(at);
        runner.run(frames - std::min(frames, done));
        done = std::max(done, frames);
        output->add(draw());
    }
    output->finish();
}

}  // namespace devhost
