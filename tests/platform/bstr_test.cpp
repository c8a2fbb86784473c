// Counted strings keep their 32-bit byte-length prefix and two zero bytes on both hosts.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CountedString, ByteLengthPrefixAndTerminator) {
    BSTR text = SysAllocStringByteLen("abc", 3);
    ASSERT_NE(text, nullptr);
    DWORD prefix;
    std::memcpy(&prefix, reinterpret_cast<BYTE*>(text) - 4, 4);
    EXPECT_EQ(prefix, 3u);
    EXPECT_EQ(SysStringByteLen(text), 3u);
    EXPECT_EQ(SysStringLen(text), 1u);  // whole 16-bit characters only
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text);
    EXPECT_EQ(std::memcmp(bytes, "abc", 3), 0);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(bytes[4], 0);
    SysFreeString(text);
}

TEST(CountedString, WideLengthAndNulls) {
    const OLECHAR source[] = {'h', 0, 'i'};
    BSTR text = SysAllocStringLen(source, 3);  // embedded zero kept
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(SysStringByteLen(text), 6u);
    EXPECT_EQ(text[2], 'i');
    EXPECT_EQ(text[3], 0);
    SysFreeString(text);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
}
