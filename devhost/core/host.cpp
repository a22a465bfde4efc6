#include "devhost/core/host.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <set>
#include <utility>

#include "devhost/core/bitmap_catalog.h"
#include "devhost/core/element_update.h"
#include "devhost/core/host_windows.h"
#include "devhost/core/input_error.h"
#include "devhost/core/module_file.h"
#include "devhost/core/mouse_map.h"
#include "devhost/core/service_table.h"
#include "devhost/core/suggest.h"
#include "devhost/core/tooltip_format.h"

namespace devhost {

namespace {

// Longest gauge list the loader walks before it calls the list broken: the
// module has 41 gauges; a list with no null well past that is not a list.
constexpr size_t maxGaugeList = 256;
constexpr double secondsPerDay = 86400.0;
constexpr std::string_view atcIdExpression = "(A:ATC ID,string)";
constexpr size_t maxTooltipText = 1024;

std::string boundedText(const char* text, size_t limit)
{
    if (!text)
        return {};
    return std::string(text, strnlen(text, limit));
}

}  // namespace

std::string moduleUnderTest()
{
    if (const char* path = std::getenv("VARDEX_MODULE"); path && *path)
        return path;
#if defined(VARDEX_MODULE_PATH)
    return VARDEX_MODULE_PATH;
#elif defined(_WIN32)
    return std::string(ModuleName) + ".gau";
#else
    return std::string(ModuleName) + ".so";
#endif
}

struct Host::Impl final : ServiceSink {
    HostOptions options;
    HostWindows hostWindows{options.windowClasses};  // outlives the module, which may hold them
    std::unique_ptr<ModuleFile> module;
    LinkageRecord* linkage = nullptr;
    ImportTableRecord* imports = nullptr;
    std::vector<GaugeDefinition*> gaugeList;
    HostServices services{};
    VariableStore variables;
    WindowState windows;
    KeyEventEngine keys{variables, windows};
    std::unique_ptr<BitmapCatalog> bitmaps;
    std::vector<std::unique_ptr<GaugeInstance>> gauges;
    // Every placed element with something to work out each frame, in the
    // order the frame walks them: static images show their records alone.
    std::vector<GaugeInstance::Slot*> updated;
    std::deque<EventRecord> events;
    uint64_t firstEventSerial = 0;   // serial number of events.front()
    uint64_t closedEvents = 0;       // entries with a lower serial number take no more repeats
    std::vector<int> traps;
    std::vector<uint32_t> clipsPlayed;
    uint64_t frame = 0;
    bool inFrame = false;            // Host::frame is running

    std::vector<ForeignGauge> foreign;
    std::vector<PanelWindowSpec> panelWindows;

    const GaugeDefinition& definitionOrThrow(std::string_view name) const
    {
        if (const GaugeDefinition* definition = definitionNamed(name))
            return *definition;
        std::vector<std::string_view> names;
        for (const GaugeDefinition* g : gaugeList)
            if (g->name)
                names.emplace_back(g->name);
        throw HostError("the module has no gauge named \"" + excerpt(name) + "\"" + didYouMean(name, names));
    }

    static void checkPlacedSize(std::string_view name, int width, int height)
    {
        if (width < 0 || height < 0 || width > MaxDrawnPixels || height > MaxDrawnPixels)
            throw HostError("gauge " + std::string(name) + " placed at " + std::to_string(width) + "x" +
                            std::to_string(height) + " pixels: each side must be 0 (its own size) to " +
                            std::to_string(MaxDrawnPixels));
    }

    // A panel's gauges as they will be placed, every one checked (its
    // name, its size, the pixels of the whole panel) before any is.
    struct PlannedGauge {
        const PlacedGauge* line;
        const GaugeDefinition* definition;
        int window;
        Point at, size;
    };
    struct PanelPlan {
        std::vector<PlannedGauge> gauges;         // this module's, in drawing order
        std::vector<ForeignGauge> foreign;
        std::vector<PanelWindowSpec> windows;     // without their gauges
        std::vector<std::string> skipped;
    };

