// The program's module as the run-time sees it: its data tables, its module-level variables
// and its main procedure.
#pragma once

#include "runtime/startup.h"

// The module-level variables to release at process end, in order: the three peg references
// and the moving disk.
extern const CleanupEntry ModuleCleanupTable[];

// What RuntimeStartup is given. The class, interface, class-name, class-descriptor,
// method-name and dispatch tables are registered here as the object model provides them.
const ProgramModule& HanoiProgram();
