// The number texts against the C library doing comparable work, measured in the same run.
// Run: build/release/bench/bench_number_text. Each pair prints its ratio at the end.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "numtext/number_text.h"
#include "ratio_reporter.h"

namespace {

using namespace numtext;

const FormatSettings kStop = FormatSettings::fullStop();

// Doubles of the kind the experiments show: mostly moderate magnitudes, some extreme.
std::vector<double> sampleValues() {
    std::mt19937_64 gen(42);
    std::uniform_real_distribution<double> mant(1.0, 10.0);
    std::uniform_int_distribution<int> exp10(-20, 20);
    std::uniform_int_distribution<int> wide(-300, 300);
    std::vector<double> v;
    for (int i = 0; i < 4096; ++i) {
        const int e = (i % 10 == 0) ? wide(gen) : exp10(gen);
        const double x = mant(gen) * std::pow(10.0, e);
        v.push_back((i & 1) ? -x : x);
    }
    return v;
}

const std::vector<double>& values() {
    static const std::vector<double> v = sampleValues();
    return v;
}

// Doubles over the whole range, denormals included, as the golden table's number texts draw their
// exponents: the values whose digits need more than 128-bit integers.
const std::vector<double>& wideValues() {
    static const std::vector<double> v = [] {
        std::mt19937_64 gen(7);
        std::uniform_real_distribution<double> mant(1.0, 10.0);
        std::uniform_int_distribution<int> exp10(-320, 307);
        std::vector<double> out;
        for (int i = 0; i < 4096; ++i)
            out.push_back(mant(gen) * std::pow(10.0, exp10(gen)));
        return out;
    }();
    return v;
}

const std::vector<std::string>& texts() {
    static const std::vector<std::string> t = [] {
        std::vector<std::string> out;
        char buf[64];
        for (double x : values()) {
            std::snprintf(buf, sizeof buf, "%.15g", x);
            out.emplace_back(buf);
        }
        return out;
    }();
    return t;
}

void formatEach(benchmark::State& state, const std::vector<double>& v) {
    std::size_t i = 0;
    for (auto _ : state) {
        std::string s = FloatToStr(v[i++ & 4095], kStop);
        benchmark::DoNotOptimize(s);
    }
}

void printEach(benchmark::State& state, const std::vector<double>& v) {
    std::size_t i = 0;
    char buf[64];
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "%.15g", v[i++ & 4095]);
        std::string s(buf); // our text is a string too: make the work comparable
        benchmark::DoNotOptimize(s);
    }
}

void BM_FloatToStr(benchmark::State& state) { formatEach(state, values()); }
void BM_snprintf_15g(benchmark::State& state) { printEach(state, values()); }
void BM_FloatToStr_wide(benchmark::State& state) { formatEach(state, wideValues()); }
void BM_snprintf_15g_wide(benchmark::State& state) { printEach(state, wideValues()); }

void BM_StrToFloat(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        extended x = StrToFloat(texts()[i++ & 4095], kStop);
        benchmark::DoNotOptimize(x);
    }
}

void BM_strtod(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        double x = std::strtod(texts()[i++ & 4095].c_str(), nullptr);
        benchmark::DoNotOptimize(x);
    }
}

BENCHMARK(BM_FloatToStr);
BENCHMARK(BM_snprintf_15g);
BENCHMARK(BM_FloatToStr_wide);
BENCHMARK(BM_snprintf_15g_wide);
BENCHMARK(BM_StrToFloat);
BENCHMARK(BM_strtod);

void printRatios(const RatioReporter& r) {
    r.printRatio("FloatToStr / snprintf(%.15g)", "BM_FloatToStr", "BM_snprintf_15g", "(target <= 2.00)");
    r.printRatio("FloatToStr / snprintf(%.15g), whole range", "BM_FloatToStr_wide", "BM_snprintf_15g_wide",
                 "(target <= 2.00)");
    r.printRatio("StrToFloat / strtod", "BM_StrToFloat", "BM_strtod", "(target <= 2.00)");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Time::Wall);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
