// Numbers as text the way OLE Automation reads and writes them for US English (locale
// 0x409): the grammar VariantChangeTypeEx accepts, truth words, and the printed forms of
// floating-point and currency values. Used only by platform/ole/change_type.cpp.
#pragma once

#include "platform/types.h"

#include <cstdint>
#include <string>

// What a piece of text says as a number.
struct NumberText {
    bool radix;           // "&H.." or "&O..": `radixValue` holds the digits' value
    uint64_t radixValue;  //
    bool integral;        // no fraction after scaling, and |value| fits in `magnitude`
    bool negative;        // a minus sign, a trailing minus or parentheses
    uint64_t magnitude;   // |value| when integral
    double real;          // the value, correctly rounded to the nearest double
};

// Reads `length` characters of `text` (up to an embedded zero) as a number: blanks (space,
// tab, line breaks, no-break space) around it; leading '+', '-', '(' and '$' in any order,
// each at most once; digits with ',' anywhere after the first digit; an optional '.' and
// fraction; an optional exponent 'e' or 'E' with a sign; trailing '-', ')' and '$'. Or
// "&H" / "&O" and hexadecimal or octal digits. S_OK; DISP_E_TYPEMISMATCH for anything
// else; DISP_E_OVERFLOW for a value beyond the range of a double or a hexadecimal or octal
// value beyond 64 bits.
HRESULT ParseNumberText(const OLECHAR* text, size_t length, NumberText* number);

// "True" or "False" in any case, or exactly "#TRUE#" / "#FALSE#": true with the truth value
// in `value`; false for any other text (blanks included).
bool ParseTruthText(const OLECHAR* text, size_t length, bool* value);

// A double printed with `digits` significant digits (15 for VT_R8, 7 for VT_R4): the
// shortest fixed form, or mantissa and "E+dd" / "E-dd" beyond the digits; "0" for -0.
std::string FormatReal(double value, int digits);

// A currency amount (units of 1/10,000) in fixed form without trailing zeros: "1.2345",
// "-0.5", "7".
std::string FormatCurrency(int64_t amount);
