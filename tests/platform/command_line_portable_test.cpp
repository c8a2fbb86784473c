// Portable only: the command line is built from Linux arguments, which Windows never does.
#include "platform/kernel/command_line.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using platform_kernel::BuildCommandLine;

// The Microsoft C run-time's splitting rules, written out independently of the builder:
// 2n backslashes + quote -> n backslashes and a quote toggle; 2n+1 + quote -> n and a
// literal quote; backslashes elsewhere are literal.
std::vector<std::u16string> Split(const std::u16string& line) {
    std::vector<std::u16string> arguments;
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
        if (i >= line.size()) return arguments;
        std::u16string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == u'\\') ++backslashes, ++i;
            if (i < line.size() && line[i] == u'"') {
                argument.append(backslashes / 2, u'\\');
                if (backslashes % 2) {
                    argument += u'"';
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, u'\\');
                if (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t')))
                    argument += line[i++];
            }
        }
        arguments.push_back(argument);
    }
}
}  // namespace

TEST(PortableCommandLine, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(BuildCommandLine({"/opt/hanoi/hanoi", "a", "b"}), u"/opt/hanoi/hanoi a b");
    EXPECT_EQ(BuildCommandLine({"/my games/hanoi", "two words"}),
              u"\"/my games/hanoi\" \"two words\"");
    EXPECT_EQ(BuildCommandLine({"p", ""}), u"p \"\"");
    EXPECT_EQ(BuildCommandLine({"p", "tab\there"}), u"p \"tab\there\"");
    EXPECT_EQ(BuildCommandLine({"p", "say \"hi\""}), u"p \"say \\\"hi\\\"\"");
    EXPECT_EQ(BuildCommandLine({"p", "C:\\dir\\"}), u"p C:\\dir\\");  // no quote: kept as is
    EXPECT_EQ(BuildCommandLine({"p", "a dir\\"}), u"p \"a dir\\\\\"");
}

TEST(PortableCommandLine, SplittingGivesTheArgumentsBack) {
    const std::vector<std::string> arguments = {
        "/bin/prog", "plain", "", "two words", "q\"uote", "back\\\\", "\\\"", "a b\\", "\t"};
    std::vector<std::u16string> expected;
    for (const std::string& argument : arguments)
        expected.emplace_back(argument.begin(), argument.end());
    EXPECT_EQ(Split(BuildCommandLine(arguments)), expected);
}

TEST(PortableCommandLine, Utf8BecomesUtf16) {
    EXPECT_EQ(BuildCommandLine({"h\xC3\xA4noi"}), u"h\u00e4noi");
    EXPECT_EQ(BuildCommandLine({"\xF0\x9F\x97\xBC"}), u"\U0001F5FC");  // a surrogate pair
    EXPECT_EQ(BuildCommandLine({"a\xFF"
                                "b"}),
              u"a\uFFFDb");                                      // not UTF-8
    EXPECT_EQ(BuildCommandLine({"\xC3"}), u"\uFFFD");            // cut short
    EXPECT_EQ(BuildCommandLine({"\xC0\xAF"}), u"\uFFFD\uFFFD");  // overlong
}

TEST(PortableCommandLine, ThisProcessStartsWithItsProgramPath) {
    std::u16string line = GetCommandLineW();
    EXPECT_NE(line.find(u"unit_tests"), std::u16string::npos);
    EXPECT_EQ(GetCommandLineW(), GetCommandLineW());  // built once
}
