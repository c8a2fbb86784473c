// Value-type codes: element sizes and the release of array elements.
#include "runtime/value_types.h"

#include "runtime/memory.h"

#include <cstdint>
#include <cstring>

ULONG ValueTypeSize(BYTE typeCode) {
    switch (typeCode) {
        case kTypeUInt8:
            return 1;
        case kTypeUInt16:
        case kTypeInt16:
            return 2;
        case kTypeUInt32:
        case kTypeInt32:
        case kTypeFloat32:
            return 4;
        case kTypeInt64:
        case kTypeFloat64:
        case kTypeCurrency:
            return 8;
        case kTypeItemValue:
            return sizeof(VARIANT);  // 16 bytes; 24 on 64-bit Windows
        case kTypeByteStringRecord:
        case kTypeWideStringRecord:
            return 16;
        case kTypeObject:
        case kTypeByteString:
        case kTypeWideString:
            return sizeof(void*);
        default:
            return 0;
    }
}

namespace {

// In-place quicksort of string handles by address, the middle element as pivot.
void SortByAddress(BSTR* handles, long low, long high) {
    while (low < high) {
        const uintptr_t pivot = reinterpret_cast<uintptr_t>(handles[low + (high - low) / 2]);
        long i = low, j = high;
        while (i <= j) {
            while (reinterpret_cast<uintptr_t>(handles[i]) < pivot) ++i;
            while (reinterpret_cast<uintptr_t>(handles[j]) > pivot) --j;
            if (i <= j) {
                BSTR swap = handles[i];
                handles[i++] = handles[j];
                handles[j--] = swap;
            }
        }
        // Recurse into the smaller part so the stack stays shallow.
        if (j - low < high - i) {
            SortByAddress(handles, low, j);
            low = i;
        } else {
            SortByAddress(handles, i, high);
            high = j;
        }
    }
}

}  // namespace

void ReleaseElements(BYTE typeCode, ULONG count, void* elements) {
    if (!elements) return;
    switch (typeCode) {
        case kTypeItemValue: {
            auto* values = static_cast<VARIANT*>(elements);
            for (ULONG i = 0; i < count; ++i) VariantClear(&values[i]);
            break;
        }
        case kTypeObject: {
            auto* objects = static_cast<IUnknown**>(elements);
            for (ULONG i = 0; i < count; ++i) {
                IUnknown* object = objects[i];
                objects[i] = nullptr;
                if (object) object->Release();
            }
            break;
        }
        case kTypeByteString:
        case kTypeWideString: {
            auto* strings = static_cast<BSTR*>(elements);
            if (count > 1) SortByAddress(strings, 0, static_cast<long>(count) - 1);
            // Sorted, a string held by two elements sits twice in a row: free it once.
            BSTR previous = nullptr;
            for (ULONG i = 0; i < count; ++i) {
                BSTR text = strings[i];
                strings[i] = nullptr;
                if (text && text != previous) RuntimeFreeString(text);
                previous = text;
            }
            break;
        }
        case kTypeByteStringRecord:
        case kTypeWideStringRecord: {
            auto* records = static_cast<BYTE*>(elements);
            for (ULONG i = 0; i < count; ++i) {
                BSTR text;
                std::memcpy(&text, records + 16 * i, sizeof text);
                std::memset(records + 16 * i, 0, sizeof text);
                RuntimeFreeString(text);
            }
            break;
        }
        default:
            break;
    }
}
