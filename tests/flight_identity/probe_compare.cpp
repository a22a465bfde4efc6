// probe_compare NATIVE WINDOWS [RELATIVE_TOLERANCE]
//
// Compares what two builds of the development host printed for the same
// run (`devhost run --json-lines`): devhost on Vardex_Instr.so and
// devhost.exe on Vardex_Instr.gau. Both print with the same JSON writer, so
// the two texts must agree token for token: names, texts, whole numbers
// (frames, flags, event ids and values, counters), literals and layout
// exactly; only numbers with a fraction or exponent (needle values, angles,
// offsets, times) may differ, by at most the relative tolerance (of the
// larger magnitude, at least 1). The .gau computes in the x87 unit, whose
// intermediate results carry 64-bit significands and are rounded once more
// when stored; the native build rounds each operation to a double's 53
// bits. The difference is a few units in the last place per operation,
// grown by lags that feed a value back frame after frame: over the demo
// flight at most 2.3e-13 of the value, far below the default tolerance of
// 1e-10, which any real difference of behaviour exceeds.
//
// A text that prints a number (a reading, "Tachometer Engine 2 (7189 RPM)")
// prints it rounded: two values a few units in the last place apart round
// apart when they straddle a half, so a printed figure may differ by one
// unit of its last digit; every other character of the text must agree.
//
// The two files are read as streams, a token at a time, so that a whole
// flight with a probe every frame needs no more memory than one token.
// Prints the first differences with their place, the largest relative
// difference of the numbers that agreed within the tolerance, and exits 1
// when anything differs.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double defaultTolerance = 1e-10;
constexpr int differencesShown = 20;

struct Token {
    enum Kind { End, Punctuation, String, Whole, Real, Literal, Bad } kind = End;
    std::string text;
};

// The figures printed in a text: its runs of digits, each with the sign and
// the decimal point that belong to it; the rest of the text beside them.
struct Figures {
    std::string rest;
    std::vector<std::string> numbers;
};

Figures figuresOf(const std::string& text)
{
    Figures figures;
    for (size_t i = 0; i < text.size();) {
        const bool sign = text[i] == '-' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]));
        if (!sign && !std::isdigit(static_cast<unsigned char>(text[i]))) {
            figures.rest += text[i++];
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) ||
                                     (text[end] == '.' && end + 1 < text.size() &&
                                      std::isdigit(static_cast<unsigned char>(text[end + 1])))))
            ++end;
        figures.rest += '#';
        figures.numbers.push_back(text.substr(i, end - i));
        i = end;
    }
    return figures;
}

// Two printed figures of as many decimals at most one unit of the last apart.
bool oneLastDigitApart(const std::string& a, const std::string& b)
{
    const size_t pointA = a.find('.'), pointB = b.find('.');
    const size_t decimalsA = pointA == std::string::npos ? 0 : a.size() - pointA - 1;
    const size_t decimalsB = pointB == std::string::npos ? 0 : b.size() - pointB - 1;
    if (decimalsA != decimalsB)
        return false;
    const double unit = std::pow(10.0, -static_cast<double>(decimalsA));
    return std::abs(std::strtod(a.c_str(), nullptr) - std::strtod(b.c_str(), nullptr)) <= unit * 1.000001;
}

bool sameTextWithinPrinting(const std::string& a, const std::string& b)
{
    const Figures x = figuresOf(a), y = figuresOf(b);
    if (x.rest != y.rest || x.numbers.size() != y.numbers.size())
        return false;
    for (size_t i = 0; i < x.numbers.size(); ++i)
        if (x.numbers[i] != y.numbers[i] && !oneLastDigitApart(x.numbers[i], y.numbers[i]))
            return false;
    return true;
}

// JSON tokens, with the place of each: the line (one report per line) and
// the path of keys and indices within it.
class TokenStream {
public:
    explicit TokenStream(std::istream& in) : in_(in) {}

    Token next()
    {
        Token token = read();
        follow(token);
        return token;
    }

    std::string place() const
    {
        std::string text = "line " + std::to_string(line_);
        for (const Level& level : path_)
            text += level.array ? "[" + std::to_string(level.index) + "]" : "." + level.key;
        return text;
    }

private:
    struct Level {
        bool array;
        size_t index = 0;
        std::string key;
    };

