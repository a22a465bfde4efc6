#include "devhost/core/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#include "devhost/core/suggest.h"
#include "devhost/core/text_file.h"

namespace devhost {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr int CreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_BINARY;
constexpr int NewFileMode = _S_IREAD | _S_IWRITE;
int flushToDisk(int fd) { return _commit(fd); }
#else
// O_EXCL alone refuses a link of the name, even one that leads nowhere;
// O_NOFOLLOW says so to the reader.
constexpr int CreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
constexpr int NewFileMode = 0666;   // less the umask, as any new file
int flushToDisk(int fd) { return fsync(fd); }
#endif

FileWriteError failure(const fs::path& path, std::error_code error)
{
#ifdef EDQUOT
    const bool quota = error.value() == EDQUOT && error.category() == std::generic_category();
#else
    const bool quota = false;
#endif
    if (error == std::errc::no_space_on_device || quota)
        return {path, WriteFailure::DiskFull, "the disk is full"};
    if (error == std::errc::read_only_file_system || error == std::errc::permission_denied ||
        error == std::errc::operation_not_permitted)
        return {path, WriteFailure::ReadOnly, "the folder is read-only, or not ours to write in"};
    if (error == std::errc::file_exists)
        return {path, WriteFailure::Exists, "it exists already"};
    return {path, WriteFailure::Other, error.message()};
}

FileWriteError lastFailure(const fs::path& path) { return failure(path, std::error_code(errno, std::generic_category())); }

// The bytes on their way: a file of a name no one else has, beside the
// target so that the rename stays on one disk, removed unless it became
// the target.
class Temporary {
public:
    explicit Temporary(const fs::path& target) : target_(target)
    {
        std::random_device random;
        for (int attempt = 0; fd_ < 0; ++attempt) {
            std::array<char, 16> tag;
            std::snprintf(tag.data(), tag.size(), "%08x", unsigned(random()));
            path_ = target.parent_path() / ("." + target.filename().string() + "." + tag.data() + ".devhost-new");
            fd_ = ::open(path_.string().c_str(), CreateFlags, NewFileMode);
            if (fd_ < 0 && (errno != EEXIST || attempt == 100))
                throw lastFailure(target);
        }
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary()
    {
        if (fd_ >= 0)
            ::close(fd_);
        std::error_code ignored;
        if (!renamed_)
            fs::remove(path_, ignored);
    }

    void keepPermissionsOf([[maybe_unused]] const fs::file_status& status)
    {
#ifndef _WIN32
        if (::fchmod(fd_, static_cast<mode_t>(status.permissions() & fs::perms::mask)) != 0)
            throw lastFailure(target_);
#endif
    }

    void write(std::string_view bytes)
    {
        constexpr size_t Chunk = size_t{1} << 30;   // what one write takes everywhere
        while (!bytes.empty()) {
            const auto written = ::write(fd_, bytes.data(), unsigned(std::min(bytes.size(), Chunk)));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw written == 0 ? failure(target_, std::make_error_code(std::errc::no_space_on_device))
                                   : lastFailure(target_);
            bytes.remove_prefix(size_t(written));
        }
        // A disk that takes the bytes into its cache may still refuse them
        // here, and the rename must not show a file the disk did not keep.
        const int flushed = flushToDisk(fd_);
        const int closed = ::close(fd_);
        fd_ = -1;
        if (flushed != 0 || closed != 0)
            throw lastFailure(target_);
    }

    // Over whatever has the name (Replace), or only when nothing has it:
    // a link made to the name fails when another file took it meanwhile.
    void rename(WriteMode mode)
    {
        std::error_code error;
        if (mode == WriteMode::Replace) {
            fs::rename(path_, target_, error);
            renamed_ = !error;
        } else {
            fs::create_hard_link(path_, target_, error);
        }
        if (error)
            throw failure(target_, error);
    }

private:
    fs::path target_, path_;
    int fd_ = -1;
    bool renamed_ = false;
};

// A name another file of the folder has but for the case: the same file on
// Windows.
bool takenButForCase(const fs::path& target)
{
    const std::string name = target.filename().string();
    std::error_code error;
    const fs::path folder = target.parent_path();
    for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end; it.increment(error))
        if (sameName(it->path().filename().string(), name))
            return true;
    return false;
}

}  // namespace

bool readOnly(const std::filesystem::file_status& status)
{
    constexpr auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writable) == fs::perms::none;
}

FileWriteError::FileWriteError(const std::filesystem::path& path, WriteFailure reason, std::string problem)
    : std::runtime_error("cannot write " + path.string() + ": " + problem), reason_(reason), problem_(std::move(problem))
{
}

namespace {

void writeWhole(const fs::path& target, std::string_view bytes, WriteMode mode, const Unchanged* unchanged)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (mode == WriteMode::CreateNew && (fs::exists(status) || takenButForCase(target)))
        throw FileWriteError(target, WriteFailure::Exists, "it exists already");
    if (fs::is_symlink(status))
        throw FileWriteError(target, WriteFailure::NotAFile,
                             "it is a link, which devhost does not write through: name the file it leads to");
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw FileWriteError(target, WriteFailure::NotAFile, "it is not a plain file (a folder or a device?)");
    // The rename would replace it all the same: its mode says to keep it.
    if (fs::exists(status) && readOnly(status))
        throw FileWriteError(target, WriteFailure::ReadOnly, "it is read-only");
    Temporary temporary(target);
    if (fs::exists(status))
        temporary.keepPermissionsOf(status);
    temporary.write(bytes);
    if (unchanged) {
        if (unchanged->beforeCheck)
            unchanged->beforeCheck();
        const TextFile now = readWholeFile(target.string(), "file");
        if (now.problem || now.text != unchanged->bytes)
            throw FileWriteError(target, WriteFailure::ChangedOnDisk, "it changed on disk since it was read");
    }
    temporary.rename(mode);
}

}  // namespace

void writeFileWhole(const std::filesystem::path& target, std::string_view bytes, WriteMode mode)
{
    writeWhole(target, bytes, mode, nullptr);
}

void writeFileWhole(const std::filesystem::path& target, std::string_view bytes, const Unchanged& unchanged)
{
    writeWhole(target, bytes, WriteMode::Replace, &unchanged);
}

std::optional<std::string> windowsNameProblem(std::string_view name)
{
    if (name.find_first_not_of(' ') == std::string_view::npos)
        return "is blank";
    if (name.back() == ' ' || name.back() == '.')
        return "ends in a space or a dot, which Windows drops";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
            return "has a character Windows does not take in a file name (< > : \" / \\ | ? * or a control "
                   "character)";
    // Windows opens the device, whatever the case, the extension and the
    // spaces before it.
    std::string_view stem = name.substr(0, name.find('.'));
    stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
    const bool numbered = stem.size() == 4 && stem[3] >= '0' && stem[3] <= '9' &&
                          (sameName(stem.substr(0, 3), "COM") || sameName(stem.substr(0, 3), "LPT"));
    if (numbered || sameName(stem, "CON") || sameName(stem, "PRN") || sameName(stem, "AUX") || sameName(stem, "NUL"))
        return "is a device's name on Windows (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9), not a file's";
    return std::nullopt;
}

}  // namespace devhost
