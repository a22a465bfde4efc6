// Outside input that a designer or a module may get wrong in any way: panel
// texts and tooltip formats, mutated at random (a fixed seed, a bounded
// number of rounds) to show that nothing crashes, hangs or throws anything
// but a PanelError. Run under the sanitizers, this is the fuzzing the
// development host gets without libFuzzer.
#include "devhost/core/panel_file.h"
#include "devhost/core/tooltip_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

namespace devhost {
namespace {

using namespace std::string_view_literals;
constexpr std::string_view syntaxCharacters = "[]=!,;/\r\n\t -+.0123456789gauge_windowsize\xEF\xBB\xBF\0"sv;

class Mutator {
public:
    explicit Mutator(uint32_t seed) : random_(seed) {}

    size_t below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    char syntaxCharacter() { return syntaxCharacters[below(syntaxCharacters.size())]; }

    void mutate(std::string& text)
    {
        switch (below(6)) {
        case 0:  // flip a byte
            if (!text.empty())
                text[below(text.size())] ^= static_cast<char>(1 + below(255));
            break;
        case 1:  // insert a character that means something to the syntax
            text.insert(text.begin() + static_cast<std::ptrdiff_t>(below(text.size() + 1)), syntaxCharacter());
            break;
        case 2: {  // cut a stretch
            size_t at = below(text.size() + 1);
            text.erase(at, below(40));
            break;
        }
        case 3: {  // repeat a stretch somewhere else (duplicate lines, sections)
            size_t at = below(text.size() + 1), length = below(120);
            std::string piece = text.substr(at, length);
            text.insert(below(text.size() + 1), piece);
            break;
        }
        case 4: {  // a long run of digits where a number stands
            size_t at = text.find_first_of("0123456789", below(text.size() + 1));
            if (at != std::string::npos)
                text.insert(at, std::string(1 + below(30), '9'));
            break;
        }
        default:  // truncate
            text.resize(below(text.size() + 1));
            break;
        }
    }

private:
    std::mt19937 random_;
};

TEST(Robustness, MutatedPanelTextsAreParsedOrRefusedWithALine)
{
    Mutator mutator(20261207);
    const std::string original(defaultPanelText());
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = original;
        for (size_t edits = 1 + mutator.below(8); edits > 0; --edits)
            mutator.mutate(text);
        // Lines end at LF, CRLF or a lone CR, as the parser reads them.
        int lines = 1;
        for (size_t i = 0; i < text.size(); ++i)
            lines += text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
        try {
            Panel panel = parsePanel(text, "fuzz.cfg");
            for (const auto& w : panel.warnings)
                EXPECT_TRUE(w.line >= 0 && w.line <= lines);
            for (const auto& window : panel.windows)
                for (const auto& g : window.gauges) {
                    EXPECT_TRUE(g.line >= 1 && g.line <= lines);
                    EXPECT_FALSE(g.module.empty() || g.gauge.empty());
                    EXPECT_TRUE(!g.width || *g.width > 0);
                }
        } catch (const PanelError& e) {
            ++refused;
            EXPECT_TRUE(e.line() >= 1 && e.line() <= lines) << e.what();
            EXPECT_FALSE(e.problem().empty());
        }
    }
    // The mutations must reach the error paths as well as the good ones.
    EXPECT_GT(refused, 300);
    EXPECT_LT(refused, 2900);
}

TEST(Robustness, RandomTooltipFormatsFormatWithoutReadingOrWritingOutOfBounds)
{
    const std::vector<std::string_view> pieces = {"%", "%1", "%2", "%3", "%12", "%0", "%%", "!", "!s!", "!d!",
                                                  "!07.3f!", "!4.2f!", "!n!", "!*d!", "!-+ #0", "9999", ".", "5",
                                                  "l", "I64", "x", "c", "e", "g", "u", "Text ", "\xC2\xB0"};
    const std::vector<TooltipValue> values = {0.0,
                                              -1.0,
                                              118.025,
                                              1e308,
                                              -1e308,
                                              std::numeric_limits<double>::quiet_NaN(),
                                              std::numeric_limits<double>::infinity(),
                                              std::numeric_limits<double>::denorm_min(),
                                              std::string(),
                                              std::string("on"),
                                              std::string(500, 'x')};
    Mutator mutator(7);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (size_t n = 1 + mutator.below(10); n > 0; --n)
            text += pieces[mutator.below(pieces.size())];
        std::vector<TooltipValue> args;
        for (size_t n = mutator.below(4); n > 0; --n)
            args.push_back(values[mutator.below(values.size())]);
        std::string shown = formatTooltip(text, args);
        // Every insert is bounded: a field at most 100 wide plus the longest
        // argument, or the 100-digit decimals of the largest double.
        EXPECT_LE(shown.size(), text.size() * 520) << text;
    }
}

}  // namespace
}  // namespace devhost
