// The change feed's messages, made from panel snapshots without the
// panel's lock: what changed since the last message (or, for a page
// starting afresh, everything), with the pictures' pieces as PNG.
//
// On the wire each message is one frame: two 32-bit big-endian lengths
// (the JSON's, then the pictures'), the JSON, then the PNG bytes one after
// the other, which the JSON names by place: a tile's or backing's "png" is
// [offset, length] into the pictures. The PNGs go as they are (no base64,
// nothing to escape), so a frame costs no more to make than its pictures,
// and is made once for every page. A frame of two zero lengths is the
// keep-alive of a quiet feed.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/serve/change_feed.h"
#include "devhost/serve/panel_snapshot.h"

namespace devhost {

// A message before framing, or after it is read back.
struct FeedFrame {
    nlohmann::json header;
    std::string pictures;

    // The PNG an entry names ({"png": [offset, length]}); throws
    // std::out_of_range when the place lies outside the pictures.
    std::string_view picture(const nlohmann::json& entry) const;
};

inline constexpr size_t FeedFrameLengths = 8;
inline constexpr std::string_view IdleFrame{"\0\0\0\0\0\0\0\0", FeedFrameLengths};

// What the pages were last told, so that only changes go out. A fresh one
// has told nothing: its first message tells everything in the snapshot.
class SentRecord {
public:
    FeedFrame message(const PanelSnapshot& now);

private:
    // Each puts in the message what changed since last told.
    void tellVariables(const PanelSnapshot& now, nlohmann::json& message);
    void tellWindows(const PanelSnapshot& now, nlohmann::json& message);
    void tellReadings(const PanelSnapshot& now, nlohmann::json& message);

    std::vector<double> variables_;
    std::vector<std::pair<int, bool>> windows_;
    std::vector<std::vector<std::string>> readings_;
};

// A message as every page's stream carries it, framed once for them all.
FeedMessage feedEvent(const FeedFrame& message);
// The message that a switch played a wave clip, for the pages to sound it.
FeedMessage soundEvent(uint32_t clip, uint64_t frame);

// The feed read back as a page reads it: bytes as they arrive, in pieces
// of any size; whole frames out (keep-alives skipped). Throws
// nlohmann::json::parse_error on a header that is not JSON.
class FeedFrames {
public:
    void add(std::string_view bytes) { pending_.append(bytes); }
    std::optional<FeedFrame> next();

private:
    std::string pending_;
    size_t read_ = 0;
};

}  // namespace devhost
