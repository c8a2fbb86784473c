// Support for the puzzle tests.
#include "tests/puzzle/puzzle_test_support.h"

#include "objects/item_value.h"
#include "objects/list_collection_class.h"

void PuzzleTest::SetUp() {
    DimensionModuleArrays();
    for (LONG peg = 0; peg < kPegCount; ++peg) *Pegs.Slot(peg) = NewListCollection();
    MainWindow = nullptr;
}

void PuzzleTest::TearDown() {
    // Erasing the peg array releases the references it still holds; the picture arrays stay
    // for the next test.
    EraseArray(&Module.Pegs.descriptor, kEraseCleanup);
    ItemClear(&MovingDisk);
}

std::string PuzzleTest::PegText(LONG peg) {
    std::string text;
    LONG count = 0;
    PegAt(peg)->COUNT(&count);
    for (LONG index = 1; index <= count; ++index) {
        VARIANT item{};
        PegAt(peg)->ITEM(&index, &item);
        text += item.vt == VT_I4 ? std::to_string(item.lVal) : "?";
        VariantClear(&item);
    }
    return text;
}
