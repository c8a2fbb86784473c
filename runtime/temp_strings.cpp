// TempStringStack pushes and pops, and assignment into variables and arguments.
#include "runtime/temp_strings.h"

#include "runtime/errors.h"

#include <cstring>

namespace {
// Writing past the frame's five slots, or popping what was never pushed, would corrupt the
// frame; the only safe answer is to stop, as for the fatal run-time errors.
[[noreturn]] void StackFault() {
    ExitProcess(kFatalExitCode);
}
}  // namespace

void PushTempString(ProcFrame& frame, StringHandle handle) {
    if (frame.TempCount() >= kTempStringSlots) StackFault();
    frame.tempIndex -= static_cast<LONG>(sizeof(StringHandle));
    frame.TempSlot(0) = handle;
}

StringHandle PopTempString(ProcFrame& frame) {
    if (frame.TempCount() <= 0) StackFault();
    StringHandle handle = frame.TempSlot(0);
    frame.TempSlot(0) = 0;
    frame.tempIndex += static_cast<LONG>(sizeof(StringHandle));
    return handle;
}

StringHandle& TempString(int depth) {
    ProcFrame& frame = CurrentProcFrame();
    if (depth < 0 || depth >= frame.TempCount()) StackFault();
    return frame.TempSlot(depth);
}

int TempStringCount() {
    return CurrentProcFrame().TempCount();
}

void PushBorrowedString(BSTR text) {
    PushTempString(CurrentProcFrame(), BorrowedHandle(text));
}

void PushOwnedString(BSTR text) {
    PushTempString(CurrentProcFrame(), OwnedHandle(text));
}

void PushEmptyString() {
    PushTempString(CurrentProcFrame(), 0);
}

void PushStringCopy(const void* source, UINT bytes) {
    RuntimeService service;
    BSTR copy = AllocByteString(bytes);
    if (copy) std::memcpy(copy, source, bytes);
    PushTempString(CurrentProcFrame(), OwnedHandle(copy));
}

void PopAndFreeString() {
    FreeString(PopTempString(CurrentProcFrame()));
}

UINT PopStringLength() {
    StringHandle handle = PopTempString(CurrentProcFrame());
    const UINT length = StringByteLength(handle);
    FreeString(handle);
    return length;
}

void PopIntoStringVariable(BSTR* variable) {
    RuntimeService service;
    StringHandle handle = PopTempString(CurrentProcFrame());
    BSTR previous = *variable;
    if (!IsBorrowed(handle) || StringOf(handle) == nullptr) {
        *variable = StringOf(handle);
        // An owned slot that already is the variable's string stays; it must not be freed.
        if (previous != *variable) FreeString(previous);
        return;
    }
    const UINT bytes = StringByteLength(handle);
    if (previous && StringByteLength(previous) == bytes) {
        // Same length: reuse the variable's buffer (memmove: x = x copies onto itself).
        std::memmove(previous, StringOf(handle), bytes);
        return;
    }
    // Copy before freeing: the borrowed string may be the one being replaced.
    BSTR copy = CopyString(handle);
    *variable = copy;
    FreeString(previous);
}

BSTR PopIntoStringArgument(BSTR* place) {
    RuntimeService service;
    StringHandle handle = PopTempString(CurrentProcFrame());
    BSTR argument = IsBorrowed(handle) ? CopyString(handle) : StringOf(handle);
    *place = argument;
    return argument;
}
