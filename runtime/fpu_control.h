// The x87 control word and the one x87 rounding instruction the run-time uses.
// Both hosts (i686 and x86-64) do extended arithmetic on the x87 unit, so the same inline
// assembly serves both; any other processor is refused at build time.
#pragma once

#include <cfloat>
#include <cstdint>

#if !defined(__i386__) && !defined(__x86_64__)
#error "The run-time's number formatting needs the x87 80-bit extended format (i686 or x86-64)."
#endif
static_assert(LDBL_MANT_DIG == 64,
              "long double must be the x87 80-bit extended format (64-bit significand); "
              "other formats would give other digits");

// All exceptions masked, 64-bit precision, rounding to nearest (bit 12 is the old infinity
// control: set, ignored by every x87 since the 80387).
constexpr uint16_t kRuntimeFpuControlWord = 0x133F;

inline uint16_t ReadFpuControlWord() {
    uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

inline void LoadFpuControlWord(uint16_t word) {
    asm volatile("fldcw %0" : : "m"(word) : "memory");
}

// The compiler knows nothing of the control word and may move arithmetic across a change of
// it; passing the operands in and the results out through memory pins them in between.
template <typename T>
inline void FpuOrderingBarrier(T& value) {
    asm volatile("" : "+m"(value) : : "memory");
}

// Runs a block of extended arithmetic under the run-time's control word whatever the caller
// (or a system call before it) left loaded, and gives the caller its own word back.
// Loading a control word costs as much as the rest of a short computation, so a caller's word
// that already computes the same way (say 0x037F, differing only in the ignored bit 12) is kept.
class RuntimeFpuScope {
   public:
    RuntimeFpuScope() : saved_(ReadFpuControlWord()), load_(!ComputesLikeRuntimeWord(saved_)) {
        if (load_) LoadFpuControlWord(kRuntimeFpuControlWord);
    }
    ~RuntimeFpuScope() {
        if (load_) LoadFpuControlWord(saved_);
    }
    RuntimeFpuScope(const RuntimeFpuScope&) = delete;
    RuntimeFpuScope& operator=(const RuntimeFpuScope&) = delete;

   private:
    // Exception masks (bits 0-5), precision (8-9) and rounding (10-11) decide every result.
    static bool ComputesLikeRuntimeWord(uint16_t word) {
        return (word & 0x0F3F) == (kRuntimeFpuControlWord & 0x0F3F);
    }
    uint16_t saved_;
    bool load_;
};

// FRNDINT: rounds to an integer in the loaded rounding mode (ties to even under 0x133F).
inline long double RoundToIntegerX87(long double value) {
    asm("frndint" : "+t"(value));
    return value;
}

// FISTP to a 64-bit integer in the loaded rounding mode. Used on values that are already
// integers below 2^63, where it is exact and spares the compiler's truncating conversion
// (which switches the control word twice on hosts without FISTTP).
inline int64_t StoreIntegerX87(long double value) {
    int64_t result;
    asm("fistpll %0" : "=m"(result) : "t"(value) : "st");
    return result;
}
