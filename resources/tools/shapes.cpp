// Shading of the rod and the disks (see shapes.h). Light comes from the upper left and a little
// from the front; the viewer looks along +z, slightly from above.
#include "resources/tools/shapes.h"

#include <cmath>

namespace {

// Lighting of a vertical cylinder whose normal at relative column u (-1..1) is (u, 0, nz).
float CylinderLight(float u, float* specular) {
    float nz = std::sqrt(std::fmax(0.0f, 1.0f - u * u));
    const float lx = -0.55f, lz = 0.835f;  // unit light direction in the x-z plane
    float diffuse = std::fmax(0.0f, lx * u + lz * nz);
    // Half vector between the light and the viewer (0, 0, 1).
    float hx = lx, hz = lz + 1.0f;
    float hl = std::sqrt(hx * hx + hz * hz);
    float nh = std::fmax(0.0f, (hx * u + hz * nz) / hl);
    *specular = std::pow(nh, 28.0f);
    return diffuse;
}

float Grain(float dx) {
    // Long grain lines of a turned dowel: a few darker streaks of uneven spacing.
    float streaks = std::pow(0.5f + 0.5f * std::sin(dx * 0.9f + 2.2f * std::sin(dx * 0.31f)), 6.0f);
    return 1.0f + 0.03f * std::sin(dx * 3.7f + 1.0f) - 0.12f * streaks;
}

}  // namespace

bool InRodColumns(const RodShape& rod, float x) {
    return std::fabs(x - rod.cx) < rod.halfWidth;
}

Color RodSideColor(const RodShape& rod, float x) {
    float dx = x - rod.cx;
    float u = dx / rod.halfWidth;
    float spec;
    float diffuse = CylinderLight(u, &spec);
    Color c = Scale(rod.wood, (0.30f + 0.80f * diffuse) * Grain(dx));
    return Add(c, 0.22f * spec);
}

Premul SampleRod(const RodShape& rod, float x, float y) {
    if (!InRodColumns(rod, x)) return {};
    float u = (x - rod.cx) / rod.halfWidth;
    float w = std::sqrt(std::fmax(0.0f, 1.0f - u * u));
    float topCentre = rod.top + rod.endDepth;
    float bottomCentre = rod.bottom - rod.endDepth;
    if (y <= topCentre - rod.endDepth * w || y >= bottomCentre + rod.endDepth * w) return {};

    float v = (y - topCentre) / rod.endDepth;
    float rho = std::sqrt(u * u + v * v);
    if (rho < 1.0f) {
        // Flat top end: end grain, lighter, with faint rings and a bright rim at the front.
        Color c = Scale(rod.wood, 1.30f + 0.05f * std::sin(rho * rod.halfWidth * 0.9f));
        c = Scale(c, 1.0f - 0.10f * u - 0.06f * v);
        float rim = SmoothStep(0.80f, 1.0f, rho);
        c = Mix(c, Add(Scale(rod.wood, 1.45f), 0.08f), rim * 0.6f);
        return Opaque(c);
    }
    Color side = RodSideColor(rod, x);
    // The bottom end turns away from the light.
    float shade = SmoothStep(bottomCentre - 6.0f, bottomCentre + rod.endDepth, y);
    return Opaque(Scale(side, 1.0f - 0.25f * shade));
}

