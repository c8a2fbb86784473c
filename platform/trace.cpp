// The test-only platform trace. Recording is cheap when disabled: one relaxed load.
#include "platform/trace.h"

#include <atomic>
#include <mutex>

namespace platform_trace {
namespace {
std::atomic<bool> enabled{false};
std::atomic<bool> instantSleep{false};
std::mutex eventsLock;
std::function<void(const Event&)> observer;  // guarded by eventsLock
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

void Clear() {
    std::lock_guard<std::mutex> guard(eventsLock);
    EventList().clear();
}

std::vector<Event> Events() {
    std::lock_guard<std::mutex> guard(eventsLock);
    return EventList();
}

void Record(const char* call, const std::string& detail) {
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
