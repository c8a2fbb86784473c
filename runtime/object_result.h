// The check that follows every object call made by program code.
#pragma once

#include "platform/win32.h"

// Records `result` as the calling thread's last object result; a negative result is a
// run-time error (99).
void CheckObjectResult(HRESULT result);
// The calling thread's last recorded object result.
HRESULT LastObjectResult();
