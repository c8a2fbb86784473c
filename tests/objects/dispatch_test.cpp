// Late-bound calls of built-in objects through IDispatch: names to identifiers, Invoke of
// the collection's methods, every parameter shape of the test class, exception information,
// and requests no client should send.
#include "objects/dispatch_tables.h"
#include "objects/list_collection_class.h"
#include "runtime/memory.h"
#include "runtime/thread_record.h"
#include "tests/objects/collection_test_support.h"
#include "tests/objects/dispatch_test_support.h"
#include "tests/platform/variant_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

IDispatch* DispatchOf(ILinkListCollection* collection) {
    void* dispatch = nullptr;
    EXPECT_EQ(collection->QueryInterface(IID_IDispatch, &dispatch), S_OK);
    collection->Release();  // the IDispatch reference keeps it alive
    return static_cast<IDispatch*>(dispatch);
}

// A collection holding "A", "B", "C", reached through IDispatch.
IDispatch* NewLetters() {
    ILinkListCollection* collection = NewListCollection();
    AddTexts(collection, {"A", "B", "C"});
    return DispatchOf(collection);
}

std::vector<DISPID> IdsOf(IDispatch* object, std::vector<std::u16string> names, HRESULT expected) {
    std::vector<LPOLESTR> pointers;
    std::vector<std::vector<OLECHAR>> storage;
    for (const std::u16string& name : names) {
        storage.emplace_back(name.begin(), name.end());
        storage.back().push_back(0);
    }
    for (auto& name : storage) pointers.push_back(name.data());
    std::vector<DISPID> ids(names.size(), 12345);
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, pointers.data(), static_cast<UINT>(pointers.size()),
                                    0x409, ids.data()),
              expected);
    return ids;
}

const DISPID kUnknownName = DISP_E_UNKNOWNNAME;

bool HoldsText(const VARIANT& value, const char* text) {
    return value.vt == VT_BSTR && TextOf(value.bstrVal) == text;
}

