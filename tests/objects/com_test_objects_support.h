// COM objects for the creation and event tests: a plain object with its class factory, and
// an event source with one connection point that records what it is asked.
#pragma once

#include "platform/win32.h"

#include <memory>

// {5A1B0C2D-0000-4000-8000-00000000B001}: the plain class; ...B002: its own interface.
extern const CLSID kPlainClass;
extern const IID kPlainInterface;

// A heap object answering IUnknown and kPlainInterface; frees itself at count 0.
struct PlainObject final : IUnknown {
    static LONG live;  // objects alive
    LONG references = 1;
    PlainObject() { ++live; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
};

// Gives back its one reference when the scope ends; declared before the registrations that
// hold the object, it outlives them.
struct ReleaseReference {
    void operator()(IUnknown* object) const { object->Release(); }
};
typedef std::unique_ptr<PlainObject, ReleaseReference> OwnedPlainObject;

// A never-freed class factory making PlainObjects; counts CreateInstance calls.
struct PlainFactory final : IClassFactory {
    LONG creations = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// A class object registered with the platform for the life of one scope. The registration
// is revoked on every way out of a test, so that a failed check never leaves the platform
// holding a factory that lived on the finished test's stack.
class ClassObjectRegistration {
   public:
    ClassObjectRegistration(REFCLSID id, IClassFactory* factory)
        : result(CoRegisterClassObject(id, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                       &cookie)) {}
    ~ClassObjectRegistration() { Revoke(); }
    ClassObjectRegistration(const ClassObjectRegistration&) = delete;
    ClassObjectRegistration& operator=(const ClassObjectRegistration&) = delete;
    HRESULT Revoke() {
        const HRESULT revoked = result == S_OK ? CoRevokeClassObject(cookie) : S_FALSE;
        result = S_FALSE;
        return revoked;
    }
    DWORD cookie = 0;  // declared first: the registration below fills it in
    HRESULT result;    // of the registration
};

// An object announced as running (ACTIVEOBJECT_STRONG) for the life of one scope; revoked on
// every way out, for the same reason.
class RunningObjectRegistration {
   public:
    RunningObjectRegistration(IUnknown* object, REFCLSID id)
        : result(RegisterActiveObject(object, id, ACTIVEOBJECT_STRONG, &cookie)) {}
    ~RunningObjectRegistration() { Revoke(); }
    RunningObjectRegistration(const RunningObjectRegistration&) = delete;
    RunningObjectRegistration& operator=(const RunningObjectRegistration&) = delete;
    HRESULT Revoke() {
        const HRESULT revoked = result == S_OK ? RevokeActiveObject(cookie, nullptr) : S_FALSE;
        result = S_FALSE;
        return revoked;
    }
    DWORD cookie = 0;  // declared first: the announcement below fills it in
    HRESULT result;    // of the announcement
};

// An event source with one connection point for `outgoing`. Advise hands out `nextCookie`
// (0 makes it fail with CONNECT_E_CANNOTCONNECT unless `cookieZeroIsSuccess`); every call
// is recorded. The container and the point are one object sharing one count.
struct EventSource final : IConnectionPointContainer {
    explicit EventSource(REFIID outgoing);
    struct Point final : IConnectionPoint {
        EventSource* source;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
        HRESULT STDMETHODCALLTYPE
        GetConnectionPointContainer(IConnectionPointContainer** container) override;
        HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
        HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;
    } point;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** found) override;

    IID outgoing;
    LONG references = 1;  // never freed: lives on the test's stack
    DWORD nextCookie = 41;
    bool cookieZeroIsSuccess = false;
    bool offersContainer = true;
    bool countsSink = true;           // Advise adds a reference to the sink, Unadvise takes it back
    IUnknown* advisedSink = nullptr;  // holds one reference while advised
    DWORD advisedCookie = 0;
    int advises = 0;
    int unadvises = 0;
    DWORD lastUnadvisedCookie = 0;
};
