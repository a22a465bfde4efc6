#include "devhost/core/bitmap_catalog.h"

#include <cstdlib>

#include "devhost/core/module_file.h"

namespace devhost {

namespace {

int32_t littleEndian32(std::span<const unsigned char> bytes, size_t at)
{
    return static_cast<int32_t>(uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
                                uint32_t{bytes[at + 3]} << 24);
}

}  // namespace

std::optional<Point> bmpSize(std::span<const unsigned char> bytes)
{
    // A file starts "BM" and a 14-byte file header; a resource starts with
    // the info header (40 bytes or more, as its first word says), whose
    // width and height follow that word. A negative height marks a top-down
    // bitmap.
    constexpr size_t fileHeader = 14, infoHeader = 40, widthAt = 4, heightAt = 8;
    size_t info = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M' ? fileHeader : 0;
    if (bytes.size() < info + heightAt + 4 || littleEndian32(bytes, info) < static_cast<int32_t>(infoHeader))
        return std::nullopt;
    int32_t width = littleEndian32(bytes, info + widthAt);
    int32_t height = littleEndian32(bytes, info + heightAt);
    if (height < 0 && height != INT32_MIN)
        height = -height;
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return Point{width, height};
}

BitmapCatalog::BitmapCatalog(const ModuleFile& module) : module_(module) {}

std::optional<Point> BitmapCatalog::size(int32_t bitmap) const
{
    if (auto known = cache_.find(bitmap); known != cache_.end())
        return known->second;
    std::span<const unsigned char> file = bytes(bitmap);
    std::optional<Point> result = file.empty() ? std::nullopt : bmpSize(file);
    cache_.emplace(bitmap, result);
    return result;
}

std::span<const unsigned char> BitmapCatalog::bytes(int32_t bitmap) const
{
    if (bitmap < 0)
        return {};
    return module_.resource("BITMAP", static_cast<uint32_t>(bitmap));
}

}  // namespace devhost
