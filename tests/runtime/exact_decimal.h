// Test-only exact reference for number formatting: the decimal expansion of an extended
// value computed with a small unsigned big integer, rounded to 18 digits (ties to even).
// Written independently of the run-time code: no power-of-ten tables, no x87 tricks.
// Fixed-size numbers and no allocation per value, so that a million values stay quick
// under AddressSanitizer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/extended_float.h"

namespace exact {

// Enough for every finite extended value scaled to 18 digits (about 11,600 bits) and for
// the powers 10^-4951 ... 10^4932 scaled to 64 bits (about 16,500 bits).
constexpr int kMaxLimbs = 560;

// Little-endian 32-bit limbs; limb[n - 1] is not zero (n = 0 for zero).
struct Big {
    int n = 0;
    uint32_t limb[kMaxLimbs];

    void Set(uint64_t v) {
        n = 0;
        while (v != 0) {
            limb[n++] = static_cast<uint32_t>(v);
            v >>= 32;
        }
    }
    void Trim() {
        while (n > 0 && limb[n - 1] == 0) --n;
    }
    int BitLength() const {
        if (n == 0) return 0;
        int top = 32;
        while (!(limb[n - 1] >> (top - 1))) --top;
        return (n - 1) * 32 + top;
    }
    uint64_t Limb(int i) const { return i < n ? limb[i] : 0; }
    // Bits [from, from + 64) as an integer (zeros beyond the top); from >= 0.
    uint64_t BitsAt(int from) const {
        const int base = from / 32, s = from % 32;
        const uint64_t low = Limb(base) | (Limb(base + 1) << 32);
        return s == 0 ? low : (low >> s) | (Limb(base + 2) << (64 - s));
    }
};

// out = a x b (out must not alias a or b).
inline void Multiply(const uint32_t* a, int na, const uint32_t* b, int nb, Big& out) {
    if (na + nb > kMaxLimbs) std::abort();
    out.n = na + nb;
    std::fill(out.limb, out.limb + out.n, 0u);
    for (int i = 0; i < na; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < nb; ++j) {
            const uint64_t t = uint64_t{a[i]} * b[j] + out.limb[i + j] + carry;
            out.limb[i + j] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        out.limb[i + nb] = static_cast<uint32_t>(carry);
    }
    out.Trim();
}

inline void ShiftLeft(Big& a, int bits) {
    if (a.n == 0 || bits == 0) return;
    const int words = bits / 32, s = bits % 32;
    if (a.n + words + 1 > kMaxLimbs) std::abort();
    a.limb[a.n + words] = 0;
    for (int i = a.n - 1; i >= 0; --i) {
        const uint64_t t = uint64_t{a.limb[i]} << s;
        a.limb[i + words + 1] |= static_cast<uint32_t>(t >> 32);
        a.limb[i + words] = static_cast<uint32_t>(t);
    }
    std::fill(a.limb, a.limb + words, 0u);
    a.n += words + 1;
    a.Trim();
}

inline int Compare(const Big& a, const Big& b) {
    if (a.n != b.n) return a.n < b.n ? -1 : 1;
    for (int i = a.n; i-- > 0;) {
        if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
    }
    return 0;
}

// a -= b for a >= b.
inline void Subtract(Big& a, const Big& b) {
    int64_t borrow = 0;
    for (int i = 0; i < a.n; ++i) {
        const int64_t t = int64_t{a.limb[i]} - borrow - static_cast<int64_t>(b.Limb(i));
        borrow = t < 0;
        a.limb[i] = static_cast<uint32_t>(t + (borrow << 32));
    }
    a.Trim();
}

// 5^k, kept once computed.
inline const std::vector<uint32_t>& PowerOfFive(int k) {
    static std::vector<std::vector<uint32_t>> cache{{1u}};
    while (static_cast<int>(cache.size()) <= k) {
        std::vector<uint32_t> next = cache.back();
        uint64_t carry = 0;
        for (uint32_t& limb : next) {
            const uint64_t t = uint64_t{limb} * 5 + carry;
            limb = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        if (carry) next.push_back(static_cast<uint32_t>(carry));
        cache.push_back(std::move(next));
    }
    return cache[k];
}

// out = m x 5^k x 2^twos.
inline void Build(uint64_t m, int k, int twos, Big& out) {
    Big mb;
    mb.Set(m);
    const std::vector<uint32_t>& five = PowerOfFive(k);
    Multiply(mb.limb, mb.n, five.data(), static_cast<int>(five.size()), out);
    ShiftLeft(out, twos);
}

// floor(a / b) for a quotient below 2^64, and the remainder compared with b / 2 (-1, 0, 1).
// Destroys a.
struct Quotient {
    uint64_t q;
    int halfCompare;
};

inline Quotient Divide(Big& a, const Big& b) {
    // Estimate from the top 64 bits of each, then correct by exact multiplication.
    const int sa = std::max(0, a.BitLength() - 64), sb = std::max(0, b.BitLength() - 64);
    const long double estimate = std::ldexp(
        static_cast<long double>(a.BitsAt(sa)) / static_cast<long double>(b.BitsAt(sb)), sa - sb);
    uint64_t q = estimate < 1          ? 0
                 : estimate >= 0x1p64L ? ~uint64_t{0}
                                       : static_cast<uint64_t>(estimate);
    Big qb, product;
    qb.Set(q);
    Multiply(b.limb, b.n, qb.limb, qb.n, product);
    while (Compare(product, a) > 0) {
        --q;
        Subtract(product, b);
    }
    Subtract(a, product);  // a is now the remainder
    while (Compare(a, b) >= 0) {
        ++q;
        Subtract(a, b);
    }
    ShiftLeft(a, 1);
    return {q, Compare(a, b)};
}

struct Extended {
    uint64_t mantissa;
    int binaryExponent;  // value = mantissa x 2^binaryExponent
    bool negative;
    int biasedExponent;
};

inline Extended Split(long double v) {
    const ExtendedFloat bits = ExtendedFromLongDouble(v);
    Extended x;
    const uint16_t se = bits.signAndExponent;
    x.mantissa = bits.mantissa;
    x.negative = (se & 0x8000) != 0;
    x.biasedExponent = se & 0x7FFF;
    x.binaryExponent = x.biasedExponent - 16383 - 63;
    return x;
}

// A valid extended encoding as the host's long double (exactly, on every host).
inline long double Make(uint16_t signAndExponent, uint64_t mantissa) {
    return ExtendedToLongDouble({mantissa, signAndExponent});
}

// The extended format's limits as the host's long double (whose own limits may be wider).
inline long double ExtendedMax() {
    return Make(0x7FFE, ~uint64_t{0});
}
inline long double ExtendedMinNormal() {
    return Make(0x0001, uint64_t{1} << 63);
}
inline long double ExtendedDenormMin() {
    return Make(0x0000, 1);
}

// The neighbour of a positive normal extended value one unit of its last place up or down
// (std::nextafter would step in the host's long double, which may be finer).
inline long double ExtendedNeighbour(long double v, bool up) {
    ExtendedFloat bits = ExtendedFromLongDouble(v);
    constexpr uint64_t kOne = uint64_t{1} << 63;
    if (up && ++bits.mantissa == 0) {
        bits.mantissa = kOne;
        ++bits.signAndExponent;
    } else if (!up && bits.mantissa-- == kOne) {
        bits.mantissa = ~uint64_t{0};
        --bits.signAndExponent;
    }
    return ExtendedToLongDouble(bits);
}

// 18-digit integer R in [10^17, 10^18) and exponent E with |value| ~ 0.R x 10^E, exactly
// rounded (ties to even). For finite, normal, non-zero values.
struct Digits18 {
    uint64_t integer;
    int exponent;
    bool operator==(const Digits18&) const = default;
};

inline Digits18 Exact18(long double value) {
    const Extended x = Split(value);
    // First guess of floor(log10 |value|); corrected below.
    int d = static_cast<int>(std::floor(std::log10(static_cast<double>(x.mantissa)) +
                                        x.binaryExponent * 0.30102999566398120));
    Big a, b;
    for (;;) {
        const int s = 17 - d;  // |value| x 10^s should have 18 digits
        const int twos = x.binaryExponent + s;
        Build(x.mantissa, std::max(s, 0), std::max(twos, 0), a);
        Build(1, std::max(-s, 0), std::max(-twos, 0), b);
        const Quotient r = Divide(a, b);
        if (r.q >= 1000000000000000000u) {
            ++d;
        } else if (r.q < 100000000000000000u) {
            --d;
        } else {
            uint64_t q = r.q;
            if (r.halfCompare > 0 || (r.halfCompare == 0 && (q & 1))) ++q;
            if (q == 1000000000000000000u) return {100000000000000000u, d + 2};
            return {q, d + 1};
        }
    }
}

// The extended value nearest m x 10^k (ties to even), built from the exact value; for
// results in the normal range.
inline long double NearestExtended(uint64_t m, int k) {
    Big a0, b0, a, b;
    Build(m, std::max(k, 0), std::max(k, 0), a0);
    Build(1, std::max(-k, 0), std::max(-k, 0), b0);
    // m x 10^k = q x 2^t with q in [2^63, 2^64): start with a quotient in (2^62, 2^64).
    for (int t = a0.BitLength() - b0.BitLength() - 63;; --t) {
        a = a0;
        b = b0;
        ShiftLeft(t < 0 ? a : b, std::abs(t));
        const Quotient r = Divide(a, b);
        if (r.q >> 63 == 0) continue;
        uint64_t q = r.q;
        if (r.halfCompare > 0 || (r.halfCompare == 0 && (q & 1))) {
            if (++q == 0) return std::ldexp(1.0L, t + 64);
        }
        return std::ldexp(static_cast<long double>(q), t);
    }
}

inline long double NearestPowerOfTen(int k) {
    return NearestExtended(1, k);
}

// The digit rule at N + 1 applied to an 18-digit integer with two guard zeros: the first N
// digits, rounded up when digit N + 1 is above 5, or is 5 and digit N is odd.
struct RoundedDigits {
    char digits[20];  // N digits and a zero byte
    int exponent;
    bool operator==(const RoundedDigits& o) const {
        return exponent == o.exponent && std::strcmp(digits, o.digits) == 0;
    }
};

inline RoundedDigits ApplyDigitRule(const Digits18& d, int n) {
    char s[21];
    uint64_t v = d.integer;
    for (int i = 17; i >= 0; --i, v /= 10) s[i] = static_cast<char>('0' + v % 10);
    s[18] = s[19] = '0';
    RoundedDigits r;
    std::memcpy(r.digits, s, n);
    r.digits[n] = '\0';
    r.exponent = d.exponent;
    const int next = s[n] - '0', last = s[n - 1] - '0';
    if (next > 5 || (next == 5 && last % 2 == 1)) {
        int i = n - 1;
        while (i >= 0 && r.digits[i] == '9') r.digits[i--] = '0';
        if (i >= 0) {
            ++r.digits[i];
        } else {
            r.digits[0] = '1';
            ++r.exponent;
        }
    }
    return r;
}

}  // namespace exact
