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
    // "BM", then the 14-byte file header; the info header's width and height
    // follow its own size word. A negative height marks a top-down bitmap.
    constexpr size_t widthAt = 18, heightAt = 22;
    if (bytes.size() < heightAt + 4 || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    int32_t width = littleEndian32(bytes, widthAt);
    int32_t height = littleEndian32(bytes, heightAt);
    if (height < 0 && height != INT32_MIN)
        height = -height;
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return Point{width, height};
}

BitmapCatalog::BitmapCatalog(const ModuleFile& module)
    : accessor_(reinterpret_cast<Accessor>(module.symbol("vardexResource")))
{
}

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
    if (!accessor_ || bitmap < 0)
        return {};
    size_t length = 0;
    const unsigned char* data = accessor_("BITMAP", static_cast<uint32_t>(bitmap), &length);
    return data ? std::span<const unsigned char>(data, length) : std::span<const unsigned char>();
}

}  // namespace devhost
