// Item values as text on the TempStringStack: strings are handed out borrowed, numbers are
// formatted with their digit class.
#include "objects/item_value.h"

#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"
#include "runtime/temp_strings.h"
#include "tests/objects/collection_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Pops the top slot, returning its characters as ASCII text and whether it was borrowed.
std::pair<std::string, bool> PopText() {
    const StringHandle handle = TempString(0);
    std::string text;
    const OLECHAR* characters = reinterpret_cast<const OLECHAR*>(StringBytes(handle));
    for (UINT i = 0; i < StringCharCount(handle); ++i) text += static_cast<char>(characters[i]);
    const bool borrowed = IsBorrowed(handle);
    PopAndFreeString();
    return {text, borrowed};
}

}  // namespace

TEST(ItemText, StringsAreBorrowedAndNumbersFormatted) {
    ProcFrame frame;
    VARIANT text = TextItem("12");
    ItemToText(&text);
    EXPECT_EQ(PopText(), std::make_pair(std::string("12"), true));
    ItemToString(&text);
    EXPECT_EQ(PopText(), std::make_pair(std::string("12"), true));
    EXPECT_EQ(text.vt, VT_BSTR);  // the value still owns its string
    VariantClear(&text);

    VARIANT number = NumberItem(-42);
    ItemToText(&number);
    EXPECT_EQ(PopText().first, "-42");
    ItemToString(&number);
    EXPECT_EQ(PopText(), std::make_pair(std::string(""), true));

    VARIANT currency{};
    currency.vt = VT_CY;
    currency.cyVal.int64 = 12345;
    ItemToText(&currency);
    EXPECT_EQ(PopText().first, "1.2345");

    VARIANT single{};
    single.vt = VT_R4;
    single.fltVal = 0.1f;  // seven digits hide the binary error of a float
    ItemToText(&single);
    EXPECT_EQ(PopText().first, ".1");

    VARIANT empty{};
    ItemToText(&empty);
    EXPECT_EQ(PopText().first, "0");
    EXPECT_EQ(TempStringCount(), 0);
}
