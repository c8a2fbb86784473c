// Portable only: the icon decoder, the packer and the embedded groups exist on the portable
// host alone (Windows reads the groups from its resource section).
// The committed .ico files, read byte by byte, and what the portable executable embeds.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/user/icon_file.h"
#include "resources/embedded_icons.h"
#include "resources/tools/icon_writer.h"
#include "resources/tools/image_table.h"
#include "tests/resources/expected_icons.h"

namespace {

using expected_icons::Image;

uint32_t Word(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | d[at + 1] << 8;
}
uint32_t Dword(const std::vector<uint8_t>& d, size_t at) {
    return Word(d, at) | Word(d, at + 2) << 16;
}

std::vector<Image> ImagesOfGroup(int group) {
    std::vector<Image> images;
    for (const Image& image : expected_icons::kImages) {
        if (image.group == group) images.push_back(image);
    }
    return images;
}

IconPixels LoadPng(const Image& image) {
    std::vector<uint8_t> bytes = expected_icons::ReadResource(expected_icons::PngFile(image));
    IconPixels pixels;
    EXPECT_TRUE(DecodePngImage(bytes.data(), bytes.size(), &pixels));
    return pixels;
}

}  // namespace

TEST(IconGroups, DirectoriesListTheImagesLargestFirstWithTheirByteCounts) {
    for (int group = 1; group <= 3; ++group) {
        std::vector<uint8_t> ico = expected_icons::ReadResource(expected_icons::GroupFile(group));
        std::vector<Image> images = ImagesOfGroup(group);
        ASSERT_GE(ico.size(), 6u);
        EXPECT_EQ(Word(ico, 0), 0u);
        EXPECT_EQ(Word(ico, 2), 1u);  // icon, not cursor
        ASSERT_EQ(Word(ico, 4), images.size()) << "group " << group;
        uint32_t next = 6 + 16 * static_cast<uint32_t>(images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            size_t e = 6 + 16 * i;
            SCOPED_TRACE("group " + std::to_string(group) + " image " +
                         std::to_string(images[i].id));
            EXPECT_EQ(ico[e], images[i].size == 256 ? 0 : images[i].size);
            EXPECT_EQ(ico[e + 1], images[i].size == 256 ? 0 : images[i].size);
            EXPECT_EQ(ico[e + 2], 0);  // colour count
            EXPECT_EQ(ico[e + 3], 0);
            EXPECT_EQ(Word(ico, e + 4), 1u);  // planes
            EXPECT_EQ(Word(ico, e + 6), 32u);
            uint32_t bytes = Dword(ico, e + 8);
            if (!images[i].png) {
                EXPECT_EQ(bytes, images[i].bitmapBytes);
            }
            EXPECT_EQ(Dword(ico, e + 12), next);  // entries follow the directory in its order
            next += bytes;
        }
        EXPECT_EQ(next, ico.size());
    }
}

