// Placeholder IDispatch for built-in objects until the late-bound calls are in place: no
// type information, no names, no calls.
#include "objects/builtin_dispatch.h"

HRESULT STDMETHODCALLTYPE BuiltinGetTypeInfoCount(IDispatch*, UINT* count) {
    if (!count) return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BuiltinGetTypeInfo(IDispatch*, UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BuiltinGetIDsOfNames(IDispatch*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE BuiltinInvoke(IDispatch*, DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                        VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}