    Token read()
    {
        int c = in_.get();
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (c == '\n')
                ++line_;
            c = in_.get();
        }
        if (c == EOF)
            return {Token::End, {}};
        if (c == '{' || c == '}' || c == '[' || c == ']' || c == ':' || c == ',')
            return {Token::Punctuation, std::string(1, char(c))};
        if (c == '"') {
            std::string text;
            for (c = in_.get(); c != EOF && c != '"'; c = in_.get()) {
                text += char(c);
                if (c == '\\' && (c = in_.get()) != EOF)
                    text += char(c);
            }
            return {c == '"' ? Token::String : Token::Bad, text};
        }
        std::string text(1, char(c));
        while ((c = in_.peek()) != EOF && (std::isalnum(c) || c == '.' || c == '-' || c == '+'))
            text += char(in_.get());
        if (std::isalpha(static_cast<unsigned char>(text[0])))
            return {Token::Literal, text};
        bool real = text.find_first_of(".eE") != std::string::npos;
        return {real ? Token::Real : Token::Whole, text};
    }

    void follow(const Token& token)
    {
        if (token.kind == Token::String && expectKey_) {
            path_.back().key = token.text;
            expectKey_ = false;
            return;
        }
        if (token.kind != Token::Punctuation)
            return;
        switch (token.text[0]) {
        case '{': path_.push_back({.array = false}); expectKey_ = true; break;
        case '[': path_.push_back({.array = true}); break;
        case '}':
        case ']':
            if (!path_.empty())
                path_.pop_back();
            break;
        case ',':
            if (!path_.empty() && path_.back().array)
                ++path_.back().index;
            else
                expectKey_ = true;
            break;
        }
    }

    std::istream& in_;
    size_t line_ = 1;
    std::vector<Level> path_;
    bool expectKey_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: probe_compare NATIVE WINDOWS [RELATIVE_TOLERANCE]\n");
        return 2;
    }
    const double tolerance = argc == 4 ? std::strtod(argv[3], nullptr) : defaultTolerance;
    if (!(tolerance >= 0)) {
        std::fprintf(stderr, "probe_compare: tolerance '%s' is not a number of 0 or more\n", argv[3]);
        return 2;
    }
    std::ifstream nativeFile(argv[1], std::ios::binary), windowsFile(argv[2], std::ios::binary);
    for (auto [file, name] : {std::pair{&nativeFile, argv[1]}, std::pair{&windowsFile, argv[2]}}) {
        if (!*file) {
            std::fprintf(stderr, "probe_compare: cannot read %s\n", name);
            return 2;
        }
    }
    TokenStream native(nativeFile), windows(windowsFile);
    size_t tokens = 0, reals = 0, differences = 0, roundedFigures = 0;
    double largest = 0;
    std::string largestPlace;
    for (;;) {
        const Token a = native.next(), b = windows.next();
        if (a.kind == Token::End && b.kind == Token::End)
            break;
        ++tokens;
        bool same = a.kind == b.kind && a.kind != Token::Bad && a.text == b.text;
        if (!same && a.kind == Token::Real && b.kind == Token::Real) {
            const double x = std::strtod(a.text.c_str(), nullptr), y = std::strtod(b.text.c_str(), nullptr);
            const double relative = std::abs(x - y) / std::max({1.0, std::abs(x), std::abs(y)});
            same = relative <= tolerance;
            if (same && relative > largest) {
                largest = relative;
                largestPlace = native.place();
            }
        }
        if (!same && a.kind == Token::String && b.kind == Token::String && sameTextWithinPrinting(a.text, b.text)) {
            same = true;
            ++roundedFigures;
        }
        reals += a.kind == Token::Real;
        if (!same && ++differences <= differencesShown)
            std::printf("%s: native %s, Windows %s\n", native.place().c_str(),
                        a.kind == Token::End ? "(ended)" : a.text.c_str(),
                        b.kind == Token::End ? "(ended)" : b.text.c_str());
        if (a.kind == Token::End || b.kind == Token::End)
            break;
    }
    std::printf("%zu tokens compared, %zu of them numbers with a fraction; %zu differ beyond the tolerance of %g\n",
                tokens, reals, differences, tolerance);
    if (roundedFigures > 0)
        std::printf("%zu texts print a figure one unit of its last digit apart\n", roundedFigures);
    if (largest > 0)
        std::printf("largest relative difference within it: %.3g, at %s\n", largest, largestPlace.c_str());
    return differences == 0 && tokens > 0 ? 0 : 1;
}
