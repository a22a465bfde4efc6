// Reading the text files a user hands the development host (panel files,
// flight scripts): one way, with the same checks and the same messages.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace devhost {

// Why the text cannot be read as ANSI or UTF-8 (it is UTF-16 or UTF-32,
// as Windows editors save "Unicode"), or nothing when it can.
std::optional<std::string> textEncodingProblem(std::string_view text);

// Whether the bytes are UTF-8; text that is not was written in a Windows
// code page.
bool validUtf8(std::string_view text);

// Far above any real panel or flight, far below what a mistaken name
// (a disk image, a log) would take.
inline constexpr uintmax_t MaxTextFileBytes = uintmax_t{16} << 20;

// The whole file, or the problem as a message about the file (a folder,
// a pipe or a device, larger than `maxBytes`, unreadable, a read that
// failed part way, and for a text an encoding not taken). `kind` names
// what the file should be, e.g. "panel file".
struct TextFile {
    std::string text;
    std::optional<std::string> problem;
};
TextFile readWholeFile(const std::string& path, std::string_view kind,
                       uintmax_t maxBytes = MaxTextFileBytes);   // any bytes
TextFile readTextFile(const std::string& path, std::string_view kind);    // ANSI or UTF-8

// The same, throwing Error(path, 0, problem) (an InputError).
template <typename Error>
std::string readTextFileOrThrow(const std::string& path, std::string_view kind)
{
    TextFile file = readTextFile(path, kind);
    if (file.problem)
        throw Error(path, 0, *file.problem);
    return std::move(file.text);
}

}  // namespace devhost
