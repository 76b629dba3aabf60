#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "../numtext/extended_literal.h"
#include "experiments/rounding.h"
#include "fake_controls.h"
#include "numtext/number_text.h"

using numtext::ld;

using namespace experiments;
using numtext::FormatSettings;

namespace {

const FormatSettings kComma = FormatSettings::comma();
const FormatSettings kStop = FormatSettings::fullStop();

const std::vector<std::string> kComboItems = {
    "1,0",         "1",           "1,999999",  "2",          "2,000000",   "2,000001",   "-3,000001",
    "-3,000000",   "-3",          "-2,999999", "1,49999999", "1,50000000", "1,50000001", "-1,49999999",
    "-1,50000000", "-1,50000001", ""};

// The window with a combo box that, like the form's, takes the item's text when an item is
// selected, and keeps reporting its index while a text is typed over it.
class Window : public FakeControls {
public:
    Window() { select(2); }

    void select(int index) {
        indices["ComboBox1"] = index;
        texts["ComboBox1"] = kComboItems.at(static_cast<std::size_t>(index));
    }
    void type(const std::string& text, int reportedIndex = 0) {
        indices["ComboBox1"] = reportedIndex;
        texts["ComboBox1"] = text;
    }
    void setItemIndex(std::string_view c, int i) override {
        FakeControls::setItemIndex(c, i);
        select(i);
    }

    // floor, ceil, int, fabs and abs, separated by spaces.
    std::string shown() {
        return text("LabeledEdit1") + " " + text("LabeledEdit2") + " " + text("LabeledEdit20") + " " +
               text("LabeledEdit6") + " " + text("LabeledEdit7");
    }
};

const std::vector<std::string> kFixedSteps = {"setText Edit1=1", "setText Edit2=3", "addLine Memo1=1",
                                              "addLine Memo1=2", "addLine Memo1=3", "addLine Memo1=4"};

struct Row {
    std::string text;
    std::string expected;
};

void expectShown(const std::vector<Row>& rows, const FormatSettings& fs = kComma) {
    for (const auto& row : rows) {
        Window w;
        w.type(row.text);
        roundChosenNumber(w, fs);
        EXPECT_EQ(w.shown(), row.expected) << row.text;
    }
}

std::string messageOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const numtext::Exception& e) {
        return e.Message();
    }
    return "<no exception>";
}

std::string notAFloat(const std::string& text) {
    return "'" + text + "' is not a valid floating point value";
}

} // namespace

TEST(Rounding, EveryListItemUnderACommaLocale) {
    const char* const expected[] = {"1 1 1 1 1",           "1 1 1 1 1",
                                    "1 2 1 1,999999 1",    "2 2 2 2 2",
                                    "2 2 2 2 2",           "2 3 2 2,000001 2",
                                    "-4 -3 -3 3,000001 3", "-3 -3 -3 3 3",
                                    "-3 -3 -3 3 3",        "-3 -2 -2 2,999999 2",
                                    "1 2 1 1,49999999 1",  "1 2 1 1,5 1",
                                    "1 2 1 1,50000001 1",  "-2 -1 -1 1,49999999 1",
                                    "-2 -1 -1 1,5 1",      "-2 -1 -1 1,50000001 1"};
    for (int i = 0; i < 16; ++i) {
        Window w;
        w.select(i);
        roundChosenNumber(w, kComma);
        EXPECT_EQ(w.shown(), expected[i]) << kComboItems[static_cast<std::size_t>(i)];
        EXPECT_EQ(w.text("Edit3"), "17");
    }
}

TEST(Rounding, WritesEveryTextInOrderAndReselectsWhenNothingIsSelected) {
    Window w;
    w.type("7", -1); // typed, but the combo box reports no selection
    roundChosenNumber(w, kComma);
    std::vector<std::string> expected = kFixedSteps;
    expected.insert(expected.end(), {"setItemIndex ComboBox1=2", "setText LabeledEdit1=1",
                                     "setText LabeledEdit2=2", "setText LabeledEdit20=1", "setText Edit3=17",
                                     "setText LabeledEdit6=1,999999", "setText LabeledEdit7=1"});
    EXPECT_EQ(w.log, expected);
}

