// The run-time's error numbers, one name for each number a service raises or SystemErrorMap
// gives, and the exit code of a fatal end. Numbers are 8-bit; 241 and above are fatal.
#pragma once

#include "platform/win32.h"

// A string's total length does not fit in 32 bits; a system call's invalid parameter.
constexpr BYTE kErrorInvalidArgument = 5;
// An allocation failed: a string, a ThreadRecord, an array's storage.
constexpr BYTE kErrorOutOfMemory = 7;
// An array's bounds are reversed or its size does not fit in 32 bits.
constexpr BYTE kErrorBadArrayBounds = 9;
// A bad handle or data given to a system call; also what RaiseError(0) records.
constexpr BYTE kErrorInternal = 51;
// The system errors with no cause of their own in this program, named after their codes.
constexpr BYTE kErrorFileNotFound = 53;
constexpr BYTE kErrorDiskFull = 61;
constexpr BYTE kErrorEndOfFile = 62;
constexpr BYTE kErrorTooManyFiles = 67;
constexpr BYTE kErrorDeviceUnavailable = 68;
constexpr BYTE kErrorAccessDenied = 70;
constexpr BYTE kErrorDiskNotReady = 71;
constexpr BYTE kErrorDeviceFault = 72;
constexpr BYTE kErrorNotSameDevice = 74;
constexpr BYTE kErrorSystemCallFailed = 75;  // every system error without a closer number
constexpr BYTE kErrorPathNotFound = 76;
// An object method returned a negative HRESULT; an event sink could not be connected.
constexpr BYTE kErrorObjectCallFailed = 99;
// The system's memory bookkeeping is damaged, or GlobalFree refused an array's storage.
constexpr BYTE kErrorMemoryDamaged = 241;

// Numbers from here up end the process at once.
constexpr BYTE kFirstFatalError = kErrorMemoryDamaged;
// The exit code of a fatal error or a failed start-up.
constexpr UINT kFatalExitCode = 255;
