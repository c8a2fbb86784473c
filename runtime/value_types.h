// The run-time's value-type codes, the bytes an element of each occupies, and the release of
// array elements by their code. Arrays need them below the object layer, so they live here.
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

// Releases every element of an array by its type code: item values cleared, objects released,
// strings freed once each (two elements may hold the same handle), string records emptied.
// The released elements read as empty afterwards.
void ReleaseElements(BYTE typeCode, ULONG count, void* elements);
