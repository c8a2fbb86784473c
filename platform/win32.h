// The one switch point between the hosts: program code includes this header for every
// platform call. On Windows it is the real SDK; elsewhere our own declarations of the
// subset the program uses, with the published names, types, constants and results.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>
#define WSTR(text) L##text
#else
#include "platform/types.h"
#include "platform/kernel/kernel.h"
#include "platform/kernel/process.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/codepage.h"
#include "platform/ole/com.h"
#include "platform/ole/com_init.h"
#include "platform/ole/com_objects.h"
#include "platform/ole/connection_points.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/conversion.h"
#include "platform/ole/dispcall.h"
#include "platform/ole/typelib.h"
#include "platform/user/user.h"
#include "platform/gdi/gdi.h"
#define WSTR(text) u##text
#endif

// An item value is 16 bytes wherever pointers are 4 bytes and on the portable host; the 64-bit
// Windows SDK widens its record part (two pointers) to 24.
#if defined(_WIN64)
static_assert(sizeof(VARIANT) == 24, "the 64-bit SDK's item value is 24 bytes");
#else
static_assert(sizeof(VARIANT) == 16, "an item value must be 16 bytes");
#endif
