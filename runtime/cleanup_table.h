// CleanupTable: a 0-ended list of 32-bit entries naming the variables a scope owns. Each
// entry is a byte offset from a base address (a multiple of 4) with the variable's kind in
// its two low bits. Used over the module-level variables, over each ThreadRecord and over
// a procedure's locals.
#pragma once

#include "platform/win32.h"

typedef DWORD CleanupEntry;

enum CleanupKind : DWORD {
    kCleanupObject = 0,     // interface pointer: Release when non-null; slot kept
    kCleanupArray = 1,      // array descriptor: erased with mode 1
    kCleanupString = 2,     // dynamic string: freed unless null or borrowed
    kCleanupItemValue = 3,  // VARIANT: VariantClear
};

constexpr DWORD kCleanupKindMask = 3;

// One table entry for the variable at byte `offset` from the base.
constexpr CleanupEntry MakeCleanupEntry(DWORD offset, CleanupKind kind) {
    return offset | kind;
}

// Who answers for an array whose storage cannot be freed.
enum class EraseFailure {
    kIgnore,  // the module cleanup at process end goes on
    kRaise,   // a procedure's exit raises kErrorMemoryDamaged
};

// Applies each entry's release action to the variable at base + offset, in table order,
// stopping at the entry 0. A null table is an empty one.
void WalkCleanupTable(const CleanupEntry* table, void* base, EraseFailure onEraseFailure);
