// ProgramMain: the set-up steps in their order.
#include "app/program_main.h"

#include "app/puzzle.h"
#include "app/solver_thread.h"
#include "objects/list_collection_class.h"

LONG ProgramMain(HINSTANCE, HINSTANCE, LPCWSTR, LONG) {
    for (LONG peg = 0; peg < PegCount; ++peg) Pegs[peg] = NewListCollection();
    for (LONG disk = 1; disk <= DiskCount; ++disk) DiskSizes[disk] = DiskSizeOf(disk);
    StartSolverThread();
    return 0;
}
