// `devhost render`: a PNG of a panel window at a moment of a flight, or of
// one gauge alone at its own size in a state given on the command line; by
// day, at night or in between; or either through a stretch of the flight
// (animate_command.h).
#pragma once

#include <optional>
#include <string>

#include "devhost/app/common_options.h"
#include "devhost/app/gauge_state.h"
#include "devhost/render/png_writer.h"

namespace devhost {

// The flight seconds an animation shows per second: beyond these a picture
// would last less than a millisecond or longer than a WebP can hold.
inline constexpr double MinSpeed = 0.01, MaxSpeed = 1000;

struct RenderOptions : StateOptions {
    std::string window = "0";          // panel window: number, title or VC name (the whole panel only)
    std::string output;
    double light = 1.0;                // 1 daylight, 0 night (the panel's lights on)
    std::optional<double> from, to;    // set either: an animation (to: the flight's end)
    std::optional<double> every;       // flight seconds between its pictures (1)
    std::optional<double> speed;       // flight seconds per second shown (1)
    bool compress = false;             // PNGs as small as zlib makes them, rather than written fast
    bool animated() const { return from || to; }
};

class RenderCommand : public Command {
public:
    RenderCommand(CLI::App& app, Common& common);
    int run() override;

private:
    RenderOptions options_;
};

// Writes the picture; throws (InputError, HostError, std::runtime_error)
// with a message naming what is wrong.
void renderToPng(const RenderOptions& options);

inline PngCompression pngCompression(const RenderOptions& options)
{
    return options.compress ? PngCompression::Small : PngCompression::Fast;
}

}  // namespace devhost
