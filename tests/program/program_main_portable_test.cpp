// Portable only: ProgramMain run whole on the headless display, in a child process (it
// sets the module state up from nothing), with the platform trace watching its calls.
#include "program/program_main.h"

#include "platform/display/headless_backend.h"
#include "platform/trace.h"
#include "puzzle/puzzle.h"
#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/proc_frame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Runs ProgramMain with the n-th run-time allocation failing and closes the window as soon as
// it is shown. `atShow` looks at the program's state there and returns what is wrong with it.
[[noreturn]] void RunProgramMainClosedAtShow(long failingAllocation, std::string (*atShow)()) {
    std::memset(&Module, 0, sizeof Module);
    static std::string (*check)() = atShow;
    static std::string problem;
    platform_trace::SetObserver([](const platform_trace::Event& event) {
        if (event.call == "CreateThread") problem += "the solver was started; ";
        if (event.call != "ShowWindow") return;
        problem += check();
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    });
    platform_trace::Enable(true);
    static const ProcedureInfo caller = {"Caller", nullptr};
    ProcFrame callerFrame(&caller);
    allocation_seam::FailAllocationNumber(failingAllocation);
    const LONG result = ProgramMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    if (callerFrame.LastError() != 0) problem += "an error in the caller's frame; ";
    if (result != 0) problem += "ProgramMain returned " + std::to_string(result);
    std::fputs(problem.c_str(), stderr);
    std::exit(problem.empty() ? 0 : 1);
}

// At the first ShowWindow after the Pegs array got no memory: the error (7) is ProgramMain's
// own, nothing read through the missing array, and the rest of the set-up went on.
std::string StateWithoutPegArray() {
    std::string wrong;
    const ProcFrame& frame = CurrentProcFrame();
    if (std::string(frame.procedure->name) != "ProgramMain" ||
        frame.LastError() != kErrorOutOfMemory)
        wrong += "out of memory not in ProgramMain's frame; ";
    if (Module.Pegs.descriptor.data) wrong += "Pegs has storage; ";
    if (DiskSizes[DiskCount] != 253) wrong += "DiskSizes not filled; ";
    if (!DiskImages[DiskCount] || !PegImage) wrong += "images not loaded; ";
    return wrong;
}

// Runs ProgramMain as started with `showCommand` and closes the window at its first paint,
// where the window must be shown in its normal state. Ends the process without waiting for
// the solver thread, as the program's own end does.
[[noreturn]] void RunProgramMainStartedWith(LONG showCommand) {
    std::memset(&Module, 0, sizeof Module);
    static std::string problem;
    platform_trace::SetObserver([](const platform_trace::Event& event) {
        if (event.call == "ShowWindow" && event.detail != "command=1")
            problem += "ShowWindow " + event.detail + "; ";
        static bool painted = false;
        if (event.call == "CreateThread" && !painted) {  // a hidden window is never painted
            problem += "no paint before the solver started; ";
            PostMessageA(MainWindow, WM_CLOSE, 0, 0);
        }
        if (event.call != "EndPaint" || painted) return;
        painted = true;
        display::headless::SurfaceInfo surface;
        if (!display::headless::Describe(display::headless::FindSurface("Towers of Hanoi"),
                                         &surface) ||
            surface.shown != display::ShowState::kNormal)
            problem += "the first paint is not of a normal window; ";
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    });
    platform_trace::Enable(true);
    if (ProgramMain(nullptr, nullptr, nullptr, showCommand) != 0) problem += "result not 0";
    std::fputs(problem.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(problem.empty() ? 0 : 1);
}

}  // namespace

// Without memory for the first array (Pegs) no peg is created, the window still comes,
// shows its empty rods and closes normally; the solver needs all three pegs and is not
// started.
TEST(ProgramMainDeathTest, NoMemoryForThePegArrayLeavesAWindowWithoutPegs) {
    EXPECT_EXIT(RunProgramMainClosedAtShow(1, StateWithoutPegArray), ::testing::ExitedWithCode(0),
                "^$");
}

TEST(ProgramMainDeathTest, MinimisedOrHiddenStartStillOpensTheWindowNormally) {
    for (LONG command : {SW_HIDE, SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE})
        EXPECT_EXIT(RunProgramMainStartedWith(command), ::testing::ExitedWithCode(0), "^$")
            << "show command " << command;
}
