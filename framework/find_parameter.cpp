#include "framework/find_parameter.h"

#include <cstring>
#include <initializer_list>

const char* findParameter(const char* text, const char* key)
{
    if (!text || !key)
        return nullptr;
    const char* found = std::strstr(text, key);
    if (!found)
        return nullptr;
    for (char marker : {'/', '#', '\''}) {
        const char* comment = std::strchr(text, marker);
        if (comment && comment <= found)
            return nullptr;
    }
    return found;
}
