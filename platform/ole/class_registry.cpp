// Class objects registered in this process and creation through them; programmatic
// identifiers that never resolve, for want of a registry.
#include "platform/trace.h"
#include "platform/win32.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Registration {
    CLSID classId;
    IUnknown* classObject;
    DWORD contexts;
    DWORD cookie;
};

std::mutex registryLock;
DWORD nextCookie = 1;
std::vector<Registration>& Registrations() {
    static auto* registrations = new std::vector<Registration>();  // outlives every thread
    return *registrations;
}

}  // namespace

HRESULT CoRegisterClassObject(REFCLSID classId, IUnknown* classObject, DWORD contexts, DWORD flags,
                              LPDWORD cookie) {
    if (!classObject || !cookie) return E_INVALIDARG;
    if (flags != REGCLS_MULTIPLEUSE && flags != REGCLS_MULTI_SEPARATE) return E_INVALIDARG;
    classObject->AddRef();
    std::lock_guard<std::mutex> guard(registryLock);
    *cookie = nextCookie++;
    Registrations().push_back(Registration{classId, classObject, contexts, *cookie});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
    IUnknown* classObject = nullptr;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        auto& all = Registrations();
        for (auto it = all.begin(); it != all.end(); ++it) {
            if (it->cookie != cookie) continue;
            classObject = it->classObject;
            all.erase(it);
            break;
        }
    }
    if (!classObject) return E_INVALIDARG;
    classObject->Release();  // outside the lock: it may run any code
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD contexts, REFIID iid,
                         LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    IUnknown* classObject = nullptr;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        for (const Registration& r : Registrations()) {
            if (r.classId != classId || !(r.contexts & contexts)) continue;
            classObject = r.classObject;
            classObject->AddRef();
            break;
        }
    }
    if (!classObject) return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = nullptr;
    HRESULT result =
        classObject->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory));
    classObject->Release();
    if (FAILED(result) || !factory) return CLASS_E_CLASSNOTAVAILABLE;
    result = factory->CreateInstance(outer, iid, object);
    factory->Release();
    if (FAILED(result)) *object = nullptr;
    return result;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID classId) {
    if (!progId || !classId) return E_INVALIDARG;
    if (platform_trace::Enabled()) {
        std::string name;
        for (LPCOLESTR c = progId; *c; ++c) name += *c < 0x80 ? static_cast<char>(*c) : '?';
        platform_trace::Record("CLSIDFromProgID", name);
    }
    *classId = IID_NULL;
    return CO_E_CLASSSTRING;
}

HRESULT ProgIDFromCLSID(REFCLSID, LPOLESTR* progId) {
    if (!progId) return E_INVALIDARG;
    *progId = nullptr;
    return REGDB_E_CLASSNOTREG;
}

LPVOID CoTaskMemAlloc(SIZE_T bytes) {
    return std::malloc(bytes ? bytes : 1);
}

void CoTaskMemFree(LPVOID block) {
    std::free(block);
}
