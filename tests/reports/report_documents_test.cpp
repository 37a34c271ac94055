#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <utility>

#include <QJsonArray>

#include "archive/project_file.h"
#include "core/section_calculation.h"
#include "docx_test_support.h"
#include "recording_printer.h"
#include "reports/direct_print.h"
#include "reports/docx_writer.h"
#include "reports/other_documents.h"
#include "reports/report_values.h"
#include "reports/titled_project.h"
#include "reports/word_report.h"

namespace acquenza {
namespace {

using reports_test::Named;
using reports_test::Titled;

namespace fs = std::filesystem;

const Office TestOffice{"Studio Tecnico Rossi", "Via Roma 1 - Perugia"};
const TitleTexts Titles = {"Rete di Colle Alto",   "Colle Alto", "progetto esecutivo",
                           "Comune di Colle Alto", "Perugia",    "martedì, 8 dic 2026",
                           "planimetria"};

// Three calculated sections: the second on a fire-fighting flow at its end,
// the third with nothing typed in its end allowance and a length of 70 m.
Project ThreeSections() {
    Project p;
    auto put = [&](int s, const char* lungh, const char* zin, const char* zfin, const char* qu,
                   const char* qe, const char* tipoc) {
        auto& t = p.sections;
        t.Set(s, Field::lungh, FieldValue::Text(lungh));
        t.Set(s, Field::quotain, FieldValue::Text(zin));
        t.Set(s, Field::quotafin, FieldValue::Text(zfin));
        t.Set(s, Field::portun, FieldValue::Text(qu));
        t.Set(s, Field::portfin, FieldValue::Text(qe));
        t.Set(s, Field::tipoc, FieldValue::Text(tipoc));
        t.Set(s, Field::sca, FieldValue::Number(std::string(tipoc) == "nuova" ? 0.0025 : 0.004));
        t.Set(s, Field::dotazun, FieldValue::Number(250));
        t.Set(s, Field::abitun, FieldValue::Text("100"));
        CalculateSection(p, s);
    };
    put(1, "100.5", "120", "110", "2,5", "1", "nuova");
    put(2, "250", "110", "100", "1", "8,82", "in uso");
    p.sections.Set(2, Field::dotazfin, FieldValue::Text("antincend."));
    p.sections.Set(2, Field::abitfin, FieldValue::Text("4000"));
    put(3, "70", "100", "95", "0,5", "0,5", "nuova");
    p.enteredSectionCount = 3;
    return p;
}

// n calculated sections of a main falling from 600 m, with varied lengths and
// flows so the tables' rows and columns are not all alike.
Project ManySections(int n) {
    Project p;
    for (int s = 1; s <= n; ++s) {
        auto& t = p.sections;
        const int top = 600 - s;
        t.Set(s, Field::lungh, FieldValue::Text(std::to_string(80 + (s * 37) % 400)));
        t.Set(s, Field::quotain, FieldValue::Text(std::to_string(top)));
        t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(top - 1)));
        t.Set(s, Field::portun, FieldValue::Text(std::to_string(1 + s % 9) + ",5"));
        t.Set(s, Field::abitun, FieldValue::Text(std::to_string(100 + s)));
        t.Set(s, Field::dotazun, FieldValue::Number(250));
        t.Set(s, Field::portfin, FieldValue::Text(std::to_string(1 + s % 13)));
        t.Set(s, Field::dotazfin, FieldValue::Text(s % 7 == 0 ? "antincend." : ""));
        t.Set(s, Field::tipoc, FieldValue::Text(s % 3 == 0 ? "in uso" : "nuova"));
        t.Set(s, Field::sca, FieldValue::Number(s % 3 == 0 ? 0.004 : 0.0025));
        CalculateSection(p, s);
    }
    p.enteredSectionCount = n;
    return p;
}

bool Contains(const std::vector<std::string>& texts, const std::string& needle) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& t) { return t.find(needle) != std::string::npos; });
}

TEST(ReportValues, PatternsUseACommaAndRoundHalfUp) {
    EXPECT_EQ(FormatHundredths(12.5), "12,50");
    EXPECT_EQ(FormatHundredths(0), "0,00");
    EXPECT_EQ(FormatHundredths(0.125), "0,13");
    EXPECT_EQ(FormatHundredths(-3.456), "-3,46");
    EXPECT_EQ(FormatHundredths(-0.001), "0,00");
    EXPECT_EQ(FormatHundredths(1234567.891), "1234567,89");
    EXPECT_EQ(FormatTenThousandths(0.0025), "0,0025");
    EXPECT_EQ(FormatTenThousandths(0.004), "0,0040");
    EXPECT_EQ(FormatResult(FieldValue(), 2), "");
    EXPECT_EQ(FormatResult(FieldValue::Number(7.6), 2), "7,60");
    EXPECT_EQ(AllowanceCell(FieldValue::Text("antincend.")), "ant.");
    EXPECT_EQ(AllowanceCell(FieldValue::Text("")), "0");
    EXPECT_EQ(AllowanceCell(FieldValue::Number(250)), "250");
    EXPECT_EQ(AllowanceCell(FieldValue::Text("300")), "300");
}

TEST(WordReport, ThreeSectionsMakeEightTables) {
    const Project p = ThreeSections();
    const Document d = BuildWordReport(Titled(p, Titles), TestOffice);
    ASSERT_EQ(d.TableCount(), 8);
    const int sizes[8][2] = {{6, 2}, {4, 2}, {16, 2}, {5, 14}, {7, 2}, {6, 15}, {6, 15}, {6, 15}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(d.TableAt(i).rows, sizes[i][0]) << i;
        EXPECT_EQ(d.TableAt(i).columns, sizes[i][1]) << i;
    }
    const Table& data = d.TableAt(3);
    EXPECT_EQ(data.fontSize, 8);
    EXPECT_EQ(data.cells[0][11], "diam.");
    EXPECT_EQ(data.cells[1][11], "cm.");
    EXPECT_EQ(data.cells[2][1], "100,50");  // the length typed "100.5"
    EXPECT_EQ(data.cells[2][4], "2,50");    // the flow stored "2,5"
    EXPECT_EQ(data.cells[2][5], "100");     // residents as they stand
    EXPECT_EQ(data.cells[3][9], "ant.");    // fire-fighting flow at the end
    EXPECT_EQ(data.cells[4][9], "0");       // nothing typed
    EXPECT_EQ(data.cells[3][13], "0,0040");
    EXPECT_EQ(data.cells[2][13], "0,0025");
    EXPECT_TRUE(std::all_of(data.columnAlignment.begin(), data.columnAlignment.end(),
                            [](Alignment a) { return a == Alignment::Right; }));

    const Table& legend = d.TableAt(2);
    EXPECT_EQ(legend.cells[12][1], "diametro terorico del tubo");
    EXPECT_EQ(legend.cells[15][0], "ant.");

    const Table& map70 = d.TableAt(7);
    const char* abscissae[] = {"5,00",  "10,00", "15,00", "20,00", "25,00", "30,00", "35,00",
                               "40,00", "45,00", "50,00", "55,00", "60,00", "65,00", "70,00"};
    for (int j = 1; j <= 14; ++j) {
        EXPECT_EQ(map70.cells[1][j], abscissae[j - 1]) << j;
        EXPECT_EQ(map70.cells[0][j], std::to_string(j));
    }
    EXPECT_EQ(map70.cells[5][0], "po");
    EXPECT_EQ(map70.columnAlignment[0], Alignment::Left);
    EXPECT_EQ(map70.columnAlignment[14], Alignment::Right);
    EXPECT_EQ(map70.cells[2][1], FormatHundredths(p.sections.Segment(3, 1).zStart));
    EXPECT_EQ(map70.cells[4][14], FormatHundredths(p.sections.Segment(3, 14).headLoss));
}

