// Append and concatenate on the TempStringStack.
#include "runtime/string_join.h"

#include "runtime/errors.h"
#include "runtime/temp_strings.h"

#include <cstring>

void AppendTopToNext() {
    RuntimeService service;
    ProcFrame& frame = CurrentProcFrame();
    const StringHandle b = TempString(0);
    const StringHandle a = TempString(1);
    const UINT lengthA = StringByteLength(a);
    const UINT lengthB = StringByteLength(b);
    // "Empty" is a length of 0: an owned zero-length string is freed rather than dropped.
    if (lengthB == 0) {
        FreeString(PopTempString(frame));
        return;
    }
    if (lengthA == 0) {
        PopTempString(frame);
        FreeString(a);
        TempString(0) = b;
        return;
    }
    // Two lengths whose sum wraps would allocate too little and copy past the end; the
    // sum is checked as concatenation checks it.
    const unsigned long long total = 0ull + lengthA + lengthB;
    BSTR joined = nullptr;
    if (total <= 0xFFFFFFFFull) joined = AllocByteString(static_cast<UINT>(total));
    if (joined) {
        std::memcpy(joined, StringBytes(a), lengthA);
        std::memcpy(reinterpret_cast<BYTE*>(joined) + lengthA, StringBytes(b), lengthB);
    }
    PopTempString(frame);
    TempString(0) = OwnedHandle(joined);
    FreeString(a);
    FreeString(b);
    if (total > 0xFFFFFFFFull)
        RaiseError(kErrorInvalidArgument);  // out of memory was raised by the allocation
}

void ConcatenateStrings(UINT count, const BSTR* strings) {
    RuntimeService service;
    unsigned long long total = 0;
    for (UINT k = 0; k < count; ++k) total += StringByteLength(strings[k]);
    if (total > 0xFFFFFFFFull) {
        PushEmptyString();
        RaiseError(kErrorInvalidArgument);
        return;
    }
    BSTR joined = AllocByteString(static_cast<UINT>(total));
    if (joined) {
        auto* target = reinterpret_cast<BYTE*>(joined);
        for (UINT k = 0; k < count; ++k) {
            const UINT length = StringByteLength(strings[k]);
            std::memcpy(target, StringBytes(OwnedHandle(strings[k])), length);
            target += length;
        }
    }
    // On failure the allocation has raised kErrorOutOfMemory and `joined` is the empty slot to
    // push.
    PushOwnedString(joined);
}
