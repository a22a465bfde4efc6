#include "devhost/core/module_gauges.h"
#include "devhost/app/catalog_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

#include "devhost/core/gauge_exploration.h"
#include "devhost/core/gauge_notes.h"
#include "devhost/core/host.h"
#include "devhost/core/key_events.h"
#include "devhost/core/values.h"
#include "devhost/core/variables.h"
#include "devhost/flight/snapshot_json.h"

namespace devhost {

namespace {

using json = nlohmann::ordered_json;

constexpr VariableGroup groups[] = {VariableGroup::Flight, VariableGroup::Engines,    VariableGroup::Fuel,
                                    VariableGroup::Radios, VariableGroup::Navigation, VariableGroup::Time};

std::string variableName(uint32_t id)
{
    const VariableInfo* info = findVariable(id);
    return info ? std::string(info->name) : std::to_string(id);
}

std::string eventName(uint32_t id)
{
    const KeyEventInfo* info = findKeyEvent(id);
    return info ? std::string(info->name) : std::to_string(id);
}

int printVariables(bool asJson)
{
    if (asJson) {
        json all = json::array();
        for (const VariableInfo& v : knownVariables())
            all.push_back(toJson(v));
        std::cout << all.dump(2) << "\n";
        return 0;
    }
    for (VariableGroup group : groups) {
        std::cout << fmt::format("{}:\n", groupName(group));
        for (const VariableInfo& v : knownVariables()) {
            if (v.group != group)
                continue;
            std::cout << fmt::format("  {:<20} {:>4}  {:<18} {:<6}  default {:<12} {}\n", v.name, v.id, v.unit,
                                     kindName(v.kind), naturalText(v, v.initial), v.about);
            if (std::string forms = acceptedForms(v); !forms.empty())
                std::cout << fmt::format("  {:<20}       takes: {}\n", "", forms);
        }
    }
    std::cout << "\nSet them with --set NAME=VALUE (render, click, hover) or in a flight script's \"variables\".\n";
    return 0;
}

int printEvents(bool asJson)
{
    if (asJson) {
        json all = json::array();
        for (const KeyEventInfo& e : knownKeyEvents())
            all.push_back({{"name", e.name},
                           {"number", e.id},
                           {"variable", e.variable ? json(variableName(e.variable)) : json()},
                           {"effect", e.effect}});
        std::cout << all.dump(2) << "\n";
        return 0;
    }
    for (const KeyEventInfo& e : knownKeyEvents())
        std::cout << fmt::format("  {:<28} {:>6}  {:<16} {}\n", e.name, e.id,
                                 e.variable ? variableName(e.variable) : std::string("-"), e.effect);
    return 0;
}

std::string_view kindWord(ElementKind kind)
{
    switch (kind) {
    case StaticImage: return "image";
    case Needle: return "needle";
    case String: return "text";
    case Slider: return "slider";
    case Icon: return "icon";
    case MovingImage: return "moving image";
    case Sprite: return "sprite";
    }
    return "?";
}

std::string_view cursorWord(int32_t cursor)
{
    switch (cursor) {
    case CursorUpArrow: return "up arrow";
    case CursorDownArrow: return "down arrow";
    case CursorHand: return "hand";
    case CursorNone: return "none";
    default: return "other";
    }
}

std::vector<std::string> buttonWords(uint32_t flags)
{
    std::vector<std::string> words;
    if (flags & ClickLeft)
        words.push_back("left");
    if (flags & ClickRight)
        words.push_back("right");
    if (flags & ClickMiddle)
        words.push_back("middle");
    if (flags & ClickRepeat)
        words.push_back("repeats while held");
    return words;
}

json areaJson(const DescribedArea& area)
{
    json a{{"type", area.type == Region ? "region" : "click"},
           {"box", {area.box.x, area.box.y, area.box.width, area.box.height}},
           {"depth", area.depth},
           {"cursor", cursorWord(area.cursor)}};
    if (area.type == Region) {
        a["tooltip"] = area.tooltip;
        if (area.helpId)
            a["help_id"] = area.helpId;
    } else {
        a["buttons"] = buttonWords(area.clickFlags);
        if (area.keyEvent)
            a["key_event"] = eventName(area.keyEvent);
    }
    return a;
}

}  // namespace

json describeGauge(const std::string& module, const std::string& name, const std::string& parameter)
{
    Host host(module);
    const GaugeExploration found = exploreGauge(host, name, parameter);
    json areas = json::array(), lit = json::array(), reads = json::array(), sends = json::array();
    for (const DescribedArea& area : found.areas)
        areas.push_back(areaJson(area));
    for (const LitElement& e : found.lit)
        lit.push_back({{"element", e.element}, {"kind", kindWord(e.kind)}, {"bitmap", e.bitmap}});
    for (uint32_t id : found.reads)
        reads.push_back(variableName(id));
    for (uint32_t id : found.sends)
        sends.push_back(eventName(id));
    const ParameterForms forms = parameterForms(name);
    return {{"gauge", name},
            {"size_mm", found.defaultSize},
            {"pixels", {found.pixels.x, found.pixels.y}},
            {"parameter", forms.forms.empty() ? json() : json{{"forms", forms.forms}, {"examples", forms.examples}}},
            {"reads", reads},
            {"sends", sends},
            {"mouse_areas", areas},
            {"bitmaps", found.bitmaps},
            {"lit_at_night", lit}};
}

namespace {

std::string joined(const json& list)
{
    std::string text;
    for (const json& item : list)
        text += (text.empty() ? "" : ", ") + (item.is_string() ? item.get<std::string>() : item.dump());
    return text.empty() ? "none" : text;
}

void printDescription(const json& d)
{
    std::cout << fmt::format("{}: {} mm wide, {}x{} pixels of its own\n", d["gauge"].get<std::string>(),
                             d["size_mm"].get<uint32_t>(), d["pixels"][0].get<int>(), d["pixels"][1].get<int>());
    if (d["parameter"].is_null())
        std::cout << "parameter text: none read\n";
    else
        std::cout << fmt::format("parameter text: {}\n  e.g. {}\n", d["parameter"]["forms"].get<std::string>(),
                                 d["parameter"]["examples"].get<std::string>());
    std::cout << "reads: " << joined(d["reads"]) << "\n";
    std::cout << "sends: " << joined(d["sends"]) << "\n";
    std::cout << "mouse areas (gauge pixels x,y,width,height):\n";
    for (const json& a : d["mouse_areas"]) {
        const json& b = a["box"];
        std::string line = fmt::format("  {}{:<6} {:>4},{:<4} {:>4}x{:<4} cursor {}", std::string(2 * a["depth"].get<size_t>(), ' '),
                                       a["type"].get<std::string>(), b[0].get<int>(), b[1].get<int>(), b[2].get<int>(),
                                       b[3].get<int>(), a["cursor"].get<std::string>());
        if (a.contains("tooltip"))
            line += fmt::format(", tooltip \"{}\"", a["tooltip"].get<std::string>());
        if (a.contains("buttons"))
            line += ", " + joined(a["buttons"]);
        if (a.contains("key_event"))
            line += ", sends " + a["key_event"].get<std::string>();
        std::cout << line << "\n";
    }
    std::cout << "bitmaps: " << joined(d["bitmaps"]) << "\n";
    std::cout << "lit at night:";
    if (d["lit_at_night"].empty())
        std::cout << " nothing";
    for (const json& e : d["lit_at_night"])
        std::cout << fmt::format(" element {} {} (bitmap {});", e["element"].get<size_t>(), e["kind"].get<std::string>(),
                                 e["bitmap"].get<int>());
    std::cout << "\n";
}

}  // namespace

CatalogCommands::CatalogCommands(CLI::App& app, const std::string& defaultModule) : module_(defaultModule)
{
    vars_ = app.add_subcommand("vars", "every host variable: name, number, unit, kind, default, what it is, and "
                                       "the units and forms --set takes");
    events_ = app.add_subcommand("events", "every key event the host understands, and what it does to which variable");
    describe_ = app.add_subcommand(
        "describe", "one gauge: size, parameter text, variables read, key events sent, mouse areas, bitmaps, "
                    "what is lit at night\n  devhost describe Radio_COM_SK10");
    for (CLI::App* command : {vars_, events_, describe_})
        command->add_flag("--json", json_, "print it as JSON");
    describe_->add_option("gauge", gauge_, "gauge name (`devhost list`)")->required();
    describe_->add_option("--param", parameter_, "parameter text to place it with");
    describe_->add_option("--module", module_, "module file (default: the built " + std::string(ModuleName) + ".so)");
}

bool CatalogCommands::parsed() const { return vars_->parsed() || events_->parsed() || describe_->parsed(); }

int CatalogCommands::run() const
{
    if (vars_->parsed())
        return printVariables(json_);
    if (events_->parsed())
        return printEvents(json_);
    json description = describeGauge(module_, gauge_, parameter_);
    if (json_)
        std::cout << description.dump(2) << "\n";
    else
        printDescription(description);
    return 0;
}

}  // namespace devhost
