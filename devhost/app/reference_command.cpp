#include "devhost/core/module_gauges.h"
#include "devhost/app/reference_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <vector>

#include "devhost/app/catalog_command.h"
#include "devhost/app/gauge_state.h"
#include "devhost/core/file_writer.h"
#include "devhost/core/gauge_notes.h"
#include "devhost/core/host.h"
#include "devhost/core/html_text.h"
#include "devhost/core/panel_file.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/render/panel_renderer.h"
#include "devhost/render/png_writer.h"

namespace devhost {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

constexpr std::string_view PictureFolder = "pictures";
constexpr int SmallestPictureWidth = 200;   // tiny buttons are drawn larger, so their areas can be numbered
constexpr double AreaOutlineWidth = 2.0;
constexpr double AreaNumberSize = 14.0;
constexpr std::string_view UnitsSwitch = "Metric_Switch";
constexpr Point UnitsSwitchLever{48, 22};   // the middle of its plate
constexpr int StopwatchSeconds = 40;

// A state a gauge is shown in besides the one it starts in: settings and
// clicks of its own, the units switch thrown, seconds run.
struct Scene {
    std::string_view title;
    std::vector<std::string> settings;
    std::vector<std::string> clicks;    // on the gauge itself, "X,Y" in its pixels
    bool britishUnits = false;
    int seconds = 1;
};

struct GaugeScenes {
    std::string_view gauge;
    std::vector<Scene> scenes;
};

// The states that show what a gauge can do: the radios switched on (at their
// main switch) and tuned, the three instruments the units switch turns to
// British units, the stopwatch running.
const std::vector<GaugeScenes>& mainStates()
{
    static const std::vector<GaugeScenes> states{
        {"Radio_COM_SK10", {{"switched on, tuned to 122.80 MHz", {"com1_freq=122.80"}, {"45,46"}}}},
        {"Radio_NAV_E10K", {{"switched on, tuned to 110.30 MHz", {"nav1_freq=110.30"}, {"129,238"}}}},
        {"Radio_ADF_EZ6", {{"switched on, tuned to 345.5 kHz", {"adf=345.5"}, {"535,393"}}}},
        {"Radio_XPDR_FUG25A6", {{"switched on, code 7700", {"transponder=7700"}, {"101,145"}}}},
        {"Airspeed", {{"British units (knots), at 250 km/h", {"airspeed=250kmh"}, {}, true}}},
        {"Altimeter", {{"British units (feet), at 3000 m", {"altitude=3000m"}, {}, true}}},
        {"Vertical_Speed", {{"British units", {}, {}, true}}},
        {UnitsSwitch, {{"British units", {}, {}, true}}},
        {"Junghans_Timer",
         {{"stopwatch running for 40 s", {}, {"132,284"}, false, StopwatchSeconds}}},
    };
    return states;
}

std::vector<Scene> scenesOf(std::string_view gauge)
{
    std::vector<Scene> scenes{{.title = "as it starts (metric units, radios off)"}};
    for (const GaugeScenes& entry : mainStates())
        if (entry.gauge == gauge)
            scenes.insert(scenes.end(), entry.scenes.begin(), entry.scenes.end());
    return scenes;
}


std::string listed(const json& items)
{
    if (items.empty())
        return "none";
    std::string text;
    for (const json& item : items)
        text += (text.empty() ? "" : ", ") + fmt::format("<code>{}</code>", htmlEscaped(item.get<std::string>()));
    return text;
}

// The gauge in a scene, drawn in the given light, with its mouse areas
// outlined and numbered when there are boxes.
struct Picture {
    std::string file;
    std::string caption;
};

class GaugePictures {
public:
    GaugePictures(const std::string& module, std::string_view gauge, const fs::path& folder)
        : module_(module), gauge_(gauge), folder_(folder)
    {
    }

    // The pictures of one scene; the first scene also at night and with its
    // areas drawn.
    std::vector<Picture> draw(const Scene& scene, size_t number, const json& areas)
    {
        StateOptions options{.module = module_, .gauge = gauge_, .settings = scene.settings,
                             .clicks = scene.clicks, .frames = 0};
        BuiltState state = buildState(options);
        Host& host = *state.host;
        if (scene.britishUnits) {
            GaugeInstance* units = host.find(UnitsSwitch);
            if (!units)
                units = &host.place(UnitsSwitch);
            host.clickGaugePixel(*units, UnitsSwitchLever);
        }
        host.frame(scene.seconds * static_cast<int>(std::lround(host.options().framesPerSecond)));

        GaugeInstance& gauge = *state.gauge;
        BitmapImages images(host.bitmaps());
        const int width = std::max(1, gauge.gaugePixels().x);
        const double factor = width < SmallestPictureWidth ? std::ceil(double(SmallestPictureWidth) / width) : 1.0;
        const GaugeScale scale{factor, factor};
        const PanelColours colours = defaultPanel().colours;

        std::vector<Picture> pictures;
        SurfaceHandle day = renderGauge(gauge, images, scale, {}, Lighting{.colours = colours});
        std::string reads;
        for (const std::string& reading : gaugeReadings(host, gauge, host.probe(gauge)))
            reads += (reads.empty() ? "; reads: " : " | ") + reading;
        pictures.push_back(save(day.get(), fmt::format("{}-{}-day.png", gauge_, number), std::string(scene.title) + reads));
        if (number == 0) {
            SurfaceHandle night =
                renderGauge(gauge, images, scale, {}, Lighting{.colours = colours, .level = Lighting::NightLevel});
            pictures.push_back(save(night.get(), fmt::format("{}-night.png", gauge_), "at night, the panel lights on"));
            outlineAreas(day.get(), areas, scale);
            pictures.push_back(save(day.get(), fmt::format("{}-areas.png", gauge_), "mouse areas, numbered as below"));
        }
        for (int32_t bitmap : images.missing())
            std::cerr << fmt::format("devhost: {} names bitmap {}, which the module lacks\n", gauge_, bitmap);
        return pictures;
    }

private:
    Picture save(cairo_surface_t* surface, const std::string& file, std::string_view caption)
    {
        const std::string relative = fmt::format("{}/{}", PictureFolder, file);
        writePng(surface, folder_ / relative);
        return {relative, std::string(caption)};
    }

    static void outlineAreas(cairo_surface_t* surface, const json& areas, GaugeScale scale)
    {
        cairo_t* cr = cairo_create(surface);
        cairo_set_line_width(cr, AreaOutlineWidth);
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, AreaNumberSize);
        const double w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
        int number = 0;
        for (const json& area : areas) {
            ++number;
            const json& b = area["box"];
            double x = b[0].get<int>() * scale.x, y = b[1].get<int>() * scale.y;
            double bw = b[2].get<int>() * scale.x, bh = b[3].get<int>() * scale.y;
            if (bw <= 0 || bh <= 0) {   // the whole gauge
                x = y = 0;
                bw = w;
                bh = h;
            }
            const bool click = area["type"] == "click";
            cairo_set_source_rgb(cr, click ? 1.0 : 0.2, click ? 0.2 : 0.6, click ? 0.1 : 1.0);
            cairo_rectangle(cr, x + 1, y + 1, std::max(0.0, bw - 2), std::max(0.0, bh - 2));
            cairo_stroke(cr);
            const std::string label = std::to_string(number);
            cairo_text_extents_t extents;
            cairo_text_extents(cr, label.c_str(), &extents);
            // Regions numbered at their top left, click areas at their bottom
            // right, so that an area in a region's corner hides no number.
            const double lx = std::clamp(click ? x + bw - extents.width - 7 : x + 3, 0.0,
                                         std::max(0.0, w - extents.width - 4));
            const double ly = std::clamp(click ? y + bh - extents.height - 7 : y + 3, 0.0,
                                         std::max(0.0, h - extents.height - 4));
            cairo_rectangle(cr, lx, ly, extents.width + 4, extents.height + 4);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_move_to(cr, lx + 2 - extents.x_bearing, ly + 2 - extents.y_bearing);
            cairo_show_text(cr, label.c_str());
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
    }

    const std::string& module_;
    std::string gauge_;
    fs::path folder_;
};

std::string areaTable(const json& areas)
{
    if (areas.empty())
        return "<p>None: the gauge takes no clicks and shows no tooltip.</p>\n";
    std::string rows;
    int number = 0;
    for (const json& a : areas) {
        const json& b = a["box"];
        std::string what;
        if (a["type"] == "region") {
            const std::string tip = a.value("tooltip", std::string());
            what = tip.empty() ? "region, no tooltip" : fmt::format("tooltip “{}”", htmlEscaped(tip));
        } else {
            std::string buttons;
            for (const json& button : a["buttons"])
                buttons += (buttons.empty() ? "" : ", ") + button.get<std::string>();
            what = fmt::format("{}: {}", htmlEscaped(buttons),
                               a.contains("key_event")
                                   ? fmt::format("sends key event <code>{}</code>",
                                                 htmlEscaped(a["key_event"].get<std::string>()))
                                   : std::string("handled by the module"));
        }
        rows += fmt::format("<tr><td>{}</td><td>{}</td><td>{},{} {}×{}</td><td>{}</td><td>{}</td></tr>\n", ++number,
                            a["type"].get<std::string>(), b[0].get<int>(), b[1].get<int>(), b[2].get<int>(),
                            b[3].get<int>(), htmlEscaped(a["cursor"].get<std::string>()), what);
    }
    return "<table>\n<tr><th>#</th><th>kind</th><th>box (x,y w×h, gauge pixels; 0×0: the whole gauge)</th>"
           "<th>cursor</th><th>tooltip or click</th></tr>\n" +
           rows + "</table>\n";
}

constexpr std::string_view PageStyle =
    "<style>body{font-family:sans-serif;max-width:70em;margin:1em auto;padding:0 1em}"
    "figure{display:inline-block;margin:0 1em 1em 0;vertical-align:top}"
    "img{background:#777;border:1px solid #444}table{border-collapse:collapse}"
    "td,th{border:1px solid #999;padding:.2em .5em;text-align:left}a{text-decoration:none}</style>\n";

std::string page(std::string_view title, const std::string& body)
{
    return fmt::format("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>{}</title>\n{}"
                       "</head>\n<body>\n{}</body>\n</html>\n",
                       htmlEscaped(title), PageStyle, body);
}

std::string gaugePage(const json& d, const std::vector<Picture>& pictures)
{
    const std::string name = d["gauge"].get<std::string>();
    std::string body = fmt::format("<p><a href=\"index.html\">All gauges</a></p>\n<h1><code>{}</code></h1>\n",
                                   htmlEscaped(name));
    body += fmt::format("<h2>Default size</h2>\n<p>{} mm wide in <code>panel.cfg</code> terms; drawn on {}×{} "
                        "pixels of its own.</p>\n",
                        d["size_mm"].get<uint32_t>(), d["pixels"][0].get<int>(), d["pixels"][1].get<int>());
    body += "<h2>Pictures</h2>\n";
    for (const Picture& p : pictures)
        body += fmt::format("<figure><img src=\"{}\" alt=\"{}\"><figcaption>{}</figcaption></figure>\n", p.file,
                            htmlEscaped(p.caption), htmlEscaped(p.caption));
    body += "<h2>Mouse areas</h2>\n" + areaTable(d["mouse_areas"]);
    body += "<h2>Parameter text</h2>\n";
    if (d["parameter"].is_null())
        body += "<p>None: the gauge reads no parameter text.</p>\n";
    else
        body += fmt::format("<p>{}</p>\n<p>Examples: <code>{}</code></p>\n",
                            htmlEscaped(d["parameter"]["forms"].get<std::string>()),
                            htmlEscaped(d["parameter"]["examples"].get<std::string>()));
    body += fmt::format("<h2>Variables read</h2>\n<p>{}</p>\n", listed(d["reads"]));
    body += fmt::format("<h2>Key events sent</h2>\n<p>{}</p>\n", listed(d["sends"]));
    return page(name, body);
}

// A designer's own panel, window by window as it is laid out: the module's
// gauges link to their pages; other modules' gauges, which the module
// cannot draw, stand as labelled placeholders in the pictures and the list.
std::string panelPage(const std::string& module, const Panel& panel, const fs::path& folder)
{
    Host host(module);
    placePanelReporting(host, panel);
    host.frame();
    PanelRenderer renderer(host);
    std::string body = fmt::format("<h1>Panel <code>{}</code></h1>\n<p><a href=\"index.html\">Gauge reference</a></p>\n",
                                   htmlEscaped(fs::path(panel.source).filename().string()));
    for (const PanelWindowSpec& window : panel.windows) {
        const std::string picture = fmt::format("panel-window-{}.png", window.number);
        writePng(renderer.render(window.number, {window.sizeX, window.sizeY}), folder / PictureFolder / picture,
                 PngCompression::Small);
        const std::string name = window.name.empty() ? std::to_string(window.number) : window.name;
        body += fmt::format("<h2>Window {}{}</h2>\n<p>{}×{} pixels{}</p>\n<img src=\"{}/{}\" alt=\"window {}\">\n<ul>\n",
                            htmlEscaped(name), window.title.empty() ? "" : " — " + htmlEscaped(window.title),
                            window.sizeX, window.sizeY, window.visible ? "" : ", hidden at start", PictureFolder,
                            picture, htmlEscaped(name));
        for (const PlacedGauge& gauge : window.gauges) {
            const bool own = std::any_of(host.gauges().begin(), host.gauges().end(),
                                         [&](const auto& g) { return g->name() == gauge.gauge; });
            const std::string label = htmlEscaped(gauge.module + "!" + gauge.gauge);
            body += own ? fmt::format("<li><a href=\"{}.html\"><code>{}</code></a> at {},{}</li>\n",
                                      htmlEscaped(gauge.gauge), label, gauge.x, gauge.y)
                        : fmt::format("<li><code>{}</code> at {},{}: another module's gauge, drawn as a "
                                      "placeholder</li>\n",
                                      label, gauge.x, gauge.y);
        }
        body += "</ul>\n";
    }
    return page(std::string(ModuleName) + " on " + fs::path(panel.source).filename().string(), body);
}

}  // namespace

