// The two solids the pictures are made of: a vertical wooden rod and a disk with a hole, both
// seen from slightly above and lit from the upper left. Each is a sampler for raster.h.
#pragma once

#include "resources/tools/raster.h"

// A vertical rod; its shading depends on the column only, so that a piece of rod drawn into a
// disk picture matches the rod picture beneath it pixel for pixel.
struct RodShape {
    float cx = 0;         // centre line
    float halfWidth = 0;  // the rod covers cx - halfWidth < x < cx + halfWidth
    float top = 0;        // highest point of the elliptical top end
    float bottom = 0;     // lowest point of the rounded bottom end
    float endDepth = 0;   // vertical half-axis of the end ellipses
    Color wood;
};

Premul SampleRod(const RodShape& rod, float x, float y);
bool InRodColumns(const RodShape& rod, float x);
Color RodSideColor(const RodShape& rod, float x);

// A disk: elliptical top face (centre cx, cy; half-axes a, b), a side band of the given height
// below it, a hole around the rod, and a soft shadow cast down and to the right.
struct DiskShape {
    float cx = 0, cy = 0, a = 0, b = 0;
    float band = 0;
    float holeHalfWidth = 0;
    Color base;
    RodShape rod;  // the rod through the hole; only its columns and colour are used
    float shadowDx = 0, shadowDy = 0;
    float shadowBlur = 0;  // the shadow reaches this far beyond the shifted outline
    float shadowAlpha = 0;
};

// Outline of the disk (face and band) without its shadow.
bool InDiskOutline(const DiskShape& disk, float x, float y);
Premul SampleDisk(const DiskShape& disk, float x, float y);
