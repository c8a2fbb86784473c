// Placing, copying and writing back the arguments of a late-bound call.
#include "objects/dispatch_arguments.h"

#include "objects/dispatch_tables.h"

#include <cstring>

namespace {

// The by-reference item values the copy of an argument follows: one level for item-value
// parameters, then the dereferencing copy takes one more; one level for the conversion of
// other kinds.
constexpr int kItemLevels = 2;
constexpr int kConvertLevels = 1;

// Every pointer on the way is non-null, and no more than `levels` by-reference item values
// are followed. Checked before any platform call reads through them.
bool SoundReferences(const VARIANT* value, int levels) {
    for (;;) {
        if (!(value->vt & VT_BYREF)) return true;
        if (!value->byref) return false;
        if ((value->vt & VT_TYPEMASK) != VT_VARIANT) return true;
        if (levels-- == 0) return false;
        value = value->pvarVal;
    }
}

// The caller's storage a by-reference parameter writes to: the argument, or the innermost
// value its by-reference item values lead to (at most kItemLevels deep, checked before).
VARIANT* Innermost(VARIANT* argument) {
    for (int level = 0; level < kItemLevels && argument->vt == (VT_BYREF | VT_VARIANT); ++level)
        argument = argument->pvarVal;
    return argument;
}

// Bytes a referenced value of `kind` occupies; 0 for kinds that cannot be written back.
// Strings and objects are pointers, so pointer-wide on 64-bit hosts.
size_t ReferencedWidth(VARTYPE kind) {
    switch (kind) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_BOOL:
        case VT_UI2:
            return 2;
        case VT_I4:
        case VT_R4:
        case VT_UI4:
        // Not in the run-time's list; 32-bit values like VT_I4.
        case VT_ERROR:
        case VT_INT:
        case VT_UINT:
            return 4;
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return sizeof(void*);
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_I8:
        case VT_UI8:
            return 8;  // VT_UI8 is not in the run-time's list; 8 bytes like VT_I8
        default:
            return 0;
    }
}

// Stores the working copy into by-reference storage of `kind`, converting it first when
// the kinds differ; the old referenced value moves into the working copy, which the caller
// releases. False when it cannot be converted or the kind cannot be written back.
bool StoreThroughReference(VARIANT* working, VARIANT* reference, LCID locale) {
    const VARTYPE kind = reference->vt & VT_TYPEMASK;
    if (reference->vt & VT_ARRAY) return false;
    if (working->vt != kind && FAILED(VariantChangeTypeEx(working, working, locale, 0, kind)))
        return false;
    if (kind == VT_DECIMAL) {
        // Written back whole: a DECIMAL fills all 16 bytes, its first word reserved.
        DECIMAL value = working->decVal;
        value.wReserved = 0;
        std::memcpy(&working->decVal, reference->pdecVal, sizeof(DECIMAL));
        *reference->pdecVal = value;
        working->vt = VT_EMPTY;
        return true;
    }
    const size_t width = ReferencedWidth(kind);
    if (width == 0) return false;
    BYTE previous[8];
    std::memcpy(previous, reference->byref, width);
    std::memcpy(reference->byref, &working->llVal, width);
    working->llVal = 0;
    std::memcpy(&working->llVal, previous, width);
    return true;
}

// Moves a whole value and empties the source. Whole means 16 bytes, or 24 on 64-bit Windows,
// where a record value holds two pointers after the type word.
void MoveValue(VARIANT* to, VARIANT* from) {
    std::memcpy(to, from, sizeof(VARIANT));
    from->vt = VT_EMPTY;
    from->ullVal = 0;
}

}  // namespace

size_t PlainWidth(VARTYPE kind) {
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
        case VT_I8:
        case VT_R8:
        case VT_CY:
            return 8;
        default:
            return 0;
    }
}

ULONGLONG PlainBits(const VARIANT& value, size_t width) {
    switch (width) {
        case 1:
            return value.bVal;
        case 2:
            return value.uiVal;
        case 4:
            return value.ulVal;
        default:
            return value.ullVal;
    }
}

