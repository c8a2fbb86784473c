// CheckObjectResult: the last object result per thread, kept in its ThreadRecord.
#include "runtime/object_result.h"

#include "runtime/errors.h"
#include "runtime/fpu_control.h"
#include "runtime/proc_frame.h"
#include "runtime/thread_record.h"

HRESULT CheckObjectResult(HRESULT result) {
    RuntimeService service;
    LoadFpuControlWord(kRuntimeFpuControlWord);
    // Without a record (no memory for one) the result is not kept; kErrorObjectCallFailed still is.
    if (ThreadRecord* record = GetThreadRecord()) record->lastObjectResult = result;
    if (FAILED(result)) RaiseError(kErrorObjectCallFailed);
    return result;
}

HRESULT LastObjectResult() {
    ThreadRecord* record = FindThreadRecord();
    return record ? record->lastObjectResult : S_OK;
}
