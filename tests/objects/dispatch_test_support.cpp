// The SHAPES test class: its tables, its native methods and its instances.
#include "tests/objects/dispatch_test_support.h"

#include "objects/builtin_dispatch.h"
#include "objects/builtin_instance.h"
#include "objects/builtin_object.h"
#include "objects/builtin_unknown.h"
#include "objects/class_table_layout.h"
#include "runtime/memory.h"
#include "runtime/thread_record.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

ShapesSeen shapesSeen;

namespace {

HRESULT STDMETHODCALLTYPE TakeItem(IUnknown* self, VARIANT item, LONG* result) {
    ++shapesSeen.calls;
    shapesSeen.self = self;
    shapesSeen.item = item;
    *result = 16;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Mix(IUnknown* self, BYTE small, SHORT shortValue, double real,
                              LONGLONG wide, float single, CY money, BSTR text, IDispatch* object,
                              double* result) {
    ++shapesSeen.calls;
    shapesSeen.self = self;
    shapesSeen.small = small;
    shapesSeen.shortValue = shortValue;
    shapesSeen.real = real;
    shapesSeen.wide = wide;
    shapesSeen.single = single;
    shapesSeen.money = money;
    shapesSeen.text = text;
    shapesSeen.object = object;
    *result = small + shortValue + real + static_cast<double>(wide) + single +
              static_cast<double>(money.int64) / 10000;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Optional(IUnknown* self, LONG first, LONG* second, VARIANT third,
                                   VARIANT* fourth, LONG* result) {
    ++shapesSeen.calls;
    shapesSeen.self = self;
    shapesSeen.first = first;
    shapesSeen.second = second;
    shapesSeen.third = third;
    shapesSeen.fourthKind = fourth ? fourth->vt : VARTYPE{VT_ILLEGAL};
    *result = 4;
    return S_OK;
}

BSTR RecordText(const char* ascii) {
    std::u16string wide(ascii, ascii + std::strlen(ascii));
    return RuntimeAllocWideString(reinterpret_cast<const OLECHAR*>(wide.data()),
                                  static_cast<UINT>(wide.size()));
}

// Leaves exception information in the thread's record for FAIL's entry, as the run-time's
// error routine does for a method that fails.
void LeavePendingException() {
    ThreadRecord* record = GetThreadRecord();
    record->exceptionEntry = FailEntry();
    record->exceptionResult = kFailure;
    record->exceptionSource = RecordText("Shapes");
    record->exceptionDescription = RecordText("Shapes failed");
    record->exceptionHelpFile = RecordText("shapes.hlp");
    record->exceptionHelpContext = 77;
}

HRESULT STDMETHODCALLTYPE Fail(IUnknown*) {
    ++shapesSeen.calls;
    LeavePendingException();
    return kFailure;
}

HRESULT STDMETHODCALLTYPE FailOther(IUnknown*) {
    ++shapesSeen.calls;
    LeavePendingException();  // for FAIL's entry, not this one
    return kFailure;
}

HRESULT STDMETHODCALLTYPE ByRefs(IUnknown*, SHORT* a, BSTR* b, double* c, VARIANT* d) {
    ++shapesSeen.calls;
    *a = 300;
    SysFreeString(*b);
    *b = SysAllocString(WSTR("new"));
    *c *= 2;
    VariantClear(d);
    d->vt = VT_BSTR;
    d->bstrVal = SysAllocString(WSTR("item"));
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE PutValue(IUnknown*, LONG value) {
    ++shapesSeen.calls;
    shapesSeen.propertyValue = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE GetValue(IUnknown*, LONG* result) {
    ++shapesSeen.calls;
    *result = shapesSeen.propertyValue;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE NoOp(IUnknown*) {
    ++shapesSeen.calls;
    return S_OK;
}

template <typename Function>
const void* Slot(Function function) {
    return reinterpret_cast<const void*>(function);
}

// Method-name table: one class group, built once.
void AddWord(std::vector<BYTE>& table, ULONG word) {
    for (int i = 0; i < 4; ++i) table.push_back(static_cast<BYTE>(word >> (8 * i)));
}
void AddEntry(std::vector<BYTE>& table, ULONG id, std::initializer_list<std::string> names) {
    AddWord(table, id);
    for (const std::string& name : names) {
        table.push_back(static_cast<BYTE>(name.size()));
        table.insert(table.end(), name.begin(), name.end());
    }
    table.push_back(0);
}
const std::vector<BYTE>& MethodNames() {
    static const std::vector<BYTE> table = [] {
        std::vector<BYTE> t;
        AddWord(t, kShapesClass);
        AddEntry(t, 1, {"TAKEITEM", "VALUE"});
        AddEntry(t, 2,
                 {"MIX", "SMALL", "SHORT", "REAL", "WIDE", "SINGLE", "MONEY", "TEXT", "OBJECT"});
        AddEntry(t, 3, {"OPTIONAL", "FIRST", "SECOND", "THIRD", "FOURTH"});
        AddEntry(t, 4, {"FAIL"});
        AddEntry(t, 5, {"FAILOTHER"});
        AddEntry(t, 6, {"BYREFS", "A", "B", "C", "D"});
        AddEntry(t, 7, {"VALUE"});
        AddEntry(t, 8, {"BADPARAMETER", "X"});
        AddEntry(t, 9, {"BADRESULT"});
        AddEntry(t, 10, {"HUGE"});
        AddEntry(t, 11, {std::string(255, 'N')});
        AddWord(t, 0);  // end of the group
        AddWord(t, 0);  // end of the table
        return t;
    }();
    return table;
}

constexpr SHORT kNone = kNoResult;
constexpr BYTE kMethod = DISPATCH_METHOD;

#pragma pack(push, 1)
struct ShapesRows {
    DispatchRow<1> takeItem;
    DispatchRow<8> mix;
    DispatchRow<4> optional;
    DispatchRow<0> fail;
    DispatchRow<0> failOther;
    DispatchRow<4> byRefs;
    DispatchRow<1> putValue;
    DispatchRow<0> getValue;
    DispatchRow<1> badParameter;
    DispatchRow<0> badResult;
    DispatchRow<33> huge;
    DispatchRow<0> longName;
    ULONG end;
};
#pragma pack(pop)

constexpr ULONG C = kShapesClass;
const ShapesRows kRows = {
    {{C, 1, kMethod, Slot(&TakeItem), 0x05, 1}, {0x0011}},
    {{C, 2, kMethod, Slot(&Mix), 0x0b, 8}, {0x12, 0x1b, 0x0d, 0x0a, 0x08, 0x0b, 0x04, 0x00}},
    {{C, 3, kMethod, Slot(&Optional), 0x05, 4}, {0x0A11, 0x0811, 0x0A05, 0x0805}},
    {{C, 4, kMethod, Slot(&Fail), kNone, 0}},
    {{C, 5, kMethod, Slot(&FailOther), kNone, 0}},
    {{C, 6, kMethod, Slot(&ByRefs), kNone, 4}, {0x0211, 0x020b, 0x021b, 0x0204}},
    {{C, 7, DISPATCH_PROPERTYPUT, Slot(&PutValue), kNone, 1}, {0x0005}},
    {{C, 7, DISPATCH_PROPERTYGET, Slot(&GetValue), 0x05, 0}},
    {{C, 8, kMethod, Slot(&NoOp), kNone, 1}, {0x0003}},
    {{C, 9, kMethod, Slot(&NoOp), 0x03, 0}},
    {{C, 10, kMethod, Slot(&NoOp), kNone, 33}, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,
                                                5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
    {{C, 11, kMethod, Slot(&NoOp), kNone, 0}},
    0,
};

#define DISPATCH_SLOTS                                                                          \
    Slot(&BuiltinQueryInterface), Slot(&BuiltinAddRef), Slot(&BuiltinRelease),                  \
        Slot(&BuiltinGetTypeInfoCount), Slot(&BuiltinGetTypeInfo), Slot(&BuiltinGetIDsOfNames), \
        Slot(&BuiltinInvoke)

struct ShapesDescriptor {
    ClassDescriptorHead head;
    InterfaceEntry<7> dispatch;
    InterfaceEntry<3> unknown;
    TableWord pairCount;
    CleanupEntry cleanup[1];
    TableWord end;
};

const ShapesDescriptor kDescriptor = {
    {0x0001, kShapesClass, nullptr, nullptr, sizeof(ObjectHeader) + sizeof(ObjectCommonWords), 0, 0,
     2},
    {{5, 0, 0, offsetof(ShapesDescriptor, dispatch.table)}, {DISPATCH_SLOTS}, nullptr},
    {{1, 0, 0, offsetof(ShapesDescriptor, unknown.table)},
     {Slot(&BuiltinQueryInterface), Slot(&BuiltinAddRef), Slot(&BuiltinRelease)},
     nullptr},
    0,
    {0},
    0,
};

}  // namespace

UINT_PTR FailEntry() {
    return reinterpret_cast<UINT_PTR>(kRows.fail.head.entry);
}

DispatchTestTables::DispatchTestTables() : saved_(TheRuntime.tables) {
    TheRuntime.tables.methodNames = MethodNames().data();
    TheRuntime.tables.dispatchDescriptors = &kRows.takeItem.head;
    shapesSeen = ShapesSeen{};
}

DispatchTestTables::~DispatchTestTables() {
    TheRuntime.tables = saved_;
}

IDispatch* NewShapes() {
    return static_cast<IDispatch*>(CreateInstanceOnEntry(&kDescriptor.head, 0));
}

HRESULT InvokeWith(IDispatch* object, DISPID id, WORD kinds, VARIANT* arguments, UINT count,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError, DISPID* named,
                   UINT namedCount) {
    DISPPARAMS parameters{arguments, named, count, namedCount};
    return object->Invoke(id, IID_NULL, 0x409, kinds, &parameters, result, exception,
                          argumentError);
}
