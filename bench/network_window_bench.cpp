// The network window against its budget, on a tree of 500 linked sections:
// one typed delivery through to the sums, heads and checks (1 ms, the model
// alone), the same with the window open and painted (one 16 ms frame), and
// opening the window (100 ms).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <cmath>
#include <string>

#include "app/fakes.h"
#include "app/network_model.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "sample_project.h"
#include "ui/summary/summary_window.h"

namespace acquenza {
namespace {

// The sample sections joined as a binary tree: section s continues from
// s / 2, section 1 from the source at 640 m; each level 3 m below the one
// above, so every start meets its upstream end.
ProgramState NetworkState() {
    ProgramState state;
    InitProgramValues(state.identity.values);
    InitSharedTitles(state.identity.titles, state.identity.values);
    state.project = bench::SampleProject(MaxSections);
    SectionTable& t = state.project.sections;
    for (int s = 1; s <= MaxSections; ++s) {
        const int depth = static_cast<int>(std::log2(s));
        t.Set(s, Field::quotain, FieldValue::Text(std::to_string(600 - 3 * depth)));
        t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(597 - 3 * depth)));
        t.Set(s, LinkField, UpstreamValue(t, s / 2));
    }
    state.project.network.sourceHead = "640";
    SettleNetwork(state.project);
    for (int s = 1; s <= MaxSections; ++s) {
        SettleSection(state.project, s);
    }
    return state;
}

// A leaf at the tree's bottom: its delivery changes the sums of the nine
// sections up to the source.
constexpr int Leaf = 400;

void BM_NetworkKeystrokeModel(benchmark::State& st) {
    ProgramState state = NetworkState();
    testing::FakeDialogs dialogs;
    NetworkModel model(state, dialogs);
    benchmark::DoNotOptimize(model.Analysis());
    bool one = true;
    for (auto _ : st) {
        model.SetNodeDemand(Leaf, one ? "1.5" : "2.5");
        one = !one;
        benchmark::DoNotOptimize(model.Analysis().checks.size());
    }
    if (!dialogs.shown.empty()) {
        st.SkipWithError("a delivery was refused");
    }
}
BENCHMARK(BM_NetworkKeystrokeModel)->Unit(benchmark::kMicrosecond);

ui::SummaryWindow::Actions NoActions() {
    return {[](int) {}, [] { return std::string(); }, [] {}, {}, {}};
}

void BM_NetworkKeystrokeWithTheWindowOpen(benchmark::State& st) {
    ProgramState state = NetworkState();
    testing::FakeDialogs dialogs;
    NetworkModel model(state, dialogs);
    ui::SummaryWindow window(state, dialogs, NoActions());
    window.show();
    QApplication::processEvents();
    bool one = true;
    for (auto _ : st) {
        model.SetNodeDemand(Leaf, one ? "1.5" : "2.5");
        one = !one;
        window.Sync();  // as every window follows an edit
        QApplication::processEvents();
    }
}
BENCHMARK(BM_NetworkKeystrokeWithTheWindowOpen)->Unit(benchmark::kMicrosecond);

void BM_OpenTheNetworkWindow(benchmark::State& st) {
    ProgramState state = NetworkState();
    testing::FakeDialogs dialogs;
    for (auto _ : st) {
        ui::SummaryWindow window(state, dialogs, NoActions());
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.findChild<QTableView*>()->model()->rowCount());
        st.PauseTiming();
        window.close();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTheNetworkWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza
