// The main tanks' fuel quantity dials through the development host: the
// capacity each reads when it is installed, the contents it shows after.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/module/dial_fixture.h"
#include "precision.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr Point pivot = {100, 150};
constexpr double full = 8388608.0;  // a level of 2^23 is a full tank

struct Tank {
    const char* gauge;
    uint32_t level;
    uint32_t capacity;
    const char* tooltipName;
};
constexpr Tank front = {"Fuel_Quantity_Main_Front", 291, 292, "Main front tank level"};
constexpr Tank aft = {"Fuel_Quantity_Main_Aft", 297, 298, "Main rear tank level"};

std::string litres(const Tank& tank, const char* amount)
{
    return std::string(tank.tooltipName) + " (" + amount + " liters)";
}

class FuelQuantity : public DialTest {
protected:
    devhost::GaugeInstance& install(const Tank& tank, double gallons)
    {
        host.variables().set(tank.capacity, gallons);
        return host.place(tank.gauge);
    }
};

TEST_F(FuelQuantity, HalfOfA200GallonTankIs378AndAHalfLitres)
{
    auto& gauge = install(front, 200);
    auto needle = show(gauge, front.level, full / 2);
    EXPECT_NEEDLE_EQ(needle.value, 378.5);
    EXPECT_TRUE(pointsBetween(needle.angle, pivot, {71, 61}, {116, 60})) << "between the 300 and 600 marks";
    EXPECT_EQ(tooltip(gauge), litres(front, "378"));
}

TEST_F(FuelQuantity, AFull300GallonTankRestsOnTheUpperStop)
{
    auto& gauge = install(aft, 300);
    auto needle = show(gauge, aft.level, full);
    EXPECT_NEEDLE_EQ(needle.value, 1135.5);
    EXPECT_TRUE(pointsAt(needle.angle, pivot, {168, 78}));
    EXPECT_EQ(tooltip(gauge), litres(aft, "1135"));
}

TEST_F(FuelQuantity, NoCapacityAtInstallationKeepsTheNeedleOnZero)
{
    auto& gauge = install(front, 0);
    for (double level : {0.0, full / 4, full}) {
        auto needle = show(gauge, front.level, level);
        EXPECT_EQ(needle.value, 0.0) << level;
        EXPECT_TRUE(pointsAt(needle.angle, pivot, {35, 76})) << level;
    }
    EXPECT_EQ(tooltip(gauge), litres(front, "0"));
}

TEST_F(FuelQuantity, TheCapacityIsReadOnlyAtInstallation)
{
    auto& gauge = install(front, 200);
    host.variables().set(front.capacity, 400);
    host.frame(5);
    EXPECT_NEEDLE_EQ(show(gauge, front.level, full).value, 757.0) << "200 gallons, as when installed";
}

TEST_F(FuelQuantity, EachTankKeepsItsOwnCapacity)
{
    auto& frontGauge = install(front, 200);
    auto& aftGauge = install(aft, 100);
    host.variables().set(front.level, full);
    host.variables().set(aft.level, full);
    host.frame();
    EXPECT_NEEDLE_EQ(shown(frontGauge).value, 757.0);
    EXPECT_NEEDLE_EQ(shown(aftGauge).value, 378.5);
    EXPECT_EQ(tooltip(frontGauge), litres(front, "757"));
    EXPECT_EQ(tooltip(aftGauge), litres(aft, "378"));
}

TEST_F(FuelQuantity, ANewInstallationReadsTheCapacityAgainForEveryCopy)
{
    auto& first = install(front, 200);
    auto& second = install(front, 300);
    host.variables().set(front.level, full);
    host.frame();
    EXPECT_NEEDLE_EQ(shown(first).value, 1135.5) << "one capacity for the module";
    EXPECT_NEEDLE_EQ(shown(second).value, 1135.5);
}

TEST_F(FuelQuantity, AnUnreadableCapacityKeepsTheOneBefore)
{
    auto& gauge = install(front, 200);
    for (double broken : {nan, inf, -inf, -50.0, 0.0})
        install(front, broken);
    EXPECT_NEEDLE_EQ(show(gauge, front.level, full).value, 757.0);
}

TEST_F(FuelQuantity, AnUnreadableLevelShowsAnEmptyTankAndRecovers)
{
    auto& gauge = install(aft, 200);
    for (double broken : {nan, inf, -inf}) {
        EXPECT_EQ(show(gauge, aft.level, broken).value, 0.0) << broken;
        EXPECT_EQ(tooltip(gauge), litres(aft, "0")) << broken;
        EXPECT_NEEDLE_EQ(show(gauge, aft.level, full / 2).value, 378.5) << "after " << broken;
    }
}

TEST_F(FuelQuantity, EveryNeedleLandsOnEachMarkOfItsScale)
{
    constexpr double gallons = 1000;  // 3785 litres: every mark lies within the tank
    auto levelFor = [](double litres) { return litres / (gallons * 3.785) * full; };
    std::vector<Mark> marks;
    for (auto [litres, point] : {std::pair{-1.0, Point{35, 76}}, {0.0, {35, 76}}, {100.0, {45, 75}},
                                 {300.0, {71, 61}}, {600.0, {116, 60}}, {900.0, {160, 74}},
                                 {950.0, {168, 78}}, {1000.0, {168, 78}}})
        marks.push_back({levelFor(litres), litres, point});
    for (const Tank& tank : {front, aft}) {
        SCOPED_TRACE(tank.gauge);
        expectLandsOnEachMark(install(tank, gallons), tank.level, pivot, marks);
    }
}

}  // namespace
