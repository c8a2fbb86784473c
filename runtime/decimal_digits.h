// Rounded decimal digits of an extended-precision value: the digit-producing core of number
// formatting. Pure computation on the caller's buffer; no allocation, no errors raised.
#pragma once

#include <cstdint>

#include "runtime/extended_float.h"

// The most significant digits DecimalDigits produces (the digit integer has 18 digits).
constexpr int kMaxDecimalDigits = 18;

struct DecimalDigitsResult {
    int exponent;   // E: the value is 0.d1d2...dN x 10^E
    bool negative;  // sign of the value; cleared for zero, denormals and NaNs
};

// Which arithmetic computes the digits: the host's (the x87 where there is one, else the
// software one) or the software one on any host, which gives the same bits.
enum class ExtendedArithmetic : uint8_t { kHost, kSoftware };

// Multiplies value by 10^n (divides for negative n) with the two power-of-ten tables, in
// extended precision under the run-time's control word. n = 0 returns value unchanged.
long double ScaleByPowerOfTen(long double value, int n);
ExtendedFloat ScaleByPowerOfTen(ExtendedFloat value, int n,
                                ExtendedArithmetic arithmetic = ExtendedArithmetic::kHost);

// Writes digitCount digits and a zero byte to buffer (digitCount + 1 bytes), rounded at the
// next digit (ties to even on that digit alone). A digitCount outside 1..18 means 18.
// Zero, denormals and NaNs give zeros with exponent 1; infinities give nines with exponent 999.
DecimalDigitsResult DecimalDigits(long double value, int digitCount, char* buffer);
DecimalDigitsResult DecimalDigits(ExtendedFloat value, int digitCount, char* buffer,
                                  ExtendedArithmetic arithmetic = ExtendedArithmetic::kHost);
