// Number-to-text layout: the formats of typical values, the tie rule, digit counts and flags, and a
// fixed sample of ten thousand values whose expected texts both hosts must reproduce.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>

#include "runtime/error_numbers.h"
#include "runtime/memory.h"
#include "runtime/number_format.h"
#include "runtime/proc_frame.h"
#include "runtime/string_handle.h"
#include "runtime/temp_strings.h"
#include "tests/runtime/exact_decimal.h"
#include "tests/runtime/string_test_support.h"

namespace {

template <typename Value>
std::string Format(Value v, int n = 15, uint32_t flags = kKeepLeadingBlank) {
    char text[kNumberTextBufferSize];
    const size_t len = FormatNumberText(v, n, flags, text);
    EXPECT_EQ(len, std::strlen(text));
    return std::string(text, len);
}

// The sample: one line per value, "SSSS MMMMMMMMMMMMMMMM N FFFFFFFF "text"" (sign and exponent
// word, mantissa, digit count, flags, in hex but N).
const char kSample[] =
#include "tests/runtime/number_format_sample.inc"
    ;

}  // namespace

TEST(FormatNumberText, SignColumnFifteenDigitsExponentFormAndLimits) {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(Format(7), " 7");
    EXPECT_EQ(Format(-7), "-7");
    EXPECT_EQ(Format(0), " 0");
    EXPECT_EQ(Format(1200), " 1200");
    EXPECT_EQ(Format(0.05), " .05");
    EXPECT_EQ(Format(12.5), " 12.5");
    EXPECT_EQ(Format(-0.5), "-.5");
    EXPECT_EQ(Format(999999999999999.0), " 999999999999999");
    EXPECT_EQ(Format(1e15), " 1E+15");
    EXPECT_EQ(Format(1234567890123456.0), " 1.23456789012346E+15");
    EXPECT_EQ(Format(1e-15), " .000000000000001");
    EXPECT_EQ(Format(1e-16), " 1E-16");
    EXPECT_EQ(Format(1.5e-20), " 1.5E-20");
    EXPECT_EQ(Format(inf), " 9.99999999999999E+998");
    EXPECT_EQ(Format(std::nanl("")), " 0");
    // The same decimal values as nearest extended values rather than doubles.
    EXPECT_EQ(Format(exact::NearestExtended(5, -2)), " .05");
    EXPECT_EQ(Format(exact::NearestPowerOfTen(-15)), " .000000000000001");
    EXPECT_EQ(Format(exact::NearestPowerOfTen(-16)), " 1E-16");
    EXPECT_EQ(Format(exact::NearestExtended(15, -21)), " 1.5E-20");
}

TEST(FormatNumberText, TiesAreJudgedOnTheNextDigitAlone) {
    EXPECT_EQ(Format(exact::NearestExtended(1234567890123425, -16)), " .123456789012342");
    EXPECT_EQ(Format(exact::NearestExtended(1234567890123435, -16)), " .123456789012344");
    EXPECT_EQ(Format(125, 2), " 1.2E+2");
    EXPECT_EQ(Format(135, 2), " 1.4E+2");
    EXPECT_EQ(Format(0.125L, 2), " .12");
    EXPECT_EQ(Format(-0.135L, 2), "-.14");
    // 1251 is nearer 1300, but digit 3 is a 5 and digit 2 even: the 1 after it is not seen.
    EXPECT_EQ(Format(1251, 2), " 1.2E+3");
    EXPECT_EQ(Format(9.5L, 1), " 1E+1");  // carry out of the only digit
}

TEST(FormatNumberText, DigitCountZeroAndOutOfRangeMeanEighteen) {
    const long double v = 123456789012345678.0L;
    EXPECT_EQ(Format(v, 15), " 1.23456789012346E+17");
    for (int n : {0, 18, 19, 100, -1, INT_MIN}) EXPECT_EQ(Format(v, n), " 123456789012345678") << n;
    EXPECT_EQ(Format(1.0L / 3, 0), " .333333333333333333");
    EXPECT_EQ(Format(exact::NearestPowerOfTen(-18), 0), " .000000000000000001");
    EXPECT_EQ(Format(exact::NearestPowerOfTen(-19), 0), " 1E-19");
    EXPECT_EQ(Format(exact::NearestPowerOfTen(18), 0), " 1E+18");
}

TEST(FormatNumberText, FlagsKeepOrDropTheBlanks) {
    EXPECT_EQ(Format(7, 15, 0), "7");
    EXPECT_EQ(Format(7, 15, kKeepLeadingBlank), " 7");
    EXPECT_EQ(Format(7, 15, kKeepTrailingBlank), "7 ");
    EXPECT_EQ(Format(7, 15, kKeepLeadingBlank | kKeepTrailingBlank), " 7 ");
    EXPECT_EQ(Format(-7, 15, 0), "-7");
    EXPECT_EQ(Format(-7, 15, kKeepLeadingBlank | kKeepTrailingBlank), "-7 ");
    EXPECT_EQ(Format(1e-16, 15, kKeepTrailingBlank), "1E-16 ");
    EXPECT_EQ(Format(0.25, 15, 0x7FFFFFFE), ".25");  // only bits 31 and 0 count
}

