// The native module's resource table, read as the development host reads it:
// through the exported vardexResource.
#pragma once

#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/portable_exports.h"

class ModuleResources {
public:
    ModuleResources() : handle_(dlopen(VARDEX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL))
    {
        if (handle_)
            find_ = reinterpret_cast<ResourceLookup>(dlsym(handle_, ResourceLookupName));
    }
    ~ModuleResources()
    {
        if (handle_)
            dlclose(handle_);
    }
    ModuleResources(const ModuleResources&) = delete;
    ModuleResources& operator=(const ModuleResources&) = delete;

    bool loaded() const { return find_ != nullptr; }

    // The bytes of a resource, empty when the module has none of that type and number.
    std::span<const unsigned char> get(const char* type, uint32_t number) const
    {
        if (!find_)
            return {};
        size_t size = 0;
        const unsigned char* data = find_(type, number, &size);
        return data ? std::span<const unsigned char>(data, size) : std::span<const unsigned char>();
    }

private:
    void* handle_;
    ResourceLookup find_ = nullptr;
};

inline uint32_t readU32(std::span<const unsigned char> bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

inline uint16_t readU16(std::span<const unsigned char> bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
