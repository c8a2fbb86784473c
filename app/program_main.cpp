// ProgramMain: the set-up steps in their order.
#include "app/program_main.h"

#include "app/puzzle.h"
#include "app/solver_thread.h"
#include "objects/list_collection_class.h"
#include "ui/disk_images.h"
#include "ui/main_window.h"

LONG ProgramMain(HINSTANCE, HINSTANCE, LPCWSTR, LONG) {
    DimensionModuleArrays();
    for (LONG peg = 0; peg < PegCount; ++peg) Pegs[peg] = NewListCollection();
    for (LONG disk = 1; disk <= DiskCount; ++disk) DiskSizes[disk] = DiskSizeOf(disk);
    LoadSceneImages();                  // steps 4 and 5
    MainWindow = CreateHanoisWindow();  // step 6
    // Without a window (no display) the loop below would wait for a quit that never comes.
    if (!MainWindow) EndWithoutWindow();
    ShowWindow(MainWindow, SW_SHOWNORMAL);  // step 7: the first paint, three empty pegs
    UpdateWindow(MainWindow);
    StartSolverThread();
    RunMessageLoop(MainWindow);  // step 9
    return 0;
}
