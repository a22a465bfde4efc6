// Junghans_Timer: the panel clock with stopwatch and bezel.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 2000;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &junghansTimerGauge, .imageFlags = 0x4003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition junghansTimerGauge = gaugeHeader("Junghans_Timer", 100, roots, mouseAreas);
