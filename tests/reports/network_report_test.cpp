// The network's profile along a path and the report's chapter that checks
// the network: the profile's points, its chart inside the room it is given,
// the picture in the word-processor file, and the chapter in both reports
// (and nowhere for a project without a network).

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/project_network.h"
#include "core/section_calculation.h"
#include "reports/direct_print.h"
#include "reports/docx_writer.h"
#include "reports/network_chapter.h"
#include "reports/path_profile.h"
#include "reports/recording_printer.h"
#include "reports/report_values.h"
#include "reports/word_report.h"

namespace acquenza {
namespace {

using reports_test::RecordingPrinter;

const Office TestOffice{"Studio Tecnico Rossi", "Via Roma 1 - Perugia"};

// A main from the reservoir (1) splitting into two branches (2 and 3, then
// 4 after 3), each section calculated; the source stands 25 m above the
// main's start.
Project SmallNetwork(bool withLinks = true) {
    Project p;
    auto put = [&](int s, const char* lungh, const char* zin, const char* zfin, const char* qu,
                   const char* qe) {
        auto& t = p.sections;
        t.Set(s, Field::lungh, FieldValue::Text(lungh));
        t.Set(s, Field::quotain, FieldValue::Text(zin));
        t.Set(s, Field::quotafin, FieldValue::Text(zfin));
        t.Set(s, Field::portun, FieldValue::Text(qu));
        t.Set(s, Field::portfin, FieldValue::Text(qe));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        t.Set(s, Field::sca, FieldValue::Number(0.0025));
    };
    put(1, "800", "300", "292", "0", "9,5");
    put(2, "350", "292", "285", "1,5", "2");
    put(3, "420", "292", "286", "1", "3");
    put(4, "260", "286", "280", "0,5", "1,5");
    p.enteredSectionCount = 4;
    if (withLinks) {
        const int upstream[] = {0, 0, 1, 1, 3};
        for (int s = 1; s <= 4; ++s) {
            p.sections.Set(s, LinkField, UpstreamValue(p.sections, upstream[s]));
        }
        p.network.sourceHead = "325";
        SettleNetwork(p);
    }
    for (int s = 1; s <= 4; ++s) {
        CalculateSection(p, s);
    }
    return p;
}

struct Analysed {
    NetworkInput input;
    NetworkResult result;
};
Analysed Analyse(const Project& p) {
    Analysed a{NetworkInputOf(p, NetworkLimits{}), {}};
    a.result = AnalyseNetwork(a.input);
    return a;
}

TEST(PathProfile, FollowsTheLinksFromTheSourceWithTheAnalysisHeads) {
    const Project p = SmallNetwork();
    const Analysed a = Analyse(p);
    const PathProfile profile = PathProfileOf(a.input, a.result, 4);
    ASSERT_EQ(profile.endNode, 4) << profile.note;
    EXPECT_EQ(profile.sections, (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(profile.note.empty()) << profile.note;
    ASSERT_EQ(profile.distance.size(), 6u);
    EXPECT_EQ(profile.distance, (std::vector<double>{0, 800, 800, 1220, 1220, 1480}));
    EXPECT_EQ(profile.ground, (std::vector<double>{300, 292, 292, 286, 286, 280}));
    EXPECT_DOUBLE_EQ(profile.length, 1480);
    ASSERT_EQ(profile.head.size(), 6u);
    EXPECT_DOUBLE_EQ(profile.head.front(), 325);
    for (std::size_t k = 0; k < 3; ++k) {
        const SectionHydraulics& h = a.result.sections[profile.sections[k]];
        EXPECT_DOUBLE_EQ(profile.head[2 * k], h.headStart);
        EXPECT_DOUBLE_EQ(profile.head[2 * k + 1], h.headEnd);
        EXPECT_LT(h.headEnd, h.headStart);
    }
    const std::vector<std::pair<int, double>> nodes = {{0, 0}, {1, 800}, {3, 1220}, {4, 1480}};
    EXPECT_EQ(profile.nodes, nodes);
    EXPECT_DOUBLE_EQ(profile.sourceHead, 325);
    EXPECT_DOUBLE_EQ(profile.minimumPressure, 20);
}

TEST(PathProfile, SaysWhyWhereThePathOrItsHeadsAreMissing) {
    Project p = SmallNetwork();
    // A stand-alone section has no path from the source.
    p.sections.Set(2, LinkField, FieldValue());
    {
        const Analysed a = Analyse(p);
        const PathProfile none = PathProfileOf(a.input, a.result, 2);
        EXPECT_EQ(none.endNode, 0);
        EXPECT_NE(none.note.find("non è collegato alla sorgente"), std::string::npos) << none.note;
        EXPECT_EQ(PathProfileOf(a.input, a.result, 9).endNode, 0);  // no such section
    }
    // No source head: the ground and the minimum line still show, no heads
    // and no static line, and the note says why.
    p.network.sourceHead.clear();
    const Analysed a = Analyse(p);
    const PathProfile headless = PathProfileOf(a.input, a.result, 4);
    ASSERT_EQ(headless.endNode, 4);
    EXPECT_TRUE(headless.head.empty());
    EXPECT_FALSE(headless.HasStatic());
    EXPECT_NE(headless.note.find("sorgente"), std::string::npos) << headless.note;
}

TEST(PathProfile, TheWorstPathIsTheAnalysisOne) {
    const Project p = SmallNetwork();
    const Analysed a = Analyse(p);
    ASSERT_TRUE(a.result.worstPath.has_value());
    const PathProfile worst = WorstPathProfile(a.input, a.result);
    EXPECT_EQ(worst.endNode, a.result.paths[*a.result.worstPath].endNode);
    EXPECT_EQ(worst.sections, a.result.paths[*a.result.worstPath].sections);
}

// Keeps what was drawn, to see where it went.
class RecordingCanvas final : public ChartCanvas {
  public:
    struct Mark {
        double x1, y1, x2, y2;
        Ink ink;
        std::string text;  // empty for a line
    };
    void Line(double x1, double y1, double x2, double y2, Ink ink) override {
        marks.push_back({x1, y1, x2, y2, ink, {}});
    }
    void Text(double x, double y, const std::string& text, Anchor anchor) override {
        const double w = TextWidth(text);
        const double left = anchor == Anchor::Left     ? x
                            : anchor == Anchor::Center ? x - w / 2
                                                       : x - w;
        marks.push_back({left, y - 5, left + w, y + 5, Ink::Text, text});
    }
    double TextWidth(const std::string& text) const override {
        return 6.0 * static_cast<double>(text.size());
    }
    double TextHeight() const override { return 10; }
    std::vector<Mark> marks;
};

TEST(PathProfile, TheChartStaysInItsRoomAndLabelsNeverOverlap) {
    const Project p = SmallNetwork();
    const Analysed a = Analyse(p);
    for (const int node : {1, 2, 4}) {
        for (const auto& [w, h] : {std::pair{900.0, 450.0}, std::pair{600.0, 300.0}}) {
            RecordingCanvas canvas;
            DrawPathProfile(canvas, 50, 20, w, h, PathProfileOf(a.input, a.result, node));
            std::vector<ChartCanvas::Ink> inks;
            std::vector<RecordingCanvas::Mark> texts;
            for (const auto& m : canvas.marks) {
                SCOPED_TRACE(m.text);
                EXPECT_GE(std::min(m.x1, m.x2), 50 - 1e-9);
                EXPECT_LE(std::max(m.x1, m.x2), 50 + w + 1e-9);
                EXPECT_GE(std::min(m.y1, m.y2), 20 - 1e-9);
                EXPECT_LE(std::max(m.y1, m.y2), 20 + h + 1e-9);
                inks.push_back(m.ink);
                if (!m.text.empty()) {
                    texts.push_back(m);
                }
            }
            for (const auto ink : {ChartCanvas::Ink::Ground, ChartCanvas::Ink::Head,
                                   ChartCanvas::Ink::Minimum, ChartCanvas::Ink::Static}) {
                EXPECT_NE(std::find(inks.begin(), inks.end(), ink), inks.end());
            }
            // No two texts on top of each other, and the end node labelled.
            for (std::size_t i = 0; i < texts.size(); ++i) {
                for (std::size_t j = i + 1; j < texts.size(); ++j) {
                    const bool apart = texts[i].x2 <= texts[j].x1 || texts[j].x2 <= texts[i].x1 ||
                                       texts[i].y2 <= texts[j].y1 || texts[j].y2 <= texts[i].y1;
                    EXPECT_TRUE(apart) << texts[i].text << " / " << texts[j].text;
                }
            }
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const auto& m) {
                return m.text == std::to_string(node);
            })) << node;
        }
    }
}

TEST(NetworkChapter, TheNodeTableHasEveryLinkedSection) {
    const Project p = SmallNetwork();
    const NetworkChapter chapter = NetworkChapterOf(p, NetworkLimits{});
    ASSERT_EQ(chapter.rows.size(), 4u);
    ASSERT_EQ(chapter.headings.size(), chapter.units.size());
    const Analysed a = Analyse(p);
    for (std::size_t r = 0; r < 4; ++r) {
        const auto& row = chapter.rows[r];
        const int s = static_cast<int>(r) + 1;
        ASSERT_EQ(row.size(), chapter.headings.size());
        EXPECT_EQ(row[0], std::to_string(s));
        EXPECT_EQ(row[1], UpstreamText(p.sections, s));
        EXPECT_EQ(row[5], FormatDecimals(a.result.sections[s].headEnd, 2));
        EXPECT_EQ(row[6], FormatDecimals(a.result.sections[s].pressureEnd, 2));
        EXPECT_EQ(row[7], FormatDecimals(325 - a.input.sections[s].zEnd, 2));
    }
    EXPECT_EQ(chapter.values[0], "Quota piezometrica alla sorgente (H0): 325,00 m s.l.m.");
    // Two sentences on the method, one on how the diameters came about.
    ASSERT_EQ(chapter.method.size(), 3u);
    EXPECT_NE(chapter.method[2].find("tronco per tronco"), std::string::npos);
    EXPECT_NE(chapter.worst.endNode, 0);
    EXPECT_EQ(chapter.checks.size(), a.result.checks.size());
}

TEST(NetworkChapter, WithoutTheSourceHeadItSaysSoAndStatesNoHead) {
    Project p = SmallNetwork();
    p.network.sourceHead.clear();
    const NetworkChapter chapter = NetworkChapterOf(p, NetworkLimits{});
    EXPECT_EQ(chapter.values[0], "Quota piezometrica alla sorgente (H0): non indicata.");
    ASSERT_EQ(chapter.rows.size(), 4u);
    for (const auto& row : chapter.rows) {
        EXPECT_EQ(row[5], "");  // no head
        EXPECT_EQ(row[6], "");  // no pressure
        EXPECT_EQ(row[7], "");  // no static pressure
        EXPECT_NE(row[10].find("n.c."), std::string::npos);
    }
    // No figure is left out in front of its unit.
    for (const std::string& text : chapter.checks) {
        EXPECT_EQ(text.find("  m"), std::string::npos) << text;
    }
    EXPECT_EQ(chapter.worstText.find("minima  m"), std::string::npos) << chapter.worstText;
    EXPECT_EQ(chapter.worstText.find(" m, carico"), std::string::npos) << chapter.worstText;
    // The report still builds, the profile drawn without heads.
    const Document d = BuildWordReport(p, TestOffice);
    EXPECT_GT(d.TableCount(), 0);
}

std::vector<std::string> Texts(const Document& d) {
    return d.ParagraphTexts();
}

TEST(NetworkChapter, OnlyAProjectWithANetworkGetsIt) {
    const Document plain = BuildWordReport(SmallNetwork(false), TestOffice);
    const Document network = BuildWordReport(SmallNetwork(), TestOffice);
    const auto has = [](const Document& d, const std::string& text) {
        const auto texts = Texts(d);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_FALSE(has(plain, "VERIFICA DELLA RETE"));
    EXPECT_TRUE(has(network, "VERIFICA DELLA RETE"));
    // The chapter adds its two tables and one picture.
    EXPECT_EQ(network.TableCount(), plain.TableCount() + 2);
    int pictures = 0;
    for (const Paragraph* para : network.Paragraphs()) {
        if (para->picture) {
            ++pictures;
            const QImage image =
                QImage::fromData(QByteArray::fromStdString(para->picture->png), "PNG");
            EXPECT_FALSE(image.isNull());
            EXPECT_NEAR(para->picture->widthMm / para->picture->heightMm,
                        double(image.width()) / image.height(), 0.01);
            EXPECT_LE(para->picture->widthMm, PageWidthMm - 2 * SideMarginMm);
        }
    }
    EXPECT_EQ(pictures, 1);
    // Without a picture the file has no image part at all.
    std::string plainBytes, networkBytes, error;
    ASSERT_TRUE(EncodeDocx(plain, plainBytes, error)) << error;
    ASSERT_TRUE(EncodeDocx(network, networkBytes, error)) << error;
    EXPECT_EQ(plainBytes.find("word/media/"), std::string::npos);
    EXPECT_NE(networkBytes.find("word/media/image1.png"), std::string::npos);
}

TEST(NetworkChapter, TheDirectPrintFitsThePageAndDrawsTheProfile) {
    for (const bool links : {false, true}) {
        RecordingPrinter printer;
        PrintReport(printer, SmallNetwork(links), TestOffice, 12);
        const auto found = std::find_if(
            printer.lines.begin(), printer.lines.end(), [](const RecordingPrinter::Line& l) {
                return l.text.find("VERIFICA DELLA RETE") != std::string::npos;
            });
        EXPECT_EQ(found != printer.lines.end(), links);
        if (!links) {
            continue;
        }
        // The node table's rows in one line each, within the printable width.
        int rows = 0;
        for (const auto& l : printer.lines) {
            EXPECT_LE(static_cast<double>(CharLength(l.text)) * l.size * 12,
                      printer.PageWidth() + 1e-6)
                << l.text;
            rows += l.text.find(" ok") != std::string::npos ||
                    l.text.find("Vmin") != std::string::npos ||
                    l.text.find("Vmax") != std::string::npos;
        }
        EXPECT_GE(rows, 4);
        // The chart's lines: many more than the page rules, all on the page.
        int drawn = 0;
        for (const auto& r : printer.rules) {
            EXPECT_GE(std::min(r.x1, r.x2), 0);
            EXPECT_LE(std::max(r.x1, r.x2), printer.PageWidth() + 1e-6);
            EXPECT_LE(std::max(r.y1, r.y2), printer.PageHeight() + 1e-6);
            ++drawn;
        }
        EXPECT_GT(drawn, 20);
    }
}

}  // namespace
}  // namespace acquenza
