// The timing tab's loops and the bitmap tab's pixels, each against a reference measured in the
// same run. Run: build/release/bench/bench_experiments. The ratios are printed after the table.
//
// Loops: a pass must cost at least one dependent division plus one multiplication kept in a
// register; a ratio below 1.0 would mean the compiler shortened, merged or dropped passes. Each
// loop runs as the timing button runs it: in pieces, asked between them whether to go on as the
// window asks, over enough passes to cross from piece to piece.
// Pixels: the whole 700 x 500 picture against the plain kernel (bench/dib_plain_kernel.cpp), with
// the kernel's double-precision twin and the floor of writing the picture's bytes with memset beside
// it. The run fails (exit status 1) when the reference is more than 3 times its twin: such a
// reference is slow by accident of the build or the machine and would make any ratio meaningless.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "dib_plain_kernel.h"
#include "experiments/dib_pixels.h"
#include "experiments/timing_loops.h"
#include "ratio_reporter.h"

namespace {

using namespace experiments;

constexpr std::int64_t kPasses = 4 * static_cast<std::int64_t>(kPassesPerPiece);

// What the window does between two pieces: note the progress, look at the stop flag.
std::atomic<double> progress = 0.0;
std::atomic<bool> stopRequested = false;
const KeepGoing kAsTheWindowAsks = [](double done) {
    progress.store(done, std::memory_order_relaxed);
    return !stopRequested.load(std::memory_order_relaxed);
};

double inPieces(const PieceLoop& loop) {
    return loopInPieces(loop, static_cast<double>(kPasses), kAsTheWindowAsks);
}

void perPass(benchmark::State& state) {
    state.counters["ns_per_pass"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kPasses),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LoopByReference(benchmark::State& state) {
    volatile double target = 12.3;
    const PieceLoop loop = [&target](double count, double from) {
        return loopByReference(target, count, from);
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(inPieces(loop));
    perPass(state);
}

void BM_LoopByValue(benchmark::State& state) {
    const PieceLoop loop = [](double count, double from) { return loopByValue(count, from); };
    for (auto _ : state)
        benchmark::DoNotOptimize(inPieces(loop));
    perPass(state);
}

void BM_LoopByAddress(benchmark::State& state) {
    volatile double target = 12.3;
    const PieceLoop loop = [&target](double count, double from) {
        return loopByAddress(&target, count, from);
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(inPieces(loop));
    perPass(state);
}

// The floor: the same division and multiplication on a value the compiler must keep in a register
// and must compute (the empty asm hides the value from the optimiser), one after the other.
void BM_DivMulLatency(benchmark::State& state) {
    for (auto _ : state) {
        double x = 12.3;
        for (std::int64_t i = 0; i < kPasses; ++i) {
            asm volatile("" : "+x"(x));
            x = x / x;
            asm volatile("" : "+x"(x));
            x = x * x;
        }
        benchmark::DoNotOptimize(x);
    }
    perPass(state);
}

struct Buffer {
    static constexpr int kStride = 3 * kDibWidth;
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kStride * kDibHeight);
    std::uint8_t* row(int i) { return bytes.data() + static_cast<std::ptrdiff_t>(i) * kStride; }
};

void BM_FillDib(benchmark::State& state) {
    Buffer buffer;
    for (auto _ : state) {
        fillDib(kDibWidth, kDibHeight, {128, 200, 255}, [&buffer](int i) { return buffer.row(i); });
        benchmark::ClobberMemory();
    }
}

void BM_PlainKernel(benchmark::State& state) {
    Buffer buffer;
    for (auto _ : state) {
        for (int i = 0; i < kDibHeight; ++i)
            plainKernelRow(buffer.row(i), kDibWidth, 128, 200, 255);
        benchmark::ClobberMemory();
    }
    // The plain kernel is the definition written out: it must make the same picture.
    Buffer ours;
    fillDib(kDibWidth, kDibHeight, {128, 200, 255}, [&ours](int i) { return ours.row(i); });
    if (ours.bytes != buffer.bytes)
        state.SkipWithError("fillDib and the plain kernel disagree");
}

void BM_PlainKernelInDouble(benchmark::State& state) {
    Buffer buffer;
    for (auto _ : state) {
        for (int i = 0; i < kDibHeight; ++i)
            plainKernelRowInDouble(buffer.row(i), kDibWidth, 128, 200, 255);
        benchmark::ClobberMemory();
    }
}

// Nothing can make the picture faster than writing its bytes.
void BM_MemsetFloor(benchmark::State& state) {
    Buffer buffer;
    int value = 0;
    for (auto _ : state) {
        std::memset(buffer.bytes.data(), ++value & 0xff, buffer.bytes.size());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_LoopByReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoopByValue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoopByAddress)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DivMulLatency)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillDib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainKernel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainKernelInDouble)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemsetFloor)->Unit(benchmark::kMillisecond);

// Returns false when the pixels' reference is not sound.
bool printRatios(const RatioReporter& r) {
    for (const std::string loop : {"BM_LoopByReference", "BM_LoopByValue", "BM_LoopByAddress"})
        r.printRatio(loop + " / BM_DivMulLatency", loop, "BM_DivMulLatency", "(target >= 1.00)");
    r.printRatio("BM_FillDib / BM_PlainKernel", "BM_FillDib", "BM_PlainKernel", "(target <= 0.60)");
    constexpr double kPixels = double(kDibWidth) * kDibHeight;
    for (const char* name : {"BM_PlainKernel", "BM_PlainKernelInDouble", "BM_MemsetFloor"})
        if (r.ran(name))
            std::printf("%-24s %.2f ns per pixel\n", name, r.ns(name) / kPixels);
    if (!r.ran("BM_PlainKernel") || !r.ran("BM_PlainKernelInDouble"))
        return true;
    const double slower = r.ns("BM_PlainKernel") / r.ns("BM_PlainKernelInDouble");
    std::printf("reference / its double twin %.2f (sound up to %.1f)\n", slower, kSoundReferenceRatio);
    if (slower <= kSoundReferenceRatio)
        return true;
    std::printf("FAILED: the plain kernel is %.1f times its double twin; its ratios mean nothing here\n",
                slower);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Time::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool sound = printRatios(reporter);
    benchmark::Shutdown();
    return sound ? 0 : 1;
}
