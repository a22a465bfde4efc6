// The module's bitmaps as Cairo surfaces, decoded and prepared once:
// premultiplied ARGB with pure black keyed out (for elements that draw with
// transparency) or kept (for those that do not), and scaled once for each
// size a gauge is placed at, so that a frame only copies and turns them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <tuple>
#include <vector>

#include "devhost/core/bmp_file.h"
#include "devhost/render/cairo_handles.h"
#include "devhost/render/lighting.h"
#include "framework/gauge_model.h"

namespace devhost {

class BitmapCatalog;

// A prepared bitmap: the surface, how much it was scaled (its own pixels
// to the surface's, per axis: the rounded size over the bitmap's size) and
// where it is not transparent.
struct PreparedBitmap {
    cairo_surface_t* surface = nullptr;
    double scaleX = 1.0, scaleY = 1.0;
    Box inked{};   // the surface's pixels that are not wholly transparent lie within

    explicit operator bool() const { return surface != nullptr; }
};

// Where the bitmaps' file bytes come from: the module's resources, or a
// test's own pictures. Empty for a number that has none.
using BitmapSource = std::function<std::span<const unsigned char>(int32_t bitmap)>;

class BitmapImages {
public:
    explicit BitmapImages(const BitmapCatalog& catalog);
    explicit BitmapImages(BitmapSource source) : source_(std::move(source)) {}

    // The bitmap scaled by (sx, sy), pure black transparent when keyed, its
    // colours multiplied by the tint. A bitmap without any pure black comes
    // as an opaque (RGB24) surface, which Cairo copies fastest. Empty when
    // the module lacks the bitmap or it cannot be read; such numbers are
    // remembered in missing().
    PreparedBitmap get(int32_t bitmap, bool keyed, double sx = 1.0, double sy = 1.0, Tint tint = {});
    std::optional<Point> size(int32_t bitmap);           // the bitmap's own pixels
    const std::set<int32_t>& missing() const { return missing_; }

    // Prepares, all at once and on every core, the bitmaps that `ask` asks
    // get() for: while it runs, get() only notes them, and gives nothing for
    // a bitmap not prepared yet. Any other bitmap is prepared when first
    // asked for, as ever. `meanwhile`, if given, runs on the calling thread
    // while the other threads make the first bitmaps: other work that needs
    // none of them.
    void prepareAhead(const std::function<void()>& ask, const std::function<void()>& meanwhile = {});

private:
    using ScaledKey = std::tuple<int32_t, bool, int, int>;
    // A bitmap to prepare at a size, and what making it reads: the kept
    // original's pixels, or else the file's.
    struct Wanted {
        ScaledKey key;
        Point size{};
        const BmpLayout* layout = nullptr;
        std::span<const unsigned char> bytes;
        cairo_surface_t* kept = nullptr;
    };
    // Made from a Wanted alone, touching no cache, so on any thread.
    struct Made {
        SurfaceHandle surface;
        Box inked{};
    };
    static Made make(const Wanted& wanted);
    PreparedBitmap keep(const Wanted& wanted, Made made);

    const BmpLayout* layout(int32_t bitmap);
    PreparedBitmap prepare(int32_t bitmap, bool keyed, double sx, double sy);

    BitmapSource source_;
    std::map<int32_t, std::optional<BmpLayout>> layouts_;
    std::map<std::tuple<int32_t, bool>, SurfaceHandle> originals_;
    std::map<ScaledKey, PreparedBitmap> scaled_;
    std::map<std::tuple<int32_t, bool, int, int, Tint>, PreparedBitmap> tinted_;
    std::vector<SurfaceHandle> owned_;
    std::set<int32_t> missing_;
    std::optional<std::vector<Wanted>> asked_;   // while prepareAhead asks
};

}  // namespace devhost
