// The display's key and pointer events as Win32 input messages: one table of key codes and
// the button bits; keys outside the table give no message.
#include "platform/user/input.h"

namespace user_input {

using display::EventKind;
using display::Key;

WPARAM VirtualKey(Key key) {
    const int code = static_cast<int>(key);
    auto in = [code](Key first, Key last) {
        return code >= static_cast<int>(first) && code <= static_cast<int>(last);
    };
    if (in(Key::kA, Key::kZ)) return 'A' + (code - static_cast<int>(Key::kA));
    if (in(Key::kDigit0, Key::kDigit9)) return '0' + (code - static_cast<int>(Key::kDigit0));
    if (in(Key::kF1, Key::kF12)) return VK_F1 + (code - static_cast<int>(Key::kF1));
    switch (key) {
        case Key::kReturn:
            return VK_RETURN;
        case Key::kEscape:
            return VK_ESCAPE;
        case Key::kBackspace:
            return VK_BACK;
        case Key::kTab:
            return VK_TAB;
        case Key::kSpace:
            return VK_SPACE;
        case Key::kDelete:
            return VK_DELETE;
        case Key::kLeft:
            return VK_LEFT;
        case Key::kRight:
            return VK_RIGHT;
        case Key::kUp:
            return VK_UP;
        case Key::kDown:
            return VK_DOWN;
        case Key::kShift:
            return VK_SHIFT;
        case Key::kControl:
            return VK_CONTROL;
        case Key::kAlt:
            return VK_MENU;
        default:
            return 0;
    }
}

WPARAM MouseKeys(unsigned held) {
    return ((held & display::kHeldLeft) ? MK_LBUTTON : 0) |
           ((held & display::kHeldRight) ? MK_RBUTTON : 0) |
           ((held & display::kHeldMiddle) ? MK_MBUTTON : 0);
}

bool ToMessage(const display::Event& event, InputMessage* out) {
    switch (event.kind) {
        case EventKind::kKeyDown:
        case EventKind::kKeyUp: {
            const bool down = event.kind == EventKind::kKeyDown;
            out->wParam = VirtualKey(event.key);
            out->message =
                event.alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
            // Repeat count 1; bit 29: Alt held; bits 30 and 31: a release.
            out->lParam = 1 | (event.alt ? (1 << 29) : 0) | (down ? 0 : (3u << 30));
            return out->wParam != 0;
        }
        case EventKind::kPointerMove:
            *out = {WM_MOUSEMOVE, MouseKeys(event.buttons),
                    static_cast<LPARAM>(MAKELONG(event.x, event.y))};
            return true;
        case EventKind::kPointerDown:
        case EventKind::kPointerUp: {
            const bool down = event.kind == EventKind::kPointerDown;
            switch (event.button) {
                case display::PointerButton::kLeft:
                    out->message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
                    break;
                case display::PointerButton::kMiddle:
                    out->message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
                    break;
                case display::PointerButton::kRight:
                    out->message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
                    break;
                case display::PointerButton::kNoButton:
                    return false;
            }
            out->wParam = MouseKeys(event.buttons);
            out->lParam = static_cast<LPARAM>(MAKELONG(event.x, event.y));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace user_input
