// Small constexpr builders that let a gauge's definition read like its data
// sheet without hiding the record layout: each returns one host record with
// the fields that entry uses, every other field zero.
#pragma once

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
