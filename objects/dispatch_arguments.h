// The arguments of a late-bound call: placing the caller's DISPPARAMS into the parameter
// slots of a dispatch row, the item-value working copies the native method receives, and the
// write-back of by-reference parameters after the call.
#pragma once

#include "objects/class_table_layout.h"
#include "objects/dispatch_tables.h"

constexpr UINT kMaxDispatchParameters = 32;

// One parameter, in the row's stored order (slot 0 is the last declared parameter).
struct ParameterSlot {
    WORD descriptor;       // the row's parameter word
    VARIANT working;       // what the method receives; all zero when no argument is given
    VARIANTARG* argument;  // the caller's argument for it; null when none
    UINT argumentIndex;    // that argument's index in DISPPARAMS::rgvarg
};

inline bool IsByReference(WORD descriptor) {
    return (descriptor & kParameterByReference) != 0;
}
// VT_VARIANT for item values, VT_ILLEGAL for a type code without a kind.
inline VARTYPE ParameterKind(WORD descriptor) {
    return KindOfTypeCode(static_cast<BYTE>(descriptor & kParameterTypeMask));
}

// Bytes of a plain numeric parameter kind; 0 for strings, objects and item values.
size_t PlainWidth(VARTYPE kind);
// The value area's first `width` bytes (a plain kind's width), the rest zero.
ULONGLONG PlainBits(const VARIANT& value, size_t width);

// Fills `slots` (n of them, n = the row's parameter count, at most 32) from the caller's
// arguments: named argument k fills slot n - 1 - k (a negative identifier slot 0);
// positional arguments fill slots n - positional count and up, in DISPPARAMS order.
// DISP_E_PARAMNOTFOUND (its index in `argumentError`) for a named identifier beyond the
// parameters or a slot that two arguments would fill.
HRESULT PlaceArguments(const DISPPARAMS& arguments, const DispatchRowHead* row,
                       ParameterSlot* slots, UINT* argumentError);

// Makes the working copy of every supplied argument: VT_ERROR (an omitted argument) as it
// is for an omissible parameter, item values by the dereferencing copy (a by-reference
// item value followed one level first), every other kind converted with the call's
// locale. DISP_E_PARAMNOTOPTIONAL, or DISP_E_TYPEMISMATCH for an argument that cannot be
// copied or converted, each with the argument's index in `argumentError` (a null by-reference
// pointer or a chain of by-reference item values deeper than the copy follows among them).
HRESULT MakeWorkingCopies(ParameterSlot* slots, UINT count, LCID locale, UINT* argumentError);

// After the call: every by-reference parameter whose caller argument was passed by
// reference (followed through by-reference item values) gets the working copy converted
// back to the referenced kind and stored with that kind's width, the old referenced value
// being released; a caller argument passed by value is released and receives the working
// copy. DISP_E_BADVARTYPE when any of them could not be converted or stored, else S_OK.
HRESULT WriteBack(ParameterSlot* slots, UINT count, LCID locale);

// Whether VariantClear has anything to release in a value of this type: a string, an
// object, an array or a record held directly. Plain data and references own nothing.
inline bool OwnsSomething(VARTYPE type) {
    if (type & VT_BYREF) return false;
    if (type & VT_ARRAY) return true;
    const VARTYPE base = type & VT_TYPEMASK;
    return base == VT_BSTR || base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_RECORD;
}

// Releases every working copy (each VariantClear'd and zeroed).
void ReleaseWorkingCopies(ParameterSlot* slots, UINT count);
