// LoadTypeLib for the portable host: there is no type library to load.
#include "platform/win32.h"

HRESULT LoadTypeLib(LPCOLESTR path, ITypeLib** library) {
    if (!library) return E_INVALIDARG;
    *library = nullptr;
    if (!path) return E_INVALIDARG;
    return TYPE_E_CANTLOADLIBRARY;
}
