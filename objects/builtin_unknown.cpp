// QueryInterface, AddRef and Release of built-in objects. The reference count changes by
// plain (non-atomic) steps, made with relaxed atomic loads and stores so that a concurrent
// reader sees a whole value.
#include "objects/builtin_unknown.h"

#include "objects/builtin_object.h"
#include "objects/list_collection.h"
#include "runtime/memory.h"

#include <atomic>

namespace {
std::atomic<LONG> liveObjects{0};

LONG LoadCount(ObjectHeader* header) {
    return __atomic_load_n(&header->referenceCount, __ATOMIC_RELAXED);
}
void StoreCount(ObjectHeader* header, LONG count) {
    __atomic_store_n(&header->referenceCount, count, __ATOMIC_RELAXED);
}
}  // namespace

LONG LiveObjectCount() {
    return liveObjects.load();
}
void CountObjectCreated() {
    liveObjects.fetch_add(1);
}
void CountObjectFreed() {
    liveObjects.fetch_sub(1);
}

HRESULT STDMETHODCALLTYPE BuiltinQueryInterface(IUnknown* self, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!self) return E_POINTER;
    ObjectHeader* header = DataBlockOf(self);
    InterfaceRecord* records = header->firstRecord;
    InterfaceRecord* match = nullptr;
    if (IsEqualIID(riid, IID_ILinkListCollection)) {
        match = &records[0];
    } else if (IsEqualIID(riid, IID_IDispatch)) {
        match = &records[1];
    } else if (IsEqualIID(riid, IID_IUnknown)) {
        match = &records[2];
    }
    if (!match) return E_NOINTERFACE;
    StoreCount(header, LoadCount(header) + 1);
    *object = match;
    return S_OK;
}

ULONG STDMETHODCALLTYPE BuiltinAddRef(IUnknown* self) {
    if (!self) return 0;
    ObjectHeader* header = DataBlockOf(self);
    const LONG count = LoadCount(header) + 1;
    StoreCount(header, count);
    return static_cast<ULONG>(count);
}

ULONG STDMETHODCALLTYPE BuiltinRelease(IUnknown* self) {
    if (!self) return 0;
    ObjectHeader* header = DataBlockOf(self);
    const LONG count = LoadCount(header) - 1;
    StoreCount(header, count);
    if (count != 0) return static_cast<ULONG>(count);
    auto* first = reinterpret_cast<IUnknown*>(header->firstRecord);
    DestroyListCollection(first);
    RuntimeFreeString(reinterpret_cast<BSTR>(header->firstRecord));
    CountObjectFreed();
    return 0;
}
