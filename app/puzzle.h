// The puzzle state: three pegs, each a list collection of disk numbers (bottom first), the
// disk sizes, and the one operation that changes the state during the solution.
#pragma once

#include "objects/list_collection_interface.h"

constexpr LONG DiskCount = 7;
constexpr DWORD MoveDelayMs = 250;
constexpr LONG PegCount = 3;

// Module-level state in one block, so that ModuleCleanupTable (app/module_tables.cpp) can
// name its variables by their offsets. Written by ProgramMain before the solver thread
// starts, except MovingDisk and SourceCount, which the solver thread alone uses.
struct ModuleVariables {
    LONG SourceCount;  // first: an object entry at offset 0 would read as the table's end
    ILinkListCollection* Pegs[PegCount];  // indices 0..2
    LONG DiskSizes[DiskCount + 1];        // indices 1..DiskCount; 0 unused
    HWND MainWindow;
    VARIANT MovingDisk;
    HICON PegImage;                   // never released: icons end with the process
    HICON DiskImages[DiskCount + 1];  // indices 1..DiskCount; 0 unused
};
extern ModuleVariables Module;
inline ILinkListCollection* (&Pegs)[PegCount] = Module.Pegs;
inline LONG (&DiskSizes)[DiskCount + 1] = Module.DiskSizes;
inline HWND& MainWindow = Module.MainWindow;
inline VARIANT& MovingDisk = Module.MovingDisk;
inline LONG& SourceCount = Module.SourceCount;
inline HICON& PegImage = Module.PegImage;
inline HICON (&DiskImages)[DiskCount + 1] = Module.DiskImages;

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
