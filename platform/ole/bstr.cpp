// Counted strings for the portable host. Layout as on Windows: a 32-bit byte length, the
// bytes, then two zero bytes, so a BSTR also reads as a zero-terminated wide string.
#include "platform/fault_injection.h"
#include "platform/run_allocations.h"
#include "platform/win32.h"

#include <cstdlib>
#include <cstring>

namespace {

// The largest byte length whose block (prefix + bytes + terminator) still fits 32 bits,
// as on 32-bit Windows, where longer requests fail.
constexpr uint64_t kMaxByteLength = 0xFFFFFFFFull - 8 - sizeof(OLECHAR) - 1;
// The prefix sits in the last four bytes of an 8-byte header, so the characters start
// 8-byte aligned: counted strings also serve as blocks of VARIANT slots.
constexpr size_t kHeaderBytes = 8;

BSTR AllocateBytes(const void* source, uint64_t length) {
    if (length > kMaxByteLength || !platform_faults::AllowStringAllocation() ||
        !run_allocations::Allow())
        return nullptr;
    auto* block = static_cast<BYTE*>(std::malloc(kHeaderBytes + length + sizeof(OLECHAR) + 1));
    if (!block) return nullptr;
    platform_faults::CountStringAllocated();
    BYTE* text = block + kHeaderBytes;
    const DWORD prefix = static_cast<DWORD>(length);
    std::memcpy(text - sizeof(DWORD), &prefix, sizeof prefix);
    if (source) std::memcpy(text, source, length);
    // Two zero bytes end the string; a third keeps an odd byte length wide-terminated.
    std::memset(text + length, 0, sizeof(OLECHAR) + 1);
    return reinterpret_cast<BSTR>(text);
}

DWORD Prefix(BSTR text) {
    DWORD prefix;
    std::memcpy(&prefix, reinterpret_cast<BYTE*>(text) - sizeof(DWORD), sizeof prefix);
    return prefix;
}

}  // namespace

BSTR SysAllocStringByteLen(LPCSTR source, UINT length) {
    return AllocateBytes(source, length);
}

BSTR SysAllocStringLen(const OLECHAR* source, UINT length) {
    return AllocateBytes(source, uint64_t{length} * sizeof(OLECHAR));
}

BSTR SysAllocString(const OLECHAR* source) {
    if (!source) return nullptr;
    UINT length = 0;
    while (source[length]) ++length;
    return SysAllocStringLen(source, length);
}

void SysFreeString(BSTR text) {
    if (!text) return;
    platform_faults::CountStringFreed();
    std::free(reinterpret_cast<BYTE*>(text) - kHeaderBytes);
}

UINT SysStringByteLen(BSTR text) {
    return text ? Prefix(text) : 0;
}

UINT SysStringLen(BSTR text) {
    return text ? Prefix(text) / sizeof(OLECHAR) : 0;
}
