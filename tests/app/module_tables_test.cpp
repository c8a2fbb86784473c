// The module the program hands to the run-time: its eight tables and its variables.
#include "app/module_tables.h"

#include "app/program_main.h"
#include "app/puzzle.h"
#include "objects/class_tables.h"

#include <gtest/gtest.h>

TEST(HanoiProgram, CarriesTheObjectTablesTheCleanupTablesAndTheVariables) {
    const ProgramModule& module = HanoiProgram();
    const ObjectTables& own = ProgramObjectTables();
    EXPECT_EQ(module.tables.classIdentifiers, own.classIdentifiers);
    EXPECT_EQ(module.tables.interfaceIdentifiers, own.interfaceIdentifiers);
    EXPECT_EQ(module.tables.moduleCleanup, ModuleCleanupTable);
    ASSERT_NE(module.tables.threadCleanup, nullptr);
    EXPECT_EQ(module.tables.threadCleanup[0], 0u);  // no thread-local variables
    EXPECT_EQ(module.tables.classNames, own.classNames);
    EXPECT_EQ(module.tables.classDescriptors, own.classDescriptors);
    EXPECT_EQ(module.tables.methodNames, own.methodNames);
    EXPECT_EQ(module.tables.dispatchDescriptors, own.dispatchDescriptors);
    EXPECT_EQ(module.variables, &Module);
    EXPECT_EQ(module.variablesSize, sizeof(ModuleVariables));
    EXPECT_EQ(module.main, &ProgramMain);
}