TEST(DispatchNames, MethodAndParameterNamesOfTheCollection) {
    IDispatch* letters = NewLetters();
    UINT count = 0;
    EXPECT_EQ(letters->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(letters->GetTypeInfoCount(nullptr), E_INVALIDARG);

    EXPECT_EQ(IdsOf(letters, {u"item"}, S_OK), std::vector<DISPID>{8});
    EXPECT_EQ(IdsOf(letters, {u"Index"}, S_OK), std::vector<DISPID>{6});
    EXPECT_EQ(IdsOf(letters, {u"insert", u"index"}, S_OK), (std::vector<DISPID>{7, 0}));
    EXPECT_EQ(IdsOf(letters, {u"INSERT", u"QuarkItem", u"Position"}, DISP_E_UNKNOWNNAME),
              (std::vector<DISPID>{7, 1, kUnknownName}));
    EXPECT_EQ(IdsOf(letters, {u"Items", u"index", u"x"}, DISP_E_UNKNOWNNAME),
              (std::vector<DISPID>{-1, -1, -1}));
    EXPECT_EQ(IdsOf(letters, {u""}, DISP_E_UNKNOWNNAME), std::vector<DISPID>{-1});
    // Only the low 8 bits of each character count: U+0149 reads as 'I'.
    EXPECT_EQ(IdsOf(letters, {u"\u0149t\u0145m"}, S_OK), std::vector<DISPID>{8});
    // Names of another class do not match.
    EXPECT_EQ(IdsOf(letters, {u"TAKEITEM"}, DISP_E_UNKNOWNNAME), std::vector<DISPID>{-1});
    letters->Release();
}

TEST(DispatchNames, NullAndLongNames) {
    DispatchTestTables tables;
    IDispatch* shapes = NewShapes();
    // A 300-character name is compared on its first 255 folded characters.
    std::u16string name(300, u'n');
    EXPECT_EQ(IdsOf(shapes, {name}, S_OK), std::vector<DISPID>{11});
    EXPECT_EQ(IdsOf(shapes, {name.substr(0, 254)}, DISP_E_UNKNOWNNAME), std::vector<DISPID>{-1});
    EXPECT_EQ(IdsOf(shapes, {u"mix", u"Money", u"small"}, S_OK), (std::vector<DISPID>{2, 5, 0}));

    LPOLESTR names[2] = {nullptr, nullptr};
    DISPID ids[2] = {5, 5};
    EXPECT_EQ(shapes->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], -1);
    EXPECT_EQ(ids[1], -1);
    OLECHAR mix[] = {'M', 'I', 'X', 0};
    names[0] = mix;
    EXPECT_EQ(shapes->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], kUnknownName);
    EXPECT_EQ(shapes->GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_INVALIDARG);
    EXPECT_EQ(shapes->GetIDsOfNames(IID_NULL, names, 1, 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(shapes->GetIDsOfNames(IID_NULL, names, 0, 0, ids), E_INVALIDARG);
    shapes->Release();
}

TEST(DispatchTypeInfo, TypeLibraryOfTheProgramFile) {
    IDispatch* letters = NewLetters();
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(0x1);
    EXPECT_EQ(letters->GetTypeInfo(0, 0x409, nullptr), E_POINTER);
#ifdef _WIN32
    // Windows: the test program carries the type library as its TYPELIB resource.
    ASSERT_EQ(letters->GetTypeInfo(0, 0x409, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_ILinkListCollection));
    EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
    info->ReleaseTypeAttr(attributes);
    // The dual interface's virtual-table side: ITEM in slot 14, its index and its item by
    // address, as the collection's own table has it.
    HREFTYPE reference = 0;
    ASSERT_EQ(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
    ITypeInfo* table = nullptr;
    ASSERT_EQ(info->GetRefTypeInfo(reference, &table), S_OK);
    FUNCDESC* item = nullptr;
    ASSERT_EQ(table->GetFuncDesc(7, &item), S_OK);
    EXPECT_EQ(item->memid, 8);
    EXPECT_EQ(item->oVft, 14 * static_cast<SHORT>(sizeof(void*)));
    EXPECT_EQ(item->elemdescFunc.tdesc.vt, VT_HRESULT);
    ASSERT_EQ(item->cParams, 2);
    EXPECT_EQ(item->lprgelemdescParam[0].tdesc.lptdesc->vt, VT_I4);
    EXPECT_EQ(item->lprgelemdescParam[1].tdesc.lptdesc->vt, VT_VARIANT);
    table->ReleaseFuncDesc(item);
    table->Release();
    OLECHAR itemName[] = L"ITEM";
    LPOLESTR names[] = {itemName};
    MEMBERID id = 0;
    ASSERT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK);
    EXPECT_EQ(id, 8);
    BSTR name = nullptr;
    ASSERT_EQ(info->GetDocumentation(6, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(TextOf(name), "INDEX");
    SysFreeString(name);
    info->Release();
    info = reinterpret_cast<ITypeInfo*>(0x1);
    EXPECT_EQ(letters->GetTypeInfo(2, 0x409, &info), E_FAIL);  // the library holds two
    EXPECT_EQ(info, nullptr);
#else
    // The portable host has no type libraries: neither the file nor a .TLB beside it loads.
    EXPECT_EQ(letters->GetTypeInfo(0, 0x409, &info), E_FAIL);
    EXPECT_EQ(info, nullptr);
#endif
    letters->Release();
}

TEST(DispatchInvoke, ItemCountAndIndexOfTheCollection) {
    IDispatch* letters = NewLetters();
    VARIANT result = Textv("stale");  // released by Invoke

    // ITEM with the text "2": converted for the call, the second item returned; the
    // argument, passed by value to a by-reference parameter, receives the converted value.
    VARIANT argument = Textv("2");
    ASSERT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, &argument, 1, &result), S_OK);
    EXPECT_TRUE(HoldsText(result, "B")) << DescribeVariant(result);
    EXPECT_TRUE(SameVariant(argument, I4v(2)));
    VariantClear(&result);

    // Out of range: the collection's soft failure with an empty result.
    VARIANT beyond = I4v(4);
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, &beyond, 1, &result), S_FALSE);
    EXPECT_EQ(result.vt, VT_EMPTY);

    VARIANT two[] = {I4v(1), I4v(2)};
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, two, 2, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(InvokeWith(letters, 11, DISPATCH_PROPERTYPUT, two, 1, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeWith(letters, 99, DISPATCH_METHOD, nullptr, 0, &result), DISP_E_MEMBERNOTFOUND);

    // COUNT: only as a method, and only with a place for its result.
    EXPECT_EQ(InvokeWith(letters, 5, DISPATCH_METHOD, nullptr, 0, nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeWith(letters, 5, DISPATCH_PROPERTYGET, nullptr, 0, &result),
              DISP_E_MEMBERNOTFOUND);
    ASSERT_EQ(InvokeWith(letters, 5, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0, &result),
              S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(3)));

    // INDEX with a by-reference VT_I2: called with a 32-bit integer, written back in 2 bytes.
    SHORT cells[2] = {2, 0x7777};
    VARIANT position = ByRef(VT_I2, &cells[0]);
    ASSERT_EQ(InvokeWith(letters, 6, DISPATCH_METHOD, &position, 1, &result), S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(1)));  // the previous cursor, 1 for a new collection
    EXPECT_EQ(cells[0], 2);
    EXPECT_EQ(cells[1], 0x7777);
    EXPECT_EQ(position.vt, VT_BYREF | VT_I2);
    ASSERT_EQ(InvokeWith(letters, 6, DISPATCH_METHOD, nullptr, 0, &result), S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(2)));  // no index: the cursor, unchanged
    letters->Release();
}

