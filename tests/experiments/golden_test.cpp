// The golden table: every tab's computation on a fixed set of more than 20,000 inputs, with every
// text the tab shows (and a hash of every picture and chart), checked byte for byte against
// golden_texts.txt. The same table holds on every platform the program is built for, which is what
// the software extended type and the correctly rounded functions are there for.
//
// KESTROVA_WRITE_GOLDEN=1 writes the table anew instead of checking it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "experiments/bits.h"
#include "experiments/cardano.h"
#include "experiments/complex_product.h"
#include "experiments/curve.h"
#include "experiments/dib_pixels.h"
#include "experiments/easter.h"
#include "experiments/matrices.h"
#include "experiments/rounding.h"
#include "experiments/timing_loops.h"
#include "fake_controls.h"
#include "numtext/number_text.h"

using namespace experiments;

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

// FNV-1a over bytes: a picture's or a chart's fingerprint.
std::uint64_t fnv1a(const void* data, std::size_t size, std::uint64_t h = 0xCBF29CE484222325ULL) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ p[i]) * 0x100000001B3ULL;
    return h;
}

std::string hex(std::uint64_t v) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(v));
    return buffer;
}

// What a run showed: the window's record of writes, each series' points as a hash of their bits,
// the picture's hash, and the failure's message.
std::string shown(FakeControls& w, const std::function<void()>& run) {
    std::string failure;
    try {
        run();
    } catch (const numtext::Exception& e) {
        failure = "!" + e.Message();
    }
    std::string out;
    for (const std::string& entry : w.log)
        out += entry + "|";
    for (const auto& [name, points] : w.series) {
        std::uint64_t h = fnv1a(points.data(), points.size() * sizeof(FakeControls::Point));
        out += name + " " + std::to_string(points.size()) + " points " + hex(h) + "|";
    }
    if (w.picture.width() > 0) {
        const Picture& p = w.picture;
        out +=
            "picture " + hex(fnv1a(p.row(0), static_cast<std::size_t>(p.bytesPerRow() * p.height()))) + "|";
    }
    return out + failure;
}

using Table = std::vector<std::string>;

void add(Table& table, const std::string& name, const std::string& inputs, FakeControls& w,
         const std::function<void()>& run) {
    table.push_back(name + "\t" + inputs + "\t" + shown(w, run));
}

void cubicCases(Table& t, Numbers& n) {
    for (int i = 0; i < 8000; ++i) {
        FakeControls w;
        std::string inputs;
        for (int row = 0; row < 4; ++row) {
            // Small integers meet the exact cases (double roots, D = 0); number texts the rest.
            const std::string c = n.below(2) == 0 ? std::to_string(n.between(-30, 30)) : n.numberText();
            w.cells[{"Dane", {1, row}}] = c;
            inputs += c + " ";
        }
        w.indices["przypadekD"] = i < 3 ? i + 1 : 0;
        add(t, "cubic", inputs + std::to_string(w.indices["przypadekD"]), w, [&] { solveCubic(w, kComma); });
    }
}

void productCases(Table& t, Numbers& n) {
    ComplexProduct product;
    for (int i = 0; i < 3000; ++i) {
        FakeControls w;
        std::string inputs;
        for (const char* field : {"Edit6", "Edit7", "Edit8", "Edit9"}) {
            w.texts[field] = n.numberText();
            inputs += w.texts[field] + " ";
        }
        add(t, "product", inputs, w, [&] { product.multiply(w, kComma); });
    }
}

void roundingCases(Table& t, Numbers& n) {
    for (int i = 0; i < 2000; ++i) {
        FakeControls w;
        w.indices["ComboBox1"] = 0;
        w.texts["ComboBox1"] = n.numberText();
        add(t, "rounding", w.texts["ComboBox1"], w, [&] { roundChosenNumber(w, kComma); });
    }
    for (int i = 0; i < 2000; ++i) {
        FakeControls w;
        w.texts["LabeledEdit8"] = n.numberText();
        w.texts["LabeledEdit9"] = n.below(20) == 0 ? "0" : n.numberText();
        add(t, "remainder", w.texts["LabeledEdit8"] + " " + w.texts["LabeledEdit9"], w,
            [&] { divideWithRemainder(w, kComma); });
    }
    FakeControls pi;
    add(t, "pi", "", pi, [&] { showPiDeclarations(pi, kComma); });
    FakeControls arrays;
    add(t, "arrays", "", arrays, [&] { fillArraysAndMatrix(arrays, kComma); });
}

void countCases(Table& t, Numbers& n) {
    for (int i = 0; i < 1500; ++i) {
        FakeControls w;
        w.texts["CB2"] = n.below(2) == 0 ? "1e+" + std::to_string(n.between(0, 4931)) : n.numberText();
        add(t, "count", w.texts["CB2"], w, [&] { convertCount(w, kComma); });
    }
}

