#include "big_float.h"

#include <bit>
#include <cstdint>

namespace numtext {

void setExact(mpfr_ptr target, double x) noexcept { mpfr_set_d(target, x, MPFR_RNDN); }

void setExact(mpfr_ptr target, Extended x) noexcept {
    const int sign = x.signBit() ? -1 : 1;
    if (x.isNaN()) {
        mpfr_set_nan(target);
    } else if (x.isInf()) {
        mpfr_set_inf(target, sign);
    } else if (x.significand() == 0) {
        mpfr_set_zero(target, sign);
    } else {
        // Denormals have the exponent of the smallest normal.
        const int exponent = x.biasedExponent() == 0 ? 1 : x.biasedExponent();
        mpfr_set_uj_2exp(target, x.significand(), exponent - Extended::kBias - 63, MPFR_RNDN);
        if (sign < 0)
            mpfr_neg(target, target, MPFR_RNDN);
    }
}

double toDoubleExact(mpfr_srcptr x) noexcept { return mpfr_get_d(x, MPFR_RNDN); }

Extended toExtendedExact(mpfr_srcptr x) noexcept {
    const bool negative = mpfr_signbit(x) != 0;
    if (mpfr_nan_p(x))
        return Extended::defaultNaN();
    if (mpfr_inf_p(x))
        return Extended::infinity(negative);
    if (mpfr_zero_p(x))
        return Extended::fromFields(negative, 0, 0);
    // x = 0.1b... x 2^e holds at most 64 bits: x * 2^(64 - e) is the integer of its significand.
    const mpfr_exp_t e = mpfr_get_exp(x);
    BigFloat scaled(64);
    mpfr_abs(scaled.get(), x, MPFR_RNDN);
    mpfr_set_exp(scaled.get(), 64);
    std::uint64_t significand = mpfr_get_uj(scaled.get(), MPFR_RNDN);
    // The value is significand x 2^(e - 64), whose leading bit has the weight 2^(e - 1).
    long biased = static_cast<long>(e) - 1 + Extended::kBias;
    if (biased <= 0) {
        significand >>= 1 - biased; // a denormal: only zero bits go, the format has held it
        biased = 0;
    }
    return Extended::fromFields(negative, static_cast<std::uint16_t>(biased), significand);
}

Extended decimalToExtended(const std::string& digits, long long exponent) {
    // Beyond these the value is an infinity or zero whatever its digits: 10^(5000 + length) is far
    // above the largest extended, 10^-(5000 + length) far below the smallest denormal.
    const long long limit = 5000 + static_cast<long long>(digits.size());
    if (exponent > limit)
        exponent = limit;
    if (exponent < -limit)
        exponent = -limit;
    const std::string text = digits + "e" + std::to_string(exponent);
    BigFloat value(kExtendedFormat.precision);
    roundInto(kExtendedFormat, value.get(),
              [&](mpfr_ptr r) { return mpfr_strtofr(r, text.c_str(), nullptr, 10, MPFR_RNDN); });
    return toExtendedExact(value.get());
}

} // namespace numtext
