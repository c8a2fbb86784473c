// Resources for the portable host: icons from the icon groups embedded in the program (a
// lookup by group and exact size), the stock arrow cursor, and icon destruction.
#pragma once

#include "platform/types.h"

#define ERROR_INVALID_DATA 13L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2

#define LR_DEFAULTCOLOR 0x00000000
#define LR_MONOCHROME 0x00000001
#define LR_LOADFROMFILE 0x00000010
#define LR_LOADTRANSPARENT 0x00000020
#define LR_DEFAULTSIZE 0x00000040
#define LR_SHARED 0x00008000

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

#define SM_CXICON 11
#define SM_CYICON 12

// Loads an icon from the program's icon group `name` (an integer identifier) at exactly
// width x height; 0 x 0 takes the group's first (largest) image, LR_DEFAULTSIZE with 0
// the standard 32 x 32. Only IMAGE_ICON from the program's own module, with the flags
// LR_DEFAULTCOLOR and LR_SHARED. Unlike Windows, no image is scaled: a size the group does
// not hold fails with ERROR_NOT_SUPPORTED. Other failures (null result): unknown group
// ERROR_RESOURCE_NAME_NOT_FOUND, another module ERROR_RESOURCE_DATA_NOT_FOUND, a string
// name, another image type or flag ERROR_NOT_SUPPORTED, an image that does not decode
// ERROR_INVALID_DATA, no memory ERROR_NOT_ENOUGH_MEMORY.
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);

// The group's 32 x 32 image, loaded once and shared (the same handle for every call; not
// destroyed by DestroyIcon). Fails as LoadImageA; system icons (null instance) are not
// held here: ERROR_RESOURCE_NAME_NOT_FOUND.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

// The stock arrow cursor for a null instance and IDC_ARROW (the display's own arrow). Any
// other cursor: null with ERROR_RESOURCE_NAME_NOT_FOUND.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);

// Destroys an icon from LoadImageA. Shared icons stay and report TRUE. FALSE with
// ERROR_INVALID_HANDLE for a dead handle.
BOOL DestroyIcon(HICON icon);
