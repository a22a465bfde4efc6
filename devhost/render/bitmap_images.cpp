#include "devhost/render/bitmap_images.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "devhost/core/bitmap_catalog.h"
#include "devhost/render/resampling.h"

namespace devhost {

namespace {

// Scaled sizes are keyed by the scale in ten-thousandths: placements that
// differ by less draw the same.
int scaleKey(double scale)
{
    return static_cast<int>(std::lround(scale * 10000.0));
}

// Pixels for a surface to own, every one about to be written; at ARGB32's
// stride, which RGB24 shares, so that the format can wait until they are
// known.
struct SurfacePixels {
    Point size;
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, size.x);
    std::unique_ptr<unsigned char, decltype(&std::free)> data{
        static_cast<unsigned char*>(std::malloc(size_t(stride) * size.y)), &std::free};

    uint32_t* pixels() const { return reinterpret_cast<uint32_t*>(data.get()); }
    size_t pixelStride() const { return size_t(stride) / sizeof(uint32_t); }
    SurfaceHandle surface(cairo_format_t format) && { return imageOwning(data.release(), format, size.x, size.y, stride); }
};

// The bitmap's rows read from its file at `size`, pure black keyed out as
// they are read; a picture without any is left opaque, for which every
// pixel is already right (the alpha byte goes unread). A bitmap wanted
// scaled is scaled as its rows are read, never held whole, and as Cairo's
// good filter scales it, at any size: as Cairo would draw the bitmap, to a
// level, and as the goldens were drawn.
SurfaceHandle readBitmap(const BmpLayout& layout, std::span<const unsigned char> bytes, bool keyed, Point size)
{
    bool anyBlack = false;
    const auto as = keyed ? BmpLayout::RowPixels::BlackKeyed : BmpLayout::RowPixels::Opaque;
    auto readRow = [&](int y, uint32_t* row) { anyBlack |= layout.readRow(bytes, y, row, as); };
    SurfacePixels pixels{size};
    if (!pixels.data)
        return nullptr;
    if (size.x == layout.width && size.y == layout.height) {
        for (int y = 0; y < size.y; ++y)
            readRow(y, pixels.pixels() + y * pixels.pixelStride());
    } else {
        std::vector<uint32_t> row(size_t(layout.width));
        auto rows = [&](int y) {
            readRow(y, row.data());
            return row.data();
        };
        scalePicture(rows, {layout.width, layout.height}, size, ScaleFilter::Good, pixels.pixels(),
                     pixels.pixelStride());
    }
    return std::move(pixels).surface(anyBlack ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24);
}

// A picture already read (and flushed), at another size and in its format.
SurfaceHandle scaledCopy(cairo_surface_t* original, Point size)
{
    SurfacePixels pixels{size};
    if (!pixels.data)
        return nullptr;
    const unsigned char* data = cairo_image_surface_get_data(original);
    const int stride = cairo_image_surface_get_stride(original);
    scalePicture([data, stride](int y) { return reinterpret_cast<const uint32_t*>(data + size_t(y) * stride); },
                 {cairo_image_surface_get_width(original), cairo_image_surface_get_height(original)}, size,
                 ScaleFilter::Good, pixels.pixels(), pixels.pixelStride());
    return std::move(pixels).surface(cairo_image_surface_get_format(original));
}

// The smallest rectangle outside which the surface is wholly transparent.
Box inkedBox(cairo_surface_t* surface)
{
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32)
        return {0, 0, width, height};
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    int left = width, right = 0, top = height, bottom = 0;
    for (int y = 0; data && y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        int first = 0, last = width;
        while (first < width && (row[first] >> 24) == 0)
            ++first;
        if (first == width)
            continue;
        while ((row[last - 1] >> 24) == 0)
            --last;
        left = std::min(left, first), right = std::max(right, last);
        top = std::min(top, y), bottom = y + 1;
    }
    return left < right ? Box{left, top, right - left, bottom - top} : Box{};
}

}  // namespace

BitmapImages::BitmapImages(const BitmapCatalog& catalog)
    : source_([&catalog](int32_t bitmap) { return catalog.bytes(bitmap); })
{
}

const BmpLayout* BitmapImages::layout(int32_t bitmap)
{
    auto known = layouts_.find(bitmap);
    if (known == layouts_.end())
        known = layouts_.emplace(bitmap, bmpLayout(source_(bitmap))).first;
    if (!known->second) {
        missing_.insert(bitmap);
        return nullptr;
    }
    return &*known->second;
}

std::optional<Point> BitmapImages::size(int32_t bitmap)
{
    const BmpLayout* l = layout(bitmap);
    return l ? std::optional<Point>(Point{l->width, l->height}) : std::nullopt;
}

