// A whole scene composed into an 820 x 500 memory DC (the start position: three pegs and
// seven disks, the most a paint draws) against its floor in the same run: the same frame
// without the pictures (off-screen bitmap and DC made, background filled, copied, released).
// Goal: the scene within 4 times the floor.
#include "objects/list_collection_class.h"
#include "puzzle/puzzle.h"
#include "runtime/thread_record.h"
#include "ui/disk_images.h"
#include "ui/scene.h"

#include <benchmark/benchmark.h>

namespace {

constexpr LONG kWidth = 820, kHeight = 500;

struct Target {
    Target() {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        previous = SelectObject(dc, bitmap);
    }
    ~Target() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

void SetUpStartPosition() {
    static bool done = false;
    if (done) return;
    done = true;
    StartThreadRecords();  // as after start-up: the run-time's record of this thread
    DimensionModuleArrays();
    for (LONG peg = 0; peg < kPegCount; ++peg) *Pegs.Slot(peg) = NewListCollection();
    for (LONG disk = 1; disk <= DiskCount; ++disk) *DiskSizes.Slot(disk) = DiskSizeOf(disk);
    LoadSceneImages();
    FillPegs(DiskCount);
}

void BaselineFillAndCopy(benchmark::State& state) {
    Target target;
    for (auto _ : state) {
        HBITMAP offscreen = CreateCompatibleBitmap(target.dc, kWidth, kHeight);
        HDC memory = CreateCompatibleDC(target.dc);
        HGDIOBJ kept = SelectObject(memory, offscreen);
        HBRUSH background = CreateSolidBrush(kSceneBackground);
        RECT all{0, 0, kWidth, kHeight};
        FillRect(memory, &all, background);
        DeleteObject(background);
        BitBlt(target.dc, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, kept);
        DeleteObject(offscreen);
        DeleteDC(memory);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BaselineFillAndCopy)->Name("scene_paint/baseline_fill_and_copy");

void WholeScene(benchmark::State& state) {
    SetUpStartPosition();
    Target target;
    for (auto _ : state) {
        ComposeScene(target.dc, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WholeScene)->Name("scene_paint/ComposeScene");

}  // namespace
