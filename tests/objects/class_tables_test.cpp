// The program's class tables as the object model and the dispatch interface read them:
// identifiers, class names, the collection's descriptor with its three virtual tables, the
// method-name table and the dispatch descriptor rows, and which tables are in force.
#include "objects/class_tables.h"

#include "program/module_tables.h"

#include "objects/builtin_dispatch.h"
#include "objects/builtin_unknown.h"
#include "objects/class_table_reader.h"
#include "objects/list_collection.h"
#include "objects/list_collection_class.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const BYTE* Text(const char* text) {
    return reinterpret_cast<const BYTE*>(text);
}

ULONG ClassOfName(const char* name) {
    return ClassNumberOfName(ProgramObjectTables().classNames, Text(name), std::strlen(name));
}

const ClassDescriptorHead* CollectionDescriptor() {
    return FindClassDescriptor(ProgramObjectTables().classDescriptors, kLinkListCollectionClass);
}

template <typename Function>
const void* Address(Function function) {
    return reinterpret_cast<const void*>(function);
}

// The collection's twelve methods in dispatch-identifier order.
const std::vector<const void*>& CollectionMethods() {
    static const std::vector<const void*> methods = {
        Address(&CollectionFirst),    Address(&CollectionNext),   Address(&CollectionAdd),
        Address(&CollectionClear),    Address(&CollectionCount),  Address(&CollectionIndex),
        Address(&CollectionInsert),   Address(&CollectionItem),   Address(&CollectionLast),
        Address(&CollectionPrevious), Address(&CollectionRemove), Address(&CollectionReplace)};
    return methods;
}

// One entry of the method-name table, read back independently of the run-time's readers.
struct NameEntry {
    LONG id;
    std::vector<std::string> names;  // method name, then parameter names
};

ULONG Read32(const BYTE*& p) {
    ULONG value;
    std::memcpy(&value, p, 4);
    p += 4;
    return value;
}

std::vector<NameEntry> MethodNamesOfClass(ULONG classNumber) {
    const BYTE* p = ProgramObjectTables().methodNames;
    std::vector<NameEntry> found;
    for (ULONG group = Read32(p); group != 0; group = Read32(p)) {
        for (ULONG id = Read32(p); id != 0; id = Read32(p)) {
            NameEntry entry{static_cast<LONG>(id), {}};
            while (*p) {
                entry.names.emplace_back(reinterpret_cast<const char*>(p + 1), *p);
                p += 1 + *p;
            }
            ++p;
            if (group == classNumber) found.push_back(entry);
        }
    }
    return found;
}

}  // namespace

TEST(ClassTables, IdentifierTablesHoldTheRuntimeAndPublishedIdentifiers) {
    const void* classes = ProgramObjectTables().classIdentifiers;
    ASSERT_EQ(IdentifierAt(classes, 9), nullptr);
    EXPECT_EQ(IdentifierAt(classes, 0), nullptr);
    for (ULONG k = 1; k <= 8; ++k) {
        const GUID* id = IdentifierAt(classes, k);
        ASSERT_NE(id, nullptr);
        EXPECT_EQ(id->Data1, 0x70000023u);
        EXPECT_EQ(id->Data4[7], 0x80 + k);
    }
    const GUID collectionClass = {
        0x70000023, 0x0023, 0x0023, {0x00, 0x23, 0x70, 0x00, 0x00, 0x00, 0x00, 0x82}};
    EXPECT_EQ(IdentifierIndex(classes, collectionClass), kLinkListCollectionClass);

    const void* interfaces = ProgramObjectTables().interfaceIdentifiers;
    EXPECT_EQ(IdentifierIndex(interfaces, IID_IUnknown), 1u);
    EXPECT_EQ(IdentifierIndex(interfaces, IID_IClassFactory), 2u);
    EXPECT_EQ(IdentifierIndex(interfaces, IID_IConnectionPointContainer), 3u);
    EXPECT_EQ(IdentifierIndex(interfaces, IID_IConnectionPoint), 4u);
    EXPECT_EQ(IdentifierIndex(interfaces, IID_IDispatch), 5u);
    EXPECT_EQ(IdentifierIndex(interfaces, IID_ILinkListCollection), 7u);
    for (ULONG k = 6; k <= 14; ++k)
        EXPECT_EQ(IdentifierAt(interfaces, k)->Data4[7], 0x11 + (k - 6));
    const GUID last = {0x70230000, 0, 0, {0x81, 0x5C, 0, 0, 0, 0, 0x42, 0}};
    EXPECT_EQ(IdentifierIndex(interfaces, last), 15u);
    EXPECT_EQ(IdentifierAt(interfaces, 16), nullptr);
    EXPECT_EQ(IdentifierIndex(interfaces, IID_NULL), 0u);
}

