// Export to .inp and import of a 500-section tree (budget: 100 ms each),
// with the bare reading and writing of the same file for comparison.

#include <benchmark/benchmark.h>

#include "interchange/branched_export.h"
#include "interchange/branched_import.h"
#include "interchange/inp_reader.h"
#include "interchange/inp_writer.h"
#include "interchange/sample_networks.h"

namespace acquenza::interchange {
namespace {

const BranchedNetwork& Tree() {
    static const BranchedNetwork tree = samples::RandomTree(2024, MaxImportedSections);
    return tree;
}

void BM_ExportTo500SectionInp(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const InpExportResult e = ExportToInp(Tree());
        if (!e.ok) {
            state.SkipWithError(e.error.c_str());
            break;
        }
        bytes = e.text.size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ExportTo500SectionInp)->Unit(benchmark::kMillisecond);

void BM_ImportFrom500SectionInp(benchmark::State& state) {
    const std::string text = ExportToInp(Tree()).text;
    for (auto _ : state) {
        const BranchedImportResult r = ImportFromInp(text);
        if (!r.ok || r.network.sections.size() != Tree().sections.size()) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(r.network.sections.data());
    }
}
BENCHMARK(BM_ImportFrom500SectionInp)->Unit(benchmark::kMillisecond);

// The parts: reading the text alone and writing an already built model.
void BM_ReadInpOnly(benchmark::State& state) {
    const std::string text = ExportToInp(Tree()).text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadInp(text).network.pipes.size());
    }
}
BENCHMARK(BM_ReadInpOnly)->Unit(benchmark::kMillisecond);

void BM_WriteInpOnly(benchmark::State& state) {
    const InpNetwork built = BuildInpNetwork(Tree()).network;
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteInp(built).text.size());
    }
}
BENCHMARK(BM_WriteInpOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza::interchange
