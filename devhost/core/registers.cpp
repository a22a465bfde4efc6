#include "devhost/core/registers.h"

namespace devhost {

uint32_t toBcd(uint32_t number)
{
    uint32_t bcd = 0;
    for (int shift = 0; number; number /= 10, shift += 4)
        bcd |= (number % 10) << shift;
    return bcd;
}

std::optional<uint32_t> fromBcd(uint32_t bcd)
{
    uint32_t number = 0, scale = 1;
    for (; bcd; bcd >>= 4, scale *= 10) {
        uint32_t digit = bcd & 0xF;
        if (digit > 9)
            return std::nullopt;
        number += digit * scale;
    }
    return number;
}

uint32_t radioRegister(int khz) { return toBcd(static_cast<uint32_t>((khz - 100000) / 10)); }

std::optional<int> radioKhz(uint32_t reg)
{
    auto digits = fromBcd(reg);
    if (!digits || *digits > 9999)
        return std::nullopt;
    return 100000 + static_cast<int>(*digits) * 10;
}

AdfRegisters adfRegisters(int tenths)
{
    return {toBcd(static_cast<uint32_t>(tenths / 10 % 1000)),
            (tenths >= 10000 ? AdfThousandBit : 0) + static_cast<uint32_t>(tenths % 10)};
}

}  // namespace devhost
