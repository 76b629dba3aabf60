// The product tab end to end: four texts in, two texts out, or a message and nothing changed.

#include <QCoreApplication>
#include <QEvent>

#include <string>

#include "app_test_support.h"
#include "ui/TApplication.h"

namespace {

class ComplexProduct : public FormTest {
protected:
    // Types the four factors, presses "Click", and returns the two result texts.
    std::pair<std::string, std::string> multiply(const std::string& re1, const std::string& im1,
                                                 const std::string& re2, const std::string& im2) {
        find<TEdit>("Edit6")->setAnsiText(re1);
        find<TEdit>("Edit7")->setAnsiText(im1);
        find<TEdit>("Edit8")->setAnsiText(re2);
        find<TEdit>("Edit9")->setAnsiText(im2);
        find<TBitBtn>("BitBtn3")->click();
        return results();
    }
    std::pair<std::string, std::string> results() const {
        return {find<TLabeledEdit>("LabeledEdit12")->ansiText(),
                find<TLabeledEdit>("LabeledEdit13")->ansiText()};
    }
    // The one message shown since the fixture started, or "" when there is not exactly one.
    std::string onlyMessage() const { return shownErrors().size() == 1 ? shownErrors().front().message : ""; }
};

using Results = std::pair<std::string, std::string>;

} // namespace

// The suite runs under a Polish locale and again under an English one: the separator comes from
// the system's locale, not from a default.
TEST(SystemLocale, DecidesTheDecimalSeparator) {
    const QByteArray locale = qgetenv("LC_ALL");
    if (locale.startsWith("pl_"))
        EXPECT_EQ(TApplication::formatSettings().decimalSeparator, ",");
    else if (locale.startsWith("en_"))
        EXPECT_EQ(TApplication::formatSettings().decimalSeparator, ".");
    else
        GTEST_SKIP() << "runs under LC_ALL=pl_PL.UTF-8 or en_US.UTF-8";
}

TEST_F(ComplexProduct, MultipliesTheStartUpFactors) {
    find<TBitBtn>("BitBtn3")->click();
    EXPECT_EQ(results(), (Results{"-17", "7"}));
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(ComplexProduct, WritesEveryProductAfresh) {
    EXPECT_EQ(multiply("0", "1", "0", "1"), (Results{"-1", "0"}));
    EXPECT_EQ(multiply("1E-5", "0", "1E10", "0"), (Results{"100000", "0"}));
    EXPECT_EQ(multiply("-0", "0", "5", "0"), (Results{"0", "0"}));
}

TEST_F(ComplexProduct, ReportsAFactorThatIsNotANumber) {
    struct Row {
        const char* edit;
        std::string text;
        std::string message;
    };
    const Row rows[] = {
        {"Edit6", "2.0", "'2.0' is not a valid floating point value."},
        {"Edit9", "", "'' is not a valid floating point value."},
        {"Edit7", "3,0x", "'3,0x' is not a valid floating point value."},
        {"Edit8", "1,0,0", "'1,0,0' is not a valid floating point value."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        multiply("2,0", "3,0", "-1,0", "5,0");
        shownErrors().clear();
        find<TEdit>(row.edit)->setAnsiText(row.text);
        find<TBitBtn>("BitBtn3")->click();
        EXPECT_EQ(onlyMessage(), row.message);
    }
}

TEST_F(ComplexProduct, ReportsAnOverflow) {
    // The product's real part exceeds the double range.
    multiply("1E200", "0", "1E200", "0");
    EXPECT_EQ(onlyMessage(), "Floating point overflow.");

    // A factor that fits only the extended range overflows when it is stored.
    shownErrors().clear();
    multiply("1", "1E400", "1", "1");
    EXPECT_EQ(onlyMessage(), "Floating point overflow.");

    // Nothing of the failure lingers into the next click.
    shownErrors().clear();
    EXPECT_EQ(multiply("1E154", "0", "1E154", "0"), (Results{"1E308", "0"}));
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(ComplexProduct, TitlesTheMessageWithTheProgramsName) {
    find<TEdit>("Edit6")->setAnsiText("2.0");
    find<TBitBtn>("BitBtn3")->click();
    ASSERT_EQ(shownErrors().size(), 1u);
    EXPECT_EQ(shownErrors().front().title, TApplication::applicationTitle());
    EXPECT_EQ(shownErrors().front().title, "app_tests");
}

// The handler takes the number format as it is at the click, and the system's own format comes back
// when the system announces a change of its locale.
TEST_F(ComplexProduct, ReadsTheNumberFormatAtEveryClick) {
    const numtext::FormatSettings system = TApplication::formatSettings();
    struct Restore {
        numtext::FormatSettings settings;
        ~Restore() { TApplication::setFormatSettings(settings); }
    } restore{system};

    TApplication::setFormatSettings(numtext::FormatSettings::fullStop());
    EXPECT_EQ(multiply("2.5", "3", "-1", "5"), (Results{"-17.5", "9.5"}));

    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    EXPECT_EQ(TApplication::formatSettings().decimalSeparator, system.decimalSeparator);
    EXPECT_EQ(multiply("2,5", "3", "-1", "5"), (Results{"-17,5", "9,5"}));
    EXPECT_TRUE(shownErrors().empty());
}

// Run by itself under an English locale: the same window then reads numbers with a full stop.
class FullStopLocale : public ComplexProduct {
protected:
    void SetUp() override {
        if (TApplication::formatSettings().decimalSeparator != ".")
            GTEST_SKIP() << "needs an English locale (LC_ALL=en_US.UTF-8)";
        ComplexProduct::SetUp();
    }
};

TEST_F(FullStopLocale, ReadsAndWritesNumbersWithAFullStop) {
    EXPECT_EQ(multiply("2.5", "3.0", "-1.0", "5.0"), (Results{"-17.5", "9.5"}));
    EXPECT_EQ(multiply("1.0000000009313226", "1", "1.0000000009313226", "1"),
              (Results{"1.86264515009832E-9", "2.00000000186265"}));
}

TEST_F(FullStopLocale, RejectsTheCommaOfTheStartUpTexts) {
    find<TEdit>("Edit6")->setAnsiText("2,0");
    find<TBitBtn>("BitBtn3")->click();
    EXPECT_EQ(onlyMessage(), "'2,0' is not a valid floating point value.");
    EXPECT_EQ(results(), (Results{"", ""}));
}
