// The complete x87 state (control, status and tag words, pointers and the eight registers),
// saved around calls into the system that must neither see nor disturb the run-time's.
// FNSAVE also puts the unit back into its power-on state, so the system call starts from
// the platform's default control word; FRSTOR gives the run-time its own state back.
#pragma once

#include "platform/win32.h"

struct FpuState {
    BYTE bytes[108];  // the 32-bit protected-mode FNSAVE image on both hosts
};

inline void SaveFpuState(FpuState& state) {
    asm volatile("fnsave %0" : "=m"(state) : : "memory");
}

inline void RestoreFpuState(const FpuState& state) {
    asm volatile("frstor %0" : : "m"(state) : "memory");
}
