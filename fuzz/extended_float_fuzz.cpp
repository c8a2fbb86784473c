// The software extended format against the x87 for any two 80-bit patterns: the product,
// the quotient, FRNDINT, FISTP and the comparison under the rounding control the input picks,
// and the whole formatting of the first pattern, must come out bit for bit as the hardware
// gives them. Where the host has no x87 the software results are only exercised.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/fpu_control.h"
#include "runtime/number_format.h"
#include "tests/runtime/x87_oracle.h"

namespace {

using x87_oracle::Hw;
using x87_oracle::OnHardware;
using x87_oracle::Pinned;

void Check(bool condition) {
    if (!condition) std::abort();
}

ExtendedFloat Read(const uint8_t* data) {
    ExtendedFloat v;
    std::memcpy(&v.mantissa, data, 8);
    std::memcpy(&v.signAndExponent, data + 8, 2);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 21) return 0;
    const ExtendedFloat a = Read(data), b = Read(data + 10);
    const auto r = static_cast<ExtendedRounding>(data[20] & 3);
    const ExtendedFloat product = ExtendedMultiply(a, b, r);
    const ExtendedFloat quotient = ExtendedDivide(a, b, r);
    const ExtendedFloat rounded = ExtendedRoundToInteger(a, r);
    const int64_t stored = ExtendedStoreInteger(a, r);
    const ExtendedOrder order = ExtendedCompare(a, b);
    char soft[kNumberTextBufferSize], host[kNumberTextBufferSize];
    const int digits = 1 + (data[20] >> 2) % 18;
    FormatNumberText(a, digits, 0, soft, ExtendedArithmetic::kSoftware);
    if (!kHostHasX87) return 0;
    Check(product == Hw::Bits(OnHardware(r, [&] { return Hw::Multiply(Pinned(a), Pinned(b)); })));
    Check(quotient == Hw::Bits(OnHardware(r, [&] { return Hw::Divide(Pinned(a), Pinned(b)); })));
    Check(rounded == Hw::Bits(OnHardware(r, [&] { return Hw::RoundToInteger(Pinned(a)); })));
    Check(stored == OnHardware(r, [&] { return Hw::StoreInteger(Pinned(a)); }));
    Check((order == ExtendedOrder::kLess) == Hw::Less(Pinned(a), Pinned(b)));
    Check((order == ExtendedOrder::kEqual) == (Pinned(a) == Pinned(b)));
    FormatNumberText(a, digits, 0, host);
    Check(std::strcmp(soft, host) == 0);
    return 0;
}
