// The product tab over the recording fake: what it reads, what it writes, and what a failure leaves.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "experiments/complex_product.h"
#include "fake_controls.h"
#include "numtext/exceptions.h"

namespace {

using experiments::ComplexProduct;
using experiments::FakeControls;

FakeControls factors(const char* a, const char* b, const char* c, const char* d) {
    FakeControls w;
    w.texts["Edit6"] = a;
    w.texts["Edit7"] = b;
    w.texts["Edit8"] = c;
    w.texts["Edit9"] = d;
    return w;
}

} // namespace

// The real part, then the imaginary one; a bad text anywhere writes neither.
TEST(ComplexProductTab, WritesBothPartsOnlyWhenAllFourFactorsParse) {
    ComplexProduct tab;
    FakeControls w = factors("2,0", "3,0", "-1,0", "5,0");
    tab.multiply(w, numtext::FormatSettings::comma());
    EXPECT_EQ(w.log, (std::vector<std::string>{"setText LabeledEdit12=-17", "setText LabeledEdit13=7"}));

    for (const char* bad : {"Edit6", "Edit9"}) {
        FakeControls v = factors("2,0", "3,0", "-1,0", "5,0");
        v.texts[bad] = "2.0";
        EXPECT_THROW(tab.multiply(v, numtext::FormatSettings::comma()), numtext::EConvertError) << bad;
        EXPECT_TRUE(v.log.empty()) << bad;
    }
    FakeControls huge = factors("1e300", "1e300", "1e300", "1e300");
    EXPECT_THROW(tab.multiply(huge, numtext::FormatSettings::comma()), numtext::EOverflow);
    EXPECT_TRUE(huge.log.empty());
}
