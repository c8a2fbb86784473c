// Dynamic strings, one at a time: allocation, release, lengths and the borrowed mark. A
// handle addresses the first character of a counted string (32-bit byte length before it,
// two zero bytes after it); 0 is the empty string; bit 0 set marks a borrowed handle that
// is never freed. Whether a string holds 8-bit or wide characters is known from context.
#pragma once

#include "platform/win32.h"
#include "runtime/proc_frame.h"

constexpr StringHandle kBorrowedMark = 1;

inline StringHandle OwnedHandle(BSTR text) {
    return reinterpret_cast<StringHandle>(text);
}
// A marked null (1) is a borrowed empty string.
inline StringHandle BorrowedHandle(BSTR text) {
    return OwnedHandle(text) | kBorrowedMark;
}
inline bool IsBorrowed(StringHandle handle) {
    return (handle & kBorrowedMark) != 0;
}
// The string a handle refers to, mark cleared; null for the empty string.
inline BSTR StringOf(StringHandle handle) {
    return reinterpret_cast<BSTR>(handle & ~kBorrowedMark);
}

// The shared empty string: length 0, only its terminator; read in place of a null handle
// and never freed.
BSTR SharedEmptyString();

// The characters of a handle (mark cleared); the shared empty string for a null handle.
const BYTE* StringBytes(StringHandle handle);

// A new 8-bit string of `bytes` bytes, left uninitialised for the caller to fill. 0 bytes:
// null (the empty string) without a system call. Allocation failure: null and kErrorOutOfMemory.
BSTR AllocByteString(UINT bytes);
// A new wide string of `characters` characters, as AllocByteString.
BSTR AllocWideString(UINT characters);
// Frees an owned string; null and borrowed handles are left alone. Never fails.
void FreeString(StringHandle handle);
inline void FreeString(BSTR text) {
    FreeString(OwnedHandle(text));
}
// The stored byte length (mark cleared); 0 for null.
UINT StringByteLength(StringHandle handle);
inline UINT StringByteLength(BSTR text) {
    return StringByteLength(OwnedHandle(text));
}
// The character count of a wide string: byte length / 2.
UINT StringCharCount(StringHandle handle);
// A new string of `bytes` bytes holding the first min(old length, bytes) bytes of `text`
// and zero bytes after them; the old string is freed (unless borrowed), also when the
// allocation fails, which gives null and kErrorOutOfMemory.
BSTR ResizeByteString(StringHandle text, UINT bytes);
// An owned copy of a handle's bytes (null for an empty one); allocation failure: null and
// kErrorOutOfMemory.
BSTR CopyString(StringHandle handle);
