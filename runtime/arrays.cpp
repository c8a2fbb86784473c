// Dimensioning and erasing run-time arrays.
#include "runtime/arrays.h"

#include "runtime/errors.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"
#include "runtime/value_types.h"

#include <cstring>

namespace {
constexpr unsigned long long kMax32 = 0xFFFFFFFFull;

// Word positions: dimension k (0-based) has its bounds at 3k and 3k + 1; the stride of
// dimension k + 1 sits between, at 3k + 2.
DWORD& LowerWord(ArrayDescriptor* array, unsigned k) {
    return ArrayDimensionWords(array)[3 * k];
}
DWORD& UpperWord(ArrayDescriptor* array, unsigned k) {
    return ArrayDimensionWords(array)[3 * k + 1];
}

bool ZeroedOnReset(BYTE elementType) {
    return elementType != kTypeByteString && elementType != kTypeWideString &&
           elementType != kTypeObject && elementType != kTypeItemValue;
}
}  // namespace

LONG ArrayLowerBound(ArrayDescriptor* array, unsigned k) {
    return static_cast<LONG>(LowerWord(array, k - 1));
}

LONG ArrayUpperBound(ArrayDescriptor* array, unsigned k) {
    return static_cast<LONG>(UpperWord(array, k - 1));
}

DWORD ArrayStride(ArrayDescriptor* array, unsigned k) {
    return k <= 1 ? 1 : ArrayDimensionWords(array)[3 * (k - 1) - 1];
}

void DimensionArray(ArrayDescriptor* array, void* data, BYTE flags, BYTE elementType,
                    BYTE dimensionCount, DWORD elementSize, const LONG* bounds) {
    RuntimeService service;
    if (array->flags & kArrayDimensioned) return;  // keeps its shape; arguments consumed
    array->data = data;
    // The dimensioned bit is the run-time's to set, once the array really is.
    array->flags = flags & ~kArrayDimensioned;
    array->elementType = elementType;
    array->dimensionCount = dimensionCount;
    array->elementSize = elementSize;
    for (unsigned k = 0; k < dimensionCount; ++k) {
        LowerWord(array, k) = static_cast<DWORD>(bounds[2 * k]);
        UpperWord(array, k) = static_cast<DWORD>(bounds[2 * k + 1]);
    }
    // An array of no dimensions has no bounds to check and no storage to describe.
    if (dimensionCount == 0) {
        RaiseError(kErrorBadArrayBounds);
        return;
    }
    unsigned long long product = 1;
    for (unsigned k = 0; k < dimensionCount; ++k) {
        const long long lower = bounds[2 * k];
        const long long upper = bounds[2 * k + 1];
        if (k > 0) ArrayDimensionWords(array)[3 * k - 1] = static_cast<DWORD>(product);
        if (upper < lower) {
            RaiseError(kErrorBadArrayBounds);
            return;
        }
        product *= static_cast<unsigned long long>(upper - lower + 1);  // at most 2^32 each
        if (product > kMax32) {
            RaiseError(kErrorBadArrayBounds);
            return;
        }
    }
    array->elementCount = static_cast<DWORD>(product);
    const unsigned long long bytes = product * elementSize;
    if (bytes > kMax32) {
        RaiseError(kErrorBadArrayBounds);
        return;
    }
    array->byteSize = static_cast<DWORD>(bytes);
    if (!(flags & kArrayCallerStorage)) {
        // GPTR: the block comes zero-filled.
        void* block = RuntimeGlobalAlloc(GPTR, array->byteSize);
        if (!block) {
            RaiseError(kErrorOutOfMemory);
            return;
        }
        array->data = block;
    }
    array->flags |= kArrayDimensioned;
}

BYTE EraseArrayStorage(ArrayDescriptor* array, int mode) {
    if (!(array->flags & kArrayDimensioned)) return 0;
    const bool callerStorage = (array->flags & kArrayCallerStorage) != 0;
    constexpr BYTE kForget = kArrayCallerStorage | kArrayDimensioned;
    if (mode == kEraseCleanup && callerStorage) {
        array->flags &= ~kForget;
        return 0;
    }
    if (!(array->flags & kArrayElementsNotOwned) && !(mode == kEraseRedimension && callerStorage))
        ReleaseElements(array->elementType, array->elementCount, array->data);
    if (mode == kEraseReset) {
        if (ZeroedOnReset(array->elementType) && array->data)
            std::memset(array->data, 0, array->byteSize);
        return 0;
    }
    array->flags &= ~kForget;
    if (callerStorage) return 0;
    void* block = array->data;
    array->data = nullptr;
    return RuntimeGlobalFree(block) ? kErrorMemoryDamaged : 0;
}

void EraseArray(ArrayDescriptor* array, int mode) {
    RuntimeService service;
    if (const BYTE error = EraseArrayStorage(array, mode)) RaiseError(error);
}
