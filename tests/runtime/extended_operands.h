// Operands for checking the extended arithmetic: random bit patterns skewed towards the cases
// rounding gets wrong (denormal and overflow boundaries, short mantissas that make exact
// halves, all-ones mantissas that carry into the exponent, every special encoding).
#pragma once

#include <cstdint>

#include "runtime/extended_float.h"

namespace extended_operands {

inline uint64_t Next(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

constexpr uint64_t kTop = uint64_t{1} << 63;

inline uint64_t Mantissa(uint64_t& state) {
    const uint64_t r = Next(state), m = Next(state);
    switch (r % 6) {
        case 0: {  // a few significant bits: exact products and ties
            const int bits = 1 + static_cast<int>((r >> 8) % 34);
            return kTop | ((m >> (64 - bits)) << (63 - bits));
        }
        case 1:
            return ~uint64_t{0} - (m & 0xF);  // carries into the exponent
        case 2:
            return kTop | (m & 0xF);
        default:
            return kTop | m;
    }
}

inline uint16_t WithSign(uint64_t r, int exponent) {
    return static_cast<uint16_t>(((r >> 40) & 0x8000) | exponent);
}

// Any encoding, ordinary values most often.
inline ExtendedFloat Operand(uint64_t& state) {
    const uint64_t r = Next(state);
    uint64_t m = Mantissa(state);
    int e;
    switch ((r >> 4) % 16) {
        case 0:  // denormal, or pseudo-denormal with the integer bit kept
            e = 0;
            if (r & 0x100) m &= ~kTop;
            if (r & 0x200) m >>= (r >> 10) % 64;
            break;
        case 1:  // infinity, quiet or signalling NaN, pseudo-infinity or pseudo-NaN
            e = 0x7FFF;
            if (r & 0x100) m = kTop;
            if (r & 0x200) m &= ~(uint64_t{1} << 62);
            if ((r & 0xC00) == 0xC00) m &= ~kTop;
            break;
        case 2:  // unnormal
            e = 1 + static_cast<int>((r >> 10) % 0x7FFE);
            m &= ~kTop;
            break;
        case 3:
            e = 0;
            m = 0;
            break;
        case 4:
        case 5:
        case 6:
        case 7:
            e = 16383 - 40 + static_cast<int>((r >> 10) % 110);
            break;
        case 8:
        case 9:
            e = 1 + static_cast<int>((r >> 10) % 70);
            break;
        case 10:
        case 11:
            e = 0x7FFE - static_cast<int>((r >> 10) % 70);
            break;
        default:
            e = 1 + static_cast<int>((r >> 10) % 0x7FFE);
    }
    return {m, WithSign(r, e)};
}

// A partner for a: often one whose product (or quotient) lands near the bottom of the
// denormal range, the normal range's edge, or overflow.
inline ExtendedFloat Partner(ExtendedFloat a, bool divide, uint64_t& state) {
    const uint64_t r = Next(state);
    const int ea = a.signAndExponent & 0x7FFF;
    if (r % 3 != 0 || ea == 0 || ea == 0x7FFF) return Operand(state);
    static constexpr int kTargets[] = {-66, 1, 0x7FFF};
    const int target = kTargets[(r >> 8) % 3] + static_cast<int>((r >> 16) % 9) - 4;
    int eb = divide ? ea - target + 16383 : target - ea + 16383;
    if (eb < 1) eb = 1;
    if (eb > 0x7FFE) eb = 0x7FFE;
    return {Mantissa(state), WithSign(r, eb)};
}

// For rounding to an integer: mostly values between a quarter and 2^66.
inline ExtendedFloat IntegerCandidate(uint64_t& state) {
    const uint64_t r = Next(state);
    if (r % 4 == 0) return Operand(state);
    return {Mantissa(state), WithSign(r, 16383 - 2 + static_cast<int>((r >> 8) % 69))};
}

}  // namespace extended_operands