void bitsCases(Table& t, Numbers& n) {
    for (int i = 0; i < 1000; ++i) {
        FakeControls w;
        w.texts["LabeledEdit18"] = std::to_string(static_cast<std::int32_t>(n.next()) >> n.below(32));
        add(t, "bits", w.texts["LabeledEdit18"], w, [&] { harmonicSumAndBits(w, kComma); });
    }
}

void easterCases(Table& t, Numbers& n) {
    for (int i = 0; i < 500; ++i) {
        FakeControls w;
        w.spinLimits["CSpinEdit1"] = {1000, 2200};
        w.spinLimits["rok1"] = {0, 5555};
        w.spinLimits["rok2"] = {0, 5555};
        w.texts["CSpinEdit1"] = std::to_string(n.between(1000, 2200));
        const int first = n.between(0, 5555);
        w.texts["rok1"] = std::to_string(first);
        w.texts["rok2"] = std::to_string(std::min(5555, first + n.below(60)));
        add(t, "easter", w.texts["CSpinEdit1"] + " " + w.texts["rok1"] + " " + w.texts["rok2"], w,
            [&] { showEaster(w, kComma); });
    }
}

// The number texts on their own, in every format, for values of every magnitude.
void numberTextCases(Table& t, Numbers& n) {
    using numtext::TFloatFormat;
    for (int i = 0; i < 2000; ++i) {
        const std::string text = n.numberText();
        FakeControls w;
        add(t, "texts", text, w, [&] {
            const numtext::extended x = numtext::StrToFloat(text, kComma);
            const double d = numtext::toDouble(x);
            for (TFloatFormat f : {TFloatFormat::ffGeneral, TFloatFormat::ffExponent, TFloatFormat::ffFixed,
                                   TFloatFormat::ffNumber})
                w.log.push_back(numtext::FloatToStrF(x, f, 18, 2, kComma) + " " +
                                numtext::FloatToStrF(d, f, 15, 3, kComma));
            w.log.push_back(numtext::FloatToStr(x, kComma) + " " + numtext::TimeToStr(d, kComma));
        });
    }
}

void curveCases(Table& t) {
    FakeControls w;
    add(t, "curve", "", w, [&] { traceCurveAndLoops(w, kComma); });
}

void bitmapCases(Table& t, Numbers& n) {
    for (int i = 0; i < 40; ++i) {
        FakeControls w;
        w.positions["RedMax"] = n.below(256);
        w.positions["GreenMax"] = n.below(256);
        w.positions["BlueMax"] = n.below(256);
        add(t, "bitmap",
            std::to_string(w.positions["RedMax"]) + " " + std::to_string(w.positions["GreenMax"]) + " " +
                std::to_string(w.positions["BlueMax"]),
            w, [&] { drawRamp(w, kComma); });
    }
    // Two-colour mixes, which the tab never asks for but the mixing defines.
    for (int i = 0; i < 1000; ++i) {
        std::int32_t c[6];
        for (std::int32_t& v : c)
            v = n.below(256);
        const double position = static_cast<double>(n.below(4097)) / 4096.0;
        const double x = position - (n.below(8) == 0 ? 0.5 : 0.0);
        Pixel24 pixel;
        MixPixel(pixel, c[0], c[1], c[2], c[3], c[4], c[5], x);
        std::string inputs;
        for (std::int32_t v : c)
            inputs += std::to_string(v) + " ";
        FakeControls w;
        add(t, "mix", inputs + numtext::FloatToStr(x, kComma), w, [&] {
            w.log.push_back(std::to_string(pixel.red) + " " + std::to_string(pixel.green) + " " +
                            std::to_string(pixel.blue));
        });
    }
}

Table goldenTable() {
    Table t;
    Numbers n(20261209);
    cubicCases(t, n);
    productCases(t, n);
    roundingCases(t, n);
    countCases(t, n);
    bitsCases(t, n);
    easterCases(t, n);
    numberTextCases(t, n);
    curveCases(t);
    bitmapCases(t, n);
    return t;
}

} // namespace

TEST(GoldenTable, EveryTabShowsTheRecordedTexts) {
    const Table table = goldenTable();
    ASSERT_GE(table.size(), 20000u);
    if (const char* write = std::getenv("KESTROVA_WRITE_GOLDEN"); write != nullptr && *write == '1') {
        std::ofstream out(KESTROVA_GOLDEN_FILE, std::ios::binary);
        for (const std::string& line : table)
            out << line << '\n';
        ASSERT_TRUE(out.good()) << "could not write " << KESTROVA_GOLDEN_FILE;
        GTEST_SKIP() << "wrote " << table.size() << " cases to " << KESTROVA_GOLDEN_FILE;
    }
    std::ifstream in(KESTROVA_GOLDEN_FILE, std::ios::binary);
    ASSERT_TRUE(in.good()) << "cannot read " << KESTROVA_GOLDEN_FILE;
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
    EXPECT_EQ(differing, 0) << "cases that differ from the table";
}
