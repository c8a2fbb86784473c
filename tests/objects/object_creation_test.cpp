// Creating objects by class name and identifier (built-in and external paths), from a
// library file, asking whether a class runs, and class names of identifiers. External
// classes come from class objects and running objects registered by the tests themselves,
// so the same tests run against the portable layer and against Windows (under Wine).
#include "objects/object_creation.h"

#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "objects/list_collection.h"
#include "objects/list_collection_class.h"
#include "runtime/memory.h"
#include "tests/objects/com_test_objects_support.h"
#include "tests/objects/test_classes_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An owned 8-bit name string.
StringHandle Name(const std::string& text) {
    return reinterpret_cast<StringHandle>(
        RuntimeAllocByteString(text.data(), static_cast<UINT>(text.size())));
}
// An owned 16-byte identifier string.
StringHandle Identifier(const GUID& id) {
    return reinterpret_cast<StringHandle>(
        RuntimeAllocByteString(reinterpret_cast<LPCSTR>(&id), sizeof id));
}
std::string NarrowName(BSTR wide) {
    std::string text;
    for (UINT i = 0; wide && i < SysStringLen(wide); ++i) text += static_cast<char>(wide[i]);
    return text;
}

class ObjectCreation : public ::testing::Test {
   protected:
    void SetUp() override {
        CoInitialize(nullptr);
        allocation_seam::Reset();
    }
    void TearDown() override {
        if (variable) variable->Release();
        // Every string handed in was released: nothing allocated here is left over.
        const allocation_seam::Counters counters = allocation_seam::Read();
        EXPECT_EQ(counters.allocations, counters.frees);
        EXPECT_EQ(LiveObjectCount(), live);
        CoUninitialize();
    }
    IUnknown* Create(DWORD flags, StringHandle name, REFIID iid) {
        CreateObject(&variable, flags, name, iid);
        return variable;
    }
    LONG live = LiveObjectCount();
    IUnknown* variable = nullptr;
};

}  // namespace

TEST_F(ObjectCreation, BuiltinNameGivesAConstructedCollection) {
    for (const char* name : {"LinkListCollection", "linklistcollection", "LINKLISTCOLLECTION"}) {
        SCOPED_TRACE(name);
        IUnknown* object = Create(kCreateBuiltin, Name(name), IID_ILinkListCollection);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(static_cast<void*>(object), static_cast<void*>(DataBlockOf(object)->firstRecord));
        EXPECT_EQ(BuiltinReferenceCount(object), 1);
        auto* collection = static_cast<ILinkListCollection*>(object);
        EXPECT_EQ(CollectionCursor(collection), 1u);
        EXPECT_EQ(CollectionCapacity(collection), 100u);
        EXPECT_EQ(LiveObjectCount(), live + 1);  // the previous one was released
    }
}

TEST_F(ObjectCreation, NearMissesAndForeignInterfacesLeaveTheVariableEmpty) {
    for (const char* name : {"LinkListCollections", "LinkList", "LinkListCollectio", "",
                             " LinkListCollection", "LinkListCollection\t"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Create(kCreateBuiltin, Name(name), IID_ILinkListCollection), nullptr);
    }
    EXPECT_EQ(Create(kCreateBuiltin, 0, IID_ILinkListCollection), nullptr);  // empty string
    EXPECT_EQ(Create(kCreateBuiltin, Name("LinkListCollection"), IID_IClassFactory), nullptr);
    EXPECT_EQ(Create(kCreateBuiltin, Name("LinkListCollection"), IID_IConnectionPoint), nullptr);
    EXPECT_EQ(LiveObjectCount(), live);  // no instance left behind
    // The built-in path does not reach the platform's classes.
    PlainFactory factory;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kPlainClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie),
              S_OK);
    EXPECT_EQ(Create(kCreateBuiltin | kCreateFromIdentifier, Identifier(kPlainClass), IID_IUnknown),
              nullptr);
    EXPECT_EQ(factory.creations, 0);
    CoRevokeClassObject(cookie);
}

