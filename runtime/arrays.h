// Run-time arrays: the ArrayDescriptor that program code owns as a variable, dimensioning
// (bounds, strides, zero-filled storage from GlobalAlloc) and erasing (releasing elements
// by their type code, freeing the storage). Indices are never checked here.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// Flag bits of ArrayDescriptor::flags; the other bits stay as the caller gave them.
constexpr BYTE kArrayCallerStorage =
    0x01;  // storage supplied by the caller: never allocated or freed
constexpr BYTE kArrayElementsNotOwned = 0x02;  // elements never released here
constexpr BYTE kArrayDimensioned = 0x04;

// Modes of EraseArray. Any other mode takes the general path: elements released (unless not
// owned), storage freed.
constexpr int kEraseCleanup = 1;      // a CleanupTable walk at the end of a scope
constexpr int kEraseRedimension = 2;  // program code, before dimensioning again
constexpr int kEraseReset = 4;        // contents reset, storage kept

// The descriptor's fixed part. In memory it is followed directly by the dimension words:
// for each dimension its lower and upper bound (32-bit signed), each pair but the last
// followed by the stride of the next dimension (32-bit unsigned). Declare array variables
// as ArrayVariable<N>, which carries the room for N dimensions.
struct ArrayDescriptor {
    void* data;  // first element; null while not dimensioned
    BYTE flags;
    BYTE elementType;  // the run-time's value-type code
    BYTE dimensionCount;
    DWORD elementCount;  // product of all dimension lengths
    DWORD byteSize;      // elementCount * elementSize
    DWORD elementSize;
};

// An array variable: the descriptor with room for its dimension words. Zero-initialise it
// (not dimensioned) and pass &variable.descriptor to the operations.
template <unsigned Dimensions>
struct ArrayVariable {
    static_assert(Dimensions >= 1 && Dimensions <= 255);
    ArrayDescriptor descriptor;
    DWORD dimensionWords[3 * Dimensions - 1];
};
static_assert(offsetof(ArrayVariable<1>, dimensionWords) == sizeof(ArrayDescriptor),
              "the dimension words must follow the descriptor's fixed part directly");

// The dimension words of a descriptor (they follow its fixed part).
inline DWORD* ArrayDimensionWords(ArrayDescriptor* array) {
    return reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(array) + sizeof(ArrayDescriptor));
}
// Bounds and stride of dimension `k` (1-based); dimension 1 has stride 1.
LONG ArrayLowerBound(ArrayDescriptor* array, unsigned k);
LONG ArrayUpperBound(ArrayDescriptor* array, unsigned k);
DWORD ArrayStride(ArrayDescriptor* array, unsigned k);

// Describes and allocates an array. `bounds` holds the lower and upper bound of each of the
// `dimensionCount` dimensions. An array already dimensioned is left as it is. Bounds
// reversed or sizes beyond 32 bits raise kErrorBadArrayBounds, no memory raises kErrorOutOfMemory;
// either leaves the fields stored so far and the array undimensioned. With kArrayCallerStorage the
// caller's `data` is kept and nothing is allocated.
void DimensionArray(ArrayDescriptor* array, void* data, BYTE flags, BYTE elementType,
                    BYTE dimensionCount, DWORD elementSize, const LONG* bounds);
// The one-dimensional case.
inline void DimensionArray(ArrayDescriptor* array, BYTE flags, BYTE elementType, DWORD elementSize,
                           LONG lower, LONG upper) {
    const LONG bounds[2] = {lower, upper};
    DimensionArray(array, nullptr, flags, elementType, 1, elementSize, bounds);
}

// Erases an array in `mode` (kErase...) and returns the error for its caller to report:
// kErrorMemoryDamaged when GlobalFree refused the storage, 0 otherwise. Raises nothing itself.
BYTE EraseArrayStorage(ArrayDescriptor* array, int mode);
// Program code's erase: as EraseArrayStorage, raising the fatal kErrorMemoryDamaged when the
// storage could not be freed.
void EraseArray(ArrayDescriptor* array, int mode);
