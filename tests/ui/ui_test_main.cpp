#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "ui/TApplication.h"

namespace {

// The application object lives for the whole run; creating it in SetUp keeps `--gtest_list_tests`
// free of any display connection.
class ApplicationEnvironment : public ::testing::Environment {
public:
    ApplicationEnvironment(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

    void SetUp() override {
        m_app = std::make_unique<TApplication>(m_argc, m_argv);
        // A test that does not expect an exception must not block on a message box.
        TApplication::setExceptionDisplay([](const std::string& message, const std::string&) {
            ADD_FAILURE() << "unexpected exception display: " << message;
        });
    }
    void TearDown() override { m_app.reset(); }

private:
    int& m_argc;
    char** m_argv;
    std::unique_ptr<TApplication> m_app;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    static int qtArgc = argc;
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment(qtArgc, argv));
    return RUN_ALL_TESTS();
}
