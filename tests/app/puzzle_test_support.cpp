// Support for the puzzle tests.
#include "tests/app/puzzle_test_support.h"

#include "objects/item_value.h"
#include "objects/list_collection_class.h"

void PuzzleTest::SetUp() {
    for (LONG peg = 0; peg < PegCount; ++peg) Pegs[peg] = NewListCollection();
    MainWindow = nullptr;
}

void PuzzleTest::TearDown() {
    for (LONG peg = 0; peg < PegCount; ++peg) {
        Pegs[peg]->Release();
        Pegs[peg] = nullptr;
    }
    ItemClear(&MovingDisk);
}

std::string PuzzleTest::PegText(LONG peg) {
    std::string text;
    LONG count = 0;
    Pegs[peg]->COUNT(&count);
    for (LONG index = 1; index <= count; ++index) {
        VARIANT item{};
        Pegs[peg]->ITEM(&index, &item);
        text += item.vt == VT_I4 ? std::to_string(item.lVal) : "?";
        VariantClear(&item);
    }
    return text;
}
