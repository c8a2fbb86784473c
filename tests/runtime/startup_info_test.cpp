// What start-up reads before the program runs: the command tail (the program name skipped by
// the quoting rules) and the show command.
#include "runtime/startup_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
typedef std::basic_string<WCHAR> WideLine;
WideLine Tail(LPCWSTR line) {
    return CommandTail(line);
}
}  // namespace

TEST(CommandTail, QuotedAndPlainProgramNamesAreSkipped) {
    EXPECT_EQ(Tail(WSTR("\"C:\\Program Files\\hanoi.exe\"  a b")), WSTR("a b"));
    EXPECT_EQ(Tail(WSTR("hanoi.exe")), WSTR(""));
    EXPECT_EQ(Tail(WSTR("\"hanoi.exe\"x")), WSTR("x"));  // no blank needed after the closing quote
    EXPECT_EQ(Tail(WSTR("hanoi.exe\tx")), WSTR("\tx"));  // a tab ends the name and starts the tail
    EXPECT_EQ(Tail(WSTR("\"C:\\hanoi.exe a b")),
              WSTR(""));                           // no closing quote: all of it is the name
    EXPECT_EQ(Tail(WSTR("   a b")), WSTR("a b"));  // leading blanks: the text after them
}

TEST(CommandTail, TabsControlCharactersAndEmptyLines) {
    EXPECT_EQ(Tail(WSTR("")), WSTR(""));
    EXPECT_EQ(Tail(WSTR("\"C:\\My Programs\\hanoi.exe\"")), WSTR(""));  // only a quoted name
    EXPECT_EQ(Tail(WSTR("\"hanoi.exe\"   ")), WSTR(""));
    EXPECT_EQ(Tail(WSTR("\"hanoi.exe\" \tx")), WSTR("\tx"));  // only blanks are skipped, not tabs
    EXPECT_EQ(Tail(WSTR("hanoi.exe  \t x")), WSTR("\t x"));
    EXPECT_EQ(Tail(WSTR("hanoi.exe\x01x")), WSTR("\x01x"));  // any control character stops the name
    EXPECT_EQ(Tail(WSTR("h\u00e4noi.exe x")),
              WSTR("x"));  // characters above 0x7F belong to the name
    EXPECT_EQ(Tail(WSTR("a\"b c\" d")),
              WSTR("c\" d"));  // a quote inside an unquoted name is no quote
}

TEST(CommandTail, PointsIntoThisProcessCommandLine) {
    LPCWSTR line = GetCommandLineW();
    LPCWSTR tail = CommandTail(line);
    ASSERT_GE(tail, line);
    WideLine name(line, tail);
    EXPECT_NE(name.find(WSTR("unit_tests")), WideLine::npos);
}

TEST(ShowCommand, FromStartupInformation) {
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.wShowWindow = SW_SHOWMINIMIZED;
    EXPECT_EQ(ShowCommandFrom(startup), SW_SHOWDEFAULT);  // flag not set: the show state is ignored
    startup.dwFlags = STARTF_USESHOWWINDOW;
    EXPECT_EQ(ShowCommandFrom(startup), 2);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE;
    startup.wShowWindow = SW_HIDE;
    EXPECT_EQ(ShowCommandFrom(startup), 0);
}
