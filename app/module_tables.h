// The program's module as the run-time sees it: its data tables, its module-level variables
// and its main procedure.
#pragma once

#include "runtime/startup.h"

// The module-level variables to release at process end, in order: the three peg references
// and the moving disk.
extern const CleanupEntry ModuleCleanupTable[];

// What RuntimeStartup is given: the object model's six tables, the two cleanup tables, the
// module-level variables and ProgramMain.
const ProgramModule& HanoiProgram();
