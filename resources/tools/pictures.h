// The pictures of the program: the application icon at any size, the peg, and the seven disks.
// The peg and disk pictures have fixed sizes and opaque extents that the scene layout relies on.
#pragma once

#include "resources/tools/image_table.h"
#include "resources/tools/raster.h"

RgbaImage DrawAppIcon(int size);
RgbaImage DrawPeg();
RgbaImage DrawDisk(int disk);  // disk 1 (smallest, 133 px) .. 7 (largest, 253 px)

// The picture that the table entry describes.
RgbaImage DrawIconImage(const IconImageSpec& spec);
