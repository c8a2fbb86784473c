// The SDL2 display backend: what users run. Windows with a software surface on X11 (or
// Wayland), SDL's message boxes; never SDL's invisible drivers unless SDL_VIDEODRIVER asks.
#pragma once

#include "platform/display/display.h"

namespace display {

// The SDL2 backend's record (one per process).
const Backend& SdlBackend();

}  // namespace display
