// Joining dynamic strings: appending the top temporary to the one below it, and
// concatenating a list of strings into a new temporary.
#pragma once

#include "platform/win32.h"

#include <initializer_list>

// Combines the two top slots (A below, B on top) into A's slot and pops one slot. An empty
// B leaves A as it is; an empty A takes B's slot as it is (borrowed stays borrowed);
// otherwise A's slot gets a new owned string A + B and the old A and B are freed. Failure
// (no memory: 7; a total length beyond 32 bits: 5) leaves A's slot empty, frees both and
// raises the error.
void AppendTopToNext();

// Joins `count` strings, first one first, and pushes the result as an owned slot; the
// arguments are not freed. A total length beyond 32 bits raises kErrorInvalidArgument, no memory
// raises kErrorOutOfMemory; either pushes an empty slot instead.
void ConcatenateStrings(UINT count, const BSTR* strings);
inline void ConcatenateStrings(std::initializer_list<BSTR> strings) {
    ConcatenateStrings(static_cast<UINT>(strings.size()), strings.begin());
}
