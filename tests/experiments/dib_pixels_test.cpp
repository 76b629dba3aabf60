#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "experiments/dib_pixels.h"
#include "fake_controls.h"
#include "numtext/exceptions.h"
#include "numtext/fpenv.h"

using namespace experiments;

namespace {

using extended = numtext::Extended;

// The factor written straight from its definition: the quotient formed in extended and stored to
// a double, comparisons against unrounded multiples of s, each e stored to a double, 6e returned.
double referenceRamp(double x, double width) {
    volatile double d = std::fabs(static_cast<double>(static_cast<extended>(x) / width));
    const extended s = 0.16666666666666666;
    volatile double e = 0.0;
    if (s < d && d < 2 * s)
        e = static_cast<double>(d - s);
    else if (2 * s < d && d < 4 * s)
        e = static_cast<double>(s);
    else if (4 * s < d && d < 5 * s)
        e = static_cast<double>(s - (d - 4 * s));
    return static_cast<double>(6 * static_cast<extended>(e));
}

std::uint8_t referenceChannel(double g, double h, std::int32_t first, std::int32_t second) {
    const extended v = static_cast<extended>(g) * first + static_cast<extended>(h) * second;
    return static_cast<std::uint8_t>(v.truncateToInt64());
}

Pixel24 referenceMix(std::int32_t r1, std::int32_t r2, std::int32_t g1, std::int32_t g2, std::int32_t b1,
                     std::int32_t b2, double x) {
    const double g = !(x > 0) ? 0.0 : x >= 1 ? 1.0 : x;
    const auto h = static_cast<double>(extended(1.0) - g);
    return {referenceChannel(g, h, b1, b2), referenceChannel(g, h, g1, g2), referenceChannel(g, h, r1, r2)};
}

struct PixelRgb {
    int red, green, blue;
    bool operator==(const PixelRgb&) const = default;
};

void PrintTo(const PixelRgb& c, std::ostream* os) {
    *os << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

PixelRgb rgb(const Pixel24& p) { return {p.red, p.green, p.blue}; }

// A 700 x 500 picture in a buffer whose rows carry 4 fill bytes that must stay untouched.
struct PaddedPicture {
    static constexpr int kStride = 3 * kDibWidth + 4;
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kStride * kDibHeight, 0xAB);
    std::vector<int> rowsAsked;

    void fill(ColorLimits limits) {
        fillDib(kDibWidth, kDibHeight, limits, [this](int row) {
            rowsAsked.push_back(row);
            return bytes.data() + static_cast<std::ptrdiff_t>(row) * kStride;
        });
    }
    PixelRgb at(int row, int column) const {
        const std::uint8_t* p = bytes.data() + row * kStride + 3 * column;
        return {p[2], p[1], p[0]};
    }
    // Every row equal to row 0, and no fill byte written.
    bool rowsAlike() const {
        for (int i = 0; i < kDibHeight; ++i) {
            const std::uint8_t* row = bytes.data() + i * kStride;
            if (!std::equal(row, row + 3 * kDibWidth, bytes.data()))
                return false;
            for (int k = 3 * kDibWidth; k < kStride; ++k)
                if (row[k] != 0xAB)
                    return false;
        }
        return true;
    }
};

} // namespace

TEST(RampFactor, RisesHoldsAndFallsAcrossSevenHundredColumns) {
    struct Row {
        int column;
        double factor;
    };
    const Row rows[] = {
        {0, 0.0},
        {116, 0.0},
        {117, 0.002857142857142947},
        {175, 0.5},
        {233, 0.9971428571428571},
        {234, 1.0},
        {350, 1.0},
        {466, 1.0},
        {467, 0.9971428571428569},
        {525, 0.4999999999999997},
        {583, 0.002857142857142614},
        {584, 0.0},
        {699, 0.0},
        {150, 0.2857142857142857},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.column);
        EXPECT_EQ(RampFactor(row.column, 700), row.factor);
    }
    // Only the position's distance from 0 counts.
    EXPECT_EQ(RampFactor(-175, 700), 0.5);
    EXPECT_EQ(RampFactor(175, -700), 0.5);
}

