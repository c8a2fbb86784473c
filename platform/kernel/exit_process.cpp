// Process exit for the portable host.
#include "platform/win32.h"

#include <cstdio>
#include <unistd.h>

void ExitProcess(UINT exitCode) {
    std::fflush(nullptr);
    _exit(static_cast<int>(exitCode & 0xFF));
}
