// OLE32 subset for the portable host: per-thread COM initialisation. There is no apartment
// machinery here; the count only keeps CoInitialize and CoUninitialize honest.
#pragma once

#include "platform/types.h"

// Initialises COM on the calling thread: S_OK the first time, S_FALSE when it already is
// (each call must be balanced by CoUninitialize, as on Windows). A non-null `reserved`
// gives E_INVALIDARG. No apartment is created and no message is needed.
HRESULT CoInitialize(LPVOID reserved);
// Undoes one CoInitialize of the calling thread; a call without one does nothing.
void CoUninitialize();
