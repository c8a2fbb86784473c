// The extended format's arithmetic on 64-bit integers: every result is formed exactly (a
// 128-bit product, a quotient with its remainder) and rounded once, as the x87 does.
// This file and fpu_control.h are the only places that know which processor they run on.
#include "runtime/extended_float.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

constexpr uint64_t kIntegerBit = uint64_t{1} << 63;
constexpr uint64_t kQuietBit = uint64_t{1} << 62;
constexpr int kBias = 16383;
constexpr ExtendedFloat kDefaultNaN = {0xC000000000000000u, 0xFFFF};  // the "real indefinite"

enum class Kind : uint8_t { kZero, kFinite, kInfinity, kNaN, kUnsupported };

// A finite value is mantissa x 2^exponent with the mantissa's top bit set.
struct Unpacked {
    Kind kind;
    bool negative;
    int exponent;
    uint64_t mantissa;
};

int LeadingZeros(uint64_t x) {
    return __builtin_clzll(x);
}

Unpacked Unpack(ExtendedFloat v) {
    const bool negative = (v.signAndExponent & 0x8000) != 0;
    const int e = v.signAndExponent & 0x7FFF;
    const uint64_t m = v.mantissa;
    if (e == 0x7FFF) {
        if (!(m & kIntegerBit)) return {Kind::kUnsupported, negative, 0, m};
        return {m == kIntegerBit ? Kind::kInfinity : Kind::kNaN, negative, 0, m};
    }
    if (e == 0) {
        // Denormals and pseudo-denormals (integer bit set) both weigh 2^(1 - bias - 63).
        if (m == 0) return {Kind::kZero, negative, 0, 0};
        const int shift = LeadingZeros(m);
        return {Kind::kFinite, negative, 1 - kBias - 63 - shift, m << shift};
    }
    if (!(m & kIntegerBit)) return {Kind::kUnsupported, negative, 0, m};  // an unnormal
    return {Kind::kFinite, negative, e - kBias - 63, m};
}

ExtendedFloat Signed(bool negative, uint64_t mantissa, int field) {
    return {mantissa, static_cast<uint16_t>((negative ? 0x8000 : 0) | field)};
}

// Rounds (hi:lo) x 2^(x - 64), hi's top bit set, to the format; lo's top bit weighs half a
// unit of hi's last place and any lower bit only says "more than nothing".
ExtendedFloat RoundPack(bool negative, int x, uint64_t hi, uint64_t lo, ExtendedRounding r) {
    int field = x + 63 + kBias;
    bool tiny = false;
    if (field < 1) {
        // Below the normal range the quantum stays 2^-16445: shift into the denormal place.
        const int shift = 1 - field;
        if (shift >= 128) {
            lo = (hi | lo) != 0;
            hi = 0;
        } else if (shift >= 64) {
            const bool sticky = lo != 0 || (shift > 64 && (hi << (128 - shift)) != 0);
            lo = (hi >> (shift - 64)) | sticky;
            hi = 0;
        } else {
            lo = (lo >> shift) | (hi << (64 - shift)) | ((lo << (64 - shift)) != 0);
            hi >>= shift;
        }
        field = 1;
        tiny = true;
    }
    bool up = false;
    switch (r) {
        case ExtendedRounding::kNearest:
            up = lo > kIntegerBit || (lo == kIntegerBit && (hi & 1));
            break;
        case ExtendedRounding::kDown:
            up = negative && lo != 0;
            break;
        case ExtendedRounding::kUp:
            up = !negative && lo != 0;
            break;
        case ExtendedRounding::kTowardZero:
            break;
    }
    if (up && ++hi == 0) {
        hi = kIntegerBit;
        ++field;
    }
    if (tiny) return Signed(negative, hi, (hi & kIntegerBit) ? 1 : 0);
    if (field >= 0x7FFF) {
        // Overflow: infinity, or the largest finite value where the rounding points away.
        const bool toInfinity = r == ExtendedRounding::kNearest ||
                                (r == ExtendedRounding::kDown && negative) ||
                                (r == ExtendedRounding::kUp && !negative);
        return toInfinity ? Signed(negative, kIntegerBit, 0x7FFF)
                          : Signed(negative, ~uint64_t{0}, 0x7FFE);
    }
    return Signed(negative, hi, field);
}

