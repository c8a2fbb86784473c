// A window made with plain Xlib while SDL2 is still loading, so that the first frame does
// not wait for SDL: loading it and starting its video took more than half the time to the
// first picture. The window is made as SDL's X11 driver makes its own (the same input mask,
// protocols and hints), on a connection that is then lent to SDL: the program's own
// XOpenDisplay hands it to SDL's driver, which takes the window over with
// SDL_CreateWindowFrom. One connection matters because a window manager's close request
// (WM_DELETE_WINDOW) goes to the client that made the window, and that must be the client
// SDL reads. Only the X11 headers' own types; nothing of SDL.
#pragma once

#include "platform/display/display.h"

struct _XDisplay;

namespace x11_early_window {

// Starts opening OpenConnection's connection on a thread of its own. A connection takes
// 1.5 to 3 ms here (the longer for the first client after the server has reset, as it does
// when its last client leaves); begun before main(), they pass while the program starts.
void StartOpening();

// Waits until a connection StartOpening began is open (or has failed), and leaves it to
// OpenConnection. Xlib's locks are not carried through fork(): a child forked while the
// connection is being opened would find them held for ever.
void FinishOpening();

// A connection to the X server DISPLAY names, when its default visual takes the frames as
// they are (24-bit 0x00RRGGBB in 32-bit words); nullptr otherwise or when there is none.
// Takes the one StartOpening began (waiting for it), else opens one now.
_XDisplay* OpenConnection();

// A new unmapped top-level window as `spec` asks, with SDL's input mask, WM_DELETE_WINDOW and
// _NET_WM_PING, the size hints of a fixed-size window unless resizable, and the class and
// trace line of x11_window::AdoptWindow. 0 on failure.
unsigned long Create(_XDisplay* connection, const display::SurfaceSpec& spec);

void Map(_XDisplay* connection, unsigned long window);
void Unmap(_XDisplay* connection, unsigned long window);
void Destroy(_XDisplay* connection, unsigned long window);

// Closes a connection that was never lent (SDL closes the one it took).
void Close(_XDisplay* connection);

// Where the window's top-left corner is on the screen.
void Position(_XDisplay* connection, unsigned long window, int* x, int* y);

// Sets _NET_WM_ICON (straight-alpha 0xAARRGGBB pixels, as SDL sets it).
void SetIcon(_XDisplay* connection, unsigned long window, const display::Frame& icon);

// The next XOpenDisplay of this thread for the same server returns `connection` instead of
// a new one. EndLending stops lending and says whether the connection was taken.
void LendToNextOpen(_XDisplay* connection);
bool EndLending();

}  // namespace x11_early_window
