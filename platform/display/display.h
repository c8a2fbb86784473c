// The display contract: what USER32 on the portable host needs from the screen, in the
// display's own terms (surfaces, frames, pointer and key events with its own codes; no Win32
// names). A backend is one record of operations over one state struct of its own; the free
// functions below call the chosen backend. All calls but Wake and ShowMessageBox belong to
// the one thread that opened the display (the UI thread).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace display {

// A surface (a top-level window on the desktop) is named by a nonzero id.
using SurfaceId = uint32_t;

enum class ShowState { kHidden, kNormal, kMinimized, kMaximized };

// What a new surface asks for. x, y < 0 let the display choose the place.
struct SurfaceSpec {
    const char* title = "";
    const char* className = "";  // the desktop's window class (WM_CLASS on X11)
    int x = -1;
    int y = -1;
    int width = 1;  // the client area, without the desktop's frame
    int height = 1;
    bool resizable = false;
};

// width x height pixels 0xAARRGGBB, rows top-down.
struct Frame {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Keys the display reports; others are dropped. A..Z, Digit0..Digit9 and F1..F12 are runs.
enum class Key : uint16_t {
    kNoKey = 0,
    kA = 0x100,
    kZ = kA + 25,
    kDigit0 = 0x200,
    kDigit9 = kDigit0 + 9,
    kF1 = 0x300,
    kF12 = kF1 + 11,
    kReturn = 0x400,
    kEscape,
    kBackspace,
    kTab,
    kSpace,
    kDelete,
    kLeft,
    kRight,
    kUp,
    kDown,
    kShift,
    kControl,
    kAlt,
};

enum class PointerButton { kNoButton, kLeft, kMiddle, kRight };

// Bits of Event::buttons: the pointer buttons held.
constexpr unsigned kHeldLeft = 1, kHeldMiddle = 2, kHeldRight = 4;

enum class EventKind {
    kNoEvent,
    kClose,    // the user asked to close the surface
    kExposed,  // part of the surface must be drawn again
    kResized,  // new client size in x, y
    kMoved,    // new client position in x, y
    kMinimized,
    kRestored,
    kKeyDown,  // key, alt: Alt held
    kKeyUp,
    kPointerMove,  // x, y client coordinates; buttons: kHeld* bits
    kPointerDown,  // button, x, y, buttons
    kPointerUp,
};

struct Event {
    EventKind kind = EventKind::kNoEvent;
    SurfaceId surface = 0;
    int x = 0;
    int y = 0;
    Key key = Key::kNoKey;
    PointerButton button = PointerButton::kNoButton;
    unsigned buttons = 0;
    bool alt = false;
};

enum class BoxButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel, kAbortRetryIgnore };
enum class BoxIcon { kNoIcon, kError, kWarning, kInformation };

// One backend: its operations, each with the meaning of the free function of the same name.
struct Backend {
    const char* name;
    bool (*open)(std::string* reason);
    bool (*isOpen)();
    SurfaceId (*createSurface)(const SurfaceSpec& spec);
    void (*destroySurface)(SurfaceId surface);
    void (*show)(SurfaceId surface, ShowState state);
    void (*clientPosition)(SurfaceId surface, int* x, int* y);
    void (*setIcon)(SurfaceId surface, const Frame& icon);
    void (*present)(SurfaceId surface, const Frame& frame);
    bool (*readFrame)(SurfaceId surface, std::vector<uint32_t>* pixels, int* width, int* height);
    bool (*pollEvent)(Event* event);
    void (*waitForEvent)();
    void (*wake)();
    int (*showMessageBox)(const std::string& caption, const std::string& text, BoxButtons buttons,
                          BoxIcon icon, SurfaceId owner);
};

// Makes `backend` the display of this process. The SDL2 backend serves unless another is
// chosen before the display is first opened. True when `backend` serves from now on; false
// (nothing changed) once another backend has opened the display.
bool UseBackend(const Backend& backend);

// The backend in use.
const Backend& CurrentBackend();

// Opens the display (the SDL2 backend tries once per process and reports that result
// later). False, with a one-line reason, when there is none (no X server, no DISPLAY).
bool Open(std::string* reason);

// True once Open has succeeded.
bool IsOpen();

// A new hidden surface as `spec` asks; 0 on failure.
SurfaceId CreateSurface(const SurfaceSpec& spec);
void DestroySurface(SurfaceId surface);

void Show(SurfaceId surface, ShowState state);

// Where the client area's top-left corner is on the screen.
void ClientPosition(SurfaceId surface, int* x, int* y);

// Sets the surface's icon (straight alpha).
void SetIcon(SurfaceId surface, const Frame& icon);

// Puts the frame on the screen (alpha ignored); what lies beyond the surface's current size
// is cut off.
void Present(SurfaceId surface, const Frame& frame);

// The pixels last put on the screen for the surface, as 0x00RRGGBB, at the surface's size.
bool ReadFrame(SurfaceId surface, std::vector<uint32_t>* pixels, int* width, int* height);

// Takes the next pending event without waiting; false when there is none.
bool PollEvent(Event* event);

// Waits until an event is pending or Wake is called, without polling.
void WaitForEvent();

// Ends a WaitForEvent of the UI thread; callable from any thread, also before the display
// is open (then it does nothing).
void Wake();

// Shows a modal message box and returns the 0-based index of the chosen button (the
// default, 0, when the box is closed otherwise); -1 when no box can be shown. Any thread.
int ShowMessageBox(const std::string& caption, const std::string& text, BoxButtons buttons,
                   BoxIcon icon, SurfaceId owner);

}  // namespace display
