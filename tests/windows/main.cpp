// windows_tests.exe [GoogleTest flags] --gau FILE [--x87-precision 24]
//
// The module under test is named at run time (--gau, or VARDEX_GAU in the
// environment), so the same program proves whichever .gau it is given: the
// build's, or the file unpacked from the release package.
//
// --x87-precision 24 runs every case with the x87 unit rounding to a
// float's 24-bit significand, as a Direct3D host may leave it while gauges
// run. The cases then require the same texts, frames, counters and events;
// only needle values get the wider tolerance of tests/module/precision.h.
#include <float.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Set before each case rather than once: a case (or the module) that
// changes the control word must not carry it into the next case.
class ReducedPrecision : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { _controlfp(_PC_24, _MCW_PC); }
};

int usage(const char* why)
{
    std::fprintf(stderr, "windows_tests: %s\nusage: windows_tests [GoogleTest flags] --gau FILE [--x87-precision 24]\n", why);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    std::string gau;
    if (const char* fromEnvironment = std::getenv("VARDEX_GAU"))
        gau = fromEnvironment;
    bool reduced = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--gau" && hasValue) {
            gau = argv[++i];
        } else if (arg == "--x87-precision" && hasValue) {
            if (std::string_view(argv[++i]) != "24")
                return usage("--x87-precision takes 24 (the only reduced precision a host leaves)");
            reduced = true;
        } else {
            return usage(("unknown argument " + std::string(arg)).c_str());
        }
    }
    if (gau.empty())
        return usage("no module file: give --gau FILE or set VARDEX_GAU");
    // The cases and the development host's library find the module here.
    if (_putenv_s("VARDEX_MODULE", gau.c_str()) != 0)
        return usage("cannot set VARDEX_MODULE");
    if (reduced) {
        testing::UnitTest::GetInstance()->listeners().Append(new ReducedPrecision);
        std::printf("Every case runs with the x87 unit at 24-bit precision\n");
    }
    return RUN_ALL_TESTS();
}