TEST(ClassTables, ClassNamesMatchWholeNamesWithoutRegardToLetterCase) {
    EXPECT_EQ(ClassOfName("LinkListCollection"), 2u);
    EXPECT_EQ(ClassOfName("linklistcollection"), 2u);
    EXPECT_EQ(ClassOfName("LINKLISTCOLLECTION"), 2u);
    EXPECT_EQ(ClassOfName("LinkListCollections"), 0u);
    EXPECT_EQ(ClassOfName("LinkList"), 0u);
    EXPECT_EQ(ClassOfName(""), 0u);
    // Only a-z fold: a character that differs from its upper case in another way does not.
    EXPECT_EQ(ClassOfName("LINKLISTCOLLECTIO\xCE"), 0u);
    BYTE length = 0;
    const BYTE* name = StoredClassName(ProgramObjectTables().classNames, 2, &length);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name), length), "LINKLISTCOLLECTION");
    EXPECT_EQ(StoredClassName(ProgramObjectTables().classNames, 3, &length), nullptr);
}

TEST(ClassTables, CollectionDescriptorCarriesThreeInterfacesAndItsRoutines) {
    const ClassDescriptorHead* d = CollectionDescriptor();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->flags, 0xC20Cu);
    EXPECT_EQ(d->construct, &ConstructListCollection);
    EXPECT_EQ(d->destroy, &DestroyListCollection);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(d->instanceSize, 92u);
    }
    EXPECT_EQ(d->headerWord1, 0u);
    EXPECT_EQ(d->headerWord2, 0u);
    ASSERT_EQ(d->interfaceCount, 3u);
    EXPECT_EQ(NextClassDescriptor(d), nullptr);
    EXPECT_EQ(FindClassDescriptor(ProgramObjectTables().classDescriptors, 1), nullptr);

    const ULONG indexes[3] = {7, 5, 1};
    const size_t slots[3] = {19, 19, 3};
    for (ULONG p = 0; p < 3; ++p) {
        const InterfaceEntryHead* entry = InterfaceEntryAt(d, p);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->interfaceIndex, indexes[p]);
        EXPECT_EQ(entry->subObjectClass, 0u);
        const void* const* table = VirtualTableOf(entry);
        // The distance word leads from the virtual table back to the descriptor.
        EXPECT_EQ(reinterpret_cast<const BYTE*>(table) - entry->tableDistance,
                  reinterpret_cast<const BYTE*>(d));
        size_t n = 0;
        while (table[n]) ++n;
        EXPECT_EQ(n, slots[p]);
        EXPECT_EQ(table[0], Address(&BuiltinQueryInterface));
        EXPECT_EQ(table[1], Address(&BuiltinAddRef));
        EXPECT_EQ(table[2], Address(&BuiltinRelease));
        if (slots[p] == 19) {
            EXPECT_EQ(table[3], Address(&BuiltinGetTypeInfoCount));
            EXPECT_EQ(table[6], Address(&BuiltinInvoke));
            for (size_t m = 0; m < 12; ++m) EXPECT_EQ(table[7 + m], CollectionMethods()[m]);
        }
    }
    EXPECT_EQ(InterfaceEntryAt(d, 3), nullptr);
    ULONG position = 9;
    EXPECT_NE(FindInterfaceEntry(d, 5, &position), nullptr);
    EXPECT_EQ(position, 1u);
    EXPECT_EQ(FindInterfaceEntry(d, 2, &position), nullptr);
    EXPECT_EQ(FindInterfaceEntry(d, 0, &position), nullptr);
    ULONG pairs = 9;
    EventPairsOf(d, &pairs);
    EXPECT_EQ(pairs, 0u);
    EXPECT_EQ(MemberCleanupTableOf(d)[0], 0u);
}

