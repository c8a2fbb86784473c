// The test library of the create-from-library tests: DllGetClassObject hands out the class
// factory of one class, whose objects answer IUnknown and one interface of their own. It
// links nothing of the program: its identifiers are its own copies.
#include "platform/win32.h"

#ifdef _WIN32
#define LIBRARY_EXPORT extern "C" __declspec(dllexport)
#else
#define LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// {5A1B0C2D-0000-4000-8000-00000000A001}: the class; ...A002: its objects' own interface.
const GUID kLibraryClass = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xA0, 0x01}};
const GUID kLibraryInterface = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xA0, 0x02}};
const GUID kUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kClassFactory = {1, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool Same(const GUID& a, const GUID& b) {
    const BYTE* x = reinterpret_cast<const BYTE*>(&a);
    const BYTE* y = reinterpret_cast<const BYTE*>(&b);
    for (int i = 0; i < 16; ++i)
        if (x[i] != y[i]) return false;
    return true;
}

LONG liveObjects = 0;
LONG factoryRequests = 0;

struct LibraryObject final : IUnknown {
    LONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!Same(iid, kUnknown) && !Same(iid, kLibraryInterface)) return E_NOINTERFACE;
        *object = this;
        ++references;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --references;
        if (left == 0) {
            --liveObjects;
            delete this;
        }
        return left;
    }
};

struct LibraryFactory final : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!Same(iid, kUnknown) && !Same(iid, kClassFactory)) return E_NOINTERFACE;
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static: never freed
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* created = new LibraryObject();
        ++liveObjects;
        const HRESULT result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

LibraryFactory factory;

}  // namespace

LIBRARY_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid,
                                                           void** object) {
    ++factoryRequests;
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!Same(classId, kLibraryClass)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

// Objects of the library's class alive now.
LIBRARY_EXPORT LONG STDMETHODCALLTYPE TestLibraryLiveObjects() {
    return liveObjects;
}

// DllGetClassObject calls so far.
LIBRARY_EXPORT LONG STDMETHODCALLTYPE TestLibraryFactoryRequests() {
    return factoryRequests;
}
