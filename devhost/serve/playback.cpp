#include "devhost/serve/playback.h"

#include "devhost/serve/request_error.h"

namespace devhost {

PlaybackChange PlaybackChange::of(const nlohmann::json& body, double duration)
{
    PlaybackChange change;
    if (body.contains("play"))
        change.play = flagField(body, "play");
    if (body.contains("speed"))
        change.speed = numberField(body, "speed", MinPlaybackSpeed, MaxPlaybackSpeed);
    if (body.contains("seek"))
        change.seek = numberField(body, "seek", 0, duration);
    if (!change.play && !change.speed && !change.seek)
        throw RequestError("give \"play\" (true or false), \"speed\" (0.25 to 8) or \"seek\" (seconds)");
    return change;
}

int Playback::framesDue(bool finished)
{
    if (!playing_ || finished)
        return 0;
    due_ += speed_;
    const int frames = static_cast<int>(due_);
    due_ -= frames;
    return frames;
}

void Playback::failed(std::string what)
{
    error_ = std::move(what);
    playing_ = false;
}

void Playback::apply(const PlaybackChange& change)
{
    if (change.speed)
        speed_ = *change.speed;
    if (change.play) {
        playing_ = *change.play;
        if (*change.play)
            error_.clear();
    }
    due_ = 0;
}

}  // namespace devhost
