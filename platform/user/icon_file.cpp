// Icon file directory, entry choice and entry decoding (see icon_file.h). Every offset and
// length read from the data is checked against the data's size before use.
#include "platform/user/icon_file.h"

#include <png.h>

#include <cstring>

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kDirectoryHeader = 6;
constexpr size_t kDirectoryEntry = 16;
constexpr size_t kBitmapHeader = 40;
constexpr int kMaxIconEdge = 256;

uint16_t Word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Dword(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t Long(const uint8_t* p) {
    return static_cast<int32_t>(Dword(p));
}

// No pixels, but the buffer's memory is kept for the next decode into the same `out`.
void Empty(IconPixels* out) {
    out->width = 0;
    out->height = 0;
    out->bgra.clear();
}

bool DecodeBitmapEntry(const uint8_t* data, const IconFileEntry& entry, IconPixels* out) {
    if (entry.size < kBitmapHeader) return false;
    const uint8_t* header = data + entry.offset;
    const int width = entry.width;
    const int height = entry.height;
    if (Dword(header) != kBitmapHeader || Long(header + 4) != width ||
        Long(header + 8) != 2 * height || Word(header + 12) != 1 || Word(header + 14) != 32 ||
        Dword(header + 16) != 0 /* BI_RGB */) {
        return false;
    }
    const size_t colorStride = static_cast<size_t>(width) * 4;
    const size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t needed = kBitmapHeader + (colorStride + maskStride) * height;
    if (entry.size < needed) return false;

    const uint8_t* colors = header + kBitmapHeader;
    const uint8_t* mask = colors + colorStride * height;
    out->width = width;
    out->height = height;
    out->bgra.resize(colorStride * height);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = colors + colorStride * (height - 1 - y);
        std::memcpy(&out->bgra[colorStride * y], row, colorStride);
        for (int x = 0; x < width && !anyAlpha; ++x) anyAlpha = row[x * 4 + 3] != 0;
    }
    if (!anyAlpha) {
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = mask + maskStride * (height - 1 - y);
            for (int x = 0; x < width; ++x) {
                bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
                out->bgra[colorStride * y + x * 4 + 3] = transparent ? 0 : 255;
            }
        }
    }
    return true;
}

}  // namespace

bool ParseIconFile(const uint8_t* data, size_t size, std::vector<IconFileEntry>* entries) {
    entries->clear();
    if (!data || size < kDirectoryHeader) return false;
    const size_t count = Word(data + 4);
    if (Word(data) != 0 || Word(data + 2) != 1 || count == 0) return false;
    if (size < kDirectoryHeader + count * kDirectoryEntry) return false;

    std::vector<IconFileEntry> found;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = data + kDirectoryHeader + i * kDirectoryEntry;
        IconFileEntry e;
        e.width = p[0] ? p[0] : 256;
        e.height = p[1] ? p[1] : 256;
        e.bitCount = Word(p + 6);
        e.size = Dword(p + 8);
        e.offset = Dword(p + 12);
        if (e.offset > size || e.size > size - e.offset) return false;
        e.isPng = e.size >= sizeof kPngSignature &&
                  std::memcmp(data + e.offset, kPngSignature, sizeof kPngSignature) == 0;
        found.push_back(e);
    }
    *entries = std::move(found);
    return true;
}

int FindIconEntry(const std::vector<IconFileEntry>& entries, int width, int height) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].width == width && entries[i].height == height) return static_cast<int>(i);
    }
    return -1;
}

bool DecodePngImage(const uint8_t* data, size_t size, IconPixels* out) {
    Empty(out);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!data || !png_image_begin_read_from_memory(&image, data, size)) return false;
    if (image.width == 0 || image.height == 0 || image.width > kMaxIconEdge ||
        image.height > kMaxIconEdge) {
        png_image_free(&image);
        return false;
    }
    // 8-bit sRGB output keeps straight alpha; only linear (16-bit) output is premultiplied.
    image.format = PNG_FORMAT_BGRA;
    out->bgra.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out->bgra.data(), 0, nullptr)) {
        png_image_free(&image);
        Empty(out);
        return false;
    }
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    return true;
}

bool DecodeIconEntry(const uint8_t* data, size_t size, const IconFileEntry& entry,
                     IconPixels* out) {
    Empty(out);
    if (!data || entry.offset > size || entry.size > size - entry.offset) return false;
    if (entry.width < 1 || entry.width > kMaxIconEdge || entry.height < 1 ||
        entry.height > kMaxIconEdge) {
        return false;
    }
    bool ok;
    if (entry.isPng) {
        ok = DecodePngImage(data + entry.offset, entry.size, out) && out->width == entry.width &&
             out->height == entry.height;
    } else {
        ok = DecodeBitmapEntry(data, entry, out);
    }
    if (!ok) Empty(out);
    return ok;
}

bool DecodeIconOfSize(const uint8_t* data, size_t size, int width, int height, IconPixels* out) {
    Empty(out);
    std::vector<IconFileEntry> entries;
    if (!ParseIconFile(data, size, &entries)) return false;
    int index = FindIconEntry(entries, width, height);
    return index >= 0 && DecodeIconEntry(data, size, entries[index], out);
}
