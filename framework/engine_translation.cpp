#include "framework/engine_translation.h"

#include <span>

#include "framework/find_parameter.h"

namespace {

// An inclusive range of engine-1 identifiers whose copies for the other
// engines follow in blocks of `width`.
struct IdBlock {
    uint32_t first;
    uint32_t last;
    uint32_t width;
};

constexpr IdBlock VariableBlocks[] = {
    {127, 161, 35}, {390, 428, 39}, {558, 567, 10}, {608, 608, 1}, {624, 642, 19},
    {700, 707, 8},  {732, 733, 2},  {761, 762, 2},  {801, 801, 1}, {883, 883, 1},
    {887, 887, 1},  {891, 891, 1},  {895, 895, 1},  {899, 899, 1},
};

constexpr IdBlock KeyEventBlocks[] = {
    {65538, 65538, 1}, {65820, 65820, 1}, {65919, 65919, 1}, {65923, 65923, 1}, {65927, 65932, 6},
    {65963, 65967, 5}, {65983, 65987, 5}, {66003, 66007, 5}, {66081, 66083, 3}, {66126, 66127, 2},
    {66300, 66300, 1}, {66313, 66313, 1}, {66329, 66330, 2}, {66340, 66340, 1}, {66345, 66345, 1},
    {66349, 66349, 1}, {66359, 66359, 1}, {66363, 66363, 1}, {66400, 66400, 1}, {66420, 66422, 3},
    {66484, 66484, 1}, {66488, 66488, 1}, {66494, 66494, 1}, {66537, 66537, 1}, {66635, 66635, 1},
    {66640, 66640, 1}, {66645, 66645, 1},
};

// Each of these host tooltips has one copy per engine, on the next id.
constexpr uint32_t PerEngineHelpIds[] = {
    12449, 12457, 12465, 12481, 12486, 12491, 12497, 12505, 12513, 12521, 12529, 12537, 12545, 12553,
    12689, 12697, 12705, 12713, 12737, 12742, 12747, 12753, 12758, 12769, 12777, 12793, 12817, 12851,
    12945, 12960, 12968, 12977, 13016, 13033, 13041, 13137, 13148, 13150, 13161, 13163, 13200, 13268,
};

// Engine 1's identifiers are the definition's own; there are four engines at most.
bool movesIdentifiers(int engine) { return engine >= 2 && engine <= 4; }

uint32_t widthIn(std::span<const IdBlock> blocks, uint32_t id)
{
    for (const IdBlock& block : blocks)
        if (block.first <= id && id <= block.last)
            return block.width;
    return 0;
}

// Limits of the walk. The module's own trees are three levels deep with one
// child per list and four mouse areas; a definition that goes far beyond is
// malformed (a cycle, a list without its end), and the walk stops there
// rather than recurse or read without bound.
constexpr int MaxTreeDepth = 16;
constexpr int MaxChildrenPerList = 64;
constexpr int MaxElements = 256;
constexpr int MaxMouseAreas = 256;

// What the walk of one element tree carries along.
struct TreeWalk {
    int engine;
    const GaugeElement* visited[MaxElements];
    int visitedCount;
};

// Each element is translated once, however many lists name it.
bool alreadyVisited(TreeWalk& walk, const GaugeElement& element)
{
    for (int i = 0; i < walk.visitedCount; ++i)
        if (walk.visited[i] == &element)
            return true;
    if (walk.visitedCount == MaxElements)
        return true;
    walk.visited[walk.visitedCount++] = &element;
    return false;
}

void translateVar(SourceVar& var, int engine) { var.id = forEngine(var.id, variableBlockWidth(var.id), engine); }

// The kinds' records begin with the common part, so an element is the first
// member of its kind's record.
void translateSources(GaugeElement& element, int engine)
{
    switch (element.kind) {
    case Needle:
        translateVar(reinterpret_cast<NeedleElement&>(element).source, engine);
        break;
    case Icon:
        translateVar(reinterpret_cast<IconElement&>(element).source, engine);
        break;
    case String:
        for (SourceVar& var : reinterpret_cast<StringElement&>(element).sources)
            translateVar(var, engine);
        break;
    case Slider: {
        auto& slider = reinterpret_cast<SliderElement&>(element);
        translateVar(slider.xSource, engine);
        translateVar(slider.ySource, engine);
        break;
    }
    case MovingImage: {
        auto& image = reinterpret_cast<MovingImageElement&>(element);
        translateVar(image.xSource, engine);
        translateVar(image.ySource, engine);
        break;
    }
    case Sprite: {
        auto& sprite = reinterpret_cast<SpriteElement&>(element);
        translateVar(sprite.xSource, engine);
        translateVar(sprite.ySource, engine);
        translateVar(sprite.rotationSource, engine);
        break;
    }
    case StaticImage:
    default:
        break;
    }
}

void translateTree(TreeWalk& walk, GaugeElement* const* list, int depth)
{
    if (!list || depth >= MaxTreeDepth)
        return;
    for (int i = 0; i < MaxChildrenPerList && list[i]; ++i) {
        GaugeElement& element = *list[i];
        if (alreadyVisited(walk, element))
            continue;
        translateSources(element, walk.engine);
        translateTree(walk, element.children, depth + 1);
    }
}

int32_t helpIdForEngine(int32_t word, int engine)
{
    auto id = static_cast<uint32_t>(word);
    return static_cast<int32_t>(forEngine(id, helpIdBlockWidth(id), engine));
}

void translateMouseAreas(MouseArea* areas, int engine)
{
    if (!areas)
        return;
    for (int i = 0; i < MaxMouseAreas && areas[i].type != ListEnd; ++i) {
        MouseArea& area = areas[i];
        if (area.type == Tooltip) {
            area.helpId = forEngine(area.helpId, helpIdBlockWidth(area.helpId), engine);
            // The first two words of a tooltip's box move like its help id; ours are 0 and stay 0.
            area.box.x = helpIdForEngine(area.box.x, engine);
            area.box.y = helpIdForEngine(area.box.y, engine);
        } else if (area.type == ClickArea) {
            uint32_t& keyEvent = area.keyEventOrArgCount;
            keyEvent = forEngine(keyEvent, keyEventBlockWidth(keyEvent), engine);
        }
    }
}

}  // namespace

