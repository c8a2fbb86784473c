// Icon files (.ico) held in memory: the directory, the choice of an entry by exact size, and
// decoding of PNG entries (libpng) and 32-bit bitmap entries. What LoadImageA and LoadIconA
// need to turn an embedded icon group into pixels. Other bitmap depths are not supported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct IconFileEntry {
    int width = 0;   // 1..256 (a directory byte of 0 stands for 256)
    int height = 0;  // 1..256
    int bitCount = 0;
    uint32_t offset = 0;  // of the entry's data from the start of the file
    uint32_t size = 0;    // bytes of the entry's data
    bool isPng = false;   // the data starts with the PNG signature
};

// Decoded pixels: straight (not premultiplied) alpha, rows top-down, 4 bytes per pixel in the
// order B, G, R, A (the layout of a top-down 32-bit DIB section). The decoders below reuse
// the memory `bgra` already holds, so one IconPixels decoding icon after icon touches fresh
// pages only when an icon is larger than every one before it.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;
};

// Reads the directory of an icon file. Returns false, with `entries` empty, when the header is
// not an icon's (reserved 0, type 1), the directory is empty or truncated, or an entry's data
// lies (partly) outside the file.
bool ParseIconFile(const uint8_t* data, size_t size, std::vector<IconFileEntry>* entries);

// Index of the first entry of exactly width x height, or -1. No near match is taken: the
// program asks only for sizes that its icons hold.
int FindIconEntry(const std::vector<IconFileEntry>& entries, int width, int height);

// Decodes one entry of a file that ParseIconFile accepted. PNG entries: any PNG that libpng
// reads, converted to 8-bit BGRA; its size must be the directory's. Bitmap entries: a 40-byte
// BITMAPINFOHEADER of the directory's width and twice its height, 1 plane, 32 bits,
// uncompressed, colour rows bottom-up, then the 1-bit mask. Alpha comes from the colour
// pixels; when every alpha byte is 0 (an icon without an alpha channel) the mask decides:
// bit 0 is opaque (255), bit 1 transparent (0), as Windows draws such icons. Returns false,
// with `out` emptied, for anything else or for data too short for its header's claims.
bool DecodeIconEntry(const uint8_t* data, size_t size, const IconFileEntry& entry, IconPixels* out);

// Decodes a PNG held in memory to 8-bit BGRA, straight alpha. Returns false, with `out`
// emptied, when libpng rejects the data or the image is larger than 256 x 256.
bool DecodePngImage(const uint8_t* data, size_t size, IconPixels* out);

// ParseIconFile, FindIconEntry and DecodeIconEntry in one: the entry of exactly
// width x height, decoded. False when the file is not readable or holds no such entry.
bool DecodeIconOfSize(const uint8_t* data, size_t size, int width, int height, IconPixels* out);
