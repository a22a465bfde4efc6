#include "devhost/serve/feed_message.h"

#include <cmath>

#include "devhost/core/values.h"
#include "devhost/flight/snapshot_json.h"
#include "devhost/serve/tile_encoding.h"

namespace devhost {

namespace {

using Json = nlohmann::json;

Json number(double value) { return std::isfinite(value) ? Json(value) : Json(); }

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

Json SentRecord::message(const PanelSnapshot& now)
{
    const PanelSnapshot::Playback& p = now.playback;
    Json playback{{"playing", p.playing}, {"speed", p.speed}, {"time", number(p.time)},
                  {"duration", p.duration}, {"name", p.name}};
    if (!p.error.empty())
        playback["error"] = p.error;
    Json message{{"type", now.whole ? "whole" : "frame"},
                 {"frame", now.frame},
                 {"playback", std::move(playback)},
                 {"recording", now.recording.on},
                 {"light", now.light}};
    if (!now.recording.stopped.empty())
        message["recording_stopped"] = now.recording.stopped;

    Json tiles = Json::array();
    for (const TilePiece& piece : now.tiles) {
        const Box all{0, 0, piece.area.width, piece.area.height};
        tiles.push_back({{"g", piece.gauge}, {"x", piece.area.x}, {"y", piece.area.y}, {"w", piece.area.width},
                         {"h", piece.area.height}, {"png", base64(encodePng(piece.pixels.get(), all))}});
    }
    message["tiles"] = std::move(tiles);
    if (now.whole) {
        Json backings = Json::object();
        for (const auto& [window, picture] : now.backings) {
            const Box all{0, 0, cairo_image_surface_get_width(picture.get()), cairo_image_surface_get_height(picture.get())};
            backings[std::to_string(window)] = base64(encodePng(picture.get(), all));
        }
        message["backings"] = std::move(backings);
    }

    Json variables = Json::object();
    const auto known = knownVariables();
    variables_.resize(known.size(), NAN);
    for (size_t i = 0; i < known.size() && i < now.variables.size(); ++i) {
        const double value = now.variables[i];
        if (now.whole || !same(value, variables_[i])) {
            variables[std::string(known[i].name)] = {{"value", number(value)}, {"told", naturalText(known[i], value)}};
            variables_[i] = value;
        }
    }
    if (!variables.empty())
        message["variables"] = std::move(variables);

    if (now.eventsSkipped)
        message["events_skipped"] = now.eventsSkipped;
    if (!now.events.empty()) {
        Json sent = Json::array();
        for (const EventRecord& event : now.events)
            sent.push_back(toJson(event));
        message["events"] = std::move(sent);
    }

    if (now.whole || now.windows != windows_) {
        Json shown = Json::object();
        for (const auto& [number, visible] : now.windows)
            shown[std::to_string(number)] = visible;
        message["windows"] = std::move(shown);
        windows_ = now.windows;
    }

    if (now.readings) {
        readings_.resize(now.readings->size());
        Json readings = Json::object();
        for (size_t g = 0; g < now.readings->size(); ++g)
            if (now.whole || (*now.readings)[g] != readings_[g]) {
                readings[std::to_string(g)] = (*now.readings)[g];
                readings_[g] = (*now.readings)[g];
            }
        if (!readings.empty())
            message["readings"] = std::move(readings);
    }
    return message;
}

FeedMessage feedEvent(const Json& message)
{
    return std::make_shared<const std::string>("data: " + message.dump() + "\n\n");
}

FeedMessage soundEvent(uint32_t clip, uint64_t frame)
{
    return feedEvent({{"type", "sound"}, {"clip", clip}, {"frame", frame}});
}

}  // namespace devhost
