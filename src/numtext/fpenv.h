#pragma once

// The floating-point environment the whole program computes in.
//
// What the program relies on, checked here once:
//  - x86-64 with GCC or Clang, where `long double` is the x87 80-bit extended type with a 64-bit
//    significand. It is called `extended` everywhere.
//  - The x87 unit runs, as Linux starts it, with a 64-bit significand and round-to-nearest.
//  - The invalid-operation, division-by-zero and overflow exceptions stay masked (a trap would fire
//    inside Qt and libm too). Instead their sticky flags are read at checkpoints: at every store of
//    an extended value to a double and after each expression whose failure point is visible. A
//    raised flag is cleared and turned into EInvalidOp, EZeroDivide or EOverflow there, so that what
//    a handler wrote before the failing step stays and nothing after it is written.
//  - Code outside the program's arithmetic (Qt's layout and painting, libm behind the wrappers of
//    rtl_math.h) must leave the flags as it found them: see FlagGuard.

#include <cfenv>
#include <cstdint>
#include <limits>

#include "exceptions.h"

namespace numtext {

using extended = long double;
static_assert(std::numeric_limits<extended>::digits == 64,
              "Kestrova needs long double to be the x87 80-bit extended type");
static_assert(std::numeric_limits<extended>::max_exponent == 16384);
static_assert(std::numeric_limits<double>::is_iec559);

// Flags that checkpoints turn into exceptions.
inline constexpr int kCheckedFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Clears the checked flags; every handler starts with it.
void clearFpFlags() noexcept;

// Throws the exception of a raised checked flag and clears the flags. When several are raised the
// cause is reported rather than its consequence: division by zero, then overflow, then invalid
// operation (an infinity from the first two is what usually makes the third).
void checkpoint();

// Saves the checked flags on construction and restores them on destruction, so that arithmetic done
// in between (by Qt, by libm) can neither raise nor clear a pending failure.
// Only the status flags are read and written: MinGW-w64's fesetexceptflag also rewrites the SSE
// exception masks, unmasking them, so that the next overflow traps and ends the program. Raising a
// masked exception sets its flag and nothing more.
class FlagGuard {
public:
    FlagGuard() noexcept : m_saved(std::fetestexcept(kCheckedFlags)) {}
    ~FlagGuard() {
        std::feclearexcept(kCheckedFlags);
        if (m_saved != 0)
            std::feraiseexcept(m_saved);
    }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    int m_saved;
};

// Keeps the compiler from moving the computation of `v` past this point, so that the flags the
// computation raises are seen by the checkpoint that follows.
template <class T>
inline void materialise(T& v) noexcept {
    asm volatile("" : "+m"(v)::"memory");
}

// Rounds an extended value to double, as a store to a double variable does, then checkpoints:
// a magnitude beyond the double range raises EOverflow here; a NaN from an earlier invalid
// operation raises EInvalidOp here at the latest.
inline double toDouble(extended x) {
    double d = static_cast<double>(x);
    materialise(d);
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
