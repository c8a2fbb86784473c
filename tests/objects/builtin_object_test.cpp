// The built-in object model: instance layout, QueryInterface by the class tables,
// reference counts shared by every interface, and the destruction sequence with its
// instance-flag variants, sub-objects and member cleanup.
#include "objects/builtin_instance.h"
#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "objects/class_tables.h"
#include "objects/list_collection.h"
#include "objects/list_collection_class.h"
#include "runtime/memory.h"
#include "tests/objects/collection_test_support.h"
#include "tests/objects/test_classes_support.h"

#include <gtest/gtest.h>

namespace {

IUnknown* Query(IUnknown* object, REFIID iid, HRESULT expected = S_OK) {
    void* result = reinterpret_cast<void*>(0x1);  // must be overwritten either way
    EXPECT_EQ(object->QueryInterface(iid, &result), expected);
    return static_cast<IUnknown*>(result);
}

InterfaceRecord* RecordsOf(IUnknown* object) {
    return DataBlockOf(object)->firstRecord;
}

}  // namespace

TEST(BuiltinObject, NewCollectionLaysOutRecordsHeaderAndZeroedWords) {
    const LONG live = LiveObjectCount();
    ILinkListCollection* collection = NewListCollection();
    ASSERT_NE(collection, nullptr);
    EXPECT_EQ(LiveObjectCount(), live + 1);
    ObjectHeader* header = DataBlockOf(collection);
    InterfaceRecord* records = header->firstRecord;
    EXPECT_EQ(static_cast<void*>(records), static_cast<void*>(collection));
    // The data block follows the three records directly.
    EXPECT_EQ(reinterpret_cast<BYTE*>(header), reinterpret_cast<BYTE*>(records + 3));
    const ULONG_PTR indexes[3] = {7, 5, 1};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i].dataBlock, header);
        EXPECT_EQ(records[i].interfaceIndex, indexes[i]);
        EXPECT_EQ(records[i].subObjectClass, 0u);
        EXPECT_EQ(records[i].subObject, nullptr);
    }
    EXPECT_NE(records[0].virtualTable, records[1].virtualTable);  // each entry has its own
    EXPECT_EQ(header->referenceCount, 1);
    EXPECT_EQ(header->classNumber, 2u);
    EXPECT_EQ(header->constructionRoutine, &ConstructListCollection);
    EXPECT_EQ(header->destructionRoutine, &DestroyListCollection);
    EXPECT_EQ(header->instanceFlags, 0u);  // descriptor flags 0xC20C lack 0x0400
    ObjectCommonWords* common = CommonWordsOf(collection);
    EXPECT_EQ(common->eventConnection, nullptr);
    EXPECT_EQ(common->eventCookie, 0u);
    for (IUnknown* reference : common->references) EXPECT_EQ(reference, nullptr);
    // The construction routine ran: cursor 1, capacity 100.
    EXPECT_EQ(CollectionCursor(collection), 1u);
    EXPECT_EQ(CollectionCapacity(collection), 100u);
    EXPECT_EQ(collection->Release(), 0u);
    EXPECT_EQ(LiveObjectCount(), live);
}

