// The key events that the gauges send, applied the way the aircraft's radios
// and systems answer them.
#include "devhost/core/key_events.h"

#include <algorithm>
#include <optional>

#include "devhost/core/registers.h"

namespace devhost {

namespace {

// Key events, by the host's numbers. The development host keeps its own
// copy of them on purpose, written from what the simulator does and not
// taken from the module's headers: a number the module gets wrong then
// shows as an unknown or misapplied event instead of agreeing with itself.
enum : uint32_t {
    AtcWindow = 65564,
    ComWholeDec = 65636,
    ComWholeInc = 65637,
    NavWholeDec = 65640,
    NavWholeInc = 65641,
    XpdrThousandsInc = 65651,
    XpdrHundredsInc = 65652,
    XpdrTensInc = 65653,
    XpdrUnitsInc = 65654,
    LandingCourse = 65716,
    ViewNext = 65734,
    ViewPrevious = 65735,
    Nav1IdentOff = 65832,
    Nav2IdentOff = 65833,
    AdfIdentOff = 65836,
    Nav1IdentOn = 65837,
    AdfIdentOn = 65841,
    ViewMode = 65875,
    Kneeboard = 65876,
    PressureInc = 65883,
    PressureDec = 65884,
    HeadingBugSet = 66042,
    AdfSet = 66122,
    GyroCage = 66373,
    NavGpsToggle = 66375,
    MapWindow = 66432,
    ComFractDec = 66434,
    ComFractInc = 66435,
    NavFractDec = 66445,
    NavFractInc = 66446,
    XpdrThousandsDec = 66455,
    XpdrHundredsDec = 66456,
    XpdrTensDec = 66457,
    XpdrUnitsDec = 66458,
    AdfTenthsDec = 66461,
    AdfTenthsInc = 66462,
    PanelToggle = 66506,
    PanelOpen = 66507,
    PanelClose = 66508,
    AdfWholeInc = 66542,
    AdfWholeDec = 66543,
};

// Variables the events change.
using var::AdfExtension, var::AdfFrequency, var::AdfTone, var::AltimeterMillibars, var::Com1Frequency,
    var::GpsDrivesNav, var::GyroCaged, var::HeadingBug, var::Nav1Frequency, var::TransponderCode;

constexpr KeyEventInfo events[] = {
    {AtcWindow, "ATC_WINDOW_TOGGLE", 0, "shows or hides the ATC window"},
    {ComWholeDec, "COM_RADIO_WHOLE_DEC", Com1Frequency, "COM1 down 1 MHz, 118 wrapping to 136"},
    {ComWholeInc, "COM_RADIO_WHOLE_INC", Com1Frequency, "COM1 up 1 MHz, 136 wrapping to 118"},
    {NavWholeDec, "NAV1_RADIO_WHOLE_DEC", Nav1Frequency, "NAV1 down 1 MHz, 108 wrapping to 117"},
    {NavWholeInc, "NAV1_RADIO_WHOLE_INC", Nav1Frequency, "NAV1 up 1 MHz, 117 wrapping to 108"},
    {XpdrThousandsInc, "XPNDR_1000_INC", TransponderCode, "transponder thousands digit up, 7 wrapping to 0"},
    {XpdrHundredsInc, "XPNDR_100_INC", TransponderCode, "transponder hundreds digit up, 7 wrapping to 0"},
    {XpdrTensInc, "XPNDR_10_INC", TransponderCode, "transponder tens digit up, 7 wrapping to 0"},
    {XpdrUnitsInc, "XPNDR_1_INC", TransponderCode, "transponder units digit up, 7 wrapping to 0"},
    {LandingCourse, "LANDING_COURSE_DEGREES", 0, "logged only: the development host simulates no landing course"},
    {ViewNext, "VIEW_NEXT", 0, "the next view"},
    {ViewPrevious, "VIEW_PREVIOUS", 0, "the previous view"},
    {Nav1IdentOff, "NAV1_IDENT_OFF", 0, "NAV1 identifier audio off"},
    {Nav2IdentOff, "NAV2_IDENT_OFF", 0, "NAV2 identifier audio off"},
    {AdfIdentOff, "ADF_IDENT_OFF", AdfTone, "ADF identifier audio off (adf_tone 0)"},
    {Nav1IdentOn, "NAV1_IDENT_ON", 0, "NAV1 identifier audio on"},
    {AdfIdentOn, "ADF_IDENT_ON", AdfTone, "ADF identifier audio on (adf_tone 1)"},
    {ViewMode, "VIEW_NORMAL_LANDING_TOGGLE", 0, "switches between the normal and the landing view"},
    {Kneeboard, "KNEEBOARD_TOGGLE", 0, "shows or hides the kneeboard"},
    {PressureInc, "ALTIMETER_SETTING_INC", AltimeterMillibars, "pressure setting up 1 mb, up to 1067"},
    {PressureDec, "ALTIMETER_SETTING_DEC", AltimeterMillibars, "pressure setting down 1 mb, down to 930"},
    {HeadingBugSet, "HEADING_BUG_SET", HeadingBug, "heading bug to the value in degrees, modulo 360"},
    {AdfSet, "ADF_FREQUENCY_SET", AdfFrequency,
     "ADF to the value's BCD digits with the tenths last (0x3455: 345.5 kHz), within 100.0-1799.9"},
    {GyroCage, "ATTITUDE_CAGE_TOGGLE", GyroCaged, "cages or frees the attitude gyro"},
    {NavGpsToggle, "GPS_DRIVES_NAV_TOGGLE", GpsDrivesNav, "GPS or NAV1 drives the navigation display"},
    {MapWindow, "MAP_WINDOW_TOGGLE", 0, "shows or hides the map"},
    {ComFractDec, "COM_RADIO_FRACT_DEC", Com1Frequency, "COM1 down 25 kHz, borrowing from the MHz"},
    {ComFractInc, "COM_RADIO_FRACT_INC", Com1Frequency, "COM1 up 25 kHz, carrying into the MHz"},
    {NavFractDec, "NAV1_RADIO_FRACT_DEC", Nav1Frequency, "NAV1 down 50 kHz, borrowing from the MHz"},
    {NavFractInc, "NAV1_RADIO_FRACT_INC", Nav1Frequency, "NAV1 up 50 kHz, carrying into the MHz"},
    {XpdrThousandsDec, "XPNDR_1000_DEC", TransponderCode, "transponder thousands digit down, 0 wrapping to 7"},
    {XpdrHundredsDec, "XPNDR_100_DEC", TransponderCode, "transponder hundreds digit down, 0 wrapping to 7"},
    {XpdrTensDec, "XPNDR_10_DEC", TransponderCode, "transponder tens digit down, 0 wrapping to 7"},
    {XpdrUnitsDec, "XPNDR_1_DEC", TransponderCode, "transponder units digit down, 0 wrapping to 7"},
    {AdfTenthsDec, "ADF_RADIO_TENTHS_DEC", AdfFrequency, "ADF down 0.1 kHz, borrowing through every digit"},
    {AdfTenthsInc, "ADF_RADIO_TENTHS_INC", AdfFrequency, "ADF up 0.1 kHz, carrying through every digit"},
    {PanelToggle, "PANEL_WINDOW_TOGGLE", 0, "shows or hides the panel window the value names"},
    {PanelOpen, "PANEL_WINDOW_OPEN", 0, "shows the panel window the value names"},
    {PanelClose, "PANEL_WINDOW_CLOSE", 0, "hides the panel window the value names"},
    {AdfWholeInc, "ADF_RADIO_WHOLE_INC", AdfFrequency, "ADF up 1 kHz, 1799.9 wrapping to 100.0"},
    {AdfWholeDec, "ADF_RADIO_WHOLE_DEC", AdfFrequency, "ADF down 1 kHz, 100.0 wrapping to 1799.9"},
};

// The bands' widths and the steps, in the units each radio counts in.
constexpr int ComBandKhz = ComTopKhz + ComStepKhz - ComBottomKhz;
constexpr int NavBandKhz = NavTopKhz + NavStepKhz - NavBottomKhz;
constexpr int AdfBandTenths = AdfTopTenths + 1 - AdfBottomTenths;
constexpr double PressureLowest = 930.0, PressureHighest = 1067.0, PressureStep = 1.0;

int wrapInto(int bottom, int width, int value)
{
    int offset = (value - bottom) % width;
    return bottom + (offset < 0 ? offset + width : offset);
}

// A 25-kHz channel shows its 10-kHz digit as 2 or 7: the host's reading of
// x.x25 and x.x75.
int completeComChannel(int khz)
{
    int tens = (khz / 10) % 10;
    return tens == 2 || tens == 7 ? khz + 5 : khz;
}

void stepNav(VariableStore& variables, int khz)
{
    int now = radioKhz(variables.getInteger(Nav1Frequency)).value_or(NavBottomKhz);
    variables.setInteger(Nav1Frequency, radioRegister(wrapInto(NavBottomKhz, NavBandKhz, now + khz)));
}

// The ADF frequency in tenths of kHz from its two registers.
int adfTenths(const VariableStore& variables)
{
    uint32_t ext = variables.getInteger(AdfExtension);
    uint32_t thousands = ext >= AdfThousandBit ? 1 : 0;
    uint32_t tenth = ext - thousands * AdfThousandBit;
    auto units = fromBcd(variables.getInteger(AdfFrequency));
    if (!units || *units > 999 || tenth > 9)
        return AdfBottomTenths;
    return static_cast<int>((thousands * 1000 + *units) * 10 + tenth);
}

void writeAdf(VariableStore& variables, int tenths)
{
    const AdfRegisters registers = adfRegisters(wrapInto(AdfBottomTenths, AdfBandTenths, tenths));
    variables.setInteger(AdfFrequency, registers.frequency);
    variables.setInteger(AdfExtension, registers.extension);
}

// The set event names the frequency in BCD down to the tenths; anything else
// (a digit above 9, a frequency outside the band) leaves the radio alone.
void setAdf(VariableStore& variables, uint32_t bcd)
{
    auto tenths = fromBcd(bcd);
    if (tenths && *tenths >= AdfBottomTenths && *tenths < AdfBottomTenths + AdfBandTenths)
        writeAdf(variables, static_cast<int>(*tenths));
}

void stepTransponderDigit(VariableStore& variables, int shift, bool up)
{
    uint32_t code = variables.getInteger(TransponderCode) & 0xFFFF;
    uint32_t digit = (code >> shift) & 0xF;
    // Octal digits only: a digit above 7 (set from outside) steps as from 7.
    digit = up ? (digit >= 7 ? 0 : digit + 1) : (digit == 0 || digit > 7 ? 7 : digit - 1);
    code = (code & ~(0xFu << shift)) | (digit << shift);
    variables.setInteger(TransponderCode, code);
}

void stepPressure(VariableStore& variables, double millibars)
{
    double now = variables.get(AltimeterMillibars);
    if (!(now >= PressureLowest))  // NaN too
        now = PressureLowest;
    variables.set(AltimeterMillibars, std::clamp(now + millibars, PressureLowest, PressureHighest));
}

void toggleFlag(VariableStore& variables, uint32_t variable)
{
    variables.set(variable, variables.get(variable) == 0.0 ? 1.0 : 0.0);
}

}  // namespace

std::span<const KeyEventInfo> knownKeyEvents()
{
    return events;
}

const KeyEventInfo* findKeyEvent(uint32_t id)
{
    auto it = std::find_if(std::begin(events), std::end(events), [id](const KeyEventInfo& e) { return e.id == id; });
    return it == std::end(events) ? nullptr : &*it;
}

const KeyEventInfo* findKeyEvent(std::string_view name)
{
    auto it = std::find_if(std::begin(events), std::end(events), [name](const KeyEventInfo& e) { return e.name == name; });
    return it == std::end(events) ? nullptr : &*it;
}

KeyEventEngine::KeyEventEngine(VariableStore& variables, WindowState& windows)
    : variables_(variables), windows_(windows)
{
    com1Khz();
}

int KeyEventEngine::com1Khz()
{
    uint32_t reg = variables_.getInteger(Com1Frequency);
    if (reg != radioRegister(comKhz_))
        comKhz_ = completeComChannel(radioKhz(reg).value_or(ComBottomKhz));
    return comKhz_;
}

void KeyEventEngine::stepCom(int khz)
{
    comKhz_ = wrapInto(ComBottomKhz, ComBandKhz, com1Khz() + khz);
    variables_.setInteger(Com1Frequency, radioRegister(comKhz_));
}

void KeyEventEngine::togglePanelWindow(uint32_t window)
{
    bool& shown = windows_.visible[window];
    shown = !shown;
}

void KeyEventEngine::apply(uint32_t id, uint32_t value)
{
    switch (id) {
    case ComFractInc: stepCom(ComStepKhz); break;
    case ComFractDec: stepCom(-ComStepKhz); break;
    case ComWholeInc: stepCom(1000); break;
    case ComWholeDec: stepCom(-1000); break;
    case NavFractInc: stepNav(variables_, NavStepKhz); break;
    case NavFractDec: stepNav(variables_, -NavStepKhz); break;
    case NavWholeInc: stepNav(variables_, 1000); break;
    case NavWholeDec: stepNav(variables_, -1000); break;
    case AdfTenthsInc: writeAdf(variables_, adfTenths(variables_) + 1); break;
    case AdfTenthsDec: writeAdf(variables_, adfTenths(variables_) - 1); break;
    case AdfWholeInc: writeAdf(variables_, adfTenths(variables_) + 10); break;
    case AdfWholeDec: writeAdf(variables_, adfTenths(variables_) - 10); break;
    case AdfSet: setAdf(variables_, value); break;
    case XpdrThousandsInc: stepTransponderDigit(variables_, 12, true); break;
    case XpdrHundredsInc: stepTransponderDigit(variables_, 8, true); break;
    case XpdrTensInc: stepTransponderDigit(variables_, 4, true); break;
    case XpdrUnitsInc: stepTransponderDigit(variables_, 0, true); break;
    case XpdrThousandsDec: stepTransponderDigit(variables_, 12, false); break;
    case XpdrHundredsDec: stepTransponderDigit(variables_, 8, false); break;
    case XpdrTensDec: stepTransponderDigit(variables_, 4, false); break;
    case XpdrUnitsDec: stepTransponderDigit(variables_, 0, false); break;
    case PressureInc: stepPressure(variables_, PressureStep); break;
    case PressureDec: stepPressure(variables_, -PressureStep); break;
    case HeadingBugSet: variables_.set(HeadingBug, value % 360); break;
    case GyroCage: toggleFlag(variables_, GyroCaged); break;
    case NavGpsToggle: toggleFlag(variables_, GpsDrivesNav); break;
    case AdfIdentOn:
    case AdfIdentOff:
        identAudio_.adf = id == AdfIdentOn;
        variables_.set(AdfTone, identAudio_.adf ? 1.0 : 0.0);
        break;
    case Nav1IdentOn: identAudio_.nav1 = true; break;
    case Nav1IdentOff: identAudio_.nav1 = false; break;
    case Nav2IdentOff: identAudio_.nav2 = false; break;
    case PanelOpen: windows_.visible[value] = true; break;
    case PanelClose: windows_.visible[value] = false; break;
    case PanelToggle: windows_.visible[value] = !windows_.visible[value]; break;
    case ViewNext: ++windows_.viewStep; break;
    case ViewPrevious: --windows_.viewStep; break;
    case ViewMode: windows_.landingView = !windows_.landingView; break;
    case Kneeboard: ++windows_.kneeboardToggles; break;
    case AtcWindow: ++windows_.atcToggles; break;
    case MapWindow: ++windows_.mapToggles; break;
    default: break;  // known but without a simulated effect (65716), or unknown: logged only
    }
}

}  // namespace devhost
