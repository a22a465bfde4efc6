#include "framework/linkage.h"

#include "framework/gauge_list.h"

namespace {

// The host loads, starts and stops the module; nothing needs doing at either end.
void VARDEX_HOSTAPI moduleInit() {}
void VARDEX_HOSTAPI moduleShutdown() {}

}  // namespace

LinkageRecord Linkage = {
    .moduleId = LinkageModuleId,
    .init = moduleInit,
    .shutdown = moduleShutdown,
    .version = LinkageVersion,
    .gauges = {
        &shutDownGauge,
        &registrationGauge,
        &kneeboardToggleGauge,
        &atcToggleGauge,
        &mapToggleGauge,
        &invisibleToggleGauge,
        &closeSubpanelGauge,
        &radiosToggleGauge,
        &landingViewToggleGauge,
        &gpsToggleGauge,
        &throttleToggleGauge,
        &compassToggleGauge,
        &radioAdfGauge,
        &radioXpdrGauge,
        &radioComGauge,
        &radioNavGauge,
        &airspeedGauge,
        &artificialHorizonGauge,
        &verticalSpeedGauge,
        &directionalGyroGauge,
        &altimeterGauge,
        &turnCoordinatorGauge,
        &tachometer1Gauge,
        &tachometer2Gauge,
        &exhaustGasTempGauge,
        &engine1PressDiffGauge,
        &engine2PressDiffGauge,
        &fuelPressure1Gauge,
        &fuelPressure2Gauge,
        &oilPressureGauge,
        &oilPressure1Gauge,
        &oilPressure2Gauge,
        &fuelQuantityFrontGauge,
        &fuelQuantityAftGauge,
        &junghansTimerGauge,
        &adfIndicatorGauge,
        &landingIndicatorGauge,
        &gunsightGauge,
        &flapsIndicatorGauge,
        &metricSwitchGauge,
        &navGpsSwitchGauge,
        nullptr,
    },
};

// The host fills the services reference before it calls any routine.
ImportTableRecord ImportTable = {.services = {.id = ImportTableId}};
