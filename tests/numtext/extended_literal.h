#pragma once

// Extended values written as long double literals in tests: 1e4900L, 0.1L. Where long double is the
// x87 type (x86-64, MinGW) the literal converts exactly; where it is wider (binary128 on ARM64) it is
// rounded once more to 64 bits, which for these short decimals gives the same value as rounding the
// decimal directly. Values that depend on the format's limits are built from their fields instead.

#include "numtext/big_float.h"

namespace numtext {

inline Extended ld(long double value) {
    BigFloat wide(113);
    mpfr_set_ld(wide.get(), value, MPFR_RNDN);
    BigFloat rounded(kExtendedFormat.precision);
    roundInto(kExtendedFormat, rounded.get(), [&](mpfr_ptr r) { return mpfr_set(r, wide.get(), MPFR_RNDN); });
    return toExtendedExact(rounded.get());
}

// The largest finite extended, the smallest normal one and the smallest denormal.
inline constexpr Extended kExtendedMax = Extended::fromFields(false, 0x7FFE, ~std::uint64_t{0});
inline constexpr Extended kExtendedMinNormal = Extended::fromFields(false, 1, Extended::kIntegerBit);
inline constexpr Extended kExtendedDenormMin = Extended::fromFields(false, 0, 1);

} // namespace numtext
