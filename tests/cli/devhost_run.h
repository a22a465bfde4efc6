// Runs the devhost program as a user does, for the tests of its commands.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace devhost::testing {

// A folder of this test program's own, removed when it ends.
inline const std::string& scratchFolder()
{
    static const struct Scratch {
        std::string path;
        Scratch()
        {
            char pattern[] = "/tmp/devhost_cli_XXXXXX";
            path = mkdtemp(pattern) ? pattern : "/tmp";
        }
        ~Scratch()
        {
            std::error_code ignored;
            if (path != "/tmp")
                std::filesystem::remove_all(path, ignored);
        }
    } scratch;
    return scratch.path;
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

// `devhost ARGS` through the shell, from a scratch folder, so that ARGS may
// quote and name files written there.
inline Outcome devhost(const std::string& args)
{
    const std::string folder = scratchFolder();
    const std::string command = "cd '" + folder + "' && '" VARDEX_DEVHOST "' " + args + " 2>stderr.txt";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return outcome;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        outcome.out.append(buffer, n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(folder + "/stderr.txt");
    std::stringstream text;
    text << err.rdbuf();
    outcome.err = text.str();
    return outcome;
}

inline nlohmann::json devhostJson(const std::string& args) { return nlohmann::json::parse(devhost(args).out); }

// A file in the scratch folder, for panel files and flight scripts.
inline void writeScratch(const std::string& name, const std::string& text)
{
    std::ofstream(scratchFolder() + "/" + name, std::ios::binary) << text;
}

inline std::string readScratch(const std::string& name)
{
    std::ifstream in(scratchFolder() + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace devhost::testing