TEST_F(ObjectCreation, RequestedInterfaceChoosesTheRecord) {
    IUnknown* dispatch = Create(kCreateBuiltin, Name("LinkListCollection"), IID_IDispatch);
    ASSERT_NE(dispatch, nullptr);
    EXPECT_EQ(static_cast<void*>(dispatch),
              static_cast<void*>(DataBlockOf(dispatch)->firstRecord + 1));
    IUnknown* unknown = Create(kCreateBuiltin, Name("LinkListCollection"), IID_IUnknown);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(static_cast<void*>(unknown),
              static_cast<void*>(DataBlockOf(unknown)->firstRecord + 2));
    EXPECT_EQ(CollectionCapacity(static_cast<ILinkListCollection*>(unknown)), 100u);
}

TEST_F(ObjectCreation, PreviousObjectIsReleasedEvenWhenCreationFails) {
    ASSERT_NE(Create(kCreateBuiltin, Name("LinkListCollection"), IID_ILinkListCollection), nullptr);
    EXPECT_EQ(LiveObjectCount(), live + 1);
    EXPECT_EQ(Create(kCreateBuiltin, Name("NoSuchClass"), IID_ILinkListCollection), nullptr);
    EXPECT_EQ(LiveObjectCount(), live);  // its only reference went: destroyed

    // A previous object with another reference elsewhere only loses the variable's one.
    PlainObject* kept = new PlainObject();
    kept->AddRef();
    variable = kept;
    EXPECT_EQ(Create(kCreateNewOnly, Name("No.Such.Class.Anywhere"), IID_IUnknown), nullptr);
    EXPECT_EQ(kept->references, 1);
    kept->Release();
    EXPECT_EQ(PlainObject::live, 0);
}

TEST_F(ObjectCreation, ThreeCreationsGiveThreeIndependentCollections) {
    IUnknown* pegs[3] = {};
    for (IUnknown*& peg : pegs)
        CreateObject(&peg, kCreateBuiltin, Name("LinkListCollection"), IID_ILinkListCollection);
    ASSERT_TRUE(pegs[0] && pegs[1] && pegs[2]);
    EXPECT_NE(DataBlockOf(pegs[0]), DataBlockOf(pegs[1]));
    EXPECT_NE(DataBlockOf(pegs[1]), DataBlockOf(pegs[2]));
    VARIANT item{};
    item.vt = VT_I4;
    item.lVal = 7;
    static_cast<ILinkListCollection*>(pegs[1])->ADD(&item);
    LONG counts[3] = {-1, -1, -1};
    for (int p = 0; p < 3; ++p) static_cast<ILinkListCollection*>(pegs[p])->COUNT(&counts[p]);
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(counts[2], 0);
    for (IUnknown* peg : pegs) peg->Release();
}

TEST_F(ObjectCreation, BorrowedNameIsNotFreed) {
    BSTR literal = RuntimeAllocByteString("LinkListCollection", 18);
    const StringHandle borrowed = reinterpret_cast<StringHandle>(literal) | 1;
    EXPECT_NE(Create(kCreateBuiltin, borrowed, IID_ILinkListCollection), nullptr);
    // Through the name conversion too (no class answers that identifier there).
    EXPECT_EQ(Create(kCreateNewOnly, borrowed, IID_IUnknown), nullptr);
    EXPECT_EQ(SysStringByteLen(literal), 18u);  // still intact
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(literal), 18), "LinkListCollection");
    RuntimeFreeString(literal);
}

TEST_F(ObjectCreation, InstanceAllocationFailureLeavesTheVariableEmpty) {
    allocation_seam::FailAllocationNumber(2);  // the name is 1, the instance 2
    EXPECT_EQ(Create(kCreateBuiltin, Name("LinkListCollection"), IID_ILinkListCollection), nullptr);
    EXPECT_TRUE(allocation_seam::InjectedFailureHappened());
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(LiveObjectCount(), live);
    // The name conversion's own 16-byte string failing ends the external path quietly.
    PlainFactory factory;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kPlainClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie),
              S_OK);
    allocation_seam::FailAllocationNumber(2);
    EXPECT_EQ(Create(0, Name("LinkListCollection"), IID_IUnknown), nullptr);
    allocation_seam::FailAllocationNumber(0);
    CoRevokeClassObject(cookie);
}

