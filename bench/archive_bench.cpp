// Writing and reading a 500-section data file (budget: 10 ms each).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "archive/project_file.h"
#include "sample_project.h"

namespace acquenza {
namespace {

const TitleTexts Titles = {"Rete idrica di Colle Alto", "Colle Alto", "progetto esecutivo",
                           "Comune di Colle Alto",      "Colle Alto", "martedì, 8 dic 2026",
                           "planimetria, profili"};

std::filesystem::path BenchFile() {
    return std::filesystem::temp_directory_path() /
           ("Acquenza-dati-bench-" + std::to_string(::getpid()));
}

Project TitledSample() {
    Project p = bench::SampleProject(MaxSections);
    p.titles = Titles;
    return p;
}

void BM_WriteProjectFile(benchmark::State& state) {
    const Project p = TitledSample();
    const auto path = BenchFile();
    for (auto _ : state) {
        if (!WriteProjectFile(path, p).ok) {
            state.SkipWithError("write failed");
            break;
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteProjectFile)->Unit(benchmark::kMillisecond);

void BM_ReadProjectFile(benchmark::State& state) {
    const auto path = BenchFile();
    WriteProjectFile(path, TitledSample());
    for (auto _ : state) {
        Project p;
        if (!ReadProjectFile(path, p).complete) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(p.enteredSectionCount);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadProjectFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza
