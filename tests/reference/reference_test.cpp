// The gauge reference the package ships, as the build wrote it: a complete
// page for every gauge of the module, every mouse area of the module's
// records in it, and main states that show something other than the start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/key_events.h"
#include "devhost/core/mouse_map.h"

namespace {

namespace fs = std::filesystem;

const fs::path folder = VARDEX_REFERENCE_DIR;

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> pictures(const std::string& page)
{
    std::vector<std::string> files;
    const std::regex source("<img src=\"([^\"]+)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), source); it != std::sregex_iterator(); ++it)
        files.push_back((*it)[1]);
    return files;
}

TEST(GaugeReference, EveryGaugeHasACompletePageWithItsPicturesAndEveryMouseArea)
{
    const std::string index = contents(folder / "index.html");
    devhost::Host host(devhost::moduleUnderTest());
    ASSERT_EQ(host.gaugeList().size(), 41u);
    for (const devhost::GaugeInfo& info : host.gaugeList()) {
        SCOPED_TRACE(info.name);
        EXPECT_NE(index.find("href=\"" + info.name + ".html\""), std::string::npos);
        const std::string page = contents(folder / (info.name + ".html"));
        for (const char* section : {"Default size", "Pictures", "Mouse areas", "Parameter text", "Variables read",
                                    "Key events sent"})
            EXPECT_NE(page.find(std::string("<h2>") + section + "</h2>"), std::string::npos) << section;
        const std::vector<std::string> files = pictures(page);
        EXPECT_GE(files.size(), 3u) << "by day, at night, with the areas drawn";
        for (const std::string& file : files)
            EXPECT_EQ(contents(folder / file).substr(1, 3), "PNG") << file;

        devhost::GaugeInstance& gauge = host.place(info.name);
        const devhost::MouseMap map(gauge.mouseAreas(), gauge.gaugePixels());
        size_t number = 0;
        for (const devhost::MouseMap::Listed& entry : map.listed()) {
            const auto& b = entry.box;
            const std::string row = "<tr><td>" + std::to_string(++number) + "</td><td>" +
                                    (entry.area->type == Region ? "region" : "click") + "</td><td>" +
                                    std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) +
                                    "×" + std::to_string(b.height) + "</td>";
            EXPECT_NE(page.find(row), std::string::npos) << "area " << number << " missing: " << row;
            const devhost::KeyEventInfo* event = devhost::findKeyEvent(entry.area->keyEventOrArgCount);
            if (entry.area->type == ClickArea && !entry.area->handler && event) {
                EXPECT_NE(page.find("sends key event <code>" + std::string(event->name) + "</code>"),
                          std::string::npos)
                    << "area " << number;
            }
        }
        EXPECT_EQ(page.find("<tr><td>" + std::to_string(number + 1) + "</td>"), std::string::npos)
            << "more areas listed than the module has";
    }
}

TEST(GaugeReference, MainStatesShowSomethingOtherThanTheStart)
{
    for (const char* gauge : {"Radio_COM_SK10", "Radio_NAV_E10K", "Radio_ADF_EZ6", "Radio_XPDR_FUG25A6", "Airspeed",
                              "Altimeter", "Vertical_Speed", "Metric_Switch", "Junghans_Timer"}) {
        SCOPED_TRACE(gauge);
        const std::vector<std::string> files = pictures(contents(folder / (std::string(gauge) + ".html")));
        ASSERT_GE(files.size(), 4u);
        // The start by day, at night, with its areas, then the other states.
        const std::string start = contents(folder / files[0]);
        for (size_t i = 3; i < files.size(); ++i)
            EXPECT_NE(contents(folder / files[i]), start) << files[i];
    }
}

}  // namespace
