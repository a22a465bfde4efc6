// The simulation's variables as a gauge reads them through host service 40.
#include "devhost/core/variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

namespace devhost {
namespace {

// A record as a gauge builds it on its stack: the id set, the value slot
// holding whatever was there before.
SourceVar staleRecord(uint32_t id)
{
    SourceVar var{};
    var.id = id;
    std::memset(&var.value, 0xA5, sizeof var.value);
    return var;
}

uint64_t slotBits(const SourceVar& var)
{
    uint64_t bits;
    std::memcpy(&bits, &var.value, sizeof bits);
    return bits;
}

TEST(VariableDelivery, BcdFrequenciesArriveInTheLowWordWithTheRestOfTheSlotZero)
{
    VariableStore store;
    for (auto [id, expected] : {std::pair{23u, 0x1800u}, {24u, 0x1050u}, {16u, 0x0345u}, {18u, 0x0000u}, {38u, 0x7000u}}) {
        SourceVar var = staleRecord(id);
        store.fill(var);
        EXPECT_EQ(var.value.integer, expected) << "variable " << id;
        EXPECT_EQ(slotBits(var), uint64_t{expected}) << "variable " << id;
    }
}

TEST(VariableDelivery, FlagWordsSetFromAScriptArriveAsIntegers)
{
    VariableStore store;
    ASSERT_TRUE(store.set(46, 0x80));
    ASSERT_TRUE(store.set(279, 1));
    SourceVar flags = staleRecord(46), warning = staleRecord(279);
    store.fill(flags);
    store.fill(warning);
    EXPECT_EQ(slotBits(flags), 0x80u);
    EXPECT_EQ(slotBits(warning), 1u);
}

TEST(VariableDelivery, OtherVariablesArriveAsDoubles)
{
    VariableStore store;
    store.set(61, 250.5);
    SourceVar airspeed = staleRecord(61), pressure = staleRecord(75);
    store.fill(airspeed);
    store.fill(pressure);
    EXPECT_EQ(airspeed.value.number, 250.5);
    EXPECT_EQ(pressure.value.number, 1013.25);
}

TEST(VariableDelivery, UnknownIdsReadZeroAndAreRecordedOnceEach)
{
    VariableStore store;
    for (int frame = 0; frame < 3; ++frame) {
        SourceVar a = staleRecord(4242), b = staleRecord(7);
        store.fill(a);
        store.fill(b);
        EXPECT_EQ(slotBits(a), 0u);
        EXPECT_EQ(slotBits(b), 0u);
    }
    SourceVar none = staleRecord(0);
    store.fill(none);
    EXPECT_EQ(slotBits(none), 0u);
    EXPECT_EQ(store.unknownReads(), (std::vector<uint32_t>{4242, 7})) << "id 0 is no variable, not an unknown one";
    EXPECT_FALSE(store.isKnown(4242));
}

TEST(VariableDelivery, AnIdOutsideTheCatalogThatATestSetsIsDeliveredAsANumber)
{
    VariableStore store;
    EXPECT_TRUE(store.set(5000, 12.5));
    SourceVar var = staleRecord(5000);
    store.fill(var);
    EXPECT_EQ(var.value.number, 12.5);
    EXPECT_TRUE(store.unknownReads().empty());
}

TEST(IntegerVariables, RefuseValuesThatHaveNoRegisterValue)
{
    VariableStore store;
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                       -1.0, 4294967296.0, 1e300}) {
        EXPECT_FALSE(store.set(23, bad)) << bad;
        EXPECT_EQ(store.getInteger(23), 0x1800u) << "a refused set leaves the frequency as it was";
    }
    EXPECT_TRUE(store.set(38, 4294967295.0));
    EXPECT_EQ(store.getInteger(38), 0xFFFFFFFFu);
    EXPECT_TRUE(store.set(38, 0x1200 + 0.75));
    EXPECT_EQ(store.getInteger(38), 0x1200u) << "the fraction is dropped";
}

TEST(NumberVariables, TakeWhateverATestFeedsIncludingNaN)
{
    VariableStore store;
    EXPECT_TRUE(store.set(61, std::nan("")));
    EXPECT_TRUE(std::isnan(store.get(61)));
    EXPECT_EQ(store.getInteger(61), 0u) << "reading a NaN as an integer is defined";
    EXPECT_TRUE(store.set(74, -1e9));
    EXPECT_EQ(store.getInteger(74), 0u);
}

TEST(PressureSetting, MillibarsAndInchesAreOneSetting)
{
    VariableStore store;
    EXPECT_NEAR(store.get(76), 29.92, 0.005) << "standard pressure at start";
    store.set(76, 30.00);
    EXPECT_NEAR(store.get(75), 1015.92, 0.01);
    store.set(75, 1000.0);
    EXPECT_NEAR(store.get(76), 29.53, 0.005);
}

TEST(Catalog, ParkedAtNoonWithTheRadiosOnTheirDefaults)
{
    VariableStore store;
    EXPECT_EQ(store.get(557), 12 * 3600.0);
    EXPECT_EQ(store.get(61), 0.0);
    EXPECT_EQ(store.get(630), 1.0) << "no pressure difference with the engines off";
    EXPECT_GT(store.get(292), 0.0) << "the tanks have a capacity to read at installation";
    EXPECT_GT(store.get(298), 0.0);
}

TEST(Catalog, NamesEveryVariableTheGaugesReadWithItsPerEngineCopies)
{
    const uint32_t read[] = {16,  18,  23,  24,  38,  39,  40,  41,  45,  46,  48,  60,  61,  65,  69,  70,  74,
                             75,  76,  78,  80,  84,  276, 279, 291, 292, 297, 298, 330, 557, 562, 567, 572, 577,
                             582, 587, 592, 597, 604, 625, 630, 644, 649, 825, 848, 855, 880, 899, 900};
    for (uint32_t id : read)
        EXPECT_NE(findVariable(id), nullptr) << "variable " << id;

    std::set<std::string_view> names;
    for (const VariableInfo& v : knownVariables()) {
        EXPECT_TRUE(names.insert(v.name).second) << "name used twice: " << v.name;
        EXPECT_EQ(findVariable(v.name), &v);
        EXPECT_FALSE(v.unit.empty());
        EXPECT_FALSE(v.about.empty());
    }
    EXPECT_EQ(findVariable("com1_freq")->id, 23u);
    EXPECT_EQ(findVariable("no_such_variable"), nullptr);
}

TEST(Catalog, OnlyRegistersAndFlagWordsAreIntegers)
{
    std::set<uint32_t> integers;
    for (const VariableInfo& v : knownVariables())
        if (v.delivery == Delivery::Integer)
            integers.insert(v.id);
    EXPECT_EQ(integers, (std::set<uint32_t>{16, 18, 23, 24, 38, 46, 276, 279}));
}

}  // namespace
}  // namespace devhost
