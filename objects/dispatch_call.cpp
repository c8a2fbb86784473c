// Building DispCallFunc's argument list from the parameter slots. Every native method is
// called with the platform's COM convention (stdcall on 32-bit Windows).
#include "objects/dispatch_call.h"

#include <cstring>

namespace {

// Room for the interface pointer, 32 parameters and the result address.
constexpr UINT kMaxCallArguments = kMaxDispatchParameters + 2;

size_t ValueWidth(VARTYPE kind) {
    switch (kind) {
        case VT_UI1:
            return 1;
        case VT_UI2:
        case VT_I2:
            return 2;
        case VT_UI4:
        case VT_I4:
        case VT_R4:
            return 4;
        case VT_BSTR:
        case VT_DISPATCH:
            return sizeof(void*);
        default:
            return 8;  // VT_I8, VT_R8, VT_CY
    }
}

}  // namespace

HRESULT CallNative(const DispatchRowHead* row, IUnknown* instance, ParameterSlot* slots,
                   VARIANT* result, VARTYPE resultKind, HRESULT* methodResult) {
    VARIANT values[kMaxCallArguments];
    VARIANTARG* pointers[kMaxCallArguments];
    VARTYPE types[kMaxCallArguments];
    UINT count = 0;
    auto add = [&](VARTYPE type) -> VARIANT& {
        VARIANT& value = values[count];
        std::memset(&value, 0, sizeof value);
        value.vt = type;
        types[count] = type;
        pointers[count] = &value;
        ++count;
        return value;
    };

    add(VT_UNKNOWN).punkVal = instance;
    for (UINT i = row->parameterCount; i-- > 0;) {
        ParameterSlot& slot = slots[i];
        const VARTYPE kind = ParameterKind(slot.descriptor);
        const bool omitted = slot.working.vt == VT_ERROR && kind != VT_VARIANT;
        if (IsByReference(slot.descriptor)) {
            VARIANT& value = add(static_cast<VARTYPE>(VT_BYREF | kind));
            if (!omitted)
                value.byref = kind == VT_VARIANT ? static_cast<void*>(&slot.working)
                                                 : static_cast<void*>(&slot.working.llVal);
        } else if (kind == VT_VARIANT) {
            // The whole item value travels: DispCallFunc copies it from the VARIANT itself.
            types[count] = VT_VARIANT;
            pointers[count] = &slot.working;
            ++count;
        } else {
            VARIANT& value = add(kind);
            if (!omitted) std::memcpy(&value.llVal, &slot.working.llVal, ValueWidth(kind));
        }
    }
    if (result) {
        VARIANT& value = add(static_cast<VARTYPE>(VT_BYREF | resultKind));
        value.byref = resultKind == VT_VARIANT ? static_cast<void*>(result)
                                               : static_cast<void*>(&result->llVal);
    }

    VARIANT returned;
    VariantInit(&returned);
    HRESULT hr = DispCallFunc(nullptr, reinterpret_cast<ULONG_PTR>(row->entry), CC_STDCALL,
                              VT_ERROR, count, types, pointers, &returned);
    if (SUCCEEDED(hr)) *methodResult = returned.scode;
    return hr;
}
