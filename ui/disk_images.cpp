// Loading the peg and disk images from the program's icon groups.
#include "ui/disk_images.h"

#include "ui/scene.h"

void LoadSceneImages() {
    PegImage =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(PegIconGroup),
                                      IMAGE_ICON, PegImageSize, PegImageSize, 0));
    for (LONG disk = 1; disk <= DiskCount; ++disk) {
        DiskImages[disk] = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(DiskIconGroup), IMAGE_ICON,
                       DiskSizes[disk], DiskSizes[disk], 0));
    }
}
