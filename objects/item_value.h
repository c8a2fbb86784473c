// Item values: the run-time's dynamically typed value in the VARIANT layout, and the
// few operations the run-time performs on it. None reports a failure to its caller.
#pragma once

#include "platform/win32.h"
#include "runtime/value_types.h"

#include <cstdint>

// VariantClear, then bytes 4 to 15 zeroed: the variable reads as empty.
void ItemClear(VARIANT* variable);
// VariantClear only.
void ItemRelease(VARIANT* value);
// VariantCopy: the destination's old value is released, then a deep copy is stored. Returns
// what VariantCopy returned (E_OUTOFMEMORY when a string or array could not be copied).
HRESULT ItemCopy(VARIANT* destination, const VARIANT* source);
// True for a value that owns nothing and refers to nothing: empty, null, or a number held by
// value (VT_EMPTY to VT_DATE, VT_ERROR, VT_BOOL, VT_DECIMAL, VT_I1 to VT_UINT). Copying one is
// copying its 16 bytes, and releasing one only marks it empty. Stricter than what the
// dispatch asks before a release (OwnsSomething): a reference or an unknown type is not plain.
inline bool ItemIsPlain(VARTYPE type) {
    constexpr uint32_t kPlainTypes = 0x00FF4CFF;  // one bit per type word below 32
    return type < 32 && ((kPlainTypes >> type) & 1) != 0;
}
// VariantCopyInd: as ItemCopy, but a by-reference source is replaced by what it refers to.
// A plain value over a plain value is copied here as its bytes, which is all VariantCopyInd
// would do with it: ITEM's reads of numbers are otherwise mostly the system routine's checks.
HRESULT ItemCopyDereferencedBySystem(VARIANT* destination, const VARIANT* source);
inline HRESULT ItemCopyDereferenced(VARIANT* destination, const VARIANT* source) {
    if (destination && source && ItemIsPlain(source->vt) && ItemIsPlain(destination->vt)) {
        if (destination != source) *destination = *source;
        return S_OK;
    }
    return ItemCopyDereferencedBySystem(destination, source);
}
// Moves a call's 16-byte result temporary into a variable cleared before the call. The
// bytes move unchanged with their ownership; the temporary is not released.
void ItemMoveResult(VARIANT* destination, const VARIANT* resultTemporary);

// A value read as a number, with the count of significant digits a printer should use
// (7, 15 or 18; 0 for a value that is not a number).
struct ItemNumber {
    long double value;
    int digitClass;
};
ItemNumber ItemToNumber(const VARIANT* value);

// The string a value holds (directly or by reference), still owned by the value; null for
// every other kind. The string operations hand it out as a borrowed string.
BSTR ItemStringOf(const VARIANT* value);

// Pushes the value's text onto the current procedure's TempStringStack: the string it
// holds (directly or by reference) as a borrowed wide string, the empty string for every
// other kind.
void ItemToString(const VARIANT* value);
// As ItemToString for strings; any other value is read as a number and pushed as an owned
// wide text with its digit class as the number of significant digits (18 for class 0).
void ItemToText(const VARIANT* value);
