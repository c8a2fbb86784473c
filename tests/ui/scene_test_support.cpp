// Support for the scene tests: canvas, boxes, PNG output and the peg fixture.
#include "tests/ui/scene_test_support.h"

#include "ui/disk_images.h"
#include "ui/scene.h"

#include <cstdio>

SceneCanvas::SceneCanvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    void* raw = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    bits = static_cast<DWORD*>(raw);
    previous = SelectObject(dc, bitmap);
}

SceneCanvas::~SceneCanvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void SceneCanvas::Fill(DWORD rgb) {
    for (int i = 0; i < width * height; ++i) bits[i] = rgb;
}

namespace {

uint32_t Crc(const std::vector<uint8_t>& data, size_t from) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = from; i < data.size(); ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    Put32(out, static_cast<uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc(out, start));
}

}  // namespace

bool SceneCanvas::WritePng(const std::string& path) const {
    std::vector<uint8_t> raw;  // filter byte 0, then R, G, B per pixel, row by row
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            DWORD p = At(x, y);
            raw.insert(raw.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p)});
        }
    }
    std::vector<uint8_t> z{0x78, 0x01};  // zlib header, then stored blocks of at most 65535
    for (size_t at = 0; at < raw.size() || at == 0;) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.insert(z.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                           static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
        if (n == 0) break;
    }
    uint32_t a = 1, b = 0;  // Adler-32 of the raw bytes
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32(header, width);
    Put32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}

Box BoxNotOf(const SceneCanvas& canvas, DWORD rgb, Box area) {
    Box box{area.right + 1, area.bottom + 1, area.left - 1, area.top - 1};
    for (int y = std::max(area.top, 0); y <= std::min(area.bottom, canvas.height - 1); ++y)
        for (int x = std::max(area.left, 0); x <= std::min(area.right, canvas.width - 1); ++x)
            if (canvas.At(x, y) != rgb) box = Union(box, Box{x, y, x, y});
    if (box.right < box.left) return Box{0, 0, -1, -1};
    return box;
}

Box Union(Box a, Box b) {
    if (a.right < a.left) return b;
    if (b.right < b.left) return a;
    return Box{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom)};
}

std::string ToString(const Box& box) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)", box.left, box.top, box.right, box.bottom);
    return text;
}

void SceneTest::SetUpTestSuite() {
    DimensionModuleArrays();
    for (LONG disk = 1; disk <= DiskCount; ++disk) *DiskSizes.Slot(disk) = DiskSizeOf(disk);
    // Another suite's process-end cleanup may have erased the picture array meanwhile.
    if (!PegImage || !DiskImages[DiskCount]) LoadSceneImages();
}

void SceneTest::SetUp() {
    PuzzleTest::SetUp();
    SetUpTestSuite();  // DiskSizes may have been changed by another suite
}

void SceneTest::SetPeg(LONG peg, const std::string& text) {
    Pegs[peg]->CLEAR();
    for (char c : text) {
        VARIANT item{};  // 'e' stands for an empty item
        if (c != 'e') {
            item.vt = VT_I4;
            item.lVal = c - '0';
        }
        Pegs[peg]->ADD(&item);
    }
}

Box SceneTest::ExpectedPegBox(LONG peg, const std::string& text) {
    // Opaque extents of the images (columns, rows; inclusive), by disk number.
    struct Extent {
        int c0, c1, r0, r1;
    };
    static const Extent kDisk[8] = {{},
                                    {4, 132, 20, 110},
                                    {4, 152, 23, 127},
                                    {4, 172, 26, 144},
                                    {4, 192, 30, 161},
                                    {4, 212, 32, 178},
                                    {4, 232, 35, 194},
                                    {4, 252, 38, 211}};
    const int x = 10 + 256 * peg, y = 100;
    Box box{x + 108, y, x + 147, y + 255};  // the peg's rod
    int ay = y + 246;
    for (char c : text) {
        int d = c - '0';
        if (d < 1 || d > 7) {  // not a disk: nothing drawn, the place is kept
            ay -= 20;
            continue;
        }
        int s = 133 + 20 * (d - 1), half = (s - 1) / 2;
        int left = x + 128 - half, top = ay - half;
        box = Union(
            box, Box{left + kDisk[d].c0, top + kDisk[d].r0, left + kDisk[d].c1, top + kDisk[d].r1});
        ay -= 20;
    }
    return box;
}
