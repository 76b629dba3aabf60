#include "fpenv.h"

#include <cmath>

namespace numtext {

void clearFpFlags() noexcept { std::feclearexcept(kCheckedFlags); }

void checkpoint() {
    const int raised = std::fetestexcept(kCheckedFlags);
    if (raised == 0)
        return;
    std::feclearexcept(kCheckedFlags);
    if (raised & FE_DIVBYZERO)
        throw EZeroDivide();
    if (raised & FE_OVERFLOW)
        throw EOverflow();
    throw EInvalidOp();
}

std::int64_t truncToInt64(extended x) noexcept {
    // Compared, not converted, so that an out-of-range value raises no invalid-operation flag.
    constexpr extended kTwo63 = 9223372036854775808.0L;
    // The quiet comparisons raise nothing for a NaN, which fails both.
    if (!(std::isgreater(x, -kTwo63) && std::isless(x, kTwo63)))
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(x);
}

std::int32_t truncToInt32(extended x) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(truncToInt64(x)));
}

} // namespace numtext