// The sign character is the value's sign bit, also where the digits are all zeros.
TEST(FormatNumberText, SignBitDecidesTheSignOfZeroAndNaN) {
    const long double nan = std::nanl("");
    const long double tiny = exact::ExtendedDenormMin();
    const struct {
        long double value;
        const char* text;
    } cases[] = {
        {0.0L, " 0"}, {-0.0L, "-0"}, {nan, " 0"}, {std::copysign(nan, -1.0L), "-0"},
        {tiny, " 0"}, {-tiny, "-0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Format(c.value), c.text) << c.text;
        EXPECT_EQ(Format(c.value, 15, 0), c.text[0] == '-' ? "-0" : "0") << c.text;
    }
    EXPECT_EQ(Format(-std::numeric_limits<long double>::infinity(), 3, 0), "-9.99E+998");
}

TEST(FormatNumberText, LongestTextsFitTheBuffer) {
    const uint32_t both = kKeepLeadingBlank | kKeepTrailingBlank;
    const long double smallest = -exact::ExtendedMinNormal();  // -3.36e-4932
    EXPECT_EQ(Format(smallest, 18, both), "-3.36210314311209351E-4932 ");
    // The largest value's 18th digit may be one step off the exact 1.18973149535723176502.
    const std::string largest = Format(exact::ExtendedMax(), 18, both);
    EXPECT_EQ(largest.size(), 27u);
    EXPECT_EQ(largest.substr(0, 18), " 1.189731495357231");
    EXPECT_EQ(largest.substr(20), "E+4932 ");
    EXPECT_EQ(Format(-1.0L / 3, 18, both), "-.333333333333333333 ");
}

TEST(FormatNumberText, SampleMatchesTheCommittedTexts) {
    std::istringstream lines(kSample);
    std::string line;
    int checked = 0, failed = 0;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        unsigned se;
        unsigned long long mantissa;
        int n;
        unsigned flags;
        int consumed = 0;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "%x %llx %d %x %n", &se, &mantissa, &n, &flags, &consumed), 4)
            << line;
        const std::string quoted = line.substr(consumed);
        ASSERT_GE(quoted.size(), 2u);
        const std::string expected = quoted.substr(1, quoted.size() - 2);
        const ExtendedFloat value{mantissa, static_cast<uint16_t>(se)};
        const std::string actual = Format(value, n, flags);
        if (actual != expected && ++failed <= 20)
            ADD_FAILURE() << line << " gives \"" << actual << '"';
        ++checked;
    }
    EXPECT_EQ(checked, 10000);
    EXPECT_EQ(failed, 0);
}

TEST(FormatNumber, PushesTheTextAsAnOwnedByteString) {
    ProcFrame frame;
    SeamDelta seam;
    NumberToText(-7);
    FormatNumber(0.5L, 15, 0);
    FormatNumber(1e-16, 0, kKeepLeadingBlank | kKeepTrailingBlank);
    ASSERT_EQ(TempStringCount(), 3);
    for (int depth = 0; depth < 3; ++depth) EXPECT_FALSE(IsBorrowed(TempString(depth)));
    EXPECT_EQ(Text(TempString(0)), " 9.99999999999999979E-17 ");
    EXPECT_EQ(Text(TempString(1)), ".5");
    EXPECT_EQ(Text(TempString(2)), "-7");
    NumberToText(7);
    EXPECT_EQ(Text(TempString(0)), " 7");
    EXPECT_EQ(seam.Allocations(), 4);
    for (int i = 0; i < 4; ++i) PopAndFreeString();
    EXPECT_EQ(seam.Frees(), 4);
    EXPECT_EQ(frame.LastError(), 0);
}

TEST(FormatNumber, WideTextHasOneCharacterPerByte) {
    ProcFrame frame;
    SeamDelta seam;
    FormatNumberWide(-1234567890123456.0, 15, 0);
    FormatNumberWide(2.5, 7, kKeepLeadingBlank | kKeepTrailingBlank);
    ASSERT_EQ(TempStringCount(), 2);
    const std::u16string expected[] = {u" 2.5 ", u"-1.23456789012346E+15"};
    for (int depth = 0; depth < 2; ++depth) {
        const StringHandle slot = TempString(depth);
        EXPECT_FALSE(IsBorrowed(slot));
        const BSTR text = StringOf(slot);
        ASSERT_EQ(StringCharCount(slot), expected[depth].size());
        for (size_t i = 0; i < expected[depth].size(); ++i) {
            EXPECT_EQ(static_cast<char16_t>(text[i]), expected[depth][i]) << depth << " " << i;
        }
        EXPECT_EQ(text[expected[depth].size()], 0);
    }
    PopAndFreeString();
    PopAndFreeString();
    EXPECT_EQ(seam.Allocations(), seam.Frees());
}

