// Pegs, disks and the move. Every collection call's status goes to CheckObjectResult and is
// otherwise not tested: the collection reports failure only as S_FALSE.
#include "puzzle/puzzle.h"

#include "objects/item_value.h"
#include "runtime/exit_gate.h"
#include "runtime/object_result.h"
#include "runtime/proc_frame.h"

ModuleVariables Module;

namespace {
const ProcedureInfo kFillPegsProcedure = {"FillPegs", nullptr};
const ProcedureInfo kMoveDiskProcedure = {"MoveDisk", nullptr};
}  // namespace

void DimensionModuleArrays() {
    // Element sizes are the host's: references and handles take 8 bytes on the 64-bit host.
    // No erase before: at this step the arrays are still undimensioned, and dimensioning an
    // array that is already dimensioned leaves it as it is.
    DimensionArray(&Module.Pegs.descriptor, 0, kTypeObject, sizeof(ILinkListCollection*), 0,
                   kPegCount - 1);
    DimensionArray(&Module.DiskImages.descriptor, 0, kTypeUInt32, sizeof(HICON), 1, DiskCount);
    DimensionArray(&Module.DiskSizes.descriptor, 0, kTypeInt32, sizeof(LONG), 1, DiskCount);
}

ILinkListCollection* PegAt(LONG peg) {
    return Pegs[peg];
}

void FillPegs(LONG diskCount) {
    ProcFrame frame(&kFillPegsProcedure);
    for (LONG peg = 0; peg < kPegCount; ++peg) CheckObjectResult(PegAt(peg)->CLEAR());
    for (LONG disk = diskCount; disk >= 1; --disk) {
        // The disk goes in by reference to the loop variable; the collection stores the value.
        VARIANT reference{};
        reference.vt = VT_I4 | VT_BYREF;
        reference.plVal = &disk;
        CheckObjectResult(PegAt(0)->ADD(&reference));
    }
}

void MoveDisk(LONG fromPeg, LONG toPeg) {
    ProcFrame frame(&kMoveDiskProcedure);
    ILinkListCollection* source = PegAt(fromPeg);
    CheckObjectResult(source->COUNT(&SourceCount));
    ItemClear(&MovingDisk);
    VARIANT result{};
    CheckObjectResult(source->ITEM(&SourceCount, &result));
    ItemMoveResult(&MovingDisk, &result);
    CheckObjectResult(source->REMOVE(&SourceCount));
    CheckObjectResult(PegAt(toPeg)->ADD(&MovingDisk));
    RedrawWindow(MainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    AfterSystemCall();
    PauseOutsideWork(MoveDelayMs);  // the process may end here (runtime/exit_gate.h)
    AfterSystemCall();
}
