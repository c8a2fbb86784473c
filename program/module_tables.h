// The program's module as the run-time sees it: its data tables, its module-level variables
// and its main procedure.
#pragma once

#include "runtime/startup.h"

// The module-level variables to release at process end, in order: the peg array (each peg
// reference released), the disk-image and disk-size arrays, and the moving disk. The icons
// themselves are never destroyed: they go with the process.
extern const CleanupEntry ModuleCleanupTable[];

// What RuntimeStartup is given: the object model's six tables, the two cleanup tables, the
// module-level variables and ProgramMain.
const ProgramModule& HanoiProgram();