    PanelPlan plan(const Panel& panel) const
    {
        // Everything drawn is counted before anything is: a gauge of 20000
        // pixels square is refused here, not by running out of memory.
        long long pixels = 0;
        for (const PanelWindowSpec& window : panel.windows)
            pixels += (long long)window.sizeX * window.sizeY +
                      (window.background ? (long long)window.background->width * window.background->height : 0);
        auto count = [&](const PlacedGauge& g, Point size) {
            pixels += (long long)size.x * size.y;
            if (pixels > MaxPanelPixels)
                throw PanelError(panel.source, g.line,
                                 g.module + "!" + g.gauge + " at " + std::to_string(size.x) + "x" +
                                     std::to_string(size.y) + " pixels brings the panel to " + std::to_string(pixels) +
                                     " pixels to draw, more than the " + std::to_string(MaxPanelPixels) + " a panel may");
        };
        PanelPlan plan;
        for (const PanelWindowSpec& window : panel.windows) {
            PanelWindowSpec kept = window;
            kept.gauges.clear();
            plan.windows.push_back(std::move(kept));
            for (const PlacedGauge& g : window.gauges) {
                if (!namesModule(g.module, module->path())) {
                    plan.skipped.push_back(g.module + "!" + g.gauge);
                    const Box box = drawnBox(window, g, std::nullopt);
                    count(g, {box.width, box.height});
                    plan.foreign.push_back({.label = plan.skipped.back(), .window = window.number, .box = box,
                                            .sizeGiven = g.width.has_value(), .line = g.line});
                    continue;
                }
                try {
                    const GaugeDefinition& definition = definitionOrThrow(g.gauge);
                    const Box box = drawnBox(window, g, ownSize(definition));
                    checkPlacedSize(g.gauge, box.width, box.height);
                    count(g, {box.width, box.height});
                    plan.gauges.push_back({&g, &definition, window.number, {box.x, box.y}, {box.width, box.height}});
                } catch (const HostError& error) {
                    throw PanelError(panel.source, g.line, error.what());
                }
            }
        }
        return plan;
    }

    Point ownSize(const GaugeDefinition& definition) const
    {
        const auto root = rootBitmapSize(definition);
        return root ? *root : Point{static_cast<int32_t>(definition.defaultSize), static_cast<int32_t>(definition.defaultSize)};
    }

    Point placedSize(const GaugeDefinition& definition, Point asked) const
    {
        return devhost::placedSize(asked, ownSize(definition));
    }

    Impl(const std::string& path, HostOptions chosen) : options(std::move(chosen))
    {
        if (!(options.framesPerSecond > 0) || !std::isfinite(options.framesPerSecond))
            throw HostError("frame rate must be a positive number");
        module = std::make_unique<ModuleFile>(path, options.privateCopy);
        linkage = static_cast<LinkageRecord*>(module->symbol("Linkage"));
        if (!linkage)
            throw HostError("module " + path + " exports no Linkage");
        imports = static_cast<ImportTableRecord*>(module->symbol("ImportTable"));
        if (!imports)
            throw HostError("module " + path + " exports no ImportTable");
        if (linkage->moduleId != LinkageModuleId)
            throw HostError("module " + path + " has module id " + std::to_string(linkage->moduleId) +
                            ", not 0x13: not a gauge module");
        if (imports->services.id != ImportTableId)
            throw HostError("module " + path + ": its ImportTable begins with id " +
                            std::to_string(imports->services.id) + ", not 0x0F");
        size_t count = 0;
        while (count <= maxGaugeList && linkage->gauges[count])
            ++count;
        if (count > maxGaugeList)
            throw HostError("module " + path + ": its gauge list has no end within " +
                            std::to_string(maxGaugeList) + " entries");
        gaugeList.assign(linkage->gauges, linkage->gauges + count);
        bitmaps = std::make_unique<BitmapCatalog>(*module);

        services = makeServiceTable(*linkage);
        imports->services.services = &services;
        variables.set(var::SimulationTime, 0.0);
        variables.set(var::TimeOfDay, std::fmod(options.startTimeOfDay, secondsPerDay));
        if (linkage->init) {
            ActiveSink active = enter();
            linkage->init();
        }
    }

    // Every call into the module goes through here: the services reach this
    // host, and the module's reference points at this host's table (two
    // hosts that share one load of a file take turns with it).
    ActiveSink enter()
    {
        imports->services.services = &services;
        return ActiveSink(*this);
    }

