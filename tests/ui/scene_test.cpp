// The scene's pixels on memory DCs, on both hosts: the background everywhere outside the
// images, and each image's opaque extent exactly where the layout puts it, for the empty,
// starting, an intermediate and the solved position; client areas smaller than the scene.
#include "tests/ui/scene_test_support.h"

#include "ui/scene.h"

#include <cstdlib>

namespace {

class ScenePixels : public SceneTest {
   protected:
    // Composes the scene for the three pegs' texts and checks every peg's band and the whole.
    void CheckPosition(const char* peg0, const char* peg1, const char* peg2,
                       const char* pngName = nullptr) {
        const char* texts[3] = {peg0, peg1, peg2};
        for (LONG peg = 0; peg < 3; ++peg) SetPeg(peg, texts[peg]);
        SceneCanvas canvas(820, 500);
        canvas.Fill(0x000000);
        ComposeScene(canvas.dc, 820, 500);
        Box all{0, 0, -1, -1};
        for (LONG peg = 0; peg < 3; ++peg) {
            const int x = 10 + 256 * peg;
            Box expected = ExpectedPegBox(peg, texts[peg]);
            EXPECT_EQ(ToString(BoxNotOf(canvas, kBackgroundRgb, Box{x, 0, x + 255, 499})),
                      ToString(expected))
                << "peg " << peg << " holding " << texts[peg];
            all = Union(all, expected);
        }
        EXPECT_EQ(ToString(BoxNotOf(canvas, kBackgroundRgb, Box{0, 0, 819, 499})), ToString(all));
        // Whatever the position, the opaque pixels stay within x 16..776, y 100..431.
        EXPECT_GE(all.left, 16);
        EXPECT_LE(all.right, 776);
        EXPECT_GE(all.top, 100);
        EXPECT_LE(all.bottom, 431);
        const char* dir = std::getenv("HANOI_SCENE_PNG_DIR");
        if (pngName && dir && *dir) {
            EXPECT_TRUE(canvas.WritePng(std::string(dir) + "/" + pngName));
        }
    }
};

TEST_F(ScenePixels, EmptyPegsShowTheRodsOnly) {
    CheckPosition("", "", "", "empty.png");
}

TEST_F(ScenePixels, StartingPosition) {
    CheckPosition("7654321", "", "", "start.png");
}

TEST_F(ScenePixels, IntermediatePosition) {
    CheckPosition("765", "41", "32", "middle.png");
}

TEST_F(ScenePixels, SolvedPosition) {
    CheckPosition("", "", "7654321", "solved.png");
}

TEST_F(ScenePixels, DisksOutOfOrderAreDrawnAtTheirPlaces) {
    CheckPosition("1234567", "", "");
}

TEST_F(ScenePixels, ItemsThatAreNoDiskAreSkippedAndKeepTheirPlace) {
    CheckPosition("7e90", "", "e3");
}

TEST_F(ScenePixels, TopDiskCoversTheOneBelow) {
    // The centre of disk 1's opaque band on top of the start stack shows disk 1, as it does
    // when disk 1 sits there alone over disk 2's place.
    SetPeg(0, "7654321");
    SceneCanvas full(820, 500);
    ComposeScene(full.dc, 820, 500);
    SetPeg(0, "eeeeee1");
    SceneCanvas alone(820, 500);
    ComposeScene(alone.dc, 820, 500);
    // Disk 1 at (72, 160), size 133: its opaque rows 20..110; a point left of the rod.
    const int x = 72 + 30, y = 160 + 65;
    EXPECT_EQ(full.At(x, y), alone.At(x, y));
    EXPECT_NE(full.At(x, y), kBackgroundRgb);
}

TEST_F(ScenePixels, NumbersRoundHalfToEvenBeforeTheyNameADisk) {
    SetPeg(0, "");
    for (double value : {2.5, 3.5}) {
        VARIANT item{};
        item.vt = VT_R8;
        item.dblVal = value;
        Pegs[0]->ADD(&item);
    }
    SceneCanvas canvas(820, 500);
    ComposeScene(canvas.dc, 820, 500);
    EXPECT_EQ(ToString(BoxNotOf(canvas, kBackgroundRgb, Box{10, 0, 265, 499})),
              ToString(ExpectedPegBox(0, "24")));
}

TEST_F(ScenePixels, APegThatCouldNotBeCreatedShowsItsRodOnly) {
    SetPeg(0, "7654321");
    ILinkListCollection* missing = Pegs[1];
    *Pegs.Slot(1) = nullptr;
    SceneCanvas canvas(820, 500);
    ComposeScene(canvas.dc, 820, 500);
    *Pegs.Slot(1) = missing;
    EXPECT_EQ(ToString(BoxNotOf(canvas, kBackgroundRgb, Box{266, 0, 521, 499})),
              ToString(ExpectedPegBox(1, "")));
    EXPECT_EQ(ToString(BoxNotOf(canvas, kBackgroundRgb, Box{10, 0, 265, 499})),
              ToString(ExpectedPegBox(0, "7654321")));
}

TEST_F(ScenePixels, ClientAreaSmallerThanTheSceneCutsItOff) {
    // The scene keeps its place and size: the small picture is the top-left corner of the
    // full one, pixel for pixel.
    SetPeg(0, "7654321");
    SceneCanvas full(820, 500);
    ComposeScene(full.dc, 820, 500);
    SceneCanvas canvas(400, 300);
    canvas.Fill(0x000000);
    ComposeScene(canvas.dc, 400, 300);
    int differing = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) differing += canvas.At(x, y) != full.At(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(canvas.At(0, 0), kBackgroundRgb);
    EXPECT_NE(canvas.At(130, 299), kBackgroundRgb);  // disk 7, cut off at the bottom edge
}

TEST_F(ScenePixels, ZeroSizedClientAreaShowsNothing) {
    SetPeg(0, "7654321");
    SceneCanvas canvas(64, 64);
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 64}, std::pair{64, 0}}) {
        canvas.Fill(0x123456);
        ComposeScene(canvas.dc, w, h);
        EXPECT_EQ(ToString(BoxNotOf(canvas, 0x123456, Box{0, 0, 63, 63})), "(0,0)-(-1,-1)")
            << w << "x" << h;
    }
}

TEST(SceneLayout, HalvesRoundToTheEvenNeighbour) {
    EXPECT_EQ(HalfRoundedToEven(23), 12);    // 11.5: disk 7's left edge on peg 0
    EXPECT_EQ(HalfRoundedToEven(439), 220);  // 219.5: its top
    EXPECT_EQ(HalfRoundedToEven(21), 10);    // 10.5
    EXPECT_EQ(HalfRoundedToEven(8), 4);
    EXPECT_EQ(HalfRoundedToEven(-3), -2);  // -1.5
    EXPECT_EQ(HalfRoundedToEven(-1), 0);   // -0.5
}

}  // namespace
