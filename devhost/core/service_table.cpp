#include "devhost/core/service_table.h"

#include <array>
#include <cstring>
#include <utility>

namespace devhost {

namespace {

thread_local ServiceSink* active = nullptr;  // see ActiveSink; per thread, for hosts that run side by side

int32_t VARDEX_HOSTAPI servePanelWindow(uint32_t window)
{
    return active ? active->togglePanelWindow(window) : 0;
}

uint32_t VARDEX_HOSTAPI serveKeyEvent(uint32_t id, uint32_t value)
{
    return active ? active->triggerKeyEvent(id, value) : 0;
}

void VARDEX_HOSTAPI serveLookupVar(SourceVar* var)
{
    if (active && var)
        active->lookupVar(*var);
}

int32_t VARDEX_HOSTAPI serveCalculatorCode(const char* expression, double* number, int32_t* integer,
                                           const char** text)
{
    return active ? active->executeCalculatorCode(expression, number, integer, text) : 0;
}

// A slot the development host does not offer. Its real signature is
// unknown; on the native ABIs the caller cleans up the arguments, so one
// function with none serves every slot.
template <int Slot>
uintptr_t VARDEX_HOSTAPI trapSlot()
{
    if (active)
        active->trap(Slot);
    return 0;
}

template <typename Function>
void putSlot(HostServices& table, size_t slot, Function function)
{
    static_assert(sizeof(Function) == sizeof(void*));
    std::memcpy(reinterpret_cast<unsigned char*>(&table) + slot * sizeof(void*), &function, sizeof function);
}

template <size_t... Slots>
void putTraps(HostServices& table, std::index_sequence<Slots...>)
{
    (putSlot(table, Slots, &trapSlot<static_cast<int>(Slots)>), ...);
}

}  // namespace

ActiveSink::ActiveSink(ServiceSink& sink) : previous_(active) { active = &sink; }
ActiveSink::~ActiveSink() { active = previous_; }
ServiceSink* ActiveSink::current() { return active; }

HostServices makeServiceTable(const LinkageRecord& linkage)
{
    HostServices table{};
    putTraps(table, std::make_index_sequence<HostServiceSlots>{});
    const uintptr_t prologue[6] = {linkage.moduleId,
                                   reinterpret_cast<uintptr_t>(linkage.init),
                                   reinterpret_cast<uintptr_t>(linkage.shutdown),
                                   linkage.flags,
                                   linkage.priority,
                                   linkage.version};
    std::memcpy(table.prologue, prologue, sizeof prologue);
    table.togglePanelWindow = servePanelWindow;
    table.triggerKeyEvent = serveKeyEvent;
    table.lookupVar = serveLookupVar;
    table.executeCalculatorCode = serveCalculatorCode;
    return table;
}

}  // namespace devhost

// The module's portable platform looks this up to find the host's main
// window by class name; the answer comes from the active host's options.
extern "C" void* vardexFindHostWindow(const char* className)
{
    devhost::ServiceSink* sink = devhost::ActiveSink::current();
    return sink && className ? sink->findHostWindow(className) : nullptr;
}

// The module tells of every clip a switch plays, to the host calling it.
extern "C" void vardexClipPlayed(uint32_t clip)
{
    if (devhost::ServiceSink* sink = devhost::ActiveSink::current())
        sink->clipPlayed(clip);
}
