// Portable only: the .ico reader is part of the portable Win32 layer and the writer is a build
// tool. Round trips through the writer and the reader, and the reader against malformed files.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/user/icon_file.h"
#include "resources/tools/icon_writer.h"
#include "resources/tools/png_file.h"

namespace {

// Straight RGBA with every alpha class: transparent, partial and opaque pixels.
RgbaImage Pattern(int width, int height) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            static const int kAlpha[] = {0, 1, 128, 254, 255, 37};  // the edges of each class
            int a = kAlpha[(x + 2 * y) % 6];
            image.rgba.insert(image.rgba.end(),
                              {static_cast<uint8_t>(x * 7 + y), static_cast<uint8_t>(y * 13),
                               static_cast<uint8_t>(x ^ y), static_cast<uint8_t>(a)});
        }
    }
    return image;
}

std::vector<uint8_t> AsBgra(const RgbaImage& image) {
    std::vector<uint8_t> bgra = image.rgba;
    for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
    return bgra;
}

IconGroupImage Bitmap(int width, int height) {
    return {Pattern(width, height), {}};
}
IconGroupImage Png(int width, int height) {
    RgbaImage image = Pattern(width, height);
    return {image, EncodePng(image)};
}

void PutDword(std::vector<uint8_t>* d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*d)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool Parses(const std::vector<uint8_t>& ico) {
    std::vector<IconFileEntry> entries(1);  // must come back empty on failure
    bool ok = ParseIconFile(ico.data(), ico.size(), &entries);
    EXPECT_EQ(entries.empty(), !ok);
    return ok;
}

// Decodes the first entry of `ico`; on failure `out` must come back empty.
bool DecodesFirst(const std::vector<uint8_t>& ico) {
    std::vector<IconFileEntry> entries;
    if (!ParseIconFile(ico.data(), ico.size(), &entries)) return false;
    IconPixels out;
    out.width = 99;
    bool ok = DecodeIconEntry(ico.data(), ico.size(), entries[0], &out);
    if (!ok) {
        EXPECT_TRUE(out.width == 0 && out.height == 0 && out.bgra.empty());
    }
    return ok;
}

}  // namespace

TEST(IconFile, BitmapAndPngEntriesRoundTripAtAnySize) {
    std::vector<IconGroupImage> images = {Png(256, 256), Bitmap(256, 3), Bitmap(33, 5),
                                          Bitmap(1, 1), Png(17, 9)};
    std::vector<uint8_t> ico = EncodeIconFile(images);
    std::vector<IconFileEntry> entries;
    ASSERT_TRUE(ParseIconFile(ico.data(), ico.size(), &entries));
    ASSERT_EQ(entries.size(), images.size());
    IconPixels out;  // reused, as the icon loader does: a larger image's bytes must not remain
    for (size_t i = 0; i < images.size(); ++i) {
        const RgbaImage& want = images[i].pixels;
        EXPECT_EQ(entries[i].width, want.width) << i;
        EXPECT_EQ(entries[i].height, want.height) << i;
        EXPECT_EQ(entries[i].bitCount, 32) << i;
        EXPECT_EQ(entries[i].isPng, !images[i].png.empty()) << i;
        ASSERT_TRUE(DecodeIconEntry(ico.data(), ico.size(), entries[i], &out)) << i;
        EXPECT_EQ(out.width, want.width);
        EXPECT_EQ(out.height, want.height);
        EXPECT_TRUE(out.bgra == AsBgra(want)) << i;
    }
}

