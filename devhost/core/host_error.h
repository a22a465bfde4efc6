// The error of a module that cannot serve as a gauge module, raised by the
// loader and the gauge copies as well as by the host above them.
#pragma once

#include <stdexcept>

namespace devhost {

// Raised for a module that cannot serve as a gauge module (missing export,
// wrong module id, bad ImportTable id, over-long gauge list, unreadable
// records), or a gauge name it lacks.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace devhost
