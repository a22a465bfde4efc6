// The needle dial: a face, one needle turning over it, a bezel drawn over
// the needle, and one tooltip over the whole gauge. Most round instruments
// of the panel are exactly this; a gauge states what its dial has of its own
// in a NeedleDialSpec, and NeedleDial lays out the three element records
// (an ElementChain), the calibration table, the failure list and the
// mouse-area list the way the host reads them.
//
//     constexpr CalibrationPoint scale[] = {{{40, 160}, 0}, {{100, 30}, 50}, {{160, 160}, 100}};
//     constinit NeedleDial dial{{.gauge = &fooGauge,
//                                .parts = {.face = 1, .needle = 2, .bezel = 3,
//                                          .needlePosition = {100, 100}, .needleOffset = {9, 4}},
//                                .variable = 625,
//                                .tooltip = "Foo (%1!d!)",
//                                .tooltipValue = printFoo},
//                               scale};
//     GaugeDefinition fooGauge = gaugeHeader("Foo", 100, dial.elements.roots(), dial.mouseAreas);
//
// Dials that differ only in their variable and tooltip text (one per engine)
// share a NeedleDialSpec and are built with familyDial. A needle whose value
// is a conversion of the host's, printed by the tooltip as the needle showed
// it, takes its callbacks from convertingDial.
//
// The dial points into itself (its chain, table, failures, tooltip argument),
// so it is built in place and never copied: define it constinit at namespace
// scope, directly or from a function that returns it by value.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/gauge_dsl.h"

// How the three parts of a dial are drawn: face and needle lit at night,
// the needle turned smoothly, the bezel plain over both.
inline constexpr uint32_t DialFaceFlags = LitImage;
inline constexpr uint32_t DialNeedleFlags = LitSmoothImage;
inline constexpr uint32_t DialBezelFlags = PlainImage;

// Dials that share their pictures (one per engine, say) share one of these.
struct DialParts {
    int32_t face;           // bitmap, placed at (0,0)
    int32_t needle;         // bitmap, drawn pointing to +x
    int32_t bezel;          // bitmap, placed at (0,0) over the needle
    Point needlePosition;   // the pivot, on the face
    Point needleOffset;     // the hub, within the needle bitmap
};

struct NeedleDialSpec {
    GaugeDefinition* gauge;                        // the owning definition
    DialParts parts;
    uint32_t variable = 0;                         // host variable that drives the needle; 0: none
    UpdateCallback update = nullptr;               // converts the host value into dial units; none: the raw value
    std::span<const FailureBinding> failures = {}; // without the closing entry
    const char* tooltip = nullptr;                 // a text tooltip ...
    TooltipNumberCallback tooltipValue = nullptr;  // ... and its one argument, which a text with "%1" needs
    uint32_t helpId = 0;                           // without a text: the host's tooltip of this help id
    int32_t maxDegreesPerTick = 0;                 // 0: the needle turns as fast as the value moves
    uint32_t faceFlags = DialFaceFlags;
    uint32_t needleFlags = DialNeedleFlags;
    uint32_t bezelFlags = DialBezelFlags;
};

// More failure bindings than any instrument declares for one element.
inline constexpr size_t MaxDialFailures = 4;

// Reached only while a dial is built at compile time from a spec that does
// not fit; being no constant expression, it stops the build there.
inline void dialSpecDoesNotFit() {}

template <size_t Points>
struct NeedleDial {
    CalibrationPoint table[Points];                // the dial's own copy: the host writes into it
    FailureBinding failures[MaxDialFailures + 1];
    ElementChain<StaticImageElement, NeedleElement, StaticImageElement> elements;  // face, needle, bezel
    TooltipArg tooltipArg;
    MouseArea mouseAreas[4];

