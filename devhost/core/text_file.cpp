#include "devhost/core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <array>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace devhost {

namespace {

#ifdef _WIN32
constexpr int OpenFlags = O_RDONLY | O_BINARY;
#else
constexpr int OpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
#endif

struct OpenFile {
    const int fd;
    explicit OpenFile(int opened) : fd(opened) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

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

TextFile readWholeFile(const std::string& path, std::string_view kind, uintmax_t maxBytes)
{
    // Opened without waiting, so that a pipe or a device of that name is
    // refused rather than waited on; what it is is asked of the file opened.
    const OpenFile file{::open(path.c_str(), OpenFlags)};
    struct stat status {};
    const bool opened = file.fd >= 0 && ::fstat(file.fd, &status) == 0;
    std::error_code error;
    // Windows opens no folder at all.
    if (opened ? S_ISDIR(status.st_mode) : std::filesystem::is_directory(path, error))
        return {.problem = "is a folder, not a " + std::string(kind)};
    if (!opened)
        return {.problem = "cannot be read"};
    if (!S_ISREG(status.st_mode))
        return {.problem = "is not a plain file (a pipe or a device?), not a " + std::string(kind)};
    const auto tooLarge = [&] {
        return TextFile{.problem = "is larger than a " + std::string(kind) + " may be (" +
                                   std::to_string(maxBytes >> 20) + " MiB)"};
    };
    if (uintmax_t(status.st_size) > maxBytes)
        return tooLarge();
    // The size said is not trusted: files of the system's own say 0.
    TextFile whole;
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const auto got = ::read(file.fd, buffer.data(), unsigned(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {.problem = "cannot be read (the read failed part way)"};
        if (got == 0)
            return whole;
        if (whole.text.size() + size_t(got) > maxBytes)
            return tooLarge();
        whole.text.append(buffer.data(), size_t(got));
    }
}

TextFile readTextFile(const std::string& path, std::string_view kind)
{
    TextFile file = readWholeFile(path, kind);
    if (!file.problem)
        file.problem = textEncodingProblem(file.text);
    return file;
}

}  // namespace devhost
