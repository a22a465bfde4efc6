// The module's two exported records: Linkage, through which the host finds
// the 41 gauges, and ImportTable, through which it hands over its services.
#pragma once

#include "framework/gauge_model.h"

#if defined(_WIN32)
#define VARDEX_EXPORT
#else
#define VARDEX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
extern VARDEX_EXPORT LinkageRecord Linkage;
extern VARDEX_EXPORT ImportTableRecord ImportTable;
}
