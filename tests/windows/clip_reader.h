// A wave clip of a module file read the way the switch sounds read it: the
// bytes of its "WAVE" resource opened as an in-memory multimedia file.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace wintest {

// The format record as a clip's "fmt " chunk holds it (PCM: 16 bytes).
struct ClipFormat {
    WORD formatTag;
    WORD channels;
    DWORD samplesPerSecond;
    DWORD bytesPerSecond;
    WORD blockAlign;
    WORD bitsPerSample;
};

struct Clip {
    bool parsed = false;     // RIFF/WAVE with "fmt " and "data" inside the resource
    ClipFormat format{};
    DWORD dataSize = 0;
};

Clip readClip(HMODULE module, int number);

}  // namespace wintest
