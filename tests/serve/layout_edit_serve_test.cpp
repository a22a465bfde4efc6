// The live page's edit mode through its HTTP interface: an edit changes the
// panel file's text and the running panel at once, saving writes only the
// lines changed, and a file changed underneath is not written over unasked.
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "devhost/core/host.h"
#include "devhost/core/panel_checks.h"
#include "devhost/core/text_file.h"
#include "devhost/serve/feed_message.h"
#include "devhost/serve/layout_editor.h"
#include "devhost/serve/panel_server.h"
#include "tests/cli/devhost_run.h"

namespace devhost {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

std::string readFile(const fs::path& path) { return readWholeFile(path.string(), "panel file").text; }

// The built-in panel's text written where the test may change it.
fs::path panelCopy(const std::string& name)
{
    const fs::path folder = fs::path(::testing::TempDir()) / ("layout_edit_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "panel.cfg", std::ios::binary) << defaultPanelText();
    return folder / "panel.cfg";
}

struct EditServed {
    fs::path file;
    LivePanel panel;
    ServingThread serving{panel};
    httplib::Client client{"127.0.0.1", serving.port()};

    explicit EditServed(const std::string& name)
        : file(panelCopy(name)), panel(ServeOptions{.module = moduleUnderTest(), .panel = file.string(), .edit = true})
    {
        client.set_default_headers({{"Origin", "http://127.0.0.1:" + std::to_string(serving.port())}});
    }
    httplib::Result post(const std::string& path, const Json& body)
    {
        return client.Post(path, body.dump(), "application/json");
    }
    Json placed(const std::string& name)
    {
        const Json described = Json::parse(client.Get("/api/panel")->body);
        for (const Json& g : described["gauges"])
            if (g["name"] == name)
                return g;
        return nullptr;
    }
};

TEST(LayoutEdit, TheRunningPanelFollowsAndSavingWritesOnlyTheChangedLine)
{
    EditServed served("move");
    const std::string before = readFile(served.file);
    const auto moved = served.post("/api/edit", {{"op", "move"}, {"window", 0}, {"gauge", 2}, {"x", 281}, {"y", 300}});
    ASSERT_EQ(moved->status, 200) << moved->body;
    const Json airspeed = served.placed("Airspeed");
    EXPECT_EQ(airspeed["x"], 281);
    EXPECT_EQ(airspeed["y"], 300);
    EXPECT_EQ(readFile(served.file), before) << "nothing is written before Save";

    const auto saved = served.post("/api/save", Json::object());
    ASSERT_EQ(saved->status, 200) << saved->body;
    std::string expected = before;
    const std::string line = "Vardex_Instr!Airspeed, 277, 290,";
    expected.replace(expected.find(line), line.size(), "Vardex_Instr!Airspeed, 281, 300,");
    EXPECT_EQ(readFile(served.file), expected);
    EXPECT_EQ(readFile(served.file.string() + ".bak"), before);
}

TEST(LayoutEdit, AddRemoveAndUndoChangeTheRunningPanel)
{
    EditServed served("add");
    const size_t gauges = Json::parse(served.client.Get("/api/panel")->body)["gauges"].size();
    auto count = [&] { return Json::parse(served.client.Get("/api/panel")->body)["gauges"].size(); };
    ASSERT_EQ(served.post("/api/edit", {{"op", "add"}, {"window", 0}, {"name", "Junghans_Timer"}, {"x", 5}, {"y", 5}})->status, 200);
    EXPECT_EQ(count(), gauges + 1);
    ASSERT_EQ(served.post("/api/edit", {{"op", "remove"}, {"window", 0}, {"gauge", 2}})->status, 200);
    EXPECT_TRUE(served.placed("Airspeed").is_null());
    ASSERT_EQ(served.post("/api/edit", {{"op", "undo"}})->status, 200);
    ASSERT_EQ(served.post("/api/edit", {{"op", "undo"}})->status, 200);
    EXPECT_EQ(count(), gauges);
    EXPECT_FALSE(served.placed("Airspeed").is_null());
    EXPECT_EQ(Json::parse(served.client.Get("/api/layout")->body)["redo"], 2);
    // A page that missed the edits' messages knows from the whole state that its layout is old.
    FeedFrames frames;
    frames.add(*served.panel.wholeState());
    const Json whole = frames.next()->header;
    EXPECT_EQ(whole["layout"], 4) << "four edits";
    EXPECT_EQ(whole["layout"], Json::parse(served.client.Get("/api/panel")->body)["layout"]);
}

TEST(LayoutEdit, RefusedEditsChangeNothing)
{
    EditServed served("refused");
    const std::string layout = served.client.Get("/api/layout")->body;
    const Json running = Json::parse(served.client.Get("/api/panel")->body)["gauges"];
    const struct {
        Json body;
        int status;
    } cases[] = {
        {{{"op", "add"}, {"window", 0}, {"name", "No_Such_Gauge"}, {"x", 0}, {"y", 0}}, 404},
        {{{"op", "add"}, {"window", 0}, {"name", "A!B, 1, 2"}, {"x", 0}, {"y", 0}}, 422},
        {{{"op", "add"}, {"window", 0}, {"name", "Junghans_Timer"}, {"x", 0}, {"y", 0}, {"parameter", "x\r\n[Window07]\r\nsize_mm=5,5"}}, 422},
        // The document takes it, the host does not (far too many pixels): neither keeps it.
        {{{"op", "move"}, {"window", 0}, {"gauge", 2}, {"x", 0}, {"y", 0}, {"width", 32767}, {"height", 32767}}, 422},
        // A window's settings are taken together or not at all.
        {{{"op", "window"}, {"window", 0}, {"visible", false}, {"title", "a\nb"}}, 422},
        {{{"op", "move"}, {"window", 0}, {"gauge", 99}, {"x", 0}, {"y", 0}}, 422},
        {{{"op", "window"}, {"window", 0}, {"bitmap", "../../etc/passwd"}}, 404},
        {{{"op", "undo"}}, 409},
    };
    for (const auto& c : cases)
        EXPECT_EQ(served.post("/api/edit", c.body)->status, c.status) << c.body.dump();
    EXPECT_EQ(served.client.Get("/api/layout")->body, layout);
    EXPECT_EQ(Json::parse(served.client.Get("/api/panel")->body)["gauges"], running);
    // Only the page may edit: a request from elsewhere is refused by the guard.
    httplib::Client stranger("127.0.0.1", served.serving.port());
    stranger.set_default_headers({{"Origin", "http://evil.example"}});
    EXPECT_EQ(stranger.Post("/api/edit", R"({"op":"remove","window":0,"gauge":2})", "application/json")->status, 403);
}

TEST(LayoutEdit, APanelWithoutGaugesOpensToBeEdited)
{
    const fs::path file = panelCopy("empty");
    std::ofstream(file, std::ios::binary) << "[Window00]\nsize_mm=300,200\n";
    LivePanel panel(ServeOptions{.module = moduleUnderTest(), .panel = file.string(), .edit = true});
    auto noted = [&] { return panel.layout()["checks"].dump().find(R"("kind":"empty")") != std::string::npos; };
    EXPECT_TRUE(noted());
    panel.editLayout({{"op", "add"}, {"window", 0}, {"name", "Junghans_Timer"}, {"x", 0}, {"y", 0}});
    EXPECT_FALSE(noted());
}

TEST(LayoutEdit, AFileChangedOnDiskIsWrittenOverOnlyWhenAsked)
{
    EditServed served("changed");
    ASSERT_EQ(served.post("/api/edit", {{"op", "move"}, {"window", 0}, {"gauge", 2}, {"x", 1}, {"y", 2}})->status, 200);
    std::ofstream(served.file, std::ios::app) << "// added by another program\n";
    const std::string theirs = readFile(served.file);
    const auto refused = served.post("/api/save", Json::object());
    EXPECT_EQ(refused->status, 409);
    EXPECT_NE(refused->body.find("changed on disk"), std::string::npos) << refused->body;
    EXPECT_EQ(readFile(served.file), theirs);
    EXPECT_EQ(served.post("/api/save", {{"force", true}})->status, 200);
    EXPECT_NE(readFile(served.file).find("Vardex_Instr!Airspeed, 1, 2,"), std::string::npos);
}

TEST(LayoutEdit, SaveAsWritesOnlyANewCfgFileBesideThePanel)
{
    EditServed served("save_as");
    ASSERT_EQ(served.post("/api/edit", {{"op", "remove"}, {"window", 0}, {"gauge", 2}})->status, 200);
    const fs::path folder = served.file.parent_path();
    const struct {
        std::string name;
        int status;
    } cases[] = {{"../escaped.cfg", 400}, {"panel.txt", 400}, {"panel.cfg", 409}, {"PANEL.CFG", 409},
                 // names Windows, where the simulator reads the file, takes for a device or shortens
                 {"CON.cfg", 400}, {"NUL.cfg", 400}, {"com1.cfg", 400}, {"LPT1.cfg", 400}, {"prn.CFG", 400},
                 {"aux.x.cfg", 400}, {" .cfg", 400}, {"name..cfg", 400},
                 {"copy.cfg", 200}, {"copy.cfg", 409}};
    for (const auto& c : cases)
        EXPECT_EQ(served.post("/api/save", {{"as", c.name}})->status, c.status) << c.name;
    EXPECT_FALSE(fs::exists(folder.parent_path() / "escaped.cfg"));
    EXPECT_EQ(readFile(served.file), defaultPanelText()) << "the file served is left as it was";
    const std::string copy = readFile(folder / "copy.cfg");
    EXPECT_EQ(copy.find("!Airspeed,"), std::string::npos);
    // Saved there from now on.
    ASSERT_EQ(served.post("/api/edit", {{"op", "undo"}})->status, 200);
    ASSERT_EQ(served.post("/api/save", Json::object())->status, 200);
    EXPECT_EQ(readFile(folder / "copy.cfg"), defaultPanelText());
}

TEST(LayoutEdit, AMovedGaugeKeepsItsInstanceAndARemovedOneIsShutDown)
{
    Host host(moduleUnderTest());
    Panel panel = parsePanel("[Window00]\nsize_mm=400,300\ngauge00=Vardex_Instr!Airspeed, 0, 0, 150, 165\n"
                             "gauge01=Vardex_Instr!Junghans_Timer, 200, 0\n", "p");
    host.placePanel(panel);
    const GaugeInstance* airspeed = host.find("Airspeed");
    panel = parsePanel("[Window00]\nsize_mm=400,300\ngauge00=Vardex_Instr!Airspeed, 10, 20, 75\n"
                       "gauge02=Vardex_Instr!Altimeter, 200, 0\n", "p");
    host.followPanel(panel);
    ASSERT_EQ(host.gauges().size(), 2u);
    EXPECT_EQ(host.gauges()[0].get(), airspeed);
    EXPECT_EQ(airspeed->position().x, 10);
    EXPECT_EQ(airspeed->size().x, 75);
    EXPECT_EQ(host.gauges()[1]->name(), "Altimeter");
    EXPECT_EQ(host.find("Junghans_Timer"), nullptr);
}

// The host that places a panel, the editor that shows it and `devhost
// panel show` take the same gauges for the module's and draw each at the
// same place and size: lines naming the module in any case, the module's
// file (here not named as the module is) and another module, with a size
// and without.
TEST(LayoutEdit, HostEditorAndPanelShowAgreeOnEveryGauge)
{
    const fs::path folder = panelCopy("agree").parent_path(), module = folder / "MyGauges.so";
    fs::copy_file(moduleUnderTest(), module);
    const fs::path file = folder / "agree.cfg";
    std::ofstream(file, std::ios::binary) << "[Window00]\nsize_mm=10,10\n"
                                             "gauge00=VARDEX_INSTR!Airspeed, 5, 5\n"
                                             "gauge01=Vardex_Instr!Airspeed, 5, 5, 120\n"
                                             "gauge02=mygauges!Junghans_Timer, 5, 5\n"
                                             "gauge03=Other!Clock, 5, 5\n"
                                             "gauge04=Other!Clock, 5, 5, 40\n";
    Host host(module.string());
    host.placePanel(loadPanel(file.string()));
    const Json described = LayoutEditor(PanelDocument::load(file.string()), true).describe(host);
    std::vector<std::array<int, 5>> placed, shown;   // ours, x, y, width, height
    for (const auto& g : host.gauges())
        placed.push_back({1, g->position().x, g->position().y, g->size().x, g->size().y});
    for (const ForeignGauge& g : host.foreignGauges())
        placed.push_back({0, g.box.x, g.box.y, g.box.width, g.box.height});
    for (const Json& g : described["windows"][0]["gauges"])
        shown.push_back({g["ours"].get<bool>(), g["x"], g["y"], g["width"], g["height"]});
    EXPECT_EQ(placed, shown);
    EXPECT_EQ(placed.size(), 5u);

    const auto table = testing::devhost("panel show '" + file.string() + "' --module '" + module.string() + "'");
    ASSERT_EQ(table.status, 0) << table.err;
    int outside = 0;
    for (const Json& check : described["checks"])
        outside += check["kind"] == "outside";
    EXPECT_EQ(outside, 4) << "every gauge but the other module's of no size sticks out";
    for (const Json& check : described["checks"])
        EXPECT_NE(table.out.find(check["message"].get<std::string>()), std::string::npos) << check["message"];
}

}  // namespace
}  // namespace devhost