TEST(ClassTables, MethodNamesListTheTwelveMethodsWithTheirParameters) {
    const std::vector<NameEntry> entries = MethodNamesOfClass(2);
    const std::vector<std::vector<std::string>> expected = {{"FIRST"},
                                                            {"NEXT"},
                                                            {"ADD", "QUARKITEM"},
                                                            {"CLEAR"},
                                                            {"COUNT"},
                                                            {"INDEX", "INDEX"},
                                                            {"INSERT", "INDEX", "QUARKITEM"},
                                                            {"ITEM", "INDEX"},
                                                            {"LAST"},
                                                            {"PREVIOUS"},
                                                            {"REMOVE", "INDEX"},
                                                            {"REPLACE", "INDEX", "QUARKITEM"}};
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].id, static_cast<LONG>(i + 1));
        EXPECT_EQ(entries[i].names, expected[i]);
    }
}

// The two byte-packed tables, byte for byte as the program has always carried them: the
// class and method names are built from declarations, and the bytes must not move.
TEST(ClassTables, PackedNameTablesKeepTheirBytes) {
#define LE32(v) BYTE(v), BYTE((v) >> 8), BYTE((v) >> 16), BYTE((v) >> 24)
    const BYTE classNames[] = {18,  'L', 'I', 'N', 'K', 'L', 'I', 'S', 'T',     'C', 'O',
                               'L', 'L', 'E', 'C', 'T', 'I', 'O', 'N', LE32(2), 0};
    // clang-format off
    const BYTE methodNames[] = {
        LE32(2),
        LE32(1), 5, 'F', 'I', 'R', 'S', 'T', 0,
        LE32(2), 4, 'N', 'E', 'X', 'T', 0,
        LE32(3), 3, 'A', 'D', 'D', 9, 'Q', 'U', 'A', 'R', 'K', 'I', 'T', 'E', 'M', 0,
        LE32(4), 5, 'C', 'L', 'E', 'A', 'R', 0,
        LE32(5), 5, 'C', 'O', 'U', 'N', 'T', 0,
        LE32(6), 5, 'I', 'N', 'D', 'E', 'X', 5, 'I', 'N', 'D', 'E', 'X', 0,
        LE32(7), 6, 'I', 'N', 'S', 'E', 'R', 'T', 5, 'I', 'N', 'D', 'E', 'X',
                 9, 'Q', 'U', 'A', 'R', 'K', 'I', 'T', 'E', 'M', 0,
        LE32(8), 4, 'I', 'T', 'E', 'M', 5, 'I', 'N', 'D', 'E', 'X', 0,
        LE32(9), 4, 'L', 'A', 'S', 'T', 0,
        LE32(10), 8, 'P', 'R', 'E', 'V', 'I', 'O', 'U', 'S', 0,
        LE32(11), 6, 'R', 'E', 'M', 'O', 'V', 'E', 5, 'I', 'N', 'D', 'E', 'X', 0,
        LE32(12), 7, 'R', 'E', 'P', 'L', 'A', 'C', 'E', 5, 'I', 'N', 'D', 'E', 'X',
                  9, 'Q', 'U', 'A', 'R', 'K', 'I', 'T', 'E', 'M', 0,
        LE32(0), LE32(0)};
    // clang-format on
#undef LE32
    const auto bytes = [](const BYTE* table, size_t size) {
        return std::vector<int>(table, table + size);
    };
    EXPECT_EQ(bytes(ProgramObjectTables().classNames, sizeof classNames),
              bytes(classNames, sizeof classNames));
    EXPECT_EQ(bytes(ProgramObjectTables().methodNames, sizeof methodNames),
              bytes(methodNames, sizeof methodNames));
}

