// The module the program hands to the run-time: its eight tables and its variables.
#include "program/module_tables.h"

#include "objects/class_tables.h"
#include "objects/item_value.h"
#include "program/program_main.h"
#include "puzzle/puzzle.h"

#include <gtest/gtest.h>

#include <cstring>

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

// ProgramMain's arrays: stated bounds and element types, all elements zero.
TEST(ModuleArrays, DimensionedWithTheirBoundsAndTypes) {
    // Other suites keep the picture arrays filled: put them back afterwards.
    ModuleVariables saved = Module;
    std::memset(&Module.Pegs, 0, sizeof Module.Pegs);
    std::memset(&Module.DiskImages, 0, sizeof Module.DiskImages);
    std::memset(&Module.DiskSizes, 0, sizeof Module.DiskSizes);
    DimensionModuleArrays();
    ArrayDescriptor* pegs = &Module.Pegs.descriptor;
    EXPECT_EQ(ArrayLowerBound(pegs, 1), 0);
    EXPECT_EQ(ArrayUpperBound(pegs, 1), 2);
    EXPECT_EQ(pegs->elementType, kTypeObject);
    ArrayDescriptor* images = &Module.DiskImages.descriptor;
    EXPECT_EQ(ArrayLowerBound(images, 1), 1);
    EXPECT_EQ(ArrayUpperBound(images, 1), DiskCount);
    EXPECT_EQ(images->elementType, kTypeUInt32);
    ArrayDescriptor* sizes = &Module.DiskSizes.descriptor;
    EXPECT_EQ(ArrayLowerBound(sizes, 1), 1);
    EXPECT_EQ(ArrayUpperBound(sizes, 1), DiskCount);
    EXPECT_EQ(sizes->elementType, kTypeInt32);
    EXPECT_EQ(sizes->elementSize, 4u);
    for (LONG peg = 0; peg < kPegCount; ++peg) EXPECT_EQ(Pegs[peg], nullptr);
    for (LONG disk = 1; disk <= DiskCount; ++disk) {
        EXPECT_EQ(DiskSizes[disk], 0);
        EXPECT_EQ(DiskImages[disk], nullptr);
    }
    *DiskSizes.Slot(DiskCount) = 253;
    DimensionModuleArrays();  // already dimensioned: kept with its contents
    EXPECT_EQ(DiskSizes[DiskCount], 253);
    for (ArrayVariable<1>* array : {&Module.Pegs, &Module.DiskImages, &Module.DiskSizes})
        EraseArray(&array->descriptor, kEraseCleanup);
    Module = saved;
}
