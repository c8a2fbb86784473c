// Trace of platform calls on the portable host, for tests and measurements. When enabled,
// the calls that matter to the puzzle's tests (repaint requests, sleeps, drawing) are
// appended in order, from any thread. Sleep can be made instant so that a whole solve runs in
// milliseconds. Program code never includes this header.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform_trace {

struct Event {
    std::string call;    // the platform function's name, e.g. "RedrawWindow"
    std::string detail;  // its arguments as text, e.g. "flags=0x401"
};

void Enable(bool on);
bool Enabled();
// True when events go anywhere (the test list or the measurement file): callers can skip
// building an event's text otherwise.
bool Recording();
void Clear();
std::vector<Event> Events();
void Record(const char* call, const std::string& detail);

// Called with every recorded event, on the recording thread, after it is stored; null
// removes the observer. Lets a test look at program state at the moment of a call.
void SetObserver(std::function<void(const Event&)> observer);

void SetInstantSleep(bool on);
bool InstantSleep();

}  // namespace platform_trace