// Arguments of the parameter's own kind take a shorter way than converted ones: both must
// leave the same result and the same argument, which receives its working copy whole.
TEST(DispatchInvoke, ArgumentsOfTheParametersKindAndConvertedOnesAlike) {
    struct Row {
        const char* what;
        DISPID id;
        VARIANT argument;
        HRESULT expected;
        const char* text;  // the result's text; null: the result is `result`
        VARIANT result;
        VARIANT argumentAfter;
    };
    const Row rows[] = {
        {"ITEM, VT_I4", 8, I4v(2), S_OK, "B", {}, I4v(2)},
        {"ITEM, VT_I2", 8, I2v(2), S_OK, "B", {}, I4v(2)},
        {"ITEM, VT_R8", 8, R8v(3), S_OK, "C", {}, I4v(3)},
        {"ITEM beyond, VT_I4", 8, I4v(9), S_FALSE, nullptr, {}, I4v(9)},
        {"INDEX, VT_I4", 6, I4v(3), S_OK, nullptr, I4v(1), I4v(3)},
        {"REMOVE beyond, VT_I4", 11, I4v(0), S_FALSE, nullptr, {}, I4v(0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        IDispatch* letters = NewLetters();
        VARIANT argument = row.argument;
        argument.wReserved1 = 0x5A5A;  // not part of the value
        VARIANT result{};
        EXPECT_EQ(InvokeWith(letters, row.id, DISPATCH_METHOD, &argument, 1, &result),
                  row.expected);
        if (row.text)
            EXPECT_TRUE(HoldsText(result, row.text)) << DescribeVariant(result);
        else
            EXPECT_TRUE(SameVariant(result, row.result)) << DescribeVariant(result);
        EXPECT_TRUE(SameVariant(argument, row.argumentAfter)) << DescribeVariant(argument);
        // Of the parameter's kind it has the working copy's zeros there; converted, what the
        // system's conversion left (Wine leaves other bytes).
        if (row.argument.vt == VT_I4) {
            EXPECT_EQ(argument.wReserved1, 0);
        }
        VariantClear(&result);
        letters->Release();
    }

    // The result in the argument's own place: released and typed first, so INDEX is called
    // with 0 (no position), and the write-back of that argument is what stays.
    IDispatch* letters = NewLetters();
    VARIANT both = I4v(3);
    DISPPARAMS parameters{&both, nullptr, 1, 0};
    EXPECT_EQ(
        letters->Invoke(6, IID_NULL, 0x409, DISPATCH_METHOD, &parameters, &both, nullptr, nullptr),
        S_OK);
    EXPECT_TRUE(SameVariant(both, I4v(0))) << DescribeVariant(both);
    letters->Release();
}

TEST(DispatchInvoke, NamedArgumentsAndItemValues) {
    IDispatch* letters = NewLetters();
    // INSERT(INDEX, QUARKITEM) by name, in any order.
    VARIANT arguments[] = {Textv("X"), I4v(1)};
    DISPID named[] = {1, 0};
    ASSERT_EQ(
        InvokeWith(letters, 7, DISPATCH_METHOD, arguments, 2, nullptr, nullptr, nullptr, named, 2),
        S_OK);
    // Positional: the last declared first.
    VARIANT positional[] = {Textv("Y"), I4v(5)};
    ASSERT_EQ(InvokeWith(letters, 7, DISPATCH_METHOD, positional, 2, nullptr), S_OK);
    // One named after one positional: INDEX by position, QUARKITEM by name.
    VARIANT mixed[] = {Textv("Z"), I4v(2)};
    DISPID item[] = {1};
    ASSERT_EQ(InvokeWith(letters, 7, DISPATCH_METHOD, mixed, 2, nullptr, nullptr, nullptr, item, 1),
              S_OK);

    // ADD of a by-reference integer stores its value; of a by-reference item value, the item.
    LONG number = 42;
    VARIANT byReference = ByRef(VT_I4, &number);
    ASSERT_EQ(InvokeWith(letters, 3, DISPATCH_METHOD, &byReference, 1, nullptr), S_OK);
    VARIANT inner = Textv("W");
    VARIANT itemReference = ByRef(VT_VARIANT, &inner);
    ASSERT_EQ(InvokeWith(letters, 3, DISPATCH_METHOD, &itemReference, 1, nullptr), S_OK);
    number = 7;

    IUnknown* unknown = nullptr;
    letters->QueryInterface(IID_ILinkListCollection, reinterpret_cast<void**>(&unknown));
    auto* collection = static_cast<ILinkListCollection*>(unknown);
    EXPECT_EQ(Contents(collection),
              (std::vector<std::string>{"X", "Z", "A", "B", "C", "Y", "42", "W"}));
    collection->Release();
    for (VARIANT* v : {&arguments[0], &positional[0], &mixed[0], &inner}) VariantClear(v);
    letters->Release();
}

TEST(DispatchInvoke, EveryParameterShapeOfTheTestClass) {
    DispatchTestTables tables;
    IDispatch* shapes = NewShapes();
    VARIANT result;
    VariantInit(&result);

    // 16-byte item value by value: all 16 bytes arrive, the reference goes with a copy.
    VARIANT item = CYv(0x0102030405060708LL);
    ASSERT_EQ(InvokeWith(shapes, 1, DISPATCH_METHOD, &item, 1, &result), S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(16)));
    EXPECT_EQ(std::memcmp(&shapesSeen.item, &item, sizeof item), 0);
    EXPECT_EQ(shapesSeen.self, static_cast<IUnknown*>(shapes));

    // 32-bit and 8-byte kinds by value, converted from other kinds on the way.
    ValueObject object;
    VARIANT objectValue{};
    objectValue.vt = VT_DISPATCH;
    objectValue.pdispVal = &object;
    VARIANT mix[] = {objectValue, I4v(12), Textv("1.5"), Textv("0.25"),
                     R8v(5e9),    I4v(3),  Textv("-2"),  R8v(254.5)};  // the last declared first
    ASSERT_EQ(InvokeWith(shapes, 2, DISPATCH_METHOD, mix, 8, &result), S_OK);
    EXPECT_EQ(shapesSeen.small, 254);  // half to even
    EXPECT_EQ(shapesSeen.shortValue, -2);
    EXPECT_EQ(shapesSeen.real, 3.0);
    EXPECT_EQ(shapesSeen.wide, 5000000000LL);
    EXPECT_EQ(shapesSeen.single, 0.25f);
    EXPECT_EQ(shapesSeen.money.int64, 15000);
    EXPECT_EQ(shapesSeen.object, &object);
    EXPECT_TRUE(SameVariant(result, R8v(254 - 2 + 3.0 + 5e9 + 0.25 + 1.5)));
    EXPECT_EQ(object.references, 1);  // the working copy's reference is given back
    for (int i : {2, 3, 6}) VariantClear(&mix[i]);

    // Omitted arguments: zero by value, a null address by reference, VT_ERROR for items.
    VARIANT omitted[4];
    for (VARIANT& v : omitted) v = Errorv(DISP_E_PARAMNOTFOUND);
    shapesSeen.first = 99;
    ASSERT_EQ(InvokeWith(shapes, 3, DISPATCH_METHOD, omitted, 4, &result), S_OK);
    EXPECT_EQ(shapesSeen.first, 0);
    EXPECT_EQ(shapesSeen.second, nullptr);
    EXPECT_EQ(shapesSeen.third.vt, VT_ERROR);
    EXPECT_EQ(shapesSeen.fourthKind, VT_ERROR);
    // Not given at all: all-zero working copies, an integer by reference points at a zero.
    ASSERT_EQ(InvokeWith(shapes, 3, DISPATCH_METHOD, nullptr, 0, &result), S_OK);
    ASSERT_NE(shapesSeen.second, nullptr);
    EXPECT_EQ(shapesSeen.third.vt, VT_EMPTY);
    // An omission marker where the parameter may not be omitted.
    VARIANT marker = Errorv(DISP_E_PARAMNOTFOUND);
    UINT argumentError = 9;
    EXPECT_EQ(InvokeWith(shapes, 1, DISPATCH_METHOD, &marker, 1, &result, nullptr, &argumentError),
              DISP_E_PARAMNOTOPTIONAL);

    // Property put by the published named identifier; property get of the same identifier.
    VARIANT value = Textv("123");
    DISPID put = DISPID_PROPERTYPUT;
    ASSERT_EQ(
        InvokeWith(shapes, 7, DISPATCH_PROPERTYPUT, &value, 1, nullptr, nullptr, nullptr, &put, 1),
        S_OK);
    EXPECT_EQ(shapesSeen.propertyValue, 123);
    VariantClear(&value);
    ASSERT_EQ(InvokeWith(shapes, 7, DISPATCH_PROPERTYGET, nullptr, 0, &result), S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(123)));
    EXPECT_EQ(InvokeWith(shapes, 7, DISPATCH_METHOD, nullptr, 0, &result), DISP_E_MEMBERNOTFOUND);
    shapes->Release();
}

