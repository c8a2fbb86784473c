// Loading SDL2 with dlopen, once per process, on a thread of its own or by the first caller.
#include "platform/display/sdl_library.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>

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
    cpu_set_t cpus;  // the process's CPUs, which the loading thread allows itself once running
    bool cpusKnown = false;
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

void* RunLoader(void*) {
    Loader& loader = TheLoader();
    if (loader.cpusKnown) pthread_setaffinity_np(pthread_self(), sizeof loader.cpus, &loader.cpus);
    LoadAndPublish(loader);
    return nullptr;
}

// A new thread is queued on its parent's CPU and waits there for the parent's time slice
// (about 3 ms here) even when another CPU is idle. The loader works beside the program's own
// start, so it is started on the process's other CPUs; once running it allows itself all.
bool StartLoaderThread(Loader& loader) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    loader.cpusKnown = sched_getaffinity(0, sizeof loader.cpus, &loader.cpus) == 0;
    if (loader.cpusKnown) {
        cpu_set_t others = loader.cpus;
        const int current = sched_getcpu();
        if (current >= 0 && current < CPU_SETSIZE) CPU_CLR(current, &others);
        if (CPU_COUNT(&others) > 0) pthread_attr_setaffinity_np(&attributes, sizeof others, &others);
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, RunLoader, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

// Whether this caller is the one to load: the first to ask, of StartLoading and Get.
bool ClaimLoad(Loader& loader) {
    std::lock_guard<std::mutex> hold(loader.lock);
    if (loader.stage != Stage::kNotStarted) return false;
    loader.stage = Stage::kLoading;
    return true;
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
    if (ClaimLoad(loader) && !StartLoaderThread(loader))
        LoadAndPublish(loader);  // no thread to be had: load here
}

const Calls* Get(std::string* failure) {
    Loader& loader = TheLoader();
    if (ClaimLoad(loader)) LoadAndPublish(loader);
    std::unique_lock<std::mutex> hold(loader.lock);
    loader.done.wait(hold, [&loader] { return loader.stage == Stage::kDone; });
    if (loader.loaded) return &loader.calls;
    if (failure) *failure = loader.failure;
    return nullptr;
}

}  // namespace sdl_library
