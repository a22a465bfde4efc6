// Registration: the plate with the aircraft's registration.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 50;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &registrationGauge, .imageFlags = 0x0003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

void VARDEX_HOSTAPI serviceCallback(GaugeDefinition*, int32_t, uint32_t) {}

}  // namespace

GaugeDefinition registrationGauge = gaugeHeader("Registration", 150, roots, mouseAreas, serviceCallback);
