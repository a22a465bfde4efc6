// The module reaches the host only through ImportTable; here the test plays
// the host that fills (or has not yet filled) the services reference.
#include "framework/host_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/linkage.h"

ImportTableRecord ImportTable = {.services = {.id = ImportTableId}};

namespace {

struct Calls {
    std::vector<std::string> log;
    double lookupValue = 0;
};
Calls* calls = nullptr;

int32_t VARDEX_HOSTAPI fakeToggle(uint32_t window)
{
    calls->log.push_back("toggle " + std::to_string(window));
    return 1;
}

uint32_t VARDEX_HOSTAPI fakeKey(uint32_t id, uint32_t value)
{
    calls->log.push_back("key " + std::to_string(id) + " " + std::to_string(value));
    return 0;
}

void VARDEX_HOSTAPI fakeLookup(SourceVar* var)
{
    calls->log.push_back("lookup " + std::to_string(var->id));
    if (var->id == 23)
        var->value.integer = 0x1802;
    else
        var->value.number = calls->lookupValue;
}

int32_t VARDEX_HOSTAPI fakeCalculator(const char* expression, double* number, int32_t* integer, const char** text)
{
    calls->log.push_back(std::string("calc ") + expression + (number ? " n" : "") + (integer ? " i" : ""));
    if (text)
        *text = "D-IABC";
    return 1;
}

SourceVar seen;
void VARDEX_HOSTAPI recordLookup(SourceVar* var) { seen = *var; }

class HostServicesTest : public testing::Test {
protected:
    void SetUp() override
    {
        calls = &record;
        table.togglePanelWindow = fakeToggle;
        table.triggerKeyEvent = fakeKey;
        table.lookupVar = fakeLookup;
        table.executeCalculatorCode = fakeCalculator;
    }
    void TearDown() override
    {
        ImportTable.services.services = nullptr;
        calls = nullptr;
    }
    void fill() { ImportTable.services.services = &table; }

    HostServices table{};
    Calls record;
};

TEST_F(HostServicesTest, EachWrapperReachesItsEntryWithItsArguments)
{
    fill();
    togglePanelWindow(50);
    triggerKeyEvent(66435, 0);
    triggerKeyEvent(66042, 359);
    record.lookupValue = 61.5;
    EXPECT_DOUBLE_EQ(readHostNumber(61), 61.5);
    EXPECT_EQ(readHostInteger(23), 0x1802u);
    const char* id = nullptr;
    executeCalculatorCode("(A:ATC ID,string)", nullptr, nullptr, &id);
    EXPECT_STREQ(id, "D-IABC");
    EXPECT_EQ(record.log, (std::vector<std::string>{"toggle 50", "key 66435 0", "key 66042 359", "lookup 61",
                                                    "lookup 23", "calc (A:ATC ID,string)"}));
}

TEST_F(HostServicesTest, LookupSendsAFreshRecordWithOnlyTheIdSet)
{
    fill();
    table.lookupVar = recordLookup;
    readHostNumber(604);
    EXPECT_EQ(seen.id, 604u);
    EXPECT_EQ(seen.hostPointer, nullptr);
    EXPECT_EQ(seen.hostType, 0u);
    EXPECT_EQ(seen.value.number, 0.0);
}

TEST_F(HostServicesTest, NothingHappensBeforeTheHostFillsTheReference)
{
    togglePanelWindow(0);
    triggerKeyEvent(65836, 0);
    EXPECT_EQ(readHostNumber(61), 0.0);
    EXPECT_EQ(readHostInteger(23), 0u);
    const char* id = nullptr;
    executeCalculatorCode("(A:ATC ID,string)", nullptr, nullptr, &id);
    EXPECT_EQ(id, nullptr);
    EXPECT_TRUE(record.log.empty());
}

TEST_F(HostServicesTest, EmptySlotsInAFilledTableAreSkipped)
{
    table = HostServices{};
    fill();
    triggerKeyEvent(1, 2);
    EXPECT_EQ(readHostNumber(61), 0.0);
    EXPECT_TRUE(record.log.empty());
}

}  // namespace
