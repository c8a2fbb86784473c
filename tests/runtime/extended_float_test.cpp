// The software extended format against the x87 itself, bit for bit, for every operation the
// formatting uses under all four rounding controls, and the whole formatting through both.
// Where the host has no x87 only the host-independent checks run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "runtime/fpu_control.h"
#include "runtime/number_format.h"
#include "tests/runtime/extended_operands.h"

namespace {

using Hw = HostExtendedArithmetic;
using extended_operands::Next;

constexpr ExtendedRounding kRoundings[] = {ExtendedRounding::kNearest, ExtendedRounding::kDown,
                                           ExtendedRounding::kUp, ExtendedRounding::kTowardZero};

// Operations a pass checks per operation and rounding: a quick share in the unit run, more
// where the differential label asks for it through the environment.
long OperandCount() {
    const char* text = std::getenv("HANOI_EXTENDED_OPERANDS");
    return text ? std::atol(text) : 20000;
}

std::string Hex(ExtendedFloat v) {
    char text[32];
    std::snprintf(text, sizeof text, "%04X:%016llX", v.signAndExponent,
                  static_cast<unsigned long long>(v.mantissa));
    return text;
}

// Runs op on the hardware with the run-time's word but the given rounding control.
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

Hw::Value Pinned(ExtendedFloat bits) {
    Hw::Value v = Hw::FromBits(bits);
    FpuOrderingBarrier(v);
    return v;
}

struct BinaryOperation {
    const char* name;
    bool divide;
    ExtendedFloat (*soft)(ExtendedFloat, ExtendedFloat, ExtendedRounding);
    Hw::Value (*hard)(Hw::Value, Hw::Value);
};

const BinaryOperation kBinary[] = {
    {"multiply", false, ExtendedMultiply, Hw::Multiply},
    {"divide", true, ExtendedDivide, Hw::Divide},
};

}  // namespace

TEST(ExtendedFloatDifferential, ProductsAndQuotientsMatchTheX87) {
    if (!kHostHasX87) GTEST_SKIP() << "no x87 on this host";
    const long count = OperandCount();
    for (const BinaryOperation& op : kBinary) {
        uint64_t seed = 7 + op.divide;
        long mismatches = 0;
        for (long i = 0; i < count; ++i) {
            const ExtendedFloat a = extended_operands::Operand(seed);
            const ExtendedFloat b = extended_operands::Partner(a, op.divide, seed);
            for (ExtendedRounding r : kRoundings) {
                const ExtendedFloat want =
                    Hw::Bits(OnHardware(r, [&] { return op.hard(Pinned(a), Pinned(b)); }));
                const ExtendedFloat got = op.soft(a, b, r);
                if (got != want && ++mismatches <= 10) {
                    ADD_FAILURE() << op.name << " " << Hex(a) << " " << Hex(b) << " rounding "
                                  << static_cast<int>(r) << ": " << Hex(got) << " vs x87 "
                                  << Hex(want);
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << op.name << " over " << count * 4 << " operations";
    }
}

TEST(ExtendedFloatDifferential, IntegerRoundingStoreAndCompareMatchTheX87) {
    if (!kHostHasX87) GTEST_SKIP() << "no x87 on this host";
    const long count = OperandCount();
    uint64_t seed = 11;
    long mismatches = 0;
    auto report = [&](const char* what, ExtendedFloat a, ExtendedFloat b, int r) {
        if (++mismatches <= 10) ADD_FAILURE() << what << " " << Hex(a) << " " << Hex(b) << " " << r;
    };
    for (long i = 0; i < count; ++i) {
        const ExtendedFloat a = extended_operands::IntegerCandidate(seed);
        for (ExtendedRounding r : kRoundings) {
            const ExtendedFloat rounded =
                Hw::Bits(OnHardware(r, [&] { return Hw::RoundToInteger(Pinned(a)); }));
            if (ExtendedRoundToInteger(a, r) != rounded) report("frndint", a, rounded, int(r));
            const int64_t stored = OnHardware(r, [&] { return Hw::StoreInteger(Pinned(a)); });
            if (ExtendedStoreInteger(a, r) != stored) report("fistp", a, a, int(r));
        }
        const ExtendedFloat b = (i & 1) ? extended_operands::Operand(seed) : a;
        const ExtendedOrder order = ExtendedCompare(a, b);
        if ((order == ExtendedOrder::kLess) != Hw::Less(Pinned(a), Pinned(b)) ||
            (order == ExtendedOrder::kEqual) != (Pinned(a) == Pinned(b))) {
            report("compare", a, b, 0);
        }
        uint64_t bits = Next(seed);
        if (i % 8 == 0) bits = (bits & 0x800FFFFFFFFFFFFFu) | (i % 16 ? 0x7FF0000000000000u : 0);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        const long double loaded = d;
        if (ExtendedFromDouble(d) != ExtendedFromLongDouble(loaded)) report("fld", a, a, 0);
    }
    EXPECT_EQ(mismatches, 0);
}

// The whole text layout, digits and all, through the software arithmetic against the host's
// (the x87 where there is one): every value of the committed sample and random doubles.
TEST(ExtendedFloatDifferential, FormattingMatchesTheHostArithmetic) {
    const char kSample[] =
#include "tests/runtime/number_format_sample.inc"
        ;
    std::istringstream lines(kSample);
    std::string line;
    long checked = 0;
    auto same = [&](ExtendedFloat v, int n, uint32_t flags) {
        char host[kNumberTextBufferSize], soft[kNumberTextBufferSize];
        FormatNumberText(v, n, flags, host);
        FormatNumberText(v, n, flags, soft, ExtendedArithmetic::kSoftware);
        ++checked;
        return ::testing::AssertionResult(std::strcmp(host, soft) == 0)
               << Hex(v) << " N=" << n << ": \"" << soft << "\" vs \"" << host << '"';
    };
    while (std::getline(lines, line)) {
        unsigned se, flags;
        unsigned long long mantissa;
        int n;
        if (std::sscanf(line.c_str(), "%x %llx %d %x", &se, &mantissa, &n, &flags) != 4) continue;
        ASSERT_TRUE(same({mantissa, static_cast<uint16_t>(se)}, n, flags));
    }
    EXPECT_EQ(checked, 10000);
    uint64_t seed = 99;
    for (long i = 0; i < OperandCount() * 5; ++i) {
        uint64_t bits = Next(seed);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        const int n = 1 + static_cast<int>(Next(seed) % 18);
        ASSERT_TRUE(same(ExtendedFromDouble(d), i % 3 ? n : 15, kKeepLeadingBlank));
    }
}
