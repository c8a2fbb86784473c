// Last object result per thread. The run-time error for negative results joins the error
// handling when it lands; collections never return one.
#include "runtime/object_result.h"

namespace {
thread_local HRESULT lastObjectResult = S_OK;
}

void CheckObjectResult(HRESULT result) {
    lastObjectResult = result;
}

HRESULT LastObjectResult() {
    return lastObjectResult;
}
