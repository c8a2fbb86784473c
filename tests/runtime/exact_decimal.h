// Test-only exact reference for number formatting: the decimal expansion of an extended
// value computed with a small unsigned big integer, rounded to 18 digits (ties to even).
// Written independently of the run-time code: no power-of-ten tables, no x87 tricks.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace exact {

// Little-endian 32-bit limbs, no leading zero limbs.
struct Big {
    std::vector<uint32_t> limb;

    static Big From(uint64_t v) {
        Big b;
        while (v != 0) {
            b.limb.push_back(static_cast<uint32_t>(v));
            v >>= 32;
        }
        return b;
    }
    bool IsZero() const { return limb.empty(); }
    void Trim() {
        while (!limb.empty() && limb.back() == 0) limb.pop_back();
    }
    int BitLength() const {
        if (limb.empty()) return 0;
        int top = 32;
        while (!(limb.back() >> (top - 1))) --top;
        return static_cast<int>(limb.size() - 1) * 32 + top;
    }
    // Bits [from, from + 64) as an integer (zeros beyond the top); from >= 0.
    uint64_t BitsAt(int from) const {
        auto get = [&](size_t k) -> uint64_t { return k < limb.size() ? limb[k] : 0; };
        const size_t base = from / 32;
        const int s = from % 32;
        const uint64_t low = get(base) | (get(base + 1) << 32);
        return s == 0 ? low : (low >> s) | (get(base + 2) << (64 - s));
    }
};

inline Big Multiply(const Big& a, const Big& b) {
    Big r;
    if (a.IsZero() || b.IsZero()) return r;
    r.limb.assign(a.limb.size() + b.limb.size(), 0);
    for (size_t i = 0; i < a.limb.size(); ++i) {
        uint64_t carry = 0;
        for (size_t j = 0; j < b.limb.size(); ++j) {
            const uint64_t t = uint64_t{a.limb[i]} * b.limb[j] + r.limb[i + j] + carry;
            r.limb[i + j] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        r.limb[i + b.limb.size()] = static_cast<uint32_t>(carry);
    }
    r.Trim();
    return r;
}

inline Big ShiftLeft(const Big& a, int bits) {
    if (a.IsZero() || bits == 0) return a;
    Big r;
    r.limb.assign(a.limb.size() + bits / 32 + 1, 0);
    const int s = bits % 32;
    for (size_t i = 0; i < a.limb.size(); ++i) {
        const uint64_t t = uint64_t{a.limb[i]} << s;
        r.limb[i + bits / 32] |= static_cast<uint32_t>(t);
        r.limb[i + bits / 32 + 1] |= static_cast<uint32_t>(t >> 32);
    }
    r.Trim();
    return r;
}

inline int Compare(const Big& a, const Big& b) {
    if (a.limb.size() != b.limb.size()) return a.limb.size() < b.limb.size() ? -1 : 1;
    for (size_t i = a.limb.size(); i-- > 0;) {
        if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
    }
    return 0;
}

// a - b for a >= b.
inline Big Subtract(const Big& a, const Big& b) {
    Big r = a;
    int64_t borrow = 0;
    for (size_t i = 0; i < r.limb.size(); ++i) {
        int64_t t = int64_t{r.limb[i]} - borrow - (i < b.limb.size() ? int64_t{b.limb[i]} : 0);
        borrow = t < 0;
        r.limb[i] = static_cast<uint32_t>(t + (borrow << 32));
    }
    r.Trim();
    return r;
}

inline const Big& PowerOfFive(int k) {
    static std::vector<Big> cache{Big::From(1)};
    while (static_cast<int>(cache.size()) <= k)
        cache.push_back(Multiply(cache.back(), Big::From(5)));
    return cache[k];
}

// floor(a / b) for a quotient below 2^64, and the remainder compared with b / 2 (-1, 0, 1).
struct Quotient {
    uint64_t q;
    int halfCompare;
};

inline Quotient Divide(const Big& a, const Big& b) {
    // Estimate from the top 64 bits of each, then correct by exact multiplication.
    const int la = a.BitLength(), lb = b.BitLength();
    const int sa = std::max(0, la - 64), sb = std::max(0, lb - 64);
    long double estimate = std::ldexp(
        static_cast<long double>(a.BitsAt(sa)) / static_cast<long double>(b.BitsAt(sb)), sa - sb);
    uint64_t q = estimate <= 0         ? 0
                 : estimate >= 0x1p64L ? ~uint64_t{0}
                                       : static_cast<uint64_t>(estimate);
    Big product = Multiply(b, Big::From(q));
    while (Compare(product, a) > 0) {
        --q;
        product = Subtract(product, b);
    }
    Big remainder = Subtract(a, product);
    while (Compare(remainder, b) >= 0) {
        ++q;
        remainder = Subtract(remainder, b);
    }
    return {q, Compare(ShiftLeft(remainder, 1), b)};
}

struct Extended {
    uint64_t mantissa;
    int binaryExponent;  // value = mantissa x 2^binaryExponent
    bool negative;
    int biasedExponent;
};

inline Extended Split(long double v) {
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &v, sizeof bytes);
    Extended x;
    uint16_t se;
    std::memcpy(&x.mantissa, bytes, 8);
    std::memcpy(&se, bytes + 8, 2);
    x.negative = (se & 0x8000) != 0;
    x.biasedExponent = se & 0x7FFF;
    x.binaryExponent = x.biasedExponent - 16383 - 63;
    return x;
}