    ~Impl()
    {
        // Each gauge in the order placed, gone as soon as it has been told;
        // one pass, since removing them one by one from the front of the
        // list would cost the square of their number.
        updated.clear();
        for (auto& gauge : gauges) {
            callGauge(*gauge, ServiceBeforeRemove, 0);
            gauge.reset();
        }
        gauges.clear();
        if (linkage && linkage->shutdown) {
            ActiveSink active = enter();
            linkage->shutdown();
        }
        if (imports && imports->services.services == &services)
            imports->services.services = nullptr;
    }

    const GaugeDefinition* definitionNamed(std::string_view name) const
    {
        for (const GaugeDefinition* g : gaugeList)
            if (g->name && name == g->name)
                return g;
        return nullptr;
    }

    std::optional<Point> rootBitmapSize(const GaugeDefinition& gauge) const
    {
        if (!gauge.elements || !gauge.elements[0])
            return std::nullopt;
        return bitmaps->size(gauge.elements[0]->bitmap);
    }

    uint32_t instanceHandle() const
    {
        // The extra word is 32 bits wide; on a 64-bit host only the low half
        // of the handle fits. The portable platform does not read it.
        auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module->handle()));
        return handle ? handle : 1;
    }

    void callGauge(GaugeInstance& gauge, int32_t code, uint32_t extra)
    {
        GaugeDefinition* definition = gauge.definition();
        if (!definition->callback)
            return;
        ActiveSink active = enter();
        definition->callback(definition, code, extra);
    }

    void removeGauge(GaugeInstance& gauge)
    {
        callGauge(gauge, ServiceBeforeRemove, 0);
        std::erase_if(gauges, [&](const auto& g) { return g.get() == &gauge; });
        updated.clear();
        for (auto& g : gauges)
            listUpdated(*g);
    }

    void listUpdated(GaugeInstance& gauge)
    {
        for (GaugeInstance::Slot& slot : gauge.elements())
            if (slot.shown.kind != StaticImage)
                updated.push_back(&slot);
    }

    // One frame: code 6 to every gauge, then every element of every gauge,
    // all with this host active once.
    void runFrame()
    {
        ActiveSink active = enter();
        for (auto& gauge : gauges)
            if (GaugeDefinition* definition = gauge->definition(); definition->callback)
                definition->callback(definition, ServiceBeforeUpdate, 0);
        const BitmapCatalog* catalog = bitmaps.get();
        for (GaugeInstance::Slot* slot : updated)
            updateElement(*slot->element, slot->shown, slot->memory, variables, catalog);
    }

    void advanceTime()
    {
        const double step = 1.0 / options.framesPerSecond;
        variables.set(var::SimulationTime, variables.get(var::SimulationTime) + step);
        double tod = std::fmod(variables.get(var::TimeOfDay) + step, secondsPerDay);
        variables.set(var::TimeOfDay, tod < 0 ? tod + secondsPerDay : tod);
    }

    TooltipValue tooltipArgument(TooltipArg& arg, GaugeDefinition* gauge)
    {
        refreshSource(arg.source, variables);
        if (arg.number)
            return arg.number(0.0, 0, nullptr, &arg.source, gauge);
        if (arg.string)
            return boundedText(arg.string(0.0, 0, nullptr, &arg.source, gauge), maxTooltipText);
        return sourceValue(arg.source) * (arg.scale != 0 ? arg.scale : 1.0);
    }

    std::string tooltipText(const MouseArea& tooltip, GaugeDefinition* gauge)
    {
        if (!tooltip.tooltipText)
            return std::string(hostHelpText(tooltip.helpId));
        std::vector<TooltipValue> args;
        if (tooltip.tooltipArgs) {
            ActiveSink active = enter();
            for (uint32_t k = 0; k < tooltip.keyEventOrArgCount; ++k)
                args.push_back(tooltipArgument(tooltip.tooltipArgs[k], gauge));
        }
        return formatTooltip(boundedText(tooltip.tooltipText, maxTooltipText), args);
    }

    // Scaling can carry a point given near the ends of int beyond them (a
    // gauge placed smaller than its own pixels): such points are off the
    // gauge either way, so they stop at the ends.
    static Point toGaugePixels(const GaugeInstance& gauge, int x, int y)
    {
        const Point size = gauge.size(), pixels = gauge.gaugePixels();
        auto scale = [](int v, int placed, int own) {
            return placed > 0 ? saturatedInt(std::floor(double(v) * own / placed)) : v;
        };
        return {scale(x, size.x, pixels.x), scale(y, size.y, pixels.y)};
    }

    static Point toPanelPixels(const GaugeInstance& gauge, Point point)
    {
        const Point size = gauge.size(), pixels = gauge.gaugePixels();
        auto scale = [](int v, int placed, int own, int origin) {
            return saturatedInt(origin + (own > 0 ? std::floor(double(v) * placed / own) : double(v)));
        };
        return {scale(point.x, size.x, pixels.x, gauge.position().x), scale(point.y, size.y, pixels.y, gauge.position().y)};
    }

    // An event that a gauge sends again while the frames run, in the same
    // frame or the next (holding host state every frame), adds to the last
    // entry's count; what clicks and notices send is logged one by one.
    void logEvent(uint32_t id, uint32_t value, bool windowToggle, bool known)
    {
        if (inFrame && !events.empty() && firstEventSerial + events.size() > closedEvents) {
            EventRecord& last = events.back();
            if (last.id == id && last.value == value && last.windowToggle == windowToggle && last.lastFrame + 1 >= frame) {
                last.lastFrame = frame;
                ++last.count;
                return;
            }
        }
        events.push_back({.frame = frame, .id = id, .value = value, .windowToggle = windowToggle, .known = known,
                          .lastFrame = frame});
        if (events.size() > MaxEventLogEntries) {
            events.pop_front();
            ++firstEventSerial;
        }
    }

    // ServiceSink
    int32_t togglePanelWindow(uint32_t window) override
    {
        keys.togglePanelWindow(window);
        logEvent(window, 0, true, true);
        return 1;
    }

    uint32_t triggerKeyEvent(uint32_t id, uint32_t value) override
    {
        keys.apply(id, value);
        logEvent(id, value, false, findKeyEvent(id) != nullptr);
        return 1;
    }

    void lookupVar(SourceVar& var) override { variables.fill(var); }

    int32_t executeCalculatorCode(const char* expression, double*, int32_t*, const char** text) override
    {
        if (!expression || std::string_view(expression) != atcIdExpression)
            return 0;
        if (text)
            *text = options.atcId.c_str();
        return 1;
    }

    void trap(int slot) override
    {
        if (std::find(traps.begin(), traps.end(), slot) == traps.end())
            traps.push_back(slot);
    }

    void clipPlayed(uint32_t clip) override
    {
        // Kept until asked for (takeClipsPlayed), a bounded few.
        constexpr size_t MaxClipsKept = 64;
        if (clipsPlayed.size() < MaxClipsKept)
            clipsPlayed.push_back(clip);
    }

    void* findHostWindow(const char* className) override
    {
        for (std::string& offered : options.windowClasses)
            if (offered == className)
                return &offered;
        return nullptr;
    }
};

