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
// UTF-8 character. A NUL byte is written \0: the message would end there.
inline std::string excerpt(std::string_view text, size_t limit = 80)
{
    if (text.find('\0') != std::string_view::npos) {
        std::string shown;
        for (char c : text.substr(0, limit))
            shown += c == '\0' ? std::string("\\0") : std::string(1, c);
        return excerpt(shown, limit + (shown.size() - std::min(text.size(), limit))) +
               (text.size() > limit ? "... (" + std::to_string(text.size()) + " bytes)" : "");
    }
    if (text.size() <= limit)
        return std::string(text);
    while (limit > 0 && (static_cast<unsigned char>(text[limit]) & 0xC0) == 0x80)
        --limit;
    return std::string(text.substr(0, limit)) + "... (" + std::to_string(text.size()) + " bytes)";
}

}  // namespace devhost
