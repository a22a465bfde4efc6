// `devhost reference -o DIR`: the gauge reference a simmer or panel designer
// reads, made from the module itself: an index and one HTML page per gauge
// with pictures of it by day, at night and in its main states, its mouse
// areas drawn over it and listed (cursor, tooltip, what a click does), the
// variables it reads, the key events it sends, its parameter texts and its
// default size. It draws, so only a build with the renderer has it.
#pragma once

#include "devhost/app/common_options.h"

#include <filesystem>
#include <optional>
#include <string>

namespace devhost {

class ReferenceCommand : public Command {
public:
    ReferenceCommand(CLI::App& app, Common& common);
    int run() override;

private:
    std::string folder_;
};

// Writes DIR/index.html, DIR/<gauge>.html and DIR/pictures/*.png; throws
// (HostError, std::runtime_error) naming what failed; an empty folder name
// is refused rather than taken for the working folder. With a panel, also
// DIR/panel.html: that panel drawn window by window.
void writeReference(const std::string& module, const std::filesystem::path& folder,
                    const std::optional<Panel>& panel = std::nullopt);

}  // namespace devhost
