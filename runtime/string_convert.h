// Conversions between 8-bit strings in a code page and wide (UTF-16) strings, and the
// calling thread's code page. A code page of 0 in a conversion means the thread's code page
// (its ThreadRecord's, whose 0 is CP_ACP). Conversion failures of any kind give an empty
// result silently.
#pragma once

#include "runtime/proc_frame.h"

// A new owned wide string holding the 8-bit string `source` (mark ignored) converted from
// `codePage`; null for an empty source or any failure. `source` is not freed.
BSTR ByteStringToWide(StringHandle source, UINT codePage);
// A new owned 8-bit string in `codePage` holding the wide string `source`; null for an
// empty source or any failure. `source` is not freed.
BSTR WideStringToBytes(StringHandle source, UINT codePage);

// Converts the TempStringStack slot `depth` below the top in place; the slot gets the
// (owned) result and its old string is freed unless it was borrowed.
void ConvertTempToWide(UINT codePage, int depth);
void ConvertTempToBytes(UINT codePage, int depth);

// Sets the calling thread's code page and returns the previous one. A thread without a
// record gets one; when none can be allocated, kErrorOutOfMemory and nothing changes (returns 0).
UINT SetThreadCodePage(UINT codePage);
// The calling thread's code page; 0 when the thread has no record.
UINT ThreadCodePage();
// The code page a conversion with `codePage` uses: the argument when it is not 0, else the
// thread's (a record is created if needed; a thread that cannot get one uses 0).
UINT ConversionCodePage(UINT codePage);
