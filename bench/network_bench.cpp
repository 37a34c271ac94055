// The network on a 500-section tree against its budgets: sums, heads and
// checks after one change under 1 ms; sizing by the path method under
// 100 ms; least cost under 2 s.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/network_sizing.h"
#include "core/random_network.h"

namespace acquenza {
namespace {

PipeSeries PricedPe() {
    const auto path = std::filesystem::path(ACQUENZA_RESOURCES_DIR) / CatalogueFolderName /
                      "pe100-sdr11-pn16.txt";
    PipeSeries series = ReadCatalogueFile(path).series.value_or(PipeSeries{});
    for (PipeSize& size : series.sizes) {
        size.pricePerMetre = 2 + 0.0009 * size.internalMm * size.internalMm;
    }
    return series;
}

// A town's network: 500 sections, a fifth of them climbing, flows of a few
// tenths of a litre a second each, 70 m of head above the source's ground.
NetworkInput Town() {
    std::mt19937 rng(500);
    testing::RandomNetworkShape shape;
    shape.sections = 500;
    shape.risingShare = 0.2;
    shape.sourceAbove = 70;
    shape.flowScale = 0.1;
    return testing::RandomNetwork(rng, shape);
}

// The town with the pipes the path method lays, by the given formula.
NetworkInput SizedTown(LossFormula formula) {
    static const PipeSeries series = PricedPe();
    SizingOptions options;
    options.series = &series;
    options.pipeFormula = formula;
    const NetworkInput town = Town();
    return WithSizing(town, SizeByPaths(town, options), options);
}

// One keystroke: a node's demand changes, then the tree, the sums, the heads,
// the checks and the paths are all made afresh, the losses of the sections
// whose figures did not change taken from the memo (as the window keeps it).
// Arg 1: the formula (0 coefficient, 1 Darcy-Weisbach); arg 2: 1 with the
// memo, 0 without (every loss computed again: the baseline).
void BM_NetworkAfterOneChange(benchmark::State& state) {
    const LossFormula formula =
        state.range(0) == 0 ? LossFormula::Coefficient : LossFormula::DarcyWeisbach;
    const bool memoised = state.range(1) == 1;
    NetworkInput input = SizedTown(formula);
    LossMemo memo;
    std::size_t checks = 0;
    int section = 1;
    for (auto _ : state) {
        input.sections[static_cast<std::size_t>(section)].nodeDemand += 0.01;
        section = section % 500 + 1;
        const NetworkResult result =
            AnalyseNetwork(input, BuildTree(input), memoised ? &memo : nullptr);
        checks = result.checks.size();
        benchmark::DoNotOptimize(result.sections.data());
    }
    state.counters["checks"] = static_cast<double>(checks);
    state.SetLabel(std::string(state.range(0) == 0 ? "coefficient formula" : "Darcy-Weisbach") +
                   (memoised ? ", losses kept" : ", every loss again"));
}
BENCHMARK(BM_NetworkAfterOneChange)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMicrosecond);

void BM_SizeByPaths(benchmark::State& state) {
    static const PipeSeries series = PricedPe();
    const NetworkInput town = Town();
    SizingOptions options;
    options.series = &series;
    options.pipeFormula =
        state.range(0) == 0 ? LossFormula::Coefficient : LossFormula::DarcyWeisbach;
    for (auto _ : state) {
        const NetworkSizing sizing = SizeByPaths(town, options);
        benchmark::DoNotOptimize(sizing.sections.data());
    }
    state.SetLabel(state.range(0) == 0 ? "coefficient formula" : "Darcy-Weisbach");
}
BENCHMARK(BM_SizeByPaths)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReduceCost(benchmark::State& state) {
    static const PipeSeries series = PricedPe();
    const NetworkInput town = Town();
    SizingOptions options;
    options.series = &series;
    options.pipeFormula =
        state.range(0) == 0 ? LossFormula::Coefficient : LossFormula::DarcyWeisbach;
    const NetworkSizing start = SizeByPaths(town, options);
    int steps = 0;
    double saved = 0;
    for (auto _ : state) {
        const NetworkSizing least = ReduceCost(town, start, options);
        steps = least.reductions;
        saved = least.costBefore->value - least.costAfter->value;
        benchmark::DoNotOptimize(least.sections.data());
    }
    state.counters["size_steps"] = steps;
    state.counters["saved_eur"] = saved;
    state.SetLabel(state.range(0) == 0 ? "coefficient formula" : "Darcy-Weisbach");
}
BENCHMARK(BM_ReduceCost)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza
