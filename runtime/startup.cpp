// RuntimeStartup, ModuleInit and RuntimeExit.
#include "runtime/startup.h"

#include "runtime/cleanup_table.h"
#include "runtime/crash_filter.h"
#include "runtime/crash_report.h"
#include "runtime/error_numbers.h"
#include "runtime/exit_gate.h"
#include "runtime/fpu_control.h"
#include "runtime/thread_record.h"
#include "runtime/threads.h"

#include <cstring>

void RuntimeStartup(const ProgramModule& module) {
    // First of all: a crash from here on, the way out included, prints its own report.
    InstallCrashReport();
    NameCrashThread("main thread");
    // Module-level data: C++ static initialisation has already put literals and constants in
    // place; the variables start at zero.
    if (module.variables) std::memset(module.variables, 0, module.variablesSize);
    TheRuntime.initialised = 1;

    TheRuntime.versionInfo.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    GetVersionExA(&TheRuntime.versionInfo);  // a failure leaves platform 0: refused below
    CheckPlatform(TheRuntime.versionInfo);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;  // 68 on the 32-bit host; the host's own size elsewhere
    GetStartupInfoA(&startup);
    TheRuntime.showCommand = ShowCommandFrom(startup);
    TheRuntime.commandTail = CommandTail(GetCommandLineW());
    TheRuntime.instance = GetModuleHandleW(nullptr);

    if (!StartThreadRecords()) ExitProcess(kFatalExitCode);
    CoInitialize(nullptr);  // a failure is ignored
    RuntimeExit(ModuleInit(module));
}

LONG ModuleInit(const ProgramModule& module) {
    if (TheRuntime.initialised == 1) {
        if (module.variables) std::memset(module.variables, 0, module.variablesSize);
        // The run-time's other variables (the system-call lock, the error state) are at
        // rest before the program's first statement; nothing else needs resetting here.
        LoadFpuControlWord(kRuntimeFpuControlWord);
    }
    TheRuntime.tables = module.tables;
    TheRuntime.moduleVariables = module.variables;
    // ModuleInit's own frame is the thread's all-zero root frame; ProgramMain sets up its own.
    return module.main(TheRuntime.instance, nullptr, TheRuntime.commandTail,
                       TheRuntime.showCommand);
}

bool ReleaseModuleVariables() {
    // Shutdown race: RuntimeExit does not stop other threads, and the solver thread may
    // still be moving disks on the pegs. Module-level variables are therefore released only
    // when the calling thread is the last run-time thread; otherwise they are left to the
    // process end (ExitProcess reclaims them), so no live thread ever meets a released peg.
    if (ActiveRuntimeThreads() > 1) return false;
    WalkCleanupTable(TheRuntime.tables.moduleCleanup, TheRuntime.moduleVariables,
                     EraseFailure::kIgnore);
    return true;
}

void RuntimeExit(LONG exitCode) {
    // Other threads are ended by ExitProcess; first they are brought to a pause or parked,
    // where they hold none of the system's locks.
    ShutExitGate(kExitGateWaitMs);
    ReleaseModuleVariables();
    EndThreadRecords();
    CoUninitialize();
    ExitProcess(static_cast<UINT>(exitCode));
}
