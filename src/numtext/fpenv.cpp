#include "fpenv.h"

namespace numtext {

void clearFpFlags() noexcept {
    std::feclearexcept(kCheckedFlags);
    clearExtendedFlags(kCheckedExtendedFlags);
}

void checkpoint() {
    const int hardware = std::fetestexcept(kCheckedFlags);
    const unsigned software = testExtendedFlags(kCheckedExtendedFlags);
    if (hardware == 0 && software == 0)
        return;
    clearFpFlags();
    if ((hardware & FE_DIVBYZERO) || (software & kExtDivByZero))
        throw EZeroDivide();
    if ((hardware & FE_OVERFLOW) || (software & kExtOverflow))
        throw EOverflow();
    throw EInvalidOp();
}

std::int64_t truncToInt64(extended x) noexcept {
    // The conversion raises invalid for what it cannot convert and inexact for a dropped fraction;
    // the program's conversion raises nothing.
    const unsigned saved = saveExtendedFlags(kExtAllFlags);
    const std::int64_t t = x.truncateToInt64();
    restoreExtendedFlags(saved, kExtAllFlags);
    return t;
}

std::int32_t truncToInt32(extended x) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(truncToInt64(x)));
}

} // namespace numtext
