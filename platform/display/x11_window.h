// What the SDL2 backend does to its windows on X11 that SDL does not: our window class
// (WM_CLASS) instead of the executable's name, no compose table for an input method the
// program never uses, and frames put with XPutImage. Only the X11 headers' own types;
// nothing of SDL.
#pragma once

#include <cstdint>
#include <vector>

struct _XDisplay;

namespace x11_window {

// Gives the X11 window `window` of `display` the WM_CLASS `className` (name and class) and,
// while the platform trace records, writes its X11 id ("DisplayWindow x11=ID title=TITLE")
// so that whole-program tests find it without searching the screen. Call before the window
// is first mapped, when window managers read the class. Nothing fails loudly: X11 reports
// errors asynchronously.
void AdoptWindow(_XDisplay* display, unsigned long window, const char* className,
                 const char* title);

// Names an empty compose table (XCOMPOSEFILE=/dev/null) unless the user named one: opening
// X11's input method otherwise parses the locale's table, thousands of lines and a good part
// of the start-up time, for a window that takes no text input. Call before the display opens.
void SkipComposeTable();

// Puts `width` x `height` pixels (0x00RRGGBB words, rows of `width`, top-down) at the top
// left of `window`, whose depth must be 24 with 32-bit pixels laid out as those words, and
// waits until the server has them. XPutImage sends the frame through the connection: SDL's
// window surface is a new shared-memory segment, and its first frame costs a page fault per
// 4 KB on both sides of the connection, which made it the slowest step of the first picture.
void PutFrame(_XDisplay* display, unsigned long window, const uint32_t* pixels, int width,
              int height);

// Reads the window's pixels back from the server as 0x00RRGGBB words. False, with nothing
// read, when the window is not viewable or not wholly on the screen (the server has no
// pixels for it then) or the read fails.
bool ReadFrame(_XDisplay* display, unsigned long window, std::vector<uint32_t>* pixels,
               int* width, int* height);

}  // namespace x11_window
