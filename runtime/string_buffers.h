// Storing the top temporary string into the program's fixed-size byte buffers: fixed-length
// string variables (blank-padded) and zero-terminated string variables.
#pragma once

#include "platform/win32.h"

// Copies min(length, size) bytes of the top slot into `buffer`, fills the rest of its `size`
// bytes with blanks (0x20), then pops and frees the slot.
void PopIntoFixedBuffer(void* buffer, UINT size);

// Copies bytes of the top slot into `buffer` until a zero byte has been copied or size - 1
// bytes have been; writes a zero byte when none was copied; then pops and frees the slot.
// Size 0 stands for 0x2000001 (no limit that a program's buffer would reach).
void PopIntoZeroTerminatedBuffer(void* buffer, UINT size);
