// Fixed-length and zero-terminated buffers filled from the TempStringStack.
#include "runtime/string_buffers.h"

#include "runtime/temp_strings.h"

#include <algorithm>
#include <cstring>

void PopIntoFixedBuffer(void* buffer, UINT size) {
    const StringHandle handle = TempString(0);
    const UINT copied = std::min(StringByteLength(handle), size);
    std::memcpy(buffer, StringBytes(handle), copied);
    std::memset(static_cast<BYTE*>(buffer) + copied, ' ', size - copied);
    PopAndFreeString();
}

void PopIntoZeroTerminatedBuffer(void* buffer, UINT size) {
    if (size == 0) size = 0x2000001;
    const StringHandle handle = TempString(0);
    const BYTE* source = StringBytes(handle);
    // The string's own length bounds the copy as well: its terminator is only guaranteed
    // right after its last byte, never beyond.
    const UINT available = StringByteLength(handle) + 1;
    const UINT limit = std::min(size - 1, available);
    auto* target = static_cast<BYTE*>(buffer);
    UINT copied = 0;
    bool zeroCopied = false;
    while (copied < limit) {
        const BYTE byte = source[copied];
        target[copied++] = byte;
        if (byte == 0) {
            zeroCopied = true;
            break;
        }
    }
    if (!zeroCopied) target[copied] = 0;
    PopAndFreeString();
}
