// The program's built-in class tables (one class, LinkListCollection, number 2) and the
// tables in force: those ModuleInit registered, or the program's own where none is.
#pragma once

#include "objects/class_table_layout.h"
#include "runtime/runtime_globals.h"

// Class numbers and interface indexes the run-time itself refers to.
constexpr ULONG kLinkListCollectionClass = 2;
constexpr ULONG kInterfaceIUnknown = 1;
constexpr ULONG kInterfaceIClassFactory = 2;
constexpr ULONG kInterfaceIConnectionPointContainer = 3;
constexpr ULONG kInterfaceIConnectionPoint = 4;
constexpr ULONG kInterfaceIDispatch = 5;
constexpr ULONG kInterfaceLinkListCollection = 7;

// Instance flags in the object header.
constexpr ULONG kInstanceMarked = 0x0800;        // from descriptor flag 0x0400
constexpr ULONG kInstanceSubObject = 0x1000;     // sub-object of another instance
constexpr ULONG kInstanceNoDestructor = 0x2000;  // also suppresses the destruction routine
constexpr ULONG kInstanceEventTable = 0x4000;    // event-handling class: table of 32 references
constexpr ULONG kInstanceEventSink = 0x8000;     // event-handling class: lighter release

// The six object-model tables of a module (ModuleTables carries them untyped).
struct ObjectTables {
    const void* classIdentifiers;      // IdentifierTable layout
    const void* interfaceIdentifiers;  // IdentifierTable layout
    const BYTE* classNames;
    const ClassDescriptorHead* classDescriptors;
    const BYTE* methodNames;
    const DispatchRowHead* dispatchDescriptors;
};

// The program's own tables.
const ObjectTables& ProgramObjectTables();

// Puts the program's six object-model tables into their places in `tables` (class and
// interface identifiers, class names, class descriptors, method names, dispatch
// descriptors), for ModuleInit to register; the two cleanup tables are left alone.
void PutProgramObjectTables(ModuleTables* tables);

// The tables in force: each one as registered by ModuleInit, or the program's own where
// none is registered (before ModuleInit runs, and in tests that never run it).
ObjectTables CurrentObjectTables();
