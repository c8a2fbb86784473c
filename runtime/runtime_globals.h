// RuntimeGlobals: the run-time's process-wide state for start-up, shutdown and threads,
// one instance, zero at load. The last two fields say where the module-level
// variables are and which threads may still reach them, so RuntimeExit can release them safely.
#pragma once

#include "platform/win32.h"
#include "runtime/cleanup_table.h"

#include <atomic>

struct ThreadRecord;

// The program's eight data tables, registered by ModuleInit in this order. Formats other
// than the cleanup tables belong to the object model and dispatch; they are carried here
// untyped and read by their owners.
struct ModuleTables {
    const void* classIdentifiers;
    const void* interfaceIdentifiers;
    const CleanupEntry* moduleCleanup;  // over the module-level variables
    const CleanupEntry* threadCleanup;  // over each ThreadRecord
    const void* classNames;
    const void* classDescriptors;
    const void* methodNames;
    const void* dispatchDescriptors;
};

struct RuntimeGlobals {
    DWORD tlsSlot;                  // from TlsAlloc; holds each thread's ThreadRecord
    ThreadRecord* mainRecord;       // the first thread's record
    std::atomic<LONG> liveRecords;  // threads that currently have a record (atomic: any thread)
    LPCWSTR commandTail;            // into the process command line; not owned
    INT showCommand;                // show command for ProgramMain
    HINSTANCE instance;             // GetModuleHandleW(null)
    DWORD initialised;              // 1 from the start of start-up
    ModuleTables tables;            // registered by ModuleInit
    OSVERSIONINFOA versionInfo;     // filled by GetVersionExA
    void* moduleVariables;          // base of ModuleCleanupTable's offsets
    // Run-time threads that may still run program code: the first thread plus every thread
    // from the run-time's create operation until its end wrapper has run. RuntimeExit uses
    // it to leave module-level variables alone while another thread can still reach them.
    std::atomic<LONG> activeThreads;
};

extern RuntimeGlobals TheRuntime;
