// One host with the module loaded once for a whole fuzzing run: a module
// loaded afresh for every input would leave the fuzzer a new copy of its
// code to watch each time.
#pragma once

#include "devhost/core/host.h"

inline devhost::Host& sharedHost()
{
    static devhost::Host* shared = [] {
        devhost::HostOptions options;
        options.privateCopy = false;
        return new devhost::Host(devhost::moduleUnderTest(), options);
    }();
    return *shared;
}
