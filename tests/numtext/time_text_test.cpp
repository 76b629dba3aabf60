#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numtext/time_text.h"

using namespace numtext;

TEST(LongTimeText, FormatsTheTimeOfDay) {
    const FormatSettings comma = FormatSettings::comma();
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.0, "00:00:00"},
        {0.5, "12:00:00"},
        {1.0 / 86400.0 * 3, "00:00:03"},
        {(13 * 3600.0 + 5 * 60 + 9) / 86400, "13:05:09"},
        {1.0 + 0.25, "06:00:00"},   // the date part is dropped
        {-0.25, "06:00:00"},        // a negative count counts as its absolute value
        {0.9999999999, "00:00:00"}, // 86399999.99 ms rounds up to the next midnight
        {0.99999998, "23:59:59"},
        {std::numeric_limits<double>::quiet_NaN(), "00:00:00"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TimeToStr(r.value, comma), r.text) << r.value;
}

TEST(LongTimeText, FollowsTheLocaleFormat) {
    FormatSettings fs;
    fs.longTimeFormat = "h:mm:ss AP";
    EXPECT_EQ(TimeToStr(0.5 + 1.0 / 24, fs), "1:00:00 PM");
    EXPECT_EQ(TimeToStr(0.0, fs), "12:00:00 AM");
    fs.longTimeFormat = "H.mm.ss 'Uhr'";
    EXPECT_EQ(TimeToStr(0.75, fs), "18.00.00 Uhr");
    fs.longTimeFormat = "HH:mm:ss";
    fs.timeSeparator = ".";
    EXPECT_EQ(TimeToStr(0.75, fs), "18.00.00");
    fs.longTimeFormat = "HH:mm:ss.zzz";
    EXPECT_EQ(TimeToStr(1.5 / 86400, fs), "00.00.01.500");
}

TEST(CurrentTime, IsAFractionOfADayToTheMillisecond) {
    const TDateTime t = Time();
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 1.0);
    const double ms = t * 86400000.0;
    EXPECT_NEAR(ms, std::round(ms), 1e-3);
}
