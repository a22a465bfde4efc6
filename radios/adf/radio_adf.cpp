// Radio_ADF_EZ6: the three-band ADF receiver, 200-410, 410-850 and
// 850-1750 kHz. A disc with one ring per band turns under the index line of
// the scale window, masks cover the rings of the other bands, and a text in
// the window repeats the frequency to 0.1 kHz. The tuning knob moves the
// frequency within the band (left click 0.5 kHz, right click 5 kHz); the
// band selector jumps to the edge the two bands share. A main switch, a tone
// switch and a pilot lamp complete it. The host owns the frequency and the
// tone audio; the main switch is ours and is never reported, it gates
// tuning, band changes, the displays and the tone.
//
// Host variables read: 16, frequency (BCD hundreds, tens, units of kHz);
// 18, extension (thousands in bit 0x100, tenths below).
// Key events sent: 66462/66461 tenth-kHz step up/down and 66542/66543 1-kHz
// step up/down, five per click; 66122 frequency set (0x4100 or 0x8500, the
// BCD of 410.0 and 850.0 kHz with the tenths last); 65841 tone on and 65836
// tone off, every frame.
// State owned: adfPowerOn, adfToneOn (cockpit_state.h, read by the bearing
// indicator, cleared by the shut-down gauge); adfBand, adfFrequencyKhz,
// adfDialValue, adfTuningKnob; the two registers as last decoded; the
// window text as last formatted; the switches' sound slot (clip 30).
#include <cstring>
#include <iterator>
#include <limits>

#include "framework/cockpit_state.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_register.h"
#include "framework/host_services.h"
#include "framework/switches.h"
#include "framework/tone_events.h"
#include "radios/adf/adf_frequency.h"
#include "sound/sound_slot.h"

int32_t adfPowerOn = 0;
int32_t adfToneOn = 0;