// The x87 result for operands of which at least one is a NaN or an unsupported encoding:
// an unsupported operand is invalid; of two NaNs a quiet one wins over a signalling one,
// else the larger significand; the result is always quiet.
ExtendedFloat PropagateNaN(ExtendedFloat a, const Unpacked& ua, ExtendedFloat b,
                           const Unpacked& ub) {
    if (ua.kind == Kind::kUnsupported || ub.kind == Kind::kUnsupported) return kDefaultNaN;
    ExtendedFloat pick = a;
    if (ua.kind == Kind::kNaN && ub.kind == Kind::kNaN) {
        const bool quietA = (a.mantissa & kQuietBit) != 0, quietB = (b.mantissa & kQuietBit) != 0;
        if (quietA != quietB) {
            if (quietB) pick = b;
        } else if (b.mantissa > a.mantissa ||
                   (b.mantissa == a.mantissa && !(b.signAndExponent & 0x8000))) {
            pick = b;
        }
    } else if (ub.kind == Kind::kNaN) {
        pick = b;
    }
    pick.mantissa |= kQuietBit;
    return pick;
}

bool IsSpecial(const Unpacked& u) {
    return u.kind == Kind::kNaN || u.kind == Kind::kUnsupported;
}

void MultiplyWide(uint64_t a, uint64_t b, uint64_t* hi, uint64_t* lo) {
#ifdef __SIZEOF_INT128__
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    *hi = static_cast<uint64_t>(p >> 64);
    *lo = static_cast<uint64_t>(p);
#else
    const uint64_t a0 = a & 0xFFFFFFFF, a1 = a >> 32, b0 = b & 0xFFFFFFFF, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFF) + (p10 & 0xFFFFFFFF);
    *lo = (middle << 32) | (p00 & 0xFFFFFFFF);
    *hi = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
#endif
}

// (u1:u0) / v for u1 < v and v's top bit set; the remainder goes to *remainder. Where the
// compiler has no 128-bit integers, two 64-by-32 steps (Knuth's algorithm D).
uint64_t DivideWide(uint64_t u1, uint64_t u0, uint64_t v, uint64_t* remainder) {
#ifdef __SIZEOF_INT128__
    const unsigned __int128 u = (static_cast<unsigned __int128>(u1) << 64) | u0;
    *remainder = static_cast<uint64_t>(u % v);
    return static_cast<uint64_t>(u / v);
#else
    constexpr uint64_t b = uint64_t{1} << 32;
    const uint64_t vn1 = v >> 32, vn0 = v & 0xFFFFFFFF;
    const uint64_t un1 = u0 >> 32, un0 = u0 & 0xFFFFFFFF;
    uint64_t q1 = u1 / vn1, rhat = u1 - q1 * vn1;
    while (q1 >= b || q1 * vn0 > b * rhat + un1) {
        --q1;
        rhat += vn1;
        if (rhat >= b) break;
    }
    const uint64_t un21 = u1 * b + un1 - q1 * v;
    uint64_t q0 = un21 / vn1;
    rhat = un21 - q0 * vn1;
    while (q0 >= b || q0 * vn0 > b * rhat + un0) {
        --q0;
        rhat += vn1;
        if (rhat >= b) break;
    }
    *remainder = un21 * b + un0 - q0 * v;
    return q1 * b + q0;
#endif
}

// The integer nearest a finite value under r, as a magnitude; 2^63 is the largest it yields
// for the values it is given (below 2^63), so a uint64_t always holds it.
uint64_t RoundedMagnitude(const Unpacked& u, ExtendedRounding r) {
    const int fraction = -u.exponent;  // bits below the point, at least 1 here
    uint64_t integer = fraction >= 64 ? 0 : u.mantissa >> fraction;
    uint64_t rest;
    if (fraction > 64) {
        rest = 1;  // below a half, not zero
    } else {
        rest = fraction == 64 ? u.mantissa : u.mantissa << (64 - fraction);
    }
    bool up = false;
    switch (r) {
        case ExtendedRounding::kNearest:
            up = rest > kIntegerBit || (rest == kIntegerBit && (integer & 1));
            break;
        case ExtendedRounding::kDown:
            up = u.negative && rest != 0;
            break;
        case ExtendedRounding::kUp:
            up = !u.negative && rest != 0;
            break;
        case ExtendedRounding::kTowardZero:
            break;
    }
    return integer + up;
}

}  // namespace