TEST(Rounding, AFailingTextKeepsOnlyTheFixedTextsAndMemoLines) {
    const std::string nul("1\0", 2);
    const std::string huge(1 << 20, '9');
    for (const Row& row : {Row{"", notAFloat("")}, Row{"1,5x", notAFloat("1,5x")}, Row{nul, notAFloat(nul)},
                           Row{huge, notAFloat(huge)}, Row{"1e400", "Floating point overflow"},
                           Row{"-1e400", "Floating point overflow"}}) {
        Window w;
        w.type(row.text, 16);
        EXPECT_EQ(messageOf([&] { roundChosenNumber(w, kComma); }), row.expected);
        EXPECT_EQ(w.log, kFixedSteps) << row.text.substr(0, 10);
    }
}

TEST(Rounding, TruncationKeepsTheLow32BitsOfA64BitInteger) {
    expectShown({
        {"3000000000", "-1294967296 -1294967296 -1294967296 3000000000 1294967296"},
        {"5000000000", "705032704 705032704 705032704 5000000000 705032704"},
        {"-0,5", "-1 0 0 0,5 0"},
        {"-0", "0 0 0 0 0"},
        {"2147483647,5", "2147483647 -2147483648 2147483647 2147483647,5 2147483647"},
        // -2^31 is shown as a positive magnitude, not wrapped.
        {"-2147483648", "-2147483648 -2147483648 -2147483648 2147483648 2147483648"},
        // The largest double below 2^63 still truncates: its low 32 bits are 0xFFFFFC00.
        {"9223372036854774784", "-1024 -1024 -1024 9,22337203685477E18 1024"},
        {"9223372036854775808", "0 0 0 9,22337203685478E18 0"},
        {"-9223372036854775808", "0 0 0 9,22337203685478E18 0"},
        {"1e19", "0 0 0 1E19 0"},
        {"-1e300", "0 0 0 1E300 0"},
    });
}

TEST(Rounding, FullStopLocaleRejectsEveryCommaItem) {
    for (int i = 0; i < 16; ++i) {
        Window w;
        w.select(i);
        const std::string item = w.text("ComboBox1");
        if (item.find(',') == std::string::npos) {
            EXPECT_NO_THROW(roundChosenNumber(w, kStop)) << item;
            continue;
        }
        EXPECT_EQ(messageOf([&] { roundChosenNumber(w, kStop); }), notAFloat(item));
        EXPECT_EQ(w.log, kFixedSteps) << item;
    }
    expectShown({{"-1.50000001", "-2 -1 -1 1.50000001 1"}}, kStop);
}

namespace {

FakeControls remainderWindow(const std::string& x, const std::string& y) {
    FakeControls w;
    w.texts["LabeledEdit8"] = x;
    w.texts["LabeledEdit9"] = y;
    return w;
}

// Not known to the compiler, so the arithmetic happens at run time.
volatile double gZero = 0.0;

} // namespace

TEST(Remainder, HasTheSignOfXAndFloorsTheQuotientStoredAsDouble) {
    struct Pair {
        const char *x, *y, *fmod, *floor;
        const FormatSettings& fs = kComma;
    };
    for (const Pair& p : {Pair{"3", "4", "3", "0"}, Pair{"-7", "3", "-1", "-3"}, Pair{"7", "-3", "1", "-3"},
                          Pair{"7,5", "2", "1,5", "3"},
                          // 0.0999999999999999778 at 15 digits; 2.9999999999999996 as a double.
                          Pair{"0,3", "0,1", "0,1", "2"},
                          // 9.99999999999999944 becomes 10 only when stored as a double.
                          Pair{"1", "0,1", "0,1", "10"}, Pair{"0", "5", "0", "0"},
                          // A quotient below the double range becomes 0 without failing.
                          Pair{"1e-300", "1e300", "1E-300", "0"}, Pair{"7.5", "-2", "1.5", "-4", kStop}}) {
        FakeControls w = remainderWindow(p.x, p.y);
        divideWithRemainder(w, p.fs);
        const std::vector<std::string> expected = {std::string("setText LabeledEdit10=") + p.fmod,
                                                   std::string("setText LabeledEdit11=") + p.floor};
        EXPECT_EQ(w.log, expected) << p.x << " " << p.y;
    }
}

