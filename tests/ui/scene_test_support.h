// Support for the scene tests on both hosts: pegs set from text, the images loaded once, a
// 32-bit canvas that the scene is composed onto, and PNG output of what it holds.
#pragma once

#include "tests/puzzle/puzzle_test_support.h"

#include <string>
#include <vector>

// A memory DC holding a top-down 32-bit DIB section whose pixels the test reads directly.
struct SceneCanvas {
    SceneCanvas(int width, int height);
    ~SceneCanvas();
    SceneCanvas(const SceneCanvas&) = delete;
    SceneCanvas& operator=(const SceneCanvas&) = delete;
    // 0x00RRGGBB of a pixel (the byte GDI keeps for alpha left out).
    DWORD At(int x, int y) const { return bits[y * width + x] & 0x00FFFFFF; }
    void Fill(DWORD rgb);
    // Writes the pixels as an 8-bit RGB PNG (stored, uncompressed deflate blocks).
    bool WritePng(const std::string& path) const;

    int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    DWORD* bits = nullptr;
};

// The bounding box (inclusive) of the pixels in [left, right] x [top, bottom] that differ
// from `rgb`; empty (right < left) when there are none.
struct Box {
    int left, top, right, bottom;
    bool operator==(const Box&) const = default;
};
Box BoxNotOf(const SceneCanvas& canvas, DWORD rgb, Box area);
// The union of two boxes (an empty one adds nothing).
Box Union(Box a, Box b);
std::string ToString(const Box& box);

// Three fresh pegs per test (PuzzleTest), DiskSizes filled and the images loaded once.
class SceneTest : public PuzzleTest {
   protected:
    static void SetUpTestSuite();
    void SetUp() override;
    // Puts the disks of `text` (e.g. "7654321", bottom first) on the peg, replacing its items;
    // 'e' puts an empty item, '0' or '9' a number that is no disk.
    static void SetPeg(LONG peg, const std::string& text);
    // Where the opaque pixels of peg `peg` and its disks `text` must lie in the scene.
    static Box ExpectedPegBox(LONG peg, const std::string& text);
};

constexpr DWORD kBackgroundRgb = 0xF5EDCB;

// Portable host only (the platform trace is ours): SceneTest with the trace recording from
// an empty start, for the tests that read the calls a paint makes.
#ifndef _WIN32
#include "platform/trace.h"

class TracedSceneTest : public SceneTest {
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
};
#endif
