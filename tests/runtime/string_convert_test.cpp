// Conversions between 8-bit and wide strings: the three code pages, the thread's code page,
// slot conversions and their ownership, and silent failure.
#include "runtime/string_convert.h"

#include "runtime/string_literal.h"
#include "runtime/temp_strings.h"
#include "runtime/thread_record.h"
#include "tests/runtime/string_test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
std::u16string WideText(StringHandle handle) {
    auto* text = reinterpret_cast<const char16_t*>(StringOf(handle));
    return text ? std::u16string(text, StringCharCount(handle)) : std::u16string();
}
BSTR OwnedWide(const std::u16string& text) {
    return RuntimeAllocWideString(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()));
}
}  // namespace

TEST(StringConversion, ThreeCodePagesBothWays) {
    ProcFrame frame;
    SeamDelta seam;
    struct Case {
        UINT codePage;
        std::string bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {CP_ACP, "Towers of Hanoi", u"Towers of Hanoi"},  // ASCII: the same in every ANSI page
        {CP_UTF8, "h\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x98\x80", u"h\u00E9 \u20AC\U0001F600"},
        {1252, "h\xE9 \x80\x9F", u"h\u00E9 \u20AC\u0178"},
    };
    for (const Case& c : cases) {
        BSTR source = Owned(c.bytes);
        BSTR wide = ByteStringToWide(OwnedHandle(source), c.codePage);
        EXPECT_EQ(WideText(OwnedHandle(wide)), c.wide) << c.codePage;
        BSTR back = WideStringToBytes(OwnedHandle(wide), c.codePage);
        EXPECT_EQ(Text(back), c.bytes) << c.codePage;
        FreeString(source);
        FreeString(wide);
        FreeString(back);
    }
    EXPECT_EQ(seam.Allocations(), seam.Frees());
    EXPECT_EQ(frame.errorState, 0);
}

TEST(StringConversion, CodePageZeroIsTheThreadsCodePage) {
    ProcFrame frame;
    const UINT original = SetThreadCodePage(1252);
    EXPECT_EQ(ThreadCodePage(), 1252u);
    BSTR source = Owned("\x80");
    BSTR wide = ByteStringToWide(OwnedHandle(source), 0);
    EXPECT_EQ(WideText(OwnedHandle(wide)), u"\u20AC");
    EXPECT_EQ(SetThreadCodePage(CP_UTF8), 1252u);
    BSTR utf8 = WideStringToBytes(OwnedHandle(wide), 0);
    EXPECT_EQ(Text(utf8), "\xE2\x82\xAC");
    // UTF-8 as the thread's page decodes too (it takes no MB_PRECOMPOSED).
    BSTR again = ByteStringToWide(OwnedHandle(utf8), 0);
    EXPECT_EQ(WideText(OwnedHandle(again)), u"\u20AC");
    EXPECT_EQ(SetThreadCodePage(original), static_cast<UINT>(CP_UTF8));
    for (BSTR text : {source, wide, utf8, again}) FreeString(text);
}

TEST(StringConversion, ThreadsWithoutARecordReadZeroAndInheritTheMainPage) {
    const UINT original = SetThreadCodePage(1252);
    UINT before = 99, inherited = 99;
    std::thread([&] {
        before = ThreadCodePage();  // no record yet: 0, and none is created
        const bool noRecord = FindThreadRecord() == nullptr;
        BSTR source = Owned("\xE9");
        BSTR wide = ByteStringToWide(OwnedHandle(source), 0);  // creates the record
        inherited = ThreadCodePage();
        EXPECT_TRUE(noRecord);
        EXPECT_EQ(WideText(OwnedHandle(wide)), u"\u00E9");
        FreeString(source);
        FreeString(wide);
        ReleaseThreadRecord();
    }).join();
    SetThreadCodePage(original);
    EXPECT_EQ(before, 0u);
    EXPECT_EQ(inherited, 1252u);
}

TEST(StringConversion, EmptySourceGivesNullWithoutTheSystemOrARecord) {
    bool untouched = false;
    std::thread([&] {
        ProcFrame frame;
        SeamDelta seam;
        PushEmptyString();
        ConvertTempToWide(0, 0);
        PushBorrowedString(nullptr);
        ConvertTempToBytes(0, 0);
        // Neither conversion looked up the thread's code page, which would make a record.
        untouched = TempString(0) == 0 && TempString(1) == 0 && FindThreadRecord() == nullptr &&
                    seam.Allocations() == 0;
        PopAndFreeString();
        PopAndFreeString();
    }).join();
    EXPECT_TRUE(untouched);
}

TEST(StringConversion, SlotConversionFreesOwnedSourcesOnlyAtAnyDepth) {
    ProcFrame frame;
    static constexpr auto literal = StringLiteral("lit");
    SeamDelta seam;
    PushBorrowedString(literal.Handle());
    PushOwnedString(Owned("own"));
    PushEmptyString();
    ConvertTempToWide(CP_UTF8, 2);
    ConvertTempToWide(CP_UTF8, 1);
    EXPECT_EQ(seam.Frees(), 1);  // "own"; the literal stays
    EXPECT_FALSE(IsBorrowed(TempString(2)));
    EXPECT_EQ(WideText(TempString(2)), u"lit");
    EXPECT_EQ(WideText(TempString(1)), u"own");
    ConvertTempToBytes(1252, 2);
    EXPECT_EQ(Text(TempString(2)), "lit");
    PopAndFreeString();
    PopAndFreeString();
    PopAndFreeString();
    EXPECT_EQ(seam.Allocations(), seam.Frees());
    EXPECT_EQ(Text(literal.Handle()), "lit");
}

TEST(StringConversion, FailuresGiveEmptyResultsSilently) {
    ProcFrame frame;
    SeamDelta seam;
    PushOwnedString(Owned("abc"));
    ConvertTempToWide(12345, 0);  // no such code page
    EXPECT_EQ(TempString(0), 0u);
    PushOwnedString(OwnedWide(u"a\xD800"));
    ConvertTempToBytes(CP_UTF8, 0);  // unpaired surrogate: replaced, not a failure
    EXPECT_EQ(Text(TempString(0)), "a\xEF\xBF\xBD");
    PopAndFreeString();
    PopAndFreeString();
    EXPECT_EQ(frame.errorState, 0);
    EXPECT_EQ(seam.Allocations(), seam.Frees());
}
