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

// The area of a picture appended to the frame's pictures as PNG; its place there.
Json appendPng(std::string& pictures, cairo_surface_t* picture, Box area)
{
    const std::string png = encodePng(picture, area);
    Json place{pictures.size(), png.size()};
    pictures += png;
    return place;
}

// The message's own entries: its kind, frame, playback, recording, light.
Json headerOf(const PanelSnapshot& now)
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
    if (now.whole)
        message["layout"] = now.layout;
    return message;
}

// The tiles (and, whole, the backings) named in the message; their PNG
// bytes given back, in the order named.
std::string putPictures(const PanelSnapshot& now, Json& message)
{
    std::string pictures;
    Json tiles = Json::array();
    for (const TilePiece& piece : now.tiles) {
        const Box all{0, 0, piece.area.width, piece.area.height};
        tiles.push_back({{"g", piece.gauge}, {"x", piece.area.x}, {"y", piece.area.y}, {"w", piece.area.width},
                         {"h", piece.area.height}, {"png", appendPng(pictures, piece.pixels.get(), all)}});
    }
    message["tiles"] = std::move(tiles);
    if (now.whole) {
        Json backings = Json::object();
        for (const auto& [window, picture] : now.backings) {
            const Box all{0, 0, cairo_image_surface_get_width(picture.get()), cairo_image_surface_get_height(picture.get())};
            backings[std::to_string(window)] = {{"png", appendPng(pictures, picture.get(), all)}};
        }
        message["backings"] = std::move(backings);
    }
    return pictures;
}

void putEvents(const PanelSnapshot& now, Json& message)
{
    if (now.eventsSkipped)
        message["events_skipped"] = now.eventsSkipped;
    if (!now.events.empty()) {
        Json sent = Json::array();
        for (const EventRecord& event : now.events)
            sent.push_back(toJson(event));
        message["events"] = std::move(sent);
    }
}

void putLength(std::string& out, size_t length)
{
    for (int shift : {24, 16, 8, 0})
        out += char((length >> shift) & 0xFF);
}

size_t getLength(std::string_view bytes)
{
    size_t length = 0;
    for (size_t i = 0; i < 4; ++i)
        length = length << 8 | uint8_t(bytes[i]);
    return length;
}

}  // namespace

std::string_view FeedFrame::picture(const Json& entry) const
{
    const size_t at = entry.at("png").at(0), length = entry.at("png").at(1);
    if (at > pictures.size() || length > pictures.size() - at)
        throw std::out_of_range("a picture lies outside its frame's pictures");
    return std::string_view(pictures).substr(at, length);
}

FeedFrame SentRecord::message(const PanelSnapshot& now)
{
    Json message = headerOf(now);
    std::string pictures = putPictures(now, message);
    tellVariables(now, message);
    putEvents(now, message);
    tellWindows(now, message);
    tellReadings(now, message);
    return {std::move(message), std::move(pictures)};
}

void SentRecord::tellVariables(const PanelSnapshot& now, Json& message)
{
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
}

void SentRecord::tellWindows(const PanelSnapshot& now, Json& message)
{
    if (!now.whole && now.windows == windows_)
        return;
    Json shown = Json::object();
    for (const auto& [number, visible] : now.windows)
        shown[std::to_string(number)] = visible;
    message["windows"] = std::move(shown);
    windows_ = now.windows;
}

void SentRecord::tellReadings(const PanelSnapshot& now, Json& message)
{
    if (!now.readings)
        return;
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

FeedMessage feedEvent(const FeedFrame& message)
{
    const std::string header = message.header.dump();
    std::string frame;
    frame.reserve(FeedFrameLengths + header.size() + message.pictures.size());
    putLength(frame, header.size());
    putLength(frame, message.pictures.size());
    frame += header;
    frame += message.pictures;
    return std::make_shared<const std::string>(std::move(frame));
}

FeedMessage soundEvent(uint32_t clip, uint64_t frame)
{
    return feedEvent({.header = {{"type", "sound"}, {"clip", clip}, {"frame", frame}}});
}

std::optional<FeedFrame> FeedFrames::next()
{
    for (;;) {
        const std::string_view unread = std::string_view(pending_).substr(read_);
        if (unread.size() < FeedFrameLengths)
            break;
        const size_t header = getLength(unread), pictures = getLength(unread.substr(4));
        if (unread.size() - FeedFrameLengths < header + pictures)
            break;
        read_ += FeedFrameLengths + header + pictures;
        if (header == 0)
            continue;   // a keep-alive
        FeedFrame frame{Json::parse(unread.substr(FeedFrameLengths, header)),
                        std::string(unread.substr(FeedFrameLengths + header, pictures))};
        return frame;
    }
    // What was read is let go once in a while, not on every frame.
    if (read_ > pending_.size() / 2) {
        pending_.erase(0, read_);
        read_ = 0;
    }
    return std::nullopt;
}

}  // namespace devhost
