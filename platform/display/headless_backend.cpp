// The in-memory display backend: one state struct under one lock, surfaces as pixel buffers
// at their client size, an event queue fed by Inject. Message boxes cannot be shown here.
#include "platform/display/headless_backend.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace display {
namespace headless {
namespace {

struct Surface {
    headless::SurfaceInfo info;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB at info.width x info.height
};

struct HeadlessState {
    std::mutex lock;
    std::condition_variable wake;
    bool available = true;
    bool opened = false;
    bool woken = false;
    SurfaceId next = 1;
    std::map<SurfaceId, Surface> surfaces;
    std::deque<Event> events;
};
HeadlessState state;

void Clear(Surface& surface, int width, int height) {
    surface.info.width = width;
    surface.info.height = height;
    surface.pixels.assign(static_cast<size_t>(width) * height, 0);
}

bool Open(std::string* reason) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.available) {
        if (reason) *reason = "no display available (the headless display is switched off)";
        return false;
    }
    state.opened = true;
    return true;
}

bool IsOpen() {
    std::lock_guard<std::mutex> guard(state.lock);
    return state.opened;
}

SurfaceId CreateSurface(const SurfaceSpec& spec) {
    std::lock_guard<std::mutex> guard(state.lock);
    const SurfaceId id = state.next++;
    Surface& surface = state.surfaces[id];
    surface.info.title = spec.title;
    surface.info.className = spec.className;
    surface.info.x = spec.x < 0 ? 0 : spec.x;
    surface.info.y = spec.y < 0 ? 0 : spec.y;
    surface.info.resizable = spec.resizable;
    Clear(surface, spec.width, spec.height);
    return id;
}

void DestroySurface(SurfaceId surface) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.surfaces.erase(surface);
}

Surface* Find(SurfaceId surface) {
    auto found = state.surfaces.find(surface);
    return found == state.surfaces.end() ? nullptr : &found->second;
}

void Show(SurfaceId id, ShowState shown) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (Surface* surface = Find(id)) surface->info.shown = shown;
}

void ClientPosition(SurfaceId id, int* x, int* y) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (Surface* surface = Find(id)) {
        *x = surface->info.x;
        *y = surface->info.y;
    }
}

void SetIcon(SurfaceId id, const Frame& icon) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (Surface* surface = Find(id)) {
        surface->info.iconWidth = icon.width;
        surface->info.iconHeight = icon.height;
    }
}

void Present(SurfaceId id, const Frame& frame) {
    std::lock_guard<std::mutex> guard(state.lock);
    Surface* surface = Find(id);
    if (!surface) return;
    const int w = std::min(frame.width, surface->info.width);
    const int h = std::min(frame.height, surface->info.height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            surface->pixels[static_cast<size_t>(y) * surface->info.width + x] =
                frame.pixels[static_cast<size_t>(y) * frame.width + x] & 0xFFFFFF;
    surface->info.presents++;
}

bool ReadFrame(SurfaceId id, std::vector<uint32_t>* pixels, int* width, int* height) {
    std::lock_guard<std::mutex> guard(state.lock);
    Surface* surface = Find(id);
    if (!surface) return false;
    *pixels = surface->pixels;
    *width = surface->info.width;
    *height = surface->info.height;
    return true;
}

bool PollEvent(Event* event) {
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.events.empty()) return false;
    *event = state.events.front();
    state.events.pop_front();
    return true;
}

void WaitForEvent() {
    std::unique_lock<std::mutex> guard(state.lock);
    state.wake.wait(guard, [] { return state.woken || !state.events.empty(); });
    state.woken = false;
}

void Wake() {
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.woken = true;
    }
    state.wake.notify_all();
}

int ShowMessageBox(const std::string&, const std::string&, BoxButtons, BoxIcon, SurfaceId) {
    return -1;  // nobody could answer it
}

}  // namespace
}  // namespace headless

const Backend& HeadlessBackend() {
    static const Backend record{
        .name = "headless",
        .open = headless::Open,
        .isOpen = headless::IsOpen,
        .createSurface = headless::CreateSurface,
        .destroySurface = headless::DestroySurface,
        .show = headless::Show,
        .clientPosition = headless::ClientPosition,
        .setIcon = headless::SetIcon,
        .present = headless::Present,
        .readFrame = headless::ReadFrame,
        .pollEvent = headless::PollEvent,
        .waitForEvent = headless::WaitForEvent,
        .wake = headless::Wake,
        .showMessageBox = headless::ShowMessageBox,
    };
    return record;
}

bool UseHeadlessDisplay() {
    return UseBackend(HeadlessBackend());
}

namespace headless {

SurfaceId FindSurface(const std::string& title) {
    std::lock_guard<std::mutex> guard(state.lock);
    for (auto it = state.surfaces.rbegin(); it != state.surfaces.rend(); ++it)
        if (it->second.info.title == title) return it->first;
    return 0;
}

bool Describe(SurfaceId id, SurfaceInfo* info) {
    std::lock_guard<std::mutex> guard(state.lock);
    Surface* surface = Find(id);
    if (surface) *info = surface->info;
    return surface != nullptr;
}

void Inject(const Event& event) {
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (Surface* surface = Find(event.surface)) {
            if (event.kind == EventKind::kResized) Clear(*surface, event.x, event.y);
            if (event.kind == EventKind::kMoved) {
                surface->info.x = event.x;
                surface->info.y = event.y;
            }
        }
        state.events.push_back(event);
    }
    state.wake.notify_all();
}

void SetAvailable(bool available) {
    std::lock_guard<std::mutex> guard(state.lock);
    state.available = available;
}

}  // namespace headless
}  // namespace display
