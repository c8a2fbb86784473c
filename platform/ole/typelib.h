// Type libraries for the portable host: the first slots of ITypeLib and LoadTypeLib, which
// finds no type library here (no resources, no registry).
#pragma once

#include "platform/ole/oleauto.h"

// ITypeLib's published slots up to GetTypeInfo; later slots are not called by the program
// and not declared.
struct ITypeLib : IUnknown {
    virtual UINT STDMETHODCALLTYPE GetTypeInfoCount() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** info) = 0;
};
typedef ITypeLib* LPTYPELIB;

// Writes null to `library` and fails: the portable host has no type libraries.
// TYPE_E_CANTLOADLIBRARY for any path; E_INVALIDARG when `path` or `library` is null.
HRESULT LoadTypeLib(LPCOLESTR path, ITypeLib** library);
