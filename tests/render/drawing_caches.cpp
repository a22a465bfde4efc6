// Cairo's and fontconfig's process-wide caches are given back once every
// test has run, so that the leak checker of the sanitizer build reports
// only leaks of our own.
#include <gtest/gtest.h>

#include "devhost/render/cairo_handles.h"

namespace {

class DrawingCaches : public testing::Environment {
public:
    void TearDown() override { devhost::releaseDrawingCaches(); }
};

[[maybe_unused]] testing::Environment* const drawingCaches = testing::AddGlobalTestEnvironment(new DrawingCaches);

}  // namespace
