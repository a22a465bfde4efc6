// Registration: the plate with the aircraft's registration. By default it
// shows the host's ATC identifier, asked for every frame; the parameter text
// of the placed plate can give a fixed text instead and choose the font and
// the text colour:
//   tD-IABC        the text (only when the parameter text begins with t);
//                  it ends at its first space, underscores show as spaces
//   r255 g0 b0     colour components, 0..255 (larger or negative: 255)
//   fCourier New   the font: the rest of the text, so it comes last
// Each item is the first occurrence of its letter anywhere in the text, and
// nothing behind a "/", "#" or "'" counts.
//
// Host variables read: none (the identifier comes from the calculator-code
// expression "(A:ATC ID,string)"). Key events sent: none.
// State owned: atcIdText, the host's identifier text (owned by the host).
#include <cstring>

#include "framework/find_parameter.h"
#include "framework/gauge_dsl.h"
#include "framework/gauge_list.h"
#include "framework/host_services.h"
#include "framework/whole_number.h"

namespace {

// The host keeps this text valid while the module uses it; null until the
// first refresh.
const char* atcIdText = nullptr;

constexpr const char* AtcIdExpression = "(A:ATC ID,string)";

constexpr int32_t PlateBitmap = 50;
constexpr Point PlateSize = {150, 25};
constexpr uint32_t White = 0x00FFFFFF;
constexpr uint32_t PlateShadow = 0x005C5C5C;
constexpr uint32_t CentredSingleLine = 37;  // DT_CENTER | DT_VCENTER | DT_SINGLELINE
constexpr uint16_t PlateCharacters = 7;
constexpr uint32_t MaxComponent = 255;

// ---------------------------------------------------------------- style

// A colour component read after its letter: the number, taken as unsigned,
// at most 255 (so a negative number gives 255); `current` when the letter is
// not there.
uint32_t colourComponent(const char* text, const char* letter, uint32_t current)
{
    const char* found = findParameter(text, letter);
    if (!found)
        return current;
    const auto n = static_cast<uint32_t>(leadingWholeNumber(found + 1));
    return n > MaxComponent ? MaxComponent : n;
}

StringElement* plateText(GaugeDefinition& gauge)
{
    GaugeElement* root = gauge.elements ? gauge.elements[0] : nullptr;
    GaugeElement* child = root && root->children ? root->children[0] : nullptr;
    return child && child->kind == String ? reinterpret_cast<StringElement*>(child) : nullptr;
}

// Font and colour from the parameter text, once at installation. The font
// item takes the rest of the text and is cut away, so that later searches
// (the colours, the fixed text every frame) see only what stood before it.
void applyPlateStyle(GaugeDefinition& gauge)
{
    char* text = gauge.parameter;
    StringElement* plate = plateText(gauge);
    if (!text || !*text || !plate)
        return;
    if (char* f = const_cast<char*>(findParameter(text, "f"))) {
        constexpr size_t LongestFont = sizeof plate->fontFace - 1;
        const size_t length = strnlen(f + 1, LongestFont);
        std::memcpy(plate->fontFace, f + 1, length);
        plate->fontFace[length] = '\0';
        *f = '\0';
    }
    const uint32_t colour = plate->textColour;
    const uint32_t red = colourComponent(text, "r", colour & 0xFF);
    const uint32_t green = colourComponent(text, "g", colour >> 8 & 0xFF);
    const uint32_t blue = colourComponent(text, "b", colour >> 16 & 0xFF);
    plate->textColour = red | green << 8 | blue << 16;
}

// ---------------------------------------------------------------- callbacks

// The fixed text when the parameter text begins with t, else the host's identifier.
const char* shownText(const char* parameter)
{
    if (parameter && findParameter(parameter, "t") == parameter)
        return parameter + 1;
    return atcIdText ? atcIdText : "";
}

// The first `length` characters of the source as the plate shows them,
// with a terminator: the text ends at its first space, and each pass turns
// one underscore into a space, so the passes end by the text's length at
// the latest; an underscore behind a comment marker is not found and stays.
void prepareText(char* text, const char* source, size_t length)
{
    std::memcpy(text, source, length);
    text[length] = '\0';
    if (char* space = const_cast<char*>(findParameter(text, " ")))
        *space = '\0';
    for (size_t pass = 0; pass < length; ++pass) {
        char* underscore = const_cast<char*>(findParameter(text, "_"));
        if (!underscore)
            break;
        *underscore = ' ';
    }
}

// The source seldom changes, so the plate keeps what it last prepared and
// from what; every frame still writes the whole text into the host's buffer.
struct PreparedPlate {
    char source[PlateCharacters];
    size_t length;                     // of the source; above PlateCharacters: nothing prepared yet
    char text[PlateCharacters + 1];
};
PreparedPlate prepared = {.source = {}, .length = PlateCharacters + 1, .text = {}};

double VARDEX_HOSTAPI plateTextUpdate(GaugeElement* element)
{
    if (!element || element->kind != String)
        return 0.0;
    auto* plate = reinterpret_cast<StringElement*>(element);
    char* buffer = plate->text;
    if (!buffer || !element->gauge)
        return 0.0;
    // The host's buffer holds the element's characters and a terminator.
    const char* shown = shownText(element->gauge->parameter);
    const size_t length = strnlen(shown, plate->characters);
    if (length > PlateCharacters) {
        prepareText(buffer, shown, length);
        return 0.0;
    }
    if (length != prepared.length || std::memcmp(shown, prepared.source, length) != 0) {
        std::memcpy(prepared.source, shown, length);
        prepared.length = length;
        prepareText(prepared.text, shown, length);
    }
    std::memcpy(buffer, prepared.text, length + 1);
    return 0.0;
}

void VARDEX_HOSTAPI serviceCallback(GaugeDefinition* gauge, int32_t serviceCode, uint32_t)
{
    if (!gauge)
        return;
    if (serviceCode == ServiceInstall)
        applyPlateStyle(*gauge);
    else if (serviceCode == ServiceBeforeUpdate)
        executeCalculatorCode(AtcIdExpression, nullptr, nullptr, &atcIdText);
}

// ---------------------------------------------------------------- elements

constexpr StaticImageElement Plate = {.common = {.kind = StaticImage, .bitmap = PlateBitmap, .imageFlags = PlainImage}};

constexpr StringElement Registration = {.common = {.kind = String, .bitmap = -1, .imageFlags = PlainImage},
                                        .box = PlateSize,
                                        .textColour = White,
                                        .thirdColour = PlateShadow,
                                        .fontFace = "Arial",
                                        .fontWeight = 400,
                                        .charset = 1,
                                        .drawFlags = CentredSingleLine,
                                        .characters = PlateCharacters,
                                        .update = plateTextUpdate};

constinit ElementChain elements{&registrationGauge, Plate, Registration};

// ---------------------------------------------------------------- mouse areas

MouseArea mouseAreas[] = {region(), textTooltip("Registration number"), regionEnd(), listEnd()};

}  // namespace

GaugeDefinition registrationGauge = gaugeHeader("Registration", 150, elements.roots(), mouseAreas, serviceCallback);
