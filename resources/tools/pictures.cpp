// Geometry of the pictures (see pictures.h). The peg and disk sizes are fixed by the scene
// layout: disks stack 20 px apart, centred on the peg's rod, so each disk is a face with a 20 px
// band whose outline (with its shadow) fills exactly the rows and columns the layout expects.
#include "resources/tools/pictures.h"

#include "resources/tools/shapes.h"

namespace {

constexpr int kSamplesPerAxis = 8;

// Colours from the smallest disk to the largest.
const Color kDiskColors[7] = {
    FromRgb8(214, 52, 46),  FromRgb8(236, 126, 32), FromRgb8(232, 190, 36), FromRgb8(92, 168, 64),
    FromRgb8(32, 156, 164), FromRgb8(52, 98, 196),  FromRgb8(128, 72, 170),
};

const Color kWood = FromRgb8(172, 118, 66);

// First and last row with any coverage, per disk (smallest first).
struct RowSpan {
    int first, last;
};
const RowSpan kDiskRows[7] = {{20, 110}, {23, 127}, {26, 144}, {30, 161},
                              {32, 178}, {35, 194}, {38, 211}};

constexpr float kRodHalfWidth = 19.7f;  // covers columns 108..147 of the 256 px peg picture
constexpr float kBand = 20.0f;          // = the stacking step, so each disk rests on the next
constexpr float kShadowDx = 3.0f, kShadowDy = 3.0f, kShadowBlur = 2.0f;
// Where an outline starts inside its first pixel: far enough in that the pixel before stays
// clear, near enough that a sample of the first pixel is covered.
constexpr float kInset = 0.35f;

RodShape PegRod(float cx) {
    RodShape rod;
    rod.cx = cx;
    rod.halfWidth = kRodHalfWidth;
    rod.top = kInset;
    rod.bottom = 256.0f - kInset;
    rod.endDepth = 9.5f;
    rod.wood = kWood;
    return rod;
}

DiskShape DiskGeometry(int disk) {
    int size = 133 + 20 * (disk - 1);
    RowSpan rows = kDiskRows[disk - 1];
    DiskShape d;
    // The centre line is the rod's: the picture's middle column boundary, (size - 1) / 2.
    d.cx = (size - 1) / 2.0f;
    d.a = d.cx - (4 + kInset);  // first opaque column 4; the shadow reaches the last column
    d.band = kBand;
    d.shadowDx = kShadowDx;
    d.shadowDy = kShadowDy;
    d.shadowBlur = kShadowBlur;
    d.shadowAlpha = 0.32f;
    float top = rows.first + kInset;
    float bottom = rows.last + 1 - kInset - kShadowDy - kShadowBlur;
    d.b = (bottom - top - kBand) / 2.0f;
    d.cy = top + d.b;
    d.holeHalfWidth = kRodHalfWidth + 4.5f;
    d.base = kDiskColors[disk - 1];
    d.rod = PegRod(d.cx);
    return d;
}

}  // namespace

RgbaImage DrawPeg() {
    RodShape rod = PegRod(128.0f);
    return Render(256, 256, kSamplesPerAxis,
                  [&](float x, float y) { return SampleRod(rod, x, y); });
}

RgbaImage DrawDisk(int disk) {
    DiskShape d = DiskGeometry(disk);
    int size = 133 + 20 * (disk - 1);
    return Render(size, size, kSamplesPerAxis,
                  [&](float x, float y) { return SampleDisk(d, x, y); });
}

RgbaImage DrawAppIcon(int size) {
    // A small tower: four disks on a rod, the same solids as the scene, scaled to the icon.
    const float s = static_cast<float>(size);
    RodShape rod;
    rod.cx = s / 2;
    rod.halfWidth = 0.055f * s;
    rod.top = 0.05f * s;
    rod.bottom = 0.70f * s;
    rod.endDepth = rod.halfWidth * 0.5f;
    rod.wood = kWood;

    const int kCount = 4;
    const int colorOf[kCount] = {6, 4, 2, 0};
    const float halfWidth[kCount] = {0.46f, 0.37f, 0.29f, 0.21f};
    DiskShape disks[kCount];
    float band = 0.10f * s;
    float cy = 0.92f * s - band - halfWidth[0] * s * 0.45f;
    for (int k = 0; k < kCount; ++k) {
        DiskShape& d = disks[k];
        d.cx = s / 2;
        d.a = halfWidth[k] * s;
        d.b = d.a * 0.45f;
        d.cy = cy;
        d.band = band;
        d.holeHalfWidth = rod.halfWidth + 0.02f * s;
        d.base = kDiskColors[colorOf[k]];
        d.rod = rod;
        if (size >= 48) {
            d.shadowDx = d.shadowDy = 0.012f * s;
            d.shadowBlur = 0.008f * s;
            d.shadowAlpha = 0.32f;
        }
        cy -= band;
    }
    return Render(size, size, kSamplesPerAxis, [&](float x, float y) {
        Premul p = SampleRod(rod, x, y);
        for (const DiskShape& d : disks) p = Over(SampleDisk(d, x, y), p);
        return p;
    });
}

RgbaImage DrawIconImage(const IconImageSpec& spec) {
    if (spec.group == 1) return DrawAppIcon(spec.size);
    if (spec.group == 2) return DrawPeg();
    return DrawDisk((spec.size - 133) / 20 + 1);
}
