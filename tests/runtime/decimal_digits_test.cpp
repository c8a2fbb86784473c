// Decimal digits of extended values: the power-of-ten scaling, special encodings, the
// control-word isolation, and a differential check over a million values against the exact
// reference in exact_decimal.h.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "runtime/decimal_digits.h"
#include "runtime/fpu_control.h"
#include "runtime/number_format.h"
#include "tests/runtime/exact_decimal.h"

namespace {

struct Digits {
    std::string text;
    DecimalDigitsResult result;
};

Digits Decimal(long double v, int n) {
    char buffer[kMaxDecimalDigits + 2];
    std::memset(buffer, '#', sizeof buffer);
    const DecimalDigitsResult r = DecimalDigits(v, n, buffer);
    const int count = (n < 1 || n > kMaxDecimalDigits) ? kMaxDecimalDigits : n;
    EXPECT_EQ(buffer[count], '\0');
    if (count + 1 < static_cast<int>(sizeof buffer)) {
        EXPECT_EQ(buffer[count + 1], '#') << "wrote past the terminator";
    }
    return {buffer, r};
}

// Relative distance in units of 2^-63 (the spacing of extended values just above a power of 2).
long double UlpsApart(long double a, long double b) {
    int e;
    std::frexp(b, &e);
    return std::fabs(a - b) / std::ldexp(1.0L, e - 64);
}

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

}  // namespace

TEST(ScaleByPowerOfTen, TableEntriesAreTheNearestExtendedPowers) {
    for (int k = 0; k < 8; ++k) EXPECT_EQ(ScaleByPowerOfTen(1.0L, k), exact::NearestPowerOfTen(k));
    // 10^(8 x 2^i) uses exactly one table entry and no small power.
    for (int k = 8; k <= 4096; k *= 2) {
        EXPECT_EQ(ScaleByPowerOfTen(1.0L, k), exact::NearestPowerOfTen(k)) << "10^" << k;
    }
}

TEST(ScaleByPowerOfTen, EveryPowerOfTheExtendedRangeIsWithinAFewUnits) {
    // Up to twelve rounded products: a few units in the last place, never more.
    long double worst = 0;
    for (int k = -4931; k <= 4932; ++k) {
        const long double want = exact::NearestPowerOfTen(k);
        const long double up = ScaleByPowerOfTen(1.0L, k);
        const long double down = ScaleByPowerOfTen(1.0L, -k);
        worst = std::max(worst, UlpsApart(up, want));
        ASSERT_LE(UlpsApart(up, want), 8) << "10^" << k;
        if (k >= -4931 && k <= 4931) {
            ASSERT_LE(UlpsApart(down, exact::NearestPowerOfTen(-k)), 8) << "10^-" << k;
        }
    }
    EXPECT_GT(worst, 0);  // the tables are not all exact; the check above has teeth
}

TEST(ScaleByPowerOfTen, ZeroExponentLeavesTheValueAlone) {
    // Values of the extended format on every host: 0.1L would carry 113 bits on aarch64.
    const long double values[] = {0.1, -3.0L, std::numeric_limits<long double>::infinity(),
                                  exact::ExtendedDenormMin()};
    for (long double v : values) EXPECT_EQ(ScaleByPowerOfTen(v, 0), v);
    EXPECT_TRUE(std::isnan(ScaleByPowerOfTen(std::nanl(""), 0)));
}

TEST(ScaleByPowerOfTen, ExponentsBeyondTwiceTheTableStayFinite) {
    // One step of 10^4096 would leave a power of 10^4933 to build, which overflows although
    // the results are ordinary numbers.
    const long double big = exact::NearestPowerOfTen(4932);
    const long double small = ScaleByPowerOfTen(big, -9029);  // ~1e-4097
    EXPECT_LE(UlpsApart(small, exact::NearestPowerOfTen(-4097)), 16);
    const long double tiny = exact::NearestPowerOfTen(-4931);
    const long double large = ScaleByPowerOfTen(tiny, 9000);  // ~1e4069
    EXPECT_LE(UlpsApart(large, exact::NearestPowerOfTen(4069)), 16);
}

