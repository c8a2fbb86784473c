// Errors land in the frame of the procedure whose own call failed: the failing peg's ITEM
// raises 99 inside MoveDisk or DrawPeg, and its next method call looks at the frames.
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
