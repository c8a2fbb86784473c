// ShowMessageBox: the run-time's message box, with its text and title taken from the
// caller's TempStringStack.
#pragma once

#include "platform/win32.h"

// The caption shown when the title is empty.
extern const OLECHAR kDefaultMessageBoxCaption[];

// Shows a message box with no owner window. Its text and title are the two top slots of
// the current frame's TempStringStack, both wide strings: the text below, the title on
// top. A null text is the empty text; an empty title gives the caption "Quarkstone".
// Frees (unless borrowed) and pops both slots; returns what MessageBoxW returned.
int ShowMessageBox(UINT style);
