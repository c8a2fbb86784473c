// Icon file writer (see icon_writer.h). All fields little-endian.
#include "resources/tools/icon_writer.h"

#include <stdexcept>

namespace {

void PutWord(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void PutDword(std::vector<uint8_t>* out, uint32_t v) {
    PutWord(out, v & 0xFFFF);
    PutWord(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeIconBitmap(const RgbaImage& image) {
    const uint32_t w = image.width, h = image.height;
    const uint32_t maskStride = (w + 31) / 32 * 4;
    const uint32_t imageBytes = 4 * w * h + maskStride * h;
    std::vector<uint8_t> out;
    out.reserve(40 + imageBytes);
    PutDword(&out, 40);     // biSize
    PutDword(&out, w);      // biWidth
    PutDword(&out, 2 * h);  // biHeight: colour pixels and mask
    PutWord(&out, 1);       // biPlanes
    PutWord(&out, 32);      // biBitCount
    PutDword(&out, 0);      // biCompression: BI_RGB
    PutDword(&out, imageBytes);
    for (int i = 0; i < 4; ++i) PutDword(&out, 0);  // resolution, colours used and important

    for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* src = &image.rgba[(h - 1 - row) * w * 4];
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* p = src + x * 4;
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* src = &image.rgba[(h - 1 - row) * w * 4];
        std::vector<uint8_t> bits(maskStride, 0);
        for (uint32_t x = 0; x < w; ++x) {
            if (src[x * 4 + 3] == 0) bits[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

std::vector<uint8_t> EncodeIconFile(const std::vector<IconGroupImage>& images) {
    if (images.empty()) throw std::invalid_argument("an icon needs at least one image");
    std::vector<std::vector<uint8_t>> data;
    for (const IconGroupImage& image : images) {
        if (image.pixels.width < 1 || image.pixels.width > 256 || image.pixels.height < 1 ||
            image.pixels.height > 256) {
            throw std::invalid_argument("icon images are 1 to 256 pixels wide and high");
        }
        data.push_back(image.png.empty() ? EncodeIconBitmap(image.pixels) : image.png);
    }
    std::vector<uint8_t> out;
    PutWord(&out, 0);  // reserved
    PutWord(&out, 1);  // type: icon
    PutWord(&out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].pixels.width & 0xFF));  // 256 -> 0
        out.push_back(static_cast<uint8_t>(images[i].pixels.height & 0xFF));
        out.push_back(0);  // colour count: not a palette image
        out.push_back(0);  // reserved
        PutWord(&out, 1);  // planes
        PutWord(&out, 32);
        PutDword(&out, static_cast<uint32_t>(data[i].size()));
        PutDword(&out, offset);
        offset += static_cast<uint32_t>(data[i].size());
    }
    for (const auto& bytes : data) out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}
