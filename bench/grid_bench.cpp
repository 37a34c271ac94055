// The data window against its budget: refreshing the ten rows after a scroll
// (5 ms) and one keystroke in a box through to the results shown (within the
// 50 us calculation budget plus the screen update). Measured on the model
// alone and through the real widgets on the offscreen platform.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <cstdlib>
#include <string>

#include "app/data_window_model.h"
#include "app/fakes.h"
#include "app/music_player.h"
#include "app/undo_commands.h"
#include "sample_project.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"

namespace acquenza {
namespace {

using SilentDialogs = testing::FakeDialogs;

ProgramState SampleState() {
    ProgramState state;
    InitProgramValues(state.identity.values);
    state.project = bench::SampleProject(MaxSections);
    return state;
}

void BM_ModelRefreshAfterScroll(benchmark::State& st) {
    ProgramState state = SampleState();
    SilentDialogs dialogs;
    testing::FakeWindows windows(state, dialogs);
    DataWindowModel model(state, dialogs, windows);
    model.Load();
    int value = 1;
    for (auto _ : st) {
        value = value == 1 ? 11 : 1;
        model.Scroll(value);
    }
}
BENCHMARK(BM_ModelRefreshAfterScroll)->Unit(benchmark::kMicrosecond);

void BM_ModelKeystrokeToResults(benchmark::State& st) {
    ProgramState state = SampleState();
    SilentDialogs dialogs;
    testing::FakeWindows windows(state, dialogs);
    DataWindowModel model(state, dialogs, windows);
    model.Load();
    model.RefreshGrid();
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        model.TypeInBox(1, Field::lungh, flip ? "1000" : "100");
        benchmark::DoNotOptimize(model.ResultText(Field::dia));
    }
}
BENCHMARK(BM_ModelKeystrokeToResults)->Unit(benchmark::kMicrosecond);

// Undo and redo of the heaviest steps a user can take on 500 sections:
// deleting the first section (every later one moves) and clearing the window.
void BM_UndoRedoOfAStep(benchmark::State& st) {
    ProgramState state = SampleState();
    SilentDialogs dialogs;
    testing::FakeWindows windows(state, dialogs);
    DataWindowModel& model = windows.LoadDataWindow();
    model.RefreshGrid();
    if (st.range(0) == 0) {
        model.DeleteRow(1);
    } else {
        model.ClearWindow();
    }
    UndoCommands commands(state, windows);
    for (auto _ : st) {
        commands.Undo();
        commands.Redo();
    }
    st.SetLabel(st.range(0) == 0 ? "cancellazione del tronco 1 di 500 (annulla + ripeti)"
                                 : "cancella dati finestra, 500 tronchi (annulla + ripeti)");
}
BENCHMARK(BM_UndoRedoOfAStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The memory a thousand single-box steps hold: counted by the history, and
// as the heap grows (mallinfo2) while they are made.
void BM_ThousandStepsMemory(benchmark::State& st) {
    for (auto _ : st) {
        ProgramState state = SampleState();
        SilentDialogs dialogs;
        testing::FakeWindows windows(state, dialogs);
        DataWindowModel& model = windows.LoadDataWindow();
        model.RefreshGrid();
        const std::size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 1000; ++i) {
            const int row = 1 + i % DataWindowModel::Rows;
            model.TypeInBox(row, Field::lungh, std::to_string(100 + i));
            model.LeaveBox(row, Field::lungh);
        }
        const std::size_t after = mallinfo2().uordblks;
        st.counters["history_KiB"] = static_cast<double>(state.history.Bytes()) / 1024;
        st.counters["heap_KiB"] = static_cast<double>(after - before) / 1024;
        st.counters["steps"] = static_cast<double>(state.history.StepCount());
    }
}
BENCHMARK(BM_ThousandStepsMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

struct Program {
    ProgramState state = SampleState();
    SilentDialogs dialogs;
    NullMusicPlayer music;
    ui::QtWindowSystem windows{state, dialogs, music, "."};
    ui::DataWindow* data = nullptr;
    Program() {
        windows.Start();
        windows.Show(WindowId::dati);
        data = windows.Data();
    }
};

void BM_WidgetsRefreshAfterScroll(benchmark::State& st) {
    Program p;
    auto* scroll = p.data->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    int value = 1;
    for (auto _ : st) {
        value = value == 1 ? 11 : 1;
        scroll->setValue(value);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_WidgetsRefreshAfterScroll)->Unit(benchmark::kMicrosecond);

// With Arg 1 the network summary of all 500 sections is open and follows
// every keystroke.
void BM_WidgetsKeystrokeToResults(benchmark::State& st) {
    Program p;
    if (st.range(0) == 1) {
        p.windows.Show(WindowId::riepilogo);
        QApplication::processEvents();
    }
    p.data->Model().RefreshGrid();
    p.data->Sync();
    auto* box = p.data->findChild<QLineEdit*>(QStringLiteral("lungh_1"));
    auto* dia = p.data->findChild<QLabel*>(QStringLiteral("dia"));
    box->setCursorPosition(box->text().size());
    bool grow = true;
    for (auto _ : st) {
        // One key typed, then taken away again: two keystrokes per iteration.
        if (grow) {
            QTest::keyClick(box, Qt::Key_0);
        } else {
            QTest::keyClick(box, Qt::Key_Backspace);
        }
        grow = !grow;
        QApplication::processEvents();
        benchmark::DoNotOptimize(dia->text());
    }
}
BENCHMARK(BM_WidgetsKeystrokeToResults)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OpenTheSummaryOf500Sections(benchmark::State& st) {
    for (auto _ : st) {
        Program p;
        p.windows.Show(WindowId::riepilogo);
        QApplication::processEvents();
        st.PauseTiming();
        p.windows.Close(WindowId::riepilogo);
        QApplication::processEvents();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTheSummaryOf500Sections)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