Host::Host(const std::string& modulePath, HostOptions options)
    : impl_(std::make_unique<Impl>(modulePath, std::move(options)))
{
}

Host::~Host() = default;

VariableStore& Host::variables() { return impl_->variables; }
WindowState& Host::windows() { return impl_->windows; }
KeyEventEngine& Host::keyEvents() { return impl_->keys; }
const HostOptions& Host::options() const { return impl_->options; }

void Host::setFramesPerSecond(double fps)
{
    if (!(fps > 0) || !std::isfinite(fps))
        throw HostError("frame rate must be a positive number");
    impl_->options.framesPerSecond = fps;
}

const BitmapCatalog& Host::bitmaps() const { return *impl_->bitmaps; }

std::vector<GaugeInfo> Host::gaugeList() const
{
    std::vector<GaugeInfo> list;
    for (const GaugeDefinition* g : impl_->gaugeList) {
        GaugeInfo info{.name = g->name ? g->name : "", .defaultSize = g->defaultSize, .hasCallback = g->callback != nullptr};
        if (auto size = impl_->rootBitmapSize(*g)) {
            info.width = size->x;
            info.height = size->y;
        }
        list.push_back(std::move(info));
    }
    return list;
}

ModuleGauges Host::moduleGauges() const { return {impl_->module->path(), gaugeList()}; }

