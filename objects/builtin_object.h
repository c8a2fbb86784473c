// Memory layout of a built-in object: one block holding an interface record per interface,
// then the data block (common header, common words, the class's own fields). Words that
// hold addresses are pointer-wide, so on the 32-bit Windows build every word is 32 bits
// (records of 24 bytes, a header of 32 bytes, common words of 24 bytes).
#pragma once

#include "objects/class_table_layout.h"
#include "platform/win32.h"

struct ObjectHeader;

// One per interface; its address is the interface pointer handed out.
struct InterfaceRecord {
    const void* virtualTable;
    ObjectHeader* dataBlock;
    ULONG_PTR interfaceIndex;
    ULONG_PTR subObjectClass;
    ULONG_PTR subObjectInterface;
    IUnknown* subObject;  // null until created
};

// The start of every data block.
struct ObjectHeader {
    InterfaceRecord* firstRecord;
    LONG referenceCount;  // changed by plain increments; read with relaxed atomics
    ULONG classNumber;
    ClassConstructor constructionRoutine;
    ClassDestructor destructionRoutine;
    ULONG_PTR descriptorWord1;
    ULONG_PTR descriptorWord2;
    ULONG instanceFlags;
};

// The words after the header that every built-in class carries.
struct ObjectCommonWords {
    IUnknown* eventConnection;  // the event source a sink is connected to; null when none
    ULONG_PTR eventCookie;
    IUnknown* references[4];  // other built-in instances, released at destruction
};

static_assert(sizeof(void*) != 4 || (sizeof(InterfaceRecord) == 24 && sizeof(ObjectHeader) == 32 &&
                                     sizeof(ObjectCommonWords) == 24));

// Built-in instances created and not yet freed: counted where an instance's block is made
// and where it is freed.
LONG LiveObjectCount();
void CountObjectCreated();
void CountObjectFreed();

// The data block of an object reached through any of its interface pointers.
inline ObjectHeader* DataBlockOf(const void* interfacePointer) {
    return static_cast<const InterfaceRecord*>(interfacePointer)->dataBlock;
}

// The common words of an object's data block.
inline ObjectCommonWords* CommonWordsOf(const void* interfacePointer) {
    return reinterpret_cast<ObjectCommonWords*>(DataBlockOf(interfacePointer) + 1);
}

// The class's own fields, which follow the header and the common words.
template <typename Fields>
Fields* ClassFieldsOf(const void* interfacePointer) {
    auto* bytes = reinterpret_cast<BYTE*>(DataBlockOf(interfacePointer));
    return reinterpret_cast<Fields*>(bytes + sizeof(ObjectHeader) + sizeof(ObjectCommonWords));
}