ExtendedFloat ExtendedFromDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int e = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    if (e == 0x7FF) {
        if (fraction == 0) return Signed(negative, kIntegerBit, 0x7FFF);
        return Signed(negative, kIntegerBit | kQuietBit | (fraction << 11), 0x7FFF);
    }
    if (e == 0) {
        if (fraction == 0) return Signed(negative, 0, 0);
        const int shift = LeadingZeros(fraction);
        return Signed(negative, fraction << shift, -1074 + 63 - shift + kBias);
    }
    return Signed(negative, kIntegerBit | (fraction << 11), e - 1023 + kBias);
}

#if (defined(__i386__) || defined(__x86_64__)) && LDBL_MANT_DIG == 64
// The x87 format is long double here: its first ten bytes are the value, little-endian.
ExtendedFloat ExtendedFromLongDouble(long double value) {
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof bytes);
    ExtendedFloat v;
    std::memcpy(&v.mantissa, bytes, 8);
    std::memcpy(&v.signAndExponent, bytes + 8, 2);
    return v;
}

long double ExtendedToLongDouble(ExtendedFloat value) {
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &value.mantissa, 8);
    std::memcpy(bytes + 8, &value.signAndExponent, 2);
    long double v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}
#else
// A wider long double is taken apart by arithmetic alone (no byte layout): 64 bits of the
// significand, then the rest below them, exact for up to 128 significant bits.
ExtendedFloat ExtendedFromLongDouble(long double value) {
    const bool negative = std::signbit(value);
    if (std::isnan(value)) return Signed(negative, kDefaultNaN.mantissa, 0x7FFF);
    if (std::isinf(value)) return Signed(negative, kIntegerBit, 0x7FFF);
    if (value == 0) return Signed(negative, 0, 0);
    int e;
    const long double top = std::ldexp(std::frexp(std::fabs(value), &e), 64);  // [2^63, 2^64)
    const uint64_t hi = static_cast<uint64_t>(top);
    const uint64_t lo = static_cast<uint64_t>(std::ldexp(top - static_cast<long double>(hi), 64));
    return RoundPack(negative, e - 64, hi, lo, ExtendedRounding::kNearest);
}

long double ExtendedToLongDouble(ExtendedFloat value) {
    const Unpacked u = Unpack(value);
    switch (u.kind) {
        case Kind::kZero:
            return u.negative ? -0.0L : 0.0L;
        case Kind::kInfinity:
            return u.negative ? -HUGE_VALL : HUGE_VALL;
        case Kind::kFinite: {
            const long double m = std::ldexp(static_cast<long double>(u.mantissa), u.exponent);
            return u.negative ? -m : m;
        }
        default:
            return std::copysign(NAN, u.negative ? -1.0L : 1.0L);
    }
}
#endif

ExtendedFloat ExtendedMultiply(ExtendedFloat a, ExtendedFloat b, ExtendedRounding rounding) {
    const Unpacked x = Unpack(a), y = Unpack(b);
    if (IsSpecial(x) || IsSpecial(y)) return PropagateNaN(a, x, b, y);
    const bool negative = x.negative != y.negative;
    if (x.kind == Kind::kInfinity || y.kind == Kind::kInfinity) {
        if (x.kind == Kind::kZero || y.kind == Kind::kZero) return kDefaultNaN;
        return Signed(negative, kIntegerBit, 0x7FFF);
    }
    if (x.kind == Kind::kZero || y.kind == Kind::kZero) return Signed(negative, 0, 0);
    uint64_t hi, lo;
    MultiplyWide(x.mantissa, y.mantissa, &hi, &lo);
    int e = x.exponent + y.exponent + 64;
    if (!(hi & kIntegerBit)) {
        hi = (hi << 1) | (lo >> 63);
        lo <<= 1;
        --e;
    }
    return RoundPack(negative, e, hi, lo, rounding);
}

