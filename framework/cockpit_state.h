// Module-wide switches that more than one gauge reads. Each is defined by the
// gauge that owns it (the one whose switch writes it); the others read it.
// One set for the whole module, shared by every placed instance; nothing is
// saved, so every load starts from these initial values.
#pragma once

#include <cstdint>

extern int32_t britishUnits;   // units switch: 0 metric (at load), non-zero British
extern int32_t adfPowerOn;     // ADF receiver main switch, 0 at load
extern int32_t adfToneOn;      // ADF tone switch, 0 at load
extern int32_t comPowerOn;     // COM radio main switch, 0 at load
extern int32_t navPowerOn;     // NAV receiver main switch, 0 at load
extern int32_t navToneOn;      // NAV identifier-tone switch, 0 at load
extern int32_t xpdrPowerOn;    // transponder main switch, 0 at load
extern int32_t soundAvailable; // 1 at load; cleared for good by the first sound failure
