// VARIANT clear and copy for the portable host. Arrays (VT_ARRAY) are not supported here:
// the run-time never hands one to these calls, so they fail with E_NOTIMPL and change
// nothing rather than leak or guess.
#include "platform/ole/scalar_width.h"
#include "platform/win32.h"

#include <cmath>
#include <cstring>

namespace {

// Which type words OLE Automation accepts in a VARIANT (the rest are DISP_E_BADVARTYPE).
HRESULT ValidateType(VARTYPE type) {
    const VARTYPE extra = type & ~VT_TYPEMASK;
    const VARTYPE base = type & VT_TYPEMASK;
    if (extra & (VT_VECTOR | VT_RESERVED)) return DISP_E_BADVARTYPE;
    if ((extra & (VT_BYREF | VT_ARRAY)) && base <= VT_NULL) return DISP_E_BADVARTYPE;
    if (base == 15) return DISP_E_BADVARTYPE;
    if (base < VT_VOID || base == VT_RECORD || base == VT_CLSID) return S_OK;
    return DISP_E_BADVARTYPE;
}

}  // namespace

void VariantInit(VARIANTARG* value) {
    value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* value) {
    if (!value) return E_INVALIDARG;
    if (value->vt <= VT_DATE) {  // empty, null and plain numbers own nothing: the common case
        value->vt = VT_EMPTY;
        return S_OK;
    }
    HRESULT check = ValidateType(value->vt);
    if (FAILED(check)) return check;
    if (!(value->vt & VT_BYREF)) {
        if (value->vt & VT_ARRAY) return E_NOTIMPL;
        switch (value->vt) {
            case VT_BSTR:
                SysFreeString(value->bstrVal);
                break;
            case VT_DISPATCH:
            case VT_UNKNOWN:
                if (value->punkVal) value->punkVal->Release();
                break;
            case VT_RECORD:
                return E_NOTIMPL;
            default:
                break;
        }
    }
    value->vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source) {
    if (!destination || !source) return E_INVALIDARG;
    HRESULT check = ValidateType(source->vt);
    if (FAILED(check)) return check;
    if (destination == source) return S_OK;
    if ((source->vt & (VT_ARRAY | VT_BYREF)) == VT_ARRAY || source->vt == VT_RECORD)
        return E_NOTIMPL;
    HRESULT cleared = VariantClear(destination);
    if (FAILED(cleared)) return cleared;
    *destination = *source;
    if (source->vt == VT_BSTR && source->bstrVal) {
        destination->bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source->bstrVal),
                                                     SysStringByteLen(source->bstrVal));
        if (!destination->bstrVal) {
            destination->vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
    } else if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) && source->punkVal) {
        source->punkVal->AddRef();
    }
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source) {
    if (!destination || !source) return E_INVALIDARG;
    if (!(source->vt & VT_BYREF)) return VariantCopy(destination, source);
    HRESULT check = ValidateType(source->vt);
    if (FAILED(check)) return check;
    const VARTYPE base = source->vt & ~VT_BYREF;
    if (!source->byref) return E_INVALIDARG;
    if (base & VT_ARRAY) return E_NOTIMPL;

    // Read the referenced value into a local first: the destination may be the source.
    VARIANT copy{};
    switch (base) {
        case VT_VARIANT: {
            const VARIANT* inner = source->pvarVal;
            // A reference to a reference is not followed further.
            if (inner->vt == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;
            HRESULT copied = VariantCopy(&copy, inner);
            if (FAILED(copied)) return copied;
            break;
        }
        case VT_BSTR:
            copy.vt = VT_BSTR;
            if (*source->pbstrVal) {
                copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(*source->pbstrVal),
                                                     SysStringByteLen(*source->pbstrVal));
                if (!copy.bstrVal) return E_OUTOFMEMORY;
            }
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            copy.vt = base;
            copy.punkVal = *source->ppunkVal;
            if (copy.punkVal) copy.punkVal->AddRef();
            break;
        case VT_DECIMAL:
            copy.decVal = *source->pdecVal;
            copy.vt = VT_DECIMAL;
            break;
        default: {
            const size_t width = ScalarWidth(base);
            if (width == 0) return E_INVALIDARG;
            std::memcpy(&copy.llVal, source->byref, width);
            copy.vt = base;
            break;
        }
    }
    if (destination != source) {
        HRESULT cleared = VariantClear(destination);
        if (FAILED(cleared)) {
            VariantClear(&copy);
            return cleared;
        }
    }
    *destination = copy;
    return S_OK;
}

HRESULT VarR8FromDec(const DECIMAL* source, DOUBLE* result) {
    if (!source || !result) return E_INVALIDARG;
    if (source->scale > 28 || (source->sign & ~DECIMAL_NEG)) return E_INVALIDARG;
    long double magnitude = std::ldexp(static_cast<long double>(source->Hi32), 64) +
                            static_cast<long double>(source->Lo64);
    magnitude /= std::pow(10.0L, static_cast<long double>(source->scale));
    *result = static_cast<DOUBLE>(source->sign ? -magnitude : magnitude);
    return S_OK;
}
