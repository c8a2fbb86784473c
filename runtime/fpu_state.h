// The complete floating-point state, saved around calls into the system that must neither
// see nor disturb the run-time's. On the x87 that is the FNSAVE image (control, status and
// tag words, pointers and the eight registers): FNSAVE also puts the unit back into its
// power-on state, so the system call starts from the platform's default control word, and
// FRSTOR gives the run-time its own state back. Elsewhere the state is the remembered
// control word, and saving it likewise leaves the power-on word loaded.
#pragma once

#include "platform/win32.h"
#include "runtime/fpu_control.h"

#if defined(__i386__) || defined(__x86_64__)
struct FpuState {
    BYTE bytes[108];  // the 32-bit protected-mode FNSAVE image on both hosts
};

inline void SaveFpuState(FpuState& state) {
    asm volatile("fnsave %0" : "=m"(state) : : "memory");
}

inline void RestoreFpuState(const FpuState& state) {
    asm volatile("frstor %0" : : "m"(state) : "memory");
}
#else
struct FpuState {
    uint16_t controlWord;
};

inline void SaveFpuState(FpuState& state) {
    state.controlWord = ReadFpuControlWord();
    LoadFpuControlWord(kPowerOnFpuControlWord);
}

inline void RestoreFpuState(const FpuState& state) {
    LoadFpuControlWord(state.controlWord);
}
#endif