ExtendedFloat ExtendedDivide(ExtendedFloat a, ExtendedFloat b, ExtendedRounding rounding) {
    const Unpacked x = Unpack(a), y = Unpack(b);
    if (IsSpecial(x) || IsSpecial(y)) return PropagateNaN(a, x, b, y);
    const bool negative = x.negative != y.negative;
    if (x.kind == Kind::kInfinity) {
        if (y.kind == Kind::kInfinity) return kDefaultNaN;
        return Signed(negative, kIntegerBit, 0x7FFF);
    }
    if (x.kind == Kind::kZero) {
        if (y.kind == Kind::kZero) return kDefaultNaN;
        return Signed(negative, 0, 0);
    }
    if (y.kind == Kind::kInfinity) return Signed(negative, 0, 0);
    if (y.kind == Kind::kZero) return Signed(negative, kIntegerBit, 0x7FFF);  // masked zero-divide

    uint64_t remainder, hi, lo;
    int e;
    if (x.mantissa >= y.mantissa) {
        // A 65-bit quotient: its last bit is the rounding bit, the remainder the sticky one.
        const uint64_t q = DivideWide(x.mantissa - y.mantissa, 0, y.mantissa, &remainder);
        hi = kIntegerBit | (q >> 1);
        lo = (q << 63) | (remainder != 0);
        e = x.exponent - y.exponent - 63;
    } else {
        // A 64-bit quotient: the remainder against half the divisor places the rest.
        hi = DivideWide(x.mantissa, 0, y.mantissa, &remainder);
        const uint64_t other = y.mantissa - remainder;
        lo = remainder > other    ? kIntegerBit | 1
             : remainder == other ? kIntegerBit
                                  : remainder != 0;
        e = x.exponent - y.exponent - 64;
    }
    return RoundPack(negative, e, hi, lo, rounding);
}

ExtendedFloat ExtendedRoundToIntegerAnyValue(ExtendedFloat value, ExtendedRounding rounding) {
    const Unpacked u = Unpack(value);
    if (u.kind == Kind::kUnsupported) return kDefaultNaN;
    if (u.kind == Kind::kNaN) return {value.mantissa | kQuietBit, value.signAndExponent};
    if (u.kind != Kind::kFinite || u.exponent >= 0) return value;
    const uint64_t integer = RoundedMagnitude(u, rounding);
    if (integer == 0) return Signed(u.negative, 0, 0);
    const int shift = LeadingZeros(integer);
    return Signed(u.negative, integer << shift, 63 - shift + kBias);
}

int64_t ExtendedStoreIntegerAnyValue(ExtendedFloat value, ExtendedRounding rounding) {
    constexpr int64_t kIndefinite = INT64_MIN;
    const Unpacked u = Unpack(value);
    if (u.kind == Kind::kZero) return 0;
    if (u.kind != Kind::kFinite) return kIndefinite;
    if (u.exponent >= 0) {
        // 2^63 or more in magnitude: only -2^63 itself fits.
        return (u.negative && u.exponent == 0 && u.mantissa == kIntegerBit) ? INT64_MIN
                                                                            : kIndefinite;
    }
    const uint64_t magnitude = RoundedMagnitude(u, rounding);
    if (magnitude > kIntegerBit || (magnitude == kIntegerBit && !u.negative)) return kIndefinite;
    return u.negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

ExtendedOrder ExtendedCompareAnyValues(ExtendedFloat a, ExtendedFloat b) {
    const Unpacked x = Unpack(a), y = Unpack(b);
    if (IsSpecial(x) || IsSpecial(y)) return ExtendedOrder::kUnordered;
    // A key that orders magnitudes: zero lowest, infinity highest, finite by exponent then
    // mantissa (both normalised, so the pair is unique for each value).
    auto rank = [](const Unpacked& u) {
        return u.kind == Kind::kZero ? 0 : u.kind == Kind::kInfinity ? 2 : 1;
    };
    const int rx = rank(x), ry = rank(y);
    if (rx == 0 && ry == 0) return ExtendedOrder::kEqual;
    const bool nx = rx != 0 && x.negative, ny = ry != 0 && y.negative;
    if (nx != ny) return nx ? ExtendedOrder::kLess : ExtendedOrder::kGreater;
    int magnitude;  // -1, 0, 1: |x| against |y|
    if (rx != ry) {
        magnitude = rx < ry ? -1 : 1;
    } else if (rx != 1 || (x.exponent == y.exponent && x.mantissa == y.mantissa)) {
        magnitude = 0;
    } else if (x.exponent != y.exponent) {
        magnitude = x.exponent < y.exponent ? -1 : 1;
    } else {
        magnitude = x.mantissa < y.mantissa ? -1 : 1;
    }
    if (nx) magnitude = -magnitude;
    return magnitude < 0   ? ExtendedOrder::kLess
           : magnitude > 0 ? ExtendedOrder::kGreater
                           : ExtendedOrder::kEqual;
}