TEST(DispatchInvoke, WriteBackOfEachReferencedKind) {
    DispatchTestTables tables;
    IDispatch* shapes = NewShapes();
    SHORT small[2] = {1, 0x5555};
    BSTR text = SysAllocString(WSTR("old"));
    double real[2] = {1.25, 9.0};
    VARIANT held = I4v(5);
    VARIANT arguments[] = {ByRef(VT_VARIANT, &held), ByRef(VT_R8, &real[0]), ByRef(VT_BSTR, &text),
                           ByRef(VT_I2, &small[0])};
    EXPECT_EQ(InvokeWith(shapes, 6, DISPATCH_METHOD, arguments, 4, nullptr), S_FALSE);
    EXPECT_EQ(small[0], 300);
    EXPECT_EQ(small[1], 0x5555);
    EXPECT_EQ(TextOf(text), "new");  // the old string was released
    EXPECT_EQ(real[0], 2.5);
    EXPECT_EQ(real[1], 9.0);
    EXPECT_TRUE(HoldsText(held, "item"));

    // A caller's VT_UI1 cannot take 300: nothing is stored and the call reports it.
    BYTE byte = 1;
    arguments[3] = ByRef(VT_UI1, &byte);
    EXPECT_EQ(InvokeWith(shapes, 6, DISPATCH_METHOD, arguments, 4, nullptr), DISP_E_BADVARTYPE);
    EXPECT_EQ(byte, 1);
    SysFreeString(text);
    VariantClear(&held);
    shapes->Release();
}

