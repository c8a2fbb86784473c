// The walk of a CleanupTable: each entry's release action on the variable it names.
#include "runtime/cleanup_table.h"

#include "runtime/arrays.h"
#include "runtime/errors.h"
#include "runtime/string_handle.h"

void WalkCleanupTable(const CleanupEntry* table, void* base, EraseFailure onEraseFailure) {
    if (!table) return;
    for (; *table != 0; ++table) {
        void* variable = static_cast<BYTE*>(base) + (*table & ~kCleanupKindMask);
        switch (static_cast<CleanupKind>(*table & kCleanupKindMask)) {
            case kCleanupObject:
                // The slot keeps its value: its scope is ending and nothing reads it again.
                if (IUnknown* object = *static_cast<IUnknown**>(variable)) object->Release();
                break;
            case kCleanupString:
                FreeString(*static_cast<StringHandle*>(variable));  // null, borrowed: kept
                break;
            case kCleanupArray:
                if (const BYTE error =
                        EraseArrayStorage(static_cast<ArrayDescriptor*>(variable), kEraseCleanup);
                    error && onEraseFailure == EraseFailure::kRaise)
                    RaiseError(error);
                break;
            case kCleanupItemValue:
                VariantClear(static_cast<VARIANT*>(variable));
                break;
        }
    }
}
