// The TempStringStack of the current ProcFrame: how string temporaries of a statement are
// pushed (owned or borrowed), popped, and stored into variables and system-call arguments,
// so that every owned string is freed exactly once and no borrowed one ever is.
#pragma once

#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"

// Pushes `text` marked as borrowed (literals, variables read in an expression); a null
// handle pushes a marked null.
void PushBorrowedString(BSTR text);
// Pushes a string the statement owns, unchanged.
void PushOwnedString(BSTR text);
// Pushes the empty string (0).
void PushEmptyString();
// Pushes an owned copy of `bytes` bytes at `source`; on allocation failure pushes 0 (and
// kErrorOutOfMemory is raised by the allocation).
void PushStringCopy(const void* source, UINT bytes);
// Pops the top slot and frees it.
void PopAndFreeString();
// Pops the top slot, frees it and returns its byte length.
UINT PopStringLength();
// Pops the top slot into a string variable, which owns what it holds: an owned slot is
// stored as it is; a borrowed one is copied, into the variable's own buffer when that has
// exactly the same byte length. The variable's previous string is freed (unless reused).
// Allocation failure leaves the variable 0 and raises kErrorOutOfMemory.
void PopIntoStringVariable(BSTR* variable);
// Pops the top slot into the place of a system-call argument and returns the handle to pass
// by value: a borrowed string is copied first (failure: 0 at the place and kErrorOutOfMemory).
// The place's previous content is not freed; program code frees the argument after the call.
BSTR PopIntoStringArgument(BSTR* place);

// The slot `depth` below the top (0: the top) of the current frame's stack, and the number
// of pending slots.
StringHandle& TempString(int depth = 0);
int TempStringCount();

// The raw push and pop on a given frame. A push onto a full stack or a pop from an empty
// one is a fault of the calling code: the process ends with exit code 255.
void PushTempString(ProcFrame& frame, StringHandle handle);
StringHandle PopTempString(ProcFrame& frame);
