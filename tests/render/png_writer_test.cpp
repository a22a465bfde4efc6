#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "devhost/render/animation.h"
#include "devhost/render/cairo_handles.h"
#include "devhost/render/png_writer.h"

namespace devhost {
namespace {

constexpr int Side = 64;

// Half-transparent colours and opaque ones, in rows that compress well.
SurfaceHandle translucentPicture()
{
    SurfaceHandle picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Side, Side));
    cairo_t* cr = cairo_create(picture.get());
    for (int k = 0; k < Side; ++k) {
        cairo_set_source_rgba(cr, k / double(Side), 0.3, 1 - k / double(Side), k % 4 ? 0.37 : 1.0);
        cairo_rectangle(cr, 0, k, Side, 1);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    return picture;
}

SurfaceHandle readBack(const std::filesystem::path& path)
{
    SurfaceHandle picture(cairo_image_surface_create_from_png(path.c_str()));
    EXPECT_EQ(cairo_surface_status(picture.get()), CAIRO_STATUS_SUCCESS) << path;
    return picture;
}

bool samePixels(cairo_surface_t* a, cairo_surface_t* b)
{
    const int stride = cairo_image_surface_get_stride(a);
    return stride == cairo_image_surface_get_stride(b) &&
           std::memcmp(cairo_image_surface_get_data(a), cairo_image_surface_get_data(b), size_t(stride) * Side) == 0;
}

TEST(PngWriter, ReadsBackAsCairosOwnWriterAtEitherCompression)
{
    const auto folder = std::filesystem::temp_directory_path() / ("png_writer_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    SurfaceHandle picture = translucentPicture();
    ASSERT_EQ(cairo_surface_write_to_png(picture.get(), (folder / "cairo.png").c_str()), CAIRO_STATUS_SUCCESS);
    writePng(picture.get(), folder / "fast.png");
    writePng(picture.get(), folder / "small.png", PngCompression::Small);

    SurfaceHandle expected = readBack(folder / "cairo.png");
    EXPECT_TRUE(samePixels(readBack(folder / "fast.png").get(), expected.get()));
    EXPECT_TRUE(samePixels(readBack(folder / "small.png").get(), expected.get()));
    EXPECT_LT(std::filesystem::file_size(folder / "small.png"), std::filesystem::file_size(folder / "fast.png"));

    const auto nowhere = folder / "no_such_folder" / "x.png";
    try {
        writePng(picture.get(), nowhere);
        ADD_FAILURE() << "a file that cannot be opened was reported written";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(nowhere.string()), std::string::npos) << error.what();
    }

    // Nothing is written through a link, at the name asked for or at a
    // temporary's name: the file it leads to stays as it was.
    const auto outside = folder / "outside";
    std::ofstream(outside) << "kept";
    std::filesystem::create_symlink(outside, folder / "link.png");
    std::filesystem::create_symlink(outside, folder / "x.webp.partial");
    EXPECT_THROW(writePng(picture.get(), folder / "link.png"), std::runtime_error);
    const auto webp = openAnimation(folder / "x.webp", 1);
    webp->add(picture.get());
    webp->finish();
    EXPECT_EQ((std::stringstream() << std::ifstream(outside).rdbuf()).str(), "kept");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace devhost
