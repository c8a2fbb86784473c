// RaiseError and the translation of Win32 error codes.
#include "runtime/errors.h"

#include "runtime/proc_frame.h"
#include "runtime/thread_record.h"

const BYTE SystemErrorMap[41] = {
    0,   75, 53, 76, 67, 70, 51, 241, 7,  241,  // 0-9
    241, 51, 51, 51, 7,  68, 75, 74,  53, 70,   // 10-19
    68,  71, 51, 72, 51, 72, 72, 72,  72, 72,   // 20-29
    72,  72, 70, 70, 72, 72, 70, 75,  62, 61,   // 30-39
    75,                                         // 40
};

BYTE TranslateSystemError(DWORD win32Error) {
    if (win32Error <= 40) return SystemErrorMap[win32Error];
    if (win32Error == ERROR_DISK_FULL) return 61;
    if (win32Error == ERROR_INVALID_PARAMETER) return 5;
    return 75;
}

void RaiseError(BYTE number) {
    if (number == 0) number = 51;
    ProcFrame& frame = CurrentProcFrame();
    // Depth 1: the failing service is the one the procedure called. Depth 0: program code
    // raised the error itself, which counts as its own call as well.
    const WORD flags = RuntimeServiceDepth() > 1 ? kErrorFromService : kErrorFromProcedure;
    frame.errorState = static_cast<WORD>(flags << 8 | number);
    GetThreadRecord();  // a failure here is not reported again
    if (number >= kFirstFatalError) ExitProcess(255);
}
