// The software extended format against GNU MPFR, an independent exact-rounding library, at
// 64 bits with the x87's exponent range and denormals: a second oracle that needs no x87.
// Built where the MPFR library is found (the portable host); finite operands only, since
// MPFR knows nothing of the x87's special encodings.
#include <gtest/gtest.h>

#include <cstdint>

#include <mpfr.h>

#include "tests/runtime/extended_operands.h"

namespace {

static_assert(sizeof(unsigned long) == 8, "mantissas move through mpfr_get_ui/mpfr_set_ui");

constexpr mpfr_rnd_t kModes[] = {MPFR_RNDN, MPFR_RNDD, MPFR_RNDU, MPFR_RNDZ};

// An extended value with a finite, non-zero or zero mantissa as an MPFR number (exact).
void ToMpfr(ExtendedFloat v, mpfr_t out) {
    const int e = v.signAndExponent & 0x7FFF;
    mpfr_set_ui(out, v.mantissa, MPFR_RNDN);
    mpfr_mul_2si(out, out, (e == 0 ? 1 : e) - 16383 - 63, MPFR_RNDN);
    if (v.signAndExponent & 0x8000) mpfr_neg(out, out, MPFR_RNDN);
}

// An MPFR result already rounded to the extended format, back into its bits.
ExtendedFloat FromMpfr(const mpfr_t v) {
    const uint16_t sign = mpfr_signbit(v) ? 0x8000 : 0;
    if (mpfr_inf_p(v)) return {uint64_t{1} << 63, static_cast<uint16_t>(sign | 0x7FFF)};
    if (mpfr_zero_p(v)) return {0, sign};
    // MPFR's value is 0.1xxx x 2^exp; the extended one mantissa x 2^(field - 16383 - 63).
    const long exp = mpfr_get_exp(v);
    long field = exp - 1 + 16383;
    const long scale = field < 1 ? 16445 : 64 - exp;
    if (field < 1) field = 0;
    mpfr_t m;
    mpfr_init2(m, 64);
    mpfr_abs(m, v, MPFR_RNDN);
    mpfr_mul_2si(m, m, scale, MPFR_RNDN);
    const uint64_t mantissa = mpfr_get_ui(m, MPFR_RNDN);
    mpfr_clear(m);
    return {mantissa, static_cast<uint16_t>(sign | field)};
}

// Makes MPFR round as the x87 at 64-bit precision: its normal range, denormals down to
// 2^-16445, overflow past 2^16384.
class X87Range {
   public:
    X87Range() : emin_(mpfr_get_emin()), emax_(mpfr_get_emax()) {
        mpfr_set_emin(-16444);
        mpfr_set_emax(16384);
    }
    ~X87Range() {
        mpfr_set_emin(emin_);
        mpfr_set_emax(emax_);
    }

   private:
    mpfr_exp_t emin_, emax_;
};

bool Ordinary(ExtendedFloat v) {
    const int e = v.signAndExponent & 0x7FFF;
    return e != 0x7FFF && (e == 0 || (v.mantissa >> 63));
}

}  // namespace

TEST(ExtendedFloatMpfr, ProductsQuotientsAndIntegersMatchMpfr) {
    X87Range range;
    mpfr_t a, b, r;
    mpfr_inits2(64, a, b, r, static_cast<mpfr_ptr>(nullptr));
    uint64_t seed = 31;
    long checked = 0, mismatches = 0;
    for (long i = 0; i < 60000; ++i) {
        const bool divide = i & 1;
        const ExtendedFloat x = extended_operands::Operand(seed);
        const ExtendedFloat y = extended_operands::Partner(x, divide, seed);
        const ExtendedFloat z = extended_operands::IntegerCandidate(seed);
        if (!Ordinary(x) || !Ordinary(y) || !Ordinary(z)) continue;
        for (int mode = 0; mode < 4; ++mode) {
            const auto rounding = static_cast<ExtendedRounding>(mode);
            ToMpfr(x, a);
            ToMpfr(y, b);
            if (!divide || !mpfr_zero_p(b)) {
                const int inexact =
                    divide ? mpfr_div(r, a, b, kModes[mode]) : mpfr_mul(r, a, b, kModes[mode]);
                mpfr_subnormalize(r, inexact, kModes[mode]);
                const ExtendedFloat want = FromMpfr(r);
                const ExtendedFloat got =
                    divide ? ExtendedDivide(x, y, rounding) : ExtendedMultiply(x, y, rounding);
                ++checked;
                if (got != want && ++mismatches <= 10) {
                    ADD_FAILURE() << (divide ? "divide " : "multiply ") << i << " mode " << mode;
                }
            }
            ToMpfr(z, a);
            mpfr_rint(r, a, kModes[mode]);
            ++checked;
            if (ExtendedRoundToInteger(z, rounding) != FromMpfr(r) && ++mismatches <= 10) {
                ADD_FAILURE() << "rint " << i << " mode " << mode;
            }
        }
    }
    mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr));
    EXPECT_EQ(mismatches, 0) << "of " << checked;
    EXPECT_GT(checked, 200000);
}