ReferenceCommand::ReferenceCommand(CLI::App& app, Common& common)
    : Command(app.add_subcommand(
          "reference", "the gauge reference: an HTML page per gauge with pictures, mouse areas, tooltips, variables "
                       "read, key events sent and parameter texts, and an index\n  devhost reference -o reference/"), common)
{
    addModule(*command_, common_, Sound::Never);
    command_->add_option("--panel", common_.panel,
                         "a panel of one's own, drawn window by window on a page of the reference (panel.html), "
                         "other modules' gauges as placeholders");
    addPanelReadingOptions(*command_, common_.screenWidth);
    command_->add_option("-o,--output", folder_, "folder to write it in (made if missing)")->required();
}

int ReferenceCommand::run()
{
    writeReference(common_.module, folder_, common_.panel.empty() ? std::nullopt
                                                                  : std::optional<Panel>(choosePanel(common_)));
    return 0;
}

void writeReference(const std::string& module, const fs::path& folder, const std::optional<Panel>& panel)
{
    if (folder.empty())
        throw std::runtime_error("-o: name the folder to write the reference in (an empty name would fill the "
                                 "working folder)");
    std::error_code error;
    fs::create_directories(folder / PictureFolder, error);
    if (error)
        throw std::runtime_error(fmt::format("{}: cannot create the folder: {}", folder.string(), error.message()));

    std::string index;
    for (const GaugeInfo& info : Host(module).gaugeList()) {
        const json description = describeGauge(module, info.name, "");
        GaugePictures drawer(module, info.name, folder);
        std::vector<Picture> pictures;
        size_t number = 0;
        for (const Scene& scene : scenesOf(info.name)) {
            std::vector<Picture> drawn = drawer.draw(scene, number++, description["mouse_areas"]);
            pictures.insert(pictures.end(), drawn.begin(), drawn.end());
        }
        writeFileWhole(folder / (info.name + ".html"), gaugePage(description, pictures));
        index += fmt::format("<tr><td><a href=\"{0}.html\"><code>{0}</code></a></td><td>{1}</td><td>{2}</td></tr>\n",
                             htmlEscaped(info.name), info.defaultSize, description["mouse_areas"].size());
    }
    if (panel)
        writeFileWhole(folder / "panel.html", panelPage(module, *panel, folder));
    writeFileWhole(folder / "index.html",
              page(std::string(ModuleName) + " gauge reference",
                   "<h1>" + std::string(ModuleName) + " gauge reference</h1>\n<p><a href=\"../Installation.html\">Installation guide</a>" +
                       std::string(panel ? " · <a href=\"panel.html\">The panel, window by window</a>" : "") +
                       "</p>\n"
                   "<p>Every gauge of the module, as the module itself "
                   "defines it: pictures by day, at night and in its main states, its mouse areas, tooltips, the "
                   "variables it reads, the key events it sends and its parameter texts.</p>\n<table>\n"
                   "<tr><th>gauge</th><th>default size (mm)</th><th>mouse areas</th></tr>\n" +
                       index + "</table>\n"));
    releaseDrawingCaches();
}

}  // namespace devhost