TEST(Remainder, AFailingQuotientKeepsTheRemainderShown) {
    for (const Row& row :
         {Row{"5", "Floating point division by zero"}, Row{"-5", "Floating point division by zero"},
          Row{"0", "Invalid floating point operation"}}) {
        FakeControls w = remainderWindow(row.text, "0");
        w.texts["LabeledEdit11"] = "before";
        EXPECT_EQ(messageOf([&] { divideWithRemainder(w, kComma); }), row.expected);
        EXPECT_EQ(w.log, std::vector<std::string>{"setText LabeledEdit10=0"});
        EXPECT_EQ(w.text("LabeledEdit11"), "before");
    }
    // The exact remainder of 1e300 by 1e-300 is some value in [0, 1e-300).
    FakeControls w = remainderWindow("1e300", "1e-300");
    EXPECT_EQ(messageOf([&] { divideWithRemainder(w, kComma); }), "Floating point overflow");
    ASSERT_EQ(w.log.size(), 1u);
    const numtext::extended r = numtext::StrToFloat(w.text("LabeledEdit10"), kComma);
    EXPECT_TRUE(r >= ld(0.0L) && r < ld(1e-300L)) << w.log[0];
}

TEST(Remainder, BadInputFailsBeforeAnythingIsWritten) {
    const std::string huge(1 << 20, '1');
    struct Case {
        std::string x, y, message;
    };
    for (const Case& c :
         {Case{"abc", "4", notAFloat("abc")}, Case{"3", "", notAFloat("")},
          Case{"3", "4.0", notAFloat("4.0")}, Case{"3", huge, notAFloat(huge)},
          // x is stored before y is read, so its overflow comes first.
          Case{"1e400", "abc", "Floating point overflow"}, Case{"3", "-1e400", "Floating point overflow"}}) {
        FakeControls w = remainderWindow(c.x, c.y);
        EXPECT_EQ(messageOf([&] { divideWithRemainder(w, kComma); }), c.message);
        EXPECT_TRUE(w.log.empty()) << c.x << " " << c.y.substr(0, 10);
    }
}

TEST(Remainder, AFlagRaisedBeforeTheRunIsNotReported) {
    volatile double junk = 1.0 / gZero; // leaves the division-by-zero flag raised
    (void)junk;
    ASSERT_NE(std::fetestexcept(FE_DIVBYZERO), 0);
    FakeControls w = remainderWindow("3", "4");
    EXPECT_NO_THROW(divideWithRemainder(w, kComma));
    EXPECT_EQ(w.text("LabeledEdit11"), "0");
}

TEST(PiConstants, ShowFifteenDigitsInTheLocale) {
    for (const auto& [fs, pi] : {std::pair{&kComma, std::string("3,14159265358979")},
                                 std::pair{&kStop, std::string("3.14159265358979")}}) {
        FakeControls w;
        showPiDeclarations(w, *fs);
        const std::vector<std::string> expected = {"setText LabeledEdit3=3", "setText LabeledEdit4=" + pi,
                                                   "setText LabeledEdit5=" + pi,
                                                   "setText LabeledEdit17=" + pi};
        EXPECT_EQ(w.log, expected);
    }
}

TEST(PiConstants, ExtendedHoldsTheWidenedDoubleNotTheNearestPi) {
    std::uint64_t doubleBits = 0;
    std::memcpy(&doubleBits, &kPiDouble, sizeof doubleBits);
    EXPECT_EQ(doubleBits, 0x400921FB54442D18u);

    EXPECT_EQ(kPiExtended.significand(), 0xC90FDAA22168C000u);
    EXPECT_EQ(kPiExtended.biasedExponent(), 0x4000);
    EXPECT_FALSE(kPiExtended.signBit());
}
