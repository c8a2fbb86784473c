// ShowMessageBox: text and title from the TempStringStack, the floating-point state kept
// on this call's own stack around the system's dialog.
#include "runtime/message_box.h"

#include "runtime/fpu_state.h"
#include "runtime/temp_strings.h"

const OLECHAR kDefaultMessageBoxCaption[] = WSTR("Quarkstone");

int ShowMessageBox(UINT style) {
    const StringHandle title = TempString(0);
    const StringHandle text = TempString(1);
    LPCWSTR caption = StringCharCount(title) > 0 ? StringOf(title) : kDefaultMessageBoxCaption;
    LPCWSTR body = StringOf(text) ? StringOf(text) : WSTR("");  // also a borrowed null
    FpuState state;
    SaveFpuState(state);
    Sleep(5);
    const int button = MessageBoxW(nullptr, body, caption, style);
    RestoreFpuState(state);
    PopAndFreeString();
    PopAndFreeString();
    return button;
}
