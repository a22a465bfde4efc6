// The executable's name as both platforms cut it from its path.
#include <gtest/gtest.h>

#include <string>

#include "platform/executable_stem.h"

namespace {

struct StemCase {
    const char* path;
    const char* separators;
    size_t capacity;
    const char* stem;
};

TEST(ExecutableStem, IsTheFileNameUpToItsFirstDotCutToFit)
{
    for (const StemCase& c : {StemCase{"/usr/bin/devhost", "/", 16, "devhost"},
                              {"C:\\FS9\\fs9.exe", "\\/:", 16, "fs9"},
                              {"Z:cfs3.exe", "\\/:", 16, "cfs3"},
                              {"/a/b.c.d", "/", 16, "b"},
                              {"/opt/verylongname", "/", 5, "very"},
                              {"/x", "/", 1, ""},
                              {"", "/", 16, ""},
                              {nullptr, "/", 16, ""}}) {
        char out[16] = "garbage";
        platform::copyExecutableStem(c.path, c.separators, out, c.capacity);
        EXPECT_EQ(std::string(out), c.stem) << (c.path ? c.path : "null");
    }
}

}  // namespace
