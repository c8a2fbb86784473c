// The platform trace. Recording is cheap when disabled: one relaxed load. Besides the
// in-memory list for unit tests, the environment variable HANOI_PLATFORM_TRACE names a
// file that receives every event with its wall-clock time, for the whole-program
// measurements of bench/ (the portable layer's own diagnostics; the program reads nothing).
#include "platform/trace.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace platform_trace {
namespace {
std::atomic<bool> enabled{false};
std::atomic<bool> instantSleep{false};
std::mutex eventsLock;
std::function<void(const Event&)> observer;  // guarded by eventsLock
std::FILE* OpenSink() {
    const char* path = std::getenv("HANOI_PLATFORM_TRACE");
    return path && *path ? std::fopen(path, "w") : nullptr;
}
std::FILE* const sink = OpenSink();

void WriteToSink(const char* call, const std::string& detail) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(sink, "%lld.%09ld %s %s\n", static_cast<long long>(now.tv_sec), now.tv_nsec, call,
                 detail.c_str());
    std::fflush(sink);
}

std::vector<Event>& EventList() {
    static std::vector<Event>* events = new std::vector<Event>();  // outlives every thread
    return *events;
}
}  // namespace

void Enable(bool on) {
    enabled.store(on);
}
bool Enabled() {
    return enabled.load(std::memory_order_relaxed);
}

bool Recording() {
    return sink || Enabled();
}

void Clear() {
    std::lock_guard<std::mutex> guard(eventsLock);
    EventList().clear();
}

std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(eventsLock);
    return EventList();
}

void Record(const char* call, const std::string& detail) {
    if (sink) {
        std::lock_guard<std::mutex> guard(eventsLock);
        WriteToSink(call, detail);
    }
    if (!Enabled()) return;
    std::function<void(const Event&)> notify;
    Event event{call, detail};
    {
        std::lock_guard<std::mutex> guard(eventsLock);
        EventList().push_back(event);
        notify = observer;
    }
    if (notify) notify(event);
}

void SetObserver(std::function<void(const Event&)> newObserver) {
    std::lock_guard<std::mutex> guard(eventsLock);
    observer = std::move(newObserver);
}

void SetInstantSleep(bool on) {
    instantSleep.store(on);
}
bool InstantSleep() {
    return instantSleep.load(std::memory_order_relaxed);
}

}  // namespace platform_trace
