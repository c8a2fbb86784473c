// A test-only built-in class for late-bound calls, in its own method-name and dispatch
// descriptor tables (installed in place of the program's for the life of a
// DispatchTestTables object), whose methods take every parameter shape the descriptor
// format can express and record what they received. Class 8, "SHAPES":
//   1 TAKEITEM(VALUE item by value) -> I4: the 16 bytes received; result 16
//   2 MIX(SMALL UI1, SHORT I2, REAL R8, WIDE I8, SINGLE R4, MONEY CY, TEXT BSTR,
//         OBJECT DISPATCH) all by value -> R8: the sum of the numbers
//   3 OPTIONAL(FIRST I4, SECOND I4 by ref, THIRD item, FOURTH item by ref), all omissible
//         -> I4: 4
//   4 FAIL() -> none: returns kFailure with pending exception information for itself
//   5 FAILOTHER() -> none: returns kFailure; the information pending names FAIL
//   6 BYREFS(A I2, B BSTR, C R8, D item), all by reference -> none: A = 300,
//         B = "new", C *= 2, D = "item"; returns S_FALSE
//   7 VALUE: property put (kind 4) of one I4; property get (kind 2) -> I4
//   8 BADPARAMETER(X code 0x03), 9 BADRESULT() -> code 0x03, 10 HUGE(33 parameters)
//   11 a method named by 255 characters 'N'
#pragma once

#include "runtime/runtime_globals.h"
#include "platform/win32.h"

constexpr ULONG kShapesClass = 8;
constexpr HRESULT kFailure = static_cast<HRESULT>(0x800A0005);

// What the last method call received.
struct ShapesSeen {
    IUnknown* self;
    VARIANT item;
    BYTE small;
    SHORT shortValue;
    double real;
    LONGLONG wide;
    float single;
    CY money;
    BSTR text;  // borrowed: valid during the call only
    IDispatch* object;
    LONG first;
    LONG* second;
    VARIANT third;
    VARTYPE fourthKind;  // of the item the fourth address points at; VT_ILLEGAL for null
    LONG propertyValue;
    int calls;
};
extern ShapesSeen shapesSeen;

class DispatchTestTables {
   public:
    DispatchTestTables();
    ~DispatchTestTables();
    DispatchTestTables(const DispatchTestTables&) = delete;
    DispatchTestTables& operator=(const DispatchTestTables&) = delete;

   private:
    ModuleTables saved_;
};

// A new SHAPES instance, reached through IDispatch, reference count 1.
IDispatch* NewShapes();

// Invokes `id` with `arguments` given in DISPPARAMS order (the last declared first).
HRESULT InvokeWith(IDispatch* object, DISPID id, WORD kinds, VARIANT* arguments, UINT count,
                   VARIANT* result, EXCEPINFO* exception = nullptr, UINT* argumentError = nullptr,
                   DISPID* named = nullptr, UINT namedCount = 0);

// The entry address the FAIL row names (what FAIL stores as the pending entry).
UINT_PTR FailEntry();
