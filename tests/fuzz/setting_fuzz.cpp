// --set and flight-script values: any NAME=VALUE is turned into host values
// or refused with a ValueError; every value accepted is told in a form that
// is accepted back and told the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "devhost/core/values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view setting(reinterpret_cast<const char*>(data), size);
    std::vector<devhost::VariableValue> values;
    try {
        values = devhost::parseSetting(setting);
    } catch (const devhost::ValueError& error) {
        if (std::string_view(error.what()).empty())
            std::abort();
        return 0;
    }
    for (const devhost::VariableValue& value : values) {
        const devhost::VariableInfo* variable = devhost::findVariable(value.id);
        if (!variable)
            std::abort();  // only the catalogue's variables are set
        const std::string told = devhost::naturalText(*variable, value.value);
        try {
            const auto back = devhost::parseSetting(std::string(variable->name) + "=" + told);
            if (back.empty() || back.front().id != value.id || devhost::naturalText(*variable, back.front().value) != told)
                std::abort();
        } catch (const devhost::ValueError&) {
            std::abort();
        }
    }
    return 0;
}
