// The hardware side of the differential checks of the software extended format: an operation
// run on the host's extended arithmetic under the run-time's word with a chosen rounding
// control, and operands pinned in memory so the compiler cannot move them across the change.
#pragma once

#include <cstdint>

#include "runtime/fpu_control.h"

namespace x87_oracle {

using Hw = HostExtendedArithmetic;

template <typename Op>
auto OnHardware(ExtendedRounding r, Op op) {
    const uint16_t saved = ReadFpuControlWord();
    LoadFpuControlWord(static_cast<uint16_t>((kRuntimeFpuControlWord & ~0x0C00) |
                                             (static_cast<unsigned>(r) << 10)));
    auto result = op();
    FpuOrderingBarrier(result);
    LoadFpuControlWord(saved);
    return result;
}

inline Hw::Value Pinned(ExtendedFloat bits) {
    Hw::Value v = Hw::FromBits(bits);
    FpuOrderingBarrier(v);
    return v;
}

}  // namespace x87_oracle
