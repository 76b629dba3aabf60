#include <gtest/gtest.h>

#include "../numtext/extended_literal.h"
#include "lib/Unit_Funkcje.h"

using numtext::ld;

TEST(HarmonicSum, IsZeroBelowOneAndSumsReciprocalsAbove) {
    EXPECT_EQ(ksi(0), ld(0.0L));
    EXPECT_EQ(ksi(-5), ld(0.0L));
    EXPECT_EQ(ksi(1), ld(1.0L));
    EXPECT_EQ(ksi(2), ld(1.5L));
    EXPECT_EQ(ksi(3), ld(1.5L) + ld(1.0L) / 3); // 11/6 with the third rounded in extended
    EXPECT_NEAR(static_cast<double>(ksi(1000)), 7.485470860550345, 1e-14);
}
