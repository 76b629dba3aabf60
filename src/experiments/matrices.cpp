#include "experiments/matrices.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "numtext/number_text.h"

namespace experiments {

namespace {

std::string sizeText(std::size_t size) { return numtext::IntToStr(static_cast<std::int64_t>(size)); }

} // namespace

void fillArraysAndMatrix(Controls& w, const numtext::FormatSettings& fs) {
    double value = 0.1234567;
    const double* pointer = &value;
    w.setText("LabeledEdit19", numtext::FloatToStr(*pointer, fs));

    const std::vector<double> empty;

    std::vector<double> a(10, 7.1);
    w.setText("Edit1", sizeText(a.size()));

    a.erase(a.begin() + 3, a.begin() + 8);
    w.setText("Edit2", sizeText(a.size()));

    a.insert(a.begin() + 3, 6, 1.5);
    w.setText("Edit3", sizeText(a.size()));

    w.setText("Edit3", numtext::BoolToStr(empty.data() != nullptr, true));

    const std::vector<double> b(15, 1.7654321);
    // The copy is the step shown. NOLINTNEXTLINE(performance-unnecessary-copy-initialization)
    const std::vector<double> c = b;
    w.setText("Edit4", numtext::FloatToStr(c[3], fs));

    try {
        a.at(222) = 3.0;
    } catch (const std::out_of_range&) {
        w.setColor("Edit1", kYellow);
        w.setText("Edit1", kOutOfRangeMessage);
    }

    std::vector<std::vector<double>> matrix(3, std::vector<double>(5, 0.0));
    matrix[1].push_back(22.11);
    w.setText("Edit5", numtext::FloatToStr(matrix.at(1).at(5), fs));
}

} // namespace experiments
