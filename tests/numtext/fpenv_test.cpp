#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "numtext/fpenv.h"

using namespace numtext;

namespace {

// Values the compiler cannot see through, so the arithmetic happens at run time.
volatile double gZero = 0.0;
volatile double gBig = 1e300;
volatile double gTiny = 1e-300;

// An extended expression checkpointed where it stands.
extended checked(extended x) {
    materialise(x);
    checkpoint();
    return x;
}

} // namespace

TEST(FloatingPointEnvironment, IsTheX87ExtendedType) {
    EXPECT_EQ(std::numeric_limits<extended>::digits, 64);
    // 1 + 2^-63 is representable in extended but not in double.
    const extended one = 1.0L;
    const extended eps = std::ldexp(1.0L, -63);
    EXPECT_NE(one + eps, one);
    EXPECT_EQ(FE_TONEAREST, std::fegetround());
}

TEST(FloatingPointEnvironment, CheckpointsTurnFlagsIntoTheirExceptions) {
    clearFpFlags();
    EXPECT_THROW(checked(static_cast<extended>(gBig) / gZero), EZeroDivide);
    EXPECT_THROW(checked(static_cast<extended>(gZero) / gZero), EInvalidOp);
    EXPECT_THROW(toDouble(static_cast<extended>(gBig) / gTiny), EOverflow);
    EXPECT_NO_THROW(checkpoint()); // a reported flag is cleared
    try {
        toDouble(static_cast<extended>(gBig) / gTiny);
    } catch (const EOverflow& e) {
        EXPECT_EQ(e.Message(), "Floating point overflow");
    }
    EXPECT_EQ(EZeroDivide().Message(), "Floating point division by zero");
    EXPECT_EQ(EInvalidOp().Message(), "Invalid floating point operation");
}

TEST(FloatingPointEnvironment, StoreToDoubleIsWhereExtendedOverflowShows) {
    clearFpFlags();
    const extended big = checked(static_cast<extended>(gBig) * gBig); // fine in extended
    EXPECT_GT(big, 1e599L);
    EXPECT_THROW(toDouble(big), EOverflow);
    EXPECT_EQ(toDouble(1.0L / 3), 1.0 / 3.0);
}

TEST(FloatingPointEnvironment, FlagGuardHidesForeignArithmetic) {
    clearFpFlags();
    {
        const FlagGuard guard;
        volatile double x = gZero / gZero;
        (void)x;
    }
    EXPECT_NO_THROW(checkpoint());
    // ...and keeps a pending failure pending.
    volatile double y = gBig / gZero;
    (void)y;
    {
        const FlagGuard guard;
        clearFpFlags();
    }
    EXPECT_THROW(checkpoint(), EZeroDivide);
}

// Restoring a raised flag must not unmask its exception (MinGW-w64's fesetexceptflag did, on the SSE
// unit): each failing operation after the guard would then trap and end this test program.
TEST(FloatingPointEnvironment, FlagGuardLeavesTheExceptionsMasked) {
    clearFpFlags();
    volatile double pending = gBig / gZero;
    volatile long double pendingX87 = static_cast<long double>(gZero) / gZero;
    (void)pending;
    (void)pendingX87;
    { const FlagGuard guard; }
    {
        const FlagGuard guard;
        clearFpFlags();
    }
    volatile double sse = gBig / gZero;
    sse = gZero / gZero;
    sse = gBig * gBig;
    volatile long double x87 = static_cast<long double>(gBig) / gZero;
    x87 = static_cast<long double>(gZero) / gZero;
    (void)sse;
    (void)x87;
    EXPECT_EQ(std::fetestexcept(kCheckedFlags), kCheckedFlags);
    EXPECT_THROW(checkpoint(), EZeroDivide);
}

TEST(TruncatingConversion, TruncatesTowardZeroAndSaturatesToMinimum) {
    const struct {
        long double value;
        std::int64_t result;
    } rows[] = {
        {3.99L, 3},
        {-3.99L, -3},
        {-0.5L, 0},
        {9223372036854775807.0L, INT64_MAX},
        {-9223372036854775808.0L, INT64_MIN},
        {9223372036854775808.0L, INT64_MIN},
        {1e19L, INT64_MIN},
        {-1e19L, INT64_MIN},
        {std::numeric_limits<long double>::infinity(), INT64_MIN},
        {std::numeric_limits<long double>::quiet_NaN(), INT64_MIN},
    };
    for (const auto& r : rows)
        EXPECT_EQ(truncToInt64(r.value), r.result) << static_cast<double>(r.value);
}

TEST(TruncatingConversion, Int32KeepsTheLow32Bits) {
    EXPECT_EQ(truncToInt32(5e9L), 705032704);
    EXPECT_EQ(truncToInt32(3e9L), -1294967296);
    EXPECT_EQ(truncToInt32(std::ldexp(1.0L, 63)), 0);
    EXPECT_EQ(truncToInt32(-2.5L), -2);
}

TEST(TruncatingConversion, LeavesNoFlagSoALaterInvalidOperationStillShows) {
    clearFpFlags();
    for (int i = 0; i < 100; ++i) {
        (void)truncToInt64(std::numeric_limits<long double>::quiet_NaN());
        (void)truncToInt64(1e30L * i);
    }
    EXPECT_NO_THROW(checkpoint());
    EXPECT_THROW(checked(static_cast<extended>(gZero) / gZero), EInvalidOp);
}
