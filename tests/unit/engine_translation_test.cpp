// One definition, placed for engine n: which identifiers move, by how much,
// and what a malformed definition cannot make the walk do.
#include "framework/engine_translation.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "framework/gauge_dsl.h"

namespace {

// ---------------------------------------------------------------- the engine a panel file names

struct Placed {
    const char* parameter;
    int engine;
};

void expectEngines(std::initializer_list<Placed> placements)
{
    for (const Placed& p : placements)
        EXPECT_EQ(engineFromParameter(p.parameter), p.engine) << '"' << (p.parameter ? p.parameter : "(none)") << '"';
}

TEST(EngineFromParameter, NamesEnginesTwoToFourByTheirDigit)
{
    expectEngines({{"2", 2}, {"3", 3}, {"4", 4}, {"engine 3", 3}});
}

TEST(EngineFromParameter, AOneAnywhereBeforeAMarkerMeansEngineOne)
{
    expectEngines({{"1", 1}, {"12", 1}, {"21", 1}, {"4 then 1", 1}});
}

TEST(EngineFromParameter, LooksForTwoThenThreeThenFour) { expectEngines({{"4 3", 3}, {"3 2", 2}}); }

TEST(EngineFromParameter, DigitsBehindACommentMarkerCountForNothing)
{
    expectEngines({{"/2", 1}, {"#3", 1}, {"'4", 1}, {"2 /1", 2}});  // in the last, the 1 stands behind the slash
}

TEST(EngineFromParameter, NoTextOrNoDigitIsEngineOne)
{
    expectEngines({{nullptr, 1}, {"", 1}, {"5", 1}, {"left", 1}});
}

// ---------------------------------------------------------------- which identifiers have per-engine copies

TEST(BlockWidth, RowsCoverBothBoundsAndNothingBeyond)
{
    EXPECT_EQ(variableBlockWidth(558), 10u);
    EXPECT_EQ(variableBlockWidth(567), 10u) << "engine 1 exhaust-gas temperature";
    EXPECT_EQ(variableBlockWidth(568), 0u);
    EXPECT_EQ(variableBlockWidth(557), 0u);
    EXPECT_EQ(variableBlockWidth(127), 35u);
    EXPECT_EQ(variableBlockWidth(161), 35u);
    EXPECT_EQ(variableBlockWidth(162), 0u);
    EXPECT_EQ(variableBlockWidth(899), 1u);
    EXPECT_EQ(variableBlockWidth(900), 0u);
    EXPECT_EQ(keyEventBlockWidth(65927), 6u);
    EXPECT_EQ(keyEventBlockWidth(65932), 6u);
    EXPECT_EQ(keyEventBlockWidth(65933), 0u);
    EXPECT_EQ(keyEventBlockWidth(66645), 1u);
    EXPECT_EQ(keyEventBlockWidth(66646), 0u);
    EXPECT_EQ(helpIdBlockWidth(12513), 1u);
    EXPECT_EQ(helpIdBlockWidth(13268), 1u);
    EXPECT_EQ(helpIdBlockWidth(12514), 0u);
    EXPECT_EQ(helpIdBlockWidth(0), 0u);
}

TEST(BlockWidth, AnEngineTwoIdentifierIsNotMovedAgain)
{
    EXPECT_EQ(variableBlockWidth(577), 0u);
    EXPECT_EQ(variableBlockWidth(572), 0u);
}

TEST(ForEngine, MovesByWholeBlocks)
{
    EXPECT_EQ(forEngine(567, 10, 1), 567u);
    EXPECT_EQ(forEngine(567, 10, 2), 577u);
    EXPECT_EQ(forEngine(567, 10, 4), 597u);
    EXPECT_EQ(forEngine(12513, 1, 3), 12515u);
    EXPECT_EQ(forEngine(568, 0, 4), 568u);
}

TEST(ForEngine, AnEngineOutsideOneToFourMovesNothing)
{
    EXPECT_EQ(forEngine(567, 10, 0), 567u);
    EXPECT_EQ(forEngine(567, 10, 5), 567u);
    EXPECT_EQ(forEngine(567, 10, -3), 567u);
}

// ---------------------------------------------------------------- a definition with every kind

// A definition that uses every element kind and every kind of mouse area,
// each variable on a per-engine row (or on none, where it must stay).
struct EveryKindGauge {
    StaticImageElement root{.common = {.kind = StaticImage, .bitmap = 1}};
    NeedleElement needle{.common = {.kind = Needle}, .source = hostVar(562)};
    IconElement icon{.common = {.kind = Icon}, .source = hostVar(127)};
    StringElement text{.common = {.kind = String}, .sources = {hostVar(390), hostVar(0), hostVar(428)}};
    SliderElement slider{.common = {.kind = Slider}, .xSource = hostVar(700), .ySource = hostVar(707)};
    MovingImageElement image{.common = {.kind = MovingImage}, .xSource = hostVar(732), .ySource = hostVar(568)};
    SpriteElement sprite{.common = {.kind = Sprite},
                         .xSource = hostVar(761),
                         .ySource = hostVar(762),
                         .rotationSource = hostVar(801)};