TEST(BuiltinObject, QueryInterfaceHandsOutTheRecordOfEachOfferedInterface) {
    ILinkListCollection* collection = NewListCollection();
    ASSERT_NE(collection, nullptr);
    InterfaceRecord* records = RecordsOf(collection);
    IUnknown* dispatch = Query(collection, IID_IDispatch);
    EXPECT_EQ(static_cast<void*>(dispatch), static_cast<void*>(&records[1]));
    EXPECT_EQ(BuiltinReferenceCount(collection), 2);
    // The IUnknown record has a three-slot table of its own; it still finds the class.
    IUnknown* unknown = Query(dispatch, IID_IUnknown);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(&records[2]));
    IUnknown* own = Query(unknown, IID_ILinkListCollection);
    EXPECT_EQ(static_cast<void*>(own), static_cast<void*>(&records[0]));
    EXPECT_EQ(BuiltinReferenceCount(collection), 4);

    for (REFIID refused : {IID_IClassFactory, IID_IConnectionPointContainer, IID_IConnectionPoint,
                           IID_NULL, RuntimeInterfaceId(8)}) {
        EXPECT_EQ(Query(own, refused, E_NOINTERFACE), nullptr);
    }
    EXPECT_EQ(BuiltinReferenceCount(collection), 4);
    EXPECT_EQ(collection->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(BuiltinReferenceCount(collection), 4);

    // All interfaces share one count: AddRef and Release through any of them move it.
    EXPECT_EQ(unknown->AddRef(), 5u);
    EXPECT_EQ(dispatch->Release(), 4u);
    EXPECT_EQ(own->Release(), 3u);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(collection->Release(), 0u);
    EXPECT_EQ(BuiltinAddRef(nullptr), 0u);
    EXPECT_EQ(BuiltinRelease(nullptr), 0u);
}

TEST(BuiltinObject, LastReleaseDestroysTheCollectionOnceAndFreesItsBlocks) {
    const LONG live = LiveObjectCount();
    allocation_seam::Reset();
    ILinkListCollection* collection = NewListCollection();
    ASSERT_NE(collection, nullptr);
    CountingUnknown stored;
    VARIANT item{};
    item.vt = VT_UNKNOWN;
    item.punkVal = &stored;
    collection->ADD(&item);
    EXPECT_EQ(stored.references, 2);
    IUnknown* dispatch = Query(collection, IID_IDispatch);
    EXPECT_EQ(collection->Release(), 1u);
    EXPECT_EQ(stored.references, 2);  // not yet destroyed
    EXPECT_EQ(dispatch->Release(), 0u);
    EXPECT_EQ(stored.references, 1);  // released by the destruction routine, exactly once
    EXPECT_EQ(LiveObjectCount(), live);
    const allocation_seam::Counters counters = allocation_seam::Read();
    EXPECT_EQ(counters.allocations, 2);  // the instance and its slot block
    EXPECT_EQ(counters.frees, 2);
}

TEST(BuiltinObject, InstanceAllocationFailureCreatesNothing) {
    const LONG live = LiveObjectCount();
    allocation_seam::FailAllocationNumber(1);
    EXPECT_EQ(CreateBuiltinByNumber(kLinkListCollectionClass, kInterfaceLinkListCollection),
              nullptr);
    EXPECT_TRUE(allocation_seam::InjectedFailureHappened());
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(LiveObjectCount(), live);
    // Unknown class numbers and interfaces the class does not offer give nothing either.
    EXPECT_EQ(CreateBuiltinByNumber(9, kInterfaceIUnknown), nullptr);
    EXPECT_EQ(CreateBuiltinByNumber(kLinkListCollectionClass, kInterfaceIClassFactory), nullptr);
    EXPECT_EQ(LiveObjectCount(), live);
}

TEST(BuiltinObject, CreationByNumberOrIdentifierRunsNoConstructionRoutine) {
    IUnknown* byNumber = CreateBuiltinByNumber(kLinkListCollectionClass, kInterfaceIDispatch);
    ASSERT_NE(byNumber, nullptr);
    EXPECT_EQ(static_cast<void*>(byNumber), static_cast<void*>(&RecordsOf(byNumber)[1]));
    EXPECT_EQ(CollectionCursor(static_cast<ILinkListCollection*>(byNumber)), 0u);
    EXPECT_EQ(CollectionCapacity(static_cast<ILinkListCollection*>(byNumber)), 0u);
    byNumber->Release();

    IUnknown* byId = CreateBuiltinByIdentifier(RuntimeClassId(2), IID_IUnknown);
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(static_cast<void*>(byId), static_cast<void*>(&RecordsOf(byId)[2]));
    EXPECT_EQ(CollectionCursor(static_cast<ILinkListCollection*>(byId)), 0u);
    byId->Release();
    EXPECT_EQ(CreateBuiltinByIdentifier(RuntimeClassId(3), IID_IUnknown), nullptr);
    EXPECT_EQ(CreateBuiltinByIdentifier(IID_IUnknown, IID_IUnknown), nullptr);
}

