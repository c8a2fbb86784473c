// The running-object announcements of this process: RegisterActiveObject, RevokeActiveObject
// and GetActiveObject over one list.
#include "platform/win32.h"

#include <mutex>
#include <vector>

namespace {

struct Announcement {
    CLSID classId;
    IUnknown* object;
    bool strong;
    DWORD cookie;
};

std::mutex runningLock;
DWORD nextRunningCookie = 1;
std::vector<Announcement>& Announcements() {
    static auto* announcements = new std::vector<Announcement>();  // outlives every thread
    return *announcements;
}

}  // namespace

HRESULT RegisterActiveObject(IUnknown* object, REFCLSID classId, DWORD flags, LPDWORD cookie) {
    if (!object || !cookie) return E_INVALIDARG;
    if (flags != ACTIVEOBJECT_STRONG && flags != ACTIVEOBJECT_WEAK) return E_INVALIDARG;
    const bool strong = flags == ACTIVEOBJECT_STRONG;
    if (strong) object->AddRef();
    std::lock_guard<std::mutex> guard(runningLock);
    *cookie = nextRunningCookie++;
    Announcements().push_back(Announcement{classId, object, strong, *cookie});
    return S_OK;
}

HRESULT RevokeActiveObject(DWORD cookie, LPVOID) {
    Announcement found{};
    bool known = false;
    {
        std::lock_guard<std::mutex> guard(runningLock);
        auto& all = Announcements();
        for (auto it = all.begin(); it != all.end(); ++it) {
            if (it->cookie != cookie) continue;
            found = *it;
            known = true;
            all.erase(it);
            break;
        }
    }
    if (!known) return E_INVALIDARG;
    if (found.strong) found.object->Release();  // outside the lock: it may run any code
    return S_OK;
}

HRESULT GetActiveObject(REFCLSID classId, LPVOID, IUnknown** object) {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    std::lock_guard<std::mutex> guard(runningLock);
    for (const Announcement& a : Announcements()) {
        if (a.classId != classId) continue;
        a.object->AddRef();
        *object = a.object;
        return S_OK;
    }
    return MK_E_UNAVAILABLE;
}
