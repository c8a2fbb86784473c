// Per-thread COM initialisation count for the portable host.
#include "platform/trace.h"
#include "platform/win32.h"

namespace {
thread_local int initialisations = 0;
}  // namespace

HRESULT CoInitialize(LPVOID reserved) {
    platform_trace::Record("CoInitialize", "");
    if (reserved) return E_INVALIDARG;
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    platform_trace::Record("CoUninitialize", "");
    if (initialisations > 0) --initialisations;
}
