// The puzzle state: three pegs, each a list collection of disk numbers (bottom first), the
// disk sizes, and the one operation that changes the state during the solution.
#pragma once

#include "objects/list_collection_interface.h"
#include "runtime/arrays.h"

constexpr LONG DiskCount = 7;
constexpr DWORD MoveDelayMs = 250;
constexpr LONG kPegCount = 3;

// Module-level state in one block, so that ModuleCleanupTable (program/module_tables.cpp) can
// name its variables by their offsets. Written by ProgramMain before the solver thread
// starts, except MovingDisk and SourceCount, which the solver thread alone uses. The three
// tables are run-time arrays.
//
// Why the window thread and the solver thread share this block without a data race:
// - everything ProgramMain writes (the peg references, the pictures, MainWindow) is written
//   before CreateThread, which orders it before all the solver does, and is not written
//   again until RuntimeExit;
// - a peg's contents change only under the collection's own lock (an acquiring exchange, a
//   releasing store), which every method but COUNT takes; COUNT is a relaxed atomic load of
//   a count stored atomically, and an ITEM behind a stale count fails quietly;
// - MovingDisk and SourceCount are the solver's alone until RuntimeExit, which releases the
//   block only once the run-time's thread count (a sequentially consistent atomic, lowered
//   as the solver's last act) shows the solver has ended;
// - what the platform keeps for the window (its update region) is behind its own lock.
// The whole program runs under ThreadSanitizer in the tests to hold this.
struct ModuleVariables {
    ArrayVariable<1> Pegs;        // 0..2, list collection references
    ArrayVariable<1> DiskImages;  // 1..DiskCount, icon handles
    ArrayVariable<1> DiskSizes;   // 1..DiskCount, 32-bit signed
    VARIANT MovingDisk;
    HICON PegImage;  // never released: icons end with the process
    HWND MainWindow;
    LONG SourceCount;
};
extern ModuleVariables Module;

// Element access to a one-dimensional module array by its own index. An array that could
// not be dimensioned (no memory for its storage) has no elements at all: reading one gives
// the empty value (0, a null reference or handle), and there is no slot to store into, so
// the program goes on as after any failed operation and never reads through a null block.
// Indices outside the bounds are treated alike.
template <typename Element>
class ModuleArray {
   public:
    explicit constexpr ModuleArray(ArrayVariable<1>& array) : array_(array) {}
    Element operator[](LONG index) const {
        const Element* slot = Slot(index);
        return slot ? *slot : Element{};
    }
    // The element's storage, or null when the array has no such element.
    Element* Slot(LONG index) const {
        ArrayDescriptor* array = &array_.descriptor;
        if (!(array->flags & kArrayDimensioned) || !array->data) return nullptr;
        if (index < ArrayLowerBound(array, 1) || index > ArrayUpperBound(array, 1)) return nullptr;
        return static_cast<Element*>(array->data) + (index - ArrayLowerBound(array, 1));
    }

   private:
    ArrayVariable<1>& array_;
};

inline const ModuleArray<ILinkListCollection*> Pegs{Module.Pegs};
inline const ModuleArray<HICON> DiskImages{Module.DiskImages};
inline const ModuleArray<LONG> DiskSizes{Module.DiskSizes};
inline HICON& PegImage = Module.PegImage;
inline HWND& MainWindow = Module.MainWindow;
inline VARIANT& MovingDisk = Module.MovingDisk;
inline LONG& SourceCount = Module.SourceCount;

// ProgramMain's first act, before anything can use them: Pegs 0..2, DiskImages 1..DiskCount,
// DiskSizes 1..DiskCount; every element starts zero or empty. An array already dimensioned is kept
// as it is.
void DimensionModuleArrays();

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
