// The change feed's messages, made from panel snapshots without the
// panel's lock: what changed since the last message (or, for a page
// starting afresh, everything), with the pictures' pieces as PNG.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "devhost/serve/change_feed.h"
#include "devhost/serve/panel_snapshot.h"

namespace devhost {

// What the pages were last told, so that only changes go out. A fresh one
// has told nothing: its first message tells everything in the snapshot.
class SentRecord {
public:
    nlohmann::json message(const PanelSnapshot& now);

private:
    std::vector<double> variables_;
    std::vector<std::pair<int, bool>> windows_;
    std::vector<std::vector<std::string>> readings_;
};

// A message as every page's event stream carries it, framed once for them all.
FeedMessage feedEvent(const nlohmann::json& message);
// The message that a switch played a wave clip, for the pages to sound it.
FeedMessage soundEvent(uint32_t clip, uint64_t frame);

}  // namespace devhost
