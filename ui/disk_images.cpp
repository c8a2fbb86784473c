// Loading the peg and disk images from the program's icon groups.
#include "ui/disk_images.h"

#include "runtime/proc_frame.h"
#include "ui/scene.h"

namespace {
const ProcedureInfo kLoadSceneImagesProcedure = {"LoadSceneImages", nullptr};
}  // namespace

void LoadSceneImages() {
    ProcFrame frame(&kLoadSceneImagesProcedure);
    PegImage = static_cast<HICON>(AfterSystemCall(
        LoadImageA(AfterSystemCall(GetModuleHandleA(nullptr)), MAKEINTRESOURCEA(kPegIconGroup),
                   IMAGE_ICON, kPegImageSize, kPegImageSize, 0)));
    for (LONG disk = 1; disk <= DiskCount; ++disk) {
        // Without storage for DiskImages (no memory) a loaded icon could never be drawn or
        // freed, and without DiskSizes there is no size to load at: nothing is loaded.
        HICON* image = DiskImages.Slot(disk);
        if (!image || DiskSizes[disk] == 0) continue;
        *image = static_cast<HICON>(AfterSystemCall(
            LoadImageA(AfterSystemCall(GetModuleHandleA(nullptr)), MAKEINTRESOURCEA(kDiskIconGroup),
                       IMAGE_ICON, DiskSizes[disk], DiskSizes[disk], 0)));
    }
}
