// The native call of a late-bound call: the row's entry, called through DispCallFunc with
// the instance's interface pointer, the parameters and the result address.
#pragma once

#include "objects/dispatch_arguments.h"

// Calls `row`'s entry: the interface pointer first, then for each parameter slot from the
// last stored (the first declared) down to slot 0 its working copy as the slot's shape
// asks (by reference: its address, or the address of its value area; by value: its 16
// bytes, or its value of the kind's width; an omitted argument: a null address or zero),
// then `result` when given (its whole address for an item-value result, `resultKind`
// VT_VARIANT, else the address of its value area). The method's own result code goes to
// `methodResult`. Fails only when the platform refuses the call description.
HRESULT CallNative(const DispatchRowHead* row, IUnknown* instance, ParameterSlot* slots,
                   VARIANT* result, VARTYPE resultKind, HRESULT* methodResult);
