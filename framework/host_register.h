// What a gauge keeps of a host register (an integer variable: a BCD
// frequency, a code): the word it last decoded and what that word decodes
// to. The gauge reads the register once a frame; a word that stands still
// is not decoded again, and a changed one always is.
#pragma once

#include <cstdint>

#include "framework/host_services.h"

template <typename Decoded>
struct DecodedRegister {
    uint32_t variable;
    Decoded (*decode)(uint32_t word);
    uint32_t word;      // as last decoded
    Decoded decoded;
};

// Starts from the word 0, decoded, so the pair is consistent before the
// first read.
template <typename Decoded>
constexpr DecodedRegister<Decoded> decodedRegister(uint32_t variable, Decoded (*decode)(uint32_t))
{
    return {.variable = variable, .decode = decode, .word = 0, .decoded = decode(0)};
}

template <typename Decoded>
const Decoded& refreshRegister(DecodedRegister<Decoded>& r)
{
    const uint32_t word = readHostInteger(r.variable);
    if (word != r.word) {
        r.word = word;
        r.decoded = r.decode(word);
    }
    return r.decoded;
}
