// Where the artwork puts a mark: the direction in which the host will turn
// a needle for a value, and which record that direction is read from.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <map>
#include <span>
#include <vector>

#include "devhost/core/geometry.h"
#include "devhost/core/host.h"
#include "tools/assetgen/layout.h"

namespace {

using assetgen::ElementInfo;
using assetgen::Layout;
using assetgen::needleAngle;

// Directions compared modulo whole turns.
double turnsApart(double a, double b)
{
    double d = std::fmod(a - b, 360.0);
    return std::min(std::abs(d), 360.0 - std::abs(d));
}

// The module's records as the generator reads them: the definitions-only
// build, which carries every table and no artwork.
const LinkageRecord* definitions()
{
    static void* module = dlopen(VARDEX_DEFINITIONS_MODULE, RTLD_NOW | RTLD_LOCAL);
    return module ? static_cast<const LinkageRecord*>(dlsym(module, "Linkage")) : nullptr;
}

const ElementInfo& recorded(const char* gauge, ElementKind kind, int bitmap, int ordinal = 0)
{
    static const Layout layout(definitions());
    return layout.element(gauge, kind, bitmap, ordinal);
}

// Every mark of every face is drawn at the direction the artwork reads for
// its value; here the host places each gauge of the module users install
// and turns each of its needles to the values of its table, to the middles
// between them and past both ends: the artwork must have read the same
// needle and must point the same way.
TEST(MarksAndNeedles, EveryMarkLiesWhereTheHostsNeedlePointsForItsValue)
{
    const Layout layout(definitions());
    devhost::Host host(devhost::moduleUnderTest());
    int needles = 0;
    for (const devhost::GaugeInfo& gauge : host.gaugeList()) {
        std::map<int, int> seen;  // needles of each bitmap so far, in drawing order
        for (const auto& slot : host.place(gauge.name).elements()) {
            if (slot.element->kind != Needle)
                continue;
            ++needles;
            const auto& needle = *reinterpret_cast<const NeedleElement*>(slot.element);
            const std::span<const CalibrationPoint> table(needle.table, needle.table ? needle.pointCount : 0);
            const ElementInfo& drawn =
                layout.element(gauge.name, Needle, needle.common.bitmap, seen[needle.common.bitmap]++);
            std::vector<double> values = {0, -1000, 1000};
            for (size_t k = 0; k < table.size(); ++k) {
                values.push_back(table[k].value);
                if (k + 1 < table.size())
                    values.push_back((table[k].value + table[k + 1].value) / 2);
            }
            if (!table.empty()) {
                const double span = table.back().value - table.front().value;
                values.push_back(table.front().value - span / 2);
                values.push_back(table.back().value + span / 2);
            }
            for (double v : values)
                EXPECT_NEAR(turnsApart(needleAngle(drawn, v), devhost::needleAngle(table, needle.common.position, v)),
                            0, 1e-9)
                    << gauge.name << " needle " << needle.common.bitmap << " at " << v;
        }
    }
    EXPECT_GT(needles, 30);
}

// The artwork lays scales out from one value's angle to another's, so its
// angles keep counting past a whole turn.
TEST(NeedleDirection, CountsWholeTurns)
{
    const auto& metres = recorded("Altimeter", Needle, 340);
    EXPECT_NEAR(needleAngle(metres, 1000) - needleAngle(metres, 0), 360, 1e-9) << "one turn per 1000 m";
    EXPECT_NEAR(needleAngle(metres, -250) - needleAngle(metres, 0), -90, 1e-9);
    ElementInfo disc{.kind = Needle, .bitmap = 280};
    EXPECT_DOUBLE_EQ(needleAngle(disc, 390), 390) << "without a table, the value itself";
}

TEST(LayoutSource, ReadsTheRecordsItIsGiven)
{
    // A module whose airspeed needle has its own table.
    static CalibrationPoint table[] = {{{150, 251}, 0, 0}, {{150, 51}, 500, 0}};
    static GaugeDefinition gauge{};
    static NeedleElement needle{.common = {.kind = Needle, .bitmap = 300, .position = {150, 151}, .gauge = &gauge},
                                .table = table,
                                .pointCount = 2};
    static GaugeElement* children[] = {&needle.common, nullptr};
    static StaticImageElement face{
        .common = {.kind = StaticImage, .bitmap = 290, .gauge = &gauge, .children = children}};
    static GaugeElement* roots[] = {&face.common, nullptr};
    gauge.name = "Airspeed";
    gauge.elements = roots;
    static LinkageRecord linkage{.gauges = {&gauge, nullptr}};

    Layout layout(&linkage);
    const auto& fromModule = layout.element("Airspeed", Needle, 300);
    ASSERT_EQ(fromModule.table.size(), 2u);
    EXPECT_DOUBLE_EQ(fromModule.table[1].value, 500);
    EXPECT_EQ(layout.fromModule().count("Airspeed"), 1u);
    // Nothing else: a gauge the records lack has no layout.
    EXPECT_THROW(layout.element("Altimeter", Needle, 340), std::runtime_error);
}

TEST(LayoutSource, NamesWhatNobodyKnows)
{
    ASSERT_NE(definitions(), nullptr) << dlerror();
    Layout layout(definitions());
    EXPECT_THROW(layout.element("Vertical_Speed", Needle, 999), std::runtime_error);
    EXPECT_THROW(layout.element("Vertical_Speed", Needle, 1110, 2), std::runtime_error) << "only two needles";
}

}  // namespace
