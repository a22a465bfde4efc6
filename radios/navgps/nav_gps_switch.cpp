// NAV_GPS_Switch: the NAV/GPS source lever.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 3000;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &navGpsSwitchGauge, .imageFlags = 0x0003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

void VARDEX_HOSTAPI serviceCallback(GaugeDefinition*, int32_t, uint32_t) {}

}  // namespace

GaugeDefinition navGpsSwitchGauge = gaugeHeader("NAV_GPS_Switch", 50, roots, mouseAreas, serviceCallback);