TEST(IconFile, BitmapEntryLengthIsHeaderPixelsAndPaddedMask) {
    // Mask rows are padded to 32 bits: 1 and 32 pixels take 4 bytes, 33 take 8, 253 take 32.
    EXPECT_EQ(EncodeIconBitmap(Pattern(1, 1)).size(), 40u + 4 + 4);
    EXPECT_EQ(EncodeIconBitmap(Pattern(32, 2)).size(), 40u + 256 + 8);
    EXPECT_EQ(EncodeIconBitmap(Pattern(33, 2)).size(), 40u + 264 + 16);
    EXPECT_EQ(EncodeIconBitmap(Pattern(253, 253)).size(), 264172u);

    // Bottom row first; mask bit set (transparent) exactly where alpha is 0, high bit first.
    RgbaImage image = Pattern(33, 2);
    std::vector<uint8_t> bmp = EncodeIconBitmap(image);
    for (int fileRow = 0; fileRow < 2; ++fileRow) {
        int y = 1 - fileRow;
        for (int x = 0; x < 33; ++x) {
            const uint8_t* rgba = &image.rgba[(y * 33 + x) * 4];
            const uint8_t* bgra = &bmp[40 + (fileRow * 33 + x) * 4];
            EXPECT_EQ(bgra[0], rgba[2]);
            EXPECT_EQ(bgra[2], rgba[0]);
            EXPECT_EQ(bgra[3], rgba[3]);
            bool transparent = (bmp[40 + 264 + fileRow * 8 + x / 8] >> (7 - x % 8)) & 1;
            EXPECT_EQ(transparent, rgba[3] == 0) << x << "," << y;
        }
    }
}

TEST(IconFile, FindsOnlyTheExactSize) {
    std::vector<uint8_t> ico = EncodeIconFile({Bitmap(256, 256), Bitmap(24, 24), Bitmap(16, 16)});
    std::vector<IconFileEntry> entries;
    ASSERT_TRUE(ParseIconFile(ico.data(), ico.size(), &entries));
    EXPECT_EQ(FindIconEntry(entries, 256, 256), 0);  // stored as 0 in the directory
    EXPECT_EQ(FindIconEntry(entries, 24, 24), 1);
    EXPECT_EQ(FindIconEntry(entries, 16, 16), 2);
    EXPECT_EQ(FindIconEntry(entries, 20, 20), -1);
    EXPECT_EQ(FindIconEntry(entries, 16, 24), -1);
    EXPECT_EQ(FindIconEntry(entries, 0, 0), -1);

    IconPixels out;
    EXPECT_TRUE(DecodeIconOfSize(ico.data(), ico.size(), 24, 24, &out));
    EXPECT_EQ(out.width, 24);
    EXPECT_FALSE(DecodeIconOfSize(ico.data(), ico.size(), 32, 32, &out));
    EXPECT_TRUE(out.bgra.empty());
}

