// The scene's pixels on memory DCs, on both hosts: the background everywhere outside the
// images, and each image's opaque extent exactly where the layout puts it, for the empty,
// starting, an intermediate and the solved position; client areas smaller than the scene.
// On the portable host also the ordered drawing operations of a paint.
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

// Portable host only: the ordered drawing operations of a paint come from the platform trace,
// which the Windows build does not have; the main window runs on the headless display.
#ifndef _WIN32
#include "platform/gdi/gdi_objects.h"
#include "platform/trace.h"
#include "ui/main_window.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Handle(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}

std::string Value(const std::string& detail, const std::string& key) {
    size_t at = detail.find(key + "=");
    if (at == std::string::npos) return "";
    at += key.size() + 1;
    return detail.substr(at, detail.find(' ', at) - at);
}

class SceneOperations : public TracedSceneTest {
   protected:
    // The drawing calls of one ComposeScene onto a memory DC of 820 x 500, as text with the
    // handles replaced by their roles.
    std::vector<std::string> Compose() {
        SceneCanvas target(820, 500);
        platform_trace::Clear();
        ComposeScene(target.dc, 820, 500);
        std::vector<std::string> calls;
        std::string memory, bitmap, brush;
        for (const auto& event : platform_trace::Events()) {
            const std::string& d = event.detail;
            if (event.call == "CreateCompatibleDC") memory = Value(d, "dc");
            if (event.call == "CreateCompatibleBitmap") {
                bitmap = Value(d, "bitmap");
                EXPECT_EQ(Value(d, "dc"), Handle(target.dc));
                calls.push_back("bitmap " + Value(d, "size"));
            } else if (event.call == "CreateSolidBrush") {
                brush = Value(d, "brush");
                calls.push_back("brush " + Value(d, "color"));
            } else if (event.call == "FillRect") {
                EXPECT_EQ(Value(d, "dc"), memory);
                calls.push_back("fill " + Value(d, "rect") + " " + Value(d, "color"));
            } else if (event.call == "DrawIconEx") {
                EXPECT_EQ(Value(d, "dc"), memory);
                EXPECT_EQ(Value(d, "flags"), "0x3");
                calls.push_back("icon " + Role(Value(d, "icon")) + " " + Value(d, "at") + " " +
                                Value(d, "size"));
            } else if (event.call == "BitBlt") {
                EXPECT_EQ(Value(d, "dc"), Handle(target.dc));
                EXPECT_EQ(Value(d, "source"), memory);
                calls.push_back("copy " + Value(d, "at") + " " + Value(d, "size") + " " +
                                Value(d, "from") + " " + Value(d, "rop"));
            } else if (event.call == "DeleteObject") {
                std::string object = Value(d, "object");
                calls.push_back(object == brush    ? "delete brush"
                                : object == bitmap ? "delete bitmap"
                                                   : "delete ?");
            } else if (event.call == "DeleteDC") {
                calls.push_back(Value(d, "dc") == memory ? "delete memory dc" : "delete ?");
            }
        }
        return calls;
    }
    static std::string Role(const std::string& icon) {
        if (icon == Handle(PegImage)) return "peg";
        for (LONG d = 1; d <= DiskCount; ++d)
            if (icon == Handle(DiskImages[d])) return "disk" + std::to_string(d);
        return "?";
    }
};

TEST_F(SceneOperations, StartingPositionCentresSevenDisksOnPegZero) {
    SetPeg(0, "7654321");
    std::vector<std::string> expected{
        "bitmap 820x500",
        "brush 0xcbedf5",
        "fill 0,0,820,500 0xcbedf5",
        "delete brush",
        "icon peg 10,100 256x256",
        "icon disk7 12,220 253x253",
        "icon disk6 22,210 233x233",
        "icon disk5 32,200 213x213",
        "icon disk4 42,190 193x193",
        "icon disk3 52,180 173x173",
        "icon disk2 62,170 153x153",
        "icon disk1 72,160 133x133",
        "icon peg 266,100 256x256",
        "icon peg 522,100 256x256",
        "copy 0,0 820x500 0,0 0x00cc0020",
        "delete bitmap",
        "delete memory dc",
    };
    EXPECT_EQ(Compose(), expected);
}

TEST_F(SceneOperations, SolvedPositionDrawsTheDisksAfterAllThreePegImages) {
    SetPeg(2, "7654321");
    std::vector<std::string> calls = Compose();
    std::vector<std::string> icons;
    for (const auto& call : calls)
        if (call.rfind("icon", 0) == 0) icons.push_back(call);
    std::vector<std::string> expected{
        "icon peg 10,100 256x256",    "icon peg 266,100 256x256",   "icon peg 522,100 256x256",
        "icon disk7 524,220 253x253", "icon disk6 534,210 233x233", "icon disk5 544,200 213x213",
        "icon disk4 554,190 193x193", "icon disk3 564,180 173x173", "icon disk2 574,170 153x153",
        "icon disk1 584,160 133x133",
    };
    EXPECT_EQ(icons, expected);
}

TEST_F(SceneOperations, EveryObjectOfAPaintIsReleased) {
    SetPeg(1, "321");
    const size_t before = gdi_objects::LiveObjectCount();
    Compose();
    EXPECT_EQ(gdi_objects::LiveObjectCount(), before + 0);
}

TEST_F(SceneOperations, MissingImagesDrawNothingAndTheRestIsDrawn) {
    SetPeg(0, "21");
    HICON saved = DiskImages[2];
    *DiskImages.Slot(2) = nullptr;  // as after a load that failed
    std::vector<std::string> calls = Compose();
    *DiskImages.Slot(2) = saved;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "icon disk1 72,260 133x133"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "copy 0,0 820x500 0,0 0x00cc0020"),
              calls.end());
}

}  // namespace
#endif  // _WIN32
