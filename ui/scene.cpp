// PaintScene, ComposeScene and DrawPeg. No result of a platform call is tested: a creation
// that fails makes the calls that use it draw nothing, and the paint still releases what it
// got. The pegs are read without taking their locks (see DrawPeg).
#include "ui/scene.h"

#include "objects/item_value.h"
#include "puzzle/puzzle.h"
#include "runtime/object_result.h"
#include "runtime/proc_frame.h"
#include "ui/disk_images.h"

#include <cmath>

LONG HalfRoundedToEven(LONG n) {
    LONG down = n >= 0 ? n / 2 : -((-n + 1) / 2);  // floor(n / 2)
    if ((n & 1) == 0) return down;
    return (down & 1) ? down + 1 : down;  // n / 2 lies halfway between down and down + 1
}

namespace {

const ProcedureInfo kDrawPegProcedure = {"DrawPeg", nullptr};
const ProcedureInfo kPaintSceneProcedure = {"PaintScene", nullptr};

// The disk number an item holds, or 0 when the item cannot be one: an empty value from an
// ITEM that found the peg shorter than its COUNT said, or anything outside 1..DiskCount.
LONG DiskNumberOf(const VARIANT& item) {
    ItemNumber number = ItemToNumber(&item);
    if (number.digitClass == 0) return 0;
    long double rounded = std::nearbyintl(number.value);  // to nearest, a half to even
    if (!(rounded >= 1 && rounded <= DiskCount)) return 0;
    return static_cast<LONG>(rounded);
}

}  // namespace

void DrawPeg(HDC dc, LONG x, LONG y, LONG peg) {
    ProcFrame frame(&kDrawPegProcedure);
    DrawIconEx(dc, x, y, PegImage, kPegImageSize, kPegImageSize, 0, nullptr, DI_NORMAL);
    AfterSystemCall();
    const LONG ax = x + kDiskAnchorDx;
    LONG ay = y + kDiskAnchorDy;
    ILinkListCollection* pegs = PegAt(peg);
    // No lock is taken over the walk: the solver thread never waits for a paint, and a peg
    // that shrinks after its COUNT was read yields an empty item, which is skipped below.
    // The repaint that follows every move draws the settled state.
    // A peg that could not be created is drawn as its rod alone.
    LONG count = 0;
    if (pegs) CheckObjectResult(pegs->COUNT(&count));
    for (LONG position = 1; position <= count; ++position) {
        VARIANT item{};
        LONG index = position;
        CheckObjectResult(pegs->ITEM(&index, &item));
        const LONG disk = DiskNumberOf(item);
        ItemRelease(&item);
        // DiskSizes without storage (no memory at start-up) gives size 0: no such disk is
        // drawn, since DrawIconEx would take size 0 as the image's own size.
        const LONG size = DiskSizes[disk];
        if (disk != 0 && size != 0) {
            const LONG left = HalfRoundedToEven(2 * ax - size);  // ax - size / 2, halves to even
            const LONG top = HalfRoundedToEven(2 * ay - size);
            DrawIconEx(dc, left, top, DiskImages[disk], size, size, 0, nullptr, DI_NORMAL);
            AfterSystemCall();
        }
        ay -= kDiskStep;
    }
}

// Belongs to PaintScene: no frame of its own, so its errors are the paint's.
void ComposeScene(HDC target, LONG width, LONG height) {
    HBITMAP offscreen = AfterSystemCall(CreateCompatibleBitmap(target, width, height));
    HDC memory = AfterSystemCall(CreateCompatibleDC(target));
    HGDIOBJ kept = AfterSystemCall(SelectObject(memory, offscreen));

    HBRUSH background = AfterSystemCall(CreateSolidBrush(kSceneBackground));
    RECT all{0, 0, width, height};
    FillRect(memory, &all, background);
    AfterSystemCall();
    DeleteObject(background);
    AfterSystemCall();

    for (LONG peg = 0; peg < kPegCount; ++peg)
        DrawPeg(memory, kPegImageLeft + kPegSpacing * peg, kPegImageTop, peg);

    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    AfterSystemCall();

    SelectObject(memory, kept);
    AfterSystemCall();
    DeleteObject(offscreen);
    AfterSystemCall();
    DeleteDC(memory);
    AfterSystemCall();
}

void PaintScene(HWND window) {
    ProcFrame frame(&kPaintSceneProcedure);
    PAINTSTRUCT paint{};  // a BeginPaint that fails leaves it as it is for EndPaint
    HDC dc = AfterSystemCall(BeginPaint(window, &paint));
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    AfterSystemCall();
    ComposeScene(dc, client.right, client.bottom);
    EndPaint(window, &paint);
    AfterSystemCall();
}
