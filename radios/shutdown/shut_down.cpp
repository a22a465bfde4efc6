// Shut_Down: an invisible area on the panel that switches every radio off
// when the host gives its shut-down notice.
//
// Reads host variable 60 on service code 14; nothing happens unless it is
// positive. Then clears the main and tone switches of the ADF, COM, NAV and
// transponder radios (owned by their gauges) and sends key events 65836
// (ADF tone audio off), 65832 (NAV1 identifier tone off) and 65833 (the tone
// event that follows NAV1's), in that order, whatever the switches were.
// Frequencies, knobs, the ADF band and the transponder code stay as they are.
// Owns no state and no sound.
#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/tone_events.h"

namespace {

constexpr uint32_t ShutDownCondition = 60;
constexpr int32_t AreaBitmap = 40;

// ---------------------------------------------------------------- callback

void VARDEX_HOSTAPI shutDownRadios(GaugeDefinition*, int32_t serviceCode, uint32_t)
{
    if (serviceCode != ServiceShutDownNotice)
        return;
    // "Not greater than 0" also covers a value that is no number.
    if (!(readHostNumber(ShutDownCondition) > 0.0))
        return;

    adfPowerOn = 0;
    adfToneOn = 0;
    triggerKeyEvent(AdfToneOff);

    comPowerOn = 0;

    navPowerOn = 0;
    navToneOn = 0;
    triggerKeyEvent(Nav1ToneOff);
    triggerKeyEvent(Nav2ToneOff);

    xpdrPowerOn = 0;
}

// ---------------------------------------------------------------- elements

constinit ElementChain elements{
    &shutDownGauge,
    StaticImageElement{.common = {.kind = StaticImage, .bitmap = AreaBitmap, .imageFlags = PlainImage}}};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {region(), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition shutDownGauge = gaugeHeader("Shut_Down", 30, elements.roots(), mouseAreas, shutDownRadios);
