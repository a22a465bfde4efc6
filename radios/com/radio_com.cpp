// Radio_COM_SK10: the COM1 radio.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 2230;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &radioComGauge, .imageFlags = 0x4003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

void VARDEX_HOSTAPI serviceCallback(GaugeDefinition*, int32_t, uint32_t) {}

}  // namespace

GaugeDefinition radioComGauge = gaugeHeader("Radio_COM_SK10", 100, roots, mouseAreas, serviceCallback);
