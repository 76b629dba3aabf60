#include "big_float.h"

#include <algorithm>
#include <cstdint>

namespace numtext {

void setExact(mpfr_ptr target, double x) noexcept {
    NUMTEXT_ASSERT(mpfr_get_prec(target) >= kDoubleFormat.precision);
    mpfr_set_d(target, x, MPFR_RNDN);
}

void setExact(mpfr_ptr target, Extended x) noexcept {
    NUMTEXT_ASSERT(mpfr_get_prec(target) >= kExtendedFormat.precision);
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

double toDoubleExact(mpfr_srcptr x) noexcept {
    const double d = mpfr_get_d(x, MPFR_RNDN);
    NUMTEXT_ASSERT(mpfr_nan_p(x) || mpfr_cmp_d(x, d) == 0);
    return d;
}

Extended toExtendedExact(mpfr_srcptr x) noexcept {
    const bool negative = mpfr_signbit(x) != 0;
    if (mpfr_nan_p(x))
        return Extended::defaultNaN();
    if (mpfr_inf_p(x))
        return Extended::infinity(negative);
    if (mpfr_zero_p(x))
        return Extended::fromFields(negative, 0, 0);
    // x = 0.1b... x 2^e holds at most 64 bits: x * 2^(64 - e) is the integer of its significand.
    NUMTEXT_ASSERT(mpfr_min_prec(x) <= kExtendedFormat.precision);
    const mpfr_exp_t e = mpfr_get_exp(x);
    BigFloat scaled(64);
    mpfr_abs(scaled.get(), x, MPFR_RNDN);
    mpfr_set_exp(scaled.get(), 64);
    std::uint64_t significand = mpfr_get_uj(scaled.get(), MPFR_RNDN);
    // The value is significand x 2^(e - 64), whose leading bit has the weight 2^(e - 1).
    long biased = static_cast<long>(e) - 1 + Extended::kBias;
    NUMTEXT_ASSERT(biased < Extended::kMaxExponent);
    if (biased <= 0) {
        // A denormal: only zero bits go, the format has held it.
        NUMTEXT_ASSERT(1 - biased < 64 && (significand & ((std::uint64_t{1} << (1 - biased)) - 1)) == 0);
        significand >>= 1 - biased;
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

// Sets target, whatever its precision, to 10^k exactly: 5^k x 2^k needs k log2(5) + 1 bits, log2(5)
// being 2.3219...
void setPowerOfTen(mpfr_ptr target, unsigned long k) {
    mpfr_set_prec(target, static_cast<mpfr_prec_t>(k * 2322 / 1000 + 2));
    [[maybe_unused]] const int inexact = mpfr_ui_pow_ui(target, 10, k, MPFR_RNDN);
    NUMTEXT_ASSERT(inexact == 0);
}

// 10^k exactly, for the k of doubles' texts, worked out once: raising ten to a power is most of the
// work of a conversion.
class PowersOfTen {
public:
    static constexpr unsigned long kLast = 350;
    PowersOfTen() {
        for (unsigned long k = 0; k <= kLast; ++k) {
            mpfr_init(m_values[k]);
            setPowerOfTen(m_values[k], k);
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

// 10^power exactly: from the table, or worked out into `spare`.
mpfr_srcptr exactPowerOfTen(unsigned long power, BigFloat& spare) {
    static const PowersOfTen cached;
    if (power <= PowersOfTen::kLast)
        return cached[power];
    setPowerOfTen(spare.get(), power);
    return spare.get();
}

} // namespace

Extended decimalToExtended(std::uint64_t significand, long long exponent) {
    // Beyond 10^+-5100 a significand below 10^20 makes an infinity or zero as surely as there.
    constexpr long long kLimit = 5100;
    const unsigned long power =
        static_cast<unsigned long>(exponent < 0 ? -std::max(exponent, -kLimit) : std::min(exponent, kLimit));
    const FlagGuard keepFlags;
    BigFloat spare(MPFR_PREC_MIN); // given its precision where it is used
    const mpfr_srcptr tenToThePower = exactPowerOfTen(power, spare);
    BigFloat m(64);
    mpfr_set_uj(m.get(), significand, MPFR_RNDN);
    BigFloat value(kExtendedFormat.precision);
    roundInto(kExtendedFormat, value.get(), [&](mpfr_ptr r) {
        return exponent >= 0 ? mpfr_mul(r, m.get(), tenToThePower, MPFR_RNDN)
                             : mpfr_div(r, m.get(), tenToThePower, MPFR_RNDN);
    });
    return toExtendedExact(value.get());
}

std::uint64_t roundScaled(std::uint64_t m, int binaryExponent, int decimalExponent) noexcept {
    const FlagGuard keepFlags;
    const unsigned long power = decimalExponent < 0 ? 0UL - static_cast<unsigned long>(decimalExponent)
                                                    : static_cast<unsigned long>(decimalExponent);
    BigFloat spare(MPFR_PREC_MIN); // given its precision where it is used
    const mpfr_srcptr tenToThePower = exactPowerOfTen(power, spare);
    BigFloat x(64);
    mpfr_set_uj_2exp(x.get(), m, binaryExponent, MPFR_RNDN);
    // Toward zero at 128 bits, so that at least 64 bits below the point are kept, and whether
    // anything beyond them was dropped is known exactly: together they tell the nearest integer.
    BigFloat scaled(kWorking);
    const int dropped = decimalExponent >= 0 ? mpfr_mul(scaled.get(), x.get(), tenToThePower, MPFR_RNDZ)
                                             : mpfr_div(scaled.get(), x.get(), tenToThePower, MPFR_RNDZ);
    NUMTEXT_ASSERT(mpfr_cmp_ui_2exp(scaled.get(), 1, 64) < 0);
    std::uint64_t n = mpfr_get_uj(scaled.get(), MPFR_RNDZ);
    mpfr_frac(scaled.get(), scaled.get(), MPFR_RNDZ); // exact
    const int half = mpfr_cmp_ui_2exp(scaled.get(), 1, -1);
    if (half > 0 || (half == 0 && (dropped != 0 || (n & 1) != 0)))
        ++n;
    return n;
}

} // namespace numtext
