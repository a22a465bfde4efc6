// Tooltips as the pilot reads them: the gauges' texts with their inserts
// filled, and the host's own texts for its help ids.
#include "devhost/core/tooltip_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace devhost {
namespace {

using Args = std::vector<TooltipValue>;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

std::string format(std::string_view text, Args args = {})
{
    return formatTooltip(text, args);
}

TEST(GaugeTooltips, RadioFrequenciesPrintWithThreeDecimalsZeroPadded)
{
    EXPECT_EQ(format("Communications Radio COM1 - %1!07.3f! MHz", {118.025, std::string("on")}),
              "Communications Radio COM1 - 118.025 MHz");
    EXPECT_EQ(format("Navigation Radio NAV1 - %1!07.3f! MHz", {110.95, std::string("off"), std::string("off")}),
              "Navigation Radio NAV1 - 110.950 MHz");
}

TEST(GaugeTooltips, SwitchWordsComeFromTheNamedArgument)
{
    Args adf = {std::string("200-410"), std::string("on"), std::string("off")};
    EXPECT_EQ(format("Band selector (%1!s! KHz)", adf), "Band selector (200-410 KHz)");
    EXPECT_EQ(format("Tone switch (%2!s!)", adf), "Tone switch (on)");
    EXPECT_EQ(format("ADF main switch (%3!s!)", adf), "ADF main switch (off)");
    EXPECT_EQ(format("Transponder (IFF) main switch (%1!s!)", {std::string("on")}), "Transponder (IFF) main switch (on)");
}

TEST(GaugeTooltips, WholeNumbersAreCutTowardZero)
{
    EXPECT_EQ(format("Tachometer Engine 1 (%1!d! RPM)", {9100.0}), "Tachometer Engine 1 (9100 RPM)");
    EXPECT_EQ(format("Main front tank level (%1!d! liters)", {378.5}), "Main front tank level (378 liters)");
    EXPECT_EQ(format("Flaps position indicator (%1!d!\xC2\xB0)", {6.0}), "Flaps position indicator (6\xC2\xB0)");
    EXPECT_EQ(format("%1!d!", {-2.9}), "-2");
}

TEST(GaugeTooltips, PressuresKeepTheirWidthAndDecimals)
{
    EXPECT_EQ(format("Engine 1 oil pressure (%1!4.2f! kg/cm2)", {5.0}), "Engine 1 oil pressure (5.00 kg/cm2)");
    EXPECT_EQ(format("(%1!04.2f! kg/cm2)", {0.0}), "(0.00 kg/cm2)");
    EXPECT_EQ(format("(%1!04.2f! kg/cm2)", {1.6}), "(1.60 kg/cm2)");
    EXPECT_EQ(format("Engine 1 fuel pressure (%1!4.1f! kg/cm2)", {1.0}), "Engine 1 fuel pressure ( 1.0 kg/cm2)");
    EXPECT_EQ(format("(%1!4.1f!)", {-3.25}), "(-3.2)");
}

TEST(MessageFormatter, PlainInsertsPercentSignsAndTheEndMark)
{
    EXPECT_EQ(format("%1 and %2", {std::string("a"), std::string("b")}), "a and b");
    EXPECT_EQ(format("100%% sure"), "100% sure");
    EXPECT_EQ(format("shown%0 hidden"), "shown");
    EXPECT_EQ(format("ends in %"), "ends in %");
    EXPECT_EQ(format("a%nb%tc%bd%.e%!f"), "a\nb\tc d.e!f");
}

TEST(MessageFormatter, ArgumentNumbersRunToTwoDigits)
{
    Args twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.push_back(std::to_string(i));
    EXPECT_EQ(format("%12!s!|%1!s!", twelve), "12|1");
    EXPECT_EQ(format("%100", twelve), "100") << "argument 10, then a plain 0";
}

TEST(MessageFormatter, OtherConversionsAndFlags)
{
    EXPECT_EQ(format("[%1!-6s!]", {std::string("on")}), "[on    ]");
    EXPECT_EQ(format("[%1!6s!]", {std::string("on")}), "[    on]");
    EXPECT_EQ(format("%1!.2s!", {std::string("offline")}), "of");
    EXPECT_EQ(format("%1!x!/%1!X!/%1!o!/%1!u!", {255.0}), "ff/FF/377/255");
    EXPECT_EQ(format("%1!+d!", {5.0}), "+5");
    EXPECT_EQ(format("%1!e!", {1500.0}), "1.500000e+03");
    EXPECT_EQ(format("%1!g!", {0.5}), "0.5");
    EXPECT_EQ(format("%1!c!%2!c!", {65.0, std::string("Bz")}), "AB");
    EXPECT_EQ(format("%1!ld!|%1!I64d!", {42.0}), "42|42") << "length modifiers change nothing";
}

TEST(UnsafeInserts, MissingArgumentsPrintAQuestionMark)
{
    EXPECT_EQ(format("Tone switch (%2!s!)", {std::string("on")}), "Tone switch (?)");
    EXPECT_EQ(format("%1!d! RPM"), "? RPM");
    EXPECT_EQ(format("%3"), "?");
}

TEST(UnsafeInserts, SpecsThatAreNotOneConversionPrintAQuestionMark)
{
    Args one = {1.0};
    EXPECT_EQ(format("[%1!n!]", one), "[?]") << "never a write through a pointer";
    EXPECT_EQ(format("[%1!q!]", one), "[?]");
    EXPECT_EQ(format("[%1!!]", one), "[?]");
    EXPECT_EQ(format("[%1!07.3!]", one), "[?]");
    EXPECT_EQ(format("[%1!*d!]", one), "[?]");
    EXPECT_EQ(format("[%1!d%s!]", one), "[?]");
    EXPECT_EQ(format("[%1!5.5.5f!]", one), "[?]");
    EXPECT_EQ(format("[%1!07.3f]", one), "[?07.3f]") << "an insert that never closes";
}

TEST(UnsafeInserts, HugeWidthsAndPrecisionsAreRefused)
{
    EXPECT_EQ(format("%1!5000d!", {1.0}), "?");
    EXPECT_EQ(format("%1!99999999999999999999d!", {1.0}), "?");
    EXPECT_EQ(format("%1!.101f!", {1.0}), "?");
    EXPECT_EQ(format("%1!100d!", {1.0}).size(), 100u) << "the widest field allowed";
    EXPECT_EQ(format("%1!.100f!", {1e308}).size(), 309u + 1 + 100);
}

TEST(UnsafeInserts, NonFiniteNumbers)
{
    EXPECT_EQ(format("%1!d!", {NaN}), "?");
    EXPECT_EQ(format("%1!d!", {Inf}), "?");
    EXPECT_EQ(format("%1!u!", {-Inf}), "?");
    EXPECT_EQ(format("%1!d!", {1e30}), "?") << "beyond every integer";
    EXPECT_EQ(format("%1!u!", {-1.0}), "?") << "an unsigned conversion of a negative value";
    EXPECT_EQ(format("%1!c!", {0.0}), "?");
    EXPECT_EQ(format("%1!4.2f!", {NaN}), " nan");
    EXPECT_EQ(format("%1!-5f!|", {Inf}), "inf  |");
    EXPECT_EQ(format("%1!07.3f!", {-Inf}), "   -inf");
}

TEST(UnsafeInserts, ANumberIsNotATextNorATextANumber)
{
    EXPECT_EQ(format("%1!s!", {1.5}), "?");
    EXPECT_EQ(format("%1", {1.5}), "?");
    EXPECT_EQ(format("%1!d!", {std::string("12")}), "?");
    EXPECT_EQ(format("%1!c!", {std::string()}), "?");
}

TEST(UnsafeInserts, FlagsTheCLibraryLeavesUndefinedAreDropped)
{
    EXPECT_EQ(format("[%1!05s!]", {std::string("on")}), "[   on]");
    EXPECT_EQ(format("[%1!#d!]", {7.0}), "[7]");
    EXPECT_EQ(format("[%1!#x!]", {255.0}), "[0xff]");
    EXPECT_EQ(format("[%1!--++d!]", {7.0}), "[+7]") << "repeated flags count once";
}

TEST(HostHelp, EveryHelpIdTheGaugesNameHasAShortText)
{
    const uint32_t ids[] = {12289, 12290, 12368, 12369, 12372, 12432, 12434, 12440, 12441, 12513, 12514,
                            12515, 12516, 12656, 12672, 12808, 43776, 43798, 43853, 43873, 43910, 43911,
                            43912, 43913, 43914, 43915, 43919, 43923, 43924};
    for (uint32_t id : ids) {
        EXPECT_FALSE(hostHelpText(id).empty()) << id;
        EXPECT_LT(hostHelpText(id).size(), 60u) << id;
    }
    EXPECT_NE(hostHelpText(12514).find('2'), std::string_view::npos) << "the engine 2 copy names engine 2";
    EXPECT_NE(hostHelpText(12516).find('4'), std::string_view::npos);
    EXPECT_EQ(hostHelpText(0), "");
    EXPECT_EQ(hostHelpText(12449), "");
}

TEST(TooltipDisplay, TheFlapsDegreeSignPrintsAsUtf8)
{
    EXPECT_EQ(windows1252ToUtf8("Flaps position indicator (20\xB0)"), "Flaps position indicator (20\xC2\xB0)");
}

TEST(TooltipDisplay, PlainTextPassesUnchanged)
{
    EXPECT_EQ(windows1252ToUtf8("COM1 main switch (on)"), "COM1 main switch (on)");
    EXPECT_EQ(windows1252ToUtf8(""), "");
}

TEST(TooltipDisplay, TheCodePagesTypographicRowMapsToItsOwnSigns)
{
    EXPECT_EQ(windows1252ToUtf8("\x80"), "\xE2\x82\xAC") << "euro sign";
    EXPECT_EQ(windows1252ToUtf8("\x96"), "\xE2\x80\x93") << "en dash";
    EXPECT_EQ(windows1252ToUtf8("\xFF"), "\xC3\xBF") << "y with diaeresis";
}

TEST(TooltipDisplay, UnassignedBytesBecomeTheReplacementCharacterNotBrokenUtf8)
{
    EXPECT_EQ(windows1252ToUtf8("a\x81" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(windows1252ToUtf8(std::string_view("\0x", 2)), std::string("\0x", 2)) << "a NUL stays a NUL";
}

}  // namespace
}  // namespace devhost
