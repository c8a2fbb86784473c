// MultiByteToWideChar and WideCharToMultiByte as published: sizes, terminators, flags and
// failure results for UTF-8 and Windows-1252, held to the real platform under Wine.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::u16string DecodeBytes(UINT codePage, DWORD flags, const std::string& bytes) {
    const int needed = MultiByteToWideChar(codePage, flags, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string result(needed, u'\0');
    if (needed > 0) {
        const int written =
            MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                reinterpret_cast<LPWSTR>(result.data()), needed);
        EXPECT_EQ(written, needed);
    }
    return result;
}

std::string EncodeText(UINT codePage, const std::u16string& text, LPCSTR defaultChar = nullptr,
                   BOOL* usedDefault = nullptr) {
    auto source = reinterpret_cast<LPCWSTR>(text.data());
    const int needed = WideCharToMultiByte(codePage, 0, source, static_cast<int>(text.size()),
                                           nullptr, 0, defaultChar, usedDefault);
    std::string result(needed, '\0');
    if (needed > 0) {
        const int written = WideCharToMultiByte(codePage, 0, source, static_cast<int>(text.size()),
                                                result.data(), needed, defaultChar, usedDefault);
        EXPECT_EQ(written, needed);
    }
    return result;
}
}  // namespace

TEST(CodePage, Utf8BothWaysIncludingSurrogatePairs) {
    const std::string utf8 = "h\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // h é € U+1F600
    const std::u16string wide = u"h\u00E9\u20AC\U0001F600";
    EXPECT_EQ(DecodeBytes(CP_UTF8, 0, utf8), wide);
    EXPECT_EQ(EncodeText(CP_UTF8, wide), utf8);
    EXPECT_EQ(DecodeBytes(CP_UTF8, MB_ERR_INVALID_CHARS, utf8), wide);
}

TEST(CodePage, Utf8IllFormedInputIsReplacedOrRefused) {
    EXPECT_EQ(DecodeBytes(CP_UTF8, 0,
                   "a\xFF"
                   "b"),
              u"a\uFFFDb");
    EXPECT_EQ(DecodeBytes(CP_UTF8, 0, "\xC3"), u"\uFFFD");  // cut short at the end
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", 3, nullptr, 0),
              0);  // an encoded surrogate is not UTF-8
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    // An unpaired surrogate becomes U+FFFD, or fails with WC_ERR_INVALID_CHARS.
    const char16_t lone[] = {u'a', 0xD800, u'b'};
    EXPECT_EQ(EncodeText(CP_UTF8, std::u16string(lone, 3)),
              "a\xEF\xBF\xBD"
              "b");
    char out[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, reinterpret_cast<LPCWSTR>(lone), 3,
                                  out, 8, nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePage, Windows1252EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string wide = DecodeBytes(1252, MB_PRECOMPOSED, all);
    ASSERT_EQ(wide.size(), all.size());
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');
    EXPECT_EQ(wide[0x9F - 1], u'\u0178');
    EXPECT_EQ(wide[0xE9 - 1], u'\u00E9');
    EXPECT_EQ(EncodeText(1252, wide), all);
}

TEST(CodePage, Windows1252UsesTheDefaultCharacterForWhatItCannotHold) {
    const std::u16string cjk = u"a\u4E2Db";
    BOOL used = FALSE;
    EXPECT_EQ(EncodeText(1252, cjk, nullptr, &used), "a?b");
    EXPECT_TRUE(used);
    EXPECT_EQ(EncodeText(1252, cjk, "#", &used), "a#b");
    EXPECT_TRUE(used);
    EXPECT_EQ(EncodeText(1252, u"plain", "#", &used), "plain");
    EXPECT_FALSE(used);
}

TEST(CodePage, SizesTerminatorsAndInvalidArguments) {
    // -1: up to and including the terminator, which is counted and written.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", -1, nullptr, 0), 4);
    WCHAR wide[4] = {1, 1, 1, 1};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "abc", -1, wide, 4), 4);
    EXPECT_EQ(wide[3], 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, WSTR("abc"), -1, nullptr, 0, nullptr, nullptr), 4);
    // Too small an output.
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char narrow[2];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, WSTR("\u00E9"), 1, narrow, 1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // No source, an empty source, a negative size, an output size without an output.
    const auto invalid = [](int result) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        SetLastError(0);
    };
    invalid(MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, wide, 4));
    invalid(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 4));
    invalid(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, -1));
    invalid(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 4));
    invalid(WideCharToMultiByte(CP_UTF8, 0, nullptr, 3, narrow, 2, nullptr, nullptr));
    invalid(WideCharToMultiByte(CP_UTF8, 0, WSTR("a"), 0, narrow, 2, nullptr, nullptr));
}
