// Directionnal_Gyro: the heading indicator with its course disc.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 250;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &directionalGyroGauge, .imageFlags = 0x0003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition directionalGyroGauge = gaugeHeader("Directionnal_Gyro", 100, roots, mouseAreas);
