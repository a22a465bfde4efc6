// Every file devhost writes (panel files and their .bak, pictures,
// animations, reports, reference pages) is written one way: whole or not at
// all, never through a link, never over anything but a plain file.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace devhost {

// Why a file was not written, for callers that answer differently (a
// status code, a hint): the folder refuses (read-only, not ours), the disk
// is full, the name is a link, a folder or a device, a new file's name was
// taken, the file changed since it was read, or anything else.
enum class WriteFailure { ReadOnly, DiskFull, NotAFile, Exists, ChangedOnDisk, Other };

class FileWriteError : public std::runtime_error {
public:
    FileWriteError(const std::filesystem::path& path, WriteFailure reason, std::string problem);
    WriteFailure reason() const { return reason_; }
    // The end of a sentence about the file ("the disk is full"); what()
    // is "cannot write PATH: " and this.
    const std::string& problem() const { return problem_; }

private:
    WriteFailure reason_;
    std::string problem_;
};

enum class WriteMode {
    Replace,     // over the file of that name, keeping its permissions, or as a new one
    CreateNew,   // refused (Exists) when the name is taken, even by a file made meanwhile
};

// The bytes go to a file of a name of their own beside `target`, created
// afresh (never an existing file or a link of that name), flushed to the
// disk, then renamed to `target`: a reader sees the old file or the new,
// whole. A `target` that is a link is refused, not followed (nor replaced:
// the link was made on purpose), as is one read-only; the temporary is
// removed on every failure.
// Throws FileWriteError.
void writeFileWhole(const std::filesystem::path& target, std::string_view bytes, WriteMode mode = WriteMode::Replace);

// A file replaced only while it holds what was read from it: checked right
// before the rename, as late as a program can look, so that another
// program's change made meanwhile is refused (ChangedOnDisk), never lost.
struct Unchanged {
    std::string_view bytes;            // the file as read
    std::function<void()> beforeCheck; // tests change the file here, the new bytes ready beside it
};
void writeFileWhole(const std::filesystem::path& target, std::string_view bytes, const Unchanged& unchanged);

// Whether a file's mode lets no one write it, which writeFileWhole
// honours though replacing the file would only need its folder writable.
bool readOnly(const std::filesystem::file_status& status);

// Why Windows, where the simulator runs, would refuse or misread `name` as
// a file name (a device name such as CON or com1.cfg, a character it does
// not take, a blank name or one ending in a space or a dot), or nothing.
std::optional<std::string> windowsNameProblem(std::string_view name);

}  // namespace devhost
