#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "extended_literal.h"
#include "numtext/fpenv.h"

using namespace numtext;

namespace {

// Values the compiler cannot see through, so the arithmetic happens at run time.
volatile double gZero = 0.0;
volatile double gBig = 1e300;
volatile double gTiny = 1e-300;

// An extended expression checkpointed where it stands: the extended type raises its flags as it
// computes its value, so an argument's flags are all raised before the call.
extended checked(extended x) {
    checkpoint();
    return x;
}

} // namespace

TEST(FloatingPointEnvironment, IsTheX87ExtendedType) {
    // 1 + 2^-63 is representable in extended but not in double.
    const extended one = ld(1.0L);
    const extended eps = ld(std::ldexp(1.0L, -63));
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
    EXPECT_GT(big, ld(1e599L));
    EXPECT_THROW(toDouble(big), EOverflow);
    EXPECT_EQ(toDouble(ld(1.0L) / 3), 1.0 / 3.0);
}

// A product is rounded before it is added. A compiler that contracts a * b + c into one fused
// multiply-add keeps the product's low bits: here 1 - 2^-60 instead of 1, and the sum is not 0.
TEST(FloatingPointEnvironment, ProductsAreRoundedBeforeTheyAreAdded) {
    volatile double a = 1.0 + 0x1p-30;
    volatile double b = 1.0 - 0x1p-30;
    volatile double c = -1.0;
    const double x = a, y = b, z = c;
    EXPECT_EQ(x * y + z, 0.0);
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
        Extended value;
        std::int64_t result;
    } rows[] = {
        {ld(3.99L), 3},
        {-ld(3.99L), -3},
        {-ld(0.5L), 0},
        {ld(9223372036854775807.0L), INT64_MAX},
        {-ld(9223372036854775808.0L), INT64_MIN},
        {ld(9223372036854775808.0L), INT64_MIN},
        {ld(1e19L), INT64_MIN},
        {-ld(1e19L), INT64_MIN},
        {Extended::infinity(), INT64_MIN},
        {Extended::defaultNaN(), INT64_MIN},
    };
    for (const auto& r : rows)
        EXPECT_EQ(truncToInt64(r.value), r.result) << static_cast<double>(r.value);
}

TEST(TruncatingConversion, Int32KeepsTheLow32Bits) {
    EXPECT_EQ(truncToInt32(ld(5e9L)), 705032704);
    EXPECT_EQ(truncToInt32(ld(3e9L)), -1294967296);
    EXPECT_EQ(truncToInt32(ld(std::ldexp(1.0L, 63))), 0);
    EXPECT_EQ(truncToInt32(-ld(2.5L)), -2);
}

TEST(TruncatingConversion, LeavesNoFlagSoALaterInvalidOperationStillShows) {
    clearFpFlags();
    for (int i = 0; i < 100; ++i) {
        (void)truncToInt64(Extended::defaultNaN());
        (void)truncToInt64(ld(1e30L) * i);
    }
    EXPECT_NO_THROW(checkpoint());
    EXPECT_THROW(checked(static_cast<extended>(gZero) / gZero), EInvalidOp);
}