class BuiltinTestClass : public ::testing::Test {
   protected:
    TestClassTables tables;
    LONG live = LiveObjectCount();
};

TEST_F(BuiltinTestClass, HeaderTakesDescriptorWordsAndTheMarkingFlag) {
    IUnknown* probe = CreateBuiltinByNumber(kProbeClass, kProbeInterface);
    ASSERT_NE(probe, nullptr);
    ObjectHeader* header = DataBlockOf(probe);
    EXPECT_EQ(header->classNumber, kProbeClass);
    EXPECT_EQ(header->descriptorWord1, 11u);
    EXPECT_EQ(header->descriptorWord2, 22u);
    EXPECT_EQ(header->instanceFlags, 0x0800u);
    EXPECT_EQ(test_classes::probeConstructions, 0);
    probe->Release();
    EXPECT_EQ(test_classes::probeDestructions, 1);

    IUnknown* part = CreateBuiltinByNumber(kPartClass, kInterfaceIUnknown);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(DataBlockOf(part)->instanceFlags, 0u);  // descriptor without 0x0400
    part->Release();
    EXPECT_EQ(test_classes::partDestructions, 1);
    EXPECT_EQ(LiveObjectCount(), live);
}

TEST_F(BuiltinTestClass, SubObjectIsMadeOnFirstRequestAndReleasedWithItsOwner) {
    IUnknown* probe = CreateBuiltinByNumber(kProbeClass, kProbeInterface);
    ASSERT_NE(probe, nullptr);
    InterfaceRecord* records = RecordsOf(probe);
    EXPECT_EQ(records[2].subObjectClass, kPartClass);
    EXPECT_EQ(records[2].subObject, nullptr);
    IUnknown* first = Query(probe, RuntimeInterfaceId(kPartInterface));
    EXPECT_EQ(static_cast<void*>(first), static_cast<void*>(&records[2]));
    ASSERT_NE(records[2].subObject, nullptr);
    EXPECT_EQ(DataBlockOf(records[2].subObject)->instanceFlags, 0x1000u);
    EXPECT_EQ(LiveObjectCount(), live + 2);
    IUnknown* second = Query(probe, RuntimeInterfaceId(kPartInterface));
    EXPECT_EQ(second, first);
    EXPECT_EQ(LiveObjectCount(), live + 2);  // made once
    EXPECT_EQ(BuiltinReferenceCount(probe), 3);
    first->Release();
    second->Release();
    probe->Release();
    EXPECT_EQ(LiveObjectCount(), live);
    EXPECT_EQ(test_classes::probeDestructions, 1);
    EXPECT_EQ(test_classes::partDestructions, 0);  // a sub-object's routine never runs
}

TEST_F(BuiltinTestClass, SubObjectThatCannotBeMadeRefusesTheInterface) {
    IUnknown* broken = CreateBuiltinByNumber(kBrokenClass, kInterfaceIUnknown);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(Query(broken, RuntimeInterfaceId(kPartInterface), E_NOINTERFACE), nullptr);
    EXPECT_EQ(BuiltinReferenceCount(broken), 1);
    broken->Release();
    // Created on that entry directly, the instance is destroyed again.
    EXPECT_EQ(CreateBuiltinByNumber(kBrokenClass, kPartInterface), nullptr);
    EXPECT_EQ(LiveObjectCount(), live);
    // The sub-object's own allocation failing is the same case.
    allocation_seam::FailAllocationNumber(2);
    EXPECT_EQ(CreateBuiltinByNumber(kProbeClass, kPartInterface), nullptr);
    allocation_seam::FailAllocationNumber(0);
    EXPECT_EQ(LiveObjectCount(), live);
    EXPECT_EQ(test_classes::probeDestructions, 1);
}

