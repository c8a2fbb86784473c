// Object variable operations. Every assignment takes the new reference before it gives up
// the old one: a variable assigned from the object it already holds (its only reference)
// must not see that object destroyed in between.
#include "objects/object_variables.h"

#include "objects/item_value.h"

namespace {
// Stores `object` (already referenced) and releases what the variable held.
void Replace(IUnknown** variable, IUnknown* object) {
    IUnknown* held = *variable;
    *variable = object;
    if (held) held->Release();
}

IUnknown* Query(IUnknown* source, REFIID interfaceId) {
    IUnknown* object = nullptr;
    if (source && source->QueryInterface(interfaceId, reinterpret_cast<void**>(&object)) != S_OK)
        object = nullptr;
    return object;
}
}  // namespace

void SetNothing(IUnknown** variable) {
    Replace(variable, nullptr);
}

void AssignObject(IUnknown** destination, IUnknown* source) {
    if (source) source->AddRef();
    Replace(destination, source);
}

void AssignObjectWithInterface(IUnknown** destination, IUnknown* source, REFIID interfaceId) {
    Replace(destination, Query(source, interfaceId));
}

void ObjectFromItemValue(IUnknown** destination, const VARIANT* value, REFIID interfaceId) {
    IUnknown* source = nullptr;
    if (value) {
        const VARTYPE kind = V_VT(value);
        if (kind == VT_DISPATCH || kind == VT_UNKNOWN) {
            source = V_UNKNOWN(value);
        } else if (kind == (VT_BYREF | VT_DISPATCH) || kind == (VT_BYREF | VT_UNKNOWN)) {
            auto* reference = static_cast<IUnknown**>(V_BYREF(value));
            source = reference ? *reference : nullptr;
        }
    }
    Replace(destination, Query(source, interfaceId));
}

void ObjectToItemValue(VARIANT* value, IUnknown* variable) {
    ItemClear(value);
    if (!variable) return;
    if (IUnknown* dispatch = Query(variable, IID_IDispatch)) {
        V_VT(value) = VT_DISPATCH;
        V_DISPATCH(value) = static_cast<IDispatch*>(dispatch);
    } else if (IUnknown* unknown = Query(variable, IID_IUnknown)) {
        V_VT(value) = VT_UNKNOWN;
        V_UNKNOWN(value) = unknown;
    }
}

LONG IsObject(IUnknown* variable) {
    return variable ? -1 : 0;
}

LONG IsNothing(IUnknown* variable) {
    return variable ? 0 : -1;
}