TEST(IconFile, RejectsMalformedDirectories) {
    const std::vector<uint8_t> good = EncodeIconFile({Bitmap(8, 8), Bitmap(4, 4)});
    ASSERT_TRUE(Parses(good));

    std::vector<IconFileEntry> entries(1);
    EXPECT_FALSE(ParseIconFile(nullptr, 100, &entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(Parses(std::vector<uint8_t>(good.begin(), good.begin() + 5)));
    // Directory cut short: two entries announced, one present.
    EXPECT_FALSE(Parses(std::vector<uint8_t>(good.begin(), good.begin() + 6 + 16 + 15)));

    auto mutated = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> ico = good;
        ico[at] = value;
        return ico;
    };
    EXPECT_FALSE(Parses(mutated(0, 1)));  // reserved
    EXPECT_FALSE(Parses(mutated(2, 2)));  // a cursor
    EXPECT_FALSE(Parses(mutated(4, 0)));  // no images

    std::vector<uint8_t> ico = good;
    PutDword(&ico, 6 + 16 + 12, static_cast<uint32_t>(ico.size()) + 1);  // data past the end
    EXPECT_FALSE(Parses(ico));
    ico = good;
    PutDword(&ico, 6 + 8, static_cast<uint32_t>(ico.size()));  // length runs past the end
    EXPECT_FALSE(Parses(ico));
    ico = good;
    PutDword(&ico, 6 + 12, 0xFFFFFFF0u);  // offset + length wraps around
    PutDword(&ico, 6 + 8, 0x20);
    EXPECT_FALSE(Parses(ico));
}

TEST(IconFile, RejectsBitmapsItCannotDecodeOrThatAreCut) {
    const std::vector<uint8_t> good = EncodeIconFile({Bitmap(8, 8)});
    ASSERT_TRUE(DecodesFirst(good));
    const size_t header = 6 + 16;
    auto withDword = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> ico = good;
        PutDword(&ico, at, value);
        return ico;
    };
    auto withWord = [&](size_t at, uint16_t value) {
        std::vector<uint8_t> ico = good;
        ico[at] = static_cast<uint8_t>(value);
        ico[at + 1] = static_cast<uint8_t>(value >> 8);
        return ico;
    };
    EXPECT_FALSE(DecodesFirst(withDword(header, 124)));           // not a 40-byte header
    EXPECT_FALSE(DecodesFirst(withDword(header + 4, 9)));         // width differs
    EXPECT_FALSE(DecodesFirst(withDword(header + 8, 8)));         // height not doubled
    EXPECT_FALSE(DecodesFirst(withWord(header + 12, 2)));         // planes
    EXPECT_FALSE(DecodesFirst(withWord(header + 14, 24)));        // 24 bits per pixel
    EXPECT_FALSE(DecodesFirst(withDword(header + 16, 3)));        // BI_BITFIELDS
    EXPECT_FALSE(DecodesFirst(withDword(6 + 8, 40 + 256 + 31)));  // mask cut short
    EXPECT_FALSE(DecodesFirst(withDword(6 + 8, 39)));             // header cut short

    std::vector<uint8_t> cut(good.begin(), good.end() - 1);  // file shorter than the directory says
    EXPECT_FALSE(Parses(cut));
}

TEST(IconFile, BitmapWithoutAlphaTakesItsMask) {
    // Icons made before alpha channels: all alpha bytes 0, the mask says what is opaque.
    RgbaImage image = Pattern(9, 3);
    std::vector<uint8_t> ico = EncodeIconFile({{image, {}}});
    const size_t colors = 6 + 16 + 40;
    for (size_t i = 0; i < 9 * 3; ++i) ico[colors + i * 4 + 3] = 0;
    std::vector<IconFileEntry> entries;
    ASSERT_TRUE(ParseIconFile(ico.data(), ico.size(), &entries));
    IconPixels out;
    ASSERT_TRUE(DecodeIconEntry(ico.data(), ico.size(), entries[0], &out));
    for (size_t i = 0; i < 9 * 3; ++i) {
        EXPECT_EQ(out.bgra[i * 4 + 3], image.rgba[i * 4 + 3] == 0 ? 0 : 255) << i;
        EXPECT_EQ(out.bgra[i * 4 + 2], image.rgba[i * 4]) << i;
    }
}

TEST(IconFile, RejectsBrokenPngAndPngOfAnotherSize) {
    std::vector<uint8_t> good = EncodeIconFile({Png(16, 16)});
    ASSERT_TRUE(DecodesFirst(good));

    std::vector<uint8_t> ico = good;
    ico[6] = 32;  // the directory claims 32 x 16
    EXPECT_FALSE(DecodesFirst(ico));

    ico = good;
    for (size_t i = 6 + 16 + 8; i < ico.size(); ++i) ico[i] = static_cast<uint8_t>(i * 31);
    EXPECT_FALSE(DecodesFirst(ico));  // signature intact, the rest garbage

    ico = good;
    PutDword(&ico, 6 + 8, static_cast<uint32_t>(ico.size() - 6 - 16 - 20));  // PNG cut short
    EXPECT_FALSE(DecodesFirst(ico));

    std::vector<uint8_t> wide = EncodePng(Pattern(257, 1));
    IconPixels out;
    EXPECT_FALSE(DecodePngImage(wide.data(), wide.size(), &out));
    EXPECT_TRUE(out.bgra.empty());
    EXPECT_FALSE(DecodePngImage(nullptr, 0, &out));
}
