// The pictures the scene is drawn from: the peg image and one disk image per disk size,
// loaded once by ProgramMain and never released (they end with the process).
#pragma once

#include "puzzle/puzzle.h"

constexpr int kAppIconGroup = 1;
constexpr int kPegIconGroup = 2;
constexpr int kDiskIconGroup = 3;

// Loads the pictures the scene is drawn from, before the window exists: PegImage from group 2 at
// 256 x 256, then DiskImages(d) from group 3 at DiskSizes(d) x DiskSizes(d) for d = 1..DiskCount. A
// load that fails leaves its handle null; nothing is reported.
void LoadSceneImages();
