// How many bytes of a VARIANT's value area a plain scalar kind occupies, shared by the
// portable copy and conversion code.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// 1, 2, 4 or 8 for the scalar kinds; 0 for strings, objects, decimals and unknown kinds.
inline size_t ScalarWidth(VARTYPE base) {
    switch (base) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_R4:
        case VT_ERROR:
        case VT_INT:
        case VT_UINT:
            return 4;
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_I8:
        case VT_UI8:
            return 8;
        default:
            return 0;
    }
}
