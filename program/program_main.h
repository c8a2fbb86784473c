// The program's own entry procedure, called by the run-time on the process's first thread.
#pragma once

#include "platform/win32.h"

// Builds the module-level state, shows the window, starts the solver and runs the message
// loop. None of the arguments is used. Returns the exit code, always 0.
LONG ProgramMain(HINSTANCE instance, HINSTANCE previousInstance, LPCWSTR commandLine,
                 LONG showCommand);
