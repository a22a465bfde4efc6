// What the portable build of the module and the program that loads it find
// of each other by name. Linux has no resource section and no top-level
// windows to search, so the module offers its bitmaps and clips, and the
// loading program (the development host) the host's main window. The
// Windows build needs neither: LoadBitmap and FindWindow do the same there.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define VARDEX_EXPORT __declspec(dllexport)
#else
#define VARDEX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Defined by the module: the bytes of its resource `number` of `type`
// ("BITMAP" or "WAVE") with their count in *size, or null (and 0).
VARDEX_EXPORT const unsigned char* vardexResource(const char* type, uint32_t number, size_t* size);

// Defined by the loading program, when it has a host window to offer: the
// window of that top-level class, or null.
VARDEX_EXPORT void* vardexFindHostWindow(const char* className);

// Defined by the loading program, if it wants to know: a switch asked for
// wave clip `clip` to be played (whether or not this machine can sound it).
VARDEX_EXPORT void vardexClipPlayed(uint32_t clip);
}

using ResourceLookup = decltype(&vardexResource);
using HostWindowFinder = decltype(&vardexFindHostWindow);
using ClipPlayedNotice = decltype(&vardexClipPlayed);

// The names to look them up by, with dlsym.
inline constexpr const char* ResourceLookupName = "vardexResource";
inline constexpr const char* HostWindowFinderName = "vardexFindHostWindow";
inline constexpr const char* ClipPlayedNoticeName = "vardexClipPlayed";
