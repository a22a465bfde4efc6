// Where the stand-in modules of tests/devhost/fixtures are built.
#pragma once

#include <string>

#include "fixtures/fixture_reports.h"

namespace devhost::testing {

inline std::string fixture(const char* name) { return std::string(VARDEX_FIXTURE_DIR) + "/" + name + ".so"; }

using namespace fixtures;

}  // namespace devhost::testing
