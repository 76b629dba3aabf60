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

namespace {

constexpr mpfr_prec_t kWorking = 128;

// 10^k rounded to kWorking bits, for the k of doubles' texts, worked out once: raising ten to a
// power is most of the work of a conversion.
class PowersOfTen {
public:
    static constexpr unsigned long kLast = 350;
    PowersOfTen() {
        for (unsigned long k = 0; k <= kLast; ++k) {
            mpfr_init2(m_values[k], kWorking);
            mpfr_ui_pow_ui(m_values[k], 10, k, MPFR_RNDN);
        }
    }
    ~PowersOfTen() {
        for (mpfr_t& v : m_values)
            mpfr_clear(v);
    }
    PowersOfTen(const PowersOfTen&) = delete;
    PowersOfTen& operator=(const PowersOfTen&) = delete;

    mpfr_srcptr operator[](unsigned long k) const { return m_values[k]; }

private:
    mpfr_t m_values[kLast + 1];
};

} // namespace

Extended decimalToExtended(std::uint64_t significand, long long exponent) {
    // From 10^28 on, neither m x 10^k nor m / 10^k is a 64-bit number, nor halfway between two: the
    // odd part of m x 5^k is at least 5^28 > 2^65, and 5^28 does not divide any m below 2^64 but 0.
    // So an approximation close enough to tell the rounding to 65 bits toward zero also tells the
    // nearest 64-bit number and the side it lies on. 10^|k| and the product or quotient, each
    // rounded at 128 bits, are within 2^-126 of the value, which tells it but where the value lies
    // within about 2^-60 of a halfway point: then the digits go the exact way.
    constexpr unsigned long long kFirst = 28;
    constexpr unsigned long long kLast = 5100; // beyond the clamp of the exact way
    const unsigned long long power = exponent < 0 ? 0ULL - static_cast<unsigned long long>(exponent)
                                                  : static_cast<unsigned long long>(exponent);
    if (significand != 0 && power >= kFirst && power <= kLast) {
        const FlagGuard keepFlags;
        static const PowersOfTen cached;
        BigFloat computed(kWorking);
        if (power > PowersOfTen::kLast)
            mpfr_ui_pow_ui(computed.get(), 10, static_cast<unsigned long>(power), MPFR_RNDN);
        const mpfr_srcptr tenToThePower =
            power <= PowersOfTen::kLast ? cached[static_cast<unsigned long>(power)] : computed.get();
        BigFloat m(64);
        BigFloat approximation(kWorking);
        mpfr_set_uj(m.get(), significand, MPFR_RNDN);
        if (exponent > 0)
            mpfr_mul(approximation.get(), m.get(), tenToThePower, MPFR_RNDN);
        else
            mpfr_div(approximation.get(), m.get(), tenToThePower, MPFR_RNDN);
        if (mpfr_can_round(approximation.get(), kWorking - 3, MPFR_RNDN, MPFR_RNDZ,
                           kExtendedFormat.precision + 1) != 0) {
            BigFloat value(kExtendedFormat.precision);
            roundInto(kExtendedFormat, value.get(),
                      [&](mpfr_ptr r) { return mpfr_set(r, approximation.get(), MPFR_RNDN); });
            return toExtendedExact(value.get());
        }
    }
    return decimalToExtended(std::to_string(significand), exponent);
}

} // namespace numtext
