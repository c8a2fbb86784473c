// The native call of a late-bound call: the row's entry, called with the instance's
// interface pointer, the parameters and the result address, either straight through a
// function pointer (every argument an address) or through DispCallFunc.
#pragma once

#include "objects/dispatch_arguments.h"

// What a row's native call needs that does not change between calls, worked out once when
// the row is found.
constexpr BYTE kMaxDirectAddresses = 4;
constexpr BYTE kThroughDispCallFunc = 0xFF;

struct CallPlan {
    // The native arguments after the instance when every one of them is an address (every
    // parameter by reference, the result by address), at most kMaxDirectAddresses; else
    // kThroughDispCallFunc. A call of that shape has the same form on every host and calling
    // convention the program is built for, so it needs no description of its arguments.
    BYTE addresses;
    // Whether every parameter is also a plain number by reference (the collection's index
    // and cursor), with its kind and width per stored slot: a call whose arguments are all
    // given by position with exactly those kinds needs no conversion, and its write-back is
    // a move of each working copy into its argument.
    bool plainNumbers;
    VARTYPE kinds[kMaxDirectAddresses];
    BYTE widths[kMaxDirectAddresses];
};

CallPlan PlanCall(const DispatchRowHead* row);

// Calls `row`'s entry: the interface pointer first, then for each parameter slot from the
// last stored (the first declared) down to slot 0 its working copy as the slot's shape
// asks (by reference: its address, or the address of its value area; by value: its 16
// bytes, or its value of the kind's width; an omitted argument: a null address or zero),
// then `result` when given (its whole address for an item-value result, `resultKind`
// VT_VARIANT, else the address of its value area). The method's own result code goes to
// `methodResult`. Fails only when the platform refuses the call description.
// The whole call when `plan` allows it and the caller's arguments fit it (no named ones, one
// for every parameter, each of its parameter's kind by value): the working copies, the call
// with `result` as in CallNative, and the write-back, with what PlaceArguments,
// MakeWorkingCopies, CallNative, WriteBack and ReleaseWorkingCopies would do for them. False,
// with nothing touched, when they do not fit.
bool CallWithPlainNumbers(const DispatchRowHead* row, const CallPlan& plan, IUnknown* instance,
                          DISPPARAMS& arguments, VARIANT* result, VARTYPE resultKind,
                          HRESULT* methodResult);

HRESULT CallNative(const DispatchRowHead* row, const CallPlan& plan, IUnknown* instance,
                   ParameterSlot* slots, VARIANT* result, VARTYPE resultKind,
                   HRESULT* methodResult);
