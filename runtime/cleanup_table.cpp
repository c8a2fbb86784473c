// The walk of a CleanupTable: each entry's release action on the variable it names.
#include "runtime/cleanup_table.h"

#include "runtime/memory.h"

namespace {
void ReleaseObject(void* slot) {
    IUnknown* object = *static_cast<IUnknown**>(slot);
    if (object) object->Release();  // the slot keeps its (now dangling) value, as stated
}

void FreeDynamicString(void* slot) {
    UINT_PTR handle = *static_cast<UINT_PTR*>(slot);
    if (handle == 0 || (handle & 1)) return;  // empty or borrowed: never freed
    RuntimeFreeString(reinterpret_cast<BSTR>(handle));
}
}  // namespace

void WalkCleanupTable(const CleanupEntry* table, void* base, EraseFailure onEraseFailure) {
    (void)onEraseFailure;
    if (!table) return;
    for (; *table != 0; ++table) {
        void* variable = static_cast<BYTE*>(base) + (*table & ~kCleanupKindMask);
        switch (static_cast<CleanupKind>(*table & kCleanupKindMask)) {
            case kCleanupObject:
                ReleaseObject(variable);
                break;
            case kCleanupString:
                FreeDynamicString(variable);
                break;
            case kCleanupArray:
                // Erased through the arrays of the run-time once they are in place.
                break;
            case kCleanupItemValue:
                VariantClear(static_cast<VARIANT*>(variable));
                break;
        }
    }
}
