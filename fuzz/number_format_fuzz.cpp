// Number formatting of any 80-bit pattern with any digit count from 0 to 30 and any flags:
// the text is never longer than its buffer allows, always ends with its terminator, and has
// the shape of a number (sign blank or '-', digits, at most one point, an optional exponent)
// or is one of the texts for values without digits.
#include "runtime/number_format.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// A plain or exponent-form number, allowing the sign and trailing blanks the flags keep.
bool LooksLikeNumber(const char* text, size_t length) {
    size_t at = 0;
    if (at < length && (text[at] == ' ' || text[at] == '-')) ++at;
    size_t digits = 0, points = 0;
    while (at < length && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.')) {
        (text[at] == '.' ? points : digits) += 1;
        ++at;
    }
    if (digits == 0 || points > 1) return false;
    if (at < length && text[at] == 'E') {
        ++at;
        if (at >= length || (text[at] != '+' && text[at] != '-')) return false;
        ++at;
        size_t exponentDigits = 0;
        while (at < length && std::isdigit(static_cast<unsigned char>(text[at]))) {
            ++exponentDigits;
            ++at;
        }
        if (exponentDigits == 0) return false;
    }
    while (at < length && text[at] == ' ') ++at;
    return at == length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10) return 0;
    ExtendedFloat value;  // the 80-bit pattern, whatever it encodes
    std::memcpy(&value.mantissa, data, 8);
    std::memcpy(&value.signAndExponent, data + 8, 2);
    const int digitCount = size > 10 ? data[10] % 31 : 15;
    uint32_t flags = 0;
    if (size > 11)
        flags = (data[11] & 1 ? kKeepLeadingBlank : 0) | (data[11] & 2 ? kKeepTrailingBlank : 0);
    char text[kNumberTextBufferSize];
    std::memset(text, 'x', sizeof text);
    const size_t length = FormatNumberText(value, digitCount, flags, text);
    Check(length <= 27);
    Check(text[length] == '\0');
    Check(std::strlen(text) == length);
    Check(length == 0 || LooksLikeNumber(text, length) || std::strchr(text, 'N') ||
          std::strchr(text, 'I'));
    return 0;
}
