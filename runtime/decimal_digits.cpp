// Decimal digits of an extended value: scale it by a power of ten into an 18-digit integer,
// write that integer's digits and round them at the requested count.
// The arithmetic is the x87's or its software equivalent (fpu_control.h), under 0x133F.
#include "runtime/decimal_digits.h"

#include <cstring>

#include "runtime/fpu_control.h"

namespace {

constexpr uint32_t kSmallPowersOfTen[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// 10^8, 10^16, ..., 10^4096: the extended values nearest the exact powers, written as
// mantissa and power of two so that no compiler's decimal conversion stands between the
// source and the bits.
constexpr ExtendedFloat kLargePowersOfTen[10] = {
    ExtendedFromScaled(0x0000000005F5E100, 0),      // 10^8 (exact)
    ExtendedFromScaled(0x002386F26FC10000, 0),      // 10^16 (exact)
    ExtendedFromScaled(0x9DC5ADA82B70B59E, 43),     // 10^32
    ExtendedFromScaled(0xC2781F49FFCFA6D5, 149),    // 10^64
    ExtendedFromScaled(0x93BA47C980E98CE0, 362),    // 10^128
    ExtendedFromScaled(0xAA7EEBFB9DF9DE8E, 787),    // 10^256
    ExtendedFromScaled(0xE319A0AEA60E91C7, 1637),   // 10^512
    ExtendedFromScaled(0xC976758681750C17, 3338),   // 10^1024
    ExtendedFromScaled(0x9E8B3B5DC53D5DE5, 6740),   // 10^2048
    ExtendedFromScaled(0xC46052028A20979B, 13543),  // 10^4096
};
constexpr int kLargestTableExponent = 4096;
constexpr ExtendedFloat kTenTo17 = ExtendedFromScaled(100000000000000000, 0);
constexpr ExtendedFloat kTenTo18 = ExtendedFromScaled(1000000000000000000, 0);  // digit bound

// 10^m as the x87 builds it: the small power times the large ones for the bits of m / 8,
// each product rounded.
template <class A>
typename A::Value BuildPower(unsigned m) {
    typename A::Value power = A::FromSmall(kSmallPowersOfTen[m % 8]);
    unsigned bits = m / 8;
    for (int i = 0; bits != 0; ++i, bits >>= 1) {
        if (bits & 1) power = A::Multiply(power, A::FromBits(kLargePowersOfTen[i]));
    }
    return power;
}

// The software arithmetic keeps the powers a double's digits need, built once by the same
// products (so the same bits): a product in software costs what the whole scaling costs on
// the x87.
constexpr unsigned kCachedPowers = 512;

const ExtendedFloat* CachedPowersOfTen() {
    static const struct Table {
        ExtendedFloat powers[kCachedPowers];
        Table() {
            for (unsigned m = 0; m < kCachedPowers; ++m) {
                powers[m] = BuildPower<SoftExtendedArithmetic>(m);
            }
        }
    } table;
    return table.powers;
}

template <class A>
typename A::Value ScaleUnderRuntimeWord(typename A::Value value, int n) {
    if (n == 0) return value;
    // Beyond the table one multiplication by 10^4096 is taken per step. Needed once for any
    // n the digit routine uses; repeated (not just once) so that a larger |n| never builds a
    // power that overflows while the true result is finite. Stops as soon as it saturates.
    const typename A::Value largest = A::FromBits(kLargePowersOfTen[9]);
    while (n > kLargestTableExponent) {
        value = A::Multiply(value, largest);
        n -= kLargestTableExponent;
        if (A::IsZeroOrNotFinite(value)) return value;
    }
    while (n < -kLargestTableExponent) {
        value = A::Divide(value, largest);
        n += kLargestTableExponent;
        if (A::IsZeroOrNotFinite(value)) return value;
    }
    const unsigned m = n < 0 ? -n : n;
    typename A::Value power;
    if constexpr (A::kSoftware) {
        power = m < kCachedPowers ? CachedPowersOfTen()[m] : BuildPower<A>(m);
    } else {
        power = BuildPower<A>(m);
    }
    return n > 0 ? A::Multiply(value, power) : A::Divide(value, power);
}

template <class A>
ExtendedFloat ScaleWith(ExtendedFloat value, int n) {
    RuntimeFpuScope fpu;
    typename A::Value v = A::FromBits(value);
    FpuOrderingBarrier(v);
    typename A::Value result = ScaleUnderRuntimeWord<A>(v, n);
    FpuOrderingBarrier(result);
    return A::Bits(result);
}

// Rounded 18-digit integer for a finite, normal, positive value whose decimal exponent
// is estimated as *decimalExponent (the value is near integer x 10^(decimalExponent - 17)).
template <class A>
uint64_t DigitInteger(ExtendedFloat magnitudeBits, int* decimalExponent) {
    RuntimeFpuScope fpu;
    typename A::Value magnitude = A::FromBits(magnitudeBits);
    FpuOrderingBarrier(magnitude);
    int d = *decimalExponent;
    typename A::Value scaled = A::RoundToInteger(ScaleUnderRuntimeWord<A>(magnitude, 17 - d));
    if (A::Less(scaled, A::FromBits(kTenTo17))) {
        // The estimate overshoots by one at the bottom of some binades below 1 (620 of them,
        // the first near 1e-205): 0x4D10 / 65536 is below log10 2, so for a negative binary
        // exponent it errs upwards. One more power of ten restores the 18 digits.
        --d;
        scaled = A::RoundToInteger(ScaleUnderRuntimeWord<A>(magnitude, 17 - d));
    }
    uint64_t integer = static_cast<uint64_t>(A::StoreInteger(scaled));
    if (!A::Less(scaled, A::FromBits(kTenTo18))) {
        // 19 digits: the division by ten rounds to nearest, ties to even, as the x87 division
        // and integer store would, rather than dropping the 19th digit.
        const uint64_t remainder = integer % 10;
        integer /= 10;
        if (remainder > 5 || (remainder == 5 && (integer & 1))) ++integer;
        ++d;
    }
    FpuOrderingBarrier(integer);
    *decimalExponent = d;
    return integer;
}

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void WriteFourDigits(uint32_t value, char* out) {
    std::memcpy(out, kTwoDigits + 2 * (value / 100), 2);
    std::memcpy(out + 2, kTwoDigits + 2 * (value % 100), 2);
}

// Writes the 9 digits of value (below 10^9) at out, two at a time.
void WriteNineDigits(uint32_t value, char* out) {
    out[0] = static_cast<char>('0' + value / 100000000);
    value %= 100000000;
    WriteFourDigits(value / 10000, out + 1);
    WriteFourDigits(value % 10000, out + 5);
}

}  // namespace

long double ScaleByPowerOfTen(long double value, int n) {
    return ExtendedToLongDouble(ScaleByPowerOfTen(ExtendedFromLongDouble(value), n));
}

ExtendedFloat ScaleByPowerOfTen(ExtendedFloat value, int n, ExtendedArithmetic arithmetic) {
    return arithmetic == ExtendedArithmetic::kSoftware
               ? ScaleWith<SoftExtendedArithmetic>(value, n)
               : ScaleWith<HostExtendedArithmetic>(value, n);
}

DecimalDigitsResult DecimalDigits(long double value, int digitCount, char* buffer) {
    return DecimalDigits(ExtendedFromLongDouble(value), digitCount, buffer);
}

DecimalDigitsResult DecimalDigits(ExtendedFloat bits, int digitCount, char* buffer,
                                  ExtendedArithmetic arithmetic) {
    if (digitCount < 1 || digitCount > kMaxDecimalDigits) digitCount = kMaxDecimalDigits;
    const bool negative = (bits.signAndExponent & 0x8000) != 0;
    const int e = bits.signAndExponent & 0x7FFF;
    constexpr uint64_t kIntegerBit = uint64_t{1} << 63;

    if (e == 0x7FFF && bits.mantissa == kIntegerBit) {
        std::memset(buffer, '9', digitCount);
        buffer[digitCount] = '\0';
        return {999, negative};
    }
    // Zero, denormals, NaNs, and the encodings the x87 refuses to compute with (an exponent
    // with a clear integer bit) all read as zero. Infinity is the whole mantissa 0x8000...0:
    // a value whose top word alone is 0x8000 is a signalling NaN.
    if (e == 0 || e == 0x7FFF || (bits.mantissa & kIntegerBit) == 0) {
        std::memset(buffer, '0', digitCount);
        buffer[digitCount] = '\0';
        return {1, false};
    }

    // 0x4D10 / 65536 approximates log10 2 from below; >> on a negative product floors.
    int d = ((e - 16383) * 0x4D10) >> 16;
    const uint64_t integer = arithmetic == ExtendedArithmetic::kSoftware
                                 ? DigitInteger<SoftExtendedArithmetic>(ExtendedAbs(bits), &d)
                                 : DigitInteger<HostExtendedArithmetic>(ExtendedAbs(bits), &d);

    // 18 digits in two halves (64-by-32 bit division), then two guard zeros.
    char digits[kMaxDecimalDigits + 2];
    WriteNineDigits(static_cast<uint32_t>(integer / 1000000000u), digits);
    WriteNineDigits(static_cast<uint32_t>(integer % 1000000000u), digits + 9);
    digits[18] = digits[19] = '0';

    const char next = digits[digitCount];
    const bool lastOdd = ((digits[digitCount - 1] - '0') & 1) != 0;
    if (next > '5' || (next == '5' && lastOdd)) {
        int i = digitCount - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++d;
        }
    }
    std::memcpy(buffer, digits, digitCount);
    buffer[digitCount] = '\0';
    return {d + 1, negative};
}
