// The list collection as a built-in object: three interface records (its own interface,
// IDispatch, IUnknown) followed by the data block.
#include "objects/list_collection_class.h"

#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "objects/list_collection.h"
#include "runtime/memory.h"

#include <cstring>

extern "C" const IID IID_ILinkListCollection = {
    0x70000023, 0x0023, 0x0023, {0x00, 0x23, 0x70, 0x00, 0x00, 0x00, 0x00, 0x12}};

namespace {

HRESULT STDMETHODCALLTYPE NoTypeInfoCount(IDispatch*, UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE NoTypeInfo(IDispatch*, UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE NoIDsOfNames(IDispatch*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE NoInvoke(IDispatch*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

template <typename Function>
const void* Slot(Function function) {
    return reinterpret_cast<const void*>(function);
}

const void* const kCollectionTable[] = {
    Slot(&BuiltinQueryInterface),
    Slot(&BuiltinAddRef),
    Slot(&BuiltinRelease),
    Slot(&NoTypeInfoCount),
    Slot(&NoTypeInfo),
    Slot(&NoIDsOfNames),
    Slot(&NoInvoke),
    Slot(&CollectionFirst),
    Slot(&CollectionNext),
    Slot(&CollectionAdd),
    Slot(&CollectionClear),
    Slot(&CollectionCount),
    Slot(&CollectionIndex),
    Slot(&CollectionInsert),
    Slot(&CollectionItem),
    Slot(&CollectionLast),
    Slot(&CollectionPrevious),
    Slot(&CollectionRemove),
    Slot(&CollectionReplace),
};
static_assert(sizeof kCollectionTable / sizeof kCollectionTable[0] == 19);

constexpr ULONG kInterfaceCount = 3;
constexpr ULONG kInstanceSize =
    sizeof(ObjectHeader) + sizeof(ObjectCommonWords) + sizeof(ListCollectionFields);

}  // namespace

ILinkListCollection* NewListCollection() {
    const ULONG recordBytes = kInterfaceCount * sizeof(InterfaceRecord);
    BSTR block = RuntimeAllocByteString(nullptr, recordBytes + kInstanceSize);
    if (!block) return nullptr;
    std::memset(block, 0, recordBytes + kInstanceSize);
    auto* records = reinterpret_cast<InterfaceRecord*>(block);
    auto* header = reinterpret_cast<ObjectHeader*>(reinterpret_cast<BYTE*>(block) + recordBytes);
    const ULONG_PTR indexes[kInterfaceCount] = {7, 5, 1};
    for (ULONG i = 0; i < kInterfaceCount; ++i) {
        records[i].virtualTable = kCollectionTable;
        records[i].dataBlock = header;
        records[i].interfaceIndex = indexes[i];
    }
    header->firstRecord = records;
    header->referenceCount = 1;
    header->classNumber = 2;
    CountObjectCreated();
    auto* collection = reinterpret_cast<ILinkListCollection*>(&records[0]);
    ConstructListCollection(collection);
    return collection;
}
