// devhost: loads Vardex_Instr like the simulator and lists its gauges.
#include <dlfcn.h>

#include <cstdio>

#include "framework/gauge_model.h"

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "./Vardex_Instr.so";
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "devhost: cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    auto linkage = static_cast<LinkageRecord*>(dlsym(module, "Linkage"));
    if (!linkage) {
        std::fprintf(stderr, "devhost: %s exports no Linkage\n", path);
        return 1;
    }
    for (GaugeDefinition* const* g = linkage->gauges; *g; ++g)
        std::printf("%-26s %3u mm\n", (*g)->name, (*g)->defaultSize);
    dlclose(module);
    return 0;
}
