// The few operating-system calls the module makes. platform/win32 serves
// them with the Windows API for the .gau; platform/portable stands in for
// them in the native build that the development host loads.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using ModuleInstance = void*;  // the module instance handle the host passes with service code 2
using WindowHandle = void*;

enum class ResourceType { Bitmap, Wave };

struct ResourceBytes {
    const unsigned char* data;  // null when the resource does not exist
    size_t size;
};

// A numbered resource of the module's own file.
ResourceBytes findResource(ModuleInstance instance, uint32_t number, ResourceType type);

// The file name of the process's executable (the host program, not the
// module), without folder and extension, cut to fit; empty when unknown.
void hostExecutableName(char* out, size_t capacity);

// A top-level window by class name, or null.
WindowHandle findTopLevelWindow(const char* className);

// Tells the program that loaded the module, if it listens, that a switch
// played wave clip `clip` (the development host's web page sounds it).
void tellClipPlayed(uint32_t clip);

}  // namespace platform
