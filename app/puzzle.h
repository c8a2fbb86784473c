// The puzzle state: three pegs, each a list collection of disk numbers (bottom first), the
// disk sizes, and the one operation that changes the state during the solution.
#pragma once

#include "objects/list_collection_interface.h"

constexpr LONG DiskCount = 7;
constexpr DWORD MoveDelayMs = 250;
constexpr LONG PegCount = 3;

// Module-level state, written by ProgramMain before the solver thread starts.
extern ILinkListCollection* Pegs[PegCount];  // indices 0..2
extern LONG DiskSizes[DiskCount + 1];        // indices 1..DiskCount; 0 unused
extern HWND MainWindow;
// Used by the solver thread alone.
extern VARIANT MovingDisk;
extern LONG SourceCount;

// The peg collection at index 0..2.
ILinkListCollection* PegAt(LONG peg);
// Edge length in pixels of disk d's picture.
constexpr LONG DiskSizeOf(LONG disk) {
    return 133 + 20 * (disk - 1);
}

// Clears the three pegs and puts disks DiskCount..1 on peg 0. Requests no repaint.
void FillPegs(LONG diskCount);
// Moves the top disk of `fromPeg` onto `toPeg`, asks for a repaint and pauses.
void MoveDisk(LONG fromPeg, LONG toPeg);