namespace {

struct DiskPoint {
    bool inside = false;
    bool onFace = false;
    float u = 0;
};

DiskPoint LocateOnDisk(const DiskShape& d, float x, float y) {
    DiskPoint p;
    p.u = (x - d.cx) / d.a;
    if (std::fabs(p.u) >= 1.0f) return p;
    float h = d.b * std::sqrt(1.0f - p.u * p.u);
    if (y <= d.cy - h || y >= d.cy + d.band + h) return p;
    p.inside = true;
    p.onFace = y < d.cy + h;
    return p;
}

Color FaceColor(const DiskShape& d, float x, float y) {
    float u = (x - d.cx) / d.a;
    float v = (y - d.cy) / d.b;
    float rho2 = u * u + v * v;
    float rho = std::sqrt(rho2);
    // Flat, facing the light: a gentle gradient from the back left, turned rings, a soft sheen.
    Color c = Scale(d.base, 1.02f - 0.10f * u - 0.08f * v + 0.018f * std::sin(rho * d.a * 0.55f));
    float sheen =
        std::exp(-((u + 0.30f) * (u + 0.30f) / 0.10f + (v + 0.45f) * (v + 0.45f) / 0.06f));
    c = Add(c, 0.14f * sheen);
    // Rounded outer edge: distance to the rim in pixels, from the ellipse's gradient.
    float grad = 2.0f * std::sqrt(u * u / (d.a * d.a) + v * v / (d.b * d.b));
    float edge = grad > 0 ? (1.0f - rho2) / grad : 1e9f;
    float bevel = 1.0f - SmoothStep(0.0f, 2.6f, edge);
    float lit = 0.55f - 0.45f * u + 0.35f * std::fmax(0.0f, v);
    c = Mix(c, Add(Scale(d.base, 1.15f), 0.22f), bevel * Clamp01(lit));
    return c;
}

Color HoleColor(const DiskShape& d, float x, float y, float holeB) {
    // Inside the hole: dark, a little lighter towards the back wall, which faces the viewer.
    float v = (y - d.cy) / holeB;
    (void)x;
    return Scale(d.base, 0.16f + 0.12f * Clamp01(-v));
}

Color BandColor(const DiskShape& d, float x, float y) {
    float u = (x - d.cx) / d.a;
    float h = d.b * std::sqrt(std::fmax(0.0f, 1.0f - u * u));
    float t = (y - (d.cy + h)) / d.band;  // 0 at the face's edge, 1 at the bottom edge
    float spec;
    float diffuse = CylinderLight(u, &spec);
    Color c = Scale(d.base, (0.26f + 0.62f * diffuse) * (1.0f - 0.18f * t));
    c = Add(c, 0.20f * spec);
    // Rounded upper edge catches light; the lower edge curls away into shadow.
    float top = 1.0f - SmoothStep(0.0f, 2.2f / d.band, t);
    c = Mix(c, Add(Scale(d.base, 1.05f), 0.12f), 0.55f * top);
    float low = SmoothStep(1.0f - 2.5f / d.band, 1.0f, t);
    return Scale(c, 1.0f - 0.30f * low);
}

float ShadowCoverage(const DiskShape& d, float x, float y) {
    // Tent-weighted 5 x 5 box of taps: the shadow reaches exactly shadowBlur beyond its outline.
    static const float kTap[5] = {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};
    static const float kWeight[5] = {1, 2, 3, 2, 1};
    float sum = 0;
    for (int j = 0; j < 5; ++j) {
        for (int i = 0; i < 5; ++i) {
            float sx = x - d.shadowDx + kTap[i] * d.shadowBlur;
            float sy = y - d.shadowDy + kTap[j] * d.shadowBlur;
            if (LocateOnDisk(d, sx, sy).inside) sum += kWeight[i] * kWeight[j];
        }
    }
    return sum / 81.0f;
}

}  // namespace

bool InDiskOutline(const DiskShape& disk, float x, float y) {
    return LocateOnDisk(disk, x, y).inside;
}

Premul SampleDisk(const DiskShape& d, float x, float y) {
    DiskPoint p = LocateOnDisk(d, x, y);
    if (!p.inside) {
        if (d.shadowAlpha <= 0) return {};
        float s = ShadowCoverage(d, x, y);
        return Tint(FromRgb8(40, 28, 12), d.shadowAlpha * s);
    }
    if (!p.onFace) return Opaque(BandColor(d, x, y));

    float dx = x - d.cx;
    float dy = y - d.cy;
    float ratio = d.b / d.a;
    if (InRodColumns(d.rod, x)) {
        // The rod stands in front of the face down to where it meets the face's plane.
        float ru = dx / d.rod.halfWidth;
        float rodFront = d.rod.halfWidth * ratio * std::sqrt(std::fmax(0.0f, 1.0f - ru * ru));
        if (dy < rodFront) return Opaque(RodSideColor(d.rod, x));
    }
    float holeB = d.holeHalfWidth * ratio;
    float hu = dx / d.holeHalfWidth;
    float hv = dy / holeB;
    if (hu * hu + hv * hv < 1.0f) {
        if (InRodColumns(d.rod, x)) {
            // The rod seen going down into the hole, in the hole's shadow.
            return Opaque(Scale(RodSideColor(d.rod, x), 0.45f));
        }
        return Opaque(HoleColor(d, x, y, holeB));
    }
    return Opaque(FaceColor(d, x, y));
}
