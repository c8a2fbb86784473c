// Reading and printing numbers as OLE Automation does for locale 0x409. The decimal value
// is assembled as plain ASCII ("digits.e<exponent>") and rounded once by strtod, so text
// and double agree to the last bit.
#include "platform/ole/number_text.h"

#include "platform/win32.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsBlank(OLECHAR c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0xA0;
}
bool IsDigit(OLECHAR c) {
    return c >= '0' && c <= '9';
}

// Exponents beyond this make every double 0 or infinite; clamping keeps the sum bounded.
constexpr long kExponentClamp = 100000;

class Scanner {
   public:
    Scanner(const OLECHAR* text, size_t length) : text_(text), length_(length) {
        for (size_t i = 0; i < length_; ++i)
            if (text_[i] == 0) length_ = i;  // an embedded zero ends the text
    }
    bool AtEnd() const { return position_ >= length_; }
    OLECHAR Peek(size_t ahead = 0) const {
        return position_ + ahead < length_ ? text_[position_ + ahead] : 0;
    }
    void Skip(size_t count = 1) { position_ += count; }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(Peek())) Skip();
    }

   private:
    const OLECHAR* text_;
    size_t length_;
    size_t position_ = 0;
};

HRESULT ParseRadix(Scanner& scan, NumberText* number) {
    const OLECHAR marker = scan.Peek(1);
    const unsigned shift = (marker == 'H' || marker == 'h') ? 4 : 3;
    scan.Skip(2);
    uint64_t value = 0;
    size_t digits = 0;
    for (;; ++digits, scan.Skip()) {
        const OLECHAR c = scan.Peek();
        unsigned digit;
        if (IsDigit(c)) {
            digit = c - '0';
        } else if (shift == 4 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (shift == 4 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        if (digit >= (1u << shift)) break;
        if (value >> (64 - shift)) return DISP_E_OVERFLOW;
        value = value << shift | digit;
    }
    scan.SkipBlanks();
    if (digits == 0 || !scan.AtEnd()) return DISP_E_TYPEMISMATCH;
    number->radix = true;
    number->radixValue = value;
    number->integral = true;
    number->magnitude = value;
    number->real = static_cast<double>(value);
    return S_OK;
}

}  // namespace

HRESULT ParseNumberText(const OLECHAR* text, size_t length, NumberText* number) {
    *number = NumberText{};
    Scanner scan(text, text ? length : 0);
    scan.SkipBlanks();
    if (scan.Peek() == '&') {
        const OLECHAR marker = scan.Peek(1);
        if (marker == 'H' || marker == 'h' || marker == 'O' || marker == 'o')
            return ParseRadix(scan, number);
        return DISP_E_TYPEMISMATCH;
    }

    bool plus = false, minus = false, open = false, currency = false;
    for (;; scan.Skip()) {
        const OLECHAR c = scan.Peek();
        if (IsBlank(c)) continue;
        if (c == '+' && !plus) {
            plus = true;
        } else if (c == '-' && !minus) {
            minus = true;
        } else if (c == '(' && !open) {
            open = true;
        } else if (c == '$' && !currency) {
            currency = true;
        } else {
            break;
        }
    }

    // Digits without separators, and the power of ten they are scaled by.
    std::string digits;
    long scale = 0;
    bool sawDigit = false;
    while (IsDigit(scan.Peek()) || (sawDigit && scan.Peek() == ',')) {
        if (scan.Peek() != ',') {
            digits += static_cast<char>(scan.Peek());
            sawDigit = true;
        }
        scan.Skip();
    }
    if (scan.Peek() == '.') {
        scan.Skip();
        while (IsDigit(scan.Peek()) || (scan.Peek() == ',' && (sawDigit || !digits.empty()))) {
            if (scan.Peek() != ',') {
                digits += static_cast<char>(scan.Peek());
                sawDigit = true;
                --scale;
            }
            scan.Skip();
        }
    }
    if (!sawDigit) return DISP_E_TYPEMISMATCH;
    if (scan.Peek() == 'e' || scan.Peek() == 'E') {
        scan.Skip();
        bool negativeExponent = false;
        if (scan.Peek() == '+' || scan.Peek() == '-') {
            negativeExponent = scan.Peek() == '-';
            scan.Skip();
        }
        if (!IsDigit(scan.Peek())) return DISP_E_TYPEMISMATCH;
        long exponent = 0;
        while (IsDigit(scan.Peek())) {
            if (exponent < kExponentClamp) exponent = exponent * 10 + (scan.Peek() - '0');
            scan.Skip();
        }
        scale += negativeExponent ? -exponent : exponent;
    }

    bool closed = false;
    for (;; scan.Skip()) {
        const OLECHAR c = scan.Peek();
        if (IsBlank(c)) continue;
        if (c == '-' && !minus) {
            minus = true;
        } else if (c == ')' && open && !closed) {
            closed = true;
        } else if (c == '$' && !currency) {
            currency = true;
        } else {
            break;
        }
    }
    if (!scan.AtEnd() || open != closed) return DISP_E_TYPEMISMATCH;

    number->negative = minus || open;
    std::string ascii = digits + "e" + std::to_string(scale);
    const double magnitude = std::strtod(ascii.c_str(), nullptr);
    if (std::isinf(magnitude)) return DISP_E_OVERFLOW;
    number->real = number->negative ? -magnitude : magnitude;

    // Exact integer when every digit stays left of the decimal point and the value fits.
    size_t significant = digits.find_first_not_of('0');
    if (significant == std::string::npos) {
        number->integral = true;
        return S_OK;
    }
    const long integerDigits = static_cast<long>(digits.size()) + scale;
    bool fraction = false;
    for (long i = std::max(integerDigits, 0L); i < static_cast<long>(digits.size()); ++i)
        if (digits[i] != '0') fraction = true;
    if (fraction || integerDigits - static_cast<long>(significant) > 20) return S_OK;
    uint64_t value = 0;
    for (long i = static_cast<long>(significant); i < integerDigits; ++i) {
        const unsigned digit = i < static_cast<long>(digits.size()) ? digits[i] - '0' : 0;
        if (value > (UINT64_MAX - digit) / 10) return S_OK;
        value = value * 10 + digit;
    }
    number->integral = true;
    number->magnitude = value;
    return S_OK;
}

bool ParseTruthText(const OLECHAR* text, size_t length, bool* value) {
    auto equals = [&](const char* word, bool anyCase) {
        size_t i = 0;
        for (; word[i]; ++i) {
            if (i >= length) return false;
            OLECHAR c = text[i];
            if (anyCase && c >= 'a' && c <= 'z') c = static_cast<OLECHAR>(c - 'a' + 'A');
            if (c != static_cast<OLECHAR>(word[i])) return false;
        }
        return i == length;
    };
    if (!text) return false;
    if (equals("TRUE", true) || equals("#TRUE#", false)) {
        *value = true;
        return true;
    }
    if (equals("FALSE", true) || equals("#FALSE#", false)) {
        *value = false;
        return true;
    }
    return false;
}

std::string FormatReal(double value, int digits) {
    if (value == 0) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    return buffer;
}

std::string FormatCurrency(int64_t amount) {
    const bool negative = amount < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(amount) : amount;
    std::string text = std::to_string(magnitude / 10000);
    unsigned fraction = static_cast<unsigned>(magnitude % 10000);
    if (fraction) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, ".%04u", fraction);
        std::string tail = buffer;
        while (tail.back() == '0') tail.pop_back();
        text += tail;
    }
    return negative ? "-" + text : text;
}
