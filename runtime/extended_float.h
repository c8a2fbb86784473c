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
ExtendedFloat ExtendedRoundToIntegerAnyValue(ExtendedFloat value, ExtendedRounding rounding);
int64_t ExtendedStoreIntegerAnyValue(ExtendedFloat value, ExtendedRounding rounding);
// FUCOM: a denormal compares by its value; +0 equals -0.
ExtendedOrder ExtendedCompareAnyValues(ExtendedFloat a, ExtendedFloat b);

// The formatting rounds, stores and compares normal values from 1 to 2^63 to nearest: those
// take the inline paths below, every other case the general functions above.
namespace extended_inline {

constexpr uint64_t kTop = uint64_t{1} << 63;

constexpr bool IsNormal(ExtendedFloat v) {
    const unsigned e = v.signAndExponent & 0x7FFFu;
    return e - 1 < 0x7FFEu && (v.mantissa & kTop);
}

// Bits below the point of a normal value from 1 up to below 2^63, else 0.
constexpr int FractionBits(ExtendedFloat v, ExtendedRounding r) {
    const int e = v.signAndExponent & 0x7FFF;
    return (r == ExtendedRounding::kNearest && e >= 16383 && e < 16383 + 63 && (v.mantissa & kTop))
               ? 16383 + 63 - e
               : 0;
}

// The magnitude rounded to nearest, ties to even, for 1 <= FractionBits <= 63.
constexpr uint64_t NearestMagnitude(uint64_t mantissa, int fraction) {
    const uint64_t integer = mantissa >> fraction, rest = mantissa << (64 - fraction);
    return integer + (rest > kTop || (rest == kTop && (integer & 1)));
}

}  // namespace extended_inline

inline ExtendedFloat ExtendedRoundToInteger(ExtendedFloat value, ExtendedRounding rounding) {
    const int fraction = extended_inline::FractionBits(value, rounding);
    if (fraction == 0) return ExtendedRoundToIntegerAnyValue(value, rounding);
    const uint64_t integer = extended_inline::NearestMagnitude(value.mantissa, fraction);
    const int shift = __builtin_clzll(integer);
    return {integer << shift,
            static_cast<uint16_t>((value.signAndExponent & 0x8000) | (16383 + 63 - shift))};
}

inline int64_t ExtendedStoreInteger(ExtendedFloat value, ExtendedRounding rounding) {
    const int fraction = extended_inline::FractionBits(value, rounding);
    if (fraction == 0) return ExtendedStoreIntegerAnyValue(value, rounding);
    const uint64_t magnitude = extended_inline::NearestMagnitude(value.mantissa, fraction);
    if (magnitude & extended_inline::kTop) return ExtendedStoreIntegerAnyValue(value, rounding);
    const int64_t integer = static_cast<int64_t>(magnitude);
    return (value.signAndExponent & 0x8000) ? -integer : integer;
}

inline ExtendedOrder ExtendedCompare(ExtendedFloat a, ExtendedFloat b) {
    if (!extended_inline::IsNormal(a) || !extended_inline::IsNormal(b)) {
        return ExtendedCompareAnyValues(a, b);
    }
    const bool negativeA = (a.signAndExponent & 0x8000) != 0;
    if (negativeA != ((b.signAndExponent & 0x8000) != 0)) {
        return negativeA ? ExtendedOrder::kLess : ExtendedOrder::kGreater;
    }
    if (a == b) return ExtendedOrder::kEqual;
    const bool smallerA = a.signAndExponent != b.signAndExponent
                              ? (a.signAndExponent & 0x7FFF) < (b.signAndExponent & 0x7FFF)
                              : a.mantissa < b.mantissa;
    return smallerA != negativeA ? ExtendedOrder::kLess : ExtendedOrder::kGreater;
}

inline bool ExtendedIsFiniteNumber(ExtendedFloat value) {
    return (value.signAndExponent & 0x7FFF) != 0x7FFF;
}
inline ExtendedFloat ExtendedAbs(ExtendedFloat value) {
    return {value.mantissa, static_cast<uint16_t>(value.signAndExponent & 0x7FFF)};
}
