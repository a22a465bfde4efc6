// The whole numbers that parameter texts carry after their item letters
// (window numbers, view steps, help ids, colour components).
#pragma once

#include <cstdint>

// The decimal number at the start of text: optional leading blanks, an
// optional sign, then digits up to the first other character; 0 when no
// digit follows (or text is absent). A number beyond the 32-bit range reads
// as the nearest 32-bit value, so "99999999999" is INT32_MAX and the caller
// sees a large number rather than a wrapped one.
int32_t leadingWholeNumber(const char* text);
