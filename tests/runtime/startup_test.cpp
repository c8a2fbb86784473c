// Process start-up and shutdown, run in child processes: what ProgramMain is given, exit
// codes, the module cleanup at process end and the fatal start-up failures.
#include "runtime/startup.h"

#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/thread_record.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {
// An object whose release is visible from outside the child process.
struct AnnouncingObject : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        std::fprintf(stderr, "object released\n");
        std::fflush(stderr);
        return 0;
    }
};
AnnouncingObject announcingObject;

struct TestModuleVariables {
    LONG counter;
    IUnknown* object;
    LONG filler[6];
};
TestModuleVariables moduleVariables;
const CleanupEntry moduleCleanup[] = {
    MakeCleanupEntry(offsetof(TestModuleVariables, object), kCleanupObject), 0};
const CleanupEntry threadCleanup[] = {0};
const int tableMarks[6] = {};

ProgramModule TestModule(ProgramMainProcedure main) {
    ProgramModule module{};
    module.tables = {&tableMarks[0], &tableMarks[1], moduleCleanup,  threadCleanup,
                     &tableMarks[2], &tableMarks[3], &tableMarks[4], &tableMarks[5]};
    module.variables = &moduleVariables;
    module.variablesSize = sizeof moduleVariables;
    module.main = main;
    return module;
}

// Returns 3 when everything start-up promised is in place, else the number of the first
// broken promise (10 and up), so the exit code tells which one failed.
LONG CheckingMain(HINSTANCE instance, HINSTANCE previousInstance, LPCWSTR commandLine,
                  LONG showCommand) {
    if (instance != GetModuleHandleW(nullptr) || instance == nullptr) return 10;
    if (previousInstance != nullptr) return 11;
    if (commandLine != CommandTail(GetCommandLineW())) return 12;
    if (showCommand != TheRuntime.showCommand) return 13;
    if (moduleVariables.counter != 0 || moduleVariables.object != nullptr) return 14;
    if (TheRuntime.tables.classIdentifiers != &tableMarks[0] ||
        TheRuntime.tables.moduleCleanup != moduleCleanup ||
        TheRuntime.tables.dispatchDescriptors != &tableMarks[5])
        return 15;
    ThreadRecord* record = FindThreadRecord();
    if (!record || record != TheRuntime.mainRecord || record->codePage != 0) return 16;
    if (TheRuntime.versionInfo.dwPlatformId != VER_PLATFORM_WIN32_NT) return 17;
    if (TheRuntime.versionInfo.dwOSVersionInfoSize != 148) return 18;
    if (CoInitialize(nullptr) != S_FALSE) return 19;  // already initialised by start-up
    CoUninitialize();
    if (TheRuntime.initialised != 1) return 20;
    return 3;
}

LONG MainEndingEarly(HINSTANCE, HINSTANCE, LPCWSTR, LONG) {
    moduleVariables.object = &announcingObject;
    RuntimeExit(0);
}

LONG MainReturningSeven(HINSTANCE, HINSTANCE, LPCWSTR, LONG) {
    moduleVariables.object = &announcingObject;
    return 7;
}

LONG MainNeverReached(HINSTANCE, HINSTANCE, LPCWSTR, LONG) {
    return 4;
}
}  // namespace

TEST(StartupDeathTest, ProgramMainGetsWhatStartupPreparedAndItsResultIsTheExitCode) {
    moduleVariables.counter = 99;  // ModuleInit zeroes the module-level variables
    EXPECT_EXIT(RuntimeStartup(TestModule(CheckingMain)), ::testing::ExitedWithCode(3), "");
}

TEST(StartupDeathTest, ProcessEndReleasesModuleVariables) {
    EXPECT_EXIT(RuntimeStartup(TestModule(MainReturningSeven)), ::testing::ExitedWithCode(7),
                "object released");
}

TEST(StartupDeathTest, RuntimeExitFromInsideTheProgramDoesNotReturn) {
    EXPECT_EXIT(RuntimeStartup(TestModule(MainEndingEarly)), ::testing::ExitedWithCode(0),
                "object released");
}

TEST(StartupDeathTest, NoMemoryForTheMainRecordEndsWith255) {
    EXPECT_EXIT(
        {
            allocation_seam::FailAllocationNumber(1);
            RuntimeStartup(TestModule(MainNeverReached));
        },
        ::testing::ExitedWithCode(kFatalExitCode), "");
}

TEST(StartupDeathTest, NoTlsIndexEndsWith255) {
    EXPECT_EXIT(
        {
            while (TlsAlloc() != TLS_OUT_OF_INDEXES) {
            }
            RuntimeStartup(TestModule(MainNeverReached));
        },
        ::testing::ExitedWithCode(kFatalExitCode), "");
}
