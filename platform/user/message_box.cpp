// MessageBoxA and MessageBoxW: SDL's modal box, standard error without a display.
#include "platform/display/display.h"
#include "platform/run_allocations.h"
#include "platform/trace.h"
#include "platform/user/window_state.h"

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

struct ButtonSet {
    display::BoxButtons buttons;
    int ids[3];
};

int Show(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    static const ButtonSet kSets[] = {
        {display::BoxButtons::kOk, {IDOK}},
        {display::BoxButtons::kOkCancel, {IDOK, IDCANCEL}},
        {display::BoxButtons::kAbortRetryIgnore, {IDABORT, IDRETRY, IDIGNORE}},
        {display::BoxButtons::kYesNoCancel, {IDYES, IDNO, IDCANCEL}},
        {display::BoxButtons::kYesNo, {IDYES, IDNO}},
        {display::BoxButtons::kRetryCancel, {IDRETRY, IDCANCEL}},
    };
    platform_trace::Record("MessageBox", caption + "|" + text + "|style=" + std::to_string(style));
    const UINT set = style & 0xF;
    if (set >= sizeof kSets / sizeof kSets[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (platform_trace::Enabled()) return kSets[set].ids[0];
    const UINT iconBits = style & 0xF0;
    display::BoxIcon icon = iconBits == MB_ICONERROR     ? display::BoxIcon::kError
                            : iconBits == MB_ICONWARNING ? display::BoxIcon::kWarning
                            : iconBits == MB_ICONINFORMATION || iconBits == MB_ICONQUESTION
                                ? display::BoxIcon::kInformation
                                : display::BoxIcon::kNoIcon;
    uint32_t native = 0;
    if (owner) {
        DWORD saved = GetLastError();
        if (auto window = user_state::LookUpWindow(owner)) native = window->surface;
        SetLastError(saved);
    }
    // A run with an injected allocation failure is unattended: nobody would close a box.
    int chosen = run_allocations::Injecting()
                     ? -1
                     : display::ShowMessageBox(caption, text, kSets[set].buttons, icon, native);
    if (chosen < 0) {  // no display: the message must still reach someone
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        chosen = 0;
    }
    return kSets[set].ids[chosen];
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    return Show(owner, text ? text : "", caption ? caption : "Error", style);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    return Show(owner, text ? Utf8(text) : "", caption ? Utf8(caption) : "Error", style);
}
