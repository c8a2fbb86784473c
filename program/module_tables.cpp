// ModuleCleanupTable and the module description handed to the run-time.
#include "program/module_tables.h"

#include "objects/class_tables.h"
#include "program/program_main.h"
#include "puzzle/puzzle.h"

#include <cstddef>

namespace {
constexpr CleanupEntry Entry(size_t offset, CleanupKind kind) {
    return MakeCleanupEntry(static_cast<DWORD>(offset), kind);
}

// This program has no thread-local variables.
const CleanupEntry ThreadCleanupTable[] = {0};
}  // namespace

const CleanupEntry ModuleCleanupTable[] = {
    Entry(offsetof(ModuleVariables, Pegs), kCleanupArray),
    Entry(offsetof(ModuleVariables, DiskImages), kCleanupArray),
    Entry(offsetof(ModuleVariables, DiskSizes), kCleanupArray),
    Entry(offsetof(ModuleVariables, MovingDisk), kCleanupItemValue),
    0,
};

const ProgramModule& HanoiProgram() {
    static const ProgramModule module = [] {
        ProgramModule described{};
        PutProgramObjectTables(&described.tables);
        described.tables.moduleCleanup = ModuleCleanupTable;
        described.tables.threadCleanup = ThreadCleanupTable;
        described.variables = &Module;
        described.variablesSize = sizeof Module;
        described.main = ProgramMain;
        return described;
    }();
    return module;
}
