// Kneeboard_Toggle: a button that makes the host open the kneeboard.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 60;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &kneeboardToggleGauge, .imageFlags = 0x0003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition kneeboardToggleGauge = gaugeHeader("Kneeboard_Toggle", 19, roots, mouseAreas);
