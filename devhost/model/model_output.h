// Reading what JSBSim writes: a labels line, then one record per output
// step, values separated by commas (CSV) or tabs (TABULAR), each number
// perhaps padded with spaces.
//
// JSBSim labels a property by its path under "/fdm/jsbsim/" and leaves out
// an index of [0] ("propulsion/engine/n2" for engine[0]); its socket output
// gives short names that repeat ("n2" for each engine). So columns are
// matched to the properties asked for in the order they were asked for:
// each property takes the first column after the one before it whose label
// is its path or its last name. A property JSBSim does not know gets no
// column at all, which is how it is found out.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace devhost {

class ModelOutput {
public:
    // Throws std::runtime_error when a property has no column: "no property
    // NAME" (the first one missing).
    ModelOutput(std::string_view labels, std::span<const std::string> properties);

    // The values of the properties, in the order asked for, from one record;
    // the record's first column (JSBSim's time) is time(). Throws
    // std::runtime_error for a record of another width or a value that is
    // not a number.
    std::vector<double> read(std::string_view record);
    double time() const { return time_; }
    size_t width() const { return width_; }

private:
    size_t width_ = 0;              // columns in a record
    std::vector<size_t> columns_;   // each property's column
    double time_ = 0;
};

// A property's path as JSBSim's labels write it.
std::string labelOf(std::string_view property);

}  // namespace devhost
