// The crash report on the portable host: nothing is installed. A crash there ends in a signal
// that the shell and the whole-program runs see, and the sanitizer builds print their own
// stacks from signal handlers that one of ours would replace.
#include "runtime/crash_filter.h"

void InstallCrashReport() {}
