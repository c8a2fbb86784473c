// Errors land in the frame of the procedure whose own call failed: the failing peg's ITEM
// raises 99 inside MoveDisk or DrawPeg, and its next method call looks at the frames. On the
// portable host also the paint of the window procedure and the control word after every
// system call.
#include "puzzle/puzzle.h"

#include "runtime/error_numbers.h"
#include "tests/puzzle/procedure_frames_support.h"
#include "ui/scene.h"

#include <gtest/gtest.h>

namespace {
const ProcedureInfo kCaller = {"Caller", nullptr};
class ProcedureFrames : public FailingPegTest {};
}  // namespace

TEST_F(ProcedureFrames, AnErrorInsideMoveDiskStaysInItsFrame) {
    Replace(0);
    ProcFrame caller(&kCaller);
    MoveDisk(0, 2);
    ASSERT_EQ(failing.seen.size(), 1u);  // REMOVE, right after the failed ITEM
    const FrameSeen& seen = failing.seen[0];
    EXPECT_EQ(seen.name, "MoveDisk");
    EXPECT_EQ(seen.error, kErrorObjectCallFailed);
    EXPECT_EQ(seen.flags, kErrorFromProcedure);
    EXPECT_EQ(seen.callerName, "Caller");
    EXPECT_EQ(seen.callerError, 0);
    EXPECT_EQ(caller.LastError(), 0);
}

TEST_F(ProcedureFrames, AnErrorWhileDrawingAPegStaysInDrawPegsFrame) {
    Replace(1);
    ProcFrame caller(&kCaller);
    SceneCanvas canvas(820, 500);
    ComposeScene(canvas.dc, 820, 500);
    ASSERT_EQ(failing.seen.size(), 1u);  // the second ITEM, after the first failed
    EXPECT_EQ(failing.seen[0].name, "DrawPeg");
    EXPECT_EQ(failing.seen[0].error, kErrorObjectCallFailed);
    EXPECT_EQ(failing.seen[0].callerName, "Caller");
    EXPECT_EQ(failing.seen[0].callerError, 0);
    EXPECT_EQ(caller.LastError(), 0);
}

// Portable host only (the platform trace sees the program's system calls): the window
// procedure's paint keeps an error of DrawPeg out of PaintScene's frame, and program code
// reloads the control word after every system call, whatever the call left loaded.
#ifndef _WIN32
#include "platform/trace.h"
#include "puzzle/solver.h"
#include "runtime/fpu_control.h"
#include "ui/main_window.h"

#include <cstdlib>
#include <functional>

namespace {

class ProcedureFramesPortable : public FailingPegTest {
   protected:
    static void SetUpTestSuite() { FailingPegTest::SetUpTestSuite(); }
    void SetUp() override {
        FailingPegTest::SetUp();
        window = CreateHanoisWindow();
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        MainWindow = window;
        platform_trace::SetInstantSleep(true);
        platform_trace::Enable(true);
    }
    void TearDown() override {
        platform_trace::Enable(false);
        platform_trace::SetObserver(nullptr);
        platform_trace::SetInstantSleep(false);
        DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        FailingPegTest::TearDown();
    }
    void Paint() {
        InvalidateRect(window, nullptr, TRUE);
        HanoisWndProc(window, WM_PAINT, 0, 0);
    }
    HWND window = nullptr;
};

}  // namespace

TEST_F(ProcedureFramesPortable, PaintSceneKeepsItsOwnFrameClearOfDrawPegsError) {
    Replace(1);
    std::vector<FrameSeen> atCopy;
    platform_trace::SetObserver([&](const platform_trace::Event& event) {
        if (event.call == "BitBlt") atCopy.push_back(LookAtFrames());
    });
    Paint();
    ASSERT_EQ(failing.seen.size(), 1u);
    EXPECT_EQ(failing.seen[0].name, "DrawPeg");
    EXPECT_EQ(failing.seen[0].error, kErrorObjectCallFailed);
    EXPECT_EQ(failing.seen[0].callerName, "PaintScene");
    EXPECT_EQ(failing.seen[0].callerError, 0);
    ASSERT_EQ(atCopy.size(), 1u);  // PaintScene's own code, after the three pegs
    EXPECT_EQ(atCopy[0].name, "PaintScene");
    EXPECT_EQ(atCopy[0].error, 0);
    EXPECT_EQ(atCopy[0].callerName, "HanoisWndProc");
}

// Each traced system call finds the run-time's word loaded and leaves 53-bit precision
// behind, as some drivers do: the next call, and the code after the last, must find the
// run-time's word again.
TEST_F(ProcedureFramesPortable, ControlWordIsReloadedAfterEverySystemCall) {
    const uint16_t saved = ReadFpuControlWord();
    LoadFpuControlWord(kRuntimeFpuControlWord);
    const uint16_t runtimeWord = ReadFpuControlWord();  // as the unit reads it back
    const struct {
        const char* name;
        std::function<void()> run;
    } procedures[] = {
        {"MoveDisk", [] { MoveDisk(0, 1); }},
        {"SolveHanoi", [] { SolveHanoi(2, 1, 2); }},
        {"PaintScene", [this] { Paint(); }},
    };
    SetPeg(0, "7654321");
    for (const auto& procedure : procedures) {
        int calls = 0, found = 0;
        platform_trace::SetObserver([&](const platform_trace::Event&) {
            ++calls;
            found += ReadFpuControlWord() == runtimeWord;
            LoadFpuControlWord(0x027F);
        });
        procedure.run();
        platform_trace::SetObserver(nullptr);
        const uint16_t after = ReadFpuControlWord();
        LoadFpuControlWord(kRuntimeFpuControlWord);
        EXPECT_GT(calls, 1) << procedure.name;
        EXPECT_EQ(found, calls) << procedure.name;
        EXPECT_EQ(after, runtimeWord) << procedure.name;
    }
    LoadFpuControlWord(saved);
}
#endif  // _WIN32
