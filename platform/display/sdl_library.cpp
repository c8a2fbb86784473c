// Loading SDL2 with dlopen, once per process, on a thread started before main() where a
// desktop is named.
#include "platform/display/sdl_library.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>

#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>

namespace sdl_library {
namespace {

enum class Stage { kNotStarted, kLoading, kDone };

// Never destroyed: the loading thread may still be at work when the process ends.
struct Loader {
    std::mutex lock;
    std::condition_variable done;
    Stage stage = Stage::kNotStarted;
    Calls calls;
    bool loaded = false;
    std::string failure;
};

Loader& TheLoader() {
    static Loader* loader = new Loader;
    return *loader;
}

// Loads outside the lock (a waiter holds none meanwhile) and publishes the result under it.
void LoadAndPublish(Loader& loader) {
    Calls calls;
    std::string failure;
    const bool loaded = LoadCalls(kLibraryName, &calls, &failure);
    std::lock_guard<std::mutex> hold(loader.lock);
    loader.calls = calls;
    loader.loaded = loaded;
    loader.failure = failure;
    loader.stage = Stage::kDone;
    loader.done.notify_all();
}

// Whether a desktop is named for SDL to open. A process without one (the unit tests, a
// console) loads SDL2 only when it asks for it, for a message box.
bool DesktopNamed() {
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

// Started before main(), so that the libraries are being mapped while the program starts.
__attribute__((constructor(101))) void StartLoadingEarly() {
    if (DesktopNamed()) StartLoading();
}

// The loading thread's start: a copy of the process's CPUs to come back to, when known.
struct LoaderStart {
    bool placed = false;
    cpu_set_t everywhere;
};

void* RunLoader(void* argument) {
    auto* start = static_cast<LoaderStart*>(argument);
    if (start->placed)
        pthread_setaffinity_np(pthread_self(), sizeof start->everywhere, &start->everywhere);
    delete start;
    LoadAndPublish(TheLoader());
    return nullptr;
}

// A new thread is queued on its parent's CPU and waits there for the parent's time slice
// (about 3 ms here) even when another CPU is idle. The loader works beside the program's own
// start, so it is started on the process's other CPUs; once running it allows itself all.
bool StartLoaderThread() {
    auto* start = new (std::nothrow) LoaderStart;
    if (!start) return false;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        delete start;
        return false;
    }
    start->placed = sched_getaffinity(0, sizeof start->everywhere, &start->everywhere) == 0;
    if (start->placed) {
        cpu_set_t others = start->everywhere;
        const int current = sched_getcpu();
        if (current >= 0 && current < CPU_SETSIZE) CPU_CLR(current, &others);
        if (CPU_COUNT(&others) > 0) pthread_attr_setaffinity_np(&attributes, sizeof others, &others);
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, RunLoader, start) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) delete start;
    return started;
}

}  // namespace

bool LoadCalls(const char* library, Calls* calls, std::string* failure) {
    void* handle = dlopen(library, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        *failure = reason ? reason : library;
        return false;
    }
#define SDL_LIBRARY_LOOK_UP(name)                                                             \
    calls->name = reinterpret_cast<decltype(calls->name)>(dlsym(handle, "SDL_" #name));       \
    if (!calls->name) {                                                                       \
        *failure = std::string(library) + " has no SDL_" #name;                               \
        return false;                                                                         \
    }
    SDL_LIBRARY_CALLS(SDL_LIBRARY_LOOK_UP)
#undef SDL_LIBRARY_LOOK_UP
    return true;
}

void StartLoading() {
    Loader& loader = TheLoader();
    {
        std::lock_guard<std::mutex> hold(loader.lock);
        if (loader.stage != Stage::kNotStarted) return;
        loader.stage = Stage::kLoading;
    }
    if (!StartLoaderThread()) LoadAndPublish(loader);  // no thread to be had: load here
}

const Calls* Get(std::string* failure) {
    Loader& loader = TheLoader();
    bool loadHere = false;
    {
        std::unique_lock<std::mutex> hold(loader.lock);
        if (loader.stage == Stage::kNotStarted) {
            loader.stage = Stage::kLoading;
            loadHere = true;
        } else {
            loader.done.wait(hold, [&loader] { return loader.stage == Stage::kDone; });
        }
    }
    if (loadHere) LoadAndPublish(loader);
    std::lock_guard<std::mutex> hold(loader.lock);
    if (loader.loaded) return &loader.calls;
    if (failure) *failure = loader.failure;
    return nullptr;
}

}  // namespace sdl_library