TEST(FormatNumber, AllocationFailurePushesAnEmptySlotAndRaisesSeven) {
    using Push = void (*)();
    const Push pushes[] = {[] { NumberToText(12.5); }, [] { FormatNumber(3, 0, 0); },
                           [] { FormatNumberWide(-3, 7, 0); }};
    for (Push push : pushes) {
        ProcFrame frame;
        SeamDelta seam;
        PushBorrowedString(nullptr);  // a slot below, to see that exactly one is pushed
        allocation_seam::FailAllocationNumber(1);
        push();
        EXPECT_TRUE(allocation_seam::InjectedFailureHappened());
        allocation_seam::FailAllocationNumber(0);
        ASSERT_EQ(TempStringCount(), 2);
        EXPECT_EQ(TempString(0), 0u);
        EXPECT_EQ(frame.LastError(), kErrorOutOfMemory);
        EXPECT_EQ(frame.ErrorFlags(), kErrorFromService);
        PopAndFreeString();
        PopAndFreeString();
        EXPECT_EQ(seam.Allocations(), 0);
        EXPECT_EQ(seam.Frees(), 0);
    }
}

namespace {

uint64_t SampleRandom(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

}  // namespace

// Writes the sample file afresh: run with --gtest_also_run_disabled_tests and
// NUMBER_FORMAT_SAMPLE_OUT=<file> on the portable host, then check it on both hosts.
TEST(FormatNumberText, DISABLED_WriteSample) {
    const char* path = std::getenv("NUMBER_FORMAT_SAMPLE_OUT");
    ASSERT_NE(path, nullptr);
    FILE* out = std::fopen(path, "w");
    ASSERT_NE(out, nullptr);
    std::fprintf(out,
                 "// Expected texts of the number formatting for a fixed sample, one value a "
                 "line:\n// sign and exponent word, mantissa, digit count, flags, text. "
                 "Written by the\n// disabled test FormatNumberText.DISABLED_WriteSample.\n"
                 "R\"sample(\n");
    uint64_t seed = 1234567;
    const long double inf = std::numeric_limits<long double>::infinity();
    std::vector<long double> fixed = {0.0L,
                                      -0.0L,
                                      7,
                                      -7,
                                      1200,
                                      0.05,
                                      12.5,
                                      -0.5,
                                      999999999999999.0,
                                      1e15,
                                      1234567890123456.0,
                                      1e-15,
                                      1e-16,
                                      1.5e-20,
                                      inf,
                                      -inf,
                                      std::nanl(""),
                                      std::numeric_limits<long double>::min(),
                                      std::numeric_limits<long double>::max(),
                                      std::numeric_limits<long double>::denorm_min(),
                                      exact::Make(0x7FFF, 0x8000000000000001u),
                                      exact::Make(0x3FFF, 0x4000000000000000u)};  // x87 only
    const int counts[] = {15, 7, 18, 0, 1, 2, 14, 16, 17, 19, -1};
    const uint32_t flagChoices[] = {0, kKeepLeadingBlank, kKeepTrailingBlank,
                                    kKeepLeadingBlank | kKeepTrailingBlank};
    for (int i = 0; i < 10000; ++i) {
        long double v;
        const uint64_t r = SampleRandom(seed);
        if (i < static_cast<int>(fixed.size())) {
            v = fixed[i];
        } else if (i % 6 == 0) {
            uint64_t bits = r;
            double d;
            std::memcpy(&d, &bits, sizeof d);
            v = d;
        } else if (i % 6 == 1) {
            v = exact::Make(static_cast<uint16_t>(r >> 48), SampleRandom(seed) | (1ull << 63));
        } else if (i % 6 == 2) {
            v = static_cast<long double>(r % 1000000000000000000u) / (1 + (r >> 60));
        } else if (i % 6 == 3) {
            v = static_cast<long double>((r >> 8) % (1ull << (r % 56))) + 0.5L;
        } else if (i % 6 == 4) {
            const int k = static_cast<int>(r % 601) - 300;
            v = static_cast<double>(exact::NearestPowerOfTen(k));
        } else {
            v = std::ldexp(static_cast<long double>((r >> 11) | 1),
                           static_cast<int>(r % 400) - 1000);
        }
        const int n = i % 3 == 0 ? 15 : counts[SampleRandom(seed) % 11];
        const uint32_t flags = i % 3 == 0 ? kKeepLeadingBlank : flagChoices[SampleRandom(seed) % 4];
        const ExtendedFloat bits = ExtendedFromLongDouble(v);
        std::fprintf(out, "%04X %016llX %d %08X \"%s\"\n", bits.signAndExponent,
                     static_cast<unsigned long long>(bits.mantissa), n, flags,
                     Format(bits, n, flags).c_str());
    }
    std::fprintf(out, ")sample\"\n");
    std::fclose(out);
}
