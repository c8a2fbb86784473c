// Number-to-text formatting: at most N significant digits, a sign position, no "0" before a
// decimal point, an exponent form when the plain form would need more than N digits.
// FormatNumberText is the pure layout into a caller buffer; the others push run-time strings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/decimal_digits.h"

// Flags of FormatNumber: keep the blank that stands in for the sign of a non-negative value,
// and keep the blank that the layout appends at the end.
constexpr uint32_t kKeepLeadingBlank = 0x80000000u;
constexpr uint32_t kKeepTrailingBlank = 0x00000001u;

// Longest text is 27 bytes ("-1.23456789012345678E-4932 "); the work buffer holds 32.
constexpr size_t kNumberTextBufferSize = 32;

// Formats value with digitCount significant digits and flags, and pushes the text on the
// current frame's TempStringStack as an owned 8-bit string. Allocation failure pushes an
// empty slot and raises kErrorOutOfMemory.
void FormatNumber(long double value, int digitCount, uint32_t flags);
// The same text widened one byte to one character, pushed as an owned wide string; same
// failure behaviour. Item values are converted to text with flags 0.
void FormatNumberWide(long double value, int digitCount, uint32_t flags);
// Program code's number-to-string: 15 digits, the blank of a non-negative value kept.
void NumberToText(long double value);

// Lays out value with digitCount significant digits (0, negative or 18 and more mean 18)
// into text, zero-terminated; returns the length (at most 27).
size_t FormatNumberText(long double value, int digitCount, uint32_t flags,
                        char (&text)[kNumberTextBufferSize]);
// The same layout of an extended value given by its bits, with the chosen arithmetic.
size_t FormatNumberText(ExtendedFloat value, int digitCount, uint32_t flags,
                        char (&text)[kNumberTextBufferSize],
                        ExtendedArithmetic arithmetic = ExtendedArithmetic::kHost);
