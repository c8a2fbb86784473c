// COM objects for the creation and event tests: a plain object with its class factory, and
// an event source with one connection point that records what it is asked.
#pragma once

#include "platform/win32.h"

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

// A never-freed class factory making PlainObjects; counts CreateInstance calls.
struct PlainFactory final : IClassFactory {
    LONG creations = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
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