TEST(DispatchInvoke, NegativeResultsCarryTheThreadsExceptionInformation) {
    DispatchTestTables tables;
    IDispatch* shapes = NewShapes();
    EXCEPINFO exception;
    std::memset(&exception, 0xAB, sizeof exception);
    ASSERT_EQ(InvokeWith(shapes, 4, DISPATCH_METHOD, nullptr, 0, nullptr, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, kFailure);
    EXPECT_EQ(TextOf(exception.bstrSource), "Shapes");
    EXPECT_EQ(TextOf(exception.bstrDescription), "Shapes failed");
    EXPECT_EQ(TextOf(exception.bstrHelpFile), "shapes.hlp");
    EXPECT_EQ(exception.dwHelpContext, 77u);
    EXPECT_EQ(exception.wCode, 0);
    EXPECT_EQ(exception.pfnDeferredFillIn, nullptr);
    ThreadRecord* record = FindThreadRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->exceptionSource, nullptr);
    EXPECT_EQ(record->exceptionEntry, 0u);
    for (BSTR* text : {&exception.bstrSource, &exception.bstrDescription, &exception.bstrHelpFile})
        RuntimeFreeString(*text);

    // Information left for another entry is not this call's.
    std::memset(&exception, 0, sizeof exception);
    ASSERT_EQ(InvokeWith(shapes, 5, DISPATCH_METHOD, nullptr, 0, nullptr, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, kFailure);
    EXPECT_EQ(exception.bstrSource, nullptr);
    EXPECT_EQ(record->exceptionEntry, FailEntry());

    // Without an EXCEPINFO the pending information is freed, not left for a later call.
    for (BSTR* text :
         {&record->exceptionSource, &record->exceptionDescription, &record->exceptionHelpFile}) {
        RuntimeFreeString(*text);
        *text = nullptr;
    }
    const allocation_seam::Counters before = allocation_seam::Read();
    EXPECT_EQ(InvokeWith(shapes, 4, DISPATCH_METHOD, nullptr, 0, nullptr, nullptr),
              DISP_E_EXCEPTION);
    const allocation_seam::Counters after = allocation_seam::Read();
    EXPECT_EQ(after.allocations - before.allocations, 3);
    EXPECT_EQ(after.frees - before.frees, 3);
    EXPECT_EQ(record->exceptionSource, nullptr);
    EXPECT_EQ(record->exceptionEntry, 0u);
    shapes->Release();
}

TEST(DispatchBadInput, MalformedArgumentListsAreRefused) {
    IDispatch* letters = NewLetters();
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(letters->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, nullptr, &result, nullptr, nullptr),
              E_INVALIDARG);
    DISPPARAMS noArray{nullptr, nullptr, 1, 0};
    EXPECT_EQ(letters->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &noArray, &result, nullptr, nullptr),
              E_INVALIDARG);
    VARIANT one = I4v(1);
    DISPPARAMS noNames{&one, nullptr, 1, 1};
    EXPECT_EQ(letters->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &noNames, &result, nullptr, nullptr),
              E_INVALIDARG);
    DISPID id = 0;
    DISPPARAMS moreNamed{&one, &id, 1, 2};
    EXPECT_EQ(
        letters->Invoke(8, IID_NULL, 0, DISPATCH_METHOD, &moreNamed, &result, nullptr, nullptr),
        E_INVALIDARG);

    std::vector<VARIANT> many(40, I4v(1));
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, many.data(), 33, &result),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(InvokeWith(letters, 8, 0, &one, 1, &result), DISP_E_MEMBERNOTFOUND);

    // Named identifiers beyond the parameters, or two arguments for one parameter.
    UINT argumentError = 99;
    DISPID beyond[] = {1};
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, &one, 1, &result, nullptr, &argumentError,
                         beyond, 1),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argumentError, 0u);
    VARIANT pair[] = {I4v(1), I4v(2)};
    DISPID twice[] = {0, 0};
    EXPECT_EQ(InvokeWith(letters, 7, DISPATCH_METHOD, pair, 2, nullptr, nullptr, &argumentError,
                         twice, 2),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argumentError, 1u);
    DISPID clash[] = {0};  // INSERT: INDEX named, and INDEX again as the one positional
    EXPECT_EQ(InvokeWith(letters, 7, DISPATCH_METHOD, pair, 2, nullptr, nullptr, &argumentError,
                         clash, 1),
              DISP_E_PARAMNOTFOUND);
    letters->Release();
}

