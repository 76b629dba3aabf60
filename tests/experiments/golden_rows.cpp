#include "golden_rows.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <sstream>
#include <stdexcept>
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

namespace golden {
namespace {

const numtext::FormatSettings kComma = numtext::FormatSettings::comma();

using Words = std::vector<std::string>;

std::string hex(std::uint64_t v) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(v));
    return buffer;
}

// The third column: what the window showed after `run`, on a fresh window.
std::string shown(const std::function<void(FakeControls&)>& run) {
    FakeControls w;
    std::string failure;
    try {
        run(w);
    } catch (const numtext::Exception& e) {
        failure = "!" + e.Message();
    }
    std::string out;
    for (const std::string& entry : w.log)
        out += entry + "|";
    for (const auto& [name, points] : w.series) {
        const std::uint64_t h = fnv1a(points.data(), points.size() * sizeof(FakeControls::Point));
        out += name + " " + std::to_string(points.size()) + " points " + hex(h) + "|";
    }
    if (w.picture.width() > 0) {
        const Picture& p = w.picture;
        out +=
            "picture " + hex(fnv1a(p.row(0), static_cast<std::size_t>(p.bytesPerRow() * p.height()))) + "|";
    }
    return out + failure;
}

// Each kind of case: what its inputs are, how they reach the window, and what runs.
struct Kind {
    std::string_view name;
    void (*run)(const Words& in, FakeControls& w);
};

const Kind kKinds[] = {
    // The four coefficients' cells, then the preset (0 for none).
    {"cubic",
     [](const Words& in, FakeControls& w) {
         for (std::size_t r = 0; r < 4; ++r)
             w.cells[{"Dane", {1, static_cast<int>(r)}}] = in.at(r);
         w.indices["przypadekD"] = std::stoi(in.at(4));
         solveCubic(w, kComma);
     }},
    // Re and im of the first factor, then of the second. Each case presses a fresh tab: what the tab
    // remembers between presses is never shown.
    {"product",
     [](const Words& in, FakeControls& w) {
         for (std::size_t k = 0; k < 4; ++k)
             w.texts["Edit" + std::to_string(6 + k)] = in.at(k);
         ComplexProduct().multiply(w, kComma);
     }},
    // The number typed into the box.
    {"rounding",
     [](const Words& in, FakeControls& w) {
         w.indices["ComboBox1"] = 0;
         w.texts["ComboBox1"] = in.at(0);
         roundChosenNumber(w, kComma);
     }},
    // Dividend and divisor.
    {"remainder",
     [](const Words& in, FakeControls& w) {
         w.texts["LabeledEdit8"] = in.at(0);
         w.texts["LabeledEdit9"] = in.at(1);
         divideWithRemainder(w, kComma);
     }},
    {"pi", [](const Words&, FakeControls& w) { showPiDeclarations(w, kComma); }},
    {"arrays", [](const Words&, FakeControls& w) { fillArraysAndMatrix(w, kComma); }},
    // The count typed into the box.
    {"count",
     [](const Words& in, FakeControls& w) {
         w.texts["CB2"] = in.at(0);
         convertCount(w, kComma);
     }},
    // The integer typed.
    {"bits",
     [](const Words& in, FakeControls& w) {
         w.texts["LabeledEdit18"] = in.at(0);
         harmonicSumAndBits(w, kComma);
     }},
    // The year, then the first and the last year of the range.
    {"easter",
     [](const Words& in, FakeControls& w) {
         w.spinLimits["CSpinEdit1"] = {1000, 2200};
         w.spinLimits["rok1"] = {0, 5555};
         w.spinLimits["rok2"] = {0, 5555};
         w.texts["CSpinEdit1"] = in.at(0);
         w.texts["rok1"] = in.at(1);
         w.texts["rok2"] = in.at(2);
         showEaster(w, kComma);
     }},
    // A number text on its own, in every format, as extended and as double.
    {"texts",
     [](const Words& in, FakeControls& w) {
         using numtext::TFloatFormat;
         const numtext::extended x = numtext::StrToFloat(in.at(0), kComma);
         const double d = numtext::toDouble(x);
         for (TFloatFormat f : {TFloatFormat::ffGeneral, TFloatFormat::ffExponent, TFloatFormat::ffFixed,
                                TFloatFormat::ffNumber})
             w.log.push_back(numtext::FloatToStrF(x, f, 18, 2, kComma) + " " +
                             numtext::FloatToStrF(d, f, 15, 3, kComma));
         w.log.push_back(numtext::FloatToStr(x, kComma) + " " + numtext::TimeToStr(d, kComma));
     }},
    {"curve", [](const Words&, FakeControls& w) { traceCurveAndLoops(w, kComma); }},
    // The red, green and blue track bars' positions.
    {"bitmap",
     [](const Words& in, FakeControls& w) {
         w.positions["RedMax"] = std::stoi(in.at(0));
         w.positions["GreenMax"] = std::stoi(in.at(1));
         w.positions["BlueMax"] = std::stoi(in.at(2));
         drawRamp(w, kComma);
     }},
    // A two-colour mix, which the tab never asks for but the mixing defines: the six colour limits in
    // MixPixel's order, then the position (a multiple of 1/4096, so its text is exact).
    {"mix",
     [](const Words& in, FakeControls& w) {
         std::int32_t c[6];
         for (std::size_t k = 0; k < 6; ++k)
             c[k] = std::stoi(in.at(k));
         const double x = numtext::toDouble(numtext::StrToFloat(in.at(6), kComma));
         Pixel24 pixel;
         MixPixel(pixel, c[0], c[1], c[2], c[3], c[4], c[5], x);
         w.log.push_back(std::to_string(pixel.red) + " " + std::to_string(pixel.green) + " " +
                         std::to_string(pixel.blue));
     }},
};

} // namespace

std::uint64_t fnv1a(const void* data, std::size_t size) {
    std::uint64_t h = 0xCBF29CE484222325ULL;
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ p[i]) * 0x100000001B3ULL;
    return h;
}

std::string row(std::string_view kind, const std::string& inputs) {
    for (const Kind& k : kKinds) {
        if (k.name != kind)
            continue;
        Words words;
        std::istringstream in(inputs);
        for (std::string word; in >> word;)
            words.push_back(word);
        return std::string(kind) + "\t" + inputs + "\t" + shown([&](FakeControls& w) { k.run(words, w); });
    }
    throw std::invalid_argument("no kind of golden case called " + std::string(kind));
}

} // namespace golden
