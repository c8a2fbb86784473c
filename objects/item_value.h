// Item values: the run-time's dynamically typed 16-byte value in the VARIANT layout, and the
// few operations the run-time performs on it. None reports a failure to its caller.
#pragma once

#include "platform/win32.h"

// The run-time's value-type codes (even numbers; dispatch descriptors store code / 2).
enum ValueTypeCode : BYTE {
    kTypeUInt8 = 0x00,
    kTypeUInt16 = 0x02,
    kTypeUInt32 = 0x04,
    kTypeInt16 = 0x08,
    kTypeInt32 = 0x0a,
    kTypeInt64 = 0x10,
    kTypeFloat32 = 0x14,
    kTypeFloat64 = 0x16,
    kTypeCurrency = 0x1a,
    kTypeItemValue = 0x22,
    kTypeObject = 0x24,
    kTypeByteString = 0x2e,
    kTypeByteStringRecord = 0x30,
    kTypeWideString = 0x36,
    kTypeWideStringRecord = 0x38,
};

// Bytes one element of the given type code occupies; 0 for an unknown code.
ULONG ValueTypeSize(BYTE typeCode);

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

// Releases every element of an array by its type code (see item_value.cpp for the rules).
void ReleaseElements(BYTE typeCode, ULONG count, void* elements);
