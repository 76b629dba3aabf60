#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "experiments/matrices.h"
#include "fake_controls.h"

using namespace experiments;
using numtext::FormatSettings;

namespace {

// A window whose one write throws, to show which failures the run recovers from.
class FailingWindow : public FakeControls {
public:
    std::string failingWrite;

    void setText(std::string_view c, const std::string& t) override {
        if ("setText " + std::string(c) + "=" + t == failingWrite)
            throw std::out_of_range("control");
        FakeControls::setText(c, t);
    }
};

std::vector<std::string> expectedRun(const std::string& separator) {
    return {"setText LabeledEdit19=0" + separator + "1234567",
            "setText Edit1=10",
            "setText Edit2=5",
            "setText Edit3=11",
            "setText Edit3=False",
            "setText Edit4=1" + separator + "7654321",
            "setColor Edit1",
            "setText Edit1= Przekroczenie rozmiaru tablicy ! ",
            "setText Edit5=22" + separator + "11"};
}

} // namespace

TEST(Matrices, WritesSizesElementsAndTheOutOfRangeMessageInOrder) {
    FakeControls w;
    fillArraysAndMatrix(w, FormatSettings::comma());
    EXPECT_EQ(w.log, expectedRun(","));
    EXPECT_EQ(w.colors["Edit1"], (Rgb{255, 255, 0}));
    EXPECT_EQ(w.text("Edit1").size(), 34u);

    // A second run writes exactly the same again.
    fillArraysAndMatrix(w, FormatSettings::comma());
    EXPECT_EQ(std::vector<std::string>(w.log.begin() + 9, w.log.end()), expectedRun(","));
}

TEST(Matrices, RealsFollowTheLocale) {
    FakeControls w;
    fillArraysAndMatrix(w, FormatSettings::fullStop());
    EXPECT_EQ(w.log, expectedRun("."));
}

TEST(Matrices, OnlyTheStorePastTheEndIsRecovered) {
    // The same error type thrown by a control is not the run's to catch: the run ends there.
    const std::vector<std::string> all = expectedRun(",");
    for (const std::ptrdiff_t failing : {4, 5, 8}) {
        FailingWindow w;
        w.failingWrite = all[static_cast<std::size_t>(failing)];
        EXPECT_THROW(fillArraysAndMatrix(w, FormatSettings::comma()), std::out_of_range) << w.failingWrite;
        EXPECT_EQ(w.log, std::vector<std::string>(all.begin(), all.begin() + failing));
    }
}