TEST(ClassTables, DispatchRowsCallTheNativeMethodsWithTheirParameterWords) {
    struct Expected {
        SHORT result;
        std::vector<WORD> parameters;  // as stored: last declared first
    };
    const Expected expected[12] = {
        {0x05, {}}, {0x11, {}},       {-1, {0x0211}},         {-1, {}},
        {0x05, {}}, {0x05, {0x0205}}, {-1, {0x0211, 0x0205}}, {0x11, {0x0205}},
        {0x05, {}}, {0x11, {}},       {-1, {0x0205}},         {-1, {0x0211, 0x0205}}};
    const DispatchRowHead* row = ProgramObjectTables().dispatchDescriptors;
    if (sizeof(void*) == 4) {
        EXPECT_EQ(sizeof(DispatchRowHead), 16u);
    }
    for (int i = 0; i < 12; ++i, row = NextDispatchRow(row)) {
        SCOPED_TRACE(i + 1);
        // Packed fields are read into locals: a reference to one may be misaligned.
        const ULONG classNumber = row->classNumber;
        const LONG dispatchId = row->dispatchId;
        const BYTE kinds = row->invokeKinds;
        const void* entry = row->entry;
        const SHORT result = row->resultType;
        const size_t parameters = row->parameterCount;
        ASSERT_EQ(classNumber, 2u);
        EXPECT_EQ(dispatchId, i + 1);
        EXPECT_EQ(kinds, 1);
        EXPECT_EQ(entry, CollectionMethods()[i]);
        EXPECT_EQ(result, expected[i].result);
        ASSERT_EQ(parameters, expected[i].parameters.size());
        for (BYTE k = 0; k < row->parameterCount; ++k)
            EXPECT_EQ(DispatchRowParameter(row, k), expected[i].parameters[k]);
    }
    const ULONG end = row->classNumber;
    EXPECT_EQ(end, 0u);
}

TEST(ClassTables, RegisteredTablesAreInForceAndTheProgramsOwnOtherwise) {
    const ModuleTables saved = TheRuntime.tables;
    TheRuntime.tables = ModuleTables{};
    EXPECT_EQ(CurrentObjectTables().classDescriptors, ProgramObjectTables().classDescriptors);

    const CleanupEntry moduleCleanup[] = {4, 0};
    ModuleTables registered{};
    registered.moduleCleanup = moduleCleanup;
    PutProgramObjectTables(&registered);
    EXPECT_EQ(registered.moduleCleanup, moduleCleanup);
    EXPECT_EQ(registered.threadCleanup, nullptr);
    EXPECT_EQ(registered.classIdentifiers, ProgramObjectTables().classIdentifiers);
    EXPECT_EQ(registered.interfaceIdentifiers, ProgramObjectTables().interfaceIdentifiers);
    EXPECT_EQ(registered.classNames, ProgramObjectTables().classNames);
    EXPECT_EQ(registered.classDescriptors, ProgramObjectTables().classDescriptors);
    EXPECT_EQ(registered.methodNames, ProgramObjectTables().methodNames);
    EXPECT_EQ(registered.dispatchDescriptors, ProgramObjectTables().dispatchDescriptors);

    // The program hands its own tables to ModuleInit.
    const ModuleTables& program = HanoiProgram().tables;
    EXPECT_EQ(program.classIdentifiers, ProgramObjectTables().classIdentifiers);
    EXPECT_EQ(program.classDescriptors, ProgramObjectTables().classDescriptors);
    EXPECT_EQ(program.dispatchDescriptors, ProgramObjectTables().dispatchDescriptors);
    EXPECT_EQ(program.moduleCleanup, ModuleCleanupTable);

    const BYTE otherNames[] = {1, 'X', 5, 0, 0, 0, 0};
    TheRuntime.tables.classNames = otherNames;
    EXPECT_EQ(CurrentObjectTables().classNames, otherNames);
    EXPECT_EQ(CurrentObjectTables().methodNames, ProgramObjectTables().methodNames);
    TheRuntime.tables = saved;
}
