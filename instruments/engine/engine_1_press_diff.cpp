// Engine_1_Press_Diff: engine 1 compressor-turbine pressure difference.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 1210;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &engine1PressDiffGauge, .imageFlags = 0x4003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition engine1PressDiffGauge = gaugeHeader("Engine_1_Press_Diff", 100, roots, mouseAreas);
