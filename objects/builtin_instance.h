// Making built-in instances from their class descriptors: one run-time byte block of
// interface records followed by the data block, reference count 1, counted as live.
#pragma once

#include "objects/class_table_layout.h"

// An instance of `descriptor`'s class, handed out as the interface record at `position`
// (0-based, within the interface count). When that entry names a sub-object class, the
// sub-object is created by number and marked as a sub-object; if it cannot be, the new
// instance is destroyed again. Null when memory runs out or the sub-object fails. The
// construction routine is not called here.
IUnknown* CreateInstanceOnEntry(const ClassDescriptorHead* descriptor, ULONG position);

// Create built-in by number: the descriptor of `classNumber`, its entry for
// `interfaceIndex`, an instance on it. Null when either is missing or creation fails. No
// construction routine runs.
IUnknown* CreateBuiltinByNumber(ULONG classNumber, ULONG interfaceIndex);

// The same from a class identifier and an interface identifier given directly.
IUnknown* CreateBuiltinByIdentifier(REFCLSID classId, REFIID interfaceId);

// Marks a new sub-object: instance flag 0x1000 (no destruction routine, no construction).
void MarkSubObject(IUnknown* subObject);
