// The key events that the gauges send, applied the way the aircraft's radios
// and systems answer them.
#include "devhost/core/key_events.h"

#include <algorithm>
#include <optional>

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

constexpr KeyEventInfo events[] = {
    {AtcWindow, "ATC_WINDOW_TOGGLE"},
    {ComWholeDec, "COM_RADIO_WHOLE_DEC"},
    {ComWholeInc, "COM_RADIO_WHOLE_INC"},
    {NavWholeDec, "NAV1_RADIO_WHOLE_DEC"},
    {NavWholeInc, "NAV1_RADIO_WHOLE_INC"},
    {XpdrThousandsInc, "XPNDR_1000_INC"},
    {XpdrHundredsInc, "XPNDR_100_INC"},
    {XpdrTensInc, "XPNDR_10_INC"},
    {XpdrUnitsInc, "XPNDR_1_INC"},
    {LandingCourse, "LANDING_COURSE_DEGREES"},
    {ViewNext, "VIEW_NEXT"},
    {ViewPrevious, "VIEW_PREVIOUS"},
    {Nav1IdentOff, "NAV1_IDENT_OFF"},
    {Nav2IdentOff, "NAV2_IDENT_OFF"},
    {AdfIdentOff, "ADF_IDENT_OFF"},
    {Nav1IdentOn, "NAV1_IDENT_ON"},
    {AdfIdentOn, "ADF_IDENT_ON"},
    {ViewMode, "VIEW_NORMAL_LANDING_TOGGLE"},
    {Kneeboard, "KNEEBOARD_TOGGLE"},
    {PressureInc, "ALTIMETER_SETTING_INC"},
    {PressureDec, "ALTIMETER_SETTING_DEC"},
    {HeadingBugSet, "HEADING_BUG_SET"},
    {AdfSet, "ADF_FREQUENCY_SET"},
    {GyroCage, "ATTITUDE_CAGE_TOGGLE"},
    {NavGpsToggle, "GPS_DRIVES_NAV_TOGGLE"},
    {MapWindow, "MAP_WINDOW_TOGGLE"},
    {ComFractDec, "COM_RADIO_FRACT_DEC"},
    {ComFractInc, "COM_RADIO_FRACT_INC"},
    {NavFractDec, "NAV1_RADIO_FRACT_DEC"},
    {NavFractInc, "NAV1_RADIO_FRACT_INC"},
    {XpdrThousandsDec, "XPNDR_1000_DEC"},
    {XpdrHundredsDec, "XPNDR_100_DEC"},
    {XpdrTensDec, "XPNDR_10_DEC"},
    {XpdrUnitsDec, "XPNDR_1_DEC"},
    {AdfTenthsDec, "ADF_RADIO_TENTHS_DEC"},
    {AdfTenthsInc, "ADF_RADIO_TENTHS_INC"},
    {PanelToggle, "PANEL_WINDOW_TOGGLE"},
    {PanelOpen, "PANEL_WINDOW_OPEN"},
    {PanelClose, "PANEL_WINDOW_CLOSE"},
    {AdfWholeInc, "ADF_RADIO_WHOLE_INC"},
    {AdfWholeDec, "ADF_RADIO_WHOLE_DEC"},
};

// Variables the events change.
constexpr uint32_t AdfFrequency = 16, AdfExtension = 18, Com1Frequency = 23, Nav1Frequency = 24,
                   TransponderCode = 38, PressureMillibars = 75, GyroCaged = 825, GpsDrivesNav = 848,
                   HeadingBug = 855, AdfTone = 880;

// The bands, in the units each radio counts in.
constexpr int ComBottomKhz = 118000, ComBandKhz = 19000, ComFineKhz = 25;
constexpr int NavBottomKhz = 108000, NavBandKhz = 10000, NavFineKhz = 50;
constexpr int AdfBottomTenths = 1000, AdfBandTenths = 17000;  // 100.0 to 1799.9 kHz
constexpr double PressureLowest = 930.0, PressureHighest = 1067.0, PressureStep = 1.0;
constexpr uint32_t AdfThousandBit = 0x100;

int wrapInto(int bottom, int width, int value)
{
    int offset = (value - bottom) % width;
    return bottom + (offset < 0 ? offset + width : offset);
}

// The number that the BCD digits of `bcd` spell, or nothing when a digit is
// above 9.
std::optional<uint32_t> fromBcd(uint32_t bcd)
{
    uint32_t number = 0, scale = 1;
    for (; bcd; bcd >>= 4, scale *= 10) {
        uint32_t digit = bcd & 0xF;
        if (digit > 9)
            return std::nullopt;
        number += digit * scale;
    }
    return number;
}

uint32_t toBcd(uint32_t number)
{
    uint32_t bcd = 0;
    for (int shift = 0; number; number /= 10, shift += 4)
        bcd |= (number % 10) << shift;
    return bcd;
}

// COM and NAV registers drop the leading 1 of the MHz and keep 10 kHz.
uint32_t radioRegister(int khz)
{
    return toBcd(static_cast<uint32_t>((khz - 100000) / 10));
}

std::optional<int> radioKhz(uint32_t reg)
{
    auto digits = fromBcd(reg);
    if (!digits || *digits > 9999)
        return std::nullopt;
    return 100000 + static_cast<int>(*digits) * 10;
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
    tenths = wrapInto(AdfBottomTenths, AdfBandTenths, tenths);
    variables.setInteger(AdfFrequency, toBcd(static_cast<uint32_t>(tenths / 10 % 1000)));
    variables.setInteger(AdfExtension, (tenths >= 10000 ? AdfThousandBit : 0) + static_cast<uint32_t>(tenths % 10));
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
    double now = variables.get(PressureMillibars);
    if (!(now >= PressureLowest))  // NaN too
        now = PressureLowest;
    variables.set(PressureMillibars, std::clamp(now + millibars, PressureLowest, PressureHighest));
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

KeyEventEngine::KeyEventEngine(VariableStore& variables, WindowState& windows)
    : variables_(variables), windows_(windows)
{
    com1Khz();
}

void KeyEventEngine::clearLog()
{
    log_.clear();
    windowToggles_.clear();
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
    windowToggles_.push_back(window);
    bool& shown = windows_.visible[window];
    shown = !shown;
}

void KeyEventEngine::apply(uint32_t id, uint32_t value)
{
    log_.push_back({id, value, findKeyEvent(id) != nullptr});
    switch (id) {
    case ComFractInc: stepCom(ComFineKhz); break;
    case ComFractDec: stepCom(-ComFineKhz); break;
    case ComWholeInc: stepCom(1000); break;
    case ComWholeDec: stepCom(-1000); break;
    case NavFractInc: stepNav(variables_, NavFineKhz); break;
    case NavFractDec: stepNav(variables_, -NavFineKhz); break;
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
