// Run-time error numbers: RaiseError records a number in the frame of the program procedure
// that called the failing service, or ends the process when the number is fatal
// (kFirstFatalError and above), and SystemErrorMap turns Win32 error codes into run-time error
// numbers.
#pragma once

#include "platform/win32.h"
#include "runtime/error_numbers.h"

// Records `number` (0 counts as kErrorInternal) in the current ProcFrame's ErrorState, with flags
// 0xB0 when the failing service was called by the procedure itself and 0x30 when another run-time
// service called it; makes sure the thread has a ThreadRecord; a fatal number ends the process at
// once with exit code 255, releasing nothing. Otherwise returns.
void RaiseError(BYTE number);

// Run-time error numbers for Win32 error codes 0 to 40.
extern const BYTE SystemErrorMap[41];
// The run-time error number for any Win32 error code: 0-40 through SystemErrorMap,
// ERROR_DISK_FULL kErrorDiskFull, ERROR_INVALID_PARAMETER kErrorInvalidArgument, every other
// code kErrorSystemCallFailed.
BYTE TranslateSystemError(DWORD win32Error);
