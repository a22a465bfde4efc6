// Bad input from outside (a panel file, a flight script): the error names
// the file, the line and the problem, as "file:line: problem" ("file:
// problem" when the file as a whole is at fault, line 0).
#pragma once

#include <stdexcept>
#include <string>

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

}  // namespace devhost
