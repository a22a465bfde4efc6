#include "devhost/serve/web_assets.h"

namespace devhost {

namespace {

constexpr WebAsset assets[] = {
    {"/", "text/html; charset=utf-8",
#include "web_index_html.inc"
    },
    {"/style.css", "text/css; charset=utf-8",
#include "web_style_css.inc"
    },
    {"/app.js", "text/javascript; charset=utf-8",
#include "web_app_js.inc"
    },
    {"/editor.js", "text/javascript; charset=utf-8",
#include "web_editor_js.inc"
    },
};

}  // namespace

std::span<const WebAsset> webAssets() { return assets; }

const WebAsset* findWebAsset(std::string_view path)
{
    for (const WebAsset& asset : assets)
        if (asset.path == path)
            return &asset;
    return nullptr;
}

}  // namespace devhost