    GaugeElement* rootChildren[5] = {&needle.common, &icon.common, &text.common, &slider.common, nullptr};
    GaugeElement* needleChildren[3] = {&image.common, &sprite.common, nullptr};
    GaugeElement* roots[2] = {&root.common, nullptr};

    TooltipArg args[1] = {{.source = hostVar(562)}};
    MouseArea areas[7] = {
        region({}, 12513),                           // a region's help id is not a tooltip's
        hostTooltip(12513),
        keyArea({0, 0, 10, 10}, CursorHand, ClickLeft, 65927),
        clickArea({10, 0, 10, 10}, CursorHand, ClickLeft, nullptr),
        textTooltip("Engine 1 oil pressure (%1!4.2f! kg/cm2)", args, 1),
        regionEnd(),
        listEnd(),
    };

    GaugeDefinition gauge = gaugeHeader("Every_Kind", 100, roots, areas, engineTranslationCallback);

    EveryKindGauge()
    {
        root.common.children = rootChildren;
        needle.common.children = needleChildren;
    }
    EveryKindGauge(const EveryKindGauge&) = delete;

    std::vector<uint32_t> identifiers() const
    {
        return {needle.source.id,      icon.source.id,       text.sources[0].id,
                text.sources[1].id,    text.sources[2].id,   slider.xSource.id,
                slider.ySource.id,     image.xSource.id,     image.ySource.id,
                sprite.xSource.id,     sprite.ySource.id,    sprite.rotationSource.id,
                areas[0].helpId,       areas[1].helpId,      static_cast<uint32_t>(areas[1].box.x),
                static_cast<uint32_t>(areas[1].box.y),       areas[2].keyEventOrArgCount,
                areas[3].keyEventOrArgCount,                 areas[4].helpId,
                areas[4].keyEventOrArgCount,                 args[0].source.id};
    }
};

TEST(TranslateForEngine, MovesEveryVariableOfEveryKindKeyEventAndTooltipHelpId)
{
    EveryKindGauge g;
    translateForEngine(g.gauge, 3);
    EXPECT_EQ(g.needle.source.id, 582u);
    EXPECT_EQ(g.icon.source.id, 127u + 2 * 35);
    EXPECT_EQ(g.text.sources[0].id, 390u + 2 * 39);
    EXPECT_EQ(g.text.sources[1].id, 0u) << "no variable stays no variable";
    EXPECT_EQ(g.text.sources[2].id, 428u + 2 * 39);
    EXPECT_EQ(g.slider.xSource.id, 716u);
    EXPECT_EQ(g.slider.ySource.id, 723u);
    EXPECT_EQ(g.image.xSource.id, 736u);
    EXPECT_EQ(g.image.ySource.id, 568u) << "568 lies just above the 558-567 row";
    EXPECT_EQ(g.sprite.xSource.id, 765u);
    EXPECT_EQ(g.sprite.ySource.id, 766u);
    EXPECT_EQ(g.sprite.rotationSource.id, 803u);
    EXPECT_EQ(g.areas[1].helpId, 12515u);
    EXPECT_EQ(g.areas[2].keyEventOrArgCount, 65927u + 2 * 6);
}

TEST(TranslateForEngine, LeavesRegionsHandlersTextTooltipsAndTheirArgumentsAlone)
{
    EveryKindGauge g;
    translateForEngine(g.gauge, 4);
    EXPECT_EQ(g.areas[0].helpId, 12513u) << "regions are not part of the walk";
    EXPECT_EQ(g.areas[1].box.x, 0);
    EXPECT_EQ(g.areas[1].box.y, 0);
    EXPECT_EQ(g.areas[3].keyEventOrArgCount, 0u) << "an area with a handler has no key event";
    EXPECT_EQ(g.areas[4].keyEventOrArgCount, 1u) << "a text tooltip's argument count";
    EXPECT_STREQ(g.areas[4].tooltipText, "Engine 1 oil pressure (%1!4.2f! kg/cm2)");
    EXPECT_EQ(g.args[0].source.id, 562u) << "tooltip arguments read what they read";
}

TEST(TranslateForEngine, EngineOneChangesNothing)
{
    EveryKindGauge g;
    std::vector<uint32_t> before = g.identifiers();
    translateForEngine(g.gauge, 1);
    EXPECT_EQ(g.identifiers(), before);
}

TEST(TranslateForEngine, StopsAtTheEndOfTheMouseList)
{
    EveryKindGauge g;
    g.areas[1] = listEnd();  // the tooltip after it is no longer in the list
    translateForEngine(g.gauge, 2);
    EXPECT_EQ(g.areas[2].keyEventOrArgCount, 65927u);
}

TEST(TranslateForEngine, ToleratesAbsentListsAndUnknownKinds)
{
    EveryKindGauge g;
    g.icon.common.kind = static_cast<ElementKind>(99);
    g.gauge.mouseAreas = nullptr;
    translateForEngine(g.gauge, 2);
    EXPECT_EQ(g.icon.source.id, 127u);
    EXPECT_EQ(g.needle.source.id, 572u);
    g.gauge.elements = nullptr;
    translateForEngine(g.gauge, 2);
}

// ---------------------------------------------------------------- malformed trees

TEST(TranslateForEngine, AnElementNamedInTwoListsMovesOnce)
{
    EveryKindGauge g;
    g.needleChildren[1] = &g.icon.common;  // the icon is also a child of the root
    translateForEngine(g.gauge, 2);
    EXPECT_EQ(g.icon.source.id, 127u + 35);
}

TEST(TranslateForEngine, ACycleInTheTreeEndsTheWalk)
{
    EveryKindGauge g;
    GaugeElement* loop[2] = {&g.root.common, nullptr};
    g.sprite.common.children = loop;  // the sprite claims the root as its child
    translateForEngine(g.gauge, 2);
    EXPECT_EQ(g.needle.source.id, 572u) << "translated once, not again round the loop";
    EXPECT_EQ(g.sprite.rotationSource.id, 802u);
}

TEST(TranslateForEngine, AnOverlyDeepChainIsWalkedOnlyToItsLimit)
{
    // 200 needles, each the only child of the one before.
    constexpr int depth = 200;
    std::vector<NeedleElement> chain(depth);
    std::vector<std::array<GaugeElement*, 2>> lists(depth);
    for (int i = 0; i < depth; ++i) {
        chain[i].common.kind = Needle;
        chain[i].source = hostVar(567);
        lists[i] = {&chain[i].common, nullptr};
        if (i > 0)
            chain[i - 1].common.children = lists[i].data();
    }
    GaugeDefinition gauge = gaugeHeader("Deep", 100, lists[0].data(), nullptr);
    translateForEngine(gauge, 2);
    EXPECT_EQ(chain[0].source.id, 577u);
    EXPECT_EQ(chain[depth - 1].source.id, 567u) << "beyond the depth limit nothing is touched";
}

TEST(TranslateForEngine, AMouseListWithoutItsEndIsWalkedOnlyToItsLimit)
{
    std::vector<MouseArea> areas(1000, hostTooltip(12513));
    areas.push_back(listEnd());
    GaugeDefinition gauge = gaugeHeader("Endless", 100, nullptr, areas.data());
    translateForEngine(gauge, 2);
    EXPECT_EQ(areas.front().helpId, 12514u);
    EXPECT_EQ(areas[999].helpId, 12513u);
}

// ---------------------------------------------------------------- the gauge callback

TEST(EngineTranslationCallback, TranslatesOnInstallationForTheParameterTextsEngine)
{
    EveryKindGauge g;
    char parameter[] = "2";
    g.gauge.parameter = parameter;
    engineTranslationCallback(&g.gauge, ServiceInstall, 0);
    EXPECT_EQ(g.needle.source.id, 572u);
    EXPECT_EQ(g.areas[1].helpId, 12514u);
}

TEST(EngineTranslationCallback, EveryOtherServiceCodeChangesNothing)
{
    EveryKindGauge g;
    char parameter[] = "4";
    g.gauge.parameter = parameter;
    std::vector<uint32_t> before = g.identifiers();
    for (int32_t code : {0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, -1, 1000})
        engineTranslationCallback(&g.gauge, code, 0);
    EXPECT_EQ(g.identifiers(), before);
}

TEST(EngineTranslationCallback, NoTextNoGaugeNoChange)
{
    EveryKindGauge g;
    std::vector<uint32_t> before = g.identifiers();
    engineTranslationCallback(&g.gauge, ServiceInstall, 0);
    EXPECT_EQ(g.identifiers(), before);
    engineTranslationCallback(nullptr, ServiceInstall, 0);
}

}  // namespace
