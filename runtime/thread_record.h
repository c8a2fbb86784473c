// The per-thread record of the run-time (ThreadRecord) and the functions that create,
// find and release it. Each thread that touches the run-time owns one record, kept in the
// run-time's TLS slot and mirrored in the thread information block (runtime/tib_pointer.h).
#pragma once

#include "platform/win32.h"

// Field order is fixed; the program's thread-local variables would follow the run-time
// fields (this program declares none, so ThreadCleanupTable is empty).
struct ThreadRecord {
    HRESULT lastObjectResult;  // result of the most recent object method call
    // Method entry that raised the pending exception, 0 when none. 32 bits on Windows;
    // pointer-wide on the portable host so that an entry's address fits.
    UINT_PTR exceptionEntry;
    HRESULT exceptionResult;     // code of the pending exception
    BSTR exceptionSource;        // owned: handed over to EXCEPINFO, else freed with the record
    BSTR exceptionDescription;   // owned, as above
    BSTR exceptionHelpFile;      // owned, as above
    DWORD exceptionHelpContext;  // handed over with the strings
    // Code page for 8-bit <-> wide conversions, 0 meaning CP_ACP. Written only by its own
    // thread; a new record copies the main record's value when it is created.
    UINT codePage;
};

// The calling thread's record, created zero-filled (GlobalAlloc GPTR through the allocation
// seam) when the TLS slot is empty; a new record copies the main record's code page.
// Returns null when memory runs out (or the slot cannot be written): the caller decides
// whether that is kErrorOutOfMemory, a fatal start-up failure, or nothing.
ThreadRecord* GetThreadRecord();

// The calling thread's record, or null when it has none; never creates one.
ThreadRecord* FindThreadRecord();

// Releases the calling thread's record if it has one: walks ThreadCleanupTable over it,
// frees its three exception strings, frees the record and clears the TLS slot and the
// thread-information-block mirror. A second call on the same thread does nothing.
void ReleaseThreadRecord();

// Sets up the process-wide thread state at start-up: allocates the TLS slot, creates the
// calling thread's record and makes it the main record (code page 0); the calling thread
// becomes the first run-time thread. False when no TLS index or no memory is left (start-up
// then ends the process as a fatal failure).
bool StartThreadRecords();

// Undoes StartThreadRecords at process end, once the module variables are released:
// releases the calling thread's record, then frees the TLS slot.
void EndThreadRecords();
