// What start-up reads from the platform before the program runs: the platform check, the
// show command and the command tail.
#pragma once

#include "platform/win32.h"

// The platform check: on anything but the NT platform, the "Win98 No Support" box and exit
// code 255.
void CheckPlatform(const OSVERSIONINFOA& version);

// The show command for ProgramMain: wShowWindow when STARTF_USESHOWWINDOW is set, else
// SW_SHOWDEFAULT.
LONG ShowCommandFrom(const STARTUPINFOA& startup);

// The command tail: the part of a command line after the program name (rules in the .cpp).
// Points into `commandLine`.
LPCWSTR CommandTail(LPCWSTR commandLine);
