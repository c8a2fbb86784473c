// The in-memory display backend: surfaces are pixel buffers nobody sees, events come only from
// Inject. Tests choose it with UseHeadlessDisplay, read what was presented and play the desktop
// (close button, size changes, keys, pointer) through the functions below; no SDL involved.
// Unlike a desktop it shows no message box (ShowMessageBox gives -1).
#pragma once

#include "platform/display/display.h"

#include <string>
#include <vector>

namespace display {

// The headless backend's record (one per process).
const Backend& HeadlessBackend();

// Makes the headless backend the display of this process; false when another backend has
// opened the display already.
bool UseHeadlessDisplay();

namespace headless {

// What the display knows of one surface.
struct SurfaceInfo {
    std::string title;
    std::string className;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool resizable = false;
    ShowState shown = ShowState::kHidden;
    int iconWidth = 0;  // 0 until an icon is set
    int iconHeight = 0;
    int presents = 0;  // frames presented so far
};

// The newest live surface titled `title`, or 0.
SurfaceId FindSurface(const std::string& title);

// The surface's state; false for an unknown surface.
bool Describe(SurfaceId surface, SurfaceInfo* info);

// Queues `event` as if the desktop had sent it, and ends a WaitForEvent. A Resized event also
// gives the surface its new size (cleared to black, as a desktop's new buffer is) and a Moved
// event its new place, as a desktop does before it reports them. Any thread.
void Inject(const Event& event);

// Switched off, Open fails as without a desktop ("no display available (...)"); surfaces
// made before stay. On by default.
void SetAvailable(bool available);

}  // namespace headless
}  // namespace display
