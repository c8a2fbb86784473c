// The plain object, its factory and the event source of the creation and event tests.
#include "tests/objects/com_test_objects_support.h"

const CLSID kPlainClass = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xB0, 0x01}};
const IID kPlainInterface = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xB0, 0x02}};

LONG PlainObject::live = 0;

HRESULT STDMETHODCALLTYPE PlainObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, kPlainInterface)) return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
}
ULONG STDMETHODCALLTYPE PlainObject::AddRef() {
    return ++references;
}
ULONG STDMETHODCALLTYPE PlainObject::Release() {
    const LONG left = --references;
    if (left == 0) {
        --live;
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE PlainFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = this;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE PlainFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    ++creations;
    auto* created = new PlainObject();
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

EventSource::EventSource(REFIID outgoingInterface) : outgoing(outgoingInterface) {
    point.source = this;
}

HRESULT STDMETHODCALLTYPE EventSource::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) ||
        (offersContainer && IsEqualIID(iid, IID_IConnectionPointContainer))) {
        *object = static_cast<IConnectionPointContainer*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE EventSource::AddRef() {
    return ++references;
}
ULONG STDMETHODCALLTYPE EventSource::Release() {
    return --references;
}
HRESULT STDMETHODCALLTYPE EventSource::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE EventSource::FindConnectionPoint(REFIID iid, IConnectionPoint** found) {
    if (!found) return E_POINTER;
    *found = nullptr;
    if (!IsEqualIID(iid, outgoing)) return CONNECT_E_NOCONNECTION;
    *found = &point;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSource::Point::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint))
        return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
}
ULONG STDMETHODCALLTYPE EventSource::Point::AddRef() {
    return source->AddRef();
}
ULONG STDMETHODCALLTYPE EventSource::Point::Release() {
    return source->Release();
}
HRESULT STDMETHODCALLTYPE EventSource::Point::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = source->outgoing;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE
EventSource::Point::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = source;
    source->AddRef();
    return S_OK;
}
HRESULT STDMETHODCALLTYPE EventSource::Point::Advise(IUnknown* sink, DWORD* cookie) {
    ++source->advises;
    if (!sink || !cookie) return E_POINTER;
    *cookie = source->nextCookie;
    if (source->nextCookie == 0 && !source->cookieZeroIsSuccess) return CONNECT_E_CANNOTCONNECT;
    if (source->countsSink) sink->AddRef();
    source->advisedSink = sink;
    source->advisedCookie = source->nextCookie;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE EventSource::Point::Unadvise(DWORD cookie) {
    ++source->unadvises;
    source->lastUnadvisedCookie = cookie;
    if (!source->advisedSink || cookie != source->advisedCookie) return CONNECT_E_NOCONNECTION;
    IUnknown* sink = source->advisedSink;
    source->advisedSink = nullptr;
    source->advisedCookie = 0;
    if (source->countsSink) sink->Release();
    return S_OK;
}
HRESULT STDMETHODCALLTYPE EventSource::Point::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}