PreparedBitmap BitmapImages::get(int32_t bitmap, bool keyed, double sx, double sy, Tint tint)
{
    if (tint.none())
        return prepare(bitmap, keyed, sx, sy);
    const auto key = std::make_tuple(bitmap, keyed, scaleKey(sx), scaleKey(sy), tint);
    if (auto known = tinted_.find(key); known != tinted_.end())
        return known->second;
    PreparedBitmap plain = prepare(bitmap, keyed, sx, sy);
    if (!plain)
        return {};
    // Premultiplied pixels stay valid when only their colour shrinks.
    cairo_surface_t* source = plain.surface;
    const int width = cairo_image_surface_get_width(source), height = cairo_image_surface_get_height(source);
    SurfaceHandle copy = uninitialisedImage(cairo_image_surface_get_format(source), width, height);
    cairo_surface_flush(source);
    const unsigned char* from = cairo_image_surface_get_data(source);
    unsigned char* to = cairo_image_surface_get_data(copy.get());
    if (!from || !to)
        return {};
    const int fromStride = cairo_image_surface_get_stride(source), toStride = cairo_image_surface_get_stride(copy.get());
    auto times = [](uint32_t channel, uint8_t by) { return (channel * by + 127) / 255; };
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(from + size_t(y) * fromStride);
        auto* out = reinterpret_cast<uint32_t*>(to + size_t(y) * toStride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = in[x];
            out[x] = (p & 0xFF000000u) | times(p >> 16 & 0xFF, tint.r) << 16 | times(p >> 8 & 0xFF, tint.g) << 8 |
                     times(p & 0xFF, tint.b);
        }
    }
    cairo_surface_mark_dirty(copy.get());
    PreparedBitmap prepared{
        .surface = copy.get(), .scaleX = plain.scaleX, .scaleY = plain.scaleY, .inked = plain.inked};
    owned_.push_back(std::move(copy));
    tinted_.emplace(key, prepared);
    return prepared;
}

PreparedBitmap BitmapImages::prepare(int32_t bitmap, bool keyed, double sx, double sy)
{
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy))
        return {};
    const ScaledKey key{bitmap, keyed, scaleKey(sx), scaleKey(sy)};
    if (auto known = scaled_.find(key); known != scaled_.end())
        return known->second;
    const BmpLayout* d = layout(bitmap);
    if (!d)
        return {};

    Wanted wanted{.key = key,
                  .size = {std::max(1, static_cast<int>(std::lround(d->width * sx))),
                           std::max(1, static_cast<int>(std::lround(d->height * sy)))},
                  .layout = d};
    const bool whole = wanted.size.x == d->width && wanted.size.y == d->height;
    // A bitmap wanted only scaled is scaled as its rows are read, never held
    // whole; one kept anyway is scaled from what is kept.
    if (auto kept = originals_.find({bitmap, keyed}); kept != originals_.end()) {
        if (whole) {
            const PreparedBitmap prepared{.surface = kept->second.get(), .inked = inkedBox(kept->second.get())};
            scaled_.emplace(key, prepared);
            return prepared;
        }
        cairo_surface_flush(kept->second.get());
        wanted.kept = kept->second.get();
    } else {
        wanted.bytes = source_(bitmap);
    }
    if (asked_) {
        asked_->push_back(wanted);
        return {};
    }
    return keep(wanted, make(wanted));
}

BitmapImages::Made BitmapImages::make(const Wanted& wanted)
{
    Made made;
    made.surface = wanted.kept ? scaledCopy(wanted.kept, wanted.size)
                               : readBitmap(*wanted.layout, wanted.bytes, std::get<1>(wanted.key), wanted.size);
    if (made.surface)
        made.inked = inkedBox(made.surface.get());
    return made;
}

PreparedBitmap BitmapImages::keep(const Wanted& wanted, Made made)
{
    if (!made.surface)
        return {};
    const auto [bitmap, keyed, sx, sy] = wanted.key;
    PreparedBitmap prepared{.surface = made.surface.get(),
                            .scaleX = double(wanted.size.x) / wanted.layout->width,
                            .scaleY = double(wanted.size.y) / wanted.layout->height,
                            .inked = made.inked};
    if (wanted.size.x == wanted.layout->width && wanted.size.y == wanted.layout->height) {
        // Made twice when asked for at two scales that both round to the
        // whole: the first made is the one kept.
        prepared.surface = originals_.try_emplace({bitmap, keyed}, std::move(made.surface)).first->second.get();
    } else {
        owned_.push_back(std::move(made.surface));
    }
    scaled_.emplace(wanted.key, prepared);
    return prepared;
}

void BitmapImages::prepareAhead(const std::function<void()>& ask, const std::function<void()>& meanwhile)
{
    asked_.emplace();
    try {
        ask();
    } catch (...) {
        asked_.reset();
        throw;
    }
    std::vector<Wanted> wanted = std::move(*asked_);
    asked_.reset();
    std::sort(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) { return a.key < b.key; });
    wanted.erase(std::unique(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) { return a.key == b.key; }),
                 wanted.end());

    // Each thread takes the next bitmap not yet taken, the largest first so
    // that none is left alone with a large one at the end; the caches are
    // written only here, once all are made. One that cannot be made now
    // (out of memory) is left to be asked for again.
    auto pixels = [](const Wanted& w) { return int64_t{w.layout->width} * w.layout->height; };
    std::stable_sort(wanted.begin(), wanted.end(),
                     [&](const Wanted& a, const Wanted& b) { return pixels(a) > pixels(b); });
    std::vector<Made> made(wanted.size());
    std::atomic<size_t> next = 0;
    auto work = [&] {
        for (size_t i = next++; i < wanted.size(); i = next++) {
            try {
                made[i] = make(wanted[i]);
            } catch (const std::bad_alloc&) {
            }
        }
    };
    {
        // A window's bitmaps keep a few cores busy for milliseconds; more
        // threads would cost more to start than they gain.
        constexpr unsigned MostThreads = 8;
        const size_t threads =
            std::min<size_t>(std::clamp(std::thread::hardware_concurrency(), 1u, MostThreads), wanted.size());
        std::vector<std::jthread> helpers;
        try {
            while (helpers.size() + 1 < threads)
                helpers.emplace_back(work);
        } catch (const std::system_error&) {
            // fewer threads, the same work
        }
        if (meanwhile)
            meanwhile();
        work();
    }
    for (size_t i = 0; i < wanted.size(); ++i)
        keep(wanted[i], std::move(made[i]));
}

}  // namespace devhost
