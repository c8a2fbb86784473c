// Layout of formatted numbers on top of DecimalDigits, and the run-time entry points that
// push the text as a dynamic string.
#include "runtime/number_format.h"

#include <cstring>

#include "runtime/string_handle.h"
#include "runtime/temp_strings.h"

namespace {

// Appends |x| (below 10^5) with no leading zeros.
size_t AppendExponent(int x, char* out) {
    char reversed[8];
    size_t n = 0;
    unsigned magnitude = x < 0 ? -x : x;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (size_t i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    return n;
}

}  // namespace

size_t FormatNumberText(long double value, int digitCount, uint32_t flags,
                        char (&text)[kNumberTextBufferSize]) {
    return FormatNumberText(ExtendedFromLongDouble(value), digitCount, flags, text);
}

size_t FormatNumberText(ExtendedFloat value, int digitCount, uint32_t flags,
                        char (&text)[kNumberTextBufferSize], ExtendedArithmetic arithmetic) {
    // A count below 1 is treated like 0 (18 digits): no count can overrun the buffers.
    if (digitCount < 1 || digitCount > kMaxDecimalDigits) digitCount = kMaxDecimalDigits;
    char digits[kMaxDecimalDigits + 1];
    const DecimalDigitsResult r = DecimalDigits(value, digitCount, digits, arithmetic);
    // The sign is the value's sign bit, not DecimalDigits' sign (which it clears for zero,
    // denormals and NaNs): negative zero and a NaN with its sign bit set print as "-0".
    text[0] = (value.signAndExponent & 0x8000) ? '-' : ' ';
    size_t len = 1;

    int k = digitCount;
    while (k > 0 && digits[k - 1] == '0') --k;
    if (k == 0) {
        text[len++] = '0';
    } else {
        const int p = r.exponent - k;  // power of ten of the last kept digit
        const bool exponentForm = (p > 0 && k + p > digitCount) || (p < 0 && -p > digitCount);
        if (exponentForm) {
            text[len++] = digits[0];
            if (k > 1) {
                text[len++] = '.';
                std::memcpy(text + len, digits + 1, k - 1);
                len += k - 1;
            }
            const int x = p + k - 1;
            text[len++] = 'E';
            text[len++] = x < 0 ? '-' : '+';
            len += AppendExponent(x, text + len);
        } else if (p >= 0) {
            std::memcpy(text + len, digits, k);
            len += k;
            std::memset(text + len, '0', p);
            len += p;
        } else if (k > -p) {
            const int whole = k + p;
            std::memcpy(text + len, digits, whole);
            len += whole;
            text[len++] = '.';
            std::memcpy(text + len, digits + whole, -p);
            len += -p;
        } else {
            text[len++] = '.';
            std::memset(text + len, '0', -p - k);
            len += -p - k;
            std::memcpy(text + len, digits, k);
            len += k;
        }
    }
    // The digits lost their trailing zeros above, so no fraction here ends in "0" and the
    // point never stands alone: there is nothing to trim before the exponent or the end.
    if (flags & kKeepTrailingBlank) text[len++] = ' ';
    size_t start = 0;
    if (text[0] == ' ' && !(flags & kKeepLeadingBlank)) start = 1;
    if (start != 0) std::memmove(text, text + 1, len - 1);
    len -= start;
    text[len] = '\0';
    return len;
}

void FormatNumber(long double value, int digitCount, uint32_t flags) {
    RuntimeService service;  // an allocation failure is reported as raised inside a service
    char text[kNumberTextBufferSize];
    const size_t length = FormatNumberText(value, digitCount, flags, text);
    BSTR result = AllocByteString(static_cast<UINT>(length));
    if (result) std::memcpy(result, text, length);
    PushOwnedString(result);
}

void FormatNumberWide(long double value, int digitCount, uint32_t flags) {
    RuntimeService service;
    char text[kNumberTextBufferSize];
    const size_t length = FormatNumberText(value, digitCount, flags, text);
    BSTR result = AllocWideString(static_cast<UINT>(length));
    if (result) {
        for (size_t i = 0; i < length; ++i) {
            result[i] = static_cast<OLECHAR>(static_cast<unsigned char>(text[i]));
        }
    }
    PushOwnedString(result);
}

void NumberToText(long double value) {
    FormatNumber(value, 15, kKeepLeadingBlank);
}
