// Memory layout of a built-in object: one block holding an interface record per interface,
// then the data block (common header, common words, the class's own fields). Words that
// hold addresses are pointer-wide, so on the 32-bit Windows build every word is 32 bits.
#pragma once

#include "platform/win32.h"

struct ObjectHeader;

// One per interface; its address is the interface pointer handed out.
struct InterfaceRecord {
    const void* virtualTable;
    ObjectHeader* dataBlock;
    ULONG_PTR interfaceIndex;
    ULONG_PTR subObjectClass;
    ULONG_PTR subObjectInterface;
    IUnknown* subObject;
};

// The start of every data block.
struct ObjectHeader {
    InterfaceRecord* firstRecord;
    LONG referenceCount;  // changed by plain increments; read with relaxed atomics
    ULONG classNumber;
    void* constructionRoutine;
    void* destructionRoutine;
    ULONG_PTR descriptorWord1;
    ULONG_PTR descriptorWord2;
    ULONG instanceFlags;
};

// The words after the header that every built-in class carries.
struct ObjectCommonWords {
    IUnknown* eventConnection;
    ULONG_PTR eventCookie;
    IUnknown* references[4];
};

// The data block of an object reached through any of its interface pointers.
inline ObjectHeader* DataBlockOf(const void* interfacePointer) {
    return static_cast<const InterfaceRecord*>(interfacePointer)->dataBlock;
}

// The class's own fields, which follow the header and the common words.
template <typename Fields>
Fields* ClassFieldsOf(const void* interfacePointer) {
    auto* bytes = reinterpret_cast<BYTE*>(DataBlockOf(interfacePointer));
    return reinterpret_cast<Fields*>(bytes + sizeof(ObjectHeader) + sizeof(ObjectCommonWords));
}
