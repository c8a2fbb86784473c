// The list collection's methods: cursor rules, positions at the boundaries, growth,
// ownership of stored values, and out-of-memory behaviour.
#include "objects/list_collection.h"

#include "objects/builtin_object.h"
#include "runtime/memory.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

using Items = std::vector<std::string>;

class ListCollection : public ::testing::Test {
   protected:
    void SetUp() override { collection = NewListCollection(); }
    void TearDown() override {
        if (collection) collection->Release();
    }
    std::string Next() { return Step(&ILinkListCollection::NEXT, S_OK); }
    std::string Previous() { return Step(&ILinkListCollection::PREVIOUS, S_OK); }
    // Calls NEXT or PREVIOUS expecting `expected`; returns the item described.
    std::string Step(HRESULT (STDMETHODCALLTYPE ILinkListCollection::*method)(VARIANT*),
                     HRESULT expected) {
        VARIANT item = NumberItem(-99);  // the method must release this first
        EXPECT_EQ((collection->*method)(&item), expected);
        std::string text = Describe(item);
        VariantClear(&item);
        return text;
    }
    ULONG Cursor() { return CollectionCursor(collection); }
    ILinkListCollection* collection = nullptr;
};

TEST_F(ListCollection, NewCollectionIsEmptyWithCursorAtOne) {
    ASSERT_NE(collection, nullptr);
    LONG count = -1, previous = -1;
    EXPECT_EQ(collection->COUNT(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(collection->FIRST(&previous), S_OK);
    EXPECT_EQ(previous, 1);
    EXPECT_EQ(Step(&ILinkListCollection::NEXT, S_FALSE), "<empty>");
    EXPECT_EQ(collection->LAST(&previous), S_OK);
    EXPECT_EQ(previous, 1);
    EXPECT_EQ(Cursor(), 1u);
    EXPECT_EQ(CollectionCapacity(collection), 100u);
}

TEST_F(ListCollection, ForwardAndBackwardWalks) {
    AddTexts(collection, {"A", "B", "C"});
    collection->FIRST(nullptr);
    EXPECT_EQ(Next(), "A");
    EXPECT_EQ(Next(), "B");
    EXPECT_EQ(Next(), "C");
    EXPECT_EQ(Step(&ILinkListCollection::NEXT, S_FALSE), "<empty>");
    EXPECT_EQ(Cursor(), 4u);
    // Cursor 4 is beyond the count: PREVIOUS fails without moving it.
    EXPECT_EQ(Step(&ILinkListCollection::PREVIOUS, S_FALSE), "<empty>");
    EXPECT_EQ(Cursor(), 4u);
    LONG previous = 0;
    collection->LAST(&previous);
    EXPECT_EQ(previous, 4);
    EXPECT_EQ(Previous(), "C");
    EXPECT_EQ(Previous(), "B");
    EXPECT_EQ(Previous(), "A");
    EXPECT_EQ(Step(&ILinkListCollection::PREVIOUS, S_FALSE), "<empty>");
    EXPECT_EQ(Cursor(), 0u);
    // From cursor 0, NEXT starts again at the first item.
    EXPECT_EQ(Next(), "A");
}

TEST_F(ListCollection, InsertPositions) {
    struct Case {
        bool withIndex;
        LONG index;
        Items expected;
    };
    const Case cases[] = {
        {true, 1, {"X", "A", "B"}},  {true, 3, {"A", "B", "X"}},  {true, 2, {"A", "X", "B"}},
        {true, 0, {"A", "B", "X"}},  {false, 0, {"A", "B", "X"}}, {true, 7, {"A", "B", "X"}},
        {true, -1, {"A", "B", "X"}},
    };
    for (const Case& test : cases) {
        ILinkListCollection* list = NewListCollection();
        AddTexts(list, {"A", "B"});
        VARIANT item = TextItem("X");
        LONG index = test.index;
        EXPECT_EQ(list->INSERT(test.withIndex ? &index : nullptr, &item), S_OK);
        VariantClear(&item);
        EXPECT_EQ(Contents(list), test.expected) << "index " << test.index;
        list->Release();
    }
}

TEST_F(ListCollection, InsertLeavesCursorWhereItWas) {
    AddTexts(collection, {"A", "B"});
    LONG two = 2, one = 1;
    collection->INDEX(&two, nullptr);
    VARIANT item = TextItem("X");
    collection->INSERT(&one, &item);
    VariantClear(&item);
    EXPECT_EQ(Cursor(), 2u);
    EXPECT_EQ(Next(), "A");
}

TEST_F(ListCollection, RemoveReplaceAndItemAtBoundaries) {
    AddTexts(collection, {"A", "B", "C"});
    for (LONG bad : {0, 4, -1}) {
        LONG index = bad;
        EXPECT_EQ(collection->REMOVE(&index), S_FALSE) << bad;
        VARIANT item = TextItem("X");
        EXPECT_EQ(collection->REPLACE(&index, &item), S_FALSE) << bad;
        VariantClear(&item);
    }
    EXPECT_EQ(collection->REMOVE(nullptr), S_FALSE);
    EXPECT_EQ(Contents(collection), (Items{"A", "B", "C"}));

    LONG two = 2;
    VARIANT item = TextItem("X");
    EXPECT_EQ(collection->REPLACE(&two, &item), S_OK);
    VariantClear(&item);
    EXPECT_EQ(Contents(collection), (Items{"A", "X", "C"}));
    EXPECT_EQ(collection->REMOVE(&two), S_OK);
    EXPECT_EQ(Contents(collection), (Items{"A", "C"}));

    for (LONG bad : {0, 3, -1}) {
        LONG index = bad;
        VARIANT result = NumberItem(5);
        EXPECT_EQ(collection->ITEM(&index, &result), S_FALSE) << bad;
        EXPECT_EQ(result.vt, VT_EMPTY) << bad;
    }
    LONG one = 1;
    collection->INDEX(&one, nullptr);
    VARIANT result{};
    EXPECT_EQ(collection->ITEM(&two, &result), S_OK);
    EXPECT_EQ(Describe(result), "C");
    VariantClear(&result);
    EXPECT_EQ(Cursor(), 1u);
}

TEST_F(ListCollection, IndexMovesCursorOnlyToAnItem) {
    AddTexts(collection, {"A", "B", "C", "D", "E"});
    LONG three = 3, result = 0;
    EXPECT_EQ(collection->INDEX(&three, &result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Cursor(), 3u);
    for (LONG bad : {0, 6, -1}) {
        LONG index = bad;
        EXPECT_EQ(collection->INDEX(&index, &result), S_OK);
        EXPECT_EQ(result, 3) << bad;
        EXPECT_EQ(Cursor(), 3u) << bad;
    }
    EXPECT_EQ(collection->INDEX(nullptr, &result), S_OK);
    EXPECT_EQ(result, 3);
}

TEST_F(ListCollection, ClearKeepsCursorAndCapacity) {
    for (int i = 0; i < 150; ++i) {
        VARIANT item = NumberItem(i);
        collection->ADD(&item);
    }
    LONG five = 5;
    collection->INDEX(&five, nullptr);
    EXPECT_EQ(collection->CLEAR(), S_OK);
    LONG count = -1;
    collection->COUNT(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Cursor(), 5u);
    EXPECT_EQ(CollectionCapacity(collection), 200u);
    AddTexts(collection, {"A", "B"});
    EXPECT_EQ(Step(&ILinkListCollection::NEXT, S_FALSE), "<empty>");
    collection->FIRST(nullptr);
    EXPECT_EQ(Next(), "A");
}

TEST_F(ListCollection, GrowsByOneHundredSlotsKeepingEveryItem) {
    for (LONG i = 1; i <= 100; ++i) {
        VARIANT item = NumberItem(i);
        collection->ADD(&item);
    }
    EXPECT_EQ(CollectionCapacity(collection), 100u);
    VARIANT item = NumberItem(101);
    collection->ADD(&item);
    EXPECT_EQ(CollectionCapacity(collection), 200u);
    for (LONG i = 102; i <= 201; ++i) {
        item = NumberItem(i);
        collection->ADD(&item);
    }
    EXPECT_EQ(CollectionCapacity(collection), 300u);
    Items contents = Contents(collection);
    ASSERT_EQ(contents.size(), 201u);
    for (LONG i = 1; i <= 201; ++i) EXPECT_EQ(contents[i - 1], std::to_string(i));
}

TEST_F(ListCollection, ByReferenceIntegerIsStoredByValue) {
    LONG number = 42;
    VARIANT reference{};
    reference.vt = VT_I4 | VT_BYREF;
    reference.plVal = &number;
    collection->ADD(&reference);
    number = 7;
    LONG one = 1;
    VARIANT result{};
    collection->ITEM(&one, &result);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);
}

TEST_F(ListCollection, ObjectItemsHoldExactlyOneReference) {
    CountingUnknown object;
    VARIANT item{};
    item.vt = VT_UNKNOWN;
    item.punkVal = &object;
    collection->ADD(&item);
    EXPECT_EQ(object.references, 2);
    LONG one = 1;
    VARIANT result{};
    collection->ITEM(&one, &result);
    EXPECT_EQ(object.references, 3);
    VariantClear(&result);
    VARIANT text = TextItem("X");
    collection->REPLACE(&one, &text);  // the replaced object loses the collection's reference
    VariantClear(&text);
    EXPECT_EQ(object.references, 1);
    collection->ADD(&item);
    collection->ADD(&item);
    EXPECT_EQ(object.references, 3);
    collection->REMOVE(&one);
    EXPECT_EQ(object.references, 3);
    collection->CLEAR();
    EXPECT_EQ(object.references, 1);
    collection->ADD(&item);
    collection->Release();  // destruction releases what is left
    collection = nullptr;
    EXPECT_EQ(object.references, 1);
}

TEST_F(ListCollection, OutOfMemoryWhileGrowingLosesNothing) {
    for (LONG i = 1; i <= 100; ++i) {
        VARIANT item = NumberItem(i);
        collection->ADD(&item);
    }
    allocation_seam::FailAllocationNumber(1);
    VARIANT item = NumberItem(101);
    EXPECT_EQ(collection->ADD(&item), S_FALSE);
    EXPECT_TRUE(allocation_seam::InjectedFailureHappened());
    allocation_seam::FailAllocationNumber(0);
    Items contents = Contents(collection);
    ASSERT_EQ(contents.size(), 100u);
    EXPECT_EQ(contents.back(), "100");
    EXPECT_EQ(CollectionCapacity(collection), 100u);
    EXPECT_EQ(collection->ADD(&item), S_OK);  // memory is back: the insertion succeeds
    EXPECT_EQ(Contents(collection).back(), "101");
}

TEST_F(ListCollection, OutOfMemoryAtCreationStartsWithoutBlock) {
    allocation_seam::FailAllocationNumber(2);  // the instance succeeds, its slot block fails
    ILinkListCollection* list = NewListCollection();
    allocation_seam::FailAllocationNumber(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(CollectionCapacity(list), 0u);
    LONG one = 1;
    VARIANT result{};
    EXPECT_EQ(list->ITEM(&one, &result), S_FALSE);
    EXPECT_EQ(list->CLEAR(), S_OK);
    AddTexts(list, {"A"});
    EXPECT_EQ(Contents(list), (Items{"A"}));
    EXPECT_EQ(CollectionCapacity(list), 100u);
    list->Release();
}

TEST_F(ListCollection, InterfacesShareOneCountAndLiveObjectsBalance) {
    const LONG before = LiveObjectCount();
    ILinkListCollection* list = NewListCollection();
    EXPECT_EQ(LiveObjectCount(), before + 1);
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(list->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    EXPECT_NE(static_cast<void*>(dispatch), static_cast<void*>(list));
    IUnknown* unknown = nullptr;
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(list->QueryInterface(IID_IClassFactory, &factory), E_NOINTERFACE);
    EXPECT_EQ(factory, nullptr);
    ASSERT_EQ(list->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(dispatch->Release(), 1u);
    EXPECT_EQ(list->Release(), 0u);
    EXPECT_EQ(LiveObjectCount(), before);
}

// An item that cannot be copied (here a type word automation refuses) is never stored as an
// empty value: INSERT and REPLACE report S_FALSE and leave every stored item as it was.
TEST_F(ListCollection, ItemThatCannotBeCopiedIsRefusedAndNothingChanges) {
    AddTexts(collection, {"A", "B"});
    VARIANT refused{};
    refused.vt = 15;  // no such type
    LONG first = 1;
    EXPECT_EQ(collection->INSERT(&first, &refused), S_FALSE);
    EXPECT_EQ(collection->ADD(&refused), S_FALSE);
    EXPECT_EQ(collection->REPLACE(&first, &refused), S_FALSE);
    EXPECT_EQ(Contents(collection), (Items{"A", "B"}));
}
