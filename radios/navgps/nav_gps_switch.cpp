// NAV_GPS_Switch: the lever that selects whether the host's navigation
// display follows the NAV receiver or the GPS. The host owns the selection:
// the lever shows the host's flag directly, and a click asks the host to
// change it, so the lever moves in the next frame when the host has.
//
// Host variables read: 848, GPS drives navigation (0 NAV, 1 GPS), by the
// lever icon itself. Key events sent: 66375 (0x10347) NAV/GPS source
// toggle, value 0. State owned: the lever's sound slot (clip 10).
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "sound/sound_slot.h"

namespace {

SoundSlot leverSound;

constexpr uint32_t GpsDrivesNavigation = 848;
constexpr uint32_t ToggleNavGpsSource = 66375;  // 0x10347
constexpr uint32_t NavGpsHelpId = 43853;
constexpr int32_t MountingBitmap = 3000;
constexpr int32_t LeverBitmap = 3010;           // frame 0 down at N, frame 1 (3011) up at G
constexpr Box LeverBox = {0, 19, 31, 50};

// ---------------------------------------------------------------- callbacks

// Works whatever the module's other switches say.
int32_t VARDEX_HOSTAPI sourceToggle(ClickRecord*, uint32_t)
{
    triggerKeyEvent(ToggleNavGpsSource, 0);
    playClip(leverSound);
    return 0;
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Mounting = {
    .common = {.kind = StaticImage, .bitmap = MountingBitmap, .imageFlags = PlainImage}};

// No update callback: the host shows the frame that variable 848 names.
constexpr IconElement Lever = {.common = {.kind = Icon, .bitmap = LeverBitmap, .imageFlags = PlainImage},
                               .source = hostVar(GpsDrivesNavigation),
                               .scale = 1.0,
                               .frames = 2};

constinit ElementChain elements{&navGpsSwitchGauge, Mounting, Lever};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region({}, NavGpsHelpId),
    clickArea(LeverBox, CursorHand, ClickLeft, sourceToggle),
    regionEnd(),
    listEnd(),
};

}  // namespace

// The gauge callback sets up the sound slot on installation and releases it
// on removal.
GaugeDefinition navGpsSwitchGauge =
    gaugeHeader("NAV_GPS_Switch", 50, elements.roots(), mouseAreas, soundSlotCallback<leverSound, ShortClickClip>);
