// The process entry: after the host's C/C++ start-up code, the run-time takes over.
#include "program/module_tables.h"

int main() {
    RuntimeStartup(HanoiProgram());
}
