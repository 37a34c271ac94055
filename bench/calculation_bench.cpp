// Section calculation against its budget (50 us a section, 5 ms for all 500)
// and against the literal one-millimetre loop it replaces.

#include <benchmark/benchmark.h>

#include <chrono>

#include "core/section_calculation.h"
#include "sample_project.h"
#include "support/literal_calculation.h"

namespace acquenza {
namespace {

struct Case {
    const char* lungh;
    const char* quotain;
    const char* quotafin;
    const char* portun;
    const char* portfin;
    const char* tipoc;
};

// 0: new pipe of the worked example; 1: pipe in use of the worked example;
// 2: the worst case, a pipe close to the 10 m limit (about 9,900 steps of the
// literal loop); 3: no pipe up to 10 m is enough.
constexpr Case Cases[] = {
    {"100", "100", "90", "", "10", "nuova"},
    {"1000", "120", "100", "5", "2", "in uso"},
    {"1000", "101", "100", "", "150000", "in uso"},
    {"1000", "101", "100", "", "1e9", "in uso"},
};

Project ProjectFor(const Case& c) {
    Project p;
    auto text = [](const char* t) { return FieldValue::Text(t); };
    p.sections.Set(1, Field::lungh, text(c.lungh));
    p.sections.Set(1, Field::quotain, text(c.quotain));
    p.sections.Set(1, Field::quotafin, text(c.quotafin));
    p.sections.Set(1, Field::portun, text(c.portun));
    p.sections.Set(1, Field::portfin, text(c.portfin));
    p.sections.Set(1, Field::tipoc, text(c.tipoc));
    p.sections.Set(1, Field::sca, FieldValue::Number(c.tipoc[0] == 'n' ? 0.0025 : 0.004));
    return p;
}

void BM_CalculateSection(benchmark::State& state) {
    Project p = ProjectFor(Cases[state.range(0)]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalculateSection(p, 1));
    }
}
BENCHMARK(BM_CalculateSection)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_LiteralLoop(benchmark::State& state) {
    Project p = ProjectFor(Cases[state.range(0)]);
    for (auto _ : state) {
        benchmark::DoNotOptimize(testing::CalculateSectionLiteral(p, 1));
    }
}
BENCHMARK(BM_LiteralLoop)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Both procedures timed in the same run; "speedup" is literal time / ours.
void BM_SearchVersusLiteral(benchmark::State& state) {
    Project p = ProjectFor(Cases[state.range(0)]);
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{};
    Clock::duration literal{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(CalculateSection(p, 1));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(testing::CalculateSectionLiteral(p, 1));
        const auto t2 = Clock::now();
        ours += t1 - t0;
        literal += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_us"] = std::chrono::duration<double, std::micro>(ours).count() / n;
    state.counters["literal_us"] = std::chrono::duration<double, std::micro>(literal).count() / n;
    state.counters["speedup"] =
        std::chrono::duration<double>(literal) / std::chrono::duration<double>(ours);
}
BENCHMARK(BM_SearchVersusLiteral)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_RecalculateAllSections(benchmark::State& state) {
    Project p = bench::SampleProject(MaxSections);
    for (auto _ : state) {
        for (int s = 1; s <= MaxSections; ++s) {
            benchmark::DoNotOptimize(CalculateSection(p, s));
        }
    }
}
BENCHMARK(BM_RecalculateAllSections)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza
