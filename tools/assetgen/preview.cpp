#include "tools/assetgen/preview.h"

#include <cairo.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "tools/assetgen/style.h"

namespace assetgen {

namespace {

constexpr double Radians = std::numbers::pi / 180.0;

// A BMP as a Cairo surface, pure black transparent.
cairo_surface_t* decode(const std::vector<uint8_t>& bmp)
{
    int w = static_cast<int>(bmp[18] | bmp[19] << 8), h = static_cast<int>(bmp[22] | bmp[23] << 8);
    int rowBytes = (w * 3 + 3) & ~3;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = bmp.data() + 54 + (h - 1 - y) * rowBytes + x * 3;
            uint32_t v = (p[0] || p[1] || p[2]) ? 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0] : 0;
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = v;
        }
    cairo_surface_mark_dirty(s);
    return s;
}

class Composer {
public:
    Composer(cairo_t* cr, const BitmapFiles& files, double ox, double oy) : cr_(cr), files_(files), ox_(ox), oy_(oy) {}
    ~Composer()
    {
        for (auto& [n, s] : cache_)
            cairo_surface_destroy(s);
    }

    void image(int n, double x = 0, double y = 0)
    {
        cairo_set_source_surface(cr_, get(n), ox_ + x, oy_ + y);
        cairo_paint(cr_);
    }
    void needle(const ElementInfo& e, double value)
    {
        cairo_save(cr_);
        cairo_translate(cr_, ox_ + e.position.x, oy_ + e.position.y);
        cairo_rotate(cr_, needleAngle(e, value) * Radians);
        cairo_set_source_surface(cr_, get(e.bitmap), -e.offset.x, -e.offset.y);
        cairo_paint(cr_);
        cairo_restore(cr_);
    }
    // A positive turn is counter-clockwise on screen.
    void sprite(const ElementInfo& e, double value)
    {
        cairo_surface_t* tex = get(e.bitmap);
        cairo_surface_t* win = get(e.bitmap + 1);
        cairo_save(cr_);
        cairo_rectangle(cr_, ox_ + e.position.x, oy_ + e.position.y, cairo_image_surface_get_width(win),
                        cairo_image_surface_get_height(win));
        cairo_clip(cr_);
        cairo_translate(cr_, ox_ + e.offset.x, oy_ + e.offset.y);
        cairo_rotate(cr_, -value * e.rotationScale * Radians);
        cairo_set_source_surface(cr_, tex, -cairo_image_surface_get_width(tex) / 2.0,
                                 -cairo_image_surface_get_height(tex) / 2.0);
        cairo_paint(cr_);
        cairo_restore(cr_);
        image(e.bitmap + 1, e.position.x, e.position.y);
    }
    void moving(const ElementInfo& e, double value, bool vertical)
    {
        cairo_surface_t* strip = get(e.bitmap);
        cairo_surface_t* win = get(e.bitmap + 1);
        double ww = cairo_image_surface_get_width(win), wh = cairo_image_surface_get_height(win);
        double travel =
            vertical ? cairo_image_surface_get_height(strip) - wh : cairo_image_surface_get_width(strip) - ww;
        double offset = (value - e.rangeStart) / (e.rangeEnd - e.rangeStart) * travel;
        cairo_save(cr_);
        cairo_rectangle(cr_, ox_ + e.position.x, oy_ + e.position.y, ww, wh);
        cairo_clip(cr_);
        cairo_set_source_surface(cr_, strip, ox_ + e.position.x - (vertical ? 0 : offset),
                                 oy_ + e.position.y - (vertical ? offset : 0));
        cairo_paint(cr_);
        cairo_restore(cr_);
        image(e.bitmap + 1, e.position.x, e.position.y);
    }

private:
    cairo_surface_t* get(int n)
    {
        auto it = cache_.find(n);
        if (it != cache_.end())
            return it->second;
        return cache_[n] = decode(files_.at(n));
    }
    cairo_t* cr_;
    const BitmapFiles& files_;
    double ox_, oy_;
    std::map<int, cairo_surface_t*> cache_;
};

using Panel = std::function<void(Composer&, const Layout&)>;

struct Placed {
    double x, y;
    Panel draw;
};

// A COM or NAV radio: front, the two discs turned, the front mask, the knob.
void frequencyRadio(Composer& c, const Layout& l, const char* gauge, int front, int mask, double coarse, double fine)
{
    int disc = front + 10;
    c.image(front);
    c.sprite(l.element(gauge, Sprite, disc), coarse);
    c.sprite(l.element(gauge, Sprite, disc + 10), fine);
    c.image(mask);
    c.sprite(l.element(gauge, Sprite, disc + 20), 0);
}

// The ADF receiver tuned to `khz` in `band`, its switches on or off.
void adfReceiver(Composer& c, const Layout& l, double khz, int band, bool on)
{
    const double bottoms[] = {200, 410, 850}, degreesPerKhz[] = {0.5, 0.4, 0.3}, bandKnob[] = {300, 60, 180};
    c.image(1300);
    c.needle(l.element("Radio_ADF_EZ6", Needle, 1370), (khz - bottoms[band - 1]) * degreesPerKhz[band - 1]);
    c.image(1360 + band, 237, 12);
    c.image(1380);
    c.needle(l.element("Radio_ADF_EZ6", Needle, 1320), 60);
    c.needle(l.element("Radio_ADF_EZ6", Needle, 1310), bandKnob[band - 1]);
    c.image(on ? 1351 : 1350, 19, 344);
    if (on)
        c.image(1340, 293, 462);
    c.image(on ? 1331 : 1330, 473, 331);
}

}  // namespace

bool writePreview(const std::string& path, const BitmapFiles& bitmaps, const Layout& l)
{
    std::vector<Placed> gauges = {
        {0, 0, [](Composer& c, const Layout& l) {  // airspeed, metric, 250 km/h
             c.image(290);
             c.needle(l.element("Airspeed", Needle, 300, 0), 250);
             c.image(310);
             c.image(330);
         }},
        {310, 0, [](Composer& c, const Layout& l) {  // airspeed, knots, 300 kt
             c.image(290);
             c.image(320);
             c.needle(l.element("Airspeed", Needle, 300, 1), 300);
             c.image(310);
         }},
        {620, 0, [](Composer& c, const Layout& l) {  // altimeter metric: 1234 m, 1013 mb
             c.image(430);
             c.moving(l.element("Altimeter", MovingImage, 360), 1013, false);
             c.moving(l.element("Altimeter", MovingImage, 350), 1, false);
             c.needle(l.element("Altimeter", Needle, 340), 1234);
             c.image(390);
         }},
        {930, 0, [](Composer& c, const Layout& l) {  // altimeter British: 12340 ft, 29.92
             c.image(430);
             c.image(370);
             c.sprite(l.element("Altimeter", Sprite, 380), 29.92 - 29.9);
             c.needle(l.element("Altimeter", Needle, 420), 12340);
             c.needle(l.element("Altimeter", Needle, 410), 12340);
             c.needle(l.element("Altimeter", Needle, 400), 12340);
             c.image(390);
         }},
        {1240, 0, [](Composer& c, const Layout& l) {  // horizon: pitch 5, bank 20
             c.image(1000);
             c.image(1060, 147 + 3, 232);
             auto bar = l.element("Artificial_Horizon", Sprite, 1010);
             c.sprite(bar, 20);
             c.needle(l.element("Artificial_Horizon", Needle, 1020), 20);
             c.image(1030, 52, 70);
             c.image(1050, 116, 37);
             c.image(1040);
             c.image(1070);
         }},
        {0, 340, [](Composer& c, const Layout& l) {  // gyro: heading 30, course 45
             c.image(250);
             c.sprite(l.element("Directionnal_Gyro", Sprite, 260), 30);
             ElementInfo disc{.position = {150, 150}, .offset = {106, 83}};
             disc.bitmap = 280;
             c.needle(disc, 15);
             c.image(270);
         }},
        {310, 340, [](Composer& c, const Layout& l) {  // vertical speed metric: +5 m/s
             c.image(1100);
             c.needle(l.element("Vertical_Speed", Needle, 1110, 1), 1280);
             c.image(1130);
             c.image(1120);
         }},
        {620, 340, [](Composer& c, const Layout& l) {  // turn: rate one right, ball 20
             c.image(440);
             c.image(460, 141 + 11.6, 172 - 0.1);
             c.image(470, 137, 169);
             c.needle(l.element("Turn_Coordinator", Needle, 450), 4.5);
             c.image(480);
         }},
        {930, 340, [](Composer& c, const Layout& l) {  // ADF bearing 60
             c.image(2070);
             c.needle(l.element("ADF_Indicator", Needle, 2080), 60);
             c.image(2090);
         }},
        {1240, 340, [](Composer& c, const Layout& l) {  // homing: 10 right
             c.image(2070);
             c.image(2100);
             c.needle(l.element("ADF_Indicator", Needle, 2110), 10);
             c.image(2120);
             c.image(2090);
         }},
        {0, 690, [](Composer& c, const Layout& l) {  // tachometer 9100 rpm
             c.image(1150);
             c.needle(l.element("Tachometer_1", Needle, 1160), 100);
             c.image(1170);
         }},
        {310, 690, [](Composer& c, const Layout& l) {  // pressures
             c.image(1210);
             c.needle(l.element("Engine_1_Press_Diff", Needle, 1220), 0.6);
             c.image(1230);
             c.image(1240, 200, 0);
         }},
        {720, 690, [](Composer& c, const Layout& l) {  // oil 5 kg/cm2 (at the top)
             c.image(1270);
             c.needle(l.element("Oil_Pressure_1", Needle, 1280), 10254.1);
             c.image(1290);
         }},
        {930, 690, [](Composer& c, const Layout& l) {  // EGT 600 °C
             c.image(1180);
             c.needle(l.element("Exhaust_Gas_Temp", Needle, 1190), 1571.67);
             c.image(1200);
         }},
        {1140, 690, [](Composer& c, const Layout& l) {  // fuel 378.5 l
             c.image(1390);
             c.needle(l.element("Fuel_Quantity_Main_Front", Needle, 1400), 378.5);
             c.image(1410);
         }},
        {1350, 690, [](Composer& c, const Layout& l) {  // flaps 20°
             c.image(1420);
             c.needle(l.element("Flaps_Indicator", Needle, 1430), 6553);
             c.image(1440);
         }},
        {1560, 690, [](Composer& c, const Layout& l) {  // landing: course +64, glide -60
             c.image(3050);
             c.needle(l.element("Landing_Indicator", Needle, 3060), 64);
             c.needle(l.element("Landing_Indicator", Needle, 3070), -60);
             c.image(3080);
         }},
        {0, 1000, [](Composer& c, const Layout& l) {  // COM 118.025 on
             frequencyRadio(c, l, "Radio_COM_SK10", 2230, 2290, 0.025, 0.025);
             c.image(2271, 5, 6);
             c.image(2280, 313, 293);
         }},
        {360, 1000, [](Composer& c, const Layout& l) {  // NAV 110.95 on
             frequencyRadio(c, l, "Radio_NAV_E10K", 2300, 2360, 2.95, 0.95);
             c.image(2370, 16, 201);
             c.image(2341, 92, 201);
             c.image(2350, 32, 12);
         }},
        {720, 1000, [](Composer& c, const Layout& l) {  // XPDR 7700 on
             c.image(2170);
             int digits[4] = {0, 0, 7, 7};
             for (int k = 0; k < 4; ++k)
                 c.needle(l.element("Radio_XPDR_FUG25A6", Needle, 2220, k), digits[k]);
             for (int k = 0; k < 4; ++k)
                 c.moving(l.element("Radio_XPDR_FUG25A6", MovingImage, 2180, k), digits[k], true);
             c.image(2210, 333, 166);
             c.image(2200, 61, 9);
             c.image(2191, 76, 120);
         }},
        {1130, 1000, [](Composer& c, const Layout& l) {  // clock 10:08:30, stopwatch 65 s
             c.image(2000);
             c.sprite(l.element("Junghans_Timer", Sprite, 2060), 5 * 6);
             double t = 10 * 3600 + 8 * 60 + 30;
             c.needle(l.element("Junghans_Timer", Needle, 2040), t);
             c.needle(l.element("Junghans_Timer", Needle, 2030), t);
             c.needle(l.element("Junghans_Timer", Needle, 2020), 65);
             c.needle(l.element("Junghans_Timer", Needle, 2010), 65);
             c.image(2050);
         }},
        {0, 1380, [](Composer& c, const Layout& l) { adfReceiver(c, l, 345.5, 1, true); }},
        {620, 1380, [](Composer& c, const Layout& l) { adfReceiver(c, l, 1234.0, 3, false); }},
        {1240, 1380, [](Composer& c, const Layout&) {  // small pieces
             c.image(241);
             c.image(3000, 110, 0);
             c.image(3011, 110, 0);
             c.image(50, 0, 100);
             for (int k = 0; k < 7; ++k)
                 c.image(100 + 10 * k, k * 24, 140);
             c.image(1090, 160, 0);
         }},
    };
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1800, 1890);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.17);
    cairo_paint(cr);
    for (const auto& g : gauges) {
        Composer c(cr, bitmaps, g.x, g.y);
        g.draw(c, l);
    }
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(sheet, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(sheet);
    return ok;
}

}  // namespace assetgen
