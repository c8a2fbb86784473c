// VariantChangeTypeEx for the portable host. A source is first read into a plain VARIANT
// (through by-reference pointers, and through an object's value property), then reduced
// to one numeric form, then written in the target kind with OLEAUT32's range and rounding
// rules (half to even; same-width signed and unsigned kinds convert by their bits).
#include "platform/ole/conversion.h"

#include "platform/ole/number_text.h"
#include "platform/ole/scalar_width.h"
#include "platform/win32.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

namespace {

bool IsDefinedKind(VARTYPE base) {
    return base <= VT_UINT && base != 15 && base != VT_VARIANT;
}

// The type words a source may carry: OLE Automation's, with the by-reference flag.
HRESULT CheckSourceType(VARTYPE type) {
    if (type & (VT_VECTOR | VT_RESERVED)) return DISP_E_BADVARTYPE;
    const VARTYPE base = type & VT_TYPEMASK;
    if (type & VT_ARRAY)
        return base == VT_RECORD || IsDefinedKind(base) || base == VT_VARIANT ? DISP_E_TYPEMISMATCH
                                                                              : DISP_E_BADVARTYPE;
    if (base == VT_RECORD) return DISP_E_TYPEMISMATCH;
    if (type & VT_BYREF) {
        if (base == VT_VARIANT) return S_OK;
        if (base <= VT_NULL) return DISP_E_BADVARTYPE;
    }
    return IsDefinedKind(base) ? S_OK : DISP_E_BADVARTYPE;
}

HRESULT CheckTargetType(VARTYPE type) {
    if (type & (VT_VECTOR | VT_RESERVED)) return DISP_E_BADVARTYPE;
    if (type & (VT_BYREF | VT_ARRAY)) return DISP_E_TYPEMISMATCH;
    if (type == VT_VARIANT || type == VT_RECORD) return DISP_E_TYPEMISMATCH;
    if (!IsDefinedKind(type)) return DISP_E_BADVARTYPE;
    if (type == VT_DATE || type == VT_DECIMAL) return E_NOTIMPL;
    return S_OK;
}

// Bytes a by-reference source points at: a pointer for strings and objects, else the
// scalar's width (8 for the remaining kinds read here).
size_t ReferencedWidth(VARTYPE base) {
    if (base == VT_BSTR || base == VT_DISPATCH || base == VT_UNKNOWN) return sizeof(void*);
    const size_t width = ScalarWidth(base);
    return width ? width : 8;
}

// The source as a plain value (no by-reference flag); strings and objects are borrowed.
HRESULT ReadPlain(const VARIANT* source, VARIANT* plain) {
    HRESULT check = CheckSourceType(source->vt);
    if (FAILED(check)) return check;
    if (!(source->vt & VT_BYREF)) {
        *plain = *source;
        return S_OK;
    }
    const VARTYPE base = source->vt & VT_TYPEMASK;
    if (!source->byref) return DISP_E_TYPEMISMATCH;
    if (base == VT_VARIANT) {
        const VARIANT* inner = source->pvarVal;
        if (inner->vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
        return ReadPlain(inner, plain);
    }
    if (base == VT_DECIMAL) return E_NOTIMPL;
    *plain = VARIANT{};
    plain->vt = base;
    std::memcpy(&plain->llVal, source->byref, ReferencedWidth(base));
    return S_OK;
}

// A plain value as one of five numeric forms.
struct Numeric {
    enum Form { kSigned, kUnsigned, kReal, kCurrency, kRadix } form;
    int64_t whole;  // kSigned, kCurrency (units of 1/10,000)
    uint64_t bits;  // kUnsigned, kRadix
    double real;    // kReal
    VARTYPE kind;   // the source kind, for the same-width rule; VT_EMPTY for text
    bool fromText;
};

Numeric Signed(int64_t value, VARTYPE kind) {
    return Numeric{Numeric::kSigned, value, 0, 0, kind, false};
}
Numeric Unsigned(uint64_t value, VARTYPE kind) {
    return Numeric{Numeric::kUnsigned, 0, value, 0, kind, false};
}
Numeric Real(double value, bool fromText) {
    return Numeric{Numeric::kReal, 0, 0, value, VT_R8, fromText};
}

Numeric FromPlain(const VARIANT& value) {
    switch (value.vt) {
        case VT_I1:
            return Signed(value.cVal, VT_I1);
        case VT_UI1:
            return Unsigned(value.bVal, VT_UI1);
        case VT_I2:
            return Signed(value.iVal, VT_I2);
        case VT_UI2:
            return Unsigned(value.uiVal, VT_UI2);
        case VT_BOOL:
            return Signed(value.boolVal, VT_BOOL);
        case VT_I4:
            return Signed(value.lVal, VT_I4);
        case VT_INT:
            return Signed(value.intVal, VT_I4);
        case VT_UI4:
            return Unsigned(value.ulVal, VT_UI4);
        case VT_UINT:
            return Unsigned(value.uintVal, VT_UI4);
        case VT_I8:
            return Signed(value.llVal, VT_I8);
        case VT_UI8:
            return Unsigned(value.ullVal, VT_UI8);
        case VT_R4:
            return Real(value.fltVal, false);
        case VT_R8:
            return Real(value.dblVal, false);
        case VT_DATE:
            return Real(value.date, false);
        case VT_CY:
            return Numeric{Numeric::kCurrency, value.cyVal.int64, 0, 0, VT_CY, false};
        default:
            return Signed(0, VT_EMPTY);  // VT_EMPTY
    }
}

// Text read for a target: floating-point targets take the correctly rounded double;
// integer, currency and truth targets take exact integers where the text is one.
HRESULT FromText(BSTR text, VARTYPE target, Numeric* numeric) {
    if (!text) return DISP_E_TYPEMISMATCH;
    NumberText number;
    HRESULT parsed = ParseNumberText(text, SysStringLen(text), &number);
    if (FAILED(parsed)) return parsed;
    if (number.radix) {
        *numeric = Numeric{Numeric::kRadix, 0, number.radixValue, 0, VT_EMPTY, true};
    } else if (target == VT_R4 || target == VT_R8 || !number.integral) {
        *numeric = Real(number.real, true);
    } else if (!number.negative) {
        *numeric = number.magnitude <= INT64_MAX
                       ? Signed(static_cast<int64_t>(number.magnitude), VT_EMPTY)
                       : Unsigned(number.magnitude, VT_EMPTY);
    } else if (number.magnitude <= uint64_t{1} << 63) {
        *numeric = Signed(static_cast<int64_t>(0 - number.magnitude), VT_EMPTY);
    } else {
        *numeric = Real(number.real, true);
    }
    return S_OK;
}

struct IntegerKind {
    VARTYPE counterpart;  // the kind of the same width and other signedness
    bool isSigned;
    int bits;
};

IntegerKind IntegerKindOf(VARTYPE type) {
    switch (type) {
        case VT_I1:
            return {VT_UI1, true, 8};
        case VT_UI1:
            return {VT_I1, false, 8};
        case VT_I2:
            return {VT_UI2, true, 16};
        case VT_UI2:
            return {VT_I2, false, 16};
        case VT_I4:
        case VT_INT:
            return {VT_UI4, true, 32};
        case VT_UI4:
        case VT_UINT:
            return {VT_I4, false, 32};
        case VT_I8:
            return {VT_UI8, true, 64};
        default:
            return {VT_I8, false, 64};  // VT_UI8
    }
}

// Half to even, as OLE Automation rounds every fraction.
int64_t RoundCurrency(int64_t amount) {
    int64_t quotient = amount / 10000;
    const int64_t remainder = amount % 10000;
    const int64_t half = remainder < 0 ? -remainder : remainder;
    if (half > 5000 || (half == 5000 && (quotient & 1))) quotient += remainder < 0 ? -1 : 1;
    return quotient;
}

// Stores the low `bits` of `value` in `out`'s value area as an integer of that width.
void StoreBits(VARIANT* out, uint64_t value, int bits) {
    out->ullVal = 0;
    std::memcpy(&out->llVal, &value, static_cast<size_t>(bits / 8));
}

HRESULT ToInteger(const Numeric& number, VARTYPE target, VARIANT* out) {
    const IntegerKind kind = IntegerKindOf(target);
    const long double low = kind.isSigned ? -std::ldexp(1.0L, kind.bits - 1) : 0.0L;
    const long double high = std::ldexp(1.0L, kind.isSigned ? kind.bits - 1 : kind.bits);
    auto store = [&](long double value) -> HRESULT {
        if (!(value >= low && value < high)) return DISP_E_OVERFLOW;
        const uint64_t bits = value < 0 ? static_cast<uint64_t>(static_cast<int64_t>(value))
                                        : static_cast<uint64_t>(value);
        StoreBits(out, bits, kind.bits);
        return S_OK;
    };
    switch (number.form) {
        case Numeric::kSigned:
            if (number.kind == kind.counterpart || (number.kind == VT_BOOL && !kind.isSigned)) {
                StoreBits(out, static_cast<uint64_t>(number.whole), kind.bits);
                return S_OK;
            }
            if (kind.bits == 64 && kind.isSigned) {
                out->llVal = number.whole;
                return S_OK;
            }
            return store(static_cast<long double>(number.whole));
        case Numeric::kUnsigned:
            if (number.kind == kind.counterpart) {
                StoreBits(out, number.bits, kind.bits);
                return S_OK;
            }
            return store(static_cast<long double>(number.bits));
        case Numeric::kReal:
            if (std::isnan(number.real)) return DISP_E_OVERFLOW;
            return store(std::nearbyint(static_cast<long double>(number.real)));
        case Numeric::kCurrency:
            return store(static_cast<long double>(RoundCurrency(number.whole)));
        case Numeric::kRadix: {
            // Hexadecimal and octal text fills the target's width: "&HFFFF" is -1 as VT_I2.
            if (kind.bits < 64 && (number.bits >> kind.bits)) return DISP_E_OVERFLOW;
            if (kind.isSigned && (kind.bits == 16 || kind.bits == 32 || kind.bits == 64)) {
                StoreBits(out, number.bits, kind.bits);
                return S_OK;
            }
            return store(static_cast<long double>(number.bits));
        }
    }
    return DISP_E_TYPEMISMATCH;
}

// Hexadecimal and octal text as a floating-point, currency or truth value: its low 32 bits
// read as a signed integer.
HRESULT RadixAsSigned32(const Numeric& number, int64_t* value) {
    if (number.bits >> 32) return DISP_E_OVERFLOW;
    *value = static_cast<int32_t>(static_cast<uint32_t>(number.bits));
    return S_OK;
}

HRESULT ToDouble(const Numeric& number, long double* value) {
    switch (number.form) {
        case Numeric::kSigned:
            *value = static_cast<long double>(number.whole);
            return S_OK;
        case Numeric::kUnsigned:
            *value = static_cast<long double>(number.bits);
            return S_OK;
        case Numeric::kReal:
            *value = number.real;
            return S_OK;
        case Numeric::kCurrency:
            *value = static_cast<double>(number.whole) / 10000.0;
            return S_OK;
        case Numeric::kRadix: {
            int64_t whole;
            HRESULT hr = RadixAsSigned32(number, &whole);
            *value = static_cast<long double>(whole);
            return hr;
        }
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT ToReal(const Numeric& number, VARTYPE target, VARIANT* out) {
    long double value;
    HRESULT hr = ToDouble(number, &value);
    if (FAILED(hr)) return hr;
    if (target == VT_R8) {
        out->dblVal = static_cast<double>(value);
        return S_OK;
    }
    if (std::fabs(value) > FLT_MAX) return DISP_E_OVERFLOW;
    out->fltVal = static_cast<float>(value);
    // Text too small for a float is refused rather than read as 0.
    if (number.fromText && value != 0 && out->fltVal == 0) return DISP_E_OVERFLOW;
    return S_OK;
}

HRESULT ToCurrency(const Numeric& number, VARIANT* out) {
    constexpr int64_t kLimit = INT64_MAX / 10000;
    switch (number.form) {
        case Numeric::kCurrency:
            out->cyVal.int64 = number.whole;
            return S_OK;
        case Numeric::kSigned:
            // The limits themselves are refused too, as OLEAUT32 does.
            if (number.whole <= -kLimit || number.whole >= kLimit) return DISP_E_OVERFLOW;
            out->cyVal.int64 = number.whole * 10000;
            return S_OK;
        case Numeric::kUnsigned:
            if (number.bits >= static_cast<uint64_t>(kLimit)) return DISP_E_OVERFLOW;
            out->cyVal.int64 = static_cast<int64_t>(number.bits) * 10000;
            return S_OK;
        case Numeric::kRadix: {
            int64_t whole;
            HRESULT hr = RadixAsSigned32(number, &whole);
            if (SUCCEEDED(hr)) out->cyVal.int64 = whole * 10000;
            return hr;
        }
        case Numeric::kReal: {
            // Extended precision for the product, so 0.00005 (a hair above) rounds up.
            const long double scaled =
                std::nearbyint(static_cast<long double>(number.real) * 10000);
            if (!(scaled >= -0x1p63L && scaled < 0x1p63L)) return DISP_E_OVERFLOW;
            out->cyVal.int64 = static_cast<int64_t>(scaled);
            return S_OK;
        }
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT ToBool(const Numeric& number, VARIANT* out) {
    bool truth = false;
    switch (number.form) {
        case Numeric::kSigned:
        case Numeric::kCurrency:
            truth = number.whole != 0;
            break;
        case Numeric::kUnsigned:
            truth = number.bits != 0;
            break;
        case Numeric::kReal:
            truth = number.real != 0;
            break;
        case Numeric::kRadix: {
            int64_t whole;
            HRESULT hr = RadixAsSigned32(number, &whole);
            if (FAILED(hr)) return hr;
            truth = whole != 0;
            break;
        }
    }
    out->boolVal = truth ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT StoreText(VARIANT* out, const std::string& text) {
    std::u16string wide(text.begin(), text.end());
    out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return out->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ToText(const VARIANT& value, USHORT flags, VARIANT* out) {
    switch (value.vt) {
        case VT_EMPTY:
            return StoreText(out, "");
        case VT_BOOL:
            if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL))
                return StoreText(out, value.boolVal ? "True" : "False");
            return StoreText(out, std::to_string(value.boolVal));
        case VT_R4:
            return StoreText(out, FormatReal(value.fltVal, 7));
        case VT_R8:
            return StoreText(out, FormatReal(value.dblVal, 15));
        case VT_CY:
            return StoreText(out, FormatCurrency(value.cyVal.int64));
        case VT_DATE:
            return E_NOTIMPL;
        default:
            break;
    }
    const Numeric number = FromPlain(value);
    return StoreText(out, number.form == Numeric::kSigned ? std::to_string(number.whole)
                                                          : std::to_string(number.bits));
}

HRESULT CopyPlain(const VARIANT& value, VARIANT* out) {
    *out = value;
    if (value.vt == VT_BSTR && value.bstrVal) {
        out->bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(value.bstrVal),
                                             SysStringByteLen(value.bstrVal));
        if (!out->bstrVal) return E_OUTOFMEMORY;
    } else if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal) {
        value.punkVal->AddRef();
    }
    return S_OK;
}

HRESULT ConvertPlain(const VARIANT& value, LCID locale, USHORT flags, VARTYPE target, VARIANT* out);

// An object read as a number, text or truth value: its value property, converted.
HRESULT ConvertObject(const VARIANT& value, LCID locale, USHORT flags, VARTYPE target,
                      VARIANT* out) {
    if (value.vt == VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    if (!value.pdispVal) return DISP_E_BADVARTYPE;
    if (flags & VARIANT_NOVALUEPROP) return DISP_E_TYPEMISMATCH;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT property{};
    HRESULT hr = value.pdispVal->Invoke(DISPID_VALUE, IID_NULL, locale, DISPATCH_PROPERTYGET, &none,
                                        &property, nullptr, nullptr);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    VARIANT plain;
    hr = ReadPlain(&property, &plain);
    // Asking an object's object again could go on forever; one level is enough.
    if (SUCCEEDED(hr) && (plain.vt == VT_DISPATCH || plain.vt == VT_UNKNOWN))
        hr = DISP_E_TYPEMISMATCH;
    if (SUCCEEDED(hr)) hr = ConvertPlain(plain, locale, flags, target, out);
    VariantClear(&property);
    return hr;
}

HRESULT ConvertPlain(const VARIANT& value, LCID locale, USHORT flags, VARTYPE target,
                     VARIANT* out) {
    *out = VARIANT{};
    out->vt = target;
    if (target == VT_EMPTY)
        return value.vt == VT_NULL || value.vt == VT_ERROR ? DISP_E_TYPEMISMATCH : S_OK;
    if (target == VT_NULL) return value.vt == VT_ERROR ? DISP_E_TYPEMISMATCH : S_OK;
    if (value.vt == target) return CopyPlain(value, out);
    if (value.vt == VT_NULL || value.vt == VT_ERROR || target == VT_ERROR)
        return DISP_E_TYPEMISMATCH;

    const bool objectSource = value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN;
    if (target == VT_DISPATCH || target == VT_UNKNOWN) {
        if (!objectSource) return DISP_E_TYPEMISMATCH;
        if (target == VT_UNKNOWN || !value.punkVal) {
            HRESULT copied = CopyPlain(value, out);
            out->vt = target;
            return copied;
        }
        return value.punkVal->QueryInterface(IID_IDispatch,
                                             reinterpret_cast<void**>(&out->pdispVal));
    }
    if (objectSource) return ConvertObject(value, locale, flags, target, out);
    if (value.vt == VT_DECIMAL) return E_NOTIMPL;
    if (target == VT_BSTR) return ToText(value, flags, out);

    Numeric number = FromPlain(value);
    if (value.vt == VT_BSTR) {
        bool truth;
        if (target == VT_BOOL && value.bstrVal &&
            ParseTruthText(value.bstrVal, SysStringLen(value.bstrVal), &truth)) {
            out->boolVal = truth ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        HRESULT hr = FromText(value.bstrVal, target, &number);
        if (FAILED(hr)) return hr;
    }
    switch (target) {
        case VT_R4:
        case VT_R8:
            return ToReal(number, target, out);
        case VT_CY:
            return ToCurrency(number, out);
        case VT_BOOL:
            return ToBool(number, out);
        default:
            return ToInteger(number, target, out);
    }
}

}  // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID locale,
                            USHORT flags, VARTYPE type) {
    if (!destination || !source) return E_INVALIDARG;
    VARIANT plain;
    HRESULT hr = ReadPlain(source, &plain);
    if (FAILED(hr)) return hr;
    hr = CheckTargetType(type);
    if (FAILED(hr)) return hr;
    VARIANT converted;
    hr = ConvertPlain(plain, locale, flags, type, &converted);
    if (FAILED(hr)) return hr;
    // Only now is the destination released: it may be the source, or own what was read.
    VariantClear(destination);
    *destination = converted;
    return S_OK;
}
