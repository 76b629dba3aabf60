#pragma once

// The floating-point environment the whole program computes in.
//
// What the program relies on, the same on every platform:
//  - Extended precision is the x87's 80-bit format, computed in software (extended.h): a 64-bit
//    significand, the x87 exponent range with denormals, rounding to nearest even, and five sticky
//    flags of its own. It is called `extended` everywhere.
//  - Doubles are IEEE 754 binary64, computed by the hardware with its own flags, rounding to
//    nearest, and no contraction into fused multiply-adds (the build says -ffp-contract=off).
//  - No floating-point exception traps. Instead the invalid-operation, division-by-zero and overflow
//    flags, the hardware's and the extended type's, are read at checkpoints: at every store of an
//    extended value to a double and after each expression whose failure point is visible. A raised
//    flag is cleared and turned into EInvalidOp, EZeroDivide or EOverflow there, so that what a
//    handler wrote before the failing step stays and nothing after it is written.
//  - Code outside the program's arithmetic (Qt's layout and painting) must leave the flags as it
//    found them: see FlagGuard.

#include <cfenv>
#include <cstdint>
#include <limits>

#include "exceptions.h"
#include "extended.h"

namespace numtext {

using extended = Extended;
static_assert(std::numeric_limits<double>::is_iec559);

// Flags that checkpoints turn into exceptions: the hardware's for doubles, the extended type's.
inline constexpr int kCheckedFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
inline constexpr unsigned kCheckedExtendedFlags = kExtInvalid | kExtDivByZero | kExtOverflow;

// Clears the checked flags of both; every handler starts with it.
void clearFpFlags() noexcept;

// Throws the exception of a raised checked flag and clears the flags. When several are raised the
// cause is reported rather than its consequence: division by zero, then overflow, then invalid
// operation (an infinity from the first two is what usually makes the third).
void checkpoint();

// Saves the checked flags on construction and restores them on destruction, so that arithmetic done
// in between (by Qt, by libm) can neither raise nor clear a pending failure.
// Only the status flags are read and written: MinGW-w64's fesetexceptflag also rewrites the SSE
// exception masks, unmasking them, so that the next overflow traps and ends the program. Raising a
// masked exception sets its flag and nothing more. Only flags that changed are written: clearing
// flags costs the C library a rewrite of the x87 environment, and most guards find none changed.
class FlagGuard {
public:
    FlagGuard() noexcept : m_saved(std::fetestexcept(kCheckedFlags)) {}
    ~FlagGuard() {
        const int now = std::fetestexcept(kCheckedFlags);
        if (const int raised = now & ~m_saved; raised != 0)
            std::feclearexcept(raised);
        if (const int cleared = m_saved & ~now; cleared != 0)
            std::feraiseexcept(cleared);
        restoreExtendedFlags(m_savedExtended, kCheckedExtendedFlags);
    }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    int m_saved;
    unsigned m_savedExtended = saveExtendedFlags(kCheckedExtendedFlags);
};

// Rounds an extended value to double, as a store to a double variable does, then checkpoints:
// a magnitude beyond the double range raises EOverflow here; a NaN from an earlier invalid
// operation raises EInvalidOp here at the latest.
inline double toDouble(extended x) {
    const double d = x.toDouble();
    checkpoint();
    return d;
}

// The truncating integer conversion: toward zero, into a signed 64-bit integer. NaN, infinities and
// everything outside [-2^63, 2^63) give INT64_MIN without any error. No checked flag is raised.
// truncToInt64(3.99) == 3, truncToInt64(-3.99) == -3, truncToInt64(1e19) == INT64_MIN.
std::int64_t truncToInt64(extended x) noexcept;

// The same, keeping the low 32 bits read as signed: truncToInt32(5e9) == 705032704.
std::int32_t truncToInt32(extended x) noexcept;

} // namespace numtext
