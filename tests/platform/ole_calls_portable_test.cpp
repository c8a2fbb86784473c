// Portable only: where the portable OLE layer knowingly parts from Windows (null pointers
// that OLEAUT32 would dereference, a value property without end, kinds it does not
// convert, no type libraries) and DispCallFunc's own limits.
#include "tests/platform/variant_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

LONG Sum(LONG a, LONG b) {
    return a + b;
}

TEST(PortableOle, ConversionRefusalsOfThisLayer) {
    VARIANT value = I4v(1);
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(VariantChangeTypeEx(nullptr, &value, 0x409, 0, VT_I2), E_INVALIDARG);
    EXPECT_EQ(VariantChangeTypeEx(&result, nullptr, 0x409, 0, VT_I2), E_INVALIDARG);
    EXPECT_EQ(VariantChangeTypeEx(&result, &value, 0x409, 0, VT_DATE), E_NOTIMPL);
    EXPECT_EQ(VariantChangeTypeEx(&result, &value, 0x409, 0, VT_DECIMAL), E_NOTIMPL);
    VARIANT date = Datev(1.5);
    EXPECT_EQ(VariantChangeTypeEx(&result, &date, 0x409, 0, VT_BSTR), E_NOTIMPL);
    // Every locale reads as US English.
    VARIANT text = Textv("1,5");
    ASSERT_EQ(VariantChangeTypeEx(&result, &text, 0x407, 0, VT_R8), S_OK);
    EXPECT_TRUE(SameVariant(result, R8v(15)));
    VariantClear(&text);

    // A value property that is an object again is not asked further.
    ValueObject object;
    object.value.vt = VT_DISPATCH;
    object.value.pdispVal = &object;
    VARIANT source{};
    source.vt = VT_DISPATCH;
    source.pdispVal = &object;
    EXPECT_EQ(VariantChangeTypeEx(&result, &source, 0x409, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(object.invokes, 1);
    EXPECT_EQ(object.references, 1);
}

TEST(PortableOle, NoTypeLibraries) {
    ITypeLib* library = reinterpret_cast<ITypeLib*>(0x1);
    EXPECT_EQ(LoadTypeLib(WSTR("/any/program"), &library), TYPE_E_CANTLOADLIBRARY);
    EXPECT_EQ(library, nullptr);
    EXPECT_EQ(LoadTypeLib(nullptr, &library), E_INVALIDARG);
    EXPECT_EQ(LoadTypeLib(WSTR("x"), nullptr), E_INVALIDARG);
}

TEST(PortableOle, DispCallFuncLimits) {
    const ULONG_PTR entry = reinterpret_cast<ULONG_PTR>(&Sum);
    VARIANT a = I4v(2), b = I4v(3);
    VARTYPE types[] = {VT_I4, VT_I4};
    VARIANTARG* arguments[] = {&a, &b};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(DispCallFunc(nullptr, entry, CC_CDECL, VT_I4, 2, types, arguments, &result), S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(5)));

    VARIANTARG* missing[] = {&a, nullptr};
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_I4, 2, types, missing, &result),
              E_INVALIDARG);
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_I4, 2, nullptr, arguments, &result),
              E_INVALIDARG);
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_I4, 2, types, arguments, nullptr),
              E_INVALIDARG);
    VARTYPE empty[] = {VT_EMPTY, VT_I4};
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_I4, 2, empty, arguments, &result),
              E_INVALIDARG);
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_VARIANT, 2, types, arguments, &result),
              E_INVALIDARG);
    std::vector<VARTYPE> many(65, VT_I4);
    std::vector<VARIANTARG*> manyArguments(65, &a);
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_I4, 65, many.data(), manyArguments.data(),
                           &result),
              E_INVALIDARG);
}

}  // namespace
