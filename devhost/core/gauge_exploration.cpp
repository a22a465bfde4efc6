#include "devhost/core/gauge_exploration.h"

#include <algorithm>
#include <set>

#include "devhost/core/mouse_map.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/core/variables.h"

namespace devhost {

namespace {

constexpr int FramesToSettle = 18;  // one second: every gauge has looked at what it reads

std::vector<DescribedArea> describeAreas(Host& host, GaugeInstance& gauge, const MouseMap& map)
{
    std::vector<DescribedArea> areas;
    for (const MouseMap::Listed& entry : map.listed()) {
        const MouseArea& area = *entry.area;
        std::string tip;
        if (area.type == Region) {
            tip = entry.tooltip ? host.tooltipText(gauge, *entry.tooltip) : std::string();
            if (tip.empty() && area.helpId)
                tip = hostHelpText(area.helpId);
        }
        const bool sendsItself = area.type == ClickArea && !area.handler;
        areas.push_back({area.type, entry.box, entry.depth, area.cursor, area.helpId, windows1252ToUtf8(tip),
                         area.clickFlags, sendsItself ? area.keyEventOrArgCount : 0});
    }
    return areas;
}

// The bitmaps an element draws with: its own, an icon's frames after it, a
// sprite's or moving image's window bitmap after it.
std::vector<int32_t> bitmapsOf(const GaugeElement& element)
{
    if (element.bitmap < 0)
        return {};
    std::vector<int32_t> bitmaps{element.bitmap};
    if (element.kind == Icon) {
        const auto& icon = reinterpret_cast<const IconElement&>(element);
        for (uint32_t frame = 1; frame < icon.frames; ++frame)
            bitmaps.push_back(element.bitmap + static_cast<int32_t>(frame));
    } else if (element.kind == Sprite || element.kind == MovingImage) {
        bitmaps.push_back(element.bitmap + 1);
    }
    return bitmaps;
}

std::vector<int32_t> bitmapsOf(const GaugeInstance& gauge)
{
    std::vector<int32_t> bitmaps;
    for (const GaugeInstance::Slot& slot : gauge.elements())
        for (int32_t bitmap : bitmapsOf(*slot.element))
            if (std::find(bitmaps.begin(), bitmaps.end(), bitmap) == bitmaps.end())
                bitmaps.push_back(bitmap);
    return bitmaps;
}

struct Press {
    Point at;
    uint32_t button;
};

// The middle of every click area, once per button of the two it takes.
std::vector<Press> pressesOf(const MouseMap& map)
{
    std::vector<Press> presses;
    for (const MouseMap::Listed& entry : map.listed())
        if (entry.area->type == ClickArea)
            for (uint32_t button : {ClickLeft, ClickRight})
                if (entry.area->clickFlags & button)
                    presses.push_back({{entry.box.x + entry.box.width / 2, entry.box.y + entry.box.height / 2}, button});
    return presses;
}

// The gauge pressed all over, remembering what it lit on the way.
class Explorer {
public:
    Explorer(Host& host, GaugeInstance& gauge) : host_(host), gauge_(gauge) { noteLit(); }

    // Every area worked with every button it takes, round after round,
    // until rounds in a row find no event and no lit element new: a power
    // switch clicked in one round lets the knobs speak in the next, a knob
    // at the foot of its band goes down only once it has gone up, and an
    // element may be lit only while its radio is on. Two rounds forwards,
    // two backwards, and again: a switch toggled twice leaves the knobs one
    // round on and one off in either order, and an area that resets what
    // another steps (a band selector before the tuning knob) comes after
    // it too.
    void pressAll(const std::vector<Press>& presses)
    {
        constexpr int MostRounds = 16, QuietRounds = 4;
        size_t known = found();
        for (int round = 0, quiet = 0; round < MostRounds && quiet < QuietRounds; ++round) {
            const bool backwards = round / 2 % 2 == 1;
            for (size_t i = 0; i < presses.size(); ++i) {
                const Press& press = presses[backwards ? presses.size() - 1 - i : i];
                host_.clickGaugePixel(gauge_, press.at, press.button);
                host_.frame();
                noteLit();
            }
            const size_t now = found();
            quiet = now == known ? quiet + 1 : 0;
            known = now;
        }
    }

    // The host's shut-down notice, with the condition the shut-down area
    // reads set: gauges switch off and tell the host so.
    void shutDown()
    {
        host_.variables().set(var::RadiosShutdown, 1);
        host_.notifyAll(ServiceShutDownNotice);
        host_.frame();
        noteLit();
    }

    std::vector<LitElement> lit() const
    {
        std::vector<LitElement> lit;
        for (const GaugeInstance::Slot& slot : gauge_.elements())
            if (lit_.count(slot.shown.index))
                lit.push_back({slot.shown.index, slot.element->kind, slot.element->bitmap});
        return lit;
    }

private:
    void noteLit()
    {
        for (const GaugeInstance::Slot& slot : gauge_.elements())
            if (slot.element->imageFlags & ImageLuminous)
                lit_.insert(slot.shown.index);
    }

    // Distinct events sent and elements lit so far.
    size_t found() const
    {
        std::set<uint32_t> sent;
        for (const EventRecord& event : host_.events())
            sent.insert(event.id);
        return sent.size() + lit_.size();
    }

    Host& host_;
    GaugeInstance& gauge_;
    std::set<size_t> lit_;
};

std::vector<uint32_t> keyEventsSent(const Host& host)
{
    std::vector<uint32_t> sent;
    for (const EventRecord& event : host.events())
        if (!event.windowToggle && std::find(sent.begin(), sent.end(), event.id) == sent.end())
            sent.push_back(event.id);
    return sent;
}

}  // namespace

GaugeExploration exploreGauge(Host& host, std::string_view name, std::string_view parameter)
{
    GaugeInstance& gauge = host.place(name, parameter);
    host.frame(FramesToSettle);
    GaugeExploration found;
    for (const GaugeInfo& info : host.gaugeList())
        if (info.name == name)
            found.defaultSize = info.defaultSize;
    found.pixels = gauge.gaugePixels();
    const MouseMap map(gauge.mouseAreas(), gauge.gaugePixels());
    found.areas = describeAreas(host, gauge, map);
    found.bitmaps = bitmapsOf(gauge);

    Explorer explorer(host, gauge);
    explorer.pressAll(pressesOf(map));
    explorer.shutDown();
    found.lit = explorer.lit();
    found.reads = host.variables().reads();
    found.sends = keyEventsSent(host);
    return found;
}

}  // namespace devhost
