// Process start-up and shutdown: RuntimeStartup prepares the process and runs the program's
// module (ModuleInit, then ProgramMain); RuntimeExit releases what the module and the
// calling thread own and ends the process.
#pragma once

#include "platform/win32.h"
#include "runtime/runtime_globals.h"
#include "runtime/startup_info.h"

// The program's main procedure: instance, previous instance (always 0), command tail, show
// command; its result is the exit code.
typedef LONG (*ProgramMainProcedure)(HINSTANCE instance, HINSTANCE previousInstance,
                                     LPCWSTR commandLine, LONG showCommand);

// What a program hands to the run-time: its data tables, its module-level variables (the
// base of ModuleCleanupTable's offsets, zeroed by ModuleInit) and its main procedure.
struct ProgramModule {
    ModuleTables tables;
    void* variables;
    SIZE_T variablesSize;
    ProgramMainProcedure main;
};

// The process entry after the host's C/C++ start-up code. Never returns.
[[noreturn]] void RuntimeStartup(const ProgramModule& module);

// Resets the run-time for the module, registers its eight data tables in their order and
// calls its main procedure on the calling thread; returns that procedure's result.
LONG ModuleInit(const ProgramModule& module);

// Releases the module-level variables and the calling thread's record, uninitialises COM
// and ends the process with `exitCode`, from whichever thread calls it. Never returns.
[[noreturn]] void RuntimeExit(LONG exitCode);

// What RuntimeExit does first: walks ModuleCleanupTable over the module-level variables (an
// array whose storage cannot be freed is ignored) when the calling thread is the only
// run-time thread left. Returns false, releasing nothing, while another run-time thread can
// still reach them.
bool ReleaseModuleVariables();
