// NumberToText's text layout against the C library's "%.15G" on the same values in the same
// run: small integers (what the program formats), doubles spread over many decades, and
// arbitrary finite doubles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/number_format.h"

namespace {

std::vector<double> MakeValues(int kind) {
    uint64_t state = 42 + kind;
    auto next = [&state] {
        uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    };
    std::vector<double> values;
    while (values.size() < 4096) {
        const uint64_t r = next();
        double v;
        if (kind == 0) {
            v = static_cast<double>(r % 1000);
        } else if (kind == 1) {
            v = std::ldexp(static_cast<double>(r >> 11), -53) * std::pow(10.0, (r % 41) - 20.0);
        } else {
            std::memcpy(&v, &r, sizeof v);
            if (!std::isfinite(v)) continue;
        }
        values.push_back(v);
    }
    return values;
}

const std::vector<double>& Values(int kind) {
    static const std::vector<double> sets[3] = {MakeValues(0), MakeValues(1), MakeValues(2)};
    return sets[kind];
}

void BM_NumberToText(benchmark::State& state) {
    const std::vector<double>& values = Values(static_cast<int>(state.range(0)));
    char text[kNumberTextBufferSize];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumberText(values[i], 15, kKeepLeadingBlank, text));
        benchmark::ClobberMemory();
        i = (i + 1) % values.size();
    }
}

void BM_SnprintfG15(benchmark::State& state) {
    const std::vector<double>& values = Values(static_cast<int>(state.range(0)));
    char text[kNumberTextBufferSize];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15G", values[i]));
        benchmark::ClobberMemory();
        i = (i + 1) % values.size();
    }
}

// Argument: 0 small integers, 1 doubles over 10^-20..10^20, 2 arbitrary finite doubles.
BENCHMARK(BM_NumberToText)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_SnprintfG15)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
