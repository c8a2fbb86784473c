// IDispatch::Invoke of built-in objects: the call described by the dispatch descriptor row
// of the instance's class, with arguments converted in and written back, and a failing
// method's exception information taken over from the calling thread's record.
#include "objects/builtin_dispatch.h"

#include "objects/builtin_object.h"
#include "objects/class_tables.h"
#include "objects/dispatch_call.h"
#include "objects/dispatch_tables.h"
#include "runtime/memory.h"
#include "runtime/thread_record.h"

#include <cstring>

namespace {

void ReleaseAndZero(VARIANT* value) {
    if (OwnsSomething(value->vt)) VariantClear(value);
    std::memset(value, 0, sizeof *value);
}

// The caller's argument list must be readable as it describes itself before anything in it
// is touched.
HRESULT CheckArgumentList(const DISPPARAMS* arguments) {
    if (!arguments) return E_INVALIDARG;
    if (arguments->cNamedArgs > arguments->cArgs) return E_INVALIDARG;
    if (arguments->cArgs && !arguments->rgvarg) return E_INVALIDARG;
    if (arguments->cNamedArgs && !arguments->rgdispidNamedArgs) return E_INVALIDARG;
    return S_OK;
}

// A row the argument slots can hold and the native call can express.
HRESULT CheckRow(const DispatchRowHead* row) {
    if (row->parameterCount > kMaxDispatchParameters) return DISP_E_BADCALLEE;
    for (BYTE i = 0; i < row->parameterCount; ++i)
        if (ParameterKind(DispatchRowParameter(row, i)) == VT_ILLEGAL) return DISP_E_BADVARTYPE;
    return S_OK;
}

// The row for a request, whether it can be called, and how. Clients call one member over
// and over, so each thread remembers its last answer; the tables themselves never change,
// and a table registered in place of another is a different key.
struct FoundRow {
    const DispatchRowHead* row;
    HRESULT check;
    CallPlan plan;
};
FoundRow FindRow(ULONG classNumber, DISPID id, WORD kinds) {
    struct Memo {
        const DispatchRowHead* table;
        ULONG classNumber;
        DISPID id;
        WORD kinds;
        FoundRow found;
    };
    thread_local Memo last{};
    const void* registered = TheRuntime.tables.dispatchDescriptors;
    const DispatchRowHead* table = registered ? static_cast<const DispatchRowHead*>(registered)
                                              : ProgramObjectTables().dispatchDescriptors;
    if (last.table == table && last.classNumber == classNumber && last.id == id &&
        last.kinds == kinds)
        return last.found;
    FoundRow found{FindDispatchRow(table, classNumber, id, kinds), S_OK, {}};
    if (found.row) found.check = CheckRow(found.row);
    if (found.row && SUCCEEDED(found.check)) found.plan = PlanCall(found.row);
    last = Memo{table, classNumber, id, kinds, found};
    return found;
}

VARTYPE ResultKind(const DispatchRowHead* row) {
    return row->resultType > 0xFF ? VARTYPE{VT_ILLEGAL}
                                  : KindOfTypeCode(static_cast<BYTE>(row->resultType));
}

void FreeRecordString(BSTR* text) {
    RuntimeFreeString(*text);
    *text = nullptr;
}

// A negative method result: DISP_E_EXCEPTION, with the exception information the method
// left in the thread's record when it is for this code and this entry. Information that no
// EXCEPINFO receives is freed all the same, so a later call cannot pick it up.
HRESULT RaiseException(const DispatchRowHead* row, HRESULT code, EXCEPINFO* exception) {
    if (exception) {
        std::memset(exception, 0, sizeof *exception);
        exception->scode = code;
    }
    ThreadRecord* record = FindThreadRecord();
    if (record && record->exceptionResult == code &&
        record->exceptionEntry == reinterpret_cast<UINT_PTR>(row->entry)) {
        if (exception) {
            exception->bstrSource = record->exceptionSource;
            exception->bstrDescription = record->exceptionDescription;
            exception->bstrHelpFile = record->exceptionHelpFile;
            exception->dwHelpContext = record->exceptionHelpContext;
            record->exceptionSource = nullptr;
            record->exceptionDescription = nullptr;
            record->exceptionHelpFile = nullptr;
        } else {
            FreeRecordString(&record->exceptionSource);
            FreeRecordString(&record->exceptionDescription);
            FreeRecordString(&record->exceptionHelpFile);
        }
        record->exceptionHelpContext = 0;
        record->exceptionEntry = 0;
        record->exceptionResult = S_OK;
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT STDMETHODCALLTYPE BuiltinInvoke(IDispatch* self, DISPID id, REFIID, LCID locale, WORD kinds,
                                        DISPPARAMS* arguments, VARIANT* result,
                                        EXCEPINFO* exception, UINT* argumentError) {
    if (!self) return E_POINTER;
    HRESULT hr = CheckArgumentList(arguments);
    if (FAILED(hr)) return hr;
    const FoundRow found = FindRow(DataBlockOf(self)->classNumber, id, kinds);
    const DispatchRowHead* row = found.row;
    if (!row) return DISP_E_MEMBERNOTFOUND;
    if (FAILED(found.check)) return found.check;
    const UINT count = row->parameterCount;
    if (arguments->cArgs > count) return DISP_E_BADPARAMCOUNT;

    VARTYPE resultKind = VT_EMPTY;
    VARIANT* methodResultAddress = nullptr;
    if (row->resultType >= 0) {
        if ((kinds & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) || !result)
            return DISP_E_MEMBERNOTFOUND;
        ReleaseAndZero(result);
        resultKind = ResultKind(row);
        if (resultKind == VT_ILLEGAL) return DISP_E_BADVARTYPE;
        // Typed with the result's kind, also VT_VARIANT for an item value: a failure before
        // the call leaves the result so.
        result->vt = resultKind;
        methodResultAddress = result;
    } else if (result) {
        ReleaseAndZero(result);  // no result: the caller's VARIANT reads as empty
    }

    HRESULT methodResult = S_OK;
    if (CallWithPlainNumbers(row, found.plan, self, *arguments, methodResultAddress, resultKind,
                             &methodResult)) {
        if (FAILED(methodResult)) return RaiseException(row, methodResult, exception);
        return methodResult;
    }
    ParameterSlot slots[kMaxDispatchParameters];
    hr = PlaceArguments(*arguments, row, slots, argumentError);
    if (SUCCEEDED(hr)) hr = MakeWorkingCopies(slots, count, locale, argumentError);
    if (SUCCEEDED(hr)) {
        // VT_VARIANT alone is no value (nothing could release or copy into it): the method
        // stores its item into an empty VARIANT.
        if (resultKind == VT_VARIANT) result->vt = VT_EMPTY;
        hr = CallNative(row, found.plan, self, slots, methodResultAddress, resultKind,
                        &methodResult);
    }
    if (FAILED(hr)) {
        ReleaseWorkingCopies(slots, count);
        return hr;
    }
    const HRESULT written = WriteBack(slots, count, locale);
    ReleaseWorkingCopies(slots, count);
    // A failed method outranks a failed write-back: its exception is what the client needs.
    if (FAILED(methodResult)) return RaiseException(row, methodResult, exception);
    return FAILED(written) ? written : methodResult;
}
