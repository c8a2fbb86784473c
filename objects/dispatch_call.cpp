// The native call of a late-bound call. Every native method is called with the platform's
// COM convention (stdcall on 32-bit Windows).
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

// The address a by-reference parameter receives: a null one for an omitted argument of a
// kind other than the item value.
void* ReferenceOf(ParameterSlot& slot) {
    const VARTYPE kind = ParameterKind(slot.descriptor);
    if (kind == VT_VARIANT) return &slot.working;
    return slot.working.vt == VT_ERROR ? nullptr : static_cast<void*>(&slot.working.llVal);
}

using P = void*;
template <typename Function>
Function EntryAs(const void* entry) {
    return reinterpret_cast<Function>(const_cast<void*>(entry));
}
// The entry is declared with its own parameter types, all of them pointers here: called as
// taking untyped pointers, which every host passes alike. The sanitizer's check of the
// callee's declared type is off for this call for that reason.
#if defined(__clang__)
__attribute__((no_sanitize("function")))
#endif
HRESULT
CallWithAddresses(const void* entry, IUnknown* instance, const P* a, BYTE count) {
    switch (count) {
        case 0:
            return EntryAs<HRESULT(STDMETHODCALLTYPE*)(P)>(entry)(instance);
        case 1:
            return EntryAs<HRESULT(STDMETHODCALLTYPE*)(P, P)>(entry)(instance, a[0]);
        case 2:
            return EntryAs<HRESULT(STDMETHODCALLTYPE*)(P, P, P)>(entry)(instance, a[0], a[1]);
        case 3:
            return EntryAs<HRESULT(STDMETHODCALLTYPE*)(P, P, P, P)>(entry)(instance, a[0], a[1],
                                                                           a[2]);
        default:
            return EntryAs<HRESULT(STDMETHODCALLTYPE*)(P, P, P, P, P)>(entry)(instance, a[0], a[1],
                                                                              a[2], a[3]);
    }
}

HRESULT CallThroughDispCallFunc(const DispatchRowHead* row, IUnknown* instance,
                                ParameterSlot* slots, VARIANT* result, VARTYPE resultKind,
                                HRESULT* methodResult) {
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
            add(static_cast<VARTYPE>(VT_BYREF | kind)).byref = ReferenceOf(slot);
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

}  // namespace

CallPlan PlanCall(const DispatchRowHead* row) {
    CallPlan plan{};
    plan.addresses = kThroughDispCallFunc;
    const UINT addresses = row->parameterCount + (row->resultType >= 0 ? 1u : 0u);
    if (addresses > kMaxDirectAddresses) return plan;
    plan.plainNumbers = true;
    for (BYTE i = 0; i < row->parameterCount; ++i) {
        const WORD descriptor = DispatchRowParameter(row, i);
        if (!IsByReference(descriptor)) return CallPlan{kThroughDispCallFunc, false, {}, {}};
        plan.kinds[i] = ParameterKind(descriptor);
        plan.widths[i] = static_cast<BYTE>(PlainWidth(plan.kinds[i]));
        if (plan.widths[i] == 0) plan.plainNumbers = false;
    }
    plan.addresses = static_cast<BYTE>(addresses);
    return plan;
}

bool CallWithPlainNumbers(const DispatchRowHead* row, const CallPlan& plan, IUnknown* instance,
                          DISPPARAMS& arguments, VARIANT* result, VARTYPE resultKind,
                          HRESULT* methodResult) {
    const UINT count = row->parameterCount;
    if (!plan.plainNumbers || arguments.cNamedArgs != 0 || arguments.cArgs != count) return false;
    // Positional arguments only, one per slot: slot i takes rgvarg[i].
    for (UINT i = 0; i < count; ++i)
        if (arguments.rgvarg[i].vt != plan.kinds[i]) return false;
    VARIANT working[kMaxDirectAddresses] = {};
    P addresses[kMaxDirectAddresses];
    for (UINT i = 0; i < count; ++i) {
        working[i].vt = plan.kinds[i];
        working[i].ullVal = PlainBits(arguments.rgvarg[i], plan.widths[i]);
        addresses[count - 1 - i] = &working[i].llVal;
    }
    BYTE passed = static_cast<BYTE>(count);
    if (resultKind == VT_VARIANT) result->vt = VT_EMPTY;  // as CallNative's caller does
    if (result)
        addresses[passed++] = resultKind == VT_VARIANT ? static_cast<void*>(result)
                                                       : static_cast<void*>(&result->llVal);
    *methodResult = CallWithAddresses(row->entry, instance, addresses, passed);
    // Each argument was a plain number by value: it owns nothing, and takes its working copy.
    for (UINT i = 0; i < count; ++i)
        std::memcpy(&arguments.rgvarg[i], &working[i], sizeof(VARIANT));
    return true;
}

HRESULT CallNative(const DispatchRowHead* row, const CallPlan& plan, IUnknown* instance,
                   ParameterSlot* slots, VARIANT* result, VARTYPE resultKind,
                   HRESULT* methodResult) {
    if (plan.addresses == kThroughDispCallFunc)
        return CallThroughDispCallFunc(row, instance, slots, result, resultKind, methodResult);
    P addresses[kMaxDirectAddresses];
    BYTE count = 0;
    for (UINT i = row->parameterCount; i-- > 0;) addresses[count++] = ReferenceOf(slots[i]);
    if (result)
        addresses[count++] = resultKind == VT_VARIANT ? static_cast<void*>(result)
                                                      : static_cast<void*>(&result->llVal);
    *methodResult = CallWithAddresses(row->entry, instance, addresses, count);
    return S_OK;
}
