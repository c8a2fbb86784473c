// Support code for VARIANT tests (built into the test program, not a test itself).
#include "tests/platform/variant_test_support.h"

#include <cstdio>
#include <cstring>

namespace {
VARIANT Of(VARTYPE kind) {
    VARIANT value;
    std::memset(&value, 0, sizeof value);
    value.vt = kind;
    return value;
}
}  // namespace

VARIANT Empty() {
    return Of(VT_EMPTY);
}
VARIANT Null() {
    return Of(VT_NULL);
}
VARIANT I1v(signed char value) {
    VARIANT v = Of(VT_I1);
    v.cVal = static_cast<CHAR>(value);
    return v;
}
VARIANT UI1v(BYTE value) {
    VARIANT v = Of(VT_UI1);
    v.bVal = value;
    return v;
}
VARIANT I2v(SHORT value) {
    VARIANT v = Of(VT_I2);
    v.iVal = value;
    return v;
}
VARIANT UI2v(USHORT value) {
    VARIANT v = Of(VT_UI2);
    v.uiVal = value;
    return v;
}
VARIANT I4v(LONG value) {
    VARIANT v = Of(VT_I4);
    v.lVal = value;
    return v;
}
VARIANT UI4v(ULONG value) {
    VARIANT v = Of(VT_UI4);
    v.ulVal = value;
    return v;
}
VARIANT I8v(LONGLONG value) {
    VARIANT v = Of(VT_I8);
    v.llVal = value;
    return v;
}
VARIANT R4v(float value) {
    VARIANT v = Of(VT_R4);
    v.fltVal = value;
    return v;
}
VARIANT R8v(double value) {
    VARIANT v = Of(VT_R8);
    v.dblVal = value;
    return v;
}
VARIANT CYv(LONGLONG units) {
    VARIANT v = Of(VT_CY);
    v.cyVal.int64 = units;
    return v;
}
VARIANT Boolv(SHORT value) {
    VARIANT v = Of(VT_BOOL);
    v.boolVal = value;
    return v;
}
VARIANT Errorv(SCODE value) {
    VARIANT v = Of(VT_ERROR);
    v.scode = value;
    return v;
}
VARIANT Datev(double value) {
    VARIANT v = Of(VT_DATE);
    v.date = value;
    return v;
}
VARIANT Textv(const char* ascii) {
    VARIANT v = Of(VT_BSTR);
    const UINT length = static_cast<UINT>(std::strlen(ascii));
    v.bstrVal = SysAllocStringLen(nullptr, length);
    for (UINT i = 0; i < length; ++i) v.bstrVal[i] = static_cast<OLECHAR>(ascii[i]);
    return v;
}
VARIANT ByRef(VARTYPE kind, void* storage) {
    VARIANT v = Of(static_cast<VARTYPE>(kind | VT_BYREF));
    v.byref = storage;
    return v;
}

bool RunningUnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;  // the portable layer is our own
#endif
}

void ReportKnownDifference(const std::string& row, const char* system, const char* why) {
    std::printf("known difference of %s: %s: %s\n", system, row.c_str(), why);
}

std::string TextOf(BSTR text) {
    std::string ascii;
    for (UINT i = 0; i < SysStringLen(text); ++i) ascii += static_cast<char>(text[i]);
    return ascii;
}

std::string DescribeVariant(const VARIANT& v) {
    char buffer[96];
    switch (v.vt) {
        case VT_EMPTY:
            return "EMPTY";
        case VT_NULL:
            return "NULL";
        case VT_I1:
            std::snprintf(buffer, sizeof buffer, "I1 %d", v.cVal);
            break;
        case VT_UI1:
            std::snprintf(buffer, sizeof buffer, "UI1 %u", v.bVal);
            break;
        case VT_I2:
            std::snprintf(buffer, sizeof buffer, "I2 %d", v.iVal);
            break;
        case VT_UI2:
            std::snprintf(buffer, sizeof buffer, "UI2 %u", v.uiVal);
            break;
        case VT_I4:
            std::snprintf(buffer, sizeof buffer, "I4 %ld", static_cast<long>(v.lVal));
            break;
        case VT_UI4:
            std::snprintf(buffer, sizeof buffer, "UI4 %lu", static_cast<unsigned long>(v.ulVal));
            break;
        case VT_I8:
            std::snprintf(buffer, sizeof buffer, "I8 %lld", static_cast<long long>(v.llVal));
            break;
        case VT_R4:
            std::snprintf(buffer, sizeof buffer, "R4 %.9g", v.fltVal);
            break;
        case VT_R8:
            std::snprintf(buffer, sizeof buffer, "R8 %.17g", v.dblVal);
            break;
        case VT_DATE:
            std::snprintf(buffer, sizeof buffer, "DATE %.17g", v.date);
            break;
        case VT_CY:
            std::snprintf(buffer, sizeof buffer, "CY %lld", static_cast<long long>(v.cyVal.int64));
            break;
        case VT_BOOL:
            std::snprintf(buffer, sizeof buffer, "BOOL %d", v.boolVal);
            break;
        case VT_ERROR:
            std::snprintf(buffer, sizeof buffer, "ERROR %lx", static_cast<unsigned long>(v.scode));
            break;
        case VT_BSTR:
            return "BSTR \"" + TextOf(v.bstrVal) + "\"";
        case VT_DISPATCH:
            return v.pdispVal ? "DISPATCH object" : "DISPATCH null";
        case VT_UNKNOWN:
            return v.punkVal ? "UNKNOWN object" : "UNKNOWN null";
        default:
            std::snprintf(buffer, sizeof buffer, "vt 0x%x", v.vt);
            break;
    }
    return buffer;
}

bool SameVariant(const VARIANT& a, const VARIANT& b) {
    if (a.vt != b.vt) return false;
    switch (a.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return true;
        case VT_I1:
        case VT_UI1:
            return a.bVal == b.bVal;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return a.iVal == b.iVal;
        case VT_I4:
        case VT_UI4:
        case VT_R4:  // by bits: -0 and 0 differ
        case VT_ERROR:
            return a.lVal == b.lVal;
        case VT_BSTR:
            return TextOf(a.bstrVal) == TextOf(b.bstrVal);
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return a.punkVal == b.punkVal;
        default:
            return a.llVal == b.llVal;  // 8-byte kinds, by bits
    }
}

HRESULT STDMETHODCALLTYPE ValueObject::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown) || (dispatchable && IsEqualIID(riid, IID_IDispatch))) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE ValueObject::AddRef() {
    return static_cast<ULONG>(++references);
}
ULONG STDMETHODCALLTYPE ValueObject::Release() {
    return static_cast<ULONG>(--references);
}
HRESULT STDMETHODCALLTYPE ValueObject::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE ValueObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ValueObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ValueObject::Invoke(DISPID member, REFIID, LCID, WORD flags,
                                              DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                              UINT*) {
    ++invokes;
    if (member != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET) || !params || params->cArgs)
        return DISP_E_MEMBERNOTFOUND;
    if (FAILED(failure)) return failure;
    return result ? VariantCopy(result, &value) : S_OK;
}
