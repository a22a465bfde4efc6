#include "framework/host_services.h"

#include "framework/linkage.h"

namespace {

HostServices* services() { return ImportTable.services.services; }

}  // namespace

void lookupVar(SourceVar& var)
{
    if (HostServices* host = services(); host && host->lookupVar)
        host->lookupVar(&var);
}

void triggerKeyEvent(uint32_t keyEvent, uint32_t value)
{
    if (HostServices* host = services(); host && host->triggerKeyEvent)
        host->triggerKeyEvent(keyEvent, value);
}

void togglePanelWindow(uint32_t panelWindow)
{
    if (HostServices* host = services(); host && host->togglePanelWindow)
        host->togglePanelWindow(panelWindow);
}

void executeCalculatorCode(const char* expression, double* number, int32_t* integer, const char** text)
{
    if (HostServices* host = services(); host && host->executeCalculatorCode)
        host->executeCalculatorCode(expression, number, integer, text);
}

double readHostNumber(uint32_t id)
{
    SourceVar var{.id = id};
    lookupVar(var);
    return var.value.number;
}

uint32_t readHostInteger(uint32_t id)
{
    SourceVar var{.id = id};
    lookupVar(var);
    return var.value.integer;
}
