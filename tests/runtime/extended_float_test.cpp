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
#include "runtime/fpu_state.h"
#include "runtime/number_format.h"
#include "tests/runtime/extended_operands.h"
#include "tests/runtime/x87_oracle.h"

namespace {

using extended_operands::Next;
using x87_oracle::Hw;
using x87_oracle::OnHardware;
using x87_oracle::Pinned;

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

namespace {

constexpr uint64_t kOne = uint64_t{1} << 63;
constexpr ExtendedFloat kDefaultNaN = {0xC000000000000000u, 0xFFFF};
constexpr auto N = ExtendedRounding::kNearest, D = ExtendedRounding::kDown,
               U = ExtendedRounding::kUp, Z = ExtendedRounding::kTowardZero;

struct KnownBinary {
    bool divide;
    ExtendedFloat a, b;
    ExtendedRounding rounding;
    ExtendedFloat want;
};

// Results checked on the x87 once, so that hosts without one check the same corners.
const KnownBinary kKnownBinary[] = {
    {true, {kOne, 0x3FFF}, {0xC000000000000000u, 0x4000}, N, {0xAAAAAAAAAAAAAAABu, 0x3FFD}},
    {true, {kOne, 0x3FFF}, {0xC000000000000000u, 0x4000}, Z, {0xAAAAAAAAAAAAAAAAu, 0x3FFD}},
    {true, {kOne, 0xBFFF}, {0xC000000000000000u, 0x4000}, D, {0xAAAAAAAAAAAAAAABu, 0xBFFD}},
    {true, {kOne, 0x3FFF}, {~uint64_t{0}, 0x3FFE}, N, {kOne | 1, 0x3FFF}},  // half and a bit
    {false, {1, 0}, {kOne, 0x3FFE}, N, {0, 0}},  // half the smallest denormal: a tie to even
    {false, {1, 0}, {kOne, 0x3FFE}, U, {1, 0}},
    {false, {3, 0x8000}, {kOne, 0x3FFE}, N, {2, 0x8000}},      // 1.5 quanta
    {false, {kOne - 1, 0}, {kOne | 1, 0x3FFF}, N, {kOne, 1}},  // carries into the normal range
    {false, {kOne - 1, 0}, {kOne | 1, 0x3FFF}, Z, {kOne - 1, 0}},
    {false, {kOne, 0}, {kOne, 0x3FFF}, N, {kOne, 1}},  // a pseudo-denormal weighs 2^-16382
    {false, {~uint64_t{0}, 0x7FFE}, {kOne, 0x4000}, N, {kOne, 0x7FFF}},
    {false, {~uint64_t{0}, 0x7FFE}, {kOne, 0x4000}, Z, {~uint64_t{0}, 0x7FFE}},
    {false, {~uint64_t{0}, 0xFFFE}, {kOne, 0x4000}, U, {~uint64_t{0}, 0xFFFE}},
    {true, {kOne, 0x3FFF}, {0, 0x8000}, N, {kOne, 0xFFFF}},  // masked zero-divide
    {false, {0, 0}, {kOne, 0x7FFF}, N, kDefaultNaN},
    {false, {kOne, 0x3FFF}, {0x4000000000000000u, 0x3FFF}, N, kDefaultNaN},  // unnormal
    {false, {0xA000000000000000u, 0x7FFF}, {kOne, 0x3FFF}, N, {0xE000000000000000u, 0x7FFF}},
    // Two NaNs: a quiet one over a signalling one, else the larger significand, else +.
    {false,
     {0xC000000000000000u, 0xFFFF},
     {0xF000000000000000u, 0x7FFF},
     N,
     {0xF000000000000000u, 0x7FFF}},
    {false, {0xC000000000000000u, 0xFFFF}, {0xB000000000000000u, 0x7FFF}, N, kDefaultNaN},
    {true,
     {0xA000000000000000u, 0xFFFF},
     {0xA000000000000000u, 0x7FFF},
     N,
     {0xE000000000000000u, 0x7FFF}},
};

struct KnownInteger {
    ExtendedFloat value;
    ExtendedRounding rounding;
    ExtendedFloat rounded;
    int64_t stored;
};

const KnownInteger kKnownInteger[] = {
    {{0xA000000000000000u, 0x4000}, N, {kOne, 0x4000}, 2},  // 2.5: ties to even
    {{0xA000000000000000u, 0xC000}, N, {kOne, 0xC000}, -2},
    {{0xA000000000000000u, 0x4000}, U, {0xC000000000000000u, 0x4000}, 3},
    {{kOne, 0xBFFE}, N, {0, 0x8000}, 0},  // -0.5 keeps its sign as -0
    {{kOne, 0xBFFE}, D, {kOne, 0xBFFF}, -1},
    {{1, 0}, U, {kOne, 0x3FFF}, 1},
    {{kOne, 0x403E}, N, {kOne, 0x403E}, INT64_MIN},                  // 2^63 does not fit
    {{kOne, 0xC03E}, N, {kOne, 0xC03E}, INT64_MIN},                  // -2^63 does
    {{~uint64_t{0}, 0x403D}, Z, {~uint64_t{1}, 0x403D}, INT64_MAX},  // 2^63 - 0.5
    {{kOne, 0x7FFF}, N, {kOne, 0x7FFF}, INT64_MIN},
    {{0xA000000000000000u, 0x7FFF}, N, {0xE000000000000000u, 0x7FFF}, INT64_MIN},
};

}  // namespace

TEST(ExtendedFloat, KnownCornersOfProductsAndQuotients) {
    for (const KnownBinary& k : kKnownBinary) {
        const ExtendedFloat got = k.divide ? ExtendedDivide(k.a, k.b, k.rounding)
                                           : ExtendedMultiply(k.a, k.b, k.rounding);
        EXPECT_EQ(Hex(got), Hex(k.want)) << Hex(k.a) << (k.divide ? " / " : " * ") << Hex(k.b);
    }
}

TEST(ExtendedFloat, KnownIntegerRoundings) {
    for (const KnownInteger& k : kKnownInteger) {
        EXPECT_EQ(Hex(ExtendedRoundToInteger(k.value, k.rounding)), Hex(k.rounded)) << Hex(k.value);
        EXPECT_EQ(ExtendedStoreInteger(k.value, k.rounding), k.stored) << Hex(k.value);
    }
}

TEST(ExtendedFloat, ComparesByValueAndLoadsDoublesAsTheX87) {
    EXPECT_EQ(ExtendedCompare({0, 0}, {0, 0x8000}), ExtendedOrder::kEqual);
    EXPECT_EQ(ExtendedCompare({kOne, 0}, {kOne, 1}), ExtendedOrder::kEqual);  // pseudo-denormal
    EXPECT_EQ(ExtendedCompare({1, 0x8000}, {0, 0}), ExtendedOrder::kLess);
    EXPECT_EQ(ExtendedCompare({kOne, 0x7FFF}, {~uint64_t{0}, 0x7FFE}), ExtendedOrder::kGreater);
    EXPECT_EQ(ExtendedCompare({kOne, 0xC000}, {kOne, 0xBFFF}), ExtendedOrder::kLess);
    EXPECT_EQ(ExtendedCompare(kDefaultNaN, kDefaultNaN), ExtendedOrder::kUnordered);
    EXPECT_EQ(ExtendedCompare({0, 0x4000}, {0, 0x4000}), ExtendedOrder::kUnordered);
    const struct {
        uint64_t bits;
        ExtendedFloat want;
    } doubles[] = {
        {0x3FF0000000000000u, {kOne, 0x3FFF}},
        {0x8000000000000001u, {kOne, 0x8000 | (16383 - 1074)}},  // denormal becomes normal
        {0x7FF0000000000001u, {0xC000000000000800u, 0x7FFF}},    // signalling NaN, quieted
        {0xFFF0000000000000u, {kOne, 0xFFFF}},
    };
    for (const auto& d : doubles) {
        double value;
        std::memcpy(&value, &d.bits, sizeof value);
        EXPECT_EQ(Hex(ExtendedFromDouble(value)), Hex(d.want));
    }
    // Every extended value survives the host's long double both ways.
    for (const ExtendedFloat v : {ExtendedFloat{1, 0}, ExtendedFloat{0xDEADBEEF12345678u, 0xC123},
                                  ExtendedFloat{~uint64_t{0}, 0x7FFE}}) {
        EXPECT_EQ(Hex(ExtendedFromLongDouble(ExtendedToLongDouble(v))), Hex(v));
    }
}

TEST(ExtendedFloatDifferential, RememberedControlWordReadsBackAsTheX87s) {
    if (!kHostHasX87) GTEST_SKIP() << "no x87 on this host";
    // Earlier arithmetic leaves exception flags set, which an unmasking word would raise:
    // the loop runs on a freshly initialised unit.
    FpuState state;
    SaveFpuState(state);
    int mismatches = 0;
    for (unsigned word = 0; word <= 0xFFFF; ++word) {
        LoadFpuControlWord(static_cast<uint16_t>(word));
        mismatches += ReadFpuControlWord() != StoredFpuControlWord(static_cast<uint16_t>(word));
    }
    RestoreFpuState(state);
    EXPECT_EQ(mismatches, 0);
}

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