uint32_t variableBlockWidth(uint32_t id) { return widthIn(VariableBlocks, id); }
uint32_t keyEventBlockWidth(uint32_t id) { return widthIn(KeyEventBlocks, id); }

uint32_t helpIdBlockWidth(uint32_t id)
{
    for (uint32_t perEngine : PerEngineHelpIds)
        if (perEngine == id)
            return 1;
    return 0;
}

uint32_t forEngine(uint32_t id, uint32_t width, int engine)
{
    if (!movesIdentifiers(engine))
        return id;
    return id + static_cast<uint32_t>(engine - 1) * width;
}

int engineFromParameter(const char* parameter)
{
    if (!parameter || findParameter(parameter, "1"))
        return 1;
    if (findParameter(parameter, "2"))
        return 2;
    if (findParameter(parameter, "3"))
        return 3;
    if (findParameter(parameter, "4"))
        return 4;
    return 1;
}

void translateForEngine(GaugeDefinition& gauge, int engine)
{
    if (!movesIdentifiers(engine))
        return;
    translateMouseAreas(gauge.mouseAreas, engine);
    TreeWalk walk{.engine = engine, .visited = {}, .visitedCount = 0};
    translateTree(walk, gauge.elements, 0);
}

void VARDEX_HOSTAPI engineTranslationCallback(GaugeDefinition* gauge, int32_t serviceCode, uint32_t)
{
    if (gauge && serviceCode == ServiceInstall)
        translateForEngine(*gauge, engineFromParameter(gauge->parameter));
}