TEST(DispatchBadInput, ArgumentsThatCannotBeReadAreRefused) {
    IDispatch* letters = NewLetters();
    VARIANT result;
    VariantInit(&result);
    UINT argumentError = 99;
    VARIANT arguments[] = {I4v(0), ByRef(VT_I4, nullptr)};  // INSERT(INDEX = null reference)
    EXPECT_EQ(
        InvokeWith(letters, 7, DISPATCH_METHOD, arguments, 2, nullptr, nullptr, &argumentError),
        DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 1u);
    VARIANT nullItem = ByRef(VT_VARIANT, nullptr);
    EXPECT_EQ(
        InvokeWith(letters, 3, DISPATCH_METHOD, &nullItem, 1, nullptr, nullptr, &argumentError),
        DISP_E_TYPEMISMATCH);
    LONG* nowhere = nullptr;
    VARIANT innerNull = ByRef(VT_I4, nowhere);
    VARIANT toInnerNull = ByRef(VT_VARIANT, &innerNull);
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, &toInnerNull, 1, &result),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(result.vt, VT_VARIANT);  // released and typed before the failure (item value)
    // Item values by reference three deep: further than the copy follows.
    VARIANT deepest = I4v(1);
    VARIANT deeper = ByRef(VT_VARIANT, &deepest);
    VARIANT deep = ByRef(VT_VARIANT, &deeper);
    VARIANT top = ByRef(VT_VARIANT, &deep);
    EXPECT_EQ(InvokeWith(letters, 3, DISPATCH_METHOD, &top, 1, nullptr), DISP_E_TYPEMISMATCH);
    // Undefined kinds.
    VARIANT undefined = I4v(1);
    undefined.vt = 0x7F;
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, &undefined, 1, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(InvokeWith(letters, 3, DISPATCH_METHOD, &undefined, 1, nullptr), DISP_E_TYPEMISMATCH);
    // ITEM of a text that is no number: the result keeps the type word of ITEM's result.
    VARIANT text = Textv("two");
    result = Textv("stale");
    EXPECT_EQ(InvokeWith(letters, 8, DISPATCH_METHOD, &text, 1, &result, nullptr, &argumentError),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argumentError, 0u);
    EXPECT_EQ(result.vt, VT_VARIANT);
    EXPECT_EQ(result.llVal, 0);              // the stale text was released and the value zeroed
    EXPECT_EQ(TextOf(text.bstrVal), "two");  // not written back after a failure
    VariantClear(&text);
    letters->Release();
}

