// The x87 control word, the extended arithmetic the number formatting runs on, and the one
// place (with extended_float.cpp) that knows the processor. On i686 and x86-64 the x87 unit
// does the work through inline assembly; elsewhere the control word is a remembered
// per-thread value and ExtendedFloat computes the same bits in software.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "runtime/extended_float.h"

#if defined(__i386__) || defined(__x86_64__)
static_assert(LDBL_MANT_DIG == 64,
              "long double must be the x87 80-bit extended format (64-bit significand); "
              "other formats would give other digits");
constexpr bool kHostHasX87 = true;
#else
constexpr bool kHostHasX87 = false;
#endif

// All exceptions masked, 64-bit precision, rounding to nearest (bit 12 is the old infinity
// control: set, ignored by every x87 since the 80387).
constexpr uint16_t kRuntimeFpuControlWord = 0x133F;
// What FNINIT loads, and so what every thread starts with where the word is remembered.
constexpr uint16_t kPowerOnFpuControlWord = 0x037F;

// The word as the x87 keeps it: bits 7 and 13-15 read as zero, reserved bit 6 as one.
constexpr uint16_t StoredFpuControlWord(uint16_t word) {
    return static_cast<uint16_t>((word & 0x1F3F) | 0x0040);
}

#if defined(__i386__) || defined(__x86_64__)
inline uint16_t ReadFpuControlWord() {
    uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

inline void LoadFpuControlWord(uint16_t word) {
    asm volatile("fldcw %0" : : "m"(word) : "memory");
}
#else
// The remembered word of the calling thread: each thread starts from the power-on word, as
// each thread's x87 state does.
inline thread_local uint16_t softFpuControlWord = kPowerOnFpuControlWord;

inline uint16_t ReadFpuControlWord() {
    return softFpuControlWord;
}

inline void LoadFpuControlWord(uint16_t word) {
    softFpuControlWord = StoredFpuControlWord(word);
}
#endif

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

// The operations of the number formatting in software, under the rounding the run-time's
// word selects (a RuntimeFpuScope is always open around them).
struct SoftExtendedArithmetic {
    using Value = ExtendedFloat;
    static constexpr bool kSoftware = true;
    static constexpr ExtendedRounding kRounding = RoundingOfControlWord(kRuntimeFpuControlWord);

    static Value FromBits(ExtendedFloat bits) { return bits; }
    static Value FromSmall(uint32_t n) { return n ? ExtendedFromScaled(n, 0) : ExtendedFloat{}; }
    static Value Multiply(Value a, Value b) { return ExtendedMultiply(a, b, kRounding); }
    static Value Divide(Value a, Value b) { return ExtendedDivide(a, b, kRounding); }
    static Value RoundToInteger(Value v) { return ExtendedRoundToInteger(v, kRounding); }
    static int64_t StoreInteger(Value v) { return ExtendedStoreInteger(v, kRounding); }
    static bool Less(Value a, Value b) { return ExtendedCompare(a, b) == ExtendedOrder::kLess; }
    static bool IsZeroOrNotFinite(Value v) {
        const int e = v.signAndExponent & 0x7FFF;
        return e == 0x7FFF || (e == 0 && v.mantissa == 0);
    }
    static ExtendedFloat Bits(Value v) { return v; }
};

#if defined(__i386__) || defined(__x86_64__)
// The same operations on the x87 unit, which rounds under the loaded control word.
struct X87ExtendedArithmetic {
    using Value = long double;
    static constexpr bool kSoftware = false;

    // The first ten bytes of an x87 long double are the value, little-endian.
    static Value FromBits(ExtendedFloat bits) {
        unsigned char bytes[sizeof(Value)] = {};
        std::memcpy(bytes, &bits.mantissa, 8);
        std::memcpy(bytes + 8, &bits.signAndExponent, 2);
        Value v;
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }
    static Value FromSmall(uint32_t n) { return n; }
    static Value Multiply(Value a, Value b) { return a * b; }
    static Value Divide(Value a, Value b) { return a / b; }
    // FRNDINT: rounds to an integer in the loaded rounding mode (ties to even under 0x133F).
    static Value RoundToInteger(Value value) {
        asm("frndint" : "+t"(value));
        return value;
    }
    // FISTP to a 64-bit integer in the loaded rounding mode. Used on values that are already
    // integers below 2^63, where it is exact and spares the compiler's truncating conversion
    // (which switches the control word twice on hosts without FISTTP).
    static int64_t StoreInteger(Value value) {
        int64_t result;
        asm("fistpll %0" : "=m"(result) : "t"(value) : "st");
        return result;
    }
    static bool Less(Value a, Value b) { return a < b; }
    static bool IsZeroOrNotFinite(Value v) { return v == 0 || !std::isfinite(v); }
    static ExtendedFloat Bits(Value v) {
        unsigned char bytes[sizeof(Value)];
        std::memcpy(bytes, &v, sizeof bytes);
        ExtendedFloat bits;
        std::memcpy(&bits.mantissa, bytes, 8);
        std::memcpy(&bits.signAndExponent, bytes + 8, 2);
        return bits;
    }
};
using HostExtendedArithmetic = X87ExtendedArithmetic;
#else
using HostExtendedArithmetic = SoftExtendedArithmetic;
#endif
