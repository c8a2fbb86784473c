// Message boxes for the portable host: SDL's modal box, or one line on standard error when
// no display can show it.
#pragma once

#include "platform/types.h"

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONERROR 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONWARNING 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_SETFOREGROUND 0x00010000L
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Shows a modal message box (SDL's) with the caption ("Error" when null, as Windows'
// default) and text, the buttons of the style's low four bits (MB_OK .. MB_RETRYCANCEL) and
// its icon, and returns the button chosen (IDOK ...); closing the box picks the first
// button. The modality and foreground flags are taken and need nothing more here: the box
// blocks the calling thread and SDL raises it. Knowingly different from Windows: with no
// display, the box is one line "caption: text" on standard error and the result is the
// first button at once; while the test trace is on, the box is only recorded (tests never
// wait on a modal window). Another button set: 0 with ERROR_INVALID_PARAMETER.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
// As MessageBoxA, for UTF-16 text and caption (shown and written as UTF-8).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
