// The golden table: every tab's computation on fixed inputs, more than 20,000 cases in all, with
// every text the tab shows (and a hash of every picture and chart), checked byte for byte against the
// tab's own file, golden/<tab>.txt. The same tables hold on every platform the program is built for,
// which is what the software extended type and the correctly rounded functions are there for.
//
// Each tab draws its inputs from a stream of its own, seeded with the FNV-1a hash of the tab's file
// name, so that cases added to one tab leave every other tab's inputs, rows and file as they are.
// A row follows from its recorded inputs alone (golden_rows.h).
//
// KESTROVA_WRITE_GOLDEN=1 writes the tables anew instead of checking them: every tab's, or those of
// the tests a --gtest_filter selects.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "golden_rows.h"
#include "numtext/number_text.h"

namespace {

const numtext::FormatSettings kComma = numtext::FormatSettings::comma();

// A fixed sequence of pseudo-random numbers (SplitMix64), the same everywhere.
class Numbers {
public:
    explicit Numbers(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }

    // A number text as a user types it: an integer, a decimal fraction, or a number with an
    // exponent, of either sign.
    std::string numberText() {
        std::string t = below(3) == 0 ? "-" : "";
        t += std::to_string(below(1000));
        switch (below(4)) {
        case 0:
            break;
        case 1:
            t += "," + std::to_string(below(100000));
            break;
        case 2: {
            // Drawn in turn: the operands of one + are evaluated in no fixed order.
            const std::string fraction = std::to_string(below(1000));
            t += "," + fraction + "e" + std::to_string(between(-30, 30));
            break;
        }
        default:
            t += "e" + std::to_string(between(-320, 320));
            break;
        }
        return t;
    }

private:
    std::uint64_t m_state;
};

// A tab's rows, in the order drawn.
using Table = std::vector<std::string>;

// Words joined by spaces: a case's inputs as its row records them.
std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

void add(Table& t, std::string_view kind, const std::vector<std::string>& inputs) {
    t.push_back(golden::row(kind, joined(inputs)));
}

void cubicCases(Table& t, Numbers& n) {
    for (int i = 0; i < 8000; ++i) {
        std::vector<std::string> inputs;
        // Small integers meet the exact cases (double roots, D = 0); number texts the rest.
        for (int row = 0; row < 4; ++row)
            inputs.push_back(n.below(2) == 0 ? std::to_string(n.between(-30, 30)) : n.numberText());
        inputs.push_back(std::to_string(i < 3 ? i + 1 : 0));
        add(t, "cubic", inputs);
    }
}

void productCases(Table& t, Numbers& n) {
    for (int i = 0; i < 3000; ++i) {
        std::vector<std::string> inputs;
        for (int k = 0; k < 4; ++k)
            inputs.push_back(n.numberText());
        add(t, "product", inputs);
    }
}

// The rounding tab's four actions: the chosen number rounded, the division with remainder, and the
// two buttons that read nothing.
void roundingCases(Table& t, Numbers& n) {
    for (int i = 0; i < 2000; ++i)
        add(t, "rounding", {n.numberText()});
    for (int i = 0; i < 2000; ++i) {
        const std::string dividend = n.numberText();
        add(t, "remainder", {dividend, n.below(20) == 0 ? "0" : n.numberText()});
    }
    add(t, "pi", {});
    add(t, "arrays", {});
}

void countCases(Table& t, Numbers& n) {
    for (int i = 0; i < 1500; ++i)
        add(t, "count", {n.below(2) == 0 ? "1e+" + std::to_string(n.between(0, 4931)) : n.numberText()});
}

void bitsCases(Table& t, Numbers& n) {
    for (int i = 0; i < 1000; ++i) {
        const auto bits = static_cast<std::int32_t>(n.next());
        add(t, "bits", {std::to_string(bits >> n.below(32))});
    }
}

void easterCases(Table& t, Numbers& n) {
    for (int i = 0; i < 500; ++i) {
        const int year = n.between(1000, 2200);
        const int first = n.between(0, 5555);
        add(t, "easter",
            {std::to_string(year), std::to_string(first),
             std::to_string(std::min(5555, first + n.below(60)))});
    }
}

// The number texts on their own, in every format, for values of every magnitude.
void numberTextCases(Table& t, Numbers& n) {
    for (int i = 0; i < 2000; ++i)
        add(t, "texts", {n.numberText()});
}

void curveCases(Table& t, Numbers&) { add(t, "curve", {}); }

// The ramp for the track bars' positions, then the mixing of two colours on its own.
void bitmapCases(Table& t, Numbers& n) {
    for (int i = 0; i < 40; ++i) {
        std::vector<std::string> inputs;
        for (int k = 0; k < 3; ++k)
            inputs.push_back(std::to_string(n.below(256)));
        add(t, "bitmap", inputs);
    }
    for (int i = 0; i < 1000; ++i) {
        std::vector<std::string> inputs;
        for (int k = 0; k < 6; ++k)
            inputs.push_back(std::to_string(n.below(256)));
        const double position = static_cast<double>(n.below(4097)) / 4096.0;
        inputs.push_back(numtext::FloatToStr(position - (n.below(8) == 0 ? 0.5 : 0.0), kComma));
        add(t, "mix", inputs);
    }
}

// Checks a tab's cases, drawn by `draw`, against golden/<tab>.txt, or writes that file anew.
void expectRecorded(const std::string& tab, void (*draw)(Table&, Numbers&)) {
    Numbers n(golden::fnv1a(tab.data(), tab.size()));
    Table table;
    draw(table, n);
    const std::string file = KESTROVA_GOLDEN_DIR "/" + tab + ".txt";
    if (const char* write = std::getenv("KESTROVA_WRITE_GOLDEN"); write != nullptr && *write == '1') {
        std::ofstream out(file, std::ios::binary);
        for (const std::string& line : table)
            out << line << '\n';
        ASSERT_TRUE(out.good()) << "could not write " << file;
        GTEST_SKIP() << "wrote " << table.size() << " cases to " << file;
    }
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in.good()) << "cannot read " << file;
    std::vector<std::string> recorded;
    for (std::string line; std::getline(in, line);)
        recorded.push_back(line);
    ASSERT_EQ(recorded.size(), table.size());
    int differing = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == recorded[i])
            continue;
        if (++differing <= 10)
            ADD_FAILURE() << "case " << i + 1 << "\n  recorded: " << recorded[i]
                          << "\n  now:      " << table[i];
    }
    EXPECT_EQ(differing, 0) << "cases that differ from " << file;
}

} // namespace

// A test per tab, each against its own file.
TEST(GoldenTable, Cubic) { expectRecorded("cubic", cubicCases); }
TEST(GoldenTable, Product) { expectRecorded("product", productCases); }
TEST(GoldenTable, Rounding) { expectRecorded("rounding", roundingCases); }
TEST(GoldenTable, Count) { expectRecorded("count", countCases); }
TEST(GoldenTable, Bits) { expectRecorded("bits", bitsCases); }
TEST(GoldenTable, Easter) { expectRecorded("easter", easterCases); }
TEST(GoldenTable, NumberTexts) { expectRecorded("number_texts", numberTextCases); }
TEST(GoldenTable, Curve) { expectRecorded("curve", curveCases); }
TEST(GoldenTable, Bitmap) { expectRecorded("bitmap", bitmapCases); }
