// QueryInterface, AddRef and Release of built-in objects, and destruction. The reference
// count changes by plain (non-atomic) steps, made with relaxed atomic loads and stores so
// that a concurrent reader sees a whole value.
#include "objects/builtin_unknown.h"

#include "objects/builtin_instance.h"
#include "objects/builtin_object.h"
#include "objects/class_table_reader.h"
#include "objects/class_tables.h"
#include "runtime/cleanup_table.h"
#include "runtime/memory.h"

namespace {

LONG LoadCount(ObjectHeader* header) {
    return __atomic_load_n(&header->referenceCount, __ATOMIC_RELAXED);
}
void StoreCount(ObjectHeader* header, LONG count) {
    __atomic_store_n(&header->referenceCount, count, __ATOMIC_RELAXED);
}

// Takes the reference out of `slot` (null afterwards) and releases it.
void ReleaseSlot(IUnknown** slot) {
    IUnknown* object = *slot;
    *slot = nullptr;
    if (object) object->Release();
}

// Part of the final Release, before the object references go: the sink leaves the source
// it is connected to, so the source never calls into a freed object. The connection point
// is the one for the interface of the sink's first record.
void DropEventConnection(ObjectHeader* header, ObjectCommonWords* common) {
    IUnknown* source = common->eventConnection;
    const GUID* outgoing = IdentifierAt(CurrentObjectTables().interfaceIdentifiers,
                                        static_cast<ULONG>(header->firstRecord->interfaceIndex));
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    if (outgoing &&
        source->QueryInterface(IID_IConnectionPointContainer,
                               reinterpret_cast<void**>(&container)) == S_OK &&
        container && container->FindConnectionPoint(*outgoing, &point) == S_OK && point) {
        point->Unadvise(static_cast<DWORD>(common->eventCookie));
    }
    common->eventCookie = 0;
    ReleaseSlot(&common->eventConnection);
    if (point) point->Release();
    if (container) container->Release();
}

// Instance flag 0x4000: the class keeps a table of 32 references to sink instances as the
// first words of its own fields (the header stays at the start of the data block); a data
// block too small for all 32 is read only as far as it reaches. Each sink's connection to
// this instance is cut without a call back into it (it is being destroyed), then the
// table's reference is released.
void EmptySinkTable(ObjectHeader* header) {
    constexpr size_t kOwnFields = sizeof(ObjectHeader) + sizeof(ObjectCommonWords);
    const TableWord size = DescriptorOfInterface(header->firstRecord)->instanceSize;
    const size_t room = size > kOwnFields ? (size - kOwnFields) / sizeof(IUnknown*) : 0;
    auto* table = reinterpret_cast<IUnknown**>(reinterpret_cast<BYTE*>(header) + kOwnFields);
    for (size_t i = 0; i < 32 && i < room; ++i) {
        IUnknown* sink = table[i];
        table[i] = nullptr;
        if (!sink) continue;
        ObjectCommonWords* sinkWords = CommonWordsOf(sink);
        sinkWords->eventConnection = nullptr;
        sinkWords->eventCookie = 0;
        sink->Release();
    }
}

void Destroy(ObjectHeader* header) {
    InterfaceRecord* first = header->firstRecord;
    auto* firstInterface = reinterpret_cast<IUnknown*>(first);
    const ULONG flags = header->instanceFlags;
    if (!(flags & (kInstanceSubObject | kInstanceNoDestructor)) && header->destructionRoutine)
        header->destructionRoutine(firstInterface);

    auto* common = reinterpret_cast<ObjectCommonWords*>(header + 1);
    if (flags & kInstanceEventTable) {
        EmptySinkTable(header);
    } else {
        const bool connected = common->eventConnection != nullptr;
        if (connected) DropEventConnection(header, common);
        const bool light = (flags & (kInstanceNoDestructor | kInstanceEventSink)) && !connected;
        if (!light) {
            for (IUnknown*& reference : common->references) ReleaseSlot(&reference);
            WalkCleanupTable(MemberCleanupTableOf(DescriptorOfInterface(first)), header,
                             EraseFailure::kIgnore);
        }
    }

    // The records run from the block's start up to the data block.
    const size_t records =
        static_cast<size_t>(reinterpret_cast<BYTE*>(header) - reinterpret_cast<BYTE*>(first)) /
        sizeof(InterfaceRecord);
    for (size_t i = 0; i < records; ++i) ReleaseSlot(&first[i].subObject);

    RuntimeFreeString(reinterpret_cast<BSTR>(first));
    CountObjectFreed();
}
}  // namespace

LONG BuiltinReferenceCount(IUnknown* self) {
    return LoadCount(DataBlockOf(self));
}

HRESULT STDMETHODCALLTYPE BuiltinQueryInterface(IUnknown* self, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!self) return E_POINTER;
    const ULONG index = IdentifierIndex(CurrentObjectTables().interfaceIdentifiers, riid);
    ULONG position = 0;
    if (!FindInterfaceEntry(DescriptorOfInterface(self), index, &position)) return E_NOINTERFACE;

    ObjectHeader* header = DataBlockOf(self);
    StoreCount(header, LoadCount(header) + 1);
    InterfaceRecord& record = header->firstRecord[position];
    if (record.subObjectClass && !record.subObject) {
        record.subObject = CreateBuiltinByNumber(static_cast<ULONG>(record.subObjectClass),
                                                 static_cast<ULONG>(record.subObjectInterface));
        if (!record.subObject) {
            StoreCount(header, LoadCount(header) - 1);
            return E_NOINTERFACE;
        }
        MarkSubObject(record.subObject);
    }
    *object = &record;
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
    Destroy(header);
    return 0;
}
