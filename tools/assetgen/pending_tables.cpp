// The elements that the artwork is drawn against, for the gauges whose
// records are not built yet. The generator reads the module's own records
// first and looks here only for what they lack, so each entry can be
// deleted as soon as its gauge lands.
#include "tools/assetgen/layout.h"

namespace assetgen {

namespace {

ElementInfo needle(const char* gauge, int bitmap, Point position, Point offset, std::vector<TablePoint> table)
{
    return {.gauge = gauge, .kind = Needle, .bitmap = bitmap, .position = position, .offset = offset,
            .table = std::move(table)};
}

ElementInfo sprite(const char* gauge, int bitmap, Point window, Point textureCentre, double rotationScale,
                   double yScale = 0.0)
{
    return {.gauge = gauge, .kind = Sprite, .bitmap = bitmap, .position = window, .offset = textureCentre,
            .rotationScale = rotationScale, .yScale = yScale};
}

ElementInfo moving(const char* gauge, int bitmap, Point window, double start, double end)
{
    return {.gauge = gauge, .kind = MovingImage, .bitmap = bitmap, .position = window, .rangeStart = start,
            .rangeEnd = end};
}

ElementInfo placed(const char* gauge, ElementKind kind, int bitmap, Point position)
{
    return {.gauge = gauge, .kind = kind, .bitmap = bitmap, .position = position};
}

ElementInfo slider(const char* gauge, int bitmap, Point position, double xScale, double yScale)
{
    return {.gauge = gauge, .kind = Slider, .bitmap = bitmap, .position = position, .xScale = xScale, .yScale = yScale};
}

// Vertical speed in host units for k feet per minute, as the British table is computed.
double feetPerMinute(double k)
{
    return k / 3.28084 / 60 * 256;
}

}  // namespace

const std::vector<ElementInfo>& pendingElements()
{
    static const std::vector<ElementInfo> elements = {
        // Altimeter
        sprite("Altimeter", 380, {221, 124}, {157, 151}, 90.0),
        moving("Altimeter", 360, {122, 49}, 1050, 930),
        needle("Altimeter", 420, {150, 150}, {0, 6}, {{150, 100, 0}, {150, 200, 50000}}),
        needle("Altimeter", 410, {150, 150}, {33, 14}, {{150, 100, 0}, {150, 200, 5000}}),
        needle("Altimeter", 400, {150, 150}, {35, 13}, {{150, 100, -1}, {150, 100, 0}, {150, 200, 500}}),
        moving("Altimeter", 350, {129, 208}, 0, 20),
        needle("Altimeter", 340, {150, 150}, {43, 28}, {{150, 260, 0}, {150, 40, 500}}),
        // Artificial horizon
        sprite("Artificial_Horizon", 1010, {70, 79}, {155, 152}, -1.0, 1.0),
        slider("Artificial_Horizon", 1060, {147, 232}, 0.3359375, -0.0003662109375),
        placed("Artificial_Horizon", StaticImage, 1030, {52, 70}),
        needle("Artificial_Horizon", 1020, {155, 152}, {70, 7}, {{205, 152, -90}, {105, 152, 90}}),
        // Directional gyro
        sprite("Directionnal_Gyro", 260, {18, 18}, {150, 150}, 1.0),
        // Vertical speed
        needle("Vertical_Speed", 1110, {150, 150}, {36, 15},
               {{259, 170, feetPerMinute(-7000)}, {259, 170, feetPerMinute(-6000)}, {176, 257, feetPerMinute(-3000)},
                {119, 257, feetPerMinute(-2000)}, {65, 222, feetPerMinute(-1000)}, {30, 150, 0},
                {65, 78, feetPerMinute(1000)}, {119, 42, feetPerMinute(2000)}, {177, 45, feetPerMinute(3000)},
                {259, 130, feetPerMinute(6000)}, {259, 130, feetPerMinute(7000)}}),
        needle("Vertical_Speed", 1110, {150, 150}, {36, 15},
               {{230, 230, -10240}, {230, 230, -7680}, {187, 256, -5120}, {137, 266, -2560}, {75, 235, -1280},
                {36, 151, 0}, {75, 68, 1280}, {137, 40, 2560}, {187, 51, 5120}, {230, 74, 7680}, {230, 74, 10240}}),
        // Turn coordinator
        slider("Turn_Coordinator", 460, {141, 172}, 0.578125, -0.000244140625),
        needle("Turn_Coordinator", 450, {150, 251}, {22, 14},
               {{60, 81, -5}, {60, 81, -4.5}, {240, 81, 4.5}, {240, 81, 5}}),
        // ADF bearing indicator
        needle("ADF_Indicator", 2080, {150, 150}, {108, 11}, {{150, 50, 0}, {150, 250, 180}}),
        needle("ADF_Indicator", 2110, {150, 279}, {0, 7}, {{73, 67, 340}, {150, 52, 360}, {227, 67, 380}}),
        // ADF receiver
        placed("Radio_ADF_EZ6", Icon, 1360, {237, 12}),
        needle("Radio_ADF_EZ6", 1370, {301, 187}, {175, 175}, {{301, 12, 0}, {301, 362, 180}}),
        needle("Radio_ADF_EZ6", 1320, {304, 207}, {86, 86}, {{304, 177, 0}, {304, 237, 60}}),
        needle("Radio_ADF_EZ6", 1310, {535, 236}, {62, 62}, {{535, 174, 0}, {535, 298, 180}}),
        // COM radio
        sprite("Radio_COM_SK10", 2240, {158, 10}, {178, 178}, 9.0),
        sprite("Radio_COM_SK10", 2250, {158, 28}, {178, 178}, 90.0),
        sprite("Radio_COM_SK10", 2260, {88, 166}, {175, 253}, -1.0),
        // NAV receiver
        sprite("Radio_NAV_E10K", 2310, {161, 20}, {177, 163}, 9.0),
        sprite("Radio_NAV_E10K", 2320, {161, 35}, {177, 163}, 88.0),
        sprite("Radio_NAV_E10K", 2330, {3, 24}, {88, 109}, -1.0),
        // Transponder: the four digit knobs, units first, and the wheels.
        needle("Radio_XPDR_FUG25A6", 2220, {365, 68}, {25, 25}, {{365, 43, 0}, {365, 93, 8}}),
        needle("Radio_XPDR_FUG25A6", 2220, {275, 60}, {25, 25}, {{275, 35, 0}, {275, 85, 8}}),
        needle("Radio_XPDR_FUG25A6", 2220, {220, 59}, {25, 25}, {{220, 34, 0}, {220, 84, 8}}),
        needle("Radio_XPDR_FUG25A6", 2220, {164, 59}, {25, 25}, {{164, 34, 0}, {164, 84, 8}}),
        moving("Radio_XPDR_FUG25A6", 2180, {360, 5}, 0, 10),
        moving("Radio_XPDR_FUG25A6", 2180, {275, 5}, 0, 10),
        moving("Radio_XPDR_FUG25A6", 2180, {207, 5}, 0, 10),
        moving("Radio_XPDR_FUG25A6", 2180, {135, 5}, 0, 10),
        // Landing indicator
        needle("Landing_Indicator", 3060, {98, 52}, {0, 4}, {{129, 150, 127}, {67, 150, -127}}),
        needle("Landing_Indicator", 3070, {148, 101}, {0, 4}, {{44, 134, 120}, {44, 101, 0}, {44, 68, -120}}),
        // Clock and stopwatch
        sprite("Junghans_Timer", 2060, {21, 24}, {138, 139}, 1.0),
        needle("Junghans_Timer", 2040, {138, 139}, {6, 6}, {{138, 39, 0}, {138, 239, 21600}}),
        needle("Junghans_Timer", 2030, {138, 139}, {7, 7}, {{138, 39, 0}, {138, 239, 1800}}),
        needle("Junghans_Timer", 2020, {138, 183}, {6, 6}, {{138, 153, 0}, {138, 213, 450}}),
        needle("Junghans_Timer", 2010, {138, 139}, {8, 8}, {{138, 39, 0}, {138, 239, 30}}),
    };
    return elements;
}

}  // namespace assetgen
