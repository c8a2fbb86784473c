// Keyboard and pointer input of the portable host: the display's key and pointer events as
// the messages Windows posts for them (virtual-key codes, MK_ flags, the key messages' lParam
// bits). No Shift state or repeat count is kept: every key message reports one press.
#pragma once

#include "platform/display/display.h"
#include "platform/win32.h"

namespace user_input {

struct InputMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The virtual-key code of a display key; 0 for Key::kNoKey.
WPARAM VirtualKey(display::Key key);

// The MK_ flags of the display's held-button bits.
WPARAM MouseKeys(unsigned held);

// The message for a key or pointer event: WM_KEYDOWN/UP (WM_SYSKEYDOWN/UP with Alt held,
// lParam bit 29 set), WM_MOUSEMOVE, WM_[LMR]BUTTONDOWN/UP with the point in lParam. False
// for every other event, for a key without a virtual-key code and for a pointer event
// without a button.
bool ToMessage(const display::Event& event, InputMessage* out);

}  // namespace user_input
