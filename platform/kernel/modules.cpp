// Libraries for the portable host: LoadLibraryA and friends over dlopen. Loaded libraries are
// remembered with their names and load counts so that handles can be checked and found by
// name.
#include "platform/win32.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Library {
    void* handle;
    std::string path;  // as dlopen resolved it
    long loads;
};

std::mutex librariesLock;
std::vector<Library>& Libraries() {
    static auto* libraries = new std::vector<Library>();  // outlives every thread
    return *libraries;
}

std::string ProgramPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ResolvedPath(void* handle) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
    return map->l_name;
}

void* Open(const char* name) {
    if (!std::strchr(name, '/')) {
        const std::string program = ProgramPath();
        const size_t slash = program.rfind('/');
        if (slash != std::string::npos) {
            const std::string beside = program.substr(0, slash + 1) + name;
            if (access(beside.c_str(), F_OK) == 0)
                if (void* handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
        }
    }
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

Library* Find(HMODULE module) {
    for (Library& library : Libraries())
        if (library.handle == module) return &library;
    return nullptr;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* handle = Open(name);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(librariesLock);
    if (Library* known = Find(handle)) {
        ++known->loads;  // dlopen counted this load too; FreeLibrary's dlclose undoes it
    } else {
        Libraries().push_back(Library{handle, ResolvedPath(handle), 1});
    }
    return handle;
}

BOOL FreeLibrary(HMODULE module) {
    std::lock_guard<std::mutex> guard(librariesLock);
    Library* library = module ? Find(module) : nullptr;
    if (!library) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--library->loads == 0)
        Libraries().erase(Libraries().begin() + (library - Libraries().data()));
    dlclose(module);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    void* handle = nullptr;
    if (module && module == GetModuleHandleA(nullptr)) {
        handle = dlopen(nullptr, RTLD_NOW);  // the program itself; stays loaded
    } else {
        std::lock_guard<std::mutex> guard(librariesLock);
        if (module && Find(module)) handle = module;
    }
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* address = IS_INTRESOURCE(name) ? nullptr : dlsym(handle, name);
    if (!address) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(address);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    std::string path;
    if (!module || module == GetModuleHandleA(nullptr)) {
        path = ProgramPath();
    } else {
        std::lock_guard<std::mutex> guard(librariesLock);
        if (const Library* library = Find(module)) path = library->path;
    }
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE FindLoadedLibrary(LPCSTR name) {
    std::lock_guard<std::mutex> guard(librariesLock);
    for (const Library& library : Libraries())
        if (library.path == name || BaseName(library.path) == name) return library.handle;
    return nullptr;
}