TEST_F(ObjectCreation, IdentifierCreatesNewOrAttachesToRunningAsTheFlagsSay) {
    PlainFactory factory;
    ClassObjectRegistration classObject(kPlainClass, &factory);
    ASSERT_EQ(classObject.result, S_OK);
    // New only.
    IUnknown* made =
        Create(kCreateFromIdentifier | kCreateNewOnly, Identifier(kPlainClass), kPlainInterface);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(factory.creations, 1);
    EXPECT_EQ(PlainObject::live, 1);
    // Running only, with nothing running: empty, and the new one made before is released.
    EXPECT_EQ(
        Create(kCreateFromIdentifier | kCreateRunningOnly, Identifier(kPlainClass), IID_IUnknown),
        nullptr);
    EXPECT_EQ(PlainObject::live, 0);
    // Both flags: running only, so nothing is made.
    EXPECT_EQ(Create(kCreateFromIdentifier | kCreateRunningOnly | kCreateNewOnly,
                     Identifier(kPlainClass), IID_IUnknown),
              nullptr);
    EXPECT_EQ(factory.creations, 1);
    // Neither flag, nothing running: a new one.
    ASSERT_NE(Create(kCreateFromIdentifier, Identifier(kPlainClass), IID_IUnknown), nullptr);
    EXPECT_EQ(factory.creations, 2);

    OwnedPlainObject running(new PlainObject());
    RunningObjectRegistration announcement(running.get(), kPlainClass);
    ASSERT_EQ(announcement.result, S_OK);
    // Neither flag: the running one first; running only: the same; new only: a new one.
    EXPECT_EQ(Create(kCreateFromIdentifier, Identifier(kPlainClass), kPlainInterface),
              static_cast<IUnknown*>(running.get()));
    EXPECT_EQ(
        Create(kCreateFromIdentifier | kCreateRunningOnly, Identifier(kPlainClass), IID_IUnknown),
        static_cast<IUnknown*>(running.get()));
    EXPECT_EQ(factory.creations, 2);
    EXPECT_NE(Create(kCreateFromIdentifier | kCreateNewOnly, Identifier(kPlainClass), IID_IUnknown),
              static_cast<IUnknown*>(running.get()));
    EXPECT_EQ(factory.creations, 3);
    // An interface the running object does not offer: empty.
    EXPECT_EQ(
        Create(kCreateFromIdentifier | kCreateRunningOnly, Identifier(kPlainClass), IID_IDispatch),
        nullptr);
    // Not exactly 16 bytes: nothing is tried.
    EXPECT_EQ(Create(kCreateFromIdentifier, Name("0123456789abcde"), IID_IUnknown), nullptr);
    EXPECT_EQ(factory.creations, 3);

    EXPECT_EQ(announcement.Revoke(), S_OK);
    EXPECT_EQ(classObject.Revoke(), S_OK);
    running.reset();
    EXPECT_EQ(PlainObject::live, 0);
}

TEST_F(ObjectCreation, UnregisteredNamesFailQuietly) {
    EXPECT_EQ(Create(kCreateNewOnly, Name("No.Such.Class.Anywhere"), IID_IUnknown), nullptr);
    EXPECT_EQ(Create(0, Name("No.Such.Class.Anywhere"), IID_IUnknown), nullptr);
    EXPECT_EQ(Create(kCreateRunningOnly, Name("No.Such.Class.Anywhere"), IID_IUnknown), nullptr);
    // 40 to 99 characters are still converted; 100 and 0 are not.
    for (size_t length : {40u, 99u, 100u, 300u}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(Create(kCreateNewOnly, Name(std::string(length, 'q')), IID_IUnknown), nullptr);
    }
    EXPECT_EQ(ClassIdentifierOfName(Name(std::string(99, 'q'))), 0u);
    EXPECT_EQ(ClassIdentifierOfName(0), 0u);
}

TEST_F(ObjectCreation, BuiltinNameConvertsToItsClassIdentifier) {
    const StringHandle id = ClassIdentifierOfName(Name("linkLISTcollection"));
    ASSERT_NE(id, 0u);
    ASSERT_EQ(SysStringByteLen(reinterpret_cast<BSTR>(id)), 16u);
    const CLSID expected = RuntimeClassId(2);
    EXPECT_EQ(std::memcmp(reinterpret_cast<void*>(id), &expected, 16), 0);
    RuntimeFreeString(reinterpret_cast<BSTR>(id));
    // Without 0x0008 the built-in class's identifier goes to the platform, which has no
    // such class: the built-in path is the only way to a built-in class by name.
    EXPECT_EQ(Create(kCreateNewOnly, Name("LinkListCollection"), IID_IUnknown), nullptr);
}

