// Allocation, release and lengths of dynamic strings, all through the allocation seam.
#include "runtime/string_handle.h"

#include "runtime/errors.h"
#include "runtime/memory.h"

#include <algorithm>
#include <cstring>

namespace {
// Same layout as an allocated string: the length right before the characters, then zeros.
struct alignas(8) EmptyString {
    DWORD padding;
    DWORD length;
    OLECHAR text[2];
};
const EmptyString kSharedEmpty{0, 0, {0, 0}};
}  // namespace

BSTR SharedEmptyString() {
    return const_cast<BSTR>(kSharedEmpty.text);
}

const BYTE* StringBytes(StringHandle handle) {
    BSTR text = StringOf(handle);
    return reinterpret_cast<const BYTE*>(text ? text : SharedEmptyString());
}

BSTR AllocByteString(UINT bytes) {
    RuntimeService service;
    if (bytes == 0) return nullptr;
    BSTR text = RuntimeAllocByteString(nullptr, bytes);
    if (!text) RaiseError(kErrorOutOfMemory);
    return text;
}

BSTR AllocWideString(UINT characters) {
    RuntimeService service;
    if (characters == 0) return nullptr;
    BSTR text = RuntimeAllocWideString(nullptr, characters);
    if (!text) RaiseError(kErrorOutOfMemory);
    return text;
}

void FreeString(StringHandle handle) {
    if (handle == 0 || IsBorrowed(handle)) return;
    RuntimeFreeString(StringOf(handle));
}

UINT StringByteLength(StringHandle handle) {
    BSTR text = StringOf(handle);
    if (!text) return 0;
    // Read from the layout rather than through SysStringByteLen: literals of the program
    // image share the layout but were never allocated.
    DWORD length;
    std::memcpy(&length, reinterpret_cast<const BYTE*>(text) - sizeof length, sizeof length);
    return length;
}

UINT StringCharCount(StringHandle handle) {
    return StringByteLength(handle) / sizeof(OLECHAR);
}

BSTR ResizeByteString(StringHandle text, UINT bytes) {
    RuntimeService service;
    BSTR resized = AllocByteString(bytes);
    if (resized) {
        const UINT kept = std::min(StringByteLength(text), bytes);
        std::memcpy(resized, StringBytes(text), kept);
        std::memset(reinterpret_cast<BYTE*>(resized) + kept, 0, bytes - kept);
    }
    FreeString(text);
    return resized;
}

BSTR CopyString(StringHandle handle) {
    RuntimeService service;
    const UINT bytes = StringByteLength(handle);
    BSTR copy = AllocByteString(bytes);
    if (copy) std::memcpy(copy, StringBytes(handle), bytes);
    return copy;
}
