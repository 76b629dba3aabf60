// The software extended type against the x87's own long double, on the same operands.
// Run: build/release/bench/bench_extended. Each operation prints its ratio at the end.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "numtext/extended.h"
#include "ratio_reporter.h"

namespace {

using numtext::Extended;

constexpr std::size_t kCount = 4096; // a power of two: the index wraps with a mask

// Values of the kind the experiments compute with: moderate magnitudes of both signs, a few large
// and small ones, all normal (denormals and NaNs are slow on the x87 too and rare in use).
struct Operands {
    std::vector<Extended> a;
    std::vector<Extended> b;
    std::vector<long double> ha;
    std::vector<long double> hb;
};

long double toHardware(Extended x) {
    long double h = 0;
    const std::uint64_t m = x.significand();
    const auto se = static_cast<std::uint16_t>((x.signBit() ? 0x8000u : 0u) | x.biasedExponent());
    std::memcpy(&h, &m, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&h) + 8, &se, 2);
    return h;
}

Operands makeOperands() {
    std::mt19937_64 gen(42);
    std::uniform_int_distribution<int> near(-40, 40);
    std::uniform_int_distribution<int> wide(-3000, 3000);
    Operands o;
    for (std::size_t i = 0; i < 2 * kCount; ++i) {
        const int e = (i % 16 == 0) ? wide(gen) : near(gen);
        const Extended x = Extended::fromFields(
            (gen() & 1) != 0, static_cast<std::uint16_t>(Extended::kBias + e), gen() | Extended::kIntegerBit);
        (i < kCount ? o.a : o.b).push_back(x);
        (i < kCount ? o.ha : o.hb).push_back(toHardware(x));
    }
    return o;
}

const Operands& operands() {
    static const Operands o = makeOperands();
    return o;
}

template <class Op>
void softBinary(benchmark::State& state, Op op) {
    const Operands& o = operands();
    std::size_t i = 0;
    for (auto _ : state) {
        Extended r = op(o.a[i], o.b[i]);
        benchmark::DoNotOptimize(r);
        i = (i + 1) & (kCount - 1);
    }
}

template <class Op>
void hardBinary(benchmark::State& state, Op op) {
    const Operands& o = operands();
    std::size_t i = 0;
    for (auto _ : state) {
        long double r = op(o.ha[i], o.hb[i]);
        benchmark::DoNotOptimize(r);
        i = (i + 1) & (kCount - 1);
    }
}

void BM_ExtendedAdd(benchmark::State& s) {
    softBinary(s, [](Extended a, Extended b) { return a + b; });
}
void BM_X87Add(benchmark::State& s) {
    hardBinary(s, [](long double a, long double b) { return a + b; });
}
void BM_ExtendedSub(benchmark::State& s) {
    softBinary(s, [](Extended a, Extended b) { return a - b; });
}
void BM_X87Sub(benchmark::State& s) {
    hardBinary(s, [](long double a, long double b) { return a - b; });
}
void BM_ExtendedMul(benchmark::State& s) {
    softBinary(s, [](Extended a, Extended b) { return a * b; });
}
void BM_X87Mul(benchmark::State& s) {
    hardBinary(s, [](long double a, long double b) { return a * b; });
}
void BM_ExtendedDiv(benchmark::State& s) {
    softBinary(s, [](Extended a, Extended b) { return a / b; });
}
void BM_X87Div(benchmark::State& s) {
    hardBinary(s, [](long double a, long double b) { return a / b; });
}

void BM_ExtendedSqrt(benchmark::State& s) {
    softBinary(s, [](Extended a, Extended) { return sqrt(fabs(a)); });
}

void BM_X87Sqrt(benchmark::State& s) {
    // fsqrt itself: std::sqrt adds a check and a libm call for negative operands.
    hardBinary(s, [](long double a, long double) {
        long double r = a < 0 ? -a : a;
        asm("fsqrt" : "+t"(r));
        return r;
    });
}

void BM_ExtendedToDouble(benchmark::State& state) {
    const Operands& o = operands();
    std::size_t i = 0;
    for (auto _ : state) {
        double d = o.a[i].toDouble();
        benchmark::DoNotOptimize(d);
        i = (i + 1) & (kCount - 1);
    }
}

void BM_X87ToDouble(benchmark::State& state) {
    const Operands& o = operands();
    std::size_t i = 0;
    for (auto _ : state) {
        double d = static_cast<double>(o.ha[i]);
        benchmark::DoNotOptimize(d);
        i = (i + 1) & (kCount - 1);
    }
}

BENCHMARK(BM_ExtendedAdd);
BENCHMARK(BM_X87Add);
BENCHMARK(BM_ExtendedSub);
BENCHMARK(BM_X87Sub);
BENCHMARK(BM_ExtendedMul);
BENCHMARK(BM_X87Mul);
BENCHMARK(BM_ExtendedDiv);
BENCHMARK(BM_X87Div);
BENCHMARK(BM_ExtendedSqrt);
BENCHMARK(BM_X87Sqrt);
BENCHMARK(BM_ExtendedToDouble);
BENCHMARK(BM_X87ToDouble);

// The ratios use CPU time: the machine is shared, and wall time counts the other builds' slices too.
void printRatios(const RatioReporter& r) {
    for (const std::string op : {"Add", "Sub", "Mul", "Div", "Sqrt", "ToDouble"})
        r.printRatio(op + " software / x87", "BM_Extended" + op, "BM_X87" + op,
                     op == "Sqrt" ? "" : "(target <= 3.00)");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Time::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
