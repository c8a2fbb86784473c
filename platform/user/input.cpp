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
    if (in(Key::A, Key::Z)) return 'A' + (code - static_cast<int>(Key::A));
    if (in(Key::Digit0, Key::Digit9)) return '0' + (code - static_cast<int>(Key::Digit0));
    if (in(Key::F1, Key::F12)) return VK_F1 + (code - static_cast<int>(Key::F1));
    switch (key) {
        case Key::Return:
            return VK_RETURN;
        case Key::Escape:
            return VK_ESCAPE;
        case Key::Backspace:
            return VK_BACK;
        case Key::Tab:
            return VK_TAB;
        case Key::Space:
            return VK_SPACE;
        case Key::Delete:
            return VK_DELETE;
        case Key::Left:
            return VK_LEFT;
        case Key::Right:
            return VK_RIGHT;
        case Key::Up:
            return VK_UP;
        case Key::Down:
            return VK_DOWN;
        case Key::Shift:
            return VK_SHIFT;
        case Key::Control:
            return VK_CONTROL;
        case Key::Alt:
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
        case EventKind::KeyDown:
        case EventKind::KeyUp: {
            const bool down = event.kind == EventKind::KeyDown;
            out->wParam = VirtualKey(event.key);
            out->message =
                event.alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
            // Repeat count 1; bit 29: Alt held; bits 30 and 31: a release.
            out->lParam = 1 | (event.alt ? (1 << 29) : 0) | (down ? 0 : (3u << 30));
            return out->wParam != 0;
        }
        case EventKind::PointerMove:
            *out = {WM_MOUSEMOVE, MouseKeys(event.buttons),
                    static_cast<LPARAM>(MAKELONG(event.x, event.y))};
            return true;
        case EventKind::PointerDown:
        case EventKind::PointerUp: {
            const bool down = event.kind == EventKind::PointerDown;
            switch (event.button) {
                case display::PointerButton::Left:
                    out->message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
                    break;
                case display::PointerButton::Middle:
                    out->message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
                    break;
                case display::PointerButton::Right:
                    out->message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
                    break;
                case display::PointerButton::NoButton:
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
