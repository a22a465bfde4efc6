// windows_tests.exe [GoogleTest flags] --gau FILE
//
// The module under test is named at run time (--gau, or VARDEX_GAU in the
// environment), so the same program proves whichever .gau it is given: the
// build's, or the file unpacked from the release package.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int usage(const char* why)
{
    std::fprintf(stderr, "windows_tests: %s\nusage: windows_tests [GoogleTest flags] --gau FILE\n", why);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::string gau;
    if (const char* fromEnvironment = std::getenv("VARDEX_GAU"))
        gau = fromEnvironment;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--gau" && hasValue) {
            gau = argv[++i];
        } else {
            return usage(("unknown argument " + std::string(arg)).c_str());
        }
    }
    if (gau.empty())
        return usage("no module file: give --gau FILE or set VARDEX_GAU");
    // The cases and the development host's library find the module here.
    if (_putenv_s("VARDEX_MODULE", gau.c_str()) != 0)
        return usage("cannot set VARDEX_MODULE");
    return RUN_ALL_TESTS();
}
