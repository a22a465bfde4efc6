// Radio_XPDR_FUG25A6: the IFF transponder.
//
// So far the gauge's header and its root image; its elements, mouse areas
// and callbacks come with the instrument's own work.
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"

namespace {

constexpr int32_t faceBitmap = 2170;

StaticImageElement face = {.common = {.kind = StaticImage, .bitmap = faceBitmap, .gauge = &radioXpdrGauge, .imageFlags = 0x0003}};
GaugeElement* roots[] = {&face.common, nullptr};

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

void VARDEX_HOSTAPI serviceCallback(GaugeDefinition*, int32_t, uint32_t) {}

}  // namespace

GaugeDefinition radioXpdrGauge = gaugeHeader("Radio_XPDR_FUG25A6", 100, roots, mouseAreas, serviceCallback);
