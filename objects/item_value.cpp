// Item value operations over the platform's VARIANT routines.
#include "objects/item_value.h"

#include "runtime/memory.h"
#include "runtime/number_format.h"
#include "runtime/temp_strings.h"

#include <cstring>

void ItemClear(VARIANT* variable) {
    VariantClear(variable);
    std::memset(reinterpret_cast<BYTE*>(variable) + 4, 0, sizeof(VARIANT) - 4);
}

void ItemRelease(VARIANT* value) {
    VariantClear(value);
}

// Some SDK headers declare the sources of these two without const; neither writes to it.
HRESULT ItemCopy(VARIANT* destination, const VARIANT* source) {
    return VariantCopy(destination, const_cast<VARIANT*>(source));
}

HRESULT ItemCopyDereferencedBySystem(VARIANT* destination, const VARIANT* source) {
    return VariantCopyInd(destination, const_cast<VARIANT*>(source));
}

void ItemMoveResult(VARIANT* destination, const VARIANT* resultTemporary) {
    std::memcpy(destination, resultTemporary, sizeof(VARIANT));
}

namespace {

// A chain of by-reference item values longer than this is treated as not a number: a value
// that refers to itself would otherwise be followed for ever.
constexpr int kMaxReferenceDepth = 16;

template <typename T>
long double Read(const void* place) {
    T value;
    std::memcpy(&value, place, sizeof value);
    return static_cast<long double>(value);
}

}  // namespace

ItemNumber ItemToNumber(const VARIANT* value) {
    for (int depth = 0; value && depth < kMaxReferenceDepth; ++depth) {
        const VARTYPE type = value->vt;
        if (type & (0x8000 | VT_ARRAY | VT_VECTOR)) return {0, 0};
        const void* place = &value->llVal;
        if (type & VT_BYREF) {
            place = value->byref;
            if (!place) return {0, 0};  // a dangling reference reads as no number
            if ((type & 0xff) == VT_VARIANT) {
                value = static_cast<const VARIANT*>(place);
                continue;
            }
        }
        switch (type & 0xff) {
            case VT_I2:
            case VT_BOOL:
                return {Read<int16_t>(place), 7};
            case VT_I1:
                return {Read<int8_t>(place), 7};
            case VT_UI1:
                return {Read<uint8_t>(place), 7};
            case VT_UI2:
                return {Read<uint16_t>(place), 7};
            case VT_R4:
                return {Read<float>(place), 7};
            case VT_I4:
            case VT_ERROR:
            case VT_INT:
            case VT_HRESULT:
                return {Read<int32_t>(place), 15};
            case VT_UI4:
            case VT_UINT:
            case VT_PTR:
                return {Read<uint32_t>(place), 15};
            case VT_DISPATCH:
            case VT_UNKNOWN: {
                // The pointer's value as an unsigned 32-bit number (its low half on 64-bit hosts).
                uintptr_t pointer;
                std::memcpy(&pointer, place, sizeof pointer);
                return {static_cast<long double>(static_cast<uint32_t>(pointer)), 15};
            }
            case VT_R8:
            case VT_DATE:
                return {Read<double>(place), 15};
            case VT_DECIMAL: {
                // A direct decimal overlays the whole value, type word included.
                const void* decimal = (type & VT_BYREF) ? place : static_cast<const void*>(value);
                DECIMAL copy;
                std::memcpy(&copy, decimal, sizeof copy);
                DOUBLE result = 0;
                VarR8FromDec(&copy, &result);
                return {result, 15};
            }
            case VT_CY:
                return {Read<int64_t>(place) / 10000.0L, 18};
            case VT_I8:
            case VT_UI8:
            case VT_FILETIME:
                return {Read<int64_t>(place), 18};
            default:
                return {0, 0};
        }
    }
    return {0, 0};
}

BSTR ItemStringOf(const VARIANT* value) {
    if (!value) return nullptr;
    if (value->vt == VT_BSTR) return value->bstrVal;
    if (value->vt == (VT_BSTR | VT_BYREF) && value->pbstrVal) return *value->pbstrVal;
    return nullptr;
}

void ItemToString(const VARIANT* value) {
    PushBorrowedString(ItemStringOf(value));
}

void ItemToText(const VARIANT* value) {
    const bool isString = value && (value->vt == VT_BSTR || value->vt == (VT_BSTR | VT_BYREF));
    if (isString) {
        ItemToString(value);
        return;
    }
    const ItemNumber number = ItemToNumber(value);
    FormatNumberWide(number.value, number.digitClass ? number.digitClass : 18, 0);
}
