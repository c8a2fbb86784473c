// The walk of a CleanupTable: each entry's release action on the variable it names.
#include "runtime/cleanup_table.h"

#include "runtime/string_handle.h"

void WalkCleanupTable(const CleanupEntry* table, void* base, EraseFailure onEraseFailure) {
    if (!table) return;
    for (; *table != 0; ++table) {
        void* variable = static_cast<BYTE*>(base) + (*table & ~kCleanupKindMask);
        switch (static_cast<CleanupKind>(*table & kCleanupKindMask)) {
            case kCleanupObject:
                // The slot keeps its value, as the format states: its scope is ending.
                if (IUnknown* object = *static_cast<IUnknown**>(variable)) object->Release();
                break;
            case kCleanupString:
                FreeString(*static_cast<StringHandle*>(variable));  // null, borrowed: kept
                break;
            case kCleanupArray:
                // Array variables arrive with the run-time's arrays; until then no table
                // names one, and such an entry releases nothing.
                (void)onEraseFailure;
                break;
            case kCleanupItemValue:
                VariantClear(static_cast<VARIANT*>(variable));
                break;
        }
    }
}