TEST(IconGroups, EntriesAreThePngFilesOrBitmapsWithAMaskMatchingAlpha) {
    for (int group = 1; group <= 3; ++group) {
        std::vector<uint8_t> ico = expected_icons::ReadResource(expected_icons::GroupFile(group));
        std::vector<Image> images = ImagesOfGroup(group);
        ASSERT_EQ(Word(ico, 4), images.size());
        for (size_t i = 0; i < images.size(); ++i) {
            const Image& image = images[i];
            SCOPED_TRACE("image " + std::to_string(image.id));
            uint32_t size = Dword(ico, 6 + 16 * i + 8), at = Dword(ico, 6 + 16 * i + 12);
            if (image.png) {
                std::vector<uint8_t> png =
                    expected_icons::ReadResource(expected_icons::PngFile(image));
                ASSERT_EQ(size, png.size());
                EXPECT_EQ(std::memcmp(&ico[at], png.data(), size), 0);
                continue;
            }
            const int s = image.size;
            EXPECT_EQ(Dword(ico, at), 40u);
            EXPECT_EQ(Dword(ico, at + 4), static_cast<uint32_t>(s));
            EXPECT_EQ(Dword(ico, at + 8), static_cast<uint32_t>(2 * s));
            EXPECT_EQ(Word(ico, at + 12), 1u);
            EXPECT_EQ(Word(ico, at + 14), 32u);
            EXPECT_EQ(Dword(ico, at + 16), 0u);  // BI_RGB

            // Rows bottom-up: file row r is image row s - 1 - r.
            IconPixels pixels = LoadPng(image);
            const size_t colors = at + 40, mask = colors + 4 * s * s;
            const size_t maskStride = (s + 31) / 32 * 4;
            size_t wrongColor = 0, wrongMask = 0;
            for (int r = 0; r < s; ++r) {
                int y = s - 1 - r;
                for (int x = 0; x < s; ++x) {
                    const uint8_t* want = &pixels.bgra[(static_cast<size_t>(y) * s + x) * 4];
                    wrongColor += std::memcmp(&ico[colors + (static_cast<size_t>(r) * s + x) * 4],
                                              want, 4) != 0;
                    bool transparent = (ico[mask + r * maskStride + x / 8] >> (7 - x % 8)) & 1;
                    wrongMask += transparent != (want[3] == 0);
                }
            }
            EXPECT_EQ(wrongColor, 0u);
            EXPECT_EQ(wrongMask, 0u);
        }
    }
}

TEST(IconGroups, EveryEntryDecodesBackToItsPng) {
    for (int group = 1; group <= 3; ++group) {
        std::vector<uint8_t> ico = expected_icons::ReadResource(expected_icons::GroupFile(group));
        for (const Image& image : ImagesOfGroup(group)) {
            IconPixels decoded;
            ASSERT_TRUE(DecodeIconOfSize(ico.data(), ico.size(), image.size, image.size, &decoded))
                << "image " << image.id;
            IconPixels want = LoadPng(image);
            EXPECT_EQ(decoded.width, image.size);
            EXPECT_EQ(decoded.height, image.size);
            EXPECT_TRUE(decoded.bgra == want.bgra) << "image " << image.id;
        }
    }
}

TEST(IconGroups, PackerReproducesTheCommittedFiles) {
    // A new drawing must come with repacked icon files (target update_pictures).
    for (int group = 1; group <= 3; ++group) {
        std::vector<IconGroupImage> images;
        for (const IconImageSpec& spec : kIconImages) {
            if (spec.group != group) continue;
            std::vector<uint8_t> png = expected_icons::ReadResource(spec.file);
            IconPixels pixels;
            ASSERT_TRUE(DecodePngImage(png.data(), png.size(), &pixels));
            IconGroupImage image;
            image.pixels.width = pixels.width;
            image.pixels.height = pixels.height;
            image.pixels.rgba = pixels.bgra;
            for (size_t i = 0; i < image.pixels.rgba.size(); i += 4) {
                std::swap(image.pixels.rgba[i], image.pixels.rgba[i + 2]);
            }
            if (spec.storedAsPng) image.png = png;
            images.push_back(image);
        }
        EXPECT_TRUE(EncodeIconFile(images) ==
                    expected_icons::ReadResource(expected_icons::GroupFile(group)))
            << "group " << group;
    }
}

TEST(IconGroups, ExecutableEmbedsTheCommittedFiles) {
    for (int group = 1; group <= 3; ++group) {
        std::vector<uint8_t> ico = expected_icons::ReadResource(expected_icons::GroupFile(group));
        size_t size = 0;
        const unsigned char* data = EmbeddedIconGroup(group, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(size, ico.size());
        EXPECT_EQ(std::memcmp(data, ico.data(), size), 0) << "group " << group;
        EXPECT_EQ(EmbeddedIconGroup(group, nullptr), data);
    }
    for (int id : {0, 4, -1, 14}) {
        size_t size = 123;
        EXPECT_EQ(EmbeddedIconGroup(id, &size), nullptr) << id;
        EXPECT_EQ(size, 0u) << id;
    }
}