HRESULT PlaceArguments(const DISPPARAMS& arguments, const DispatchRowHead* row,
                       ParameterSlot* slots, UINT* argumentError) {
    const UINT count = row->parameterCount;
    for (UINT i = 0; i < count; ++i) {
        slots[i] = ParameterSlot{};
        slots[i].descriptor = DispatchRowParameter(row, static_cast<BYTE>(i));
    }
    const UINT named = arguments.cNamedArgs;
    const UINT positional = arguments.cArgs - named;
    for (UINT j = 0; j < positional; ++j) {
        ParameterSlot& slot = slots[count - positional + j];
        slot.argument = &arguments.rgvarg[named + j];
        slot.argumentIndex = named + j;
    }
    for (UINT i = 0; i < named; ++i) {
        const DISPID id = arguments.rgdispidNamedArgs[i];
        // Out-of-range identifiers and a second argument for one slot would index past the
        // slots or lose a copy: both are refused.
        if (id >= static_cast<DISPID>(count) || slots[id < 0 ? 0 : count - 1 - id].argument) {
            if (argumentError) *argumentError = i;
            return DISP_E_PARAMNOTFOUND;
        }
        ParameterSlot& slot = slots[id < 0 ? 0 : count - 1 - id];
        slot.argument = &arguments.rgvarg[i];
        slot.argumentIndex = i;
    }
    return S_OK;
}

HRESULT MakeWorkingCopies(ParameterSlot* slots, UINT count, LCID locale, UINT* argumentError) {
    for (UINT i = 0; i < count; ++i) {
        ParameterSlot& slot = slots[i];
        if (!slot.argument) continue;
        VARIANTARG* argument = slot.argument;
        if (argument->vt == VT_ERROR) {
            if (!(slot.descriptor & kParameterOmissible)) {
                if (argumentError) *argumentError = slot.argumentIndex;
                return DISP_E_PARAMNOTOPTIONAL;
            }
            slot.working = *argument;
            continue;
        }
        const VARTYPE kind = ParameterKind(slot.descriptor);
        const size_t width = PlainWidth(kind);
        if (argument->vt == kind && width) {
            // Already of the parameter's kind: VariantChangeTypeEx would copy it as it is.
            slot.working.vt = kind;
            slot.working.ullVal = PlainBits(*argument, width);  // one store: read back whole
            continue;
        }
        HRESULT hr;
        if (kind == VT_VARIANT) {
            hr = DISP_E_TYPEMISMATCH;
            if (SoundReferences(argument, kItemLevels)) {
                if (argument->vt == (VT_BYREF | VT_VARIANT)) argument = argument->pvarVal;
                hr = VariantCopyInd(&slot.working, argument);
            }
        } else {
            hr = SoundReferences(argument, kConvertLevels)
                     ? VariantChangeTypeEx(&slot.working, argument, locale, 0, kind)
                     : DISP_E_TYPEMISMATCH;
        }
        if (FAILED(hr)) {
            slot.working = VARIANT{};
            if (argumentError) *argumentError = slot.argumentIndex;
            return DISP_E_TYPEMISMATCH;
        }
    }
    return S_OK;
}

HRESULT WriteBack(ParameterSlot* slots, UINT count, LCID locale) {
    bool failed = false;
    for (UINT i = 0; i < count; ++i) {
        ParameterSlot& slot = slots[i];
        if (!slot.argument || !IsByReference(slot.descriptor)) continue;
        VARIANT* target = Innermost(slot.argument);
        if (target->vt & VT_BYREF) {
            if (!StoreThroughReference(&slot.working, target, locale)) failed = true;
        } else {
            if (OwnsSomething(target->vt)) VariantClear(target);
            MoveValue(target, &slot.working);
        }
    }
    return failed ? DISP_E_BADVARTYPE : S_OK;
}

void ReleaseWorkingCopies(ParameterSlot* slots, UINT count) {
    for (UINT i = 0; i < count; ++i) {
        if (OwnsSomething(slots[i].working.vt)) VariantClear(&slots[i].working);
        slots[i].working = VARIANT{};
    }
}
