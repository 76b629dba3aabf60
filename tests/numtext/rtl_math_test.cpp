#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <string>
#include <vector>

#include "extended_literal.h"
#include "numtext/rtl_math.h"

using namespace numtext;

namespace {

// Captures what the math-error routine would show, and restores the previous display afterwards.
class MathErrors : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = setMathErrorDisplay([this](const std::string& t) { shown.push_back(t); });
        clearFpFlags();
    }
    void TearDown() override { setMathErrorDisplay(std::move(m_previous)); }

    std::vector<std::string> shown;

private:
    MathErrorDisplay m_previous;
};

} // namespace

TEST_F(MathErrors, DomainErrorsShowTheirTextAndReturnTheDefault) {
    errno = 0;
    EXPECT_TRUE(std::isnan(numtext::sqrt(-1.0)));
    EXPECT_EQ(errno, 33);
    EXPECT_TRUE(std::isnan(numtext::log(-2.0)));
    EXPECT_TRUE(std::isnan(numtext::pow(-8.0, 1.0 / 3.0)));
    EXPECT_TRUE(numtext::powl(Extended(-8.0), Extended(0.5)).isNaN());
    EXPECT_TRUE(std::isnan(numtext::sin(INFINITY)));
    EXPECT_TRUE(std::isnan(numtext::cos(1e300)));
    EXPECT_TRUE(std::isnan(numtext::fmod(INFINITY, 2.0)));
    EXPECT_EQ(numtext::atan2(0.0, 0.0), 0.0);
    const std::vector<std::string> expected = {
        "sqrt: DOMAIN error", "log: DOMAIN error", "pow: DOMAIN error",  "powl: DOMAIN error",
        "sin: DOMAIN error",  "cos: TLOSS error",  "fmod: DOMAIN error", "atan2: DOMAIN error"};
    EXPECT_EQ(shown, expected);
    // None of them leaves a flag for a checkpoint: a domain error never becomes EInvalidOp.
    EXPECT_NO_THROW(checkpoint());
}

TEST_F(MathErrors, RangeErrorsSetErrno34) {
    errno = 0;
    EXPECT_EQ(numtext::log(0.0), -INFINITY);
    EXPECT_EQ(errno, 34);
    EXPECT_EQ(numtext::exp(1000.0), INFINITY);
    EXPECT_EQ(numtext::pow(10.0, 400.0), INFINITY);
    EXPECT_EQ(numtext::pow(0.0, -1.0), INFINITY);
    EXPECT_EQ(numtext::hypot(1.5e308, 1.5e308), INFINITY);
    const std::vector<std::string> expected = {"log: SING error", "exp: OVERFLOW error",
                                               "pow: OVERFLOW error", "pow: SING error",
                                               "hypot: OVERFLOW error"};
    EXPECT_EQ(shown, expected);
    EXPECT_NO_THROW(checkpoint());
}

TEST_F(MathErrors, OrdinaryArgumentsGiveTheLibraryResultsSilently) {
    EXPECT_EQ(numtext::sqrt(3.0), std::sqrt(3.0));
    EXPECT_EQ(numtext::pow(-8.0, 3.0), -512.0);
    EXPECT_EQ(numtext::powl(Extended(27.0), Extended(1.0) / Extended(3.0)), Extended(3.0));
    EXPECT_EQ(numtext::hypot(3.0, 4.0), 5.0);
    EXPECT_EQ(numtext::exp(-1000.0), 0.0);
    EXPECT_EQ(numtext::floor(-0.5), -1.0);
    EXPECT_EQ(numtext::ceil(-0.5), -0.0);
    EXPECT_EQ(numtext::fabs(-2.5), 2.5);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MathErrors, RemainderHasTheSignOfXAndZeroForAZeroDivisor) {
    EXPECT_EQ(numtext::fmod(-7.0, 3.0), -1.0);
    EXPECT_EQ(numtext::fmod(7.0, -3.0), 1.0);
    EXPECT_EQ(numtext::fmod(7.5, 2.0), 1.5);
    EXPECT_EQ(numtext::fmod(5.0, 0.0), 0.0);
    EXPECT_EQ(numtext::fmod(0.0, 0.0), 0.0);
    EXPECT_EQ(numtext::fmod(0.3, 0.1), 0.09999999999999997779553950749686919152736663818359375);
    EXPECT_TRUE(shown.empty());
    EXPECT_NO_THROW(checkpoint());
}
