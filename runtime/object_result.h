// The check that follows every object method call made by program code.
#pragma once

#include "platform/win32.h"

// Reloads the control word 0x133F, records `result` as the calling thread's last object
// result in its ThreadRecord and raises kErrorObjectCallFailed when it is negative. Returns
// `result`.
HRESULT CheckObjectResult(HRESULT result);
// The calling thread's last recorded object result; S_OK when the thread has no record.
HRESULT LastObjectResult();