TEST(RampFactor, LeavesTheBoundariesThemselvesAtZero) {
    const double s = 0.16666666666666666;
    EXPECT_EQ(RampFactor(s, 1), 0.0);
    EXPECT_EQ(RampFactor(2 * s, 1), 0.0);
    EXPECT_EQ(RampFactor(4 * s, 1), 0.0);
    // The doubles on either side of 5s: below it still falls, above it is 0.
    const double belowFive = 0x1.aaaaaaaaaaaaap-1;
    const double aboveFive = 0x1.aaaaaaaaaaaabp-1;
    EXPECT_GT(RampFactor(belowFive, 1), 0.0);
    EXPECT_EQ(RampFactor(aboveFive, 1), 0.0);
    EXPECT_GT(RampFactor(std::nextafter(s, 1.0), 1), 0.0);
    EXPECT_EQ(RampFactor(std::nextafter(s, 0.0), 1), 0.0);
}

TEST(RampFactor, MatchesTheExtendedDefinitionForAnyOperands) {
    for (int j = 0; j < kDibWidth; ++j)
        ASSERT_EQ(RampFactor(j, kDibWidth), referenceRamp(j, kDibWidth)) << "column " << j;
    // Other whole widths, and operands that are not whole or too wide for the short way.
    for (int width = 1; width < 4096; width += 7)
        for (int j = 0; j <= width; j += 1 + width / 97)
            ASSERT_EQ(RampFactor(j, width), referenceRamp(j, width)) << j << " / " << width;
    // Quotients that round differently straight to double and through extended: the width is
    // just past the range where the two always agree.
    for (const auto& [x, width] : {std::pair{460, 2051}, {656, 2067}, {599, 2071}}) {
        volatile double vx = x, vw = width;
        ASSERT_NE(vx / vw, static_cast<double>(static_cast<extended>(vx) / vw));
        EXPECT_EQ(RampFactor(x, width), referenceRamp(x, width)) << x << " / " << width;
    }
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> position(-2.0, 2.0);
    for (int k = 0; k < 20000; ++k) {
        const double x = position(gen);
        const double width = 1.0 + std::fabs(position(gen));
        ASSERT_EQ(RampFactor(x, width), referenceRamp(x, width)) << x << " / " << width;
        ASSERT_EQ(RampFactor(x * 1e6, width * 1e6), referenceRamp(x * 1e6, width * 1e6));
    }
}

TEST(RampFactor, RaisesAsTheStoredQuotientWould) {
    numtext::clearFpFlags();
    EXPECT_THROW(RampFactor(1, 0), numtext::EZeroDivide);
    EXPECT_THROW(RampFactor(0, 0), numtext::EInvalidOp);
    EXPECT_THROW(RampFactor(1e300, 1e-300), numtext::EOverflow);
    EXPECT_EQ(RampFactor(std::nan(""), 700), 0.0);
    EXPECT_NO_THROW(numtext::checkpoint());
}

TEST(MixPixel, ClampsTheFactorWithNaNCountingAsZero) {
    struct Row {
        double factor;
        PixelRgb expected;
    };
    const Row rows[] = {
        {std::nan(""), {50, 60, 70}}, {-1.0, {50, 60, 70}}, {0.0, {50, 60, 70}},
        {1.0, {10, 20, 30}},          {7.5, {10, 20, 30}},  {INFINITY, {10, 20, 30}},
        {-INFINITY, {50, 60, 70}},    {0.5, {30, 40, 50}},
    };
    numtext::clearFpFlags();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.factor);
        Pixel24 pixel;
        const Pixel24 returned = MixPixel(pixel, 10, 50, 20, 60, 30, 70, row.factor);
        EXPECT_EQ(rgb(pixel), row.expected);
        EXPECT_EQ(rgb(returned), row.expected);
    }
    EXPECT_NO_THROW(numtext::checkpoint()) << "a NaN factor left the invalid flag raised";
}

