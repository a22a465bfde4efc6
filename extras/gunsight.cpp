// Gunsight: the reflector sight above the panel. A click on its body shows
// or hides it, with a click sound; the click area stays active while the
// sight is hidden, so the same spot brings it back.
//
// Host variables read: none. Key events sent: none.
// State owned: gunsightShown (1 = shown, at every load); the sight's sound
// slot (clip 10).
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/switches.h"
#include "sound/sound_slot.h"

namespace {

int32_t gunsightShown = 1;
SoundSlot sightSound;

constexpr int32_t BaseBitmap = 1080;   // 123×257, all black: transparent
constexpr int32_t SightBitmap = 1090;  // 123×257
constexpr Box SightBodyBox = {0, 140, 123, 117};

// ---------------------------------------------------------------- callbacks

double VARDEX_HOSTAPI sightVisibility(GaugeElement*) { return frameWhen(gunsightShown != 0); }

int32_t VARDEX_HOSTAPI gunsightToggle(ClickRecord*, uint32_t)
{
    toggleWithClick(gunsightShown, sightSound);
    return 0;
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Base = {.common = {.kind = StaticImage, .bitmap = BaseBitmap, .imageFlags = PlainImage}};

constexpr IconElement Sight = {.common = {.kind = Icon, .bitmap = SightBitmap, .imageFlags = PlainImage},
                               .scale = 1.0,
                               .frames = 1,
                               .update = sightVisibility};

constinit ElementChain elements{&gunsightGauge, Base, Sight};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {
    region(),
    textTooltip("Display/Hide Gunsight"),
    clickArea(SightBodyBox, CursorHand, ClickLeft, gunsightToggle),
    regionEnd(),
    listEnd(),
};

}  // namespace

// The gauge callback sets up the sound slot on installation and releases it
// on removal.
GaugeDefinition gunsightGauge =
    gaugeHeader("Gunsight", 50, elements.roots(), mouseAreas, soundSlotCallback<sightSound, ShortClickClip>);
