// The process entry: after the host's C/C++ start-up code, the run-time takes over.
#include "app/program_main.h"

int main() {
    return ProgramMain(nullptr, nullptr, nullptr, 1);
}
