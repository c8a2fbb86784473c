// The display backend contract: what USER32 on the portable host needs from the screen.
// Native windows are named by a nonzero id; all calls but Wake and ShowMessageBox belong to
// the one thread that opened the display (the UI thread). The SDL2 backend implements it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace display {

/// Opens the display once per process (later calls report the first result). False, with a
/// one-line reason, when there is none (no X server, no DISPLAY).
bool Open(std::string* reason);

/// True once Open has succeeded.
bool IsOpen();

/// A new hidden window with a client area of width x height, the title and (on X11) the
/// WM_CLASS `className`; x, y < 0 let the display choose the place. 0 on failure.
uint32_t CreateWindow(const char* title, const char* className, int x, int y, int width, int height,
                      bool resizable);
void DestroyWindow(uint32_t window);

enum class ShowState { Hidden, Normal, Minimized, Maximized };
void Show(uint32_t window, ShowState state);

/// Where the client area's top-left corner is on the screen.
void ClientPosition(uint32_t window, int* x, int* y);

/// Sets the window's icon from 0xAARRGGBB pixels, rows top-down.
void SetIcon(uint32_t window, int width, int height, const uint32_t* pixels);

/// Puts width x height client pixels (0xAARRGGBB, rows top-down, alpha ignored) on the
/// screen; what lies beyond the window's current size is cut off.
void Present(uint32_t window, const uint32_t* pixels, int width, int height);

/// The pixels last put on the screen for the window, as 0x00RRGGBB (for tests).
bool ReadScreen(uint32_t window, std::vector<uint32_t>* pixels, int* width, int* height);

enum class EventKind {
    None,
    Close,    // the user asked to close the window
    Exposed,  // part of the window must be drawn again
    Resized,  // new client size in x, y
    Moved,    // new client position in x, y
    Minimized,
    Restored,
    KeyDown,  // key: virtual-key code, alt: Alt held
    KeyUp,
    MouseMove,   // x, y client coordinates; buttons: MK_ flags
    ButtonDown,  // button 1 left, 2 middle, 3 right
    ButtonUp,
};

struct Event {
    EventKind kind = EventKind::None;
    uint32_t window = 0;
    int x = 0;
    int y = 0;
    int key = 0;
    int button = 0;
    int buttons = 0;
    bool alt = false;
};

/// Takes the next pending event without waiting; false when there is none.
bool PollEvent(Event* event);

/// Waits until an event is pending or Wake is called, without polling.
void WaitForEvent();

/// Ends a WaitForEvent of the UI thread; callable from any thread, also before the display
/// is open (then it does nothing).
void Wake();

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class BoxIcon { None, Error, Warning, Information };

/// Shows a modal message box and returns the 0-based index of the chosen button (the
/// default, 0, when the box is closed otherwise); -1 when no box can be shown. Any thread.
int ShowMessageBox(const std::string& caption, const std::string& text, BoxButtons buttons,
                   BoxIcon icon, uint32_t owner);

}  // namespace display
