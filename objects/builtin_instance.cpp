// Instance creation on a class descriptor.
#include "objects/builtin_instance.h"

#include "objects/builtin_object.h"
#include "objects/class_table_reader.h"
#include "objects/class_tables.h"
#include "runtime/memory.h"

#include <cstring>

namespace {
// Descriptor sizes come from the program's own tables; this bound only keeps a corrupt
// size from wrapping the block size.
constexpr TableWord kLargestBlock = 0x10000000;
}  // namespace

void MarkSubObject(IUnknown* subObject) {
    DataBlockOf(subObject)->instanceFlags |= kInstanceSubObject;
}

IUnknown* CreateInstanceOnEntry(const ClassDescriptorHead* descriptor, ULONG position) {
    const TableWord count = descriptor->interfaceCount;
    if (position >= count) return nullptr;
    const TableWord recordBytes = count * sizeof(InterfaceRecord);
    const TableWord total = recordBytes + descriptor->instanceSize;
    if (descriptor->instanceSize < sizeof(ObjectHeader) + sizeof(ObjectCommonWords) ||
        total > kLargestBlock)
        return nullptr;
    BSTR block = RuntimeAllocByteString(nullptr, static_cast<UINT>(total));
    if (!block) return nullptr;
    std::memset(block, 0, total);

    auto* records = reinterpret_cast<InterfaceRecord*>(block);
    auto* header = reinterpret_cast<ObjectHeader*>(reinterpret_cast<BYTE*>(block) + recordBytes);
    for (ULONG p = 0; p < count; ++p) {
        const InterfaceEntryHead* entry = InterfaceEntryAt(descriptor, p);
        records[p].virtualTable = VirtualTableOf(entry);
        records[p].dataBlock = header;
        records[p].interfaceIndex = entry->interfaceIndex;
        records[p].subObjectClass = entry->subObjectClass;
        records[p].subObjectInterface = entry->subObjectInterface;
    }
    header->firstRecord = records;
    header->referenceCount = 1;
    header->classNumber = static_cast<ULONG>(descriptor->classNumber);
    header->constructionRoutine = descriptor->construct;
    header->destructionRoutine = descriptor->destroy;
    header->descriptorWord1 = descriptor->headerWord1;
    header->descriptorWord2 = descriptor->headerWord2;
    header->instanceFlags = (descriptor->flags & kClassFlagMarkInstances) ? kInstanceMarked : 0;
    CountObjectCreated();

    InterfaceRecord& record = records[position];
    auto* handedOut = reinterpret_cast<IUnknown*>(&record);
    if (record.subObjectClass) {
        record.subObject = CreateBuiltinByNumber(static_cast<ULONG>(record.subObjectClass),
                                                 static_cast<ULONG>(record.subObjectInterface));
        if (!record.subObject) {
            handedOut->Release();
            return nullptr;
        }
        MarkSubObject(record.subObject);
    }
    return handedOut;
}

IUnknown* CreateBuiltinByNumber(ULONG classNumber, ULONG interfaceIndex) {
    const ClassDescriptorHead* descriptor =
        FindClassDescriptor(CurrentObjectTables().classDescriptors, classNumber);
    if (!descriptor) return nullptr;
    ULONG position = 0;
    if (!FindInterfaceEntry(descriptor, interfaceIndex, &position)) return nullptr;
    return CreateInstanceOnEntry(descriptor, position);
}

IUnknown* CreateBuiltinByIdentifier(REFCLSID classId, REFIID interfaceId) {
    const ObjectTables tables = CurrentObjectTables();
    const ULONG classNumber = IdentifierIndex(tables.classIdentifiers, classId);
    const ULONG interfaceIndex = IdentifierIndex(tables.interfaceIdentifiers, interfaceId);
    if (classNumber == 0 || interfaceIndex == 0) return nullptr;
    return CreateBuiltinByNumber(classNumber, interfaceIndex);
}
