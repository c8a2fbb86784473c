// IDispatch::GetTypeInfoCount and GetTypeInfo of built-in objects: the type information
// comes from the type library carried in the program's file, or a ".TLB" file beside it.
#include "objects/builtin_dispatch.h"

#include <cstring>

namespace {

constexpr DWORD kPathCharacters = 260;

HRESULT LoadLibraryAt(const char* path, ITypeLib** library) {
    WCHAR wide[kPathCharacters + 1];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kPathCharacters + 1)) return E_FAIL;
    return LoadTypeLib(wide, library);
}

}  // namespace

HRESULT STDMETHODCALLTYPE BuiltinGetTypeInfoCount(IDispatch*, UINT* count) {
    if (!count) return E_INVALIDARG;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE BuiltinGetTypeInfo(IDispatch*, UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    char path[kPathCharacters + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, kPathCharacters + 1);
    // A path cut short names some other file.
    if (length == 0 || length > kPathCharacters) return E_FAIL;
    ITypeLib* library = nullptr;
    if (FAILED(LoadLibraryAt(path, &library))) {
        if (length < 4 || path[length - 4] != '.') return E_FAIL;
        std::memcpy(path + length - 4, ".TLB", 5);
        if (FAILED(LoadLibraryAt(path, &library))) return E_FAIL;
    }
    const HRESULT hr = library->GetTypeInfo(index, info);
    library->Release();
    if (FAILED(hr)) {
        *info = nullptr;
        return E_FAIL;
    }
    return S_OK;
}
