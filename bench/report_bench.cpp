// The documents against their budget: the full report of 500 sections as a
// .docx with its page count (1 s) and the data-window document (0.5 s).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <cstdlib>
#include <filesystem>

#include "core/section_calculation.h"
#include "reports/direct_print.h"
#include "reports/docx_writer.h"
#include "reports/other_documents.h"
#include "reports/pagination.h"
#include "reports/qt_printer_device.h"
#include "reports/word_report.h"
#include "sample_project.h"

namespace acquenza {
namespace {

const TitleTexts Titles = {"Rete idrica di Colle Alto", "Colle Alto", "progetto esecutivo",
                           "Comune di Colle Alto",      "Perugia",    "martedì, 8 dic 2026",
                           "planimetria, profili"};
const Office TheOffice{"Studio Tecnico di Ingegneria Idraulica", "Via dell'Acquedotto 12"};

Project Calculated(int n) {
    Project p = bench::SampleProject(n);
    for (int s = 1; s <= n; ++s) {
        CalculateSection(p, s);
    }
    p.titles = Titles;
    return p;
}

std::filesystem::path OutputFile() {
    return std::filesystem::temp_directory_path() /
           ("acquenza-bench-" + std::to_string(::getpid()) + ".docx");
}

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_FullReportToDocx(benchmark::State& state) {
    const Project p = Calculated(static_cast<int>(state.range(0)));
    const auto file = OutputFile();
    Document d;
    for (auto _ : state) {
        // Building the report counts its pages: that is part of the work.
        d = BuildWordReport(p, TheOffice);
        if (!WriteDocx(d, file).ok) {
            state.SkipWithError("write failed");
        }
    }
    state.counters["pages"] = CountPages(d);
    ReportPeakMemory(state);
    std::filesystem::remove(file);
}
BENCHMARK(BM_FullReportToDocx)->Arg(3)->Arg(40)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_DataWindowDocumentToDocx(benchmark::State& state) {
    const Project p = Calculated(static_cast<int>(state.range(0)));
    const auto file = OutputFile();
    for (auto _ : state) {
        const Document d = BuildDataWindowDocument(p);
        if (!WriteDocx(d, file).ok) {
            state.SkipWithError("write failed");
        }
    }
    ReportPeakMemory(state);
    std::filesystem::remove(file);
}
BENCHMARK(BM_DataWindowDocumentToDocx)->Arg(500)->Unit(benchmark::kMillisecond);

// The direct print of 500 sections to a PDF through the real printer device
// (budget: 2 s).
void BM_DirectPrintToPdf(benchmark::State& state) {
    const Project p = Calculated(static_cast<int>(state.range(0)));
    const auto file = std::filesystem::temp_directory_path() /
                      ("acquenza-bench-" + std::to_string(::getpid()) + ".pdf");
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        QtPrinterDevice device(printer);
        PrintReport(device, p, TheOffice, 12);
        pages = device.PageNumber();
        if (device.Failed()) {
            state.SkipWithError("print failed");
        }
    }
    state.counters["pages"] = pages;
    ReportPeakMemory(state);
    std::filesystem::remove(file);
}
BENCHMARK(BM_DirectPrintToPdf)->Arg(40)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace acquenza

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
