// Writing icon files (.ico): the directory and the two kinds of entry, PNG data as it stands
// and 32-bit bitmaps with their 1-bit mask.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/tools/raster.h"

// One image of an icon group: its pixels, and its PNG encoding when it is stored as PNG.
struct IconGroupImage {
    RgbaImage pixels;
    std::vector<uint8_t> png;  // empty: stored as a bitmap
};

// A bitmap entry: 40-byte BITMAPINFOHEADER (height doubled), 32-bit BGRA rows bottom-up,
// then the 1-bit mask, rows bottom-up padded to 32 bits, set where alpha is 0.
// Its length is 40 + 4 * w * h + ((w + 31) / 32 * 4) * h.
std::vector<uint8_t> EncodeIconBitmap(const RgbaImage& image);

// The icon file: 6-byte header (0, type 1, count), 16-byte directory entries in the given
// order (256 stored as 0, colour count 0, 1 plane, 32 bits), then each entry's data.
// Throws std::invalid_argument for an image larger than 256 or an empty list.
std::vector<uint8_t> EncodeIconFile(const std::vector<IconGroupImage>& images);
