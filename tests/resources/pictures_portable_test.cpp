// Portable only: the picture generator and libpng are built for the build machine alone.
// The committed PNG images: sizes, opaque extents, soft edges, colours, and that they are what
// the generator draws today.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/user/icon_file.h"
#include "resources/tools/image_table.h"
#include "resources/tools/pictures.h"
#include "tests/resources/expected_icons.h"

namespace {

using expected_icons::Extent;

IconPixels LoadPng(const std::string& file) {
    std::vector<uint8_t> bytes = expected_icons::ReadResource(file);
    IconPixels pixels;
    EXPECT_TRUE(DecodePngImage(bytes.data(), bytes.size(), &pixels)) << file;
    return pixels;
}

const uint8_t* Pixel(const IconPixels& image, int x, int y) {
    return &image.bgra[(static_cast<size_t>(y) * image.width + x) * 4];
}

Extent OpaqueExtent(const IconPixels& image) {
    Extent e{image.width, image.width, -1, image.height, -1};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (Pixel(image, x, y)[3] == 0) continue;
            e.firstColumn = std::min(e.firstColumn, x);
            e.lastColumn = std::max(e.lastColumn, x);
            e.firstRow = std::min(e.firstRow, y);
            e.lastRow = std::max(e.lastRow, y);
        }
    }
    return e;
}

void ExpectExtent(const Extent& want, const std::string& file) {
    IconPixels image = LoadPng(file);
    ASSERT_EQ(image.width, want.size) << file;
    Extent got = OpaqueExtent(image);
    EXPECT_EQ(got.firstColumn, want.firstColumn) << file;
    EXPECT_EQ(got.lastColumn, want.lastColumn) << file;
    EXPECT_EQ(got.firstRow, want.firstRow) << file;
    EXPECT_EQ(got.lastRow, want.lastRow) << file;
}

std::string DiskFile(int disk) {
    return "group3/disk" + std::to_string(disk) + "-" + std::to_string(133 + 20 * (disk - 1)) +
           ".png";
}

}  // namespace

TEST(Pictures, EveryImageHasItsSizeOpaqueBodyAndSoftEdges) {
    for (const auto& want : expected_icons::kImages) {
        std::string file = expected_icons::PngFile(want);
        IconPixels image = LoadPng(file);
        ASSERT_EQ(image.width, want.size) << file;
        ASSERT_EQ(image.height, want.size) << file;
        int opaque = 0, partial = 0;
        for (size_t i = 3; i < image.bgra.size(); i += 4) {
            opaque += image.bgra[i] == 255;
            partial += image.bgra[i] > 0 && image.bgra[i] < 255;
        }
        EXPECT_GT(opaque, 0) << file;
        EXPECT_GT(partial, 0) << file << " has no partly transparent edge";
    }
}

TEST(Pictures, PegAndDisksHaveTheOpaqueExtentsOfTheLayout) {
    ExpectExtent(expected_icons::kPegExtent, "group2/peg-256.png");
    for (int disk = 1; disk <= 7; ++disk)
        ExpectExtent(expected_icons::kDiskExtents[disk - 1], DiskFile(disk));
}

TEST(Pictures, GeneratorTableMatchesTheIconGroups) {
    // The packer and the generator follow image_table.h; it must list what the program loads.
    for (int i = 0; i < kIconImageCount; ++i) {
        const auto& want = expected_icons::kImages[i];
        EXPECT_EQ(kIconImages[i].group, want.group) << i;
        EXPECT_EQ(kIconImages[i].id, want.id) << i;
        EXPECT_EQ(kIconImages[i].size, want.size) << i;
        EXPECT_EQ(kIconImages[i].storedAsPng, want.png) << i;
        EXPECT_EQ(std::string(kIconImages[i].file), expected_icons::PngFile(want)) << i;
    }
}

TEST(Pictures, CommittedImagesAreWhatTheGeneratorDraws) {
    // A change to the drawing code must come with regenerated files (target update_pictures).
    for (const IconImageSpec& spec : kIconImages) {
        IconPixels committed = LoadPng(spec.file);
        RgbaImage drawn = DrawIconImage(spec);
        ASSERT_EQ(drawn.width, committed.width) << spec.file;
        ASSERT_EQ(drawn.height, committed.height) << spec.file;
        size_t differing = 0;
        for (size_t i = 0; i < drawn.rgba.size(); i += 4) {
            const uint8_t* c = &committed.bgra[i];
            const uint8_t* d = &drawn.rgba[i];
            differing += d[0] != c[2] || d[1] != c[1] || d[2] != c[0] || d[3] != c[3];
        }
        EXPECT_EQ(differing, 0u) << spec.file << " differs from the generator's drawing";
    }
}

TEST(Pictures, DiskColoursAreClearlyDistinct) {
    double mean[8][3] = {};
    for (int disk = 1; disk <= 7; ++disk) {
        IconPixels image = LoadPng(DiskFile(disk));
        double count = 0;
        for (size_t i = 0; i < image.bgra.size(); i += 4) {
            if (image.bgra[i + 3] != 255) continue;
            for (int c = 0; c < 3; ++c) mean[disk][c] += image.bgra[i + 2 - c];
            ++count;
        }
        ASSERT_GT(count, 0);
        for (int c = 0; c < 3; ++c) mean[disk][c] /= count;
    }
    for (int a = 1; a <= 7; ++a) {
        for (int b = a + 1; b <= 7; ++b) {
            double d = std::hypot(mean[a][0] - mean[b][0], mean[a][1] - mean[b][1],
                                  mean[a][2] - mean[b][2]);
            EXPECT_GT(d, 45.0) << "disks " << a << " and " << b << " look alike";
        }
    }
}

TEST(Pictures, RodDrawnInsideEachDiskContinuesThePeg) {
    // A disk's picture paints the rod over the back of its face; placed by the layout (centre
    // column (s - 1) / 2 on peg column 128) those pixels must be the peg's own.
    IconPixels peg = LoadPng("group2/peg-256.png");
    for (int disk = 1; disk <= 7; ++disk) {
        IconPixels image = LoadPng(DiskFile(disk));
        int centre = (image.width - 1) / 2;
        for (int column = centre - 18; column <= centre + 17; ++column) {
            int top = 0;
            while (top < image.height && Pixel(image, column, top)[3] == 0) ++top;
            ASSERT_LT(top + 6, image.height);
            const uint8_t* rod = Pixel(peg, 128 + column - centre, 128);
            for (int row = top + 2; row <= top + 6; ++row) {
                const uint8_t* p = Pixel(image, column, row);
                ASSERT_EQ(p[3], 255) << "disk " << disk << " column " << column;
                for (int c = 0; c < 3; ++c) {
                    EXPECT_LE(std::abs(p[c] - rod[c]), 1)
                        << "disk " << disk << " column " << column << " row " << row;
                }
            }
        }
    }
}

TEST(Pictures, PegShadingDependsOnTheColumnOnly) {
    // What lets the disks' rod pieces match the peg at any stacking height.
    IconPixels peg = LoadPng("group2/peg-256.png");
    for (int x = 108; x <= 147; ++x) {
        for (int y = 40; y < 220; ++y) {
            ASSERT_EQ(std::memcmp(Pixel(peg, x, y), Pixel(peg, x, 40), 4), 0) << x << "," << y;
        }
    }
}