    constexpr NeedleDial(const NeedleDialSpec& spec, const CalibrationPoint (&scale)[Points])
        : table{},
          failures{},
          elements{spec.gauge,
                   StaticImageElement{
                       .common = {.kind = StaticImage, .bitmap = spec.parts.face, .imageFlags = spec.faceFlags}},
                   NeedleElement{.common = {.kind = Needle,
                                            .bitmap = spec.parts.needle,
                                            .position = spec.parts.needlePosition,
                                            .offset = spec.parts.needleOffset,
                                            .failures = spec.failures.empty() ? nullptr : failures,
                                            .imageFlags = spec.needleFlags},
                                 .source = hostVar(spec.variable),
                                 .table = table,
                                 .pointCount = Points,
                                 .maxDegreesPerTick = spec.maxDegreesPerTick,
                                 .update = spec.update},
                   StaticImageElement{
                       .common = {.kind = StaticImage, .bitmap = spec.parts.bezel, .imageFlags = spec.bezelFlags}}},
          tooltipArg{numberArg(spec.tooltipValue)},
          mouseAreas{region(), tooltipOf(spec), regionEnd(), listEnd()}
    {
        for (size_t i = 0; i < Points; ++i)
            table[i] = scale[i];
        if (spec.failures.size() > MaxDialFailures)
            dialSpecDoesNotFit();
        for (size_t i = 0; i < spec.failures.size() && i < MaxDialFailures; ++i)
            failures[i] = spec.failures[i];
    }

    StaticImageElement& face() { return std::get<0>(elements.records); }
    NeedleElement& needle() { return std::get<1>(elements.records); }
    StaticImageElement& bezel() { return std::get<2>(elements.records); }

    NeedleDial(const NeedleDial&) = delete;
    NeedleDial& operator=(const NeedleDial&) = delete;

private:
    // The host is told of the argument only when the text prints it, so a
    // text without insert never has the host call an argument callback.
    // (Testing the callback itself for null is no constant expression where
    // null-pointer checks are kept, as under the sanitizers.)
    constexpr MouseArea tooltipOf(const NeedleDialSpec& spec)
    {
        if (!spec.tooltip)
            return hostTooltip(spec.helpId);
        return printsFirstArgument(spec.tooltip) ? textTooltip(spec.tooltip, &tooltipArg, 1) : textTooltip(spec.tooltip);
    }

    // An insert "%1..." in the text; "%%" is a percent sign, not an insert.
    static constexpr bool printsFirstArgument(const char* text)
    {
        for (; *text; ++text) {
            if (text[0] != '%')
                continue;
            if (text[1] == '1')
                return true;
            if (text[1] == '%')
                ++text;
        }
        return false;
    }
};

// Dials of one family (one per engine, one per tank) share a description;
// each gauge adds its owner, its variable and its tooltip text.
template <size_t Points>
constexpr NeedleDial<Points> familyDial(NeedleDialSpec family, const CalibrationPoint (&scale)[Points],
                                        GaugeDefinition* gauge, uint32_t variable, const char* tooltip)
{
    family.gauge = gauge;
    family.variable = variable;
    family.tooltip = tooltip;
    return {family, scale};
}

// ---------------------------------------------------------------- callbacks' helpers

// What the host filled into a needle's source variable for this frame.
inline double needleSource(const GaugeElement* element)
{
    if (!element || element->kind != Needle)
        return 0.0;
    return reinterpret_cast<const NeedleElement*>(element)->source.value.number;
}

// A host value that is not a number, or infinite, must not reach a needle,
// a tooltip or a stored value; the caller says what stands in for it.
inline double finiteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

// The tooltip argument of a dial whose update callback keeps what the needle
// showed in a module-wide value: the tooltip prints the latest frame's value.
template <const double& shown>
double VARDEX_HOSTAPI printStored(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return shown;
}

// The update callback of such a dial: the needle shows convert(host value),
// kept in `shown` for the tooltip.
template <double (*convert)(double), double& shown>
double VARDEX_HOSTAPI showConverted(GaugeElement* needle)
{
    return shown = convert(needleSource(needle));
}

// The description of a dial family whose needle shows convert(host value)
// and whose tooltip prints what the needle showed.
template <double (*convert)(double), double& shown>
constexpr NeedleDialSpec convertingDial(DialParts parts, std::span<const FailureBinding> failures)
{
    return {.parts = parts,
            .update = showConverted<convert, shown>,
            .failures = failures,
            .tooltipValue = printStored<shown>};
}
