#include "devhost/core/text_file.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace devhost {

std::optional<std::string> textEncodingProblem(std::string_view text)
{
    const auto starts = [&](std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; };
    const char* encoding = nullptr;
    if (starts(std::string_view("\xFF\xFE\0\0", 4)) || starts(std::string_view("\0\0\xFE\xFF", 4)))
        encoding = "UTF-32";
    else if (starts("\xFF\xFE") || starts("\xFE\xFF"))
        encoding = "UTF-16";
    // Without a byte-order mark: ASCII text saved as UTF-16 has a zero byte
    // beside each of its first characters.
    else if (text.size() >= 4 && ((text[0] != 0 && text[1] == 0 && text[2] != 0 && text[3] == 0) ||
                                  (text[0] == 0 && text[1] != 0 && text[2] == 0 && text[3] != 0)))
        encoding = "UTF-16";
    if (!encoding)
        return std::nullopt;
    return std::string("is saved as ") + encoding + " (\"Unicode\"); save it as ANSI or UTF-8";
}

bool validUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > s.size())
            return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

TextFile readWholeFile(const std::string& path, std::string_view kind)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return {.problem = "is a folder, not a " + std::string(kind)};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {.problem = "cannot be read"};
    // Read by the stream, which turns a failed read into its bad state
    // rather than an end of file.
    TextFile file;
    std::array<char, 1 << 16> buffer;
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0)
        file.text.append(buffer.data(), size_t(in.gcount()));
    if (in.bad())
        return {.problem = "cannot be read (the read failed part way)"};
    return file;
}

TextFile readTextFile(const std::string& path, std::string_view kind)
{
    TextFile file = readWholeFile(path, kind);
    if (!file.problem)
        file.problem = textEncodingProblem(file.text);
    return file;
}

}  // namespace devhost
