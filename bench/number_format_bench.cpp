// NumberToText (pushed on the string stack and freed again) and its text layout alone,
// against the C library's "%.15G" on the same values in the same run: small integers (what
// the program formats), doubles spread over many decades, and arbitrary finite doubles.
// The "_arithmetic" groups set the layout through the software extended format against the
// same layout through the host's arithmetic (the x87 where there is one).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <string>

#include "runtime/number_format.h"
#include "runtime/proc_frame.h"
#include "runtime/temp_strings.h"

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

const char* const kGroups[3] = {"number_text_small_integers", "number_text_decades",
                                "number_text_any_double"};

// The whole NumberToText: layout, string allocation, push, and the pop that frees it.
void NumberToTextPushed(benchmark::State& state, int kind) {
    const std::vector<double>& values = Values(kind);
    ProcFrame frame;
    size_t i = 0;
    for (auto _ : state) {
        NumberToText(values[i]);
        benchmark::DoNotOptimize(TempString(0));
        PopAndFreeString();
        i = (i + 1) % values.size();
    }
}

// The text layout alone, into a caller buffer.
void FormatTextOnly(benchmark::State& state, int kind) {
    const std::vector<double>& values = Values(kind);
    char text[kNumberTextBufferSize];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatNumberText(values[i], 15, kKeepLeadingBlank, text));
        benchmark::ClobberMemory();
        i = (i + 1) % values.size();
    }
}

// The text layout of the same values as extended bits, through the chosen arithmetic.
void FormatTextWith(benchmark::State& state, int kind, ExtendedArithmetic arithmetic) {
    std::vector<ExtendedFloat> values;
    for (double v : Values(kind)) values.push_back(ExtendedFromDouble(v));
    char text[kNumberTextBufferSize];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            FormatNumberText(values[i], 15, kKeepLeadingBlank, text, arithmetic));
        benchmark::ClobberMemory();
        i = (i + 1) % values.size();
    }
}

void BaselineSnprintf(benchmark::State& state, int kind) {
    const std::vector<double>& values = Values(kind);
    char text[kNumberTextBufferSize];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15G", values[i]));
        benchmark::ClobberMemory();
        i = (i + 1) % values.size();
    }
}

const bool kRegistered = [] {
    for (int kind = 0; kind < 3; ++kind) {
        const std::string group = kGroups[kind];
        benchmark::RegisterBenchmark((group + "/baseline_snprintf_g15").c_str(), BaselineSnprintf,
                                     kind);
        benchmark::RegisterBenchmark((group + "/number_to_text").c_str(), NumberToTextPushed, kind);
        benchmark::RegisterBenchmark((group + "/format_text_only").c_str(), FormatTextOnly, kind);
        benchmark::RegisterBenchmark((group + "/format_text_software").c_str(), FormatTextWith,
                                     kind, ExtendedArithmetic::kSoftware);
        benchmark::RegisterBenchmark((group + "_arithmetic/baseline_host").c_str(), FormatTextWith,
                                     kind, ExtendedArithmetic::kHost);
        benchmark::RegisterBenchmark((group + "_arithmetic/software").c_str(), FormatTextWith, kind,
                                     ExtendedArithmetic::kSoftware);
    }
    return true;
}();

}  // namespace