TEST(WordReport, TextsFontsAndTheStatedPageCount) {
    const Document d = BuildWordReport(Titled(ThreeSections(), Titles), TestOffice);
    const std::vector<std::string> texts = d.ParagraphTexts();
    EXPECT_EQ(texts.front(), "CALCOLI IDRAULICI");
    for (const char* expected :
         {"(per tronchi di condotte idriche)", "progetto: Rete di Colle Alto",
          "località: Colle Alto", "tipologia di studio: progetto esecutivo",
          "progettista: Studio Tecnico Rossi", "committente: Comune di Colle Alto",
          "Perugia: martedì, 8 dic 2026", "CRITERI DI CALCOLO", "Y = B * L * Q ^ 2 / D ^ 5",
          "PORTATA ANTINCENDIO", "Q = 4.5 * Sqr(P) - 0.045 * P", "DATI E RISULTATI DEL CALCOLO",
          "Tabella dei dati e dei risultati:", "MAPPA DELLE PERDITE DI CARICO E DELLE PORTATE",
          "Tronco n. 3", "Si allega: planimetria", "il progettista", "(Studio Tecnico Rossi)"}) {
        EXPECT_TRUE(Contains(texts, expected)) << expected;
    }
    EXPECT_EQ(d.PageBreakCount(), 1);  // the title page alone on its page
    EXPECT_EQ(d.PageCountFieldCount(), 1);
    const Paragraph* first = d.Paragraphs().front();
    EXPECT_EQ(first->runs[0].fontName, "Century Gothic");
    EXPECT_EQ(first->runs[0].fontSize, 24);
    EXPECT_TRUE(first->runs[0].bold);
    for (const Paragraph* p : d.Paragraphs()) {
        EXPECT_EQ(p->alignment, Alignment::Justified);
    }

    // The closing states the count of the finished document.
    Document copy = d;
    const int pages = SettlePageCount(copy);
    const std::string closing =
        "La presente relazione di stima è composta di n. " + std::to_string(pages) + " pagine.";
    EXPECT_TRUE(Contains(texts, closing)) << closing;
    EXPECT_GE(pages, 4);
}

class ReportFile : public reports_test::ScratchFolder {};

// The report as a word processor reads it: every paragraph's words, the
// title's font, every cell of every table, and the page count it states.
TEST_F(ReportFile, ThreeSectionsReadBackThroughPythonDocx) {
    Document d = BuildWordReport(Titled(ThreeSections(), Titles), TestOffice);
    const fs::path file = folder_ / "relazione.docx";
    ASSERT_TRUE(WriteDocx(d, file).ok);
    const QJsonObject read = reports_test::ReadDocx(file);
    const QJsonArray body = read["body"].toArray();
    std::vector<QJsonObject> tables;
    std::vector<std::string> texts;
    for (const auto& block : body) {
        const QJsonObject o = block.toObject();
        if (o["type"] == "table") {
            tables.push_back(o);
        } else {
            texts.push_back(o["text"].toString().toStdString());
        }
    }
    ASSERT_EQ(tables.size(), 8u);
    for (int t = 0; t < 8; ++t) {
        const Table& model = d.TableAt(t);
        const QJsonArray rows = tables[static_cast<std::size_t>(t)]["cells"].toArray();
        ASSERT_EQ(rows.size(), model.rows) << t;
        for (int r = 0; r < model.rows; ++r) {
            const QJsonArray cells = rows[r].toArray();
            ASSERT_EQ(cells.size(), model.columns);
            for (int c = 0; c < model.columns; ++c) {
                EXPECT_EQ(cells[c].toString().toStdString(),
                          model.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                    << "table " << t << " row " << r << " column " << c;
            }
        }
    }
    const QJsonObject title = body[0].toObject()["runs"].toArray()[0].toObject();
    EXPECT_EQ(title["text"].toString(), "CALCOLI IDRAULICI");
    EXPECT_EQ(title["font"].toString(), "Century Gothic");
    EXPECT_EQ(title["size"].toDouble(), 24);
    EXPECT_TRUE(title["bold"].toBool());
    EXPECT_TRUE(Contains(texts, "Perugia: martedì, 8 dic 2026"));

    const int stated = SettlePageCount(d);
    EXPECT_TRUE(Contains(texts, "composta di n. " + std::to_string(stated) + " pagine."));

    // What keeps the pages whole: headings and the closing lines with what
    // follows them, the data table's two heading rows on every page, each
    // map table in one piece.
    std::vector<std::string> kept;
    for (const auto& block : body) {
        const QJsonObject o = block.toObject();
        if (o["type"] == "p" && o["keepNext"].toBool() && !o["text"].toString().isEmpty()) {
            kept.push_back(o["text"].toString().toStdString());
        }
    }
    const std::vector<std::string> keptTexts = {
        "CRITERI DI CALCOLO",
        "in cui:",
        "PORTATA ANTINCENDIO",
        "in cui:",
        "DATI E RISULTATI DEL CALCOLO",
        "Legenda:",
        "Tabella dei dati e dei risultati:",
        "MAPPA DELLE PERDITE DI CARICO E DELLE PORTATE",
        "Legenda:",
        "Tronco n. 1",
        "Tronco n. 2",
        "Tronco n. 3",
        "La presente relazione di stima è composta di n. " + std::to_string(stated) + " pagine.",
        "Si allega: planimetria",
        "Perugia: martedì, 8 dic 2026",
        "il progettista"};
    EXPECT_EQ(kept, keptTexts);
    const QJsonArray dataRows = tables[3]["rows"].toArray();
    for (int r = 0; r < dataRows.size(); ++r) {
        EXPECT_EQ(dataRows[r]["header"].toBool(), r < 2) << r;
    }
    for (std::size_t t = 5; t < 8; ++t) {
        const QJsonArray rows = tables[t]["rows"].toArray();
        for (int r = 0; r < rows.size(); ++r) {
            EXPECT_TRUE(rows[r]["cantSplit"].toBool()) << t << " " << r;
            EXPECT_EQ(rows[r]["keepNext"].toBool(), r + 1 < rows.size()) << t << " " << r;
        }
    }
    // "pagina X di Y" on every page but the title page, and no question
    // about updating fields when the file opens.
    const QJsonObject footers = read["footers"].toObject();
    EXPECT_TRUE(footers["titlePage"].toBool());
    EXPECT_EQ(footers["first"].toArray()[0].toObject()["text"].toString(), "");
    const QJsonObject footer = footers["default"].toArray()[0].toObject();
    EXPECT_EQ(footer["text"].toString().toStdString(), "pagina 2 di " + std::to_string(stated));
    EXPECT_EQ(footer["alignment"].toString(), "right");
    const QJsonArray fields = footer["field"].toArray();
    ASSERT_EQ(fields.size(), 8);
    EXPECT_EQ(fields[1].toString(), "instr: PAGE ");
    EXPECT_EQ(fields[5].toString(), "instr: NUMPAGES ");
    EXPECT_FALSE(read["updateFields"].toBool());
}

// The pages LibreOffice makes of the report are the pages the report says it
// has, for every size from 1 to 60 sections and for 500; the collection form
// keeps its heading words whole. One LibreOffice run converts them all.
TEST_F(ReportFile, PageCountsAgreeWithLibreOffice) {
    std::vector<int> sizes;
    for (int n = 1; n <= 60; ++n) {
        sizes.push_back(n);
    }
    sizes.push_back(500);
    std::vector<fs::path> files;
    std::vector<int> stated;
    for (const int n : sizes) {
        const Project p = ManySections(n);
        Document d = BuildWordReport(Titled(p, Titles), TestOffice);
        stated.push_back(SettlePageCount(d));
        files.push_back(folder_ / ("relazione-" + std::to_string(n) + ".docx"));
        ASSERT_TRUE(WriteDocx(d, files.back()).ok);
    }
    files.push_back(folder_ / "modello.docx");
    ASSERT_TRUE(WriteDocx(BuildAcquisitionTemplate(), files.back()).ok);

    const std::optional<std::vector<fs::path>> pdfs = reports_test::LibreOfficePdfs(files);
    if (!pdfs) {
        GTEST_SKIP() << "LibreOffice or pdfinfo is not installed";
    }
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(reports_test::PdfPages((*pdfs)[i]), stated[i]) << sizes[i] << " sections";
        // The map's legend, from its heading to its last row, on one page.
        const std::string text =
            reports_test::RunCommand("pdftotext " + reports_test::Quoted((*pdfs)[i].string()) +
                                     " -")
                .value_or("");
        const std::size_t first = text.find("Legenda:", text.find("MAPPA DELLE PERDITE"));
        const std::size_t last = text.find("portata d'acqua in litri al secondo nel tratto");
        ASSERT_NE(first, std::string::npos) << sizes[i];
        ASSERT_NE(last, std::string::npos) << sizes[i];
        EXPECT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(first),
                             text.begin() + static_cast<std::ptrdiff_t>(last), '\f'),
                  0)
            << "the map legend splits with " << sizes[i] << " sections";
    }
    const std::string last =
        reports_test::RunCommand("pdftotext -f " + std::to_string(stated.back()) + " " +
                                 reports_test::Quoted((*pdfs)[sizes.size() - 1].string()) + " -")
            .value_or("");
    EXPECT_NE(last.find("composta di n. " + std::to_string(stated.back()) + " pagine."),
              std::string::npos)
        << last;
    EXPECT_NE(last.find("pagina " + std::to_string(stated.back()) + " di " +
                        std::to_string(stated.back())),
              std::string::npos)
        << last;

    const std::string form =
        reports_test::RunCommand("pdftotext -layout " +
                                 reports_test::Quoted(pdfs->back().string()) + " -")
            .value_or("");
    for (const char* heading :
         {"tronco", "lunghezza", "quota in.", "quota fin.", "portata un.", "abitanti", "dot.idrica",
          "portata es.", "condotta", "l/abitanti", "l/abitante"}) {
        EXPECT_TRUE(
            std::regex_search(form, std::regex(std::string("(^|\\s)") + heading + "(\\s|$)")))
            << heading << "\n"
            << form;
    }
}

TEST(DataWindowDocument, RowsAndValues) {
    Project p = ThreeSections();
    p.sections.Set(1, Field::abitfin, FieldValue::Text(""));
    const Document d = BuildDataWindowDocument(Named(p, "Rete di Colle Alto"));
    ASSERT_EQ(d.TableCount(), 2);
    EXPECT_TRUE(Contains(d.ParagraphTexts(), "Progetto: Rete di Colle Alto"));
    EXPECT_TRUE(Contains(d.ParagraphTexts(), "DATI E DIMENSIONAMENTO DEllA RETE"));
    EXPECT_EQ(d.TableAt(0).cells[12][1], "diametro teorico del tubo");
    const Table& t = d.TableAt(1);
    EXPECT_EQ(t.rows, 5);
    EXPECT_EQ(t.fontSize, 7);
    EXPECT_EQ(t.cells[2][0], " 1");
    EXPECT_EQ(t.cells[2][8], "0");
    EXPECT_EQ(p.sections.Get(1, Field::abitfin), FieldValue::Text(""));  // printed, not stored
    EXPECT_EQ(t.cells[3][9], "ant.");
    EXPECT_EQ(t.cells[3][13], "0,0040");

    Project seven;
    for (int s = 1; s <= 7; ++s) {
        seven.sections.Set(s, Field::lungh, FieldValue::Text("10"));
    }
    seven.enteredSectionCount = 7;
    const Document sevenRows = BuildDataWindowDocument(Named(seven, ""));
    const Table& rows = sevenRows.TableAt(1);
    EXPECT_EQ(rows.cells[8][0], " 7");  // section 7 in row 9
    EXPECT_EQ(rows.cells[8][10], "");   // never calculated: empty cell
    EXPECT_EQ(rows.columnAlignment[0], Alignment::Right);

    Project none;
    EXPECT_EQ(BuildDataWindowDocument(Named(none, "")).TableAt(1).rows, 2);
}

// The project as the data file stores it, then every result and map cell.
std::string Snapshot(const Project& p) {
    std::string bytes;
    EXPECT_TRUE(EncodeProjectFile(Titled(p, Titles), bytes).ok);
    for (int s = 1; s <= MaxSections; ++s) {
        for (const Field f : {Field::per, Field::dia, Field::vel, Field::sca}) {
            bytes += "|" + p.sections.Get(s, f).DisplayText();
        }
        for (int j = 0; j <= SegmentCount; ++j) {
            const SegmentCell& c = p.sections.Segment(s, j);
            for (const double v : {c.zStart, c.zEnd, c.flow, c.headLoss}) {
                bytes += "|" + std::to_string(v);
            }
        }
    }
    return bytes;
}

// Documents and the print show an empty residents value as "0" on paper; the
// project keeps it empty, and nothing else in it changes either.
TEST(Documents, ShowingLeavesTheProjectAsItWas) {
    Project p = ThreeSections();
    p.sections.Set(1, Field::abitfin, FieldValue::Text(""));
    p.sections.Set(3, Field::abitun, FieldValue());
    const std::string before = Snapshot(p);
    const std::pair<const char*, std::function<void(const Project&)>> documents[] = {
        {"relazione", [](const Project& q) { BuildWordReport(Titled(q, Titles), TestOffice); }},
        {"stampa",
         [](const Project& q) {
             reports_test::RecordingPrinter printer;
             PrintReport(printer, Titled(q, Titles), TestOffice, 12);
             EXPECT_NE(printer.Find(" 0     250"), nullptr);
         }},
        {"dati",
         [](const Project& q) {
             EXPECT_EQ(BuildDataWindowDocument(Named(q, "x")).TableAt(1).cells[2][8], "0");
         }},
        {"modello", [](const Project&) { BuildAcquisitionTemplate(); }},
    };
    for (const auto& [name, build] : documents) {
        build(p);
        EXPECT_EQ(Snapshot(p), before) << name;
    }
    EXPECT_TRUE(p.sections.Get(3, Field::abitun).IsNothing());
}

TEST(OtherDocuments, TemplateAndTitlePage) {
    const Document t = BuildAcquisitionTemplate();
    ASSERT_EQ(t.TableCount(), 2);
    EXPECT_EQ(t.TableAt(0).cells[2][2], "0,0040");
    const Table& grid = t.TableAt(1);
    EXPECT_EQ(grid.rows, 42);
    EXPECT_EQ(grid.columns, 11);
    EXPECT_EQ(grid.cells[1][6], "l/abitanti");
    EXPECT_EQ(grid.cells[1][9], "l/abitante");
    for (int r = 2; r < 42; ++r) {
        for (int c = 0; c < 11; ++c) {
            ASSERT_EQ(grid.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)], "");
        }
    }
    EXPECT_TRUE(Contains(t.ParagraphTexts(), "Progetto___________________________________"));

    const Project empty;
    const Document f = BuildTitlePageDocument(empty, TestOffice);
    ASSERT_EQ(f.TableCount(), 1);
    EXPECT_EQ(f.TableAt(0).rows, 10);
    EXPECT_EQ(f.TableAt(0).cells[1][1], "");
    EXPECT_EQ(f.TableAt(0).cells[8][1], "Studio Tecnico Rossi");
    EXPECT_EQ(f.TableAt(0).cells[9][0], "indirizzo");
}

}  // namespace
}  // namespace acquenza
