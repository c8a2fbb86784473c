// The display's free functions: each calls the chosen backend's operation. The choice is a
// pointer set before the display opens and only read afterwards.
#include "platform/display/display.h"

#include "platform/display/sdl_backend.h"

#include <atomic>

namespace display {
namespace {

// SDL2 by default (what users run); tests pick the headless backend with UseBackend.
std::atomic<const Backend*> chosen{nullptr};

const Backend& Current() {
    const Backend* backend = chosen.load();
    return backend ? *backend : SdlBackend();
}

}  // namespace

bool UseBackend(const Backend& backend) {
    if (Current().isOpen()) return &backend == &Current();
    chosen.store(&backend);
    return true;
}

const Backend& CurrentBackend() {
    return Current();
}

bool Open(std::string* reason) {
    return Current().open(reason);
}

bool IsOpen() {
    return Current().isOpen();
}

SurfaceId CreateSurface(const SurfaceSpec& spec) {
    return IsOpen() ? Current().createSurface(spec) : 0;
}

void DestroySurface(SurfaceId surface) {
    if (surface) Current().destroySurface(surface);
}

void Show(SurfaceId surface, ShowState state) {
    if (surface) Current().show(surface, state);
}

void ClientPosition(SurfaceId surface, int* x, int* y) {
    *x = *y = 0;
    if (surface) Current().clientPosition(surface, x, y);
}

void SetIcon(SurfaceId surface, const Frame& icon) {
    if (surface) Current().setIcon(surface, icon);
}

void Present(SurfaceId surface, const Frame& frame) {
    if (surface) Current().present(surface, frame);
}

bool ReadFrame(SurfaceId surface, std::vector<uint32_t>* pixels, int* width, int* height) {
    return surface && Current().readFrame(surface, pixels, width, height);
}

bool PollEvent(Event* event) {
    return IsOpen() && Current().pollEvent(event);
}

void WaitForEvent() {
    if (IsOpen()) Current().waitForEvent();
}

void Wake() {
    if (IsOpen()) Current().wake();
}

int ShowMessageBox(const std::string& caption, const std::string& text, BoxButtons buttons,
                   BoxIcon icon, SurfaceId owner) {
    return Current().showMessageBox(caption, text, buttons, icon, owner);
}

}  // namespace display
