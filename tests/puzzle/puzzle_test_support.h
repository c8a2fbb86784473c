// A fixture that gives each test three fresh pegs and releases them afterwards.
#pragma once

#include "puzzle/puzzle.h"

#include <gtest/gtest.h>

#include <string>

class PuzzleTest : public ::testing::Test {
   protected:
    void SetUp() override;
    void TearDown() override;
    // The disk numbers of a peg, bottom first, e.g. "7654321".
    static std::string PegText(LONG peg);
};
