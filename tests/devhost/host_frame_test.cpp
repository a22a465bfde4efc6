// What the host does in a frame, and how time passes.
#include <gtest/gtest.h>

#include "devhost/core/host.h"
#include "fixture_paths.h"

namespace devhost {
namespace {

using namespace testing;

TEST(Frames, EveryGaugeHearsCode6BeforeAnyElementIsUpdated)
{
    Host host(fixture("fixture_gauges"));
    host.place("Recorder");
    host.place("Recorder");
    host.clearEvents();
    host.frame();
    std::vector<uint32_t> order;
    for (const EventRecord& e : host.events())
        order.insert(order.end(), e.count, e.id);
    EXPECT_EQ(order, (std::vector<uint32_t>{reportServiceCode + 6, reportServiceCode + 6, reportIconUpdate,
                                            reportIconUpdate}));
    EXPECT_EQ(host.events()[0].frame, 0u);
    EXPECT_FALSE(host.events()[0].known) << "the fixture reports through ids the host does not know";
    host.frame();
    EXPECT_EQ(host.events().back().frame, 1u) << "events carry the frame they happened in";
}

TEST(Frames, AnIconShowsTheFrameItsCallbackReturns)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& recorder = host.place("Recorder");
    host.frame();
    GaugeSnapshot shown = host.probe(recorder);
    ASSERT_EQ(shown.elements.size(), 2u);
    EXPECT_EQ(shown.elements[1].depth, 1);
    EXPECT_EQ(shown.elements[1].frame, 1);
}

TEST(Frames, ANeedleWithoutCallbackShowsItsSourceVariable)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& gauge = host.place("Rewriter");
    host.variables().set(61, 5.0);
    host.frame();
    ElementSnapshot needle = host.probe(gauge).elements[1];
    EXPECT_DOUBLE_EQ(needle.value, 5.0);
    EXPECT_EQ(needle.kind, Needle);
}

// The host looks a source up once, at its first read; a record the module
// rewrites, or a variable that only comes to be later, is read anew.
TEST(Frames, ANeedleReadsTheVariableItsRecordNamesNow)
{
    constexpr uint32_t NotYetHeld = 9999;
    Host host(fixture("fixture_gauges"));
    GaugeInstance& gauge = host.place("Rewriter");
    host.variables().set(61, 5.0);
    host.frame();
    auto& needle = reinterpret_cast<NeedleElement&>(*gauge.elements()[1].element);
    needle.source.id = NotYetHeld;
    host.frame();
    EXPECT_DOUBLE_EQ(host.probe(gauge).elements[1].value, 0.0);
    host.variables().set(NotYetHeld, 7.0);
    host.frame();
    EXPECT_DOUBLE_EQ(host.probe(gauge).elements[1].value, 7.0);
    needle.source.id = 61;
    host.frame();
    EXPECT_DOUBLE_EQ(host.probe(gauge).elements[1].value, 5.0);
}

// The host reads an element as the kind it was copied as: a larger kind
// that the module writes into the record later is not read past its end.
TEST(Frames, AKindWrittenIntoARecordLaterIsNotReadPastIt)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& gauge = host.place("Rewriter");
    GaugeElement& face = *gauge.elements()[0].element;  // a static image's record
    face.kind = Sprite;
    host.frame();
    EXPECT_EQ(host.probe(gauge).elements[0].xOffset, 0.0);
}

TEST(Frames, NoticesReachOneGaugeOrAll)
{
    Host host(fixture("fixture_gauges"));
    GaugeInstance& first = host.place("Recorder");
    host.place("Recorder");
    host.clearEvents();
    host.notify(first, ServiceShutDownNotice);
    host.notifyAll(ServiceShutDownNotice);
    EXPECT_EQ(host.events().size(), 3u);
}

TEST(Time, SimulationTimeAndTimeOfDayAdvanceWithTheFrameRate)
{
    Host host(fixture("fixture_gauges"), HostOptions{.startTimeOfDay = 3600});
    host.frame(18);
    EXPECT_NEAR(host.simulationTime(), 1.0, 1e-9);
    EXPECT_NEAR(host.timeOfDay(), 3601.0, 1e-9);
    host.setFramesPerSecond(2);
    host.frame(4);
    EXPECT_NEAR(host.simulationTime(), 3.0, 1e-9);
    EXPECT_EQ(host.frameNumber(), 22u);
    EXPECT_THROW(host.setFramesPerSecond(0), HostError);
}

TEST(Time, TimeOfDayWrapsAtMidnight)
{
    Host host(fixture("fixture_gauges"), HostOptions{.framesPerSecond = 2, .startTimeOfDay = 86399.5});
    host.frame(2);
    EXPECT_NEAR(host.timeOfDay(), 0.5, 1e-9);
    EXPECT_NEAR(host.probe().timeOfDay, 0.5, 1e-9);
}

// A day's flight must not grow the log without end: the ADF receiver holds
// its tone off every frame, and the recorder sends two events in turn.
TEST(EventLog, ARepeatedEventIsOneEntryAndTheLogIsBounded)
{
    Host panel(moduleUnderTest());
    panel.place("Radio_ADF_EZ6");
    panel.frame(1000);
    ASSERT_EQ(panel.events().size(), 1u);
    EXPECT_EQ(panel.events()[0].lastFrame, 999u);
    EXPECT_GE(panel.events()[0].count, 1000u);

    Host host(fixture("fixture_gauges"));
    host.place("Recorder");
    EventMark mark;
    host.frame(static_cast<int>(MaxEventLogEntries));
    EXPECT_EQ(host.events().size(), MaxEventLogEntries);
    EXPECT_EQ(host.eventsSince(mark).size(), MaxEventLogEntries);
    EXPECT_GT(mark.missed, 0u) << "the oldest entries are forgotten, and a reader is told";
}

// Each report of a probe carries the events since the one before, not all
// since the start (which made a long run's JSON grow with its square).
TEST(EventLog, AReaderGetsOnlyWhatCameSinceItsMark)
{
    Host host(fixture("fixture_gauges"));
    host.place("Recorder");
    EventMark mark;
    host.frame();
    EXPECT_EQ(host.eventsSince(mark).size(), 3u) << "installation, code 6, icon update";
    host.frame();
    const std::vector<EventRecord> second = host.eventsSince(mark);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].frame, 1u);
    EXPECT_EQ(host.probe(mark).events.size(), 0u);
}

}  // namespace
}  // namespace devhost
