// What the render tests need around them: SDL told of a driver it does not
// have unless the caller names one, so that the sound gauges the tests place
// and click work on in silence with no audio thread to wait for, and Cairo's and fontconfig's process-wide caches
// given back once every test has run, so that the leak checker of the
// sanitizer build reports only leaks of our own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "devhost/render/cairo_handles.h"

namespace {

class RenderTestSurroundings : public testing::Environment {
public:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "none", /*overwrite=*/0); }
    void TearDown() override { devhost::releaseDrawingCaches(); }
};

[[maybe_unused]] testing::Environment* const surroundings =
    testing::AddGlobalTestEnvironment(new RenderTestSurroundings);

}  // namespace
