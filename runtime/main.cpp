// The process entry: after the host's C/C++ start-up code, the run-time takes over.
#include "platform/win32.h"

int main() { return 0; }
