// The module the program hands to the run-time: its eight tables and its variables.
#include "app/module_tables.h"

#include "app/program_main.h"
#include "app/puzzle.h"
#include "objects/class_tables.h"
#include "objects/item_value.h"
#include "objects/list_collection_class.h"

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

// ProgramMain's arrays: stated bounds and element types, all elements zero; dimensioning
// them again first releases what the peg array holds.
TEST(ModuleArrays, DimensionedWithTheirBoundsAndTypesAndRedimensionedAfterErasing) {
    DimensionModuleArrays();
    ArrayDescriptor* pegs = &Module.Pegs.descriptor;
    EXPECT_EQ(ArrayLowerBound(pegs, 1), 0);
    EXPECT_EQ(ArrayUpperBound(pegs, 1), 2);
    EXPECT_EQ(pegs->elementType, kTypeObject);
    EXPECT_EQ(ArrayLowerBound(&Module.DiskImages.descriptor, 1), 1);
    EXPECT_EQ(ArrayUpperBound(&Module.DiskImages.descriptor, 1), DiskCount);
    EXPECT_EQ(Module.DiskImages.descriptor.elementType, kTypeUInt32);
    EXPECT_EQ(ArrayUpperBound(&Module.DiskSizes.descriptor, 1), DiskCount);
    EXPECT_EQ(Module.DiskSizes.descriptor.elementType, kTypeInt32);
    for (LONG disk = 1; disk <= DiskCount; ++disk) {
        EXPECT_EQ(DiskSizes[disk], 0);
        EXPECT_EQ(DiskImages[disk], nullptr);
    }
    Pegs[2] = NewListCollection();
    ILinkListCollection* peg = Pegs[2];
    peg->AddRef();
    DiskSizes[DiskCount] = 253;
    DimensionModuleArrays();  // erased first: the reference held in the array is released
    EXPECT_EQ(Pegs[2], nullptr);
    EXPECT_EQ(DiskSizes[DiskCount], 0);
    EXPECT_EQ(peg->Release(), 0u);
    for (ArrayVariable<1>* array : {&Module.Pegs, &Module.DiskImages, &Module.DiskSizes})
        EraseArray(&array->descriptor, kEraseCleanup);
}
