// Process exit for the portable host.
#include "platform/run_allocations.h"
#include "platform/trace.h"
#include "platform/win32.h"

#include <cstdio>
#include <string>
#include <unistd.h>

void ExitProcess(UINT exitCode) {
    if (platform_trace::Recording())
        platform_trace::Record("Allocations", "made=" + std::to_string(run_allocations::Made()));
    std::fflush(nullptr);
    _exit(static_cast<int>(exitCode & 0xFF));
}
