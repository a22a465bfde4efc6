// Each placed gauge lives in its own copy of the gauge's records.
#include <gtest/gtest.h>

#include <cstring>

#include "devhost/core/host.h"
#include "fixture_paths.h"

namespace devhost {
namespace {

using testing::fixture;

const NeedleElement& needleOf(const GaugeInstance& gauge)
{
    return reinterpret_cast<const NeedleElement&>(*gauge.definition()->elements[0]->children[0]);
}

TEST(GaugeInstances, RewritingAnIdentifierAtInstallationChangesThatInstanceOnly)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& airspeed = host.place("Rewriter");
    GaugeInstance& localizer = host.place("Rewriter", "localizer");
    EXPECT_EQ(needleOf(airspeed).source.id, 61u);
    EXPECT_EQ(needleOf(localizer).source.id, 40u);
    EXPECT_EQ(reinterpret_cast<const NeedleElement&>(*localizer.original()->elements[0]->children[0]).source.id, 61u)
        << "the module's static record stays as the module wrote it";

    host.variables().set(61, 7.0);
    host.variables().set(40, -1.5);
    host.frame();
    EXPECT_DOUBLE_EQ(host.probe(airspeed).elements[1].value, 7.0);
    EXPECT_DOUBLE_EQ(host.probe(localizer).elements[1].value, -1.5);
}

TEST(GaugeInstances, TheCopyIsDeepAndPointsAtItself)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& gauge = host.place("Rewriter");
    const GaugeDefinition* copy = gauge.definition();
    const GaugeDefinition* original = gauge.original();
    ASSERT_NE(copy, original);
    EXPECT_NE(copy->elements, original->elements);
    EXPECT_NE(copy->elements[0], original->elements[0]);
    EXPECT_NE(copy->elements[0]->children, original->elements[0]->children);
    EXPECT_NE(copy->mouseAreas, original->mouseAreas);
    EXPECT_EQ(copy->elements[0]->gauge, copy);
    EXPECT_EQ(copy->elements[0]->children[0]->gauge, copy);

    const NeedleElement& needle = needleOf(gauge);
    const auto& originalNeedle = reinterpret_cast<const NeedleElement&>(*original->elements[0]->children[0]);
    EXPECT_NE(needle.table, originalNeedle.table);
    ASSERT_EQ(needle.pointCount, 2u);
    EXPECT_DOUBLE_EQ(needle.table[1].value, 10.0);
    EXPECT_NE(needle.common.failures, originalNeedle.common.failures);
    EXPECT_EQ(needle.common.failures[0].system, 2u);
    EXPECT_EQ(needle.common.failures[1].system, 0u) << "the list keeps its end";
}

TEST(GaugeInstances, ParameterTextIsAMutableCopyOrNull)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& bare = host.place("Rewriter");
    GaugeInstance& given = host.place("Rewriter", "localizer");
    EXPECT_EQ(bare.definition()->parameter, nullptr) << "no parameter text: an empty reference";
    ASSERT_NE(given.definition()->parameter, nullptr);
    EXPECT_STREQ(given.definition()->parameter, "localizer");
    given.definition()->parameter[0] = 'L';  // the module may write into it
    EXPECT_EQ(host.probe(given).parameter, "Localizer");
}

TEST(GaugeInstances, AStringGetsABufferOfItsCharactersAndTheNull)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& plate = host.place("Plate");
    host.frame();
    GaugeSnapshot shown = host.probe(plate);
    ASSERT_EQ(shown.elements.size(), 2u);
    EXPECT_EQ(shown.elements[1].kind, String);
    EXPECT_EQ(shown.elements[1].text, "ABCDEF");
    EXPECT_EQ(shown.elements[1].font, "Arial");
    EXPECT_EQ(shown.elements[1].textColour, 0xFFFFFFu);
}

TEST(GaugeInstances, PlacedSizeDefaultsToTheGaugesOwnPixelsAndKeepsItsAspect)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& natural = host.place("Nested");
    EXPECT_EQ(natural.size().x, 200);
    EXPECT_EQ(natural.size().y, 200);
    GaugeInstance& half = host.place("Nested", "", 100, 0);
    EXPECT_EQ(half.size().y, 100);
    EXPECT_EQ(half.definition()->size.x, 100);
    EXPECT_THROW(host.place("Nested", "", -5, 0), HostError);
}

TEST(GaugeInstances, APanelPlacesTheModulesGaugesAndPassesOverOthers)
{
    Host host(fixture("fixture_gauges"));
    Panel panel = parsePanel("[Window00]\nsize_mm=400,400\n"
                             "gauge00=fixture_gauges!Nested, 10, 20, 100, 100, first\n"
                             "gauge01=Other_Module!Airspeed, 0, 0\n"
                             "gauge02=FIXTURE_GAUGES!Recorder, 200, 0\n",
                             "test.cfg");
    EXPECT_EQ(host.placePanel(panel), std::vector<std::string>{"Other_Module!Airspeed"});
    ASSERT_EQ(host.gauges().size(), 2u);
    GaugeSnapshot nested = host.probe(*host.gauges()[0]);
    EXPECT_EQ(nested.name, "Nested");
    EXPECT_EQ(nested.parameter, "first");
    EXPECT_EQ(nested.x, 10);
    EXPECT_EQ(nested.y, 20);
    EXPECT_EQ(nested.width, 100);
    EXPECT_EQ(host.gauges()[1]->name(), "Recorder") << "module names match whatever their case";
}

TEST(GaugeInstances, RemovalSendsCode12AndTheHostRemovesTheRestAtTheEnd)
{
    std::vector<EventRecord> log;
    {
        Host host(fixture("fixture_gauges"));
        GaugeInstance& first = host.place("Recorder");
        host.place("Recorder");
        host.remove(first);
        EXPECT_EQ(host.gauges().size(), 1u);
        ASSERT_EQ(host.events().size(), 3u);
        EXPECT_EQ(host.events()[2].id, testing::reportServiceCode + ServiceBeforeRemove);
    }
}

}  // namespace
}  // namespace devhost
