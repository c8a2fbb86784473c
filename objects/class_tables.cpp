// The program's eight-table set, minus the two cleanup tables: identifier tables, class
// names, the class descriptor list with the collection's three virtual tables, method names
// and dispatch descriptors, all as data.
#include "objects/class_tables.h"

#include "objects/builtin_dispatch.h"
#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "objects/list_collection.h"
#include "objects/table_builders.h"
#include "runtime/value_types.h"

namespace {

// {70000023-0023-0023-0023-7000000000NN}: the run-time's own classes and interfaces.
constexpr GUID RuntimeGuid(BYTE last) {
    return GUID{0x70000023, 0x0023, 0x0023, {0x00, 0x23, 0x70, 0x00, 0x00, 0x00, 0x00, last}};
}
constexpr GUID OleGuid(DWORD first) {
    return GUID{first, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}
constexpr GUID ConnectionGuid(DWORD first) {
    return GUID{first, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
}

constexpr IdentifierTable<8> kClassIdentifiers = {
    8,
    {RuntimeGuid(0x81), RuntimeGuid(0x82), RuntimeGuid(0x83), RuntimeGuid(0x84), RuntimeGuid(0x85),
     RuntimeGuid(0x86), RuntimeGuid(0x87), RuntimeGuid(0x88)}};

constexpr IdentifierTable<15> kInterfaceIdentifiers = {
    15,
    {OleGuid(0x00000000),         // 1 IUnknown
     OleGuid(0x00000001),         // 2 IClassFactory
     ConnectionGuid(0xB196B284),  // 3 IConnectionPointContainer
     ConnectionGuid(0xB196B286),  // 4 IConnectionPoint
     OleGuid(0x00020400),         // 5 IDispatch
     RuntimeGuid(0x11), RuntimeGuid(0x12), RuntimeGuid(0x13), RuntimeGuid(0x14), RuntimeGuid(0x15),
     RuntimeGuid(0x16), RuntimeGuid(0x17), RuntimeGuid(0x18), RuntimeGuid(0x19),
     GUID{0x70230000, 0x0000, 0x0000, {0x81, 0x5C, 0x00, 0x00, 0x00, 0x00, 0x42, 0x00}}}};

constexpr ClassNameDeclaration kClassNameList[] = {
    {"LinkListCollection", kLinkListCollectionClass},
};
constexpr auto kClassNames = ClassNameTable<kClassNameList>();

// The collection's methods by dispatch identifier, with the parameter names a late-bound
// call may use for named arguments.
constexpr MethodNameDeclaration kCollectionMethodNames[] = {
    {1, "FIRST", {}},
    {2, "NEXT", {}},
    {3, "ADD", {"QUARKITEM"}},
    {4, "CLEAR", {}},
    {5, "COUNT", {}},
    {6, "INDEX", {"INDEX"}},
    {7, "INSERT", {"INDEX", "QUARKITEM"}},
    {8, "ITEM", {"INDEX"}},
    {9, "LAST", {}},
    {10, "PREVIOUS", {}},
    {11, "REMOVE", {"INDEX"}},
    {12, "REPLACE", {"INDEX", "QUARKITEM"}},
};
constexpr MethodGroupDeclaration kMethodNameGroups[] = {
    {kLinkListCollectionClass, kCollectionMethodNames},
};
constexpr auto kMethodNames = MethodNameTable<kMethodNameGroups>();

// The layouts the readers walk. Class names: one entry of length, 18 letters and class
// number, then the ending 0. Method names: per method a 4-byte identifier, the names with
// their lengths and a 0 byte; 4 bytes open and close the class's group, 4 end the table.
static_assert(kClassNames.size() == 1 + 18 + 4 + 1);
static_assert(kClassNames[0] == 18 && kClassNames[1] == 'L' && kClassNames[19] == 2 &&
              kClassNames[23] == 0);
static_assert(kMethodNames.size() == 206);
static_assert(kMethodNames[0] == 2 && kMethodNames[4] == 1 && kMethodNames[8] == 5 &&
              kMethodNames[9] == 'F');

template <typename Function>
const void* Slot(Function function) {
    return reinterpret_cast<const void*>(function);
}

#define UNKNOWN_SLOTS Slot(&BuiltinQueryInterface), Slot(&BuiltinAddRef), Slot(&BuiltinRelease)
#define COLLECTION_SLOTS                                                           \
    UNKNOWN_SLOTS, Slot(&BuiltinGetTypeInfoCount), Slot(&BuiltinGetTypeInfo),      \
        Slot(&BuiltinGetIDsOfNames), Slot(&BuiltinInvoke), Slot(&CollectionFirst), \
        Slot(&CollectionNext), Slot(&CollectionAdd), Slot(&CollectionClear),       \
        Slot(&CollectionCount), Slot(&CollectionIndex), Slot(&CollectionInsert),   \
        Slot(&CollectionItem), Slot(&CollectionLast), Slot(&CollectionPrevious),   \
        Slot(&CollectionRemove), Slot(&CollectionReplace)

struct DescriptorList {
    ClassDescriptorHead collection;
    InterfaceEntry<19> collectionOwn;
    InterfaceEntry<19> collectionDispatch;
    InterfaceEntry<3> collectionUnknown;
    TableWord collectionPairCount;
    CleanupEntry collectionMemberCleanup[1];
    TableWord end;
};

// The data block: header, common words, the collection's fields, and four words the
// collection does not use (zero after creation). 92 bytes on the 32-bit build.
constexpr TableWord kCollectionInstanceSize = sizeof(ObjectHeader) + sizeof(ObjectCommonWords) +
                                              sizeof(ListCollectionFields) + 4 * sizeof(ULONG);
static_assert(sizeof(void*) != 4 || kCollectionInstanceSize == 92);

constexpr TableWord kCollectionFlags = 0xC20C;

const DescriptorList kDescriptors = {
    {kCollectionFlags, kLinkListCollectionClass, &ConstructListCollection, &DestroyListCollection,
     kCollectionInstanceSize, 0, 0, 3},
    {{kInterfaceLinkListCollection, 0, 0, offsetof(DescriptorList, collectionOwn.table)},
     {COLLECTION_SLOTS},
     nullptr},
    {{kInterfaceIDispatch, 0, 0, offsetof(DescriptorList, collectionDispatch.table)},
     {COLLECTION_SLOTS},
     nullptr},
    {{kInterfaceIUnknown, 0, 0, offsetof(DescriptorList, collectionUnknown.table)},
     {UNKNOWN_SLOTS},
     nullptr},
    0,
    {0},
    0,
};

// On the 32-bit build: an eight-word descriptor head, interface entries of four words, the
// virtual table and its ending 0, then the pair count, the empty cleanup table and the
// list's ending 0; each distance word leads back to offset 0.
static_assert(sizeof(void*) != 4 ||
              (sizeof(ClassDescriptorHead) == 32 && sizeof(InterfaceEntry<19>) == 4 * 4 + 20 * 4 &&
               offsetof(DescriptorList, collectionOwn) == 32 &&
               offsetof(DescriptorList, collectionOwn.table) == 48 &&
               offsetof(DescriptorList, collectionDispatch.table) == 144 &&
               offsetof(DescriptorList, collectionUnknown.table) == 240 &&
               offsetof(DescriptorList, collectionPairCount) == 256 &&
               offsetof(DescriptorList, end) == 264 && sizeof(DescriptorList) == 268));

constexpr BYTE kMethod = DISPATCH_METHOD;
// Dispatch rows carry value-type codes halved; parameters are all passed by address.
constexpr SHORT kInt32Result = kTypeInt32 / 2;
constexpr SHORT kItemResult = kTypeItemValue / 2;
constexpr WORD kInt32ByReference = kParameterByReference | kTypeInt32 / 2;
constexpr WORD kItemByReference = kParameterByReference | kTypeItemValue / 2;
static_assert(kInt32ByReference == 0x0205 && kItemByReference == 0x0211);

#pragma pack(push, 1)
struct DispatchTable {
    DispatchRow<0> first;
    DispatchRow<0> next;
    DispatchRow<1> add;
    DispatchRow<0> clear;
    DispatchRow<0> count;
    DispatchRow<1> index;
    DispatchRow<2> insert;
    DispatchRow<1> item;
    DispatchRow<0> last;
    DispatchRow<0> previous;
    DispatchRow<1> remove;
    DispatchRow<2> replace;
    ULONG end;
};
#pragma pack(pop)
// Packed rows of 16 bytes on the 32-bit build, then two bytes per parameter word.
static_assert(sizeof(void*) != 4 ||
              (sizeof(DispatchRow<0>) == 16 && sizeof(DispatchRow<2>) == 20 &&
               offsetof(DispatchTable, add) == 32 && offsetof(DispatchTable, insert) == 100 &&
               sizeof(DispatchTable) == 12 * 16 + 8 * 2 + 4));

constexpr ULONG kC = kLinkListCollectionClass;
const DispatchTable kDispatchRows = {
    {{kC, 1, kMethod, Slot(&CollectionFirst), kInt32Result, 0}},
    {{kC, 2, kMethod, Slot(&CollectionNext), kItemResult, 0}},
    {{kC, 3, kMethod, Slot(&CollectionAdd), kNoResult, 1}, {kItemByReference}},
    {{kC, 4, kMethod, Slot(&CollectionClear), kNoResult, 0}},
    {{kC, 5, kMethod, Slot(&CollectionCount), kInt32Result, 0}},
    {{kC, 6, kMethod, Slot(&CollectionIndex), kInt32Result, 1}, {kInt32ByReference}},
    {{kC, 7, kMethod, Slot(&CollectionInsert), kNoResult, 2},
     {kItemByReference, kInt32ByReference}},
    {{kC, 8, kMethod, Slot(&CollectionItem), kItemResult, 1}, {kInt32ByReference}},
    {{kC, 9, kMethod, Slot(&CollectionLast), kInt32Result, 0}},
    {{kC, 10, kMethod, Slot(&CollectionPrevious), kItemResult, 0}},
    {{kC, 11, kMethod, Slot(&CollectionRemove), kNoResult, 1}, {kInt32ByReference}},
    {{kC, 12, kMethod, Slot(&CollectionReplace), kNoResult, 2},
     {kItemByReference, kInt32ByReference}},
    0,
};

const ObjectTables kProgramTables = {
    &kClassIdentifiers,       &kInterfaceIdentifiers, kClassNames.data(),
    &kDescriptors.collection, kMethodNames.data(),    &kDispatchRows.first.head,
};

template <typename Table>
const Table* Registered(const void* registered, const Table* own) {
    return registered ? static_cast<const Table*>(registered) : own;
}

}  // namespace

const ObjectTables& ProgramObjectTables() {
    return kProgramTables;
}

void PutProgramObjectTables(ModuleTables* tables) {
    tables->classIdentifiers = kProgramTables.classIdentifiers;
    tables->interfaceIdentifiers = kProgramTables.interfaceIdentifiers;
    tables->classNames = kProgramTables.classNames;
    tables->classDescriptors = kProgramTables.classDescriptors;
    tables->methodNames = kProgramTables.methodNames;
    tables->dispatchDescriptors = kProgramTables.dispatchDescriptors;
}

ObjectTables CurrentObjectTables() {
    const ModuleTables& registered = TheRuntime.tables;
    return ObjectTables{
        Registered(registered.classIdentifiers, kProgramTables.classIdentifiers),
        Registered(registered.interfaceIdentifiers, kProgramTables.interfaceIdentifiers),
        Registered(registered.classNames, kProgramTables.classNames),
        Registered(registered.classDescriptors, kProgramTables.classDescriptors),
        Registered(registered.methodNames, kProgramTables.methodNames),
        Registered(registered.dispatchDescriptors, kProgramTables.dispatchDescriptors),
    };
}