GaugeInstance& Host::place(std::string_view gauge, std::string_view parameter, int width, int height)
{
    return place(gauge, parameter, 0, Point{0, 0}, width, height);
}

GaugeInstance& Host::place(std::string_view gauge, std::string_view parameter, int window, Point position,
                           int width, int height)
{
    const GaugeDefinition* definition = &impl_->definitionOrThrow(gauge);
    Impl::checkPlacedSize(gauge, width, height);

    const auto root = impl_->rootBitmapSize(*definition);
    const Point placed = impl_->placedSize(*definition, {width, height});
    const Point pixels = root ? *root : placed;

    auto instance = std::make_unique<GaugeInstance>(
        *definition, Placement{.parameter = parameter, .window = window, .position = position, .size = placed,
                               .gaugePixels = pixels});
    GaugeInstance& placedGauge = *instance;
    impl_->gauges.push_back(std::move(instance));
    impl_->listUpdated(placedGauge);
    impl_->callGauge(placedGauge, ServiceInstall, impl_->instanceHandle());
    return placedGauge;
}

std::vector<std::string> Host::placePanel(const Panel& panel)
{
    Impl::PanelPlan plan = impl_->plan(panel);
    std::move(plan.windows.begin(), plan.windows.end(), std::back_inserter(impl_->panelWindows));
    std::move(plan.foreign.begin(), plan.foreign.end(), std::back_inserter(impl_->foreign));
    for (const Impl::PlannedGauge& g : plan.gauges) {
        try {
            place(g.line->gauge, g.line->parameter, g.window, g.at, g.size.x, g.size.y);
        } catch (const HostError& error) {
            throw PanelError(panel.source, g.line->line, error.what());
        }
    }
    return plan.skipped;
}

std::vector<std::string> Host::followPanel(const Panel& panel)
{
    Impl::PanelPlan plan = impl_->plan(panel);
    std::vector<std::unique_ptr<GaugeInstance>> before = std::move(impl_->gauges);
    impl_->gauges.clear();
    impl_->updated.clear();

    // Each gauge of the edited panel takes the instance it most likely was:
    // one where it was, at the same size; else one in its window; else one
    // of another window; each of the same gauge and parameter text.
    auto parameterOf = [](const GaugeInstance& g) {
        return std::string(g.definition()->parameter ? g.definition()->parameter : "");
    };
    std::vector<std::unique_ptr<GaugeInstance>*> kept(plan.gauges.size(), nullptr);
    for (int pass = 0; pass < 3; ++pass)
        for (size_t i = 0; i < plan.gauges.size(); ++i) {
            const Impl::PlannedGauge& g = plan.gauges[i];
            for (size_t j = 0; j < before.size() && !kept[i]; ++j) {
                GaugeInstance* old = before[j].get();
                if (!old || old->original() != g.definition || parameterOf(*old) != g.line->parameter)
                    continue;
                const bool sameWindow = old->window() == g.window;
                const bool samePlace = sameWindow && old->position().x == g.at.x && old->position().y == g.at.y &&
                                       old->size().x == g.size.x && old->size().y == g.size.y;
                if ((pass == 0 && samePlace) || (pass == 1 && sameWindow) || pass == 2)
                    if (std::find(kept.begin(), kept.end(), &before[j]) == kept.end())
                        kept[i] = &before[j];
            }
        }
    // The gauges gone are removed as the simulator removes them.
    for (auto& old : before)
        if (std::find(kept.begin(), kept.end(), &old) == kept.end())
            impl_->callGauge(*old, ServiceBeforeRemove, 0);
    impl_->panelWindows = std::move(plan.windows);
    impl_->foreign = std::move(plan.foreign);
    for (size_t i = 0; i < plan.gauges.size(); ++i) {
        const Impl::PlannedGauge& g = plan.gauges[i];
        if (kept[i]) {
            (*kept[i])->moveTo(g.window, g.at, g.size);
            impl_->gauges.push_back(std::move(*kept[i]));
            impl_->listUpdated(*impl_->gauges.back());
            continue;
        }
        try {
            place(g.line->gauge, g.line->parameter, g.window, g.at, g.size.x, g.size.y);
        } catch (const HostError& error) {
            throw PanelError(panel.source, g.line->line, error.what());
        }
    }
    return plan.skipped;
}

