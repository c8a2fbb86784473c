// What the SDL2 backend does to its windows on X11 that SDL does not: our window class
// (WM_CLASS) instead of the executable's name, and no compose table for an input method the
// program never uses. Only the X11 headers' own types; nothing of SDL.
#pragma once

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

}  // namespace x11_window
