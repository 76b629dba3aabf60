#include <gtest/gtest.h>

#include "app_test_support.h"
#include "numtext/rtl_math.h"
#include "ui/TApplication.h"

std::vector<ShownError>& shownErrors() {
    static std::vector<ShownError> shown;
    return shown;
}

std::vector<std::string>& shownMathErrors() {
    static std::vector<std::string> shown;
    return shown;
}

void FormTest::SetUp() {
    shownErrors().clear();
    shownMathErrors().clear();
    Form1 = new TForm1();
    Form2 = new TForm2();
}

void FormTest::TearDown() {
    delete Form2;
    Form2 = nullptr;
    delete Form1;
    Form1 = nullptr;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The build lists the tests without a display; only running them needs the application.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    TApplication application(argc, argv);
    // No test may wait on a message box: the display records what it would have shown.
    TApplication::setExceptionDisplay([](const std::string& message, const std::string& title) {
        shownErrors().push_back({message, title});
    });
    numtext::setMathErrorDisplay([](const std::string& text) { shownMathErrors().push_back(text); });
    return RUN_ALL_TESTS();
}
