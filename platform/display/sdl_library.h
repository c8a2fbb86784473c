// SDL2, loaded at run time instead of by the program's loader. Debian's SDL2 brings some
// forty libraries with it; mapping and relocating them before main() took longer than any
// other step of the start-up. Loaded on a thread of its own, they arrive while the program
// goes on: on X11 once the first frame is on the screen (it needs no SDL), elsewhere while
// the program starts and decodes its icons.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <string>

namespace sdl_library {

// The SDL calls the display backend makes, by their names without the SDL_ prefix.
#define SDL_LIBRARY_CALLS(X)                                                                  \
    X(ConvertPixels)                                                                          \
    X(CreateRGBSurfaceWithFormatFrom)                                                         \
    X(CreateWindow)                                                                           \
    X(CreateWindowFrom)                                                                       \
    X(Delay)                                                                                  \
    X(DestroyWindow)                                                                          \
    X(FreeSurface)                                                                            \
    X(GetError)                                                                               \
    X(GetMouseState)                                                                          \
    X(GetWindowFlags)                                                                         \
    X(GetWindowFromID)                                                                        \
    X(GetWindowID)                                                                            \
    X(GetWindowPixelFormat)                                                                   \
    X(GetWindowPosition)                                                                      \
    X(GetWindowSurface)                                                                       \
    X(GetWindowWMInfo)                                                                        \
    X(HideWindow)                                                                             \
    X(InitSubSystem)                                                                          \
    X(LockSurface)                                                                            \
    X(MaximizeWindow)                                                                         \
    X(MinimizeWindow)                                                                         \
    X(PollEvent)                                                                              \
    X(PushEvent)                                                                              \
    X(RegisterEvents)                                                                         \
    X(RestoreWindow)                                                                          \
    X(SetHint)                                                                                \
    X(SetWindowIcon)                                                                          \
    X(ShowMessageBox)                                                                         \
    X(ShowWindow)                                                                             \
    X(UnlockSurface)                                                                          \
    X(UpdateWindowSurface)                                                                    \
    X(WaitEvent)

struct Calls {
#define SDL_LIBRARY_MEMBER(name) decltype(&::SDL_##name) name = nullptr;
    SDL_LIBRARY_CALLS(SDL_LIBRARY_MEMBER)
#undef SDL_LIBRARY_MEMBER
};

// The library's name as the dynamic loader finds it (SDL2's soname on every Linux).
inline constexpr const char* kLibraryName = "libSDL2-2.0.so.0";

// Loads `library` (kept loaded for the rest of the process, as a linked one would be) and
// looks up every call in it. False, with the dynamic loader's reason or the first call
// missing in `failure`, when it cannot.
bool LoadCalls(const char* library, Calls* calls, std::string* failure);

// Starts loading SDL2 on a thread of its own; later calls, and calls once it is loaded, do
// nothing.
void StartLoading();

// The loaded calls, waiting for a load in progress (or loading here when none was started).
// Null when SDL2 cannot be loaded or lacks one of the calls, with the dynamic loader's reason
// in `failure`. Every answer after the first is the same.
const Calls* Get(std::string* failure);

}  // namespace sdl_library