std::unique_ptr<GaugeInstance> Host::specimen(std::string_view gauge) const
{
    const GaugeDefinition& definition = impl_->definitionOrThrow(gauge);
    const Point size = impl_->placedSize(definition, {0, 0});
    const auto root = impl_->rootBitmapSize(definition);
    return std::make_unique<GaugeInstance>(definition, Placement{.size = size, .gaugePixels = root ? *root : size});
}

const std::vector<ForeignGauge>& Host::foreignGauges() const { return impl_->foreign; }

const std::vector<PanelWindowSpec>& Host::panelWindows() const { return impl_->panelWindows; }

const PanelWindowSpec* Host::panelWindow(int number) const
{
    for (const PanelWindowSpec& w : impl_->panelWindows)
        if (w.number == number)
            return &w;
    return nullptr;
}

const std::vector<std::unique_ptr<GaugeInstance>>& Host::gauges() const { return impl_->gauges; }

GaugeInstance* Host::find(std::string_view gauge)
{
    for (auto& g : impl_->gauges)
        if (g->name() == gauge)
            return g.get();
    return nullptr;
}

void Host::frame(int count)
{
    impl_->inFrame = true;
    struct FrameEnd {
        bool& flag;
        ~FrameEnd() { flag = false; }
    } end{impl_->inFrame};
    for (int i = 0; i < count; ++i) {
        impl_->runFrame();
        ++impl_->frame;
        impl_->advanceTime();
    }
}

void Host::notify(GaugeInstance& gauge, int32_t serviceCode, uint32_t extra)
{
    impl_->callGauge(gauge, serviceCode, extra);
}

void Host::notifyAll(int32_t serviceCode, uint32_t extra)
{
    for (auto& g : impl_->gauges)
        impl_->callGauge(*g, serviceCode, extra);
}

void Host::remove(GaugeInstance& gauge) { impl_->removeGauge(gauge); }

ClickResult Host::click(GaugeInstance& gauge, int x, int y, uint32_t clickFlags)
{
    return clickGaugePixel(gauge, Impl::toGaugePixels(gauge, x, y), clickFlags);
}

std::string Host::hover(GaugeInstance& gauge, int x, int y)
{
    return hoverGaugePixel(gauge, Impl::toGaugePixels(gauge, x, y));
}

ClickResult Host::clickGaugePixel(GaugeInstance& gauge, Point point, uint32_t clickFlags)
{
    MouseMap map(gauge.mouseAreas(), gauge.gaugePixels());
    MouseMap::Hit hit = map.clickAt(point, clickFlags);
    if (!hit.area)
        return {};
    ClickResult result{.hit = true, .areaIndex = static_cast<int>(hit.area - gauge.mouseAreas().data())};
    if (hit.area->handler) {
        ClickRecord record{.point = {saturatedInt(double(point.x) - hit.box.x), saturatedInt(double(point.y) - hit.box.y)},
                           .gauge = gauge.definition(),
                           .area = hit.area,
                           .screen = Impl::toPanelPixels(gauge, point)};
        ActiveSink active = impl_->enter();
        hit.area->handler(&record, clickFlags);
        result.handled = true;
    } else if (hit.area->keyEventOrArgCount != 0) {
        result.keyEvent = hit.area->keyEventOrArgCount;
        impl_->triggerKeyEvent(result.keyEvent, 0);
    }
    return result;
}

std::string Host::hoverGaugePixel(GaugeInstance& gauge, Point point)
{
    MouseMap map(gauge.mouseAreas(), gauge.gaugePixels());
    // The innermost region that has something to say; a region without a
    // tooltip of its own leaves the word to the region around it.
    for (const MouseMap::RegionHit& region : map.regionsAt(point)) {
        std::string text;
        if (region.tooltip)
            text = impl_->tooltipText(*region.tooltip, gauge.definition());
        if (text.empty() && region.region->helpId != 0)
            text = std::string(hostHelpText(region.region->helpId));
        if (!text.empty())
            return text;
    }
    return {};
}

std::string Host::tooltipText(GaugeInstance& gauge, const MouseArea& tooltip)
{
    return impl_->tooltipText(tooltip, gauge.definition());
}