inline long double Make(uint16_t signAndExponent, uint64_t mantissa) {
    long double v = 0;
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &mantissa, 8);
    std::memcpy(bytes + 8, &signAndExponent, 2);
    std::memcpy(&v, bytes, sizeof bytes);
    return v;
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
    for (;;) {
        const int s = 17 - d;  // |value| x 10^s should have 18 digits
        Big a = Big::From(x.mantissa), b = Big::From(1);
        if (s >= 0)
            a = Multiply(a, PowerOfFive(s));
        else
            b = PowerOfFive(-s);
        const int twos = x.binaryExponent + s;
        if (twos >= 0)
            a = ShiftLeft(a, twos);
        else
            b = ShiftLeft(b, -twos);
        const Quotient r = Divide(a, b);
        if (r.q >= 1000000000000000000u) {
            ++d;
            continue;
        }
        if (r.q < 100000000000000000u) {
            --d;
            continue;
        }
        uint64_t q = r.q;
        if (r.halfCompare > 0 || (r.halfCompare == 0 && (q & 1))) ++q;
        if (q == 1000000000000000000u) return {100000000000000000u, d + 2};
        return {q, d + 1};
    }
}

// The extended value nearest m x 10^k (ties to even), built from the exact value; for
// results in the normal range.
inline long double NearestExtended(uint64_t m, int k) {
    const Big a0 = ShiftLeft(Multiply(Big::From(m), PowerOfFive(std::max(k, 0))), std::max(k, 0));
    const Big b0 = ShiftLeft(PowerOfFive(std::max(-k, 0)), std::max(-k, 0));
    // m x 10^k = q x 2^t with q in [2^63, 2^64): start with a quotient in (2^62, 2^64).
    for (int t = a0.BitLength() - b0.BitLength() - 63;; --t) {
        const Big a = t < 0 ? ShiftLeft(a0, -t) : a0;
        const Big b = t > 0 ? ShiftLeft(b0, t) : b0;
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
    std::string digits;
    int exponent;
    bool operator==(const RoundedDigits&) const = default;
};

inline RoundedDigits ApplyDigitRule(const Digits18& d, int n) {
    std::string s = std::to_string(d.integer) + "00";
    const int next = s[n] - '0', last = s[n - 1] - '0';
    std::string kept = s.substr(0, n);
    int exponent = d.exponent;
    if (next > 5 || (next == 5 && last % 2 == 1)) {
        int i = n - 1;
        while (i >= 0 && kept[i] == '9') kept[i--] = '0';
        if (i >= 0) {
            ++kept[i];
        } else {
            kept[0] = '1';
            ++exponent;
        }
    }
    return {kept, exponent};
}

}  // namespace exact
