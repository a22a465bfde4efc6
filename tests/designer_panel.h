// A panel file as a designer writes one for the simulator (Windows line
// ends, tabs, both kinds of comment, a one-number size_mm under background
// art, other modules' gauges, a virtual cockpit, window titles), written
// into a folder with its bitmaps, for the tests of every command.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace devhost::testing {

// A bottom-up BMP of `bits` 24 or 8 (then a grey-free palette of the
// colours used, up to 256), each pixel 0xRRGGBB from colour(x, y).
inline std::vector<unsigned char> bmpFile(int width, int height, int bits, const std::function<uint32_t(int, int)>& colour)
{
    std::vector<uint32_t> palette;
    auto index = [&](uint32_t c) {
        for (size_t i = 0; i < palette.size(); ++i)
            if (palette[i] == c)
                return i;
        palette.push_back(c);
        return palette.size() - 1;
    };
    const size_t rowBytes = (size_t(width) * (bits / 8) + 3) & ~size_t{3};
    std::vector<unsigned char> pixels(rowBytes * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            unsigned char* at = &pixels[size_t(height - 1 - y) * rowBytes + size_t(x) * (bits / 8)];
            if (bits == 8) {
                *at = static_cast<unsigned char>(index(c));
            } else {
                at[0] = c & 0xFF, at[1] = c >> 8 & 0xFF, at[2] = c >> 16 & 0xFF;
            }
        }
    const size_t paletteBytes = bits == 8 ? 256 * 4 : 0;
    std::vector<unsigned char> bmp(54 + paletteBytes, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bmp[0] = 'B', bmp[1] = 'M';
    put(2, uint32_t(bmp.size() + pixels.size()), 4);
    put(10, uint32_t(bmp.size()), 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, uint32_t(bits), 2);
    for (size_t i = 0; i < palette.size(); ++i)
        put(54 + 4 * i, palette[i], 3);
    bmp.insert(bmp.end(), pixels.begin(), pixels.end());
    return bmp;
}

inline void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The colours of the art: the 1024-pixel screen's bitmap is orange with a
// pure black (transparent) band 20 pixels wide on its left; the other one,
// for smaller screens, 8-bit and green.
constexpr uint32_t ArtColour = 0xC87828;
constexpr uint32_t SmallScreenArtColour = 0x20A040;
constexpr uint32_t RadioStackColour = 0x1E5A1E;   // its background_color 30,90,30

inline const char* designerPanelText()
{
    return "// A designer's panel, comments in the local code page: \xE9t\xE9\r\n"
           "[Window Titles]\r\n"
           "Window00=Main Panel\r\n"
           "Window01=Radio Stack\r\n"
           "\r\n"
           "[VIEWS]\r\n"
           "VIEW_FORWARD_DIR=10.000, 0.000, 0.000\r\n"
           "\r\n"
           "[Window00]\r\n"
           "FILE=Panel_Background.bmp\t; 8-bit, for small screens\r\n"
           "file_1024=panel_1024.bmp\r\n"
           "size_mm=400\r\n"
           "window_size_ratio=1.000\r\n"
           "window_pos=0.0,0.0\r\n"
           "zorder=1\r\n"
           "nomenu=1\r\n"
           "ident=MAIN_PANEL\r\n"
           "gauge00=Vardex_Instr!Airspeed,\t40,\t20,\t100,\t110\t// trailing comment\r\n"
           "gauge01=fs9gps!gps_500, 250, 20, 120, 80\r\n"
           "gauge02=fs9gps!gps_500, 250, 120\r\n"
           "gauge03=SomeModule!Fuel_Gauge, 0, 150\r\n"
           "\r\n"
           "[Window01]\r\n"
           "size_mm=300,200\r\n"
           "background_color=30,90,30   \r\n"
           "visible=0\r\n"
           "ident=RADIO_STACK_PANEL\r\n"
           "render_3d_window=0\r\n"
           "gauge00=Vardex_Instr!Radio_COM_SK10, 10, 10, 175, 180\r\n"
           "\r\n"
           "[Vcockpit01]\r\n"
           "size_mm=1024,1024\r\n"
           "pixel_size=256,256\r\n"
           "texture=$VC01\r\n"
           "background_color=0,0,0\r\n"
           "gauge00=Vardex_Instr!Altimeter, 100, 100, 300, 330\r\n"
           "\r\n"
           "[Default View]\r\n"
           "X=0\r\n";
}

// The panel file and its two bitmaps in the folder; the path of the file.
inline std::string writeDesignerPanel(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    writeFile(folder / "Panel_1024.BMP",
              bmpFile(200, 100, 24, [](int x, int) { return x < 20 ? 0u : ArtColour; }));
    writeFile(folder / "panel_background.bmp", bmpFile(200, 100, 8, [](int, int) { return SmallScreenArtColour; }));
    const std::filesystem::path panel = folder / "panel.cfg";
    std::ofstream(panel, std::ios::binary) << designerPanelText();
    return panel.string();
}

}  // namespace devhost::testing
