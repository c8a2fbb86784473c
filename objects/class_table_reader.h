// Reading the built-in class tables: identifier lookups, class names, and walking the class
// descriptor list and its interface entries. The tables are the program's own data and
// are trusted to be well formed.
#pragma once

#include "objects/class_table_layout.h"

// Entry `index` (1-based) of an identifier table; null when out of range.
const GUID* IdentifierAt(const void* table, ULONG index);
// The 1-based index of `identifier` in an identifier table (16-byte comparison); 0 when
// absent.
ULONG IdentifierIndex(const void* table, REFGUID identifier);

// The class number of a name in a class-name table: same length, same characters with
// 'a' to 'z' taken as upper case. 0 when no class has that name.
ULONG ClassNumberOfName(const BYTE* classNames, const BYTE* name, size_t length);
// The stored (upper-case) name of a class number and its length; null when none.
const BYTE* StoredClassName(const BYTE* classNames, ULONG classNumber, BYTE* length);

// The descriptor with `classNumber` in a descriptor list; null when none.
const ClassDescriptorHead* FindClassDescriptor(const ClassDescriptorHead* list, ULONG classNumber);
// The descriptor after `descriptor` in its list; null at the end of the list.
const ClassDescriptorHead* NextClassDescriptor(const ClassDescriptorHead* descriptor);

// Interface entry `position` (0-based) of a descriptor; null beyond its interface count.
const InterfaceEntryHead* InterfaceEntryAt(const ClassDescriptorHead* descriptor, ULONG position);
// The first interface entry of a descriptor for `interfaceIndex` and its position; null
// when the class has none (index 0 never matches).
const InterfaceEntryHead* FindInterfaceEntry(const ClassDescriptorHead* descriptor,
                                             ULONG interfaceIndex, ULONG* position);
// The virtual table that follows an interface entry.
inline const void* const* VirtualTableOf(const InterfaceEntryHead* entry) {
    return reinterpret_cast<const void* const*>(entry + 1);
}

// The outgoing (event) interface pairs of a descriptor and their count.
const EventInterfacePair* EventPairsOf(const ClassDescriptorHead* descriptor, ULONG* count);
// The member CleanupTable of a descriptor (offsets from the data block).
const CleanupEntry* MemberCleanupTableOf(const ClassDescriptorHead* descriptor);

// The class descriptor of any interface pointer of a built-in instance, found through the
// distance word stored just before each virtual table.
const ClassDescriptorHead* DescriptorOfInterface(const void* interfacePointer);
