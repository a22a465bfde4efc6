// Small constexpr builders that let a gauge's definition read like its data
// sheet without hiding the record layout: each returns one host record with
// the fields that entry uses, every other field zero.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "framework/gauge_model.h"

// ---------------------------------------------------------------- mouse areas

// A region; the whole-gauge region that opens every list has the empty box.
constexpr MouseArea region(Box box = {}, uint32_t helpId = 0)
{
    return {.type = Region, .box = box, .cursor = CursorNone, .helpId = helpId};
}

constexpr MouseArea regionEnd() { return {.type = RegionEnd}; }
constexpr MouseArea listEnd() { return {.type = ListEnd}; }

// A tooltip whose text the host supplies from its help id.
constexpr MouseArea hostTooltip(uint32_t helpId)
{
    return {.type = Tooltip, .cursor = CursorNone, .helpId = helpId};
}

// A tooltip of our own text, optionally with arguments (see textTooltip's
// insert syntax in the tooltip texts: %1!4.2f!, %2!s!, ...).
constexpr MouseArea textTooltip(const char* text, TooltipArg* args = nullptr, uint32_t argCount = 0)
{
    return {.type = Tooltip,
            .cursor = CursorNone,
            .keyEventOrArgCount = argCount,
            .tooltipText = text,
            .tooltipArgs = args};
}

// An area whose clicks go to a handler of the module.
constexpr MouseArea clickArea(Box box, int32_t cursor, uint32_t clickFlags, MouseHandler handler)
{
    return {.type = ClickArea, .box = box, .cursor = cursor, .clickFlags = clickFlags, .handler = handler};
}

// An area on which the host sends a key event itself; no module code runs.
constexpr MouseArea keyArea(Box box, int32_t cursor, uint32_t clickFlags, uint32_t keyEvent)
{
    return {.type = ClickArea, .box = box, .cursor = cursor, .clickFlags = clickFlags, .keyEventOrArgCount = keyEvent};
}

// ---------------------------------------------------------------- boxes

// What lies over a mouse box is placed from it: a switch icon at the box's
// corner, a knob turning about the box's centre, its two halves (left down,
// right up) splitting the box.
constexpr Point cornerOf(Box box) { return {box.x, box.y}; }
constexpr Point centreOf(Box box) { return {box.x + box.width / 2, box.y + box.height / 2}; }
constexpr Box leftHalfOf(Box box) { return {box.x, box.y, box.width / 2, box.height}; }
constexpr Box rightHalfOf(Box box) { return {box.x + box.width / 2, box.y, box.width - box.width / 2, box.height}; }

// The mouse events a knob half answers: either button, repeated while held.
inline constexpr uint32_t KnobClicks = ClickRight | ClickLeft | ClickRepeat;

// A left click asks for the knob's fine step, a right click for its coarse
// one. The left button first: only a click without it is looked at for the
// right.
enum class KnobStepSize { None, Fine, Coarse };

constexpr KnobStepSize knobStepOf(uint32_t clickFlags)
{
    if (clickFlags & ClickLeft)
        return KnobStepSize::Fine;
    if (clickFlags & ClickRight)
        return KnobStepSize::Coarse;
    return KnobStepSize::None;
}

// ---------------------------------------------------------------- tooltip arguments

constexpr TooltipArg numberArg(TooltipNumberCallback callback) { return {.number = callback}; }
constexpr TooltipArg stringArg(TooltipStringCallback callback) { return {.string = callback}; }

// ---------------------------------------------------------------- variables and headers

constexpr SourceVar hostVar(uint32_t id) { return {.id = id}; }

constexpr GaugeDefinition gaugeHeader(const char* name, uint32_t defaultSize, GaugeElement** roots,
                                      MouseArea* mouseAreas, GaugeCallback callback = nullptr)
{
    return {.version = GaugeVersion,
            .name = name,
            .elements = roots,
            .defaultSize = defaultSize,
            .mouseAreas = mouseAreas,
            .callback = callback};
}

// ---------------------------------------------------------------- elements

// A sprite that only turns, by its update callback (no source variables),
// its texture drawn at its own size: scale discs, knobs.
constexpr SpriteElement turningSprite(GaugeElement common, double rotationScale, UpdateCallback rotation)
{
    return {.common = common,
            .rotationScale = rotationScale,
            .textureScaleX = 1.0f,
            .textureScaleY = 1.0f,
            .rotationUpdate = rotation};
}

// ---------------------------------------------------------------- the drawing order

// Whether a record type can stand in the host's element lists: they point
// at its first member, the common header.
template <typename Element>
constexpr bool beginsWithHeader()
{
    if constexpr (requires { Element::common; })
        return std::is_standard_layout_v<Element> && std::is_same_v<decltype(Element::common), GaugeElement> &&
               offsetof(Element, common) == 0;
    return false;
}

// A gauge's elements in drawing order, each the only child of the one before
// it and the first the gauge's only root: how every gauge of this module is
// drawn. The chain holds the records the host reads, copied from the
// descriptions it is given, and links them and stamps them with their gauge
// when it is built, at compile time (declare it constinit):
//
//     constinit ElementChain elements{&fooGauge, Face, Needle, Bezel};
//     GaugeDefinition fooGauge = gaugeHeader("Foo", 100, elements.roots(), mouseAreas);
template <typename... Elements>
struct ElementChain {
    static_assert((beginsWithHeader<Elements>() && ...), "an element record begins with its GaugeElement header");
    static constexpr size_t Count = sizeof...(Elements);

    std::tuple<Elements...> records;
    GaugeElement* lists[Count][2];  // lists[0] the gauge's roots, lists[k] the children of element k - 1

    constexpr explicit ElementChain(GaugeDefinition* gauge, const Elements&... descriptions)
        : records{descriptions...}, lists{}
    {
        link(gauge, std::index_sequence_for<Elements...>{});
    }

    constexpr GaugeElement** roots() { return lists[0]; }

    ElementChain(const ElementChain&) = delete;
    ElementChain& operator=(const ElementChain&) = delete;

private:
    template <size_t... K>
    constexpr void link(GaugeDefinition* gauge, std::index_sequence<K...>)
    {
        GaugeElement* inOrder[] = {&std::get<K>(records).common...};
        for (size_t k = 0; k < Count; ++k) {
            lists[k][0] = inOrder[k];
            lists[k][1] = nullptr;
            inOrder[k]->gauge = gauge;
            inOrder[k]->children = k + 1 < Count ? lists[k + 1] : nullptr;
        }
    }
};
