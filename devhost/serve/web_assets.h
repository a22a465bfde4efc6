// The page's files (devhost/serve/web/), built into the program so that
// `devhost serve` needs nothing beside it and reads no file at run time.
#pragma once

#include <span>
#include <string_view>

namespace devhost {

struct WebAsset {
    std::string_view path;          // as requested, e.g. "/app.js"
    std::string_view contentType;
    std::string_view body;
};

// Every one of the page's files; the server routes exactly these.
std::span<const WebAsset> webAssets();

// Null for a path that is not one of the page's files.
const WebAsset* findWebAsset(std::string_view path);

}  // namespace devhost