TEST(DispatchTables, EveryTypeCodeWithAKind) {
    const std::vector<std::pair<BYTE, VARTYPE>> kinds = {
        {0x00, VT_UI1},      {0x01, VT_UI2},  {0x02, VT_UI4},  {0x04, VT_I2}, {0x05, VT_I4},
        {0x08, VT_I8},       {0x0a, VT_R4},   {0x0b, VT_R8},   {0x0d, VT_CY}, {0x11, VT_VARIANT},
        {0x12, VT_DISPATCH}, {0x17, VT_BSTR}, {0x1b, VT_BSTR}, {0x1e, VT_I4}, {0x1f, VT_R4}};
    for (unsigned code = 0; code < 256; ++code) {
        VARTYPE expected = VT_ILLEGAL;
        for (const auto& [half, kind] : kinds)
            if (half == code) expected = kind;
        EXPECT_EQ(KindOfTypeCode(static_cast<BYTE>(code)), expected) << "code / 2 = " << code;
    }
}

TEST(DispatchBadInput, RowsTheCallCannotExpress) {
    DispatchTestTables tables;
    IDispatch* shapes = NewShapes();
    VARIANT result = Textv("released");
    EXPECT_EQ(InvokeWith(shapes, 9, DISPATCH_METHOD, nullptr, 0, &result), DISP_E_BADVARTYPE);
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(InvokeWith(shapes, 8, DISPATCH_METHOD, nullptr, 0, nullptr), DISP_E_BADVARTYPE);
    EXPECT_EQ(InvokeWith(shapes, 10, DISPATCH_METHOD, nullptr, 0, nullptr), DISP_E_BADCALLEE);
    EXPECT_EQ(shapesSeen.calls, 0);
    shapes->Release();
}

}  // namespace
