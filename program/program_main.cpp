// ProgramMain: sets the puzzle up, shows the window, starts the solver and runs the
// message loop until the window closes.
#include "program/program_main.h"

#include "objects/object_creation.h"
#include "puzzle/puzzle.h"
#include "puzzle/solver_thread.h"
#include "runtime/crash_report.h"
#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"
#include "runtime/string_literal.h"
#include "ui/disk_images.h"
#include "ui/main_window.h"

namespace {
constexpr auto kPegClass = StringLiteral("LinkListCollection");
const ProcedureInfo kProgramMainProcedure = {"ProgramMain", nullptr};
}  // namespace

LONG ProgramMain(HINSTANCE, HINSTANCE, LPCWSTR, LONG) {
    ProcFrame frame(&kProgramMainProcedure);
    NameCrashThread("window thread");
    DimensionModuleArrays();
    // Each peg by the built-in class name, asking for the collection's own
    // interface. The name goes in as a borrowed literal, which the creation never frees.
    // A Pegs array without storage (no memory) has nowhere to keep a peg: none is made.
    for (LONG peg = 0; peg < kPegCount; ++peg) {
        if (ILinkListCollection** slot = Pegs.Slot(peg))
            CreateObject(reinterpret_cast<IUnknown**>(slot), kCreateBuiltin,
                         BorrowedHandle(kPegClass.Handle()), IID_ILinkListCollection);
    }
    for (LONG disk = 1; disk <= DiskCount; ++disk) {
        if (LONG* size = DiskSizes.Slot(disk)) *size = DiskSizeOf(disk);
    }
    LoadSceneImages();  // before the window: its first paint draws them
    MainWindow = CreateHanoisWindow();
    // Without a window (no display) the loop below would wait for a quit that never comes.
    if (!MainWindow) EndWithoutWindow();
    ShowWindow(MainWindow, SW_SHOWNORMAL);  // the first paint shows three empty pegs
    AfterSystemCall();
    UpdateWindow(MainWindow);
    AfterSystemCall();
    // The solver needs all three pegs: when one could not be created the puzzle stays as it
    // is drawn (no disks) and the window still works and closes normally.
    if (Pegs[0] && Pegs[1] && Pegs[2]) StartSolverThread();
    RunMessageLoop(MainWindow);  // until WM_DESTROY posts the quit message
    return 0;
}