TEST_F(ObjectCreation, IsRunningFollowsTheRunningObjects) {
    EXPECT_EQ(IsObjectRunning(Name("LinkListCollection")), 0);
    EXPECT_EQ(IsObjectRunning(Name("No.Such.Class.Anywhere")), 0);
    // An object announced under the collection's class identifier counts as running.
    OwnedPlainObject running(new PlainObject());
    RunningObjectRegistration announcement(running.get(), RuntimeClassId(2));
    ASSERT_EQ(announcement.result, S_OK);
    const LONG references = running->references;  // what the platform's table holds varies
    EXPECT_EQ(IsObjectRunning(Name("LinkListCollection")), -1);
    EXPECT_EQ(running->references, references);  // the temporary reference was given back
    EXPECT_EQ(announcement.Revoke(), S_OK);
}

TEST_F(ObjectCreation, ClassNameOfIdentifiers) {
    BSTR name = ClassNameOf(Identifier(RuntimeClassId(2)));
    EXPECT_EQ(NarrowName(name), "LINKLISTCOLLECTION");
    RuntimeFreeString(name);
    EXPECT_EQ(ClassNameOf(Identifier(RuntimeClassId(5))), nullptr);  // no name, not registered
    EXPECT_EQ(ClassNameOf(Identifier(kPlainClass)), nullptr);
    EXPECT_EQ(ClassNameOf(Name("LinkListCollection")), nullptr);  // not 16 bytes
    EXPECT_EQ(ClassNameOf(0), nullptr);
}

TEST_F(ObjectCreation, LibraryClassFactoryMakesTheObject) {
    const GUID libraryClass = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xA0, 0x01}};
    const GUID libraryInterface = {0x5A1B0C2D, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0xA0, 0x02}};
    CreateObjectFromLibrary(&variable, Name(HANOI_TEST_LIBRARY), Identifier(libraryClass),
                            libraryInterface);
    ASSERT_NE(variable, nullptr);
    HMODULE library = GetModuleHandleA(HANOI_TEST_LIBRARY);  // stays loaded
    ASSERT_NE(library, nullptr);
    typedef LONG(STDMETHODCALLTYPE * Counter)();
    auto liveInLibrary = reinterpret_cast<Counter>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "TestLibraryLiveObjects")));
    auto requests = reinterpret_cast<Counter>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "TestLibraryFactoryRequests")));
    ASSERT_TRUE(liveInLibrary && requests);
    EXPECT_EQ(liveInLibrary(), 1);

    // A class the library does not have, an interface its objects lack, an identifier of
    // the wrong length, a library that does not exist, an empty library name: all empty.
    const LONG before = requests();
    CreateObjectFromLibrary(&variable, Name(HANOI_TEST_LIBRARY), Identifier(kPlainClass),
                            IID_IUnknown);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(liveInLibrary(), 0);  // the earlier object was released first
    CreateObjectFromLibrary(&variable, Name(HANOI_TEST_LIBRARY), Identifier(libraryClass),
                            IID_IDispatch);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(requests(), before + 2);
    CreateObjectFromLibrary(&variable, Name(HANOI_TEST_LIBRARY), Name("short"), IID_IUnknown);
    CreateObjectFromLibrary(&variable, Name("no_such_library_file"), Identifier(libraryClass),
                            IID_IUnknown);
    CreateObjectFromLibrary(&variable, 0, Identifier(libraryClass), IID_IUnknown);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(requests(), before + 2);
    EXPECT_EQ(liveInLibrary(), 0);
}

// Windows only: the portable host has no registry, so no programmatic identifier resolves.
#ifdef _WIN32
TEST_F(ObjectCreation, RegisteredProgrammaticIdentifierCreatesAWindowsClass) {
    IUnknown* dictionary = Create(kCreateNewOnly, Name("Scripting.Dictionary"), IID_IDispatch);
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(Create(kCreateNewOnly, Name("Scripting.NoSuchDictionary"), IID_IDispatch), nullptr);
    CLSID id{};
    ASSERT_EQ(CLSIDFromProgID(L"Scripting.Dictionary", &id), S_OK);
    BSTR name = ClassNameOf(Identifier(id));
    EXPECT_EQ(NarrowName(name), "Scripting.Dictionary");
    RuntimeFreeString(name);
}
#endif
