#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "experiments/bits.h"
#include "fake_controls.h"

using namespace experiments;
using numtext::FormatSettings;

namespace {

const std::vector<std::string> kInitialMemo = {"metoda I ( & = and)", "", "oraz ", "",
                                               "metoda II (^ = xor):"};

// The tab as the form starts it, with the number typed; reads of "Edit14" are logged too.
class Window : public FakeControls {
public:
    explicit Window(const std::string& typed) {
        texts["Edit10"] = "wynik dzialania funkcji zdefiniowanej w Unit_Funkcje";
        texts["LabeledEdit18"] = typed;
        texts["Edit14"] = "metoda I ( & = and)";
        memos["Memo3"] = kInitialMemo;
    }
    std::string text(std::string_view c) override {
        const std::string t = FakeControls::text(c);
        if (c == "Edit14")
            log.push_back("read Edit14=" + t);
        return t;
    }
};

} // namespace

TEST(Bits, ReportsTheLowest16BitsOfTheTypedNumber) {
    Window w("271");
    harmonicSumAndBits(w, FormatSettings::comma());
    EXPECT_EQ(w.text("Edit10"), "1,5");
    EXPECT_EQ(w.text("Edit14"), "0000000100001111");
    EXPECT_EQ(w.memos["Memo3"], (std::vector<std::string>{" liczba ukryta = 271",
                                                          " liczba bitow = 16",
                                                          "1",
                                                          "1",
                                                          "1",
                                                          "1",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          "1",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          "0",
                                                          " liczba odtworzona metoda I = 271",
                                                          " liczba odtworzona metoda II = 271"}));
}

TEST(Bits, BothMethodsFindTheSameBitsForEdgeValues) {
    struct Row {
        const char* typed;
        const char* shown; // the value in the first memo line
        const char* digits;
        const char* rebuilt;
    };
    for (const Row& row :
         {Row{"0", "0", "0000000000000000", "0"}, Row{"65535", "65535", "1111111111111111", "65535"},
          Row{"70000", "70000", "0001000101110000", "4464"}, Row{"-1", "-1", "1111111111111111", "65535"},
          Row{"-2147483648", "-2147483648", "0000000000000000", "0"},
          Row{"2147483647", "2147483647", "1111111111111111", "65535"},
          Row{"$10F", "271", "0000000100001111", "271"},
          Row{"  +32768", "32768", "1000000000000000", "32768"}}) {
        Window w(row.typed);
        harmonicSumAndBits(w, FormatSettings::comma());
        EXPECT_EQ(w.text("Edit14"), row.digits) << row.typed;
        const std::vector<std::string>& memo = w.memos["Memo3"];
        ASSERT_EQ(memo.size(), 20u) << row.typed;
        EXPECT_EQ(memo[0], std::string(" liczba ukryta = ") + row.shown);
        EXPECT_EQ(memo[1], " liczba bitow = 16");
        // The memo lists the bits lowest first: the digits read backwards.
        const std::string digits = row.digits;
        for (std::size_t i = 0; i < 16; ++i)
            EXPECT_EQ(memo[2 + i], std::string(1, digits[15 - i])) << row.typed << " bit " << i;
        EXPECT_EQ(memo[18], std::string(" liczba odtworzona metoda I = ") + row.rebuilt);
        EXPECT_EQ(memo[19], std::string(" liczba odtworzona metoda II = ") + row.rebuilt);
    }
}

TEST(Bits, EachDigitGoesInFrontOfWhatTheEditHolds) {
    Window w("271");
    harmonicSumAndBits(w, FormatSettings::comma());
    std::vector<std::string> edit14;
    for (const std::string& entry : w.log)
        if (entry.find(" Edit14=") != std::string::npos)
            edit14.push_back(entry);
    // Cleared once, then every step reads the edit back and writes one digit more in front.
    ASSERT_EQ(edit14.size(), 33u);
    EXPECT_EQ(edit14[0], "setText Edit14=");
    const std::string bitsLowestFirst = "1111000010000000";
    for (std::size_t step = 0; step < 16; ++step) {
        const std::string& read = edit14[1 + 2 * step];
        ASSERT_EQ(read.rfind("read Edit14=", 0), 0u) << step;
        EXPECT_EQ(edit14[2 + 2 * step],
                  "setText Edit14=" + std::string(1, bitsLowestFirst[step]) + read.substr(12))
            << step;
    }
}

TEST(Bits, ARejectedNumberLeavesOnlyTheHarmonicSum) {
    const std::vector<std::string> rejected = {"abc", "", "2147483648", "1,5", "0x", std::string("1\0", 2)};
    for (const std::string& typed : rejected) {
        Window w(typed);
        try {
            harmonicSumAndBits(w, FormatSettings::comma());
            ADD_FAILURE() << typed << " was accepted";
        } catch (const numtext::EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + typed + "' is not a valid integer value");
        }
        EXPECT_EQ(w.log, std::vector<std::string>{"setText Edit10=1,5"}) << typed;
        EXPECT_EQ(w.text("Edit14"), "metoda I ( & = and)");
        EXPECT_EQ(w.memos["Memo3"], kInitialMemo);
    }
}

TEST(Bits, HarmonicSumFollowsTheLocale) {
    Window w("1");
    harmonicSumAndBits(w, FormatSettings::fullStop());
    EXPECT_EQ(w.text("Edit10"), "1.5");
}
