// The module's declared resource numbers, read from resources/resource_numbers.cmake,
// so that the tests check what the build was asked to embed.
#pragma once

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

// The numbers of `set(NAME 1 2 3 ...)` in the numbers file, by NAME;
// "#" starts a comment.
inline std::map<std::string, std::vector<unsigned>> declaredResourceNumbers()
{
    std::ifstream in(std::string(VARDEX_SOURCE_DIR) + "/resources/resource_numbers.cmake");
    std::string text, line;
    while (std::getline(in, line))
        text += line.substr(0, line.find('#')) + "\n";
    std::map<std::string, std::vector<unsigned>> sets;
    std::regex set(R"(set\(\s*(\w+)([^)]*)\))");
    for (std::sregex_iterator it(text.begin(), text.end(), set), end; it != end; ++it) {
        std::istringstream numbers((*it)[2].str());
        unsigned n;
        auto& list = sets[(*it)[1]];
        while (numbers >> n)
            list.push_back(n);
    }
    return sets;
}
