// LoadCursorA: the stock arrow only. The display shows its own arrow over every window, so
// the handle is a token that nothing draws from.
#include "platform/win32.h"

namespace {
struct StockCursor {
    int id;
} arrow{32512};
}  // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance || name != IDC_ARROW) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(&arrow);
}
