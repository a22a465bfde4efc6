#include "tools/assetgen/contact_sheet.h"

#include <cairo.h>

#include <algorithm>
#include <string>

namespace assetgen {

void ContactSheet::add(int number, const Canvas& canvas)
{
    tiles_.push_back({number, canvas.width(), canvas.height(), canvas.bmp()});
}

bool ContactSheet::write(const std::string& path) const
{
    constexpr int SheetWidth = 1800, Gap = 8, Label = 14;
    // Shelf packing, row by row.
    int x = Gap, y = Gap, rowHeight = 0;
    std::vector<std::pair<int, int>> at;
    for (const auto& t : tiles_) {
        if (x + t.width + Gap > SheetWidth) {
            x = Gap;
            y += rowHeight + Label + Gap;
            rowHeight = 0;
        }
        at.emplace_back(x, y);
        x += std::max(t.width, 30) + Gap;
        rowHeight = std::max(rowHeight, t.height);
    }
    int height = y + rowHeight + Label + Gap;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, SheetWidth, height);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.42, 0.44, 0.46);
    cairo_paint(cr);
    cairo_surface_flush(sheet);
    unsigned char* data = cairo_image_surface_get_data(sheet);
    int stride = cairo_image_surface_get_stride(sheet);
    for (size_t i = 0; i < tiles_.size(); ++i) {
        const auto& t = tiles_[i];
        int rowBytes = (t.width * 3 + 3) & ~3;
        for (int ty = 0; ty < t.height; ++ty) {
            const uint8_t* src = t.bmp.data() + 54 + (t.height - 1 - ty) * rowBytes;
            auto* dst = reinterpret_cast<uint32_t*>(data + (at[i].second + ty) * stride) + at[i].first;
            for (int tx = 0; tx < t.width; ++tx) {
                const uint8_t* p = src + tx * 3;
                if (p[0] || p[1] || p[2])
                    dst[tx] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
    }
    cairo_surface_mark_dirty(sheet);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 11);
    cairo_set_source_rgb(cr, 1, 1, 0.6);
    for (size_t i = 0; i < tiles_.size(); ++i) {
        cairo_move_to(cr, at[i].first, at[i].second + tiles_[i].height + 11);
        cairo_show_text(cr, std::to_string(tiles_[i].number).c_str());
    }
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(sheet, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(sheet);
    return ok;
}

}  // namespace assetgen
