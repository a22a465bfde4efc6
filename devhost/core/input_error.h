// Bad input from outside (a panel file, a flight script): the error names
// the file, the line and the problem, as "file:line: problem" ("file:
// problem" when the file as a whole is at fault, line 0).
#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace devhost {

class InputError : public std::runtime_error {
public:
    InputError(std::string file, int line, std::string problem)
        : std::runtime_error(line > 0 ? file + ":" + std::to_string(line) + ": " + problem : file + ": " + problem),
          file_(std::move(file)),
          problem_(std::move(problem)),
          line_(line)
    {
    }
    const std::string& file() const { return file_; }
    int line() const { return line_; }               // 0 when the file as a whole is at fault
    const std::string& problem() const { return problem_; }

private:
    std::string file_, problem_;
    int line_;
};

// The most keys one JSON object read from outside may hold (a flight script,
// a request's body): far more than any has, and few enough that building
// the object stays quick.
inline constexpr size_t MaxJsonObjectKeys = 10000;

// Input quoted back in a message, cut to a length one can read: a line of
// ten megabytes would otherwise fill the terminal. A cut never splits a
// UTF-8 character. A control byte is written as an escape (\0, \n, \x1b):
// a NUL would end the message there, and an ESC from a file would reach the
// terminal as a command.
inline std::string excerpt(std::string_view text, size_t limit = 80)
{
    size_t cut = std::min(limit, text.size());
    while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    std::string shown;
    for (char c : text.substr(0, cut)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F)
            shown += c;
        else if (c == '\0' || c == '\n' || c == '\r' || c == '\t')
            shown += c == '\0' ? "\\0" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        else
            shown += std::string("\\x") + "0123456789abcdef"[byte >> 4] + "0123456789abcdef"[byte & 15];
    }
    if (cut < text.size())
        shown += "... (" + std::to_string(text.size()) + " bytes)";
    return shown;
}

}  // namespace devhost
