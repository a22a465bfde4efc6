// The native build's stand-in for the Windows resource section: a table
// generated at build time from the same files that windres compiles.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
    const char* type;  // "BITMAP" or "WAVE"; null ends the table
    uint32_t number;
    const unsigned char* data;
    size_t size;
};

extern const EmbeddedResource embeddedResources[];