TEST(MixPixel, TruncatesTheExtendedProductForEveryColumnAndLimit) {
    // Column 150: a factor just below 2/7 makes 7 give 1, where a product rounded to double gives 2.
    Pixel24 pixel;
    MixPixel(pixel, 7, 0, 7, 0, 7, 0, RampFactor(150, 700));
    EXPECT_EQ(rgb(pixel), (PixelRgb{1, 1, 1}));

    int roundingFirstWouldDiffer = 0;
    for (int j = 0; j < kDibWidth; ++j) {
        const double t = RampFactor(j, kDibWidth);
        for (int limit = 0; limit < 256; ++limit) {
            // Each channel meets every limit at every column.
            const int r = limit, g = (limit + 85) % 256, b = (limit + 170) % 256;
            MixPixel(pixel, r, 0, g, 0, b, 0, t);
            const Pixel24 expected = referenceMix(r, 0, g, 0, b, 0, t);
            ASSERT_EQ(rgb(pixel), rgb(expected)) << "column " << j << ", limit " << limit;
            const auto viaDouble = static_cast<int>(static_cast<double>(t * limit));
            roundingFirstWouldDiffer += viaDouble != referenceChannel(t, 1.0 - t, limit, 0);
        }
    }
    // The reference tells the two apart, so the comparison above is worth making.
    EXPECT_EQ(roundingFirstWouldDiffer, 80);
}

TEST(MixPixel, MixesAnyTwoColorsKeepingTheLowEightBits) {
    Pixel24 pixel;
    MixPixel(pixel, 300, 0, -1, 0, 256, 0, 1.0);
    EXPECT_EQ(rgb(pixel), (PixelRgb{44, 255, 0}));
    // h = 1 - g rounded once from extended is 1.0 here, where the double difference is 1 - 2^-53,
    // which would take one off the largest second colour.
    MixPixel(pixel, 0, INT32_MAX, 0, 0, 0, 0, 0x1.0001p-54);
    EXPECT_EQ(pixel.red, 255);

    std::mt19937_64 gen(11);
    std::uniform_real_distribution<double> factor(-0.1, 1.1);
    std::uniform_int_distribution<std::int32_t> small(-300, 300);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    for (int k = 0; k < 100000; ++k) {
        const double x = factor(gen);
        auto& pick = (k % 3 == 0) ? any : small;
        const std::int32_t c[6] = {pick(gen), pick(gen), pick(gen), pick(gen), pick(gen), pick(gen)};
        const bool black = k % 2 == 0; // half of them mixed with black, as the bitmap does
        const std::int32_t r2 = black ? 0 : c[1], g2 = black ? 0 : c[3], b2 = black ? 0 : c[5];
        MixPixel(pixel, c[0], r2, c[2], g2, c[4], b2, x);
        ASSERT_EQ(rgb(pixel), rgb(referenceMix(c[0], r2, c[2], g2, c[4], b2, x))) << "case " << k;
    }
}

TEST(DibPicture, InitialLimitsGiveARedProfileOnEveryRow) {
    PaddedPicture picture;
    picture.fill({128, 0, 0});
    EXPECT_TRUE(picture.rowsAlike());
    ASSERT_EQ(picture.rowsAsked.size(), static_cast<std::size_t>(kDibHeight));
    for (int i = 0; i < kDibHeight; ++i)
        EXPECT_EQ(picture.rowsAsked[i], i);

    for (int j = 0; j <= 117; ++j)
        EXPECT_EQ(picture.at(0, j), (PixelRgb{0, 0, 0})) << "column " << j;
    EXPECT_EQ(picture.at(0, 118), (PixelRgb{1, 0, 0}));
    EXPECT_EQ(picture.at(0, 175), (PixelRgb{64, 0, 0}));
    for (int j = 234; j <= 466; ++j)
        EXPECT_EQ(picture.at(0, j), (PixelRgb{128, 0, 0})) << "column " << j;
    EXPECT_EQ(picture.at(0, 525), (PixelRgb{63, 0, 0}));
    for (int j = 583; j < kDibWidth; ++j)
        EXPECT_EQ(picture.at(0, j), (PixelRgb{0, 0, 0})) << "column " << j;
    for (int j = 0; j < kDibWidth; ++j) {
        EXPECT_EQ(picture.at(0, j).green, 0);
        EXPECT_EQ(picture.at(0, j).blue, 0);
    }
}

