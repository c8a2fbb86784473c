// RaiseError and the translation of Win32 error codes.
#include "runtime/errors.h"

#include "runtime/proc_frame.h"
#include "runtime/thread_record.h"

const BYTE SystemErrorMap[41] = {
    0,                        // ERROR_SUCCESS
    kErrorSystemCallFailed,   // ERROR_INVALID_FUNCTION
    kErrorFileNotFound,       // ERROR_FILE_NOT_FOUND
    kErrorPathNotFound,       // ERROR_PATH_NOT_FOUND
    kErrorTooManyFiles,       // ERROR_TOO_MANY_OPEN_FILES
    kErrorAccessDenied,       // ERROR_ACCESS_DENIED
    kErrorInternal,           // ERROR_INVALID_HANDLE
    kErrorMemoryDamaged,      // ERROR_ARENA_TRASHED
    kErrorOutOfMemory,        // ERROR_NOT_ENOUGH_MEMORY
    kErrorMemoryDamaged,      // ERROR_INVALID_BLOCK
    kErrorMemoryDamaged,      // ERROR_BAD_ENVIRONMENT
    kErrorInternal,           // ERROR_BAD_FORMAT
    kErrorInternal,           // ERROR_INVALID_ACCESS
    kErrorInternal,           // ERROR_INVALID_DATA
    kErrorOutOfMemory,        // ERROR_OUTOFMEMORY
    kErrorDeviceUnavailable,  // ERROR_INVALID_DRIVE
    kErrorSystemCallFailed,   // ERROR_CURRENT_DIRECTORY
    kErrorNotSameDevice,      // ERROR_NOT_SAME_DEVICE
    kErrorFileNotFound,       // ERROR_NO_MORE_FILES
    kErrorAccessDenied,       // ERROR_WRITE_PROTECT
    kErrorDeviceUnavailable,  // ERROR_BAD_UNIT
    kErrorDiskNotReady,       // ERROR_NOT_READY
    kErrorInternal,           // ERROR_BAD_COMMAND
    kErrorDeviceFault,        // ERROR_CRC
    kErrorInternal,           // ERROR_BAD_LENGTH
    kErrorDeviceFault,        // ERROR_SEEK
    kErrorDeviceFault,        // ERROR_NOT_DOS_DISK
    kErrorDeviceFault,        // ERROR_SECTOR_NOT_FOUND
    kErrorDeviceFault,        // ERROR_OUT_OF_PAPER
    kErrorDeviceFault,        // ERROR_WRITE_FAULT
    kErrorDeviceFault,        // ERROR_READ_FAULT
    kErrorDeviceFault,        // ERROR_GEN_FAILURE
    kErrorAccessDenied,       // ERROR_SHARING_VIOLATION
    kErrorAccessDenied,       // ERROR_LOCK_VIOLATION
    kErrorDeviceFault,        // ERROR_WRONG_DISK
    kErrorDeviceFault,        // 35
    kErrorAccessDenied,       // ERROR_SHARING_BUFFER_EXCEEDED
    kErrorSystemCallFailed,   // 37
    kErrorEndOfFile,          // ERROR_HANDLE_EOF
    kErrorDiskFull,           // ERROR_HANDLE_DISK_FULL
    kErrorSystemCallFailed,   // 40
};

BYTE TranslateSystemError(DWORD win32Error) {
    if (win32Error <= 40) return SystemErrorMap[win32Error];
    if (win32Error == ERROR_DISK_FULL) return kErrorDiskFull;
    if (win32Error == ERROR_INVALID_PARAMETER) return kErrorInvalidArgument;
    return kErrorSystemCallFailed;
}

void RaiseError(BYTE number) {
    if (number == 0) number = kErrorInternal;
    ProcFrame& frame = CurrentProcFrame();
    // Depth 1: the failing service is the one the procedure called. Depth 0: program code
    // raised the error itself, which counts as its own call as well.
    const WORD flags = RuntimeServiceDepth() > 1 ? kErrorFromService : kErrorFromProcedure;
    frame.errorState = static_cast<WORD>(flags << 8 | number);
    GetThreadRecord();  // a failure here is not reported again
    if (number >= kFirstFatalError) ExitProcess(kFatalExitCode);
}
