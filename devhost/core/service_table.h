// The table of host services the development host hands the module through
// ImportTable: slots 0-5 repeat the linkage prologue, 35, 36, 40 and 69 are
// served, every other slot is a trap that records its number and returns 0.
#pragma once

#include <cstdint>

#include "framework/gauge_model.h"
#include "framework/portable_exports.h"

namespace devhost {

// What the served slots and the traps reach. The Host implements it.
class ServiceSink {
public:
    virtual int32_t togglePanelWindow(uint32_t window) = 0;
    virtual uint32_t triggerKeyEvent(uint32_t id, uint32_t value) = 0;
    virtual void lookupVar(SourceVar& var) = 0;
    virtual int32_t executeCalculatorCode(const char* expression, double* number, int32_t* integer,
                                          const char** text) = 0;
    virtual void trap(int slot) = 0;
    virtual void* findHostWindow(const char* className) = 0;
    virtual void clipPlayed(uint32_t clip) = 0;

protected:
    ~ServiceSink() = default;
};

// The services table is a table of plain C functions with no context
// argument, so they reach the host that is calling into the module through
// one static pointer: set for the duration of every call into the module
// and restored afterwards, so that several hosts in one process (each with
// its own private copy of the module) never see each other's calls. Outside
// any call the pointer is null and every service does nothing.
class ActiveSink {
public:
    explicit ActiveSink(ServiceSink& sink);
    ~ActiveSink();
    ActiveSink(const ActiveSink&) = delete;
    ActiveSink& operator=(const ActiveSink&) = delete;

    static ServiceSink* current();

private:
    ServiceSink* previous_;
};

HostServices makeServiceTable(const LinkageRecord& linkage);

}  // namespace devhost
