#pragma once

// MPFR numbers for the correctly rounded functions and conversions of numtext: a result is worked
// out with as many bits as it needs and rounded once, to nearest even, into the format asked for,
// with that format's exponent range and its denormals. MPFR computes in integers, so the results are
// the same on every platform and the hardware's floating-point flags are never touched.

// MPFR declares its intmax_t functions only after <stdint.h>.
#include <cstdint>

#include <mpfr.h>

#include <string>

#include "extended.h"
#include "fpenv.h"

namespace numtext {

// The binary formats a result is rounded into.
struct BinaryFormat {
    mpfr_prec_t precision;
    mpfr_exp_t emin; // MPFR's exponent (x = 0.1b... x 2^e) of the smallest denormal
    mpfr_exp_t emax; // and of the largest finite value
};
inline constexpr BinaryFormat kDoubleFormat{53, -1073, 1024};
inline constexpr BinaryFormat kExtendedFormat{64, -16444, 16384};

// One MPFR number, cleared when it goes.
class BigFloat {
public:
    explicit BigFloat(mpfr_prec_t precision) { mpfr_init2(m_v, precision); }
    ~BigFloat() { mpfr_clear(m_v); }
    BigFloat(const BigFloat&) = delete;
    BigFloat& operator=(const BigFloat&) = delete;

    mpfr_ptr get() noexcept { return m_v; }

private:
    mpfr_t m_v;
};

// Exact conversions into MPFR (the target needs at least 53 or 64 bits).
void setExact(mpfr_ptr target, double x) noexcept;
void setExact(mpfr_ptr target, Extended x) noexcept;

// Rounds what `compute(result)` works out (an MPFR function returning its ternary value, called
// with the result at the format's precision) into the format, its range and denormals included.
// An overflow gives an infinity, an underflow zero or a denormal, as the hardware would. Returns the
// ternary value of the result: negative, zero or positive as it lies below, at or above the exact
// value. MPFR estimates some of its working precisions in hardware doubles: whatever flags that
// raises are put back as they were.
// Half the smallest double denormal, 2^-1075, is a tie between 0 and 2^-1074: it gives +0 and -1.
template <class Compute>
int roundInto(const BinaryFormat& format, mpfr_ptr result, Compute&& compute) {
    const FlagGuard keepFlags;
    const mpfr_exp_t emin = mpfr_get_emin();
    const mpfr_exp_t emax = mpfr_get_emax();
    mpfr_set_emin(format.emin);
    mpfr_set_emax(format.emax);
    int ternary = compute(result);
    ternary = mpfr_check_range(result, ternary, MPFR_RNDN);
    ternary = mpfr_subnormalize(result, ternary, MPFR_RNDN);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    return ternary;
}

// The value of a result rounded with kDoubleFormat or kExtendedFormat, exactly.
double toDoubleExact(mpfr_srcptr x) noexcept;
Extended toExtendedExact(mpfr_srcptr x) noexcept;

// The decimal significand `digits` (decimal digits only, not empty) times 10^exponent, correctly
// rounded to extended. Any length of digits and any exponent: beyond the range it is an infinity or
// zero.
Extended decimalToExtended(const std::string& digits, long long exponent);
// The same for a significand given as a number: one product or quotient by the exact power of ten,
// faster than the digits' way. The common case of a short text with a large exponent.
Extended decimalToExtended(std::uint64_t significand, long long exponent);

// The other way: m x 2^binaryExponent x 10^decimalExponent rounded to an integer, ties to even,
// for a result below 2^64 and decimal exponents up to 5100 in size. Exact: the step of a value's
// decimal digits that needs more than 128-bit integers. roundScaled(5, -1, 1) == 25.
std::uint64_t roundScaled(std::uint64_t m, int binaryExponent, int decimalExponent) noexcept;

} // namespace numtext
