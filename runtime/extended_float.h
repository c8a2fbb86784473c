// The x87 80-bit extended format in software: the bits of a value and exactly the operations
// the number formatting performs on it, each rounded as the x87 rounds at 64-bit precision
// under a given rounding control (precision control is not modelled: the run-time's word
// always selects 64 bits). All exceptions are taken as masked, as the run-time's word has them.
#pragma once

#include <cstdint>

struct ExtendedFloat {
    uint64_t mantissa;         // explicit integer bit at the top
    uint16_t signAndExponent;  // sign in bit 15, exponent biased by 16383 below it
    friend bool operator==(const ExtendedFloat&, const ExtendedFloat&) = default;
};

// The rounding-control field of the x87 control word (bits 10-11), in its own encoding.
enum class ExtendedRounding : uint8_t { kNearest = 0, kDown = 1, kUp = 2, kTowardZero = 3 };

constexpr ExtendedRounding RoundingOfControlWord(uint16_t word) {
    return static_cast<ExtendedRounding>((word >> 10) & 3);
}

// How two values compare; kUnordered when either is a NaN or an encoding the x87 refuses.
enum class ExtendedOrder : uint8_t { kLess, kEqual, kGreater, kUnordered };

// m x 2^e for a non-zero m and a result inside the normal range, exact (table constants).
constexpr ExtendedFloat ExtendedFromScaled(uint64_t m, int e) {
    while (!(m >> 63)) {
        m <<= 1;
        --e;
    }
    return {m, static_cast<uint16_t>(e + 63 + 16383)};
}

// FLD of a 64-bit double: exact; a signalling NaN comes back quiet, as the x87 loads it.
ExtendedFloat ExtendedFromDouble(double value);
// The host's long double as the extended format. Where long double is the x87 format this is
// the bits themselves; a wider format (IEEE binary128) is rounded to 64 bits, to nearest even,
// as the x87 would have computed it; its NaNs become the default NaN with their sign.
ExtendedFloat ExtendedFromLongDouble(long double value);
// The value as the host's long double: exact wherever long double holds every extended value;
// where it is wider, the encodings the x87 refuses to compute with become NaN.
long double ExtendedToLongDouble(ExtendedFloat value);

// FMUL, FDIV, FRNDINT and FISTP (64-bit integer) under the given rounding control. An
// invalid operation gives the x87's default NaN; FISTP of a NaN, an infinity or a value out
// of range gives the integer indefinite 0x8000000000000000.
ExtendedFloat ExtendedMultiply(ExtendedFloat a, ExtendedFloat b, ExtendedRounding rounding);
ExtendedFloat ExtendedDivide(ExtendedFloat a, ExtendedFloat b, ExtendedRounding rounding);
ExtendedFloat ExtendedRoundToInteger(ExtendedFloat value, ExtendedRounding rounding);
int64_t ExtendedStoreInteger(ExtendedFloat value, ExtendedRounding rounding);
// FUCOM: a denormal compares by its value; +0 equals -0.
ExtendedOrder ExtendedCompare(ExtendedFloat a, ExtendedFloat b);

inline bool ExtendedIsFiniteNumber(ExtendedFloat value) {
    return (value.signAndExponent & 0x7FFF) != 0x7FFF;
}
inline ExtendedFloat ExtendedAbs(ExtendedFloat value) {
    return {value.mantissa, static_cast<uint16_t>(value.signAndExponent & 0x7FFF)};
}
