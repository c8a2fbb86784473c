// Formats of the built-in class tables the program carries as data: class and interface
// identifier tables, class-name table, class descriptor list, method-name table and
// dispatch descriptor table. Words that may hold an address are pointer-wide (TableWord):
// on the 32-bit Windows build every such word is 32 bits, the layout the tables have
// there.
#pragma once

#include "platform/win32.h"
#include "runtime/cleanup_table.h"

#include <cstddef>
#include <cstring>

// A descriptor word: 32 bits on the 32-bit build, 64 bits on 64-bit hosts.
typedef ULONG_PTR TableWord;

// Class and interface identifier tables: a 32-bit count, then that many 16-byte
// identifiers, referred to by 1-based index.
template <ULONG Count>
struct IdentifierTable {
    ULONG count;
    GUID identifiers[Count];
};
static_assert(offsetof(IdentifierTable<1>, identifiers) == 4);

// Class-name table: entries of an 8-bit length, the upper-case name and a 32-bit class
// number (unaligned), ended by a length of 0. Built from declarations by
// objects/table_builders.h.

// Construction routine of a class: called once with the first interface pointer; returns 0.
typedef LONG(STDMETHODCALLTYPE* ClassConstructor)(IUnknown* firstInterface);
// Destruction routine: called by the final Release with the first interface pointer.
typedef void(STDMETHODCALLTYPE* ClassDestructor)(IUnknown* firstInterface);

// Descriptor flag: new instances carry instance flag 0x0800.
constexpr TableWord kClassFlagMarkInstances = 0x0400;

// The fixed start of a class descriptor. A descriptor list holds descriptors one after
// another; a 0 where the next descriptor's flags would be ends it.
struct ClassDescriptorHead {
    TableWord flags;
    TableWord classNumber;
    ClassConstructor construct;  // null: none
    ClassDestructor destroy;     // null: none
    TableWord instanceSize;      // bytes of the data block, header included
    TableWord headerWord1;       // copied into every instance header unchanged
    TableWord headerWord2;
    TableWord interfaceCount;  // interface entries that follow
};

// The fixed start of an interface entry; its virtual table follows at once, a list of
// method addresses ended by a null slot. `tableDistance` sits just before the virtual table
// and counts the bytes from the descriptor's start to it, so the descriptor is found from
// any interface pointer: descriptor = virtual table - distance.
struct InterfaceEntryHead {
    TableWord interfaceIndex;      // into the interface identifier table
    TableWord subObjectClass;      // 0: none
    TableWord subObjectInterface;  // interface index asked of the sub-object
    TableWord tableDistance;
};

// An interface entry with a virtual table of `Slots` methods, as it is written in a table.
template <size_t Slots>
struct InterfaceEntry {
    InterfaceEntryHead head;
    const void* table[Slots];
    const void* end;  // null
};

// After the interface entries: a pair count (one word), then the pairs, then the member
// CleanupTable (32-bit entries, offsets from the data block) ended by 0; the next
// descriptor starts at the following word boundary. A pair's first word is the interface
// index of an outgoing (event) interface; the second is not used by this run-time.
struct EventInterfacePair {
    DWORD interfaceIndex;
    DWORD reserved;
};
static_assert(sizeof(EventInterfacePair) == 8);

// Method-name table (packed bytes built by objects/table_builders.h, no addresses, the same
// on every host): class groups of a
// 32-bit class number, entries, a 32-bit 0; a 32-bit 0 in place of a class number ends the
// table. Entry: 32-bit dispatch identifier (never 0), the method name as an 8-bit length
// and upper-case characters, each parameter name the same way, then one 0 byte.

// Dispatch descriptor table: packed rows, no alignment; a class number of 0 ends it. The
// entry address is 4 bytes on the 32-bit build (row head of 16 bytes), pointer-wide on
// 64-bit hosts. Read rows with memcpy or through this packed struct's members.
#pragma pack(push, 1)
struct DispatchRowHead {
    ULONG classNumber;  // 0 ends the table
    LONG dispatchId;
    BYTE invokeKinds;     // DISPATCH_METHOD (1), PROPERTYGET (2), PROPERTYPUT (4), PUTREF (8)
    const void* entry;    // the native method; arguments and result by address, callee pops
    SHORT resultType;     // value-type code / 2; negative: no result
    BYTE parameterCount;  // at most 32
    // parameterCount 16-bit words follow, last declared parameter first
};
#pragma pack(pop)
static_assert(sizeof(DispatchRowHead) == 12 + sizeof(void*));

// Parameter word: low byte value-type code / 2, plus these bits.
constexpr WORD kParameterByReference = 0x0200;
constexpr WORD kParameterOmissible = 0x0800;
constexpr WORD kParameterTypeMask = 0x00FF;
constexpr SHORT kNoResult = -1;

// A dispatch row as written in a table.
#pragma pack(push, 1)
template <BYTE Parameters>
struct DispatchRow {
    DispatchRowHead head;
    WORD parameters[Parameters];
};
template <>
struct DispatchRow<0> {
    DispatchRowHead head;
};
#pragma pack(pop)

// Bytes one dispatch row occupies, head and parameter words.
inline size_t DispatchRowSize(const DispatchRowHead* row) {
    return sizeof(DispatchRowHead) + 2u * row->parameterCount;
}
// The parameter word at stored position i (0 is the last declared parameter).
inline WORD DispatchRowParameter(const DispatchRowHead* row, BYTE i) {
    WORD word;
    std::memcpy(&word, reinterpret_cast<const BYTE*>(row + 1) + 2u * i, sizeof word);
    return word;
}
// The row after `row`; the caller stops at a class number of 0.
inline const DispatchRowHead* NextDispatchRow(const DispatchRowHead* row) {
    return reinterpret_cast<const DispatchRowHead*>(reinterpret_cast<const BYTE*>(row) +
                                                    DispatchRowSize(row));
}
