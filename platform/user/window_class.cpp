// Window classes: RegisterClassA and the class table.
#include "platform/run_allocations.h"
#include "platform/trace.h"
#include "platform/user/window_state.h"

#include <cctype>
#include <vector>

namespace {

std::mutex classesLock;
std::vector<std::shared_ptr<const user_state::ClassState>>& Classes() {
    static auto* classes = new std::vector<std::shared_ptr<const user_state::ClassState>>();
    return *classes;
}

bool SameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == 0;
}

}  // namespace

std::shared_ptr<const user_state::ClassState> user_state::FindClass(LPCSTR name) {
    if (!name) return nullptr;
    std::lock_guard<std::mutex> guard(classesLock);
    for (auto& entry : Classes()) {
        if (IS_INTRESOURCE(name) ? entry->atom == LOWORD(name) : SameName(entry->name, name))
            return entry;
    }
    return nullptr;
}

ATOM RegisterClassA(const WNDCLASSA* record) {
    if (!record || !record->lpfnWndProc || !record->lpszClassName ||
        IS_INTRESOURCE(record->lpszClassName) || !record->lpszClassName[0] ||
        record->cbClsExtra != 0 || record->cbWndExtra != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (record->lpszMenuName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    platform_trace::Record("RegisterClassA", std::string("name=") + record->lpszClassName +
                                                 " style=" + std::to_string(record->style));
    if (!run_allocations::Allow()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    auto entry = std::make_shared<user_state::ClassState>();
    entry->name = record->lpszClassName;
    entry->record = *record;
    entry->record.lpszClassName = nullptr;
    std::lock_guard<std::mutex> guard(classesLock);
    for (auto& existing : Classes()) {
        if (SameName(existing->name, record->lpszClassName)) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    entry->atom = static_cast<ATOM>(0xC000 + Classes().size());
    Classes().push_back(entry);
    return entry->atom;
}
