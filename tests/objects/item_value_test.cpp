// Item values: reading as a number with its digit class, the string a value holds and
// clearing.
#include "objects/item_value.h"

#include "runtime/memory.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

TEST(ItemValue, ToNumberByKind) {
    struct Case {
        VARTYPE vt;
        LONGLONG bits;
        long double value;
        int digits;
    };
    const Case cases[] = {
        {VT_I2, 0xFFFF, -1, 7},      {VT_BOOL, 0xFFFF, -1, 7},
        {VT_I1, 0x80, -128, 7},      {VT_UI1, 0xFF, 255, 7},
        {VT_UI2, 0xFFFF, 65535, 7},  {VT_I4, 0xFFFFFFFF, -1, 15},
        {VT_ERROR, 5, 5, 15},        {VT_UI4, 0xFFFFFFFF, 4294967295.0L, 15},
        {VT_CY, 12345, 1.2345L, 18}, {VT_I8, -5, -5, 18},
        {VT_UI8, -1, -1, 18},        {VT_EMPTY, 0, 0, 0},
        {VT_NULL, 0, 0, 0},          {VT_VARIANT, 0, 0, 0},
    };
    for (const Case& test : cases) {
        VARIANT value{};
        value.vt = test.vt;
        value.llVal = test.bits;
        ItemNumber number = ItemToNumber(&value);
        EXPECT_EQ(number.value, test.value) << "vt " << test.vt;
        EXPECT_EQ(number.digitClass, test.digits) << "vt " << test.vt;
    }
    VARIANT real{};
    real.vt = VT_R8;
    real.dblVal = 2.5;
    EXPECT_EQ(ItemToNumber(&real).value, 2.5L);
    EXPECT_EQ(ItemToNumber(&real).digitClass, 15);
    real.vt = VT_R4;
    real.fltVal = 0.5f;
    EXPECT_EQ(ItemToNumber(&real).value, 0.5L);
    EXPECT_EQ(ItemToNumber(&real).digitClass, 7);
}

TEST(ItemValue, ToNumberFollowsReferencesButNotStringsOrArrays) {
    VARIANT inner{};
    inner.vt = VT_R8;
    inner.dblVal = 2.5;
    VARIANT reference{};
    reference.vt = VT_VARIANT | VT_BYREF;
    reference.pvarVal = &inner;
    EXPECT_EQ(ItemToNumber(&reference).value, 2.5L);
    EXPECT_EQ(ItemToNumber(&reference).digitClass, 15);

    LONG number = 77;
    VARIANT byref{};
    byref.vt = VT_I4 | VT_BYREF;
    byref.plVal = &number;
    EXPECT_EQ(ItemToNumber(&byref).value, 77);

    VARIANT text = TextItem("12");
    EXPECT_EQ(ItemToNumber(&text).value, 0);
    EXPECT_EQ(ItemToNumber(&text).digitClass, 0);
    EXPECT_EQ(ItemStringOf(&text), text.bstrVal);
    VariantClear(&text);

    VARIANT array{};
    array.vt = VT_ARRAY | VT_I4;
    EXPECT_EQ(ItemToNumber(&array).digitClass, 0);
    array.vt = VT_ARRAY | VT_BYREF | VT_I4;
    EXPECT_EQ(ItemToNumber(&array).digitClass, 0);

    // A value that refers to itself ends as "not a number" instead of looping.
    VARIANT loop{};
    loop.vt = VT_VARIANT | VT_BYREF;
    loop.pvarVal = &loop;
    EXPECT_EQ(ItemToNumber(&loop).digitClass, 0);
    VARIANT dangling{};
    dangling.vt = VT_I4 | VT_BYREF;
    EXPECT_EQ(ItemToNumber(&dangling).digitClass, 0);
}

TEST(ItemValue, DecimalReadsThroughConversion) {
    VARIANT value{};
    value.decVal.Lo64 = 12345;
    value.decVal.scale = 2;
    value.decVal.sign = DECIMAL_NEG;
    value.vt = VT_DECIMAL;
    ItemNumber number = ItemToNumber(&value);
    EXPECT_NEAR(static_cast<double>(number.value), -123.45, 1e-12);
    EXPECT_EQ(number.digitClass, 15);
}

TEST(ItemValue, StringOfByReference) {
    BSTR text = SysAllocString(WSTR("abc"));
    VARIANT reference{};
    reference.vt = VT_BSTR | VT_BYREF;
    reference.pbstrVal = &text;
    EXPECT_EQ(ItemStringOf(&reference), text);
    VARIANT number = NumberItem(3);
    EXPECT_EQ(ItemStringOf(&number), nullptr);
    SysFreeString(text);
}

TEST(ItemValue, ClearLeavesAnEmptyValue) {
    VARIANT value = TextItem("gone");
    value.wReserved1 = 0x1234;
    ItemClear(&value);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_TRUE(std::all_of(bytes + 4, bytes + 16, [](BYTE b) { return b == 0; }));
}

TEST(ItemValue, MoveResultTransfersOwnership) {
    VARIANT temporary = TextItem("moved");
    VARIANT destination{};
    ItemMoveResult(&destination, &temporary);
    EXPECT_EQ(destination.bstrVal, temporary.bstrVal);
    EXPECT_EQ(Describe(destination), "moved");
    VariantClear(&destination);  // freed once, through the destination
}

// A plain value is copied here as its bytes: the result (bytes and code) must be the system
// copy's, over a destination that holds nothing, a number or a string (released, not leaked).
TEST(ItemValue, PlainCopyIsTheSystemCopy) {
    const VARTYPE plain[] = {VT_EMPTY, VT_NULL, VT_I2, VT_I4,  VT_R4,  VT_R8,  VT_CY,
                             VT_DATE,  VT_ERROR, VT_BOOL, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2,
                             VT_UI4,   VT_I8,  VT_UI8, VT_INT, VT_UINT};
    for (VARTYPE type : plain) {
        VARIANT source;
        std::memset(&source, 0x5A, sizeof source);
        source.vt = type;
        for (int held = 0; held < 3; ++held) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", destination " << held);
            VARIANT ours = held == 2 ? TextItem("held") : VARIANT{};
            VARIANT system = held == 2 ? TextItem("held") : VARIANT{};
            if (held == 1) ours.vt = system.vt = VT_I4;
            const HRESULT ourCode = ItemCopyDereferenced(&ours, &source);
            EXPECT_EQ(ourCode, VariantCopyInd(&system, &source));
            EXPECT_EQ(std::memcmp(&ours, &system, sizeof ours), 0);
        }
    }
    const VARTYPE owning[] = {VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_I4 | VT_BYREF,
                              VT_I4 | VT_ARRAY, 15, VT_VARIANT, VT_RECORD};
    for (VARTYPE type : owning)
        EXPECT_FALSE(ItemIsPlain(type)) << type;
}
