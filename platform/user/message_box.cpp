// Message boxes for the portable host, written to standard error until a window exists.
#include "platform/trace.h"
#include "platform/win32.h"

#include <cstdio>
#include <string>

namespace {
std::string Utf8(LPCWSTR text) {
    std::string out;
    for (; *text; ++text) {
        char32_t code = *text;
        if (code >= 0xD800 && code <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[1] - 0xDC00);
            ++text;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;  // a lone surrogate
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

int Show(const std::string& text, const std::string& caption, UINT style) {
    platform_trace::Record("MessageBox", caption + "|" + text + "|style=" + std::to_string(style));
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return IDOK;
}
}  // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style) {
    return Show(text ? text : "", caption ? caption : "Error", style);
}

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT style) {
    return Show(text ? Utf8(text) : "", caption ? Utf8(caption) : "Error", style);
}
