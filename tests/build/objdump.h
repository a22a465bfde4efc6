// What i686-w64-mingw32-objdump -p reads from a PE file's headers.
#pragma once

#include <cstdio>
#include <string>

inline std::string objdump(const char* path)
{
    std::string command = std::string("i686-w64-mingw32-objdump -p '") + path + "' 2>&1";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}
