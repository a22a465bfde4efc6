// Metric_Switch: the units lever. Thrown left over MT the airspeed
// indicator, altimeter and vertical-speed indicator read metric (German)
// units; thrown right over BR they read British units.
//
// Host variables read: none. Key events sent: none; the host is never told.
// State owned: britishUnits (cockpit_state.h), 0 = metric at every load;
// the lever's sound slot (clip 30).
#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/switches.h"
#include "sound/sound_slot.h"

int32_t britishUnits = 0;

namespace {

SoundSlot leverSound;

constexpr int32_t PlateBitmap = 230;  // labels MT left and BR right
constexpr int32_t LeverBitmap = 240;  // frame 0 thrown to MT, frame 1 (241) to BR
constexpr Box PlateBox = {0, 0, 96, 44};

// ---------------------------------------------------------------- callbacks

// The change shows in the next frame, here and in the three instruments
// that read the flag.
int32_t VARDEX_HOSTAPI unitsToggle(ClickRecord*, uint32_t)
{
    toggleWithClick(britishUnits, leverSound);
    return 0;
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Plate = {.common = {.kind = StaticImage, .bitmap = PlateBitmap, .imageFlags = PlainImage}};

constexpr IconElement Lever = {.common = {.kind = Icon, .bitmap = LeverBitmap, .imageFlags = PlainImage},
                               .scale = 1.0,
                               .frames = 2,
                               .update = switchIcon<britishUnits>};

constinit ElementChain elements{&metricSwitchGauge, Plate, Lever};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region(),
    textTooltip("Switches between metric (german) and british units"),
    clickArea(PlateBox, CursorHand, ClickLeft, unitsToggle),
    regionEnd(),
    listEnd(),
};

}  // namespace

// The gauge callback sets up the sound slot on installation and releases it
// on removal.
GaugeDefinition metricSwitchGauge =
    gaugeHeader("Metric_Switch", 30, elements.roots(), mouseAreas, soundSlotCallback<leverSound, LeverClickClip>);
