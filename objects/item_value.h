// Item values: the run-time's dynamically typed value in the VARIANT layout, and the
// few operations the run-time performs on it. None reports a failure to its caller.
#pragma once

#include "platform/win32.h"
#include "runtime/value_types.h"

// VariantClear, then bytes 4 to 15 zeroed: the variable reads as empty.
void ItemClear(VARIANT* variable);
// VariantClear only.
void ItemRelease(VARIANT* value);
// VariantCopy: the destination's old value is released, then a deep copy is stored. Returns
// what VariantCopy returned (E_OUTOFMEMORY when a string or array could not be copied).
HRESULT ItemCopy(VARIANT* destination, const VARIANT* source);
// VariantCopyInd: as ItemCopy, but a by-reference source is replaced by what it refers to.
HRESULT ItemCopyDereferenced(VARIANT* destination, const VARIANT* source);
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