TEST_F(BuiltinTestClass, DestructionReleasesReferencesAndMemberVariables) {
    IUnknown* probe = CreateBuiltinByNumber(kProbeClass, kProbeInterface);
    ASSERT_NE(probe, nullptr);
    CountingUnknown references[4], held, inValue;
    ObjectCommonWords* common = CommonWordsOf(probe);
    for (int i = 0; i < 4; ++i) common->references[i] = &references[i];
    ProbeFields* fields = ClassFieldsOf<ProbeFields>(probe);
    fields->held = &held;
    fields->text = RuntimeAllocByteString("abc", 3);
    fields->value.vt = VT_UNKNOWN;
    fields->value.punkVal = &inValue;
    const long freesBefore = allocation_seam::Read().frees;
    probe->Release();
    EXPECT_EQ(test_classes::probeDestructions, 1);
    for (const CountingUnknown& reference : references) EXPECT_EQ(reference.references, 0);
    EXPECT_EQ(held.references, 0);
    EXPECT_EQ(inValue.references, 0);
    EXPECT_EQ(allocation_seam::Read().frees, freesBefore + 2);  // the text and the block
    EXPECT_EQ(LiveObjectCount(), live);
}

TEST_F(BuiltinTestClass, InstanceFlagsSelectTheReleasePath) {
    struct Case {
        ULONG flags;
        int destructions;    // destruction routine calls
        int referencesLeft;  // what each of the four references still holds
    };
    const Case cases[] = {
        {0x0000, 1, 0},
        {0x1000, 0, 0},  // sub-object: no routine, but its references go
        {0x2000, 0, 1},  // no routine, and without a connection the light path
        {0x8000, 1, 1},  // event sink without a connection: light path
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        test_classes::ResetCounters();
        IUnknown* probe = CreateBuiltinByNumber(kProbeClass, kProbeInterface);
        ASSERT_NE(probe, nullptr);
        DataBlockOf(probe)->instanceFlags = c.flags;
        CountingUnknown references[4];
        for (int i = 0; i < 4; ++i) CommonWordsOf(probe)->references[i] = &references[i];
        probe->Release();
        EXPECT_EQ(test_classes::probeDestructions, c.destructions);
        for (const CountingUnknown& reference : references)
            EXPECT_EQ(reference.references, c.referencesLeft);
    }
    EXPECT_EQ(LiveObjectCount(), live);
}

TEST_F(BuiltinTestClass, EventTableInstanceCutsItsSinksLoose) {
    IUnknown* source = CreateBuiltinByNumber(kProbeClass, kProbeInterface);
    IUnknown* sink = CreateBuiltinByNumber(kSinkClass, kSinkInterface);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(sink, nullptr);
    DataBlockOf(source)->instanceFlags = 0x4000;
    sink->AddRef();  // the table's reference
    ClassFieldsOf<IUnknown*>(source)[0] = sink;
    CommonWordsOf(sink)->eventConnection = source;  // not counted: the source is going away
    CommonWordsOf(sink)->eventCookie = 5;
    CountingUnknown reference;
    CommonWordsOf(source)->references[0] = &reference;
    source->Release();
    EXPECT_EQ(CommonWordsOf(sink)->eventConnection, nullptr);
    EXPECT_EQ(CommonWordsOf(sink)->eventCookie, 0u);
    EXPECT_EQ(BuiltinReferenceCount(sink), 1);
    EXPECT_EQ(reference.references, 1);  // the 0x4000 path leaves the object references alone
    EXPECT_EQ(test_classes::probeDestructions, 1);
    sink->Release();
    EXPECT_EQ(LiveObjectCount(), live);
}
