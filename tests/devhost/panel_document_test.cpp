// Editing a panel file: every byte kept, only the edited lines changed, and
// the file written with care.
#include "devhost/core/panel_document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "devhost/core/panel_checks.h"
#include "tests/designer_panel.h"

namespace devhost {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Folder {
    fs::path path = fs::temp_directory_path() / ("panel_document_" + std::to_string(::getpid()));
    std::string panel = testing::writeDesignerPanel(path);
    ~Folder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

TEST(PanelDocument, LoadAndSaveGiveTheSameBytes)
{
    Folder folder;
    std::vector<std::string> texts = {
        "[Window00]\r\nsize_mm=10,10\ngauge00=M!G,1,2\rgauge01 =\tM!H , 3 ,4 ; note\r\n\r\n[Odd]\nx=y",   // mixed ends
        "\xEF\xBB\xBF[Window00]\nsize_mm=10,10\n\n\n",                                                      // BOM
        "",
    };
    for (const auto& entry : fs::directory_iterator(VARDEX_SOURCE_DIR "/tests/fuzz/corpus/panel_file_fuzz"))
        texts.push_back(readBytes(entry.path()));
    for (const std::string& text : texts) {
        EXPECT_EQ(joinPanelLines(splitPanelLines(text)), text);
        try {
            EXPECT_EQ(PanelDocument(text, folder.panel).text(), text);
        } catch (const PanelError&) {
            // read whole or not at all: the corpus holds files the reader refuses
        }
    }
}

// Tabs, comments, an unknown key and section, a gauge with a parameter and
// empty size fields, another module's gauge, a last line without an end.
constexpr std::string_view Base = "; my panel\r\n"
                                  "[Window Titles]\r\n"
                                  "Window00=Main\r\n"
                                  "\r\n"
                                  "[Window00]\r\n"
                                  "size_mm=400,300\r\n"
                                  "Unknown_Key = 7 // kept\r\n"
                                  "gauge00=Vardex_Instr!Airspeed,\t10,\t10,\t120,\t120\t// trailing\r\n"
                                  "gauge01=Vardex_Instr!Oil_Pressure, 140, 10, , , 2\r\n"
                                  "gauge03=fs9gps!gps_500, 250, 20\r\n"
                                  "\r\n"
                                  "[Strange Section]\n"
                                  "what=ever\n"
                                  "[Window01]\r\n"
                                  "size_mm=300,200\r\n"
                                  "Gauge00 = Vardex_Instr!Airspeed, 0, 0";

std::string replaced(std::string_view from, std::string_view to, std::string text = std::string(Base))
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(PanelDocument, EditsChangeOnlyTheirLines)
{
    using Edit = std::function<void(PanelDocument&)>;
    const struct {
        const char* what;
        Edit edit;
        std::string_view from, to, from2 = {}, to2 = {};
    } cases[] = {
        {"move, size kept, parameter kept", [](auto& d) { d.moveGauge(d.findGauge("oil_pressure"), {20, 30}); },
         "Oil_Pressure, 140, 10, , , 2", "Oil_Pressure, 20, 30, , , 2"},
        {"move and size, blanks and comment kept",
         [](auto& d) { d.moveGauge(d.findGauge("gauge00", 0), {1, 2, 3, 4}); }, "\t10,\t10,\t120,\t120\t",
         "\t1,\t2,\t3,\t4\t"},
        {"add after the highest number",
         [](auto& d) { EXPECT_EQ(d.addGauge(0, "Vardex_Instr!Clock", {1, 2}), (GaugeKey{0, 4})); },
         "250, 20\r\n", "250, 20\r\ngauge04=Vardex_Instr!Clock, 1, 2\r\n"},
        {"add at the end of the file", [](auto& d) { d.addGauge(1, "X!Y", {5, 5, 50, 50}); }, "Airspeed, 0, 0",
         "Airspeed, 0, 0\r\nGauge01 = X!Y, 5, 5, 50, 50"},
        {"remove the last line", [](auto& d) { d.removeGauge(d.findGauge("Airspeed", 1)); },
         "size_mm=300,200\r\nGauge00 = Vardex_Instr!Airspeed, 0, 0", "size_mm=300,200"},
        {"renumber on request",
         [](auto& d) {
             d.removeGauge(d.findGauge("gauge01", 0));
             d.renumberGauges(0);
         },
         "gauge01=Vardex_Instr!Oil_Pressure, 140, 10, , , 2\r\ngauge03", "gauge01"},
        {"to another window, size and parameter kept",
         [](auto& d) { EXPECT_EQ(d.moveGaugeToWindow(d.findGauge("Oil_Pressure"), 1, {7, 8}), (GaugeKey{1, 1})); },
         "gauge01=Vardex_Instr!Oil_Pressure, 140, 10, , , 2\r\n", "", "Airspeed, 0, 0",
         "Airspeed, 0, 0\r\nGauge01 = Vardex_Instr!Oil_Pressure, 7, 8, , , 2"},
        {"window size", [](auto& d) { d.setWindowSize(0, 500, 400); }, "size_mm=400,300", "size_mm=500,400"},
        {"a new setting after the others", [](auto& d) { d.setWindowVisible(0, false); }, "kept\r\n",
         "kept\r\nvisible=0\r\n"},
        {"new window", [](auto& d) { d.addWindow(2, 100, 50); }, "0, 0", "0, 0\r\n\r\n[Window02]\r\nsize_mm=100,50"},
    };
    for (const auto& c : cases) {
        PanelDocument document(Base, "panel.cfg");
        c.edit(document);
        const std::string expected = replaced(c.from, c.to);
        EXPECT_EQ(document.text(), c.from2.empty() ? expected : replaced(c.from2, c.to2, expected)) << c.what;
    }
}

TEST(PanelDocument, ImpossibleEditsAreRefusedAndChangeNothing)
{
    using Edit = std::function<void(PanelDocument&)>;
    const struct {
        Edit edit;
        const char* message;
    } cases[] = {
        {[](auto& d) { d.moveGauge({0, 0}, {200000, 0}); }, "'200000' is out of range"},
        {[](auto& d) { d.moveGauge({0, 0}, {0, 0, 0, 5}); }, "width '0' is out of range"},
        {[](auto& d) { d.addGauge(0, "NoBang", {0, 0}); }, "has no '!'"},
        {[](auto& d) { d.addGauge(0, "A!B;C", {0, 0}); }, "start of a comment"},
        {[](auto& d) { d.setWindowTitle(0, "Line\nbreak"); }, "line end"},
        // What the reader would read otherwise: another line, a NUL, a comment.
        {[](auto& d) { d.addGauge(0, "X!Y", {0, 0}, "x\ny"); }, "the parameter 'x\\ny' holds a line end"},
        {[](auto& d) { d.addGauge(0, "X!Y", {0, 0}, "x\r\n[Window07]\r\nsize_mm=5,5"); }, "'x\\r\\n[Window07]"},
        {[](auto& d) { d.addGauge(0, "X!Y", {0, 0}, std::string("x\0y", 3)); }, "the parameter 'x\\0y'"},
        {[](auto& d) { d.addGauge(0, "X!Y", {0, 0}, "\x1b[2J"); }, "the parameter '\\x1b[2J' holds a line end"},
        {[](auto& d) { d.addGauge(0, "X!Y", {0, 0}, "p//c"); }, "the parameter 'p//c' holds '//' or ';'"},
        {[](auto& d) { d.addGauge(0, "X!Y", {0, 0}, "p;c"); }, "the parameter 'p;c' holds '//' or ';'"},
        {[](auto& d) { d.setWindowBitmap(0, "a;b.bmp"); }, "file= 'a;b.bmp' holds"},
        {[](auto& d) { d.setWindowTitle(0, "\xE2\x82\xAC \xE6\x97\xA5"); }, "code page (Windows-1252)"},
        {[](auto& d) { d.findGauge("Airspeed"); },
         "names 2 gauges: window 0 gauge00 Vardex_Instr!Airspeed (line 8), window 1 Gauge00"},
        {[](auto& d) { d.addWindow(1, 10, 10); }, "there is one already"},
    };
    for (const auto& c : cases) {
        PanelDocument document(Base, "panel.cfg");
        try {
            c.edit(document);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const PanelEditError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_TRUE(std::none_of(message.begin(), message.end(), [](char b) { return b >= 0 && b < 0x20; })) << message;
        }
        EXPECT_EQ(document.text(), Base) << c.message;
    }
}

TEST(PanelDocument, SavesWithACopyAndOverNothingChangedUnderneath)
{
    Folder folder;
    const std::string file = (folder.path / "edit.cfg").string();
    std::ofstream(file, std::ios::binary) << Base;
    PanelDocument document = PanelDocument::load(file);
    document.moveGauge({0, 3}, {1, 1});
    document.save();
    EXPECT_EQ(readBytes(file), document.text());
    EXPECT_EQ(readBytes(file + ".bak"), Base);
    EXPECT_FALSE(fs::exists(file + ".devhost-new"));

    document.moveGauge({0, 3}, {2, 2});
    std::ofstream(file, std::ios::binary) << "changed";
    EXPECT_THROW(
        try { document.save(); } catch (const PanelEditError& e) {
            EXPECT_NE(std::string(e.what()).find("changed on disk since it was read"), std::string::npos);
            throw;
        },
        PanelEditError);
    EXPECT_EQ(readBytes(file), "changed");
    document.save(/*force=*/true);
    EXPECT_EQ(readBytes(file), document.text());
    EXPECT_EQ(readBytes(file + ".bak"), Base);  // the copy from before the first write

    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    document.moveGauge({0, 3}, {3, 3});
    const std::string before = readBytes(file);
    EXPECT_THROW(
        try { document.save(); } catch (const PanelEditError& e) {
            EXPECT_NE(std::string(e.what()).find("is read-only; nothing written"), std::string::npos);
            throw;
        },
        PanelEditError);
    EXPECT_EQ(readBytes(file), before);
}

// Another program's change made after the document last looked, however
// late, is refused, not written over.
TEST(PanelDocument, AChangeMadeJustBeforeTheWriteIsKept)
{
    Folder folder;
    const std::string file = (folder.path / "race.cfg").string();
    PanelDocument document(Base, file);
    document.saveAs(file);
    document.apply(MoveGauge{{0, 3}, {1, 1}});
    const auto theirs = [&] { std::ofstream(file, std::ios::binary) << "theirs"; };
    try {
        document.save(false, theirs);
        ADD_FAILURE() << "written over the change";
    } catch (const PanelWriteError& e) {
        EXPECT_EQ(e.reason(), WriteFailure::ChangedOnDisk);
    }
    EXPECT_EQ(readBytes(file), "theirs");
    document.save(/*force=*/true, theirs);
    EXPECT_EQ(readBytes(file), document.text());
}

// A link planted beside the panel under a temporary's name, or as the name
// written, is never written through: the file it leads to is untouched.
TEST(PanelDocument, SavingNeverWritesThroughALink)
{
    Folder folder;
    const fs::path outside = folder.path / "outside", file = folder.path / "edit.cfg";
    std::ofstream(outside) << "kept";
    std::ofstream(file, std::ios::binary) << Base;
    for (const char* name : {"edit.cfg.devhost-new", "new.cfg.devhost-new", "link.cfg"})
        fs::create_symlink(outside, folder.path / name);
    PanelDocument document = PanelDocument::load(file.string());
    document.moveGauge({0, 3}, {1, 1});
    document.save();
    EXPECT_FALSE(fs::is_symlink(file));
    document.saveAs((folder.path / "new.cfg").string());
    EXPECT_EQ(readBytes(folder.path / "new.cfg"), document.text());
    EXPECT_THROW(writeFileWhole(folder.path / "link.cfg", "x"), FileWriteError);
    EXPECT_THROW(document.saveAs((folder.path / "NEW.CFG").string()), PanelWriteError) << "the same file on Windows";
    EXPECT_EQ(readBytes(outside), "kept");
    for (const auto& entry : fs::directory_iterator(folder.path))
        EXPECT_TRUE(entry.is_symlink() || entry.path().extension() != ".devhost-new") << "left behind: " << entry.path();
}

TEST(PanelChecks, FlagWhatADesignerWantsToKnow)
{
    const Panel panel = parsePanel("[Window00]\nsize_mm=200,100\nident=5\n"
                                   "gauge00=M!A, 0, 0, 50, 50\n"
                                   "gauge01=M!B, 40, 40, 50, 50\n"      // over A
                                   "gauge02=M!C, 180, 0, 50, 50\n"      // out on the right
                                   "gauge03=M!D, 100, 0, 40\n"          // 40x40 of a 20x20 face
                                   "gauge04=M!E, 100, 60, 30, 30\n"     // its own size: fine
                                   "[Window01]\nsize_mm=10,10\nident=MAIN_PANEL\n"
                                   "[Window02]\nsize_mm=10,10\nident=5\n",
                                   "p.cfg");
    const ModuleGauges module("M.so", {{.name = "A", .width = 50, .height = 50},
                                       {.name = "B", .width = 50, .height = 50},
                                       {.name = "C", .width = 50, .height = 50},
                                       {.name = "D", .width = 20, .height = 20},
                                       {.name = "E", .width = 30, .height = 30}});
    const auto checks = checkPanelLayout(panel, module);
    std::vector<std::pair<PanelCheck::Kind, int>> found;
    for (const PanelCheck& c : checks)
        found.push_back({c.kind, c.line});
    using K = PanelCheck::Kind;
    EXPECT_EQ(found, (std::vector<std::pair<K, int>>{{K::Overlap, 5}, {K::Outside, 6}, {K::Blurred, 7}, {K::SameIdent, 12}}));
}

}  // namespace
}  // namespace devhost
