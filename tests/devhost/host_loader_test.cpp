// Loading a module file: what the host refuses, and what it hands over.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "devhost/core/host.h"
#include "fixture_paths.h"

namespace devhost {
namespace {

using testing::fixture;

std::string refusal(const std::string& path)
{
    try {
        Host host(path);
    } catch (const HostError& error) {
        return error.what();
    }
    return "";
}

TEST(ModuleLoading, RefusesAModuleWithoutImportTable)
{
    EXPECT_NE(refusal(fixture("fixture_no_import_table")).find("exports no ImportTable"), std::string::npos);
}

TEST(ModuleLoading, RefusesAModuleWithAnotherModuleId)
{
    EXPECT_NE(refusal(fixture("fixture_wrong_module_id")).find("module id 18, not 0x13"), std::string::npos);
}

TEST(ModuleLoading, RefusesAnImportTableThatDoesNotBeginWithTheServicesEntry)
{
    EXPECT_NE(refusal(fixture("fixture_bad_import_id")).find("not 0x0F"), std::string::npos);
}

TEST(ModuleLoading, RefusesAGaugeListWithoutEnd)
{
    EXPECT_NE(refusal(fixture("fixture_long_list")).find("gauge list has no end"), std::string::npos);
}

TEST(ModuleLoading, RefusesAMissingFileAndAFileThatIsNoLibrary)
{
    EXPECT_NE(refusal("/nonexistent/Vardex_Instr.so").find("does not exist"), std::string::npos);
    EXPECT_NE(refusal(VARDEX_SOURCE_DIR "/README.md").find("cannot load"), std::string::npos);
    EXPECT_NE(refusal(VARDEX_SOURCE_DIR).find("is a folder"), std::string::npos);
    // The loader's complaint names the user's file, not the private copy loaded.
    const std::string notLibrary = refusal(VARDEX_SOURCE_DIR "/README.md");
    EXPECT_EQ(notLibrary.find("devhost-module-"), std::string::npos) << notLibrary;
    EXPECT_NE(notLibrary.find(": " VARDEX_SOURCE_DIR "/README.md"), std::string::npos) << notLibrary;
}

TEST(ModuleLoading, TheWindowsBuildIsNamedWithTheProgramThatLoadsIt)
{
    const std::filesystem::path gau = std::filesystem::temp_directory_path() / "devhost_loader_test_Vardex_Instr.gau";
    std::ofstream(gau, std::ios::binary) << "MZ\x90";
    const std::string why = refusal(gau.string());
    std::filesystem::remove(gau);
    EXPECT_NE(why.find("is the Windows build"), std::string::npos) << why;
    EXPECT_NE(why.find("wine devhost.exe list --module " + gau.string()), std::string::npos) << why;
}

TEST(ModuleLoading, ListsTheGaugesWithTheirHeaders)
{
    Host host(fixture("fixture_gauges"));
    auto list = host.gaugeList();
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[0].name, "Recorder");
    EXPECT_TRUE(list[0].hasCallback);
    EXPECT_EQ(list[2].name, "Nested");
    EXPECT_EQ(list[2].defaultSize, 200u);
    EXPECT_FALSE(list[2].hasCallback);
    EXPECT_EQ(list[2].width, 200) << "measured on its root bitmap";
    EXPECT_EQ(list[2].height, 200);
}

TEST(ModuleLoading, AGaugeNameTheModuleLacksIsAnError)
{
    Host host(fixture("fixture_gauges"));
    EXPECT_THROW(host.place("Airspeed"), HostError);
    EXPECT_THROW(host.place("recorder"), HostError);
}

TEST(ModuleLoading, AGaugeWithAnElementOfUnknownKindIsRefusedByName)
{
    Host host(fixture("fixture_gauges"));
    try {
        host.place("Mystery");
        FAIL() << "placed";
    } catch (const HostError& error) {
        EXPECT_NE(std::string(error.what()).find("gauge Mystery: an element has the unknown kind 9"), std::string::npos);
    }
    EXPECT_TRUE(host.gauges().empty()) << "nothing half-placed is left behind";
}

TEST(ModuleLoading, EachHostStartsFromTheModulesInitialState)
{
    // The recorder counts its installations in a module-wide variable.
    Host first(fixture("fixture_gauges"));
    Host second(fixture("fixture_gauges"));
    first.place("Recorder");
    second.place("Recorder");
    first.place("Recorder");
    ASSERT_EQ(first.events().size(), 2u);
    ASSERT_EQ(second.events().size(), 1u) << "each host hears only its own module";
    EXPECT_EQ(first.events()[1].value, 2u);
    EXPECT_EQ(second.events()[0].value, 1u) << "a private copy starts anew";

    Host shared1(fixture("fixture_gauges"), HostOptions{.privateCopy = false});
    Host shared2(fixture("fixture_gauges"), HostOptions{.privateCopy = false});
    shared1.place("Recorder");
    shared2.place("Recorder");
    EXPECT_EQ(shared2.events()[0].value, 2u) << "one load of the file shares its state";
}

TEST(ModuleLoading, APrivateHostLoadedBesideASharedOneStartsAnew)
{
    Host shared(fixture("fixture_gauges"), HostOptions{.privateCopy = false});
    shared.place("Recorder");
    Host own(fixture("fixture_gauges"));
    own.place("Recorder");
    EXPECT_EQ(own.events()[0].value, 1u);
}

TEST(ServiceTable, ASlotTheHostDoesNotOfferIsRecordedAndReturnsNothing)
{
    Host host(fixture("fixture_gauges"));
    host.place("Trapper");
    EXPECT_TRUE(host.trapsCalled().empty());
    host.frame(3);
    EXPECT_EQ(host.trapsCalled(), std::vector<int>{50}) << "recorded once, however often called";
    EXPECT_EQ(host.probe().unknownVariables, std::vector<uint32_t>{9999});
}

TEST(ServiceTable, TheWindowFinderAnswersForTheClassesTheHostOffers)
{
    Host withWindow(fixture("fixture_gauges"));
    withWindow.place("Window");
    ASSERT_EQ(withWindow.events().size(), 1u);
    EXPECT_EQ(withWindow.events()[0].id, testing::reportWindowFound);
    EXPECT_EQ(withWindow.events()[0].value, 1u);

    Host windowless(fixture("fixture_gauges"), HostOptions{.windowClasses = {}});
    windowless.place("Window");
    ASSERT_EQ(windowless.events().size(), 1u);
    EXPECT_EQ(windowless.events()[0].value, 0u) << "no host window: the module must do without";

    Host otherHost(fixture("fixture_gauges"), HostOptions{.windowClasses = {"MSCFSMAIN"}});
    otherHost.place("Window");
    EXPECT_EQ(otherHost.events()[0].value, 0u) << "only the offered class is found";
}

}  // namespace
}  // namespace devhost
