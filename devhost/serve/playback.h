// How the live panel plays its flight: playing or not, at what speed, the
// flight frames due each tick, and where the flight failed. Kept under the
// panel's lock, as the rest of the panel's state.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace devhost {

inline constexpr double MinPlaybackSpeed = 0.25, MaxPlaybackSpeed = 8;

// A playback request's fields, every one checked before any is applied.
struct PlaybackChange {
    std::optional<bool> play;
    std::optional<double> speed, seek;

    // RequestError for a body that gives none or a bad one; `seek` within
    // the flight's `duration`.
    static PlaybackChange of(const nlohmann::json& body, double duration);
};

class Playback {
public:
    bool playing() const { return playing_; }
    double speed() const { return speed_; }
    const std::string& error() const { return error_; }

    // The flight frames due this tick at the speed (the fraction carried
    // to the next); none while stopped or at the flight's end.
    int framesDue(bool finished);
    // The flight stopped where it failed; the panel goes on.
    void failed(std::string what);
    // Stopped at the flight's end, or by a new flight.
    void stop() { playing_ = false; }
    // A new flight or moment: no failure left to tell.
    void restart() { error_.clear(); }
    void apply(const PlaybackChange& change);

private:
    bool playing_ = false;
    double speed_ = 1, due_ = 0;
    std::string error_;
};

}  // namespace devhost
