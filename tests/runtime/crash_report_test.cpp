// The host-independent pieces of the crash report: fixed lines, thread names, and the PE
// facts read from an image built here (a PE32 and a PE32+ header, damaged variants).
#include "runtime/crash_report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {
TEST(CrashLine, NumbersAndCutAtCapacity) {
    struct Case {
        uint64_t value;
        int digits;
        const char* hex;
    };
    const Case cases[] = {{0, 1, "0"},
                          {0, 4, "0000"},
                          {0xC0000005, 8, "C0000005"},
                          {0x4, 8, "00000004"},
                          {0x12345, 2, "12345"},
                          {~uint64_t{0}, 1, "FFFFFFFFFFFFFFFF"},
                          {0xAB, 20, "00000000000000AB"}};  // never wider than 16 digits
    for (const Case& c : cases) {
        CrashLine line;
        EXPECT_STREQ(line.AddHex(c.value, c.digits).Text(), c.hex) << c.hex;
    }
    CrashLine line;
    EXPECT_STREQ(line.AddDecimal(0).Add(" ").AddDecimal(18446744073709551615u).Text(),
                 "0 18446744073709551615");
    const std::string longText(300, 'x');
    line.Clear();
    line.Add("ab").Add(longText.c_str()).AddHex(0xF, 1);
    EXPECT_EQ(line.Length(), CrashLine::kCapacity);
    EXPECT_EQ(std::strlen(line.Text()), CrashLine::kCapacity);
    EXPECT_EQ(std::string(line.Text(), 3), "abx");
}

TEST(CrashThreadNames, EachThreadItsOwnNameAndRenames) {
    const char* seen[2] = {};
    DWORD ids[2] = {};
    std::thread first([&] {
        ids[0] = GetCurrentThreadId();
        NameCrashThread("first");
        NameCrashThread("renamed");
        seen[0] = CrashThreadName(ids[0]);
    });
    first.join();
    std::thread second([&] {
        ids[1] = GetCurrentThreadId();
        NameCrashThread("second");
        seen[1] = CrashThreadName(ids[1]);
    });
    second.join();
    EXPECT_STREQ(seen[0], "renamed");
    EXPECT_STREQ(seen[1], "second");
    // More threads than the table holds, named one after another: the latest always has its
    // name (every earlier test's threads may still hold slots).
    for (int i = 0; i < 2 * kCrashThreadNames; ++i) {
        const char* latest = nullptr;
        std::thread([&] {
            NameCrashThread("latest");
            latest = CrashThreadName(GetCurrentThreadId());
        }).join();
        EXPECT_STREQ(latest, "latest") << i;
    }
    EXPECT_EQ(CrashThreadName(0), nullptr);
    EXPECT_EQ(CrashThreadName(0x7FFFFFF1), nullptr);  // no thread named it
}

TEST(CrashReport, FileNamePart) {
    EXPECT_STREQ(FileNamePart("C:\\games\\hanoi.exe"), "hanoi.exe");
    EXPECT_STREQ(FileNamePart("Z:/tmp/dir\\crash_probe.exe"), "crash_probe.exe");
    EXPECT_STREQ(FileNamePart("hanoi.exe"), "hanoi.exe");
}

// An image of 8 KiB: headers at 0, the export directory at 0x1000 with its name at 0x1100,
// three unwind entries at 0x1200.
constexpr uint32_t kImageSize = 0x2000;
std::vector<BYTE> BuildImage(bool plus) {
    std::vector<BYTE> image(kImageSize, 0);
    auto put32 = [&](size_t at, uint32_t value) { std::memcpy(&image[at], &value, 4); };
    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, 0x80);
    std::memcpy(&image[0x80], "PE\0\0", 4);
    const size_t optional = 0x80 + 24;
    image[optional] = 0x0B;
    image[optional + 1] = plus ? 0x02 : 0x01;
    put32(optional + 56, kImageSize);
    const size_t directories = optional + (plus ? 112 : 96);
    put32(directories - 4, 16);
    put32(directories, 0x1000);  // exports
    put32(directories + 4, 40);
    put32(directories + 3 * 8, 0x1200);  // unwind entries
    put32(directories + 3 * 8 + 4, 3 * 12);
    put32(0x1000 + 12, 0x1100);
    std::memcpy(&image[0x1100], "TEST.dll", 9);
    const uint32_t ranges[3][2] = {{0x3000, 0x3010}, {0x3010, 0x3050}, {0x4000, 0x4004}};
    for (int i = 0; i < 3; ++i) {
        put32(0x1200 + 12 * i, ranges[i][0]);
        put32(0x1200 + 12 * i + 4, ranges[i][1]);
        put32(0x1200 + 12 * i + 8, 0x1800 + i);
    }
    return image;
}

TEST(CrashReportImage, ExportNameAndSizeFromBothHeaderKinds) {
    for (bool plus : {false, true}) {
        std::vector<BYTE> image = BuildImage(plus);
        EXPECT_EQ(MappedImageSize(image.data()), kImageSize);
        EXPECT_STREQ(ImageExportName({image.data(), kImageSize}), "TEST.dll") << plus;
    }
}

TEST(CrashReportImage, DamagedImagesGiveNothing) {
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Case cases[] = {{"not MZ", 0, 0},
                          {"PE header past the first page", 0x3C, 0x1000},
                          {"not PE", 0x80, 0},
                          {"unknown optional header", 0x80 + 24, 0x30B},
                          {"export directory past the image", 0x80 + 24 + 96, 0x1FF0},
                          {"name offset past the image", 0x100C, kImageSize}};
    for (const Case& c : cases) {
        std::vector<BYTE> image = BuildImage(false);
        std::memcpy(&image[c.at], &c.value, 4);
        EXPECT_EQ(ImageExportName({image.data(), kImageSize}), nullptr) << c.what;
    }
    // A name without its terminating zero inside the image is not followed past its end.
    std::vector<BYTE> image = BuildImage(false);
    const uint32_t nameAtEnd = kImageSize - 3;
    std::memcpy(&image[0x100C], &nameAtEnd, 4);
    std::memset(&image[nameAtEnd], 'x', 3);
    EXPECT_EQ(ImageExportName({image.data(), kImageSize}), nullptr);
}

TEST(CrashReportImage, UnwindEntryByBinarySearch) {
    std::vector<BYTE> image = BuildImage(true);
    const struct {
        uint32_t offset;
        int entry;  // -1: none
    } cases[] = {{0x2FFF, -1}, {0x3000, 0},  {0x300F, 0}, {0x3010, 1}, {0x304F, 1},
                 {0x3050, -1}, {0x3FFF, -1}, {0x4000, 2}, {0x4003, 2}, {0x4004, -1}};
    for (const auto& c : cases) {
        const uint32_t* entry = ImageUnwindEntry({image.data(), kImageSize}, c.offset);
        if (c.entry < 0) {
            EXPECT_EQ(entry, nullptr) << std::hex << c.offset;
        } else {
            ASSERT_NE(entry, nullptr) << std::hex << c.offset;
            EXPECT_EQ(entry[2], 0x1800u + c.entry) << std::hex << c.offset;
        }
    }
}
}  // namespace
