// Portable only: the ordered drawing operations of a paint come from the platform trace,
// which the Windows build does not have; the main window runs on the headless display.
#include "platform/gdi/gdi_objects.h"
#include "platform/trace.h"
#include "tests/ui/scene_test_support.h"
#include "ui/main_window.h"
#include "ui/scene.h"

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

class SceneOperations : public SceneTest {
   protected:
    void SetUp() override {
        SceneTest::SetUp();
        platform_trace::Clear();
        platform_trace::Enable(true);
    }
    void TearDown() override {
        platform_trace::Enable(false);
        SceneTest::TearDown();
    }
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

TEST_F(SceneOperations, StartingPositionIsTheWorkedExample) {
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
