// Fuel_Quantity_Main_Aft: contents of the main aft tank.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 1390;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &fuelQuantityAftGauge, .imageFlags = 0x4003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

void VARDEX_HOSTAPI serviceCallback(GaugeDefinition*, int32_t, uint32_t) {}

}  // namespace

GaugeDefinition fuelQuantityAftGauge = gaugeHeader("Fuel_Quantity_Main_Aft", 100, roots, mouseAreas, serviceCallback);