TEST(ScaleByPowerOfTen, HugeExponentsSaturateWithoutLooping) {
    EXPECT_EQ(ScaleByPowerOfTen(1.0L, INT_MAX), std::numeric_limits<long double>::infinity());
    EXPECT_EQ(ScaleByPowerOfTen(-1.0L, INT_MAX), -std::numeric_limits<long double>::infinity());
    EXPECT_EQ(ScaleByPowerOfTen(1.0L, INT_MIN), 0.0L);
    EXPECT_EQ(ScaleByPowerOfTen(0.0L, INT_MAX), 0.0L);  // not 0 x inf
}

TEST(DecimalDigits, ZerosDenormalsAndNaNsGiveZerosWithExponentOne) {
    const ExtendedFloat values[] = {
        {0, 0},
        {0, 0x8000},
        {1, 0},  // the smallest denormal
        {1, 0x8000},
        {0xC000000000000000u, 0x7FFF},
        {0xC000000000000000u, 0xFFFF},
        {0x8000000000000001u, 0x7FFF},  // signalling NaN: top word 0x8000
        {0, 0x7FFF},                    // pseudo-infinity
        {0x4000000000000000u, 0x3FFF},  // unnormal: no integer bit
        {0x8000000000000000u, 0x0000},  // pseudo-denormal
    };
    for (const ExtendedFloat& v : values) {
        char buffer[kMaxDecimalDigits + 1];
        const DecimalDigitsResult r = DecimalDigits(v, 15, buffer);
        const Digits d{buffer, r};
        EXPECT_EQ(d.text, std::string(15, '0'));
        EXPECT_EQ(d.result.exponent, 1);
        EXPECT_FALSE(d.result.negative);
    }
}

TEST(DecimalDigits, InfinitiesGiveNinesWithTheirSign) {
    const long double inf = std::numeric_limits<long double>::infinity();
    Digits d = Decimal(inf, 7);
    EXPECT_EQ(d.text, "9999999");
    EXPECT_EQ(d.result.exponent, 999);
    EXPECT_FALSE(d.result.negative);
    d = Decimal(-inf, 18);
    EXPECT_EQ(d.text, std::string(18, '9'));
    EXPECT_EQ(d.result.exponent, 999);
    EXPECT_TRUE(d.result.negative);
}

TEST(DecimalDigits, CountsOutsideOneToEighteenMeanEighteen) {
    const long double v = 123456789012345678.0L;
    for (int n : {0, 18, 19, -1, INT_MIN, INT_MAX}) {
        const Digits d = Decimal(v, n);
        EXPECT_EQ(d.text, "123456789012345678") << n;
        EXPECT_EQ(d.result.exponent, 18);
    }
}

TEST(DecimalDigits, CarryOutOfTheFirstDigitRaisesTheExponent) {
    Digits d = Decimal(9.5L, 1);  // "9" then 5 with an odd digit: rounds up
    EXPECT_EQ(d.text, "1");
    EXPECT_EQ(d.result.exponent, 2);
    d = Decimal(0.99999999999999999L, 15);
    EXPECT_EQ(d.text, "100000000000000");
    EXPECT_EQ(d.result.exponent, 1);
    d = Decimal(-999999999999999.5L, 15);
    EXPECT_EQ(d.text, "100000000000000");
    EXPECT_EQ(d.result.exponent, 16);
    EXPECT_TRUE(d.result.negative);
}

TEST(DecimalDigits, NineteenDigitScaledIntegersRoundTheDroppedDigit) {
    // 1023 lies in the binade [512, 1024) whose exponent estimate is 2, so it scales to
    // 1.023...e18 and loses its 19th digit to the division by ten.
    const long double v = exact::NearestExtended(1023456789012345678u, -15);
    const exact::Digits18 want = exact::Exact18(v);
    const Digits d = Decimal(v, 18);
    EXPECT_EQ(d.text, std::to_string(want.integer));
    EXPECT_EQ(d.result.exponent, want.exponent);
    EXPECT_EQ(Decimal(1000.0L, 18).text, "100000000000000000");
    EXPECT_EQ(Decimal(1000.0L, 18).result.exponent, 4);
}

TEST(DecimalDigits, LowEndsOfBinadesWhoseEstimateOvershoots) {
    // For these binary exponents b the estimate d exceeds log10 2^b; without a correction the
    // digit integer has 17 digits and the text is ten times too large.
    int checked = 0;
    for (int b = -16382; b < 0; ++b) {
        const int d = (b * 0x4D10) >> 16;
        if (!(d > b * 0.30102999566398120)) continue;
        const long double lowest = std::ldexp(1.0L, b);
        const long double belowPower = exact::ExtendedNeighbour(exact::NearestPowerOfTen(d), false);
        for (long double v : {lowest, belowPower}) {
            const exact::Digits18 want = exact::Exact18(v);
            const Digits got = Decimal(v, 18);
            ASSERT_EQ(got.result.exponent, want.exponent) << "2^" << b;
            ASSERT_LE(std::llabs(std::stoll(got.text) - static_cast<long long>(want.integer)), 1)
                << "2^" << b;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 620);
    EXPECT_EQ(Decimal(std::ldexp(1.0L, -681), 15).result.exponent, -205);  // 9.967...e-206
}

TEST(DecimalDigits, ResultsDoNotDependOnTheCallersControlWord) {
    const uint16_t callerWord = 0x0C7F;  // truncating, 24-bit precision
    const long double v = 0.1234567890123456789L;
    const Digits reference = Decimal(v, 18);
    const long double scaledReference = ScaleByPowerOfTen(v, 300);
    const uint16_t saved = ReadFpuControlWord();
    LoadFpuControlWord(callerWord);
    char buffer[kMaxDecimalDigits + 1];
    const DecimalDigitsResult r = DecimalDigits(v, 18, buffer);
    const long double scaled = ScaleByPowerOfTen(v, 300);
    const uint16_t after = ReadFpuControlWord();
    LoadFpuControlWord(saved);
    EXPECT_EQ(std::string(buffer), reference.text);
    EXPECT_EQ(r.exponent, reference.result.exponent);
    EXPECT_EQ(scaled, scaledReference);
    EXPECT_EQ(after, callerWord);
}

namespace {

bool AdjacentOnTheEighteenDigitGrid(const exact::Digits18& a, const exact::Digits18& b) {
    constexpr uint64_t kLow = 100000000000000000u, kHigh = 999999999999999999u;
    if (a.exponent == b.exponent) return a.integer - b.integer == 1 || b.integer - a.integer == 1;
    const exact::Digits18& lower = a.exponent < b.exponent ? a : b;
    const exact::Digits18& upper = a.exponent < b.exponent ? b : a;
    return upper.exponent == lower.exponent + 1 && lower.integer == kHigh && upper.integer == kLow;
}

// A formatted text read back: its significant digits (no leading or trailing zeros) and
// the exponent E of 0.digits x 10^E.
struct ReadBackText {
    char digits[32];
    int exponent;
    bool negative;
};

// Reads text (without the trailing blank) back, checking the layout rules on the way.
::testing::AssertionResult ReadBack(const char* text, size_t len, int n, ReadBackText* out) {
    using ::testing::AssertionFailure;
    size_t i = 0;
    out->negative = text[0] == '-';
    if (text[0] == '-' || text[0] == ' ') ++i;
    char mantissa[32];
    int count = 0, pointAt = -1;
    for (; i < len && text[i] != 'E'; ++i) {
        if (text[i] == '.' && pointAt < 0) {
            pointAt = count;
        } else if (text[i] >= '0' && text[i] <= '9' && count < 30) {
            mantissa[count++] = text[i];
        } else {
            return AssertionFailure() << "unexpected character";
        }
    }
    if (count == 0) return AssertionFailure() << "no digits";
    if (pointAt == count || (pointAt >= 0 && mantissa[count - 1] == '0'))
        return AssertionFailure() << "fraction ends in a zero or nothing";
    if (pointAt > 0 && mantissa[0] == '0') return AssertionFailure() << "0 before the point";
    int power = 0;
    const bool exponentForm = i < len;
    if (exponentForm) {
        if (len - i < 3 || (text[i + 1] != '+' && text[i + 1] != '-') || text[i + 2] == '0')
            return AssertionFailure() << "bad exponent";
        for (size_t j = i + 2; j < len; ++j) {
            if (text[j] < '0' || text[j] > '9') return AssertionFailure() << "bad exponent";
            power = power * 10 + (text[j] - '0');
        }
        if (text[i + 1] == '-') power = -power;
        if ((pointAt != -1 && pointAt != 1) || mantissa[0] == '0')
            return AssertionFailure() << "mantissa not of the form d.ddd";
        pointAt = 1;
    }
    if (pointAt < 0) pointAt = count;
    int first = 0, last = count;
    while (first < count && mantissa[first] == '0') ++first;
    while (last > first && mantissa[last - 1] == '0') --last;
    std::memcpy(out->digits, mantissa + first, last - first);
    out->digits[last - first] = '\0';
    out->exponent = first == count ? 1 : pointAt - first + power;
    if (first == count) return ::testing::AssertionSuccess();
    const int k = last - first, p = out->exponent - k;
    const bool needsExponent = (p > 0 && k + p > n) || (p < 0 && -p > n);
    if (needsExponent != exponentForm) return AssertionFailure() << "plain or exponent form";
    return ::testing::AssertionSuccess();
}

struct DifferentialCounts {
    long values = 0;
    long gridNeighbours = 0;  // 18-digit integers one step apart
    long visible = 0;         // ... that change the digits at the count tested
};

void CheckAgainstReference(long double v, int n, uint32_t flags, DifferentialCounts* counts) {
    ++counts->values;
    const exact::Digits18 want = exact::Exact18(v);
    exact::RoundedDigits own18;
    const DecimalDigitsResult r18 = DecimalDigits(v, 18, own18.digits);
    own18.exponent = r18.exponent;
    ASSERT_EQ(r18.negative, std::signbit(v));
    const exact::Digits18 got{std::strtoull(own18.digits, nullptr, 10), r18.exponent};
    if (!(got == want)) {
        ++counts->gridNeighbours;
        ASSERT_TRUE(AdjacentOnTheEighteenDigitGrid(got, want))
            << std::hex << exact::Split(v).mantissa << std::dec << " " << got.integer << "e"
            << got.exponent << " vs exact " << want.integer << "e" << want.exponent;
    }
    exact::RoundedDigits atN;
    for (int count : {n, 15}) {
        exact::RoundedDigits actual;
        actual.exponent = DecimalDigits(v, count, actual.digits).exponent;
        if (count == n) atN = actual;
        if (!(actual == exact::ApplyDigitRule(want, count))) {
            ++counts->visible;
            ASSERT_FALSE(got == want) << "digits differ from the exact reference at N=" << count;
            ASSERT_EQ(actual, exact::ApplyDigitRule(got, count))
                << "the digit rule is not applied to the digit integer";
        }
        if (n == 15) break;
    }
    char text[kNumberTextBufferSize];
    size_t len = FormatNumberText(v, n, flags, text);
    ASSERT_EQ(len, std::strlen(text));
    ASSERT_LE(len, 27u);
    if (flags & kKeepTrailingBlank) {
        ASSERT_EQ(text[len - 1], ' ');
        --len;
    }
    ReadBackText read;
    ASSERT_TRUE(ReadBack(text, len, n, &read)) << "'" << text << "'";
    ASSERT_EQ(read.negative, std::signbit(v));
    ASSERT_EQ(text[0] == ' ', !read.negative && (flags & kKeepLeadingBlank)) << "'" << text << "'";
    size_t kept = std::strlen(atN.digits);
    while (kept > 0 && atN.digits[kept - 1] == '0') atN.digits[--kept] = '\0';
    ASSERT_STREQ(read.digits, atN.digits) << "'" << text << "'";
    if (kept != 0) {
        ASSERT_EQ(read.exponent, atN.exponent) << "'" << text << "'";
    }
}

}  // namespace

TEST(DecimalDigits, MillionValuesAgreeWithTheExactExpansion) {
    uint64_t seed = 20240611;
    DifferentialCounts counts;
    const uint32_t flagChoices[] = {0, kKeepLeadingBlank, kKeepTrailingBlank,
                                    kKeepLeadingBlank | kKeepTrailingBlank};
    auto nextN = [&] { return 1 + static_cast<int>(SplitMix(seed) % 18); };
    auto nextFlags = [&] { return flagChoices[SplitMix(seed) % 4]; };
    auto check = [&](long double v, int n) {
        CheckAgainstReference(v, n, nextFlags(), &counts);
        return !::testing::Test::HasFatalFailure();
    };
    // A quarter of the random values on the 32-bit (Windows, under Wine) host: the reference's
    // 64-bit big-integer steps cost several instructions each there. The sample test checks
    // that both hosts give the same texts.
    const int share = sizeof(void*) == 4 ? 4 : 1;
    uint64_t pow10[19] = {1};
    for (int i = 1; i < 19; ++i) pow10[i] = pow10[i - 1] * 10;

    // Integers of 1 to 18 digits, and 10^18 itself.
    for (int i = 0; i < 300000 / share; ++i) {
        const int digits = 1 + i % 18;
        const uint64_t low = pow10[digits - 1];
        const uint64_t v = low + SplitMix(seed) % (pow10[digits] - low);
        if (!check((i & 1) ? -static_cast<long double>(v) : v, nextN())) return;
    }
    ASSERT_TRUE(check(1e18L, 18));
    // Halves: an integer and a half (the 18-digit integer is a tie for 18 integer digits),
    // and decimal ties at the digit rule: k digits ending in 5, formatted with k - 1.
    for (int i = 0; i < 50000 / share; ++i) {
        const int digits = 1 + i % 18;
        const uint64_t v = pow10[digits - 1] + SplitMix(seed) % (pow10[digits] - pow10[digits - 1]);
        if (!check(static_cast<long double>(v) + 0.5L, nextN())) return;
        if (digits >= 2 && !check(static_cast<long double>(v - v % 10 + 5), digits - 1)) return;
    }
    // Random doubles (every finite bit pattern but zero), as program code passes them.
    for (int i = 0; i < 380000 / share; ++i) {
        uint64_t bits = SplitMix(seed);
        if (((bits >> 52) & 0x7FF) == 0x7FF || (bits << 1) == 0) continue;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (!check(d, nextN())) return;
    }
    // Random extended values over the whole exponent range.
    for (int i = 0; i < 200000 / share; ++i) {
        const uint64_t r = SplitMix(seed);
        const uint16_t se = static_cast<uint16_t>(1 + r % 0x7FFE) | ((r >> 20) & 0x8000);
        if (!check(exact::Make(se, SplitMix(seed) | (uint64_t{1} << 63)), nextN())) return;
    }
    // Powers of ten, nearest extended and nearest-double, with their neighbours.
    for (int k = -4931; k <= 4932; ++k) {
        const long double p = exact::NearestPowerOfTen(k);
        for (long double v :
             {p, exact::ExtendedNeighbour(p, false), exact::ExtendedNeighbour(p, true)}) {
            if (!check(v, nextN())) return;
        }
        if (k >= -300 && k <= 300) {
            const double pd = static_cast<double>(p);
            for (double v : {pd, std::nextafter(pd, 0.0), std::nextafter(pd, 1e308)}) {
                if (!check(v, 15)) return;
            }
        }
    }
    EXPECT_GE(counts.values, 1000000 / share);
    // Scaling by a rounded power of ten puts the 18-digit integer one step off for a small
    // share of values; at the counts tested that shows in far fewer texts still.
    EXPECT_LT(counts.gridNeighbours, counts.values / 20) << counts.gridNeighbours;
    EXPECT_LT(counts.visible, counts.values / 200) << counts.visible;
    std::printf("%ld values, %ld one step apart at 18 digits, %ld visible at N\n", counts.values,
                counts.gridNeighbours, counts.visible);
}