TEST(DibPicture, FullLimitsShowTheUnevenRampEnds) {
    PaddedPicture picture;
    picture.fill({255, 255, 255});
    EXPECT_TRUE(picture.rowsAlike());
    for (int j = 234; j <= 466; ++j)
        EXPECT_EQ(picture.at(kDibHeight - 1, j), (PixelRgb{255, 255, 255})) << "column " << j;
    EXPECT_EQ(picture.at(0, 233), (PixelRgb{254, 254, 254}));
    EXPECT_EQ(picture.at(0, 467), (PixelRgb{254, 254, 254}));
    EXPECT_EQ(picture.at(0, 175), (PixelRgb{127, 127, 127}));
    EXPECT_EQ(picture.at(0, 525), (PixelRgb{127, 127, 127}));
}

TEST(DibPicture, ZeroLimitsGiveABlackPicture) {
    PaddedPicture picture;
    picture.fill({0, 0, 0});
    EXPECT_TRUE(picture.rowsAlike());
    for (int j = 0; j < kDibWidth; ++j)
        ASSERT_EQ(picture.at(0, j), (PixelRgb{0, 0, 0})) << "column " << j;
}

namespace {

// The tab's controls at the given limits; the save box ticked or not.
FakeControls dibTab(bool ticked) {
    FakeControls w;
    w.positions = {{"RedMax", 7}, {"GreenMax", 0}, {"BlueMax", 255}};
    w.checks["CheckBox1"] = ticked;
    return w;
}

} // namespace

TEST(DibRun, WithoutTheTickDrawsAndSavesNothing) {
    FakeControls w = dibTab(false);
    drawRamp(w, numtext::FormatSettings::comma());
    EXPECT_EQ(w.log, (std::vector<std::string>{"showPicture 700 x 500"}));
    // The limits reach the pixels: column 150 with red 7 and blue 255, on every row.
    for (int row : {0, kDibHeight - 1}) {
        const std::uint8_t* p = w.picture.row(row) + 3 * 150;
        EXPECT_EQ((PixelRgb{p[2], p[1], p[0]}), (PixelRgb{1, 0, 72}));
    }
}

TEST(DibRun, OneTickRequestsExactlyOneSave) {
    FakeControls w = dibTab(true);
    w.saveAs = "obraz.wmf";
    drawRamp(w, numtext::FormatSettings::comma());
    EXPECT_EQ(w.log, (std::vector<std::string>{"showPicture 700 x 500", "savePicture then *.wmf",
                                               "saved obraz.wmf", "setChecked CheckBox1=0"}));
    w.log.clear();
    drawRamp(w, numtext::FormatSettings::comma());
    EXPECT_EQ(w.log, (std::vector<std::string>{"showPicture 700 x 500"}));
}

TEST(DibRun, CancellingWritesNothingButStillConsumesTheTick) {
    FakeControls w = dibTab(true);
    drawRamp(w, numtext::FormatSettings::comma());
    EXPECT_EQ(w.log, (std::vector<std::string>{"showPicture 700 x 500", "savePicture then *.wmf",
                                               "setChecked CheckBox1=0"}));
    EXPECT_FALSE(w.checks["CheckBox1"]);
}

TEST(DibRun, FailedSaveKeepsThePictureAndTheTick) {
    FakeControls w = dibTab(true);
    w.saveAs = "/nonexistent/obraz.bmp";
    w.saveFails = true;
    try {
        drawRamp(w, numtext::FormatSettings::comma());
        ADD_FAILURE() << "the save error was swallowed";
    } catch (const numtext::Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot create file /nonexistent/obraz.bmp");
    }
    EXPECT_EQ(w.log, (std::vector<std::string>{"showPicture 700 x 500", "savePicture then *.wmf"}));
    EXPECT_TRUE(w.checks["CheckBox1"]);
}
