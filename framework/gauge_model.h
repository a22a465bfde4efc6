// The gauge records that the host and the module share.
//
// This header is the one interface between Vardex_Instr and whatever loads it:
// the simulator on 32-bit Windows, or the development host on Linux. The
// records are laid out as the host's published gauge interface lays them out
// (maximum field alignment 4, 32-bit words, 4-byte pointers on Win32); the
// static_asserts at the end pin every size and every offset that the module
// writes, so a layout drift fails the Windows build. On 64-bit Linux the same
// field order holds with native pointer widths and natural alignment: there
// is no binary host to match there, and packing 8-byte pointers to 4 would
// leave them misaligned.
//
// Fields the host owns are kept as anonymous word arrays: the module leaves
// them zero and the development host does not need them.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VARDEX_HOSTAPI __stdcall
#else
#define VARDEX_HOSTAPI
#endif

#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 4)
#endif

struct GaugeDefinition;
struct GaugeElement;
struct SourceVar;

// ---------------------------------------------------------------- small records

struct Point {
    int32_t x;
    int32_t y;
};

struct Box {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// The host delivers a variable either as a double or, for BCD frequencies,
// codes and flag words, as an unsigned integer in the low 32 bits.
union ValueSlot {
    double number;
    uint32_t integer;
};

struct SourceVar {
    uint32_t id;          // 0: no variable
    void* hostPointer;
    uint32_t hostType;
    ValueSlot value;
    ValueSlot previous;
};

struct CalibrationPoint {
    Point point;          // where the needle points for this value, on the parent bitmap
    double value;
    double hostDegrees;   // the host's, 0 in the definitions
};

// A gauge's calibration table is an array of points; the needle record keeps
// the first point's address and the count.
using CalibrationTable = CalibrationPoint*;

struct FailureBinding {
    uint32_t system;      // host failure-system id; 0 ends the list
    uint32_t action;
    uint32_t hostWord;
};

enum FailureAction : uint32_t { FailNone = 0, FailFreeze = 1, FailZero = 2, FailNoDraw = 3, FailCover = 4 };

// ---------------------------------------------------------------- callbacks

using UpdateCallback = double(VARDEX_HOSTAPI*)(GaugeElement* element);
using GaugeCallback = void(VARDEX_HOSTAPI*)(GaugeDefinition* gauge, int32_t serviceCode, uint32_t extra);

struct ClickRecord;
using MouseHandler = int32_t(VARDEX_HOSTAPI*)(ClickRecord* click, uint32_t clickFlags);

// Tooltip argument callbacks receive six words that no callback of this
// module reads: a double, an id, a text, the argument's variable, the gauge.
using TooltipNumberCallback = double(VARDEX_HOSTAPI*)(double number, uint32_t id, const char* text,
                                                     SourceVar* var, GaugeDefinition* gauge);
using TooltipStringCallback = const char*(VARDEX_HOSTAPI*)(double number, uint32_t id, const char* text,
                                                          SourceVar* var, GaugeDefinition* gauge);

// ---------------------------------------------------------------- elements

enum ElementKind : uint32_t {
    StaticImage = 0,
    Needle = 1,
    String = 2,
    Slider = 3,
    Icon = 4,
    MovingImage = 5,
    Sprite = 6,
};

// Image-flag bits.
inline constexpr uint32_t ImageTransparent = 0x00000001;  // pure black is transparent
inline constexpr uint32_t ImageErase = 0x00000002;
inline constexpr uint32_t ImageBright = 0x00000004;
inline constexpr uint32_t ImageBilinear = 0x00000080;     // smooth rotation
inline constexpr uint32_t ImageLuminous = 0x00004000;     // lit at night
inline constexpr uint32_t ImageHidden = 0x40000000;
inline constexpr uint32_t ImageOnScreen = 0x80000000;     // cleared to ask for a redraw

// The five image-flag words the module's definitions use.
inline constexpr uint32_t PlainImage = ImageTransparent | ImageErase;  // 0x0003
inline constexpr uint32_t BrightImage = PlainImage | ImageBright;      // 0x0007
inline constexpr uint32_t SmoothImage = PlainImage | ImageBilinear;    // 0x0083
inline constexpr uint32_t LitImage = PlainImage | ImageLuminous;       // 0x4003
inline constexpr uint32_t LitSmoothImage = SmoothImage | ImageLuminous;  // 0x4083

// The part every element record begins with. Children and the gauge's element
// list point at this part of each record.
struct GaugeElement {
    ElementKind kind;
    int32_t bitmap;               // resource number; -1 for a string
    Point position;               // on the parent's bitmap
    Point previousPosition;       // host
    Point offset;                 // needle pivot / sprite texture centre
    GaugeDefinition* gauge;
    GaugeElement* previous;       // host
    GaugeElement** children;      // null-terminated, or null
    FailureBinding* failures;     // ends with system 0, or null
    uint32_t imageFlags;
    uint32_t flags2;
    uint32_t reserved;
};

struct StaticImageElement {
    GaugeElement common;
    uint32_t host[9];
};

struct NeedleElement {
    GaugeElement common;
    SourceVar source;
    void* hostFunctions[4];
    double referenceValue;        // host
    CalibrationPoint* table;
    uint32_t pointCount;
    int32_t maxDegreesPerTick;    // 0: no limit
    uint32_t host[25];
    UpdateCallback update;
    uint32_t hostTail[2];
};

struct StringElement {
    GaugeElement common;
    SourceVar sources[3];
    uint32_t host1[10];
    char* text;                   // buffer supplied by the host
    uint32_t host2;
    Point box;                    // width, height
    uint32_t host3[2];
    uint32_t textColour;          // 0x00BBGGRR
    uint32_t secondColour;
    uint32_t thirdColour;
    uint32_t host4[7];
    char fontFace[32];
    int32_t fontWeight;
    uint8_t charset;
    uint8_t charsetPadding[3];
    uint32_t drawFlags;           // Windows text-drawing flags
    uint16_t characters;
    uint8_t host5[6];
    void* highlights;
    uint32_t host6;
    uint32_t characterHeight;
    UpdateCallback update;
    uint32_t hostTail[2];
};

struct SliderElement {
    GaugeElement common;
    SourceVar xSource;
    uint32_t host1;
    double xScale;
    uint32_t host2;
    SourceVar ySource;
    uint32_t host3;
    double yScale;
    uint32_t host4[6];
    UpdateCallback xUpdate;
    UpdateCallback yUpdate;
    uint32_t hostTail[4];
};

struct IconElement {
    GaugeElement common;
    SourceVar source;
    uint32_t host1;
    uint32_t switchType;
    uint32_t host2;
    double scale;
    int32_t frameOffset;
    uint32_t frames;
    uint32_t host3[4];
    UpdateCallback update;
    uint32_t hostTail;
};

struct MovingImageElement {
    GaugeElement common;
    SourceVar xSource;
    uint32_t host1;
    double xMin;
    double xMax;
    uint32_t host2;
    SourceVar ySource;
    uint32_t host3;
    double yMin;
    double yMax;
    uint32_t host4[21];
    UpdateCallback xUpdate;
    UpdateCallback yUpdate;
    uint32_t hostTail[4];
};

struct SpriteElement {
    GaugeElement common;
    SourceVar xSource;
    uint32_t host1;
    double xScale;
    SourceVar ySource;
    uint32_t host2;
    double yScale;
    SourceVar rotationSource;
    uint32_t host3;
    double rotationScale;
    float textureScaleX;
    float textureScaleY;
    uint32_t host4[32];
    UpdateCallback xUpdate;
    UpdateCallback yUpdate;
    UpdateCallback rotationUpdate;
    uint32_t hostTail[6];
};

// ---------------------------------------------------------------- mouse areas

enum MouseAreaType : uint32_t {
    ListEnd = 0,
    Region = 1,
    ClickArea = 2,
    RegionEnd = 3,
    Tooltip = 4,
};

// Cursor codes and click-flag bits the module writes into its areas.
inline constexpr int32_t CursorNone = -1;
inline constexpr int32_t CursorUpArrow = 1;
inline constexpr int32_t CursorDownArrow = 2;
inline constexpr int32_t CursorHand = 5;

inline constexpr uint32_t ClickLeft = 0x20000000;
inline constexpr uint32_t ClickMiddle = 0x40000000;
inline constexpr uint32_t ClickRight = 0x80000000;
inline constexpr uint32_t ClickRepeat = 0x00200000;   // repeat while held

struct TooltipArg {
    SourceVar source;
    double scale;
    uint32_t lookup[6];
    TooltipNumberCallback number;
    void* idCallback;
    TooltipStringCallback string;
};

struct MouseArea {
    MouseAreaType type;
    Box box;                      // relative to the enclosing region's origin
    int32_t cursor;
    uint32_t helpId;
    uint32_t clickFlags;
    uint32_t keyEventOrArgCount;  // a ClickArea's key event, a Tooltip's argument count
    union {
        MouseHandler handler;     // ClickArea
        const char* tooltipText;  // Tooltip
        void* raw;
    };
    TooltipArg* tooltipArgs;
};

struct ClickRecord {
    Point point;                  // within the area
    GaugeDefinition* gauge;       // the clicked gauge: the record's third 32-bit word
    MouseArea* area;
    Point screen;
    uint32_t reserved;
};

// ---------------------------------------------------------------- the gauge

struct GaugeDefinition {
    uint32_t version;             // 800
    const char* name;
    GaugeElement** elements;      // null-terminated list of root elements
    void* routines[7];            // host's query/install/... slots, left empty
    void* reserved1;
    uint32_t defaultSize;         // width in mm
    uint32_t heightMm;
    float xAdjust;
    float yAdjust;
    void* reserved2[2];
    Point position;
    void* reserved3;
    MouseArea* mouseAreas;
    GaugeCallback callback;
    uint32_t userData;
    char* parameter;              // the placed gauge's parameter text, or null
    const char* usage;
    uint32_t reserved4[2];
    Point size;
    double userArea[10];
    uint32_t gaugeFlags;
    void* reserved5;
};

inline constexpr uint32_t GaugeVersion = 800;

// Service codes the module acts on.
enum ServiceCode : int32_t {
    ServiceInstall = 2,
    ServiceBeforeUpdate = 6,
    ServiceBeforeRemove = 12,
    ServiceShutDownNotice = 14,
};

// ---------------------------------------------------------------- linkage

using ModuleRoutine = void(VARDEX_HOSTAPI*)();

inline constexpr uint32_t LinkageModuleId = 0x13;
inline constexpr uint32_t LinkageVersion = 0x0900;
inline constexpr uint32_t ImportTableId = 0x0F;
inline constexpr size_t GaugeCount = 41;

struct LinkageRecord {
    uint32_t moduleId;
    ModuleRoutine init;
    ModuleRoutine shutdown;
    uint32_t flags;
    uint32_t priority;
    uint32_t version;
    GaugeDefinition* gauges[GaugeCount + 1];   // null-terminated
};

using TogglePanelWindowService = int32_t(VARDEX_HOSTAPI*)(uint32_t panelWindow);
using TriggerKeyEventService = uint32_t(VARDEX_HOSTAPI*)(uint32_t keyEvent, uint32_t value);
using LookupVarService = void(VARDEX_HOSTAPI*)(SourceVar* var);
using ExecuteCalculatorCodeService = int32_t(VARDEX_HOSTAPI*)(const char* expression, double* number,
                                                            int32_t* integer, const char** text);

// The host's table of services: 82 slots, of which the module calls four.
// The first six repeat the linkage prologue.
inline constexpr size_t HostServiceSlots = 82;

struct HostServices {
    uintptr_t prologue[6];
    void* slots6to34[29];
    TogglePanelWindowService togglePanelWindow;          // 35
    TriggerKeyEventService triggerKeyEvent;              // 36
    void* slots37to39[3];
    LookupVarService lookupVar;                          // 40
    void* slots41to68[28];
    ExecuteCalculatorCodeService executeCalculatorCode;  // 69
    void* slots70to81[12];
};

struct ImportEntry {
    uint32_t id;
    HostServices* services;
};

struct ImportTableRecord {
    ImportEntry services;   // id 0x0F, filled by the host before any routine runs
    ImportEntry end;        // all zeros
};

#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
#endif

// ---------------------------------------------------------------- layout checks

#define VARDEX_LAYOUT(type, size) static_assert(sizeof(type) == (size), #type " size")
#define VARDEX_OFFSET(type, field, off) static_assert(offsetof(type, field) == (off), #type "." #field)

#if defined(_WIN32) && !defined(_WIN64)
VARDEX_LAYOUT(Point, 8);
VARDEX_LAYOUT(Box, 16);
VARDEX_LAYOUT(ValueSlot, 8);
VARDEX_LAYOUT(SourceVar, 28);
VARDEX_OFFSET(SourceVar, value, 12);
VARDEX_OFFSET(SourceVar, previous, 20);
VARDEX_LAYOUT(CalibrationPoint, 24);
VARDEX_OFFSET(CalibrationPoint, value, 8);
VARDEX_LAYOUT(FailureBinding, 12);

VARDEX_LAYOUT(GaugeElement, 60);
VARDEX_OFFSET(GaugeElement, bitmap, 4);
VARDEX_OFFSET(GaugeElement, position, 8);
VARDEX_OFFSET(GaugeElement, offset, 24);
VARDEX_OFFSET(GaugeElement, gauge, 32);
VARDEX_OFFSET(GaugeElement, children, 40);
VARDEX_OFFSET(GaugeElement, failures, 44);
VARDEX_OFFSET(GaugeElement, imageFlags, 48);
VARDEX_OFFSET(GaugeElement, flags2, 52);

VARDEX_LAYOUT(StaticImageElement, 96);

VARDEX_LAYOUT(NeedleElement, 236);
VARDEX_OFFSET(NeedleElement, source, 60);
VARDEX_OFFSET(NeedleElement, referenceValue, 104);
VARDEX_OFFSET(NeedleElement, table, 112);
VARDEX_OFFSET(NeedleElement, pointCount, 116);
VARDEX_OFFSET(NeedleElement, maxDegreesPerTick, 120);
VARDEX_OFFSET(NeedleElement, update, 224);

VARDEX_LAYOUT(StringElement, 324);
VARDEX_OFFSET(StringElement, sources, 60);
VARDEX_OFFSET(StringElement, text, 184);
VARDEX_OFFSET(StringElement, box, 192);
VARDEX_OFFSET(StringElement, textColour, 208);
VARDEX_OFFSET(StringElement, secondColour, 212);
VARDEX_OFFSET(StringElement, thirdColour, 216);
VARDEX_OFFSET(StringElement, fontFace, 248);
VARDEX_OFFSET(StringElement, fontWeight, 280);
VARDEX_OFFSET(StringElement, charset, 284);
VARDEX_OFFSET(StringElement, drawFlags, 288);
VARDEX_OFFSET(StringElement, characters, 292);
VARDEX_OFFSET(StringElement, highlights, 300);
VARDEX_OFFSET(StringElement, characterHeight, 308);
VARDEX_OFFSET(StringElement, update, 312);

VARDEX_LAYOUT(SliderElement, 192);
VARDEX_OFFSET(SliderElement, xSource, 60);
VARDEX_OFFSET(SliderElement, xScale, 92);
VARDEX_OFFSET(SliderElement, ySource, 104);
VARDEX_OFFSET(SliderElement, yScale, 136);
VARDEX_OFFSET(SliderElement, xUpdate, 168);
VARDEX_OFFSET(SliderElement, yUpdate, 172);

VARDEX_LAYOUT(IconElement, 140);
VARDEX_OFFSET(IconElement, source, 60);
VARDEX_OFFSET(IconElement, switchType, 92);
VARDEX_OFFSET(IconElement, scale, 100);
VARDEX_OFFSET(IconElement, frameOffset, 108);
VARDEX_OFFSET(IconElement, frames, 112);
VARDEX_OFFSET(IconElement, update, 132);

VARDEX_LAYOUT(MovingImageElement, 268);
VARDEX_OFFSET(MovingImageElement, xSource, 60);
VARDEX_OFFSET(MovingImageElement, xMin, 92);
VARDEX_OFFSET(MovingImageElement, xMax, 100);
VARDEX_OFFSET(MovingImageElement, ySource, 112);
VARDEX_OFFSET(MovingImageElement, yMin, 144);
VARDEX_OFFSET(MovingImageElement, yMax, 152);
VARDEX_OFFSET(MovingImageElement, xUpdate, 244);
VARDEX_OFFSET(MovingImageElement, yUpdate, 248);

VARDEX_LAYOUT(SpriteElement, 352);
VARDEX_OFFSET(SpriteElement, xSource, 60);
VARDEX_OFFSET(SpriteElement, xScale, 92);
VARDEX_OFFSET(SpriteElement, ySource, 100);
VARDEX_OFFSET(SpriteElement, yScale, 132);
VARDEX_OFFSET(SpriteElement, rotationSource, 140);
VARDEX_OFFSET(SpriteElement, rotationScale, 172);
VARDEX_OFFSET(SpriteElement, textureScaleX, 180);
VARDEX_OFFSET(SpriteElement, textureScaleY, 184);
VARDEX_OFFSET(SpriteElement, xUpdate, 316);
VARDEX_OFFSET(SpriteElement, yUpdate, 320);
VARDEX_OFFSET(SpriteElement, rotationUpdate, 324);

VARDEX_LAYOUT(TooltipArg, 72);
VARDEX_OFFSET(TooltipArg, scale, 28);
VARDEX_OFFSET(TooltipArg, number, 60);
VARDEX_OFFSET(TooltipArg, idCallback, 64);
VARDEX_OFFSET(TooltipArg, string, 68);

VARDEX_LAYOUT(MouseArea, 44);
VARDEX_OFFSET(MouseArea, box, 4);
VARDEX_OFFSET(MouseArea, cursor, 20);
VARDEX_OFFSET(MouseArea, helpId, 24);
VARDEX_OFFSET(MouseArea, clickFlags, 28);
VARDEX_OFFSET(MouseArea, keyEventOrArgCount, 32);
VARDEX_OFFSET(MouseArea, handler, 36);
VARDEX_OFFSET(MouseArea, tooltipArgs, 40);

VARDEX_LAYOUT(ClickRecord, 28);
VARDEX_OFFSET(ClickRecord, gauge, 8);
VARDEX_OFFSET(ClickRecord, area, 12);
VARDEX_OFFSET(ClickRecord, screen, 16);

VARDEX_LAYOUT(GaugeDefinition, 204);
VARDEX_OFFSET(GaugeDefinition, name, 4);
VARDEX_OFFSET(GaugeDefinition, elements, 8);
VARDEX_OFFSET(GaugeDefinition, routines, 12);
VARDEX_OFFSET(GaugeDefinition, defaultSize, 44);
VARDEX_OFFSET(GaugeDefinition, position, 68);
VARDEX_OFFSET(GaugeDefinition, mouseAreas, 80);
VARDEX_OFFSET(GaugeDefinition, callback, 84);
VARDEX_OFFSET(GaugeDefinition, userData, 88);
VARDEX_OFFSET(GaugeDefinition, parameter, 92);
VARDEX_OFFSET(GaugeDefinition, usage, 96);
VARDEX_OFFSET(GaugeDefinition, size, 108);
VARDEX_OFFSET(GaugeDefinition, userArea, 116);
VARDEX_OFFSET(GaugeDefinition, gaugeFlags, 196);
VARDEX_OFFSET(GaugeDefinition, reserved5, 200);

VARDEX_OFFSET(LinkageRecord, init, 4);
VARDEX_OFFSET(LinkageRecord, shutdown, 8);
VARDEX_OFFSET(LinkageRecord, version, 20);
VARDEX_OFFSET(LinkageRecord, gauges, 24);
VARDEX_LAYOUT(ImportTableRecord, 16);
VARDEX_OFFSET(ImportTableRecord, services, 0);
VARDEX_OFFSET(ImportTableRecord, end, 8);

VARDEX_LAYOUT(HostServices, HostServiceSlots * 4);
VARDEX_OFFSET(HostServices, togglePanelWindow, 35 * 4);
VARDEX_OFFSET(HostServices, triggerKeyEvent, 36 * 4);
VARDEX_OFFSET(HostServices, lookupVar, 40 * 4);
VARDEX_OFFSET(HostServices, executeCalculatorCode, 69 * 4);
#endif

// Whatever the platform, the host-service slots keep their numbers.
static_assert(offsetof(HostServices, togglePanelWindow) == 35 * sizeof(void*));
static_assert(offsetof(HostServices, triggerKeyEvent) == 36 * sizeof(void*));
static_assert(offsetof(HostServices, lookupVar) == 40 * sizeof(void*));
static_assert(offsetof(HostServices, executeCalculatorCode) == 69 * sizeof(void*));
static_assert(sizeof(HostServices) == HostServiceSlots * sizeof(void*));
