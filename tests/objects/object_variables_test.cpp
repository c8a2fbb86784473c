// Object variable operations: assignment with and without an interface, conversion to and
// from item values, and the object tests; references are counted through every path.
#include "objects/object_variables.h"

#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "objects/list_collection_class.h"
#include "tests/objects/collection_test_support.h"
#include "tests/objects/com_test_objects_support.h"

#include <gtest/gtest.h>

TEST(ObjectVariables, AssignmentsCountReferences) {
    const LONG live = LiveObjectCount();
    IUnknown* collection = NewListCollection();
    ASSERT_NE(collection, nullptr);
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    AssignObject(&a, collection);
    EXPECT_EQ(a, collection);
    EXPECT_EQ(BuiltinReferenceCount(collection), 2);
    AssignObjectWithInterface(&b, collection, IID_IDispatch);
    EXPECT_EQ(static_cast<void*>(b), static_cast<void*>(DataBlockOf(collection)->firstRecord + 1));
    EXPECT_EQ(BuiltinReferenceCount(collection), 3);
    AssignObjectWithInterface(&b, collection, IID_IClassFactory);  // not offered
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(BuiltinReferenceCount(collection), 2);
    AssignObject(&a, nullptr);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(BuiltinReferenceCount(collection), 1);

    // A variable assigned its own, only reference keeps the object alive throughout.
    AssignObject(&a, collection);
    collection->Release();
    AssignObject(&a, a);
    ASSERT_EQ(LiveObjectCount(), live + 1);
    EXPECT_EQ(BuiltinReferenceCount(a), 1);
    AssignObjectWithInterface(&a, a, IID_IUnknown);
    ASSERT_EQ(LiveObjectCount(), live + 1);
    EXPECT_EQ(BuiltinReferenceCount(a), 1);
    EXPECT_EQ(IsObject(a), -1);
    EXPECT_EQ(IsNothing(a), 0);
    SetNothing(&a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(IsObject(a), 0);
    EXPECT_EQ(IsNothing(a), -1);
    SetNothing(&a);  // nothing held: nothing happens
    EXPECT_EQ(LiveObjectCount(), live);
}

TEST(ObjectVariables, ToItemValuePrefersIDispatch) {
    IUnknown* collection = NewListCollection();
    ASSERT_NE(collection, nullptr);
    VARIANT value = TextItem("released first");
    ObjectToItemValue(&value, collection);
    EXPECT_EQ(value.vt, VT_DISPATCH);
    EXPECT_EQ(static_cast<void*>(value.pdispVal),
              static_cast<void*>(DataBlockOf(collection)->firstRecord + 1));
    EXPECT_EQ(BuiltinReferenceCount(collection), 2);

    auto* plain = new PlainObject();  // no IDispatch
    ObjectToItemValue(&value, plain);
    EXPECT_EQ(BuiltinReferenceCount(collection), 1);  // the value's old object was released
    EXPECT_EQ(value.vt, VT_UNKNOWN);
    EXPECT_EQ(value.punkVal, static_cast<IUnknown*>(plain));
    EXPECT_EQ(plain->references, 2);

    ObjectToItemValue(&value, nullptr);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(plain->references, 1);
    plain->Release();
    collection->Release();
}

TEST(ObjectVariables, FromItemValueTakesObjectsDirectOrByReference) {
    auto* plain = new PlainObject();
    IUnknown* variable = nullptr;
    VARIANT direct{};
    direct.vt = VT_UNKNOWN;
    direct.punkVal = plain;
    ObjectFromItemValue(&variable, &direct, kPlainInterface);
    EXPECT_EQ(variable, static_cast<IUnknown*>(plain));
    EXPECT_EQ(plain->references, 2);

    IUnknown* referenced = plain;
    VARIANT byReference{};
    byReference.vt = VT_BYREF | VT_UNKNOWN;
    byReference.byref = &referenced;
    ObjectFromItemValue(&variable, &byReference, IID_IUnknown);
    EXPECT_EQ(variable, static_cast<IUnknown*>(plain));
    EXPECT_EQ(plain->references, 2);  // the old reference went, a new one came

    ObjectFromItemValue(&variable, &byReference, IID_IDispatch);  // not offered
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(plain->references, 1);

    IUnknown* collection = NewListCollection();
    ASSERT_NE(collection, nullptr);
    VARIANT dispatch{};
    dispatch.vt = VT_DISPATCH;
    dispatch.pdispVal = static_cast<IDispatch*>(collection);
    ObjectFromItemValue(&variable, &dispatch, IID_ILinkListCollection);
    EXPECT_EQ(variable, collection);
    VARIANT number = NumberItem(5);
    ObjectFromItemValue(&variable, &number, IID_IUnknown);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(BuiltinReferenceCount(collection), 1);
    VARIANT emptyReference{};
    emptyReference.vt = VT_BYREF | VT_DISPATCH;  // a null reference
    ObjectFromItemValue(&variable, &emptyReference, IID_IUnknown);
    EXPECT_EQ(variable, nullptr);
    collection->Release();
    plain->Release();
    EXPECT_EQ(PlainObject::live, 0);
}
