// What i686-w64-mingw32-objdump reads from a PE file's headers (-p), or
// another of its reports (-h: the sections).
#pragma once

#include <cstdio>
#include <regex>
#include <set>
#include <string>

inline std::string objdump(const char* path, const char* report = "-p")
{
    std::string command = std::string("i686-w64-mingw32-objdump ") + report + " '" + path + "' 2>&1";
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

// The names of the export name table in objdump -p's report: "[Ordinal/Name
// Pointer] Table" then one "[   0] Name" row per export, up to a blank line.
inline std::set<std::string> exportedNames(const std::string& headers)
{
    std::set<std::string> names;
    auto start = headers.find("[Ordinal/Name Pointer] Table");
    if (start == std::string::npos)
        return names;
    auto stop = headers.find("\n\n", start);
    std::string table = headers.substr(start, stop - start);
    std::regex row(R"(\n\s*\[\s*\d+\]\s+(\S+))");
    for (std::sregex_iterator it(table.begin(), table.end(), row), end; it != end; ++it)
        names.insert((*it)[1]);
    return names;
}
