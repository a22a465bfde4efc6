// Panel files and flight scripts are read one way: a read that fails part
// way, a pipe, a device or a file too large is an error naming the file,
// not a shorter file or a wait.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "devhost/core/panel_document.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/text_file.h"
#include "devhost/flight/flight.h"

namespace devhost {
namespace {

TEST(TextFiles, AReadThatFailsPartWayIsRefusedForPanelsAndFlightsAlike)
{
    // Opens, then fails its first read (EIO).
    const std::string failing = "/proc/self/mem";
    EXPECT_THROW(
        try { loadPanel(failing); } catch (const PanelError& e) {
            EXPECT_EQ(std::string(e.what()), failing + ": cannot be read (the read failed part way)");
            throw;
        },
        PanelError);
    EXPECT_THROW(loadFlight(failing), FlightError);
}

// A pipe would be waited on for ever, a device or a huge file read until
// memory runs out: each is refused at once, named.
TEST(TextFiles, OnlyAPlainFileOfAReasonableSizeIsRead)
{
    const std::string folder = ::testing::TempDir() + "text_file_" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    const std::string pipe = folder + "/pipe.cfg", huge = folder + "/huge.cfg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, MaxTextFileBytes + 1);   // sparse: costs no disk
    const struct {
        std::string path, problem;
    } cases[] = {
        {pipe, "is not a plain file (a pipe or a device?)"},
        {"/dev/zero", "is not a plain file (a pipe or a device?)"},
        {huge, "is larger than a panel file may be (16 MiB)"},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(
            try { loadPanel(c.path); } catch (const PanelError& e) {
                EXPECT_EQ(std::string(e.what()).find(c.path + ": " + c.problem), 0u) << e.what();
                throw;
            },
            PanelError);
        EXPECT_THROW(loadFlight(c.path), FlightError) << c.path;
    }
    // A panel file that became a pipe since it was read is not saved.
    const std::string panel = folder + "/panel.cfg";
    std::ofstream(panel) << "[Window00]\nsize_mm=10,10\n";
    PanelDocument document = PanelDocument::load(panel);
    document.setWindowVisible(0, false);
    std::filesystem::remove(panel);
    ASSERT_EQ(::mkfifo(panel.c_str(), 0600), 0);
    EXPECT_THROW(document.save(/*force=*/true), PanelWriteError);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace devhost