std::vector<std::string> Host::tooltips(GaugeInstance& gauge)
{
    std::vector<std::string> texts;
    for (const MouseArea& area : gauge.mouseAreas()) {
        if (area.type != Tooltip || !area.tooltipText)
            continue;
        std::string text = impl_->tooltipText(area, gauge.definition());
        if (!text.empty() && std::find(texts.begin(), texts.end(), text) == texts.end())
            texts.push_back(std::move(text));
    }
    return texts;
}

GaugeSnapshot Host::probe(const GaugeInstance& gauge) const
{
    const GaugeDefinition* definition = gauge.definition();
    GaugeSnapshot snapshot{.name = gauge.name(),
                           .parameter = boundedText(definition->parameter, 4096),
                           .window = gauge.window(),
                           .x = gauge.position().x,
                           .y = gauge.position().y,
                           .width = gauge.size().x,
                           .height = gauge.size().y,
                           .userData = definition->userData};
    if (definition->mouseAreas && definition->mouseAreas[0].type == Region)
        snapshot.helpIdOfFirstRegion = definition->mouseAreas[0].helpId;
    for (const GaugeInstance::Slot& slot : gauge.elements()) {
        ElementSnapshot element = slot.shown;
        const GaugeElement& record = *slot.element;
        element.kind = record.kind;
        element.bitmap = record.bitmap;
        element.imageFlags = record.imageFlags;
        element.hidden = (record.imageFlags & ImageHidden) != 0;
        if (record.kind == String) {
            const auto& string = reinterpret_cast<const StringElement&>(record);
            element.text = boundedText(string.text, string.characters);
            element.textColour = string.textColour;
            element.font = boundedText(string.fontFace, sizeof string.fontFace);
        }
        snapshot.elements.push_back(std::move(element));
    }
    return snapshot;
}

Snapshot Host::probe(EventMark& mark)
{
    const uint64_t missed = mark.missed;
    std::vector<EventRecord> events = eventsSince(mark);
    Snapshot snapshot = std::as_const(*this).probe();
    snapshot.events = std::move(events);
    snapshot.eventsForgotten = mark.missed - missed;
    return snapshot;
}

Snapshot Host::probe() const
{
    Snapshot snapshot{.frame = impl_->frame,
                      .simulationTime = simulationTime(),
                      .timeOfDay = timeOfDay(),
                      .events = {impl_->events.begin(), impl_->events.end()},
                      .trapsCalled = impl_->traps};
    for (const auto& g : impl_->gauges)
        snapshot.gauges.push_back(probe(*g));
    std::set<uint32_t> unknown(impl_->variables.unknownReads().begin(), impl_->variables.unknownReads().end());
    snapshot.unknownVariables.assign(unknown.begin(), unknown.end());
    return snapshot;
}

const std::deque<EventRecord>& Host::events() const { return impl_->events; }

std::vector<EventRecord> Host::eventsSince(EventMark& mark)
{
    const uint64_t end = impl_->firstEventSerial + impl_->events.size();
    if (mark.next < impl_->firstEventSerial) {
        mark.missed += impl_->firstEventSerial - mark.next;
        mark.next = impl_->firstEventSerial;
    }
    std::vector<EventRecord> since(impl_->events.begin() + static_cast<std::ptrdiff_t>(mark.next - impl_->firstEventSerial),
                                   impl_->events.end());
    mark.next = end;
    impl_->closedEvents = end;
    return since;
}

void Host::clearEvents()
{
    impl_->firstEventSerial += impl_->events.size();
    impl_->closedEvents = impl_->firstEventSerial;
    impl_->events.clear();
}
const std::vector<int>& Host::trapsCalled() const { return impl_->traps; }

std::vector<uint32_t> Host::takeClipsPlayed() { return std::exchange(impl_->clipsPlayed, {}); }

std::span<const unsigned char> Host::moduleResource(const char* type, uint32_t number) const
{
    return impl_->module->resource(type, number);
}
uint64_t Host::frameNumber() const { return impl_->frame; }
double Host::simulationTime() const { return impl_->variables.get(var::SimulationTime); }
double Host::timeOfDay() const { return impl_->variables.get(var::TimeOfDay); }

}  // namespace devhost
