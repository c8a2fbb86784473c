// Supersampled software rasteriser for the generator: a picture is a function from a point
// (continuous pixel coordinates, pixel (i, j) covers [i, i+1) x [j, j+1)) to a premultiplied
// colour; Render averages it over a grid of samples per pixel.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0;
};

// Premultiplied colour with coverage; components in 0..1.
struct Premul {
    float r = 0, g = 0, b = 0, a = 0;
};

inline Premul Opaque(Color c) {
    return {c.r, c.g, c.b, 1.0f};
}
inline Premul Tint(Color c, float alpha) {
    return {c.r * alpha, c.g * alpha, c.b * alpha, alpha};
}

// Porter-Duff "over": top drawn over bottom.
inline Premul Over(Premul top, Premul bottom) {
    float k = 1.0f - top.a;
    return {top.r + bottom.r * k, top.g + bottom.g * k, top.b + bottom.b * k, top.a + bottom.a * k};
}

inline Color Scale(Color c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
inline Color Mix(Color x, Color y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t};
}
inline Color Add(Color c, float k) {
    return {c.r + k, c.g + k, c.b + k};
}
Color FromRgb8(int r, int g, int b);

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);

// Straight (not premultiplied) 8-bit RGBA image, rows top-down.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

using Sampler = std::function<Premul(float x, float y)>;

// Renders width x height pixels with grid x grid samples per pixel. A pixel gets a non-zero
// alpha exactly when one of its samples has non-zero coverage (rounding never erases a faint
// edge), so the opaque extents of a picture follow the support of its sampler.
RgbaImage Render(int width, int height, int grid, const Sampler& sampler);
