// PaintScene, ComposeScene and DrawPeg. No result of a platform call is tested: a creation
// that fails makes the calls that use it draw nothing, and the paint still releases what it
// got. The pegs are read without taking their locks (see DrawPeg).
#include "ui/scene.h"

#include "app/puzzle.h"
#include "objects/item_value.h"
#include "runtime/object_result.h"
#include "ui/disk_images.h"

#include <cmath>

LONG HalfRoundedToEven(LONG n) {
    LONG down = n >= 0 ? n / 2 : -((-n + 1) / 2);  // floor(n / 2)
    if ((n & 1) == 0) return down;
    return (down & 1) ? down + 1 : down;  // n / 2 lies halfway between down and down + 1
}

namespace {

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
    DrawIconEx(dc, x, y, PegImage, PegImageSize, PegImageSize, 0, nullptr, DI_NORMAL);
    const LONG ax = x + DiskAnchorDx;
    LONG ay = y + DiskAnchorDy;
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
        if (disk != 0) {
            const LONG size = DiskSizes[disk];
            const LONG left = HalfRoundedToEven(2 * ax - size);  // ax - size / 2, halves to even
            const LONG top = HalfRoundedToEven(2 * ay - size);
            DrawIconEx(dc, left, top, DiskImages[disk], size, size, 0, nullptr, DI_NORMAL);
        }
        ay -= DiskStep;
    }
}

void ComposeScene(HDC target, LONG width, LONG height) {
    HBITMAP offscreen = CreateCompatibleBitmap(target, width, height);
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ kept = SelectObject(memory, offscreen);

    HBRUSH background = CreateSolidBrush(SceneBackground);
    RECT all{0, 0, width, height};
    FillRect(memory, &all, background);
    DeleteObject(background);

    for (LONG peg = 0; peg < PegCount; ++peg)
        DrawPeg(memory, PegImageLeft + PegSpacing * peg, PegImageTop, peg);

    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);

    SelectObject(memory, kept);
    DeleteObject(offscreen);
    DeleteDC(memory);
}

void PaintScene(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    ComposeScene(dc, client.right, client.bottom);
    EndPaint(window, &paint);
}
