// Operations on object variables: one interface pointer that owns one reference, null when
// it holds no object. Truth values are -1 (true) and 0 (false).
#pragma once

#include "platform/win32.h"

// Releases the held object; the variable is null.
void SetNothing(IUnknown** variable);
// The destination holds `source` (one more reference) and gives up what it held.
void AssignObject(IUnknown** destination, IUnknown* source);
// The destination holds `source`'s interface `interfaceId`, or null when `source` is null
// or does not offer it; what it held is given up either way.
void AssignObjectWithInterface(IUnknown** destination, IUnknown* source, REFIID interfaceId);
// As AssignObjectWithInterface, from an item value of kind VT_DISPATCH or VT_UNKNOWN
// (directly or by reference); any other value leaves the destination null.
void ObjectFromItemValue(IUnknown** destination, const VARIANT* value, REFIID interfaceId);
// Releases what `value` held; then it holds the variable's object as VT_DISPATCH (its
// IDispatch), else as VT_UNKNOWN (its IUnknown), else it is empty.
void ObjectToItemValue(VARIANT* value, IUnknown* variable);
LONG IsObject(IUnknown* variable);
LONG IsNothing(IUnknown* variable);
