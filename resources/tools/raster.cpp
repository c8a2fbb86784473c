// Supersampled software rasteriser for the generator (see raster.h).
#include "resources/tools/raster.h"

#include <algorithm>
#include <cmath>

Color FromRgb8(int r, int g, int b) {
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

float Clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

float SmoothStep(float edge0, float edge1, float v) {
    float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

static uint8_t ToByte(double v) {
    long q = std::lround(v * 255.0);
    return static_cast<uint8_t>(std::clamp(q, 0L, 255L));
}

RgbaImage Render(int width, int height, int grid, const Sampler& sampler) {
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    const double weight = 1.0 / (grid * grid);
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < grid; ++sy) {
                for (int sx = 0; sx < grid; ++sx) {
                    float x = i + (sx + 0.5f) / grid;
                    float y = j + (sy + 0.5f) / grid;
                    Premul p = sampler(x, y);
                    r += p.r;
                    g += p.g;
                    b += p.b;
                    a += p.a;
                }
            }
            if (a <= 0.0) continue;
            uint8_t* out = &image.rgba[(static_cast<size_t>(j) * width + i) * 4];
            out[0] = ToByte(r / a);
            out[1] = ToByte(g / a);
            out[2] = ToByte(b / a);
            out[3] = std::max<uint8_t>(1, ToByte(a * weight));
        }
    }
    return image;
}
