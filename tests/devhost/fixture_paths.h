// Where the stand-in modules of tests/devhost/fixtures are built.
#pragma once

#include <string>

namespace devhost::testing {

inline std::string fixture(const char* name) { return std::string(VARDEX_FIXTURE_DIR) + "/" + name + ".so"; }

// What the fixture gauges report, as key events (see fixture_gauges.cpp).
inline constexpr uint32_t reportServiceCode = 70000;
inline constexpr uint32_t reportIconUpdate = 71000;
inline constexpr uint32_t reportOuterClickPoint = 72000;
inline constexpr uint32_t reportOuterClickFlags = 72001;
inline constexpr uint32_t reportInnerClickPoint = 72010;
inline constexpr uint32_t reportInnerClickFlags = 72011;
inline constexpr uint32_t reportWindowFound = 73000;

}  // namespace devhost::testing