namespace {

double adfBand = 1.0;           // 1, 2 or 3
double adfFrequencyKhz = 0.0;   // as read at the start of the latest frame; the tuning limits test it
double adfDialValue = 0.0;      // degrees of the scale disc; stays put while the power is off
double adfTuningKnob = 60.0;    // knob units of 3 degrees, never wrapped
SoundSlot adfSound;

constexpr uint32_t FrequencyVariable = 16;
constexpr uint32_t ExtensionVariable = 18;
constexpr uint32_t AdfToneAudio = 880;
constexpr uint32_t AdfFrequencySet = 66122;  // 0x1024a
constexpr uint32_t ScaleHelpId = 12656;
constexpr uint16_t WindowTextCharacters = 6;  // "0345.5", "1234.0"

// The edges the band selector tunes to, in tenths of kHz.
constexpr uint32_t LowerEdgeTenths = 4100;   // 410.0 kHz
constexpr uint32_t UpperEdgeTenths = 8500;   // 850.0 kHz
constexpr double LowerEdgeScale = adfScaleValue(1.0, 410.0);   // 105: the top of band 1
constexpr double UpperEdgeScale = adfScaleValue(2.0, 850.0);   // 176: the top of band 2

constexpr int32_t FaceBitmap = 1300;        // openings for scale, knobs, switches
constexpr int32_t ScaleDiscBitmap = 1370;   // three rings
constexpr int32_t BandMaskBitmap = 1360;    // frames 1361-1363 leave ring 1, 2 or 3 visible
constexpr int32_t MaskBitmap = 1380;        // the front again, window cut out under the index
constexpr int32_t TuningKnobBitmap = 1320;
constexpr int32_t BandKnobBitmap = 1310;
constexpr int32_t ToneSwitchBitmap = 1350;  // off, 1351 on
constexpr int32_t LampBitmap = 1340;
constexpr int32_t MainSwitchBitmap = 1330;  // off, 1331 on

constexpr Box ScaleArea = {0, 0, 455, 355};
constexpr Box BandSelector = {473, 174, 172, 172};
constexpr Box BandSelectorLeft = {473, 174, 86, 172};
constexpr Box BandSelectorRight = {535, 174, 86, 172};
constexpr Box ToneSwitchBox = {19, 344, 118, 118};
constexpr Box MainSwitchBox = {473, 331, 124, 124};
constexpr Box TuningKnobBox = {218, 121, 172, 172};

// The two registers, each decoded when its word changes.
DecodedRegister<double> frequencyRegister = decodedRegister(FrequencyVariable, decodeAdfKhzBelowThousand);
DecodedRegister<AdfExtension> extensionRegister = decodedRegister(ExtensionVariable, decodeAdfExtension);

// The window text, formatted only when the frequency changed (formatting a
// number costs more than all the rest of the module's frame); the shown
// text is copied into the host's buffer every frame. No frequency yet at
// load, so the first one is formatted.
struct WindowText {
    double khz;
    char text[WindowTextCharacters + 1];
};
WindowText windowText = {.khz = std::numeric_limits<double>::quiet_NaN(), .text = {}};

// ---------------------------------------------------------------- callbacks

// The host's frequency in kHz: whole kHz from register 16 and the
// thousands bit of 18, then the tenths from 18. The whole kHz add up
// exactly, so the sum is the same whichever part changed.
double readAdfFrequency()
{
    const double belowThousand = refreshRegister(frequencyRegister);
    const AdfExtension& extension = refreshRegister(extensionRegister);
    return extension.thousandKhz + belowThousand + extension.tenthsKhz;
}

double VARDEX_HOSTAPI scaleUpdate(GaugeElement*)
{
    if (adfPowerOn != 0 && adfBandIndex(adfBand) != 0)
        adfDialValue = adfScaleValue(adfBand, adfFrequencyKhz);
    return adfDialValue;
}

double VARDEX_HOSTAPI bandMaskUpdate(GaugeElement*) { return adfBand; }

// One of the two window texts, shown while the power is on and the band is
// its own; hidden, it keeps its last text.
void showFrequencyText(GaugeElement* element, bool ownBand)
{
    bool shown = adfPowerOn != 0 && ownBand;
    showWhen(element, shown);
    if (!shown || !element || element->kind != String)
        return;
    auto* text = reinterpret_cast<StringElement*>(element);
    const size_t capacity = size_t{text->characters} + 1;
    if (!text->text || capacity != sizeof windowText.text) {
        writeAdfFrequency(text->text, capacity, adfFrequencyKhz);
        return;
    }
    if (adfFrequencyKhz != windowText.khz) {
        windowText.khz = adfFrequencyKhz;
        writeAdfFrequency(windowText.text, sizeof windowText.text, adfFrequencyKhz);
    }
    std::memcpy(text->text, windowText.text, sizeof windowText.text);
}

double VARDEX_HOSTAPI outerRingTextUpdate(GaugeElement* element)
{
    showFrequencyText(element, adfBand == 3.0);
    return 0.0;
}

double VARDEX_HOSTAPI innerRingsTextUpdate(GaugeElement* element)
{
    showFrequencyText(element, adfBand < 3.0);
    return 0.0;
}

double VARDEX_HOSTAPI tuningKnobUpdate(GaugeElement*) { return adfTuningKnob; }
double VARDEX_HOSTAPI bandKnobUpdate(GaugeElement*) { return adfBandKnobValue(adfBand); }

// The two switch icons hold the host's tone audio every frame: on exactly
// while both switches are on (then it hears "on" twice a frame), off
// otherwise, so a tone change made elsewhere lasts one frame at most.
double VARDEX_HOSTAPI toneSwitchUpdate(GaugeElement*)
{
    if (adfToneOn == 0) {
        triggerKeyEvent(AdfToneOff, 0);
        return 0.0;
    }
    if (adfPowerOn != 0)
        triggerKeyEvent(AdfToneOn, 0);
    return 1.0;
}

double VARDEX_HOSTAPI mainSwitchUpdate(GaugeElement*)
{
    if (adfPowerOn == 0) {
        triggerKeyEvent(AdfToneOff, 0);
        return 0.0;
    }
    if (adfToneOn != 0)
        triggerKeyEvent(AdfToneOn, 0);
    return 1.0;
}

// The switches reach the host through the icons' next frame.
int32_t VARDEX_HOSTAPI mainSwitchClick(ClickRecord*, uint32_t)
{
    toggleWithClick(adfPowerOn, adfSound);
    return 0;
}

// Works with the power off too.
int32_t VARDEX_HOSTAPI toneSwitchClick(ClickRecord*, uint32_t)
{
    toggleWithClick(adfToneOn, adfSound);
    return 0;
}

void tuneToBandEdge(uint32_t edgeTenths) { triggerKeyEvent(AdfFrequencySet, rebaseDigits(edgeTenths, 10, 16)); }

// Up a band: the frequency goes to the bottom of the new band, the edge it
// shares with the one below, and the disc to the bottom of the new ring.
int32_t VARDEX_HOSTAPI bandUp(ClickRecord*, uint32_t)
{
    if (adfPowerOn == 0 || !(adfBand < 3.0))
        return 0;
    adfBand += 1.0;
    playClip(adfSound);
    adfDialValue = 0.0;
    if (adfBand == 2.0)
        tuneToBandEdge(LowerEdgeTenths);
    else if (adfBand == 3.0)
        tuneToBandEdge(UpperEdgeTenths);
    return 0;
}

// Down a band: to the top of the new band, the same shared edge; the disc
// is preset to where the next frame will find it.
int32_t VARDEX_HOSTAPI bandDown(ClickRecord*, uint32_t)
{
    if (adfPowerOn == 0 || !(adfBand > 1.0))
        return 0;
    adfBand -= 1.0;
    playClip(adfSound);
    if (adfBand == 1.0) {
        adfDialValue = LowerEdgeScale;
        tuneToBandEdge(LowerEdgeTenths);
    } else if (adfBand == 2.0) {
        adfDialValue = UpperEdgeScale;
        tuneToBandEdge(UpperEdgeTenths);
    }
    return 0;
}

// The limits test the frequency of the latest frame, not the host's.
void tune(uint32_t clickFlags, bool up)
{
    if (adfPowerOn == 0)
        return;
    AdfTuningStep step = adfTuningStep(adfBand, adfFrequencyKhz, clickFlags, up);
    if (step.keyEvent == 0)
        return;
    for (int i = 0; i < AdfStepsPerClick; ++i)
        triggerKeyEvent(step.keyEvent, 0);
    adfTuningKnob += step.knobTurn;
}

int32_t VARDEX_HOSTAPI tuneUp(ClickRecord*, uint32_t clickFlags)
{
    tune(clickFlags, true);
    return 0;
}

int32_t VARDEX_HOSTAPI tuneDown(ClickRecord*, uint32_t clickFlags)
{
    tune(clickFlags, false);
    return 0;
}

const char* VARDEX_HOSTAPI bandWord(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return adfBandText(adfBand);
}

// Installation: the tone goes off and the band follows the host's
// frequency, whatever the main switch says; then the sound slot. Every
// frame the frequency is read once, before the disc and the texts show it.
// Removal releases the slot.
void VARDEX_HOSTAPI adfService(GaugeDefinition*, int32_t serviceCode, uint32_t extra)
{
    if (serviceCode == ServiceInstall) {
        adfToneOn = 0;
        triggerKeyEvent(AdfToneOff, 0);
        adfFrequencyKhz = readAdfFrequency();
        adfBand = adfBandFor(adfFrequencyKhz);
        adfDialValue = adfScaleValue(adfBand, adfFrequencyKhz);
    }
    if (serviceCode == ServiceBeforeUpdate)
        adfFrequencyKhz = readAdfFrequency();
    serveSoundSlot(adfSound, LeverClickClip, serviceCode, extra);
}

// ---------------------------------------------------------------- elements

FailureBinding textFailures[2][4] = {
    {{20, FailNoDraw}, {21, FailNoDraw}, {5, FailNone}, {}},
    {{20, FailNoDraw}, {21, FailNoDraw}, {5, FailNone}, {}},
};
FailureBinding lampFailures[] = {{20, FailNoDraw}, {21, FailNoDraw}, {}};

// Value 0 straight up from the pivot, the second value straight down.
CalibrationPoint scaleTable[] = {{.point = {301, 12}, .value = 0}, {.point = {301, 362}, .value = 180}};
CalibrationPoint tuningKnobTable[] = {{.point = {304, 177}, .value = 0}, {.point = {304, 237}, .value = 60}};
CalibrationPoint bandKnobTable[] = {{.point = {535, 174}, .value = 0}, {.point = {535, 298}, .value = 180}};

constexpr StaticImageElement Face = {.common = {.kind = StaticImage, .bitmap = FaceBitmap, .imageFlags = PlainImage}};

constexpr NeedleElement ScaleDisc = {.common = {.kind = Needle,
                                                .bitmap = ScaleDiscBitmap,
                                                .position = {301, 187},
                                                .offset = {175, 175},
                                                .imageFlags = LitSmoothImage},
                                     .table = scaleTable,
                                     .pointCount = std::size(scaleTable),
                                     .update = scaleUpdate};

constexpr IconElement BandMask = {
    .common = {.kind = Icon, .bitmap = BandMaskBitmap, .position = {237, 12}, .imageFlags = LitSmoothImage},
    .scale = 1.0,
    .frames = 4,
    .update = bandMaskUpdate};

// The two texts differ only in where they stand and which band they serve.
constexpr StringElement frequencyText(Point position, FailureBinding* failures, UpdateCallback update)
{
    StringElement text = {
        .common = {.kind = String, .bitmap = -1, .position = position, .failures = failures, .imageFlags = BrightImage},
        .sources = {hostVar(FrequencyVariable)},
        .box = {102, 27},
        .textColour = 0x8C8C8C,
        .secondColour = 0x000000,
        .thirdColour = 0x00FFFF,
        .fontFace = "Arial",
        .fontWeight = 400,
        .charset = 1,
        .drawFlags = 37,  // centred both ways, one line
        .characters = WindowTextCharacters,
        .update = update};
    return text;
}

constexpr StringElement LowerText = frequencyText({255, 55}, textFailures[0], outerRingTextUpdate);
constexpr StringElement UpperText = frequencyText({255, 20}, textFailures[1], innerRingsTextUpdate);

constexpr StaticImageElement Mask = {.common = {.kind = StaticImage, .bitmap = MaskBitmap, .imageFlags = PlainImage}};

constexpr NeedleElement TuningKnob = {.common = {.kind = Needle,
                                                 .bitmap = TuningKnobBitmap,
                                                 .position = centreOf(TuningKnobBox),
                                                 .offset = {86, 86},
                                                 .imageFlags = SmoothImage},
                                      .table = tuningKnobTable,
                                      .pointCount = std::size(tuningKnobTable),
                                      .update = tuningKnobUpdate};

constexpr NeedleElement BandKnob = {.common = {.kind = Needle,
                                               .bitmap = BandKnobBitmap,
                                               .position = {535, 236},
                                               .offset = {62, 62},
                                               .imageFlags = SmoothImage},
                                    .table = bandKnobTable,
                                    .pointCount = std::size(bandKnobTable),
                                    .update = bandKnobUpdate};

constexpr IconElement ToneSwitch = {
    .common = {.kind = Icon, .bitmap = ToneSwitchBitmap, .position = cornerOf(ToneSwitchBox), .imageFlags = PlainImage},
    .source = hostVar(AdfToneAudio),
    .scale = 1.0,
    .frames = 2,
    .update = toneSwitchUpdate};

constexpr IconElement Lamp = {.common = {.kind = Icon,
                                         .bitmap = LampBitmap,
                                         .position = {293, 462},
                                         .failures = lampFailures,
                                         .imageFlags = BrightImage},
                              .scale = 1.0,
                              .frames = 1,
                              .update = lampWhileOn<adfPowerOn>};

constexpr IconElement MainSwitch = twoStateSwitch(MainSwitchBitmap, MainSwitchBox, mainSwitchUpdate);

constinit ElementChain elements{&radioAdfGauge, Face,       ScaleDisc, BandMask,   LowerText, UpperText,
                                Mask,           TuningKnob, BandKnob,  ToneSwitch, Lamp,      MainSwitch};

// ---------------------------------------------------------------- mouse areas

// One array serves the three text tooltips; each prints its own argument.
TooltipArg tooltipArgs[] = {stringArg(bandWord), stringArg(printOnOff<adfToneOn>), stringArg(printOnOff<adfPowerOn>)};
constexpr uint32_t TooltipArgCount = std::size(tooltipArgs);

MouseArea mouseAreas[] = {
    region(),
    region(ScaleArea),
    hostTooltip(ScaleHelpId),
    regionEnd(),
    region(BandSelector),
    textTooltip("Band selector (%1!s! KHz)", tooltipArgs, TooltipArgCount),
    regionEnd(),
    region(ToneSwitchBox),
    textTooltip("Tone switch (%2!s!)", tooltipArgs, TooltipArgCount),
    regionEnd(),
    region(MainSwitchBox),
    textTooltip("ADF main switch (%3!s!)", tooltipArgs, TooltipArgCount),
    regionEnd(),
    clickArea(MainSwitchBox, CursorHand, ClickLeft, mainSwitchClick),
    clickArea(ToneSwitchBox, CursorHand, ClickLeft, toneSwitchClick),
    clickArea(BandSelectorLeft, CursorDownArrow, ClickLeft | ClickRepeat, bandDown),
    clickArea(BandSelectorRight, CursorUpArrow, ClickLeft | ClickRepeat, bandUp),
    clickArea(leftHalfOf(TuningKnobBox), CursorDownArrow, KnobClicks, tuneDown),
    clickArea(rightHalfOf(TuningKnobBox), CursorUpArrow, KnobClicks, tuneUp),
    regionEnd(),
    listEnd(),
};

}  // namespace

GaugeDefinition radioAdfGauge = gaugeHeader("Radio_ADF_EZ6", 100, elements.roots(), mouseAreas, adfService);
