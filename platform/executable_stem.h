// The part of hostExecutableName that does not depend on the system: both
// platforms find the executable's path their own way and cut it here.
#pragma once

#include <cstddef>
#include <cstring>

namespace platform {

// The file name in `path` after the last of `separators`, up to its first
// dot, cut to fit `capacity` with the terminating zero; empty for no path.
inline void copyExecutableStem(const char* path, const char* separators, char* out, size_t capacity)
{
    if (!out || capacity == 0)
        return;
    out[0] = '\0';
    if (!path)
        return;
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (std::strchr(separators, *p))
            base = p + 1;
    size_t length = std::strcspn(base, ".");
    if (length >= capacity)
        length = capacity - 1;
    std::memcpy(out, base, length);
    out[length] = '\0';
}

}  // namespace platform
