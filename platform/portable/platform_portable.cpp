#include "platform/platform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

#include "framework/portable_exports.h"
#include "platform/executable_stem.h"
#include "platform/portable/resource_table.h"

namespace {

const EmbeddedResource* lookup(const char* type, uint32_t number)
{
    if (!type)
        return nullptr;
    for (const EmbeddedResource* r = embeddedResources; r->type; ++r)
        if (r->number == number && std::strcmp(r->type, type) == 0)
            return r;
    return nullptr;
}

const char* typeName(platform::ResourceType type)
{
    return type == platform::ResourceType::Wave ? "WAVE" : "BITMAP";
}

}  // namespace

namespace platform {

ResourceBytes findResource(ModuleInstance, uint32_t number, ResourceType type)
{
    const EmbeddedResource* r = lookup(typeName(type), number);
    return r ? ResourceBytes{r->data, r->size} : ResourceBytes{nullptr, 0};
}

void hostExecutableName(char* out, size_t capacity)
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    path[n > 0 ? n : 0] = '\0';
    copyExecutableStem(path, "/", out, capacity);
}

// A program that loads the module may offer a host window (the development
// host does, so that its tests can take the window away).
WindowHandle findTopLevelWindow(const char* className)
{
    auto finder = reinterpret_cast<HostWindowFinder>(dlsym(RTLD_DEFAULT, HostWindowFinderName));
    return finder ? finder(className) : nullptr;
}

void tellClipPlayed(uint32_t clip)
{
    if (auto notice = reinterpret_cast<ClipPlayedNotice>(dlsym(RTLD_DEFAULT, ClipPlayedNoticeName)))
        notice(clip);
}

}  // namespace platform

extern "C" const unsigned char* vardexResource(const char* type, uint32_t number, size_t* size)
{
    const EmbeddedResource* r = lookup(type, number);
    if (size)
        *size = r ? r->size : 0;
    return r ? r->data : nullptr;
}
