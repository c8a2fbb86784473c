// The recursive solver: moves a tower of disks from one peg to another, one MoveDisk at a
// time, with a repaint request at the end of every call.
#pragma once

#include "platform/win32.h"

// The peg that is neither `fromPeg` nor `toPeg`.
LONG SparePeg(LONG fromPeg, LONG toPeg);
// Moves the top `diskCount` disks of `fromPeg` to `toPeg`. A count below 1 moves nothing
// and requests nothing.
void SolveHanoi(LONG diskCount, LONG fromPeg, LONG toPeg);
