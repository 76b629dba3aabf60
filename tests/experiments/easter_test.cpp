#include <gtest/gtest.h>

#include <algorithm>

#include "experiments/easter.h"
#include "fake_controls.h"

using namespace experiments;

namespace {

const numtext::FormatSettings kComma = numtext::FormatSettings::comma();

FakeControls easterWindow(const std::string& year, const std::string& lo, const std::string& hi) {
    FakeControls w;
    w.spinLimits["CSpinEdit1"] = {1000, 2200};
    w.spinLimits["rok1"] = {0, 5555};
    w.spinLimits["rok2"] = {0, 5555};
    w.texts["CSpinEdit1"] = year;
    w.texts["rok1"] = lo;
    w.texts["rok2"] = hi;
    return w;
}

} // namespace

TEST(EasterCode, GivesTheKnownDates) {
    const struct {
        int year, code;
    } rows[] = {{2011, 147}, {2008, 115}, {2010, 127}, {1818, 114}, {2038, 148},
                {1000, 122}, {2200, 129}, {2000, 146}, {2024, 123}};
    for (const auto& r : rows)
        EXPECT_EQ(dataWielkanocy(r.year), r.code) << r.year;
}

// Gauss's Easter formula with its two exceptions: a different method, so a wrong constant in
// the computus cannot agree with it over centuries.
int gaussEasterCode(int year) {
    const int a = year % 19, b = year % 4, c = year % 7;
    const int k = year / 100;
    const int p = (13 + 8 * k) / 25;
    const int q = k / 4;
    const int M = (15 - p + k - q) % 30;
    const int N = (4 + k - q) % 7;
    const int d = (19 * a + M) % 30;
    const int e = (2 * b + 4 * c + 6 * d + N) % 7;
    int month = 3, day = 22 + d + e;
    if (d == 29 && e == 6) {
        month = 4;
        day = 19;
    } else if (d == 28 && e == 6 && (11 * M + 11) % 30 < 19) {
        month = 4;
        day = 18;
    } else if (day > 31) {
        month = 4;
        day -= 31;
    }
    return month * 31 + day - 1;
}

TEST(EasterCode, AgreesWithGaussForEveryGregorianYearTo4099) {
    for (int y = 1583; y <= 4099; ++y)
        ASSERT_EQ(dataWielkanocy(y), gaussEasterCode(y)) << y;
}

TEST(EasterCode, StaysBetween22MarchAnd25AprilOverTheSpinEditRange) {
    for (int y = 0; y <= 5555; ++y) {
        const int n = dataWielkanocy(y);
        ASSERT_GE(n, 114) << y;
        ASSERT_LE(n, 148) << y;
    }
}

TEST(EasterField, ShowsDayAndMonthOnTheMonthsColor) {
    const struct {
        const char* year;
        const char* text;
        Rgb color;
    } rows[] = {
        {"2011", "dn. 24-go  miesiąca 4", kLime}, {"2008", "dn. 23-go  miesiąca 3", kYellow},
        {"2010", "dn. 4-go  miesiąca 4", kLime},  {"1818", "dn. 22-go  miesiąca 3", kYellow},
        {"2038", "dn. 25-go  miesiąca 4", kLime}, {"1000", "dn. 30-go  miesiąca 3", kYellow},
        {"2200", "dn. 6-go  miesiąca 4", kLime},
    };
    for (const auto& r : rows) {
        FakeControls w = easterWindow(r.year, "2000", "2000");
        showEaster(w, kComma);
        EXPECT_EQ(w.text("Wielkanoc"), r.text);
        EXPECT_EQ(w.colors["Wielkanoc"], r.color) << r.year;
    }
}

TEST(EasterChart, PutsEachYearInBothSeries) {
    FakeControls w = easterWindow("2011", "2000", "2020");
    showEaster(w, kComma);
    const auto& march = w.series["Series2"];
    const auto& april = w.series["Series3"];
    ASSERT_EQ(march.size(), 21u);
    ASSERT_EQ(april.size(), 21u);
    std::vector<int> marchYears;
    for (int k = 0; k < 21; ++k) {
        EXPECT_EQ(march[k].x, 2000 + k);
        EXPECT_EQ(april[k].x, 2000 + k);
        EXPECT_TRUE((march[k].y == -1) != (april[k].y == -1)) << 2000 + k;
        if (march[k].y != -1)
            marchYears.push_back(2000 + k);
    }
    EXPECT_EQ(marchYears, (std::vector<int>{2002, 2005, 2008, 2013, 2016}));
    EXPECT_EQ(march[2].y, 31);
    EXPECT_EQ(march[5].y, 27);
    EXPECT_EQ(march[8].y, 23);
    EXPECT_EQ(april[0].y, 23);
    EXPECT_EQ(april[11].y, 24);
    EXPECT_EQ(april[19].y, 21);
    EXPECT_EQ(april[20].y, 12);
}

TEST(EasterChart, ClearsBeforeFillingAndSwapsAReversedRange) {
    FakeControls w = easterWindow("2011", "2020", "2000");
    showEaster(w, kComma);
    showEaster(w, kComma); // runs never accumulate points
    FakeControls v = easterWindow("2011", "2000", "2020");
    showEaster(v, kComma);
    EXPECT_EQ(w.series["Series2"], v.series["Series2"]);
    EXPECT_EQ(w.series["Series3"], v.series["Series3"]);

    FakeControls one = easterWindow("2011", "1818", "1818");
    showEaster(one, kComma);
    EXPECT_EQ(one.series["Series2"], (std::vector<FakeControls::Point>{{1818, 22}}));
    EXPECT_EQ(one.series["Series3"], (std::vector<FakeControls::Point>{{1818, -1}}));
}

TEST(EasterChart, ABadYearTextReadsAsTheMinimumAndRunsTheHandlerNested) {
    FakeControls w = easterWindow("abc", "2000", "2001");
    int nested = 0;
    w.onSpinChange = [&](const std::string&) {
        ++nested;
        showEaster(w, kComma);
    };
    showEaster(w, kComma);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(w.text("CSpinEdit1"), "1000");
    EXPECT_EQ(w.text("Wielkanoc"), "dn. 30-go  miesiąca 3");
    EXPECT_EQ(w.series["Series2"].size(), 2u);
}

TEST(EasterChart, DrawsATypedYearOutsideTheLimitsAtTheNearestLimit) {
    FakeControls w = easterWindow("2011", "5550", "2147483647");
    showEaster(w, kComma);
    ASSERT_EQ(w.series["Series2"].size(), 6u); // 5550 .. 5555
    EXPECT_EQ(w.series["Series2"].back().x, 5555);
    EXPECT_EQ(w.text("rok2"), "2147483647"); // the field itself keeps what was typed

    FakeControls low = easterWindow("2011", "-2147483648", "1");
    showEaster(low, kComma);
    ASSERT_EQ(low.series["Series3"].size(), 2u);
    EXPECT_EQ(low.series["Series3"].front().x, 0);
}

// Equal limits are a field without limits: its typed year is drawn as it is.
TEST(EasterChart, AFieldWithEqualLimitsKeepsItsTypedYear) {
    FakeControls w = easterWindow("2011", "6000", "6001");
    w.spinLimits["rok1"] = {0, 0};
    w.spinLimits["rok2"] = {0, 0};
    showEaster(w, kComma);
    ASSERT_EQ(w.series["Series2"].size(), 2u);
    EXPECT_EQ(w.series["Series2"].front().x, 6000);
}
