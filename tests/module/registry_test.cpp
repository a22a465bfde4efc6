// The gauge list as the host reads it from the built module.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "devhost/core/host.h"
#include "framework/gauge_model.h"

namespace {

struct Expected {
    const char* name;
    uint32_t size;
    bool callback;
};

// The host's panel files name the gauges exactly so, in this order.
constexpr Expected gauges[] = {
    {"Shut_Down", 30, true},          {"Registration", 150, true},     {"Kneeboard_Toggle", 19, false},
    {"ATC_Toggle", 19, false},        {"Map_Toggle", 19, false},       {"Invisible_Toggle", 19, true},
    {"Close_Subpanel", 19, true},     {"Radios_Toggle", 19, true},     {"Landing_View_Toggle", 19, true},
    {"GPS_Toggle", 19, true},         {"Throttle_Toggle", 19, true},   {"Compass_Toggle", 19, true},
    {"Radio_ADF_EZ6", 100, true},     {"Radio_XPDR_FUG25A6", 100, true}, {"Radio_COM_SK10", 100, true},
    {"Radio_NAV_E10K", 100, true},    {"Airspeed", 100, false},        {"Artificial_Horizon", 100, false},
    {"Vertical_Speed", 100, false},   {"Directionnal_Gyro", 100, false}, {"Altimeter", 100, false},
    {"Turn_Coordinator", 100, false}, {"Tachometer_1", 100, false},    {"Tachometer_2", 100, false},
    {"Exhaust_Gas_Temp", 100, true},  {"Engine_1_Press_Diff", 100, false}, {"Engine_2_Press_Diff", 100, false},
    {"Fuel_Pressure_1", 100, false},  {"Fuel_Pressure_2", 100, false}, {"Oil_Pressure", 100, true},
    {"Oil_Pressure_1", 100, false},   {"Oil_Pressure_2", 100, false},  {"Fuel_Quantity_Main_Front", 100, true},
    {"Fuel_Quantity_Main_Aft", 100, true}, {"Junghans_Timer", 100, false}, {"ADF_Indicator", 100, false},
    {"Landing_Indicator", 100, true}, {"Gunsight", 50, true},          {"Flaps_Indicator", 100, false},
    {"Metric_Switch", 30, true},      {"NAV_GPS_Switch", 50, true},
};

class Registry : public testing::Test {
protected:
    void SetUp() override
    {
        module = dlopen(devhost::moduleUnderTest().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        linkage = static_cast<LinkageRecord*>(dlsym(module, "Linkage"));
        imports = static_cast<ImportTableRecord*>(dlsym(module, "ImportTable"));
        ASSERT_NE(linkage, nullptr);
        ASSERT_NE(imports, nullptr);
    }
    void TearDown() override
    {
        if (module)
            dlclose(module);
    }

    const GaugeDefinition* find(const char* name) const
    {
        for (GaugeDefinition* const* g = linkage->gauges; *g; ++g)
            if (std::strcmp((*g)->name, name) == 0)
                return *g;
        return nullptr;
    }

    void* module = nullptr;
    LinkageRecord* linkage = nullptr;
    ImportTableRecord* imports = nullptr;
};

TEST_F(Registry, LinkageAndImportTableCarryTheHostsIdentifiers)
{
    EXPECT_EQ(linkage->moduleId, 0x13u);
    EXPECT_NE(linkage->init, nullptr);
    EXPECT_NE(linkage->shutdown, nullptr);
    EXPECT_EQ(linkage->flags, 0u);
    EXPECT_EQ(linkage->priority, 0u);
    EXPECT_EQ(linkage->version, 0x0900u);
    EXPECT_EQ(imports->services.id, 0x0Fu);
    EXPECT_EQ(imports->services.services, nullptr) << "the host fills it, not the file";
    EXPECT_EQ(imports->end.id, 0u);
    EXPECT_EQ(imports->end.services, nullptr);
    linkage->init();      // do nothing, and must not need the services yet
    linkage->shutdown();
}

TEST_F(Registry, ListsTheFortyOneGaugesInOrderWithTheirHeaders)
{
    size_t count = 0;
    while (linkage->gauges[count])
        ++count;
    ASSERT_EQ(count, std::size(gauges)) << "the list ends at the first empty reference";
    for (size_t i = 0; i < count; ++i) {
        const GaugeDefinition* g = linkage->gauges[i];
        SCOPED_TRACE(gauges[i].name);
        EXPECT_STREQ(g->name, gauges[i].name);
        EXPECT_EQ(g->version, 800u);
        EXPECT_EQ(g->defaultSize, gauges[i].size);
        EXPECT_EQ(g->callback != nullptr, gauges[i].callback);
        EXPECT_EQ(g->userData, 0u);
        EXPECT_EQ(g->parameter, nullptr);
        ASSERT_NE(g->elements, nullptr);
        ASSERT_NE(g->elements[0], nullptr);
        EXPECT_EQ(g->elements[1], nullptr) << "exactly one root element";
        EXPECT_EQ(g->elements[0]->kind, StaticImage);
        EXPECT_EQ(g->elements[0]->gauge, g);
        ASSERT_NE(g->mouseAreas, nullptr);
        EXPECT_EQ(g->mouseAreas[0].type, Region);
    }
}

TEST_F(Registry, LookupByNameFindsEachGaugeAndNothingElse)
{
    for (const Expected& e : gauges)
        EXPECT_NE(find(e.name), nullptr) << e.name;
    EXPECT_NE(find("Directionnal_Gyro"), nullptr);
    EXPECT_EQ(find("Directional_Gyro"), nullptr) << "the host's name has two n";
    EXPECT_EQ(find("airspeed"), nullptr);
    EXPECT_EQ(find("Unknown_Gauge"), nullptr);
    EXPECT_EQ(find(""), nullptr);
}

TEST_F(Registry, ExportsOnlyTheTwoRecordsAndTheResourceReader)
{
    EXPECT_EQ(dlsym(module, "findParameter"), nullptr);
    EXPECT_EQ(dlsym(module, "_Z13findParameterPKcS0_"), nullptr);
}

}  // namespace
