// The program's own report of an unhandled exception, installed first thing at start-up.
// On Windows it prints, with raw system calls and no allocation, the exception, the faulting
// module and offset, the thread (by the names of runtime/crash_report.h) and a backtrace, on
// standard error, and ends the process with the exception code. It does not take the loader
// lock, so it reports a crash during ExitProcess too, where Wine's debugger cannot attach.
#pragma once

// Sets the report as the process's unhandled-exception filter. Call it once, early.
void InstallCrashReport();
