// The network summary: velocities against the office's band, and a
// section's profile worked out here again from Darcy's formula.

#include "app/network_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/flows.h"
#include "core/project_network.h"
#include "core/section_calculation.h"

namespace acquenza {
namespace {

void Section(Project& p, int s, const char* length, const char* from, const char* to,
             const char* along, const char* end, const char* pipe) {
    const std::pair<Field, const char*> fields[] = {{Field::lungh, length}, {Field::quotain, from},
                                                    {Field::quotafin, to},  {Field::portun, along},
                                                    {Field::portfin, end},  {Field::tipoc, pipe}};
    for (const auto& [f, text] : fields) {
        p.sections.Set(s, f, FieldValue::Text(text));
    }
    SettleSection(p, s);
}

TEST(NetworkSummary, VelocitiesBelowInsideAndAboveTheBandAreMarked) {
    Project p;
    Section(p, 1, "1000", "120", "100", "5", "2", "in uso");  // 0,30 m/s
    Section(p, 2, "1250", "412.5", "396.2", "0", "27,34", "nuova");
    Section(p, 3, "100", "100", "90", "", "10", "nuova");  // 2,21 m/s
    Section(p, 4, "100", "90", "95", "", "10", "nuova");   // rises: cannot be sized
    Section(p, 5, "100", "90", "80", "", "10", "");        // no pipe type yet
    p.enteredSectionCount = 5;
    Settings settings;
    const NetworkSummary summary = SummarizeNetwork(p, settings);
    ASSERT_EQ(summary.rows.size(), 5u);
    const auto velocity = summary.ColumnOf(Field::vel);
    EXPECT_EQ(summary.rows[0].texts[velocity], "0,30");
    EXPECT_EQ(summary.rows[0].speed, SpeedCheck::Below);
    EXPECT_EQ(summary.rows[0].speedNote, "Velocità 0,30 m/s: sotto il minimo di 0,50 m/s.");
    EXPECT_EQ(summary.rows[1].speed, SpeedCheck::Inside);
    EXPECT_EQ(summary.rows[2].speed, SpeedCheck::Above);
    EXPECT_EQ(summary.rows[2].speedNote, "Velocità 2,21 m/s: sopra il massimo di 2,00 m/s.");
    EXPECT_EQ(summary.rows[3].speed, SpeedCheck::Unsizable);
    EXPECT_EQ(summary.rows[3].texts[velocity], "");
    EXPECT_EQ(summary.rows[3].texts[summary.ColumnOf(Field::dia)], "non dimensionabile");
    EXPECT_EQ(summary.rows[3].speedNote,
              "Tronco non dimensionabile: la quota iniziale non supera quella finale.");
    EXPECT_EQ(summary.rows[4].speed, SpeedCheck::NotSized);
    EXPECT_EQ(summary.rows[4].texts[velocity], "");
    EXPECT_EQ(summary.outsideBand, 2);
    EXPECT_EQ(summary.BottomLine(settings),
              "Tronchi: 5 \u2014 lunghezza totale: 2550,00 m \u2014 fuori dall'intervallo di "
              "velocità 0,50\u20132,00 m/s: 2 \u2014 non dimensionati: 1 \u2014 non "
              "dimensionabili: 1");
    // The office's own band moves the marks.
    settings.velocityMin = 0.2;
    settings.velocityMax = 2.5;
    EXPECT_EQ(SummarizeNetwork(p, settings).outsideBand, 0);
}

// A section of length 0 keeps the 1 mm pipe and the speed of an earlier
// calculation; neither may show as a result.
TEST(NetworkSummary, SectionsThatCannotBeSizedShowNoResults) {
    Project p;
    Section(p, 1, "100", "100", "90", "8,5", "", "nuova");
    p.sections.Set(1, Field::lungh, FieldValue::Text("0"));
    ASSERT_EQ(CalculateSection(p, 1), CalculationOutcome::Calculated);  // 0,1 cm
    Section(p, 2, "100", "100", "90", "", "1e12", "nuova");             // no pipe is enough
    Section(p, 3, "100", "100", "100", "", "1", "in uso");              // level
    const NetworkSummary summary = SummarizeNetwork(p, Settings{});
    ASSERT_EQ(summary.rows.size(), 3u);
    const char* reasons[] = {"la lunghezza non è maggiore di zero",
                             "nessun diametro fino a 10 metri contiene la perdita di carico nel "
                             "dislivello",
                             "la quota iniziale non supera quella finale"};
    for (std::size_t i = 0; i < 3; ++i) {
        const SummaryRow& row = summary.rows[i];
        EXPECT_EQ(row.speed, SpeedCheck::Unsizable) << i;
        EXPECT_EQ(row.speedNote, std::string("Tronco non dimensionabile: ") + reasons[i] + ".");
        for (const Field c : {Field::per, Field::vel, Field::sca}) {
            EXPECT_EQ(row.texts[summary.ColumnOf(c)], "") << i;
        }
        EXPECT_EQ(SummaryCellText(summary, row, summary.ColumnOf(Field::dia)),
                  "non dimensionabile");
    }
    EXPECT_FALSE(ProfileOf(p, 1).sized);
    EXPECT_EQ(summary.unsizable, 3);
    EXPECT_EQ(summary.outsideBand, 0);
}

// Emptying a length in the middle takes the section out of the count, but
// not out of the table, and the sections after it stay.
TEST(NetworkSummary, EverySectionUpToTheLastTypedHasItsRow) {
    Project p;
    for (int s = 1; s <= 12; ++s) {
        Section(p, s, "100", "100", "90", "", "10", "nuova");
    }
    p.sections.Set(3, Field::lungh, FieldValue::Text(""));
    p.sections.Set(14, Field::tipoc, FieldValue::Text("in uso"));  // only a pipe type
    ASSERT_EQ(CountEnteredSections(p), 11);
    const NetworkSummary summary = SummarizeNetwork(p, Settings{});
    ASSERT_EQ(summary.rows.size(), 14u);
    for (int s = 1; s <= 14; ++s) {
        EXPECT_EQ(summary.rows[static_cast<std::size_t>(s - 1)].section, s);
    }
    EXPECT_EQ(summary.rows[2].texts[summary.ColumnOf(Field::lungh)], "");
    EXPECT_EQ(summary.rows[2].speed, SpeedCheck::NotSized);
    EXPECT_EQ(summary.rows[11].speed, SpeedCheck::Above);
    EXPECT_EQ(summary.rows[12].texts[summary.ColumnOf(SummaryValue::Section)], "13");
    EXPECT_EQ(summary.totalLength, 1100);
    EXPECT_EQ(SummarizeNetwork(Project{}, Settings{}).rows.size(), 0u);
}

std::vector<std::vector<std::string>> CsvLines(const std::string& csv) {
    std::vector<std::vector<std::string>> lines;
    std::size_t start = 3;  // after the byte-order mark
    while (start < csv.size()) {
        const std::size_t end = csv.find("\r\n", start);
        const std::string line = csv.substr(start, end - start);
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t semicolon; (semicolon = line.find(';', from)) != std::string::npos;
             from = semicolon + 1) {
            fields.push_back(line.substr(from, semicolon - from));
        }
        fields.push_back(line.substr(from));
        lines.push_back(fields);
        start = end + 2;
    }
    return lines;
}

TEST(NetworkSummary, CsvFireFlowsAreNumbersAndNoTextIsAFormula) {
    Project p;
    Section(p, 1, "100", "90", "100", "", "7,4", "nuova");  // rises: drop -10,00
    p.sections.Set(1, Field::dotazfin, FieldValue::Text(FireMarker));
    Section(p, 2, "100", "100", "90", "2,5", "7,4", "=HYPERLINK(\"http://x\";\"y\")");
    p.sections.Set(2, Field::dotazun, FieldValue::Text(FireMarker));
    p.sections.Set(2, Field::dotazfin, FieldValue::Text(FireMarker));
    const char* risky[] = {"+1", "-nuova", "@SUM(A1)", "\tx", "\rx"};
    int s = 3;
    for (const char* pipe : risky) {
        Section(p, s++, "100", "100", "90", "", "1", pipe);
    }
    const NetworkSummary summary = SummarizeNetwork(p, Settings{});
    EXPECT_EQ(SummaryCellText(summary, summary.rows[0], summary.ColumnOf(Field::portfin)),
              "7,40 ant.");
    const auto lines = CsvLines(SummaryCsv(summary));
    ASSERT_EQ(lines.size(), 8u);
    const std::vector<std::string> heading = {"Tronco",
                                              "Lunghezza (m)",
                                              "Quota iniziale (m)",
                                              "Quota finale (m)",
                                              "Dislivello (m)",
                                              "Portata lungo il tronco (l/s)",
                                              "Portata all'estremità (l/s)",
                                              "Antincendio",
                                              "Residenti serviti",
                                              "Tipo di condotta",
                                              "Perdita di carico (m)",
                                              "Diametro (cm)",
                                              "Velocità (m/s)",
                                              "Scabrezza",
                                              "Verifica velocità"};
    EXPECT_EQ(lines[0], heading);
    EXPECT_EQ(lines[1][4], "-10,00");  // a negative number stays a number
    EXPECT_EQ(lines[1][6], "7,40");
    EXPECT_EQ(lines[1][7], "all'estremità");
    EXPECT_EQ(lines[1][11], "non dimensionabile");
    EXPECT_EQ(lines[1][14], "non dimensionabile");
    EXPECT_EQ(lines[2][5], "2,50");
    EXPECT_EQ(lines[2][7], "lungo il tronco e all'estremità");
    // The quotes around a field holding ";" or '"' come after the apostrophe.
    EXPECT_EQ(lines[2][9] + ";" + lines[2][10], "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\"");
    const std::vector<std::string> guarded = {"'+1", "'-nuova", "'@SUM(A1)", "'\tx", "\"'\rx\""};
    for (std::size_t i = 0; i < guarded.size(); ++i) {
        EXPECT_EQ(lines[3 + i][9], guarded[i]) << i;
        EXPECT_EQ(lines[3 + i][7], "");
    }
}

TEST(NetworkSummary, TheGradeLineFallsByEachSegmentsDarcyLoss) {
    Project p;
    Section(p, 1, "100", "100", "90", "", "10", "nuova");
    const SectionProfile profile = ProfileOf(p, 1);
    ASSERT_TRUE(profile.sized);
    ASSERT_EQ(profile.gradeLine.size(), 15u);
    // D = 0.076 m, B = 0.0025, flows at each segment's upstream end: the end
    // flow plus what is still drawn along (0.0001 l/s in all).
    const double d = 0.076;
    double grade = 100;
    for (int k = 1; k <= 14; ++k) {
        const double q = (10 + 0.0001 - (k - 1) * 0.0001 / 14) / 1000;
        grade -= 0.0025 * (100.0 / 14) * q * q / std::pow(d, 5);
        EXPECT_NEAR(profile.gradeLine[static_cast<std::size_t>(k)], grade, 1e-9) << k;
        EXPECT_NEAR(profile.ground[static_cast<std::size_t>(k)], 100 - 10.0 * k / 14, 1e-9);
        EXPECT_NEAR(profile.distance[static_cast<std::size_t>(k)], 100.0 * k / 14, 1e-12);
    }
    EXPECT_NEAR(profile.headLoss, 100 - grade, 1e-9);
    EXPECT_DOUBLE_EQ(profile.drop, 10);
}

// ---- the network's columns ---------------------------------------------

namespace network {

struct Typed {
    int section;
    const char *length, *from, *to, *along, *end, *pipe;
    const char* link;  // "" stand-alone
};

// A main from the source with two branches, and a section on its own:
//   source → 1 → 2 (delivery typed), 1 → 3 (starts 2 m above 1's end, and
//   ends low: static pressure over the limit), 4 alone.
Project Branched(const char* sourceHead) {
    Project p;
    const Typed sections[] = {
        {1, "500", "400", "380", "0", "0", "nuova", "0"},
        {2, "300", "380", "360", "1,5", "0", "nuova", "1"},
        {3, "300", "382", "300", "0", "1", "nuova", "1"},
        {4, "200", "200", "190", "0", "3", "in uso", ""},
    };
    for (const Typed& s : sections) {
        Section(p, s.section, s.length, s.from, s.to, s.along, s.end, s.pipe);
    }
    for (const Typed& s : sections) {
        if (*s.link != '\0') {
            p.sections.Set(s.section, LinkField, UpstreamValue(p.sections, std::atoi(s.link)));
        }
    }
    p.sections.Set(2, NodeDemandField, FieldValue::Text("2"));
    p.network.sourceHead = sourceHead;
    SettleNetwork(p);
    for (int s = 1; s <= 4; ++s) {
        SettleSection(p, s);
    }
    p.enteredSectionCount = 4;
    return p;
}

double Number(const NetworkSummary& summary, int section, SummaryValue value) {
    return summary.rows[static_cast<std::size_t>(section - 1)].numbers[summary.ColumnOf(value)];
}

std::string Text(const NetworkSummary& summary, int section, SummaryValue value) {
    return summary.rows[static_cast<std::size_t>(section - 1)].texts[summary.ColumnOf(value)];
}

TEST(NetworkSummaryColumns, FiguresAtEveryNodeAndTheChecksMarked) {
    const Project p = Branched("420");
    const NetworkSummary summary = SummarizeNetwork(p, Settings{});
    ASSERT_TRUE(summary.network);
    ASSERT_EQ(summary.rows.size(), 4u);
    // Beside the number, what the user types; after the results, the analysis.
    EXPECT_EQ(summary.ColumnOf(SummaryValue::Link), 1u);
    EXPECT_EQ(summary.ColumnOf(SummaryValue::NodeDemand), 2u);
    EXPECT_GT(summary.ColumnOf(SummaryValue::FlowEnd), summary.ColumnOf(Field::sca));

    EXPECT_EQ(Text(summary, 1, SummaryValue::Link), "0");
    EXPECT_EQ(Text(summary, 3, SummaryValue::Link), "1");
    // What leaves node 1 enters sections 2 and 3: their flows along and at
    // their ends (2 delivered by node 2, 1 by node 3).
    // (A flow along typed as 0 counts as the calculation's tiny flow.)
    EXPECT_NEAR(Number(summary, 1, SummaryValue::FlowEnd), 1.5 + 2 + 0 + 1, 1e-3);
    EXPECT_EQ(Text(summary, 2, SummaryValue::NodeDemand), "2,00");
    EXPECT_FALSE(summary.rows[1].demandDerived);
    EXPECT_EQ(summary.rows[1].demandTyped, "2");
    EXPECT_TRUE(summary.rows[2].demandDerived);  // the leaf's typed end flow
    EXPECT_EQ(Text(summary, 3, SummaryValue::NodeDemand), "1,00");
    for (int s = 1; s <= 3; ++s) {
        const double zEnd = NumericValue(p.sections, s, Field::quotafin);
        EXPECT_NEAR(Number(summary, s, SummaryValue::PressureEnd),
                    Number(summary, s, SummaryValue::HeadEnd) - zEnd, 1e-9)
            << s;
        EXPECT_DOUBLE_EQ(Number(summary, s, SummaryValue::StaticPressure), 420 - zEnd) << s;
        EXPECT_GT(Number(summary, s, SummaryValue::Gradient), 0) << s;
        EXPECT_GT(Number(summary, s, SummaryValue::MaxVelocity), 0) << s;
    }
    // Heads fall along the main into each branch.
    EXPECT_LT(Number(summary, 1, SummaryValue::HeadEnd), 420);
    EXPECT_LT(Number(summary, 2, SummaryValue::HeadEnd), Number(summary, 1, SummaryValue::HeadEnd));

    const SummaryRow& branch = summary.rows[2];
    EXPECT_TRUE(branch.HasCheck(CheckKind::HighStaticPressure));
    EXPECT_TRUE(branch.HasCheck(CheckKind::ElevationMismatch));
    EXPECT_NE(Text(summary, 3, SummaryValue::NetworkChecks).find("pressione statica alta"),
              std::string::npos);
    EXPECT_NE(Text(summary, 3, SummaryValue::NetworkChecks).find("quote non raccordate"),
              std::string::npos);
    EXPECT_NE(branch.checkNote.find("Nodo 3: pressione statica di 120,00 m, sopra il massimo di "
                                    "70,00 m."),
              std::string::npos);
    // The section on its own has no network figure at all.
    const SummaryRow& alone = summary.rows[3];
    EXPECT_FALSE(alone.linked);
    for (std::size_t c = summary.ColumnOf(SummaryValue::Link); c < summary.columns.size(); ++c) {
        if (summary.columns[c].value >= SummaryValue::Link) {
            EXPECT_EQ(alone.texts[c], "") << summary.columns[c].heading;
        }
    }
    EXPECT_EQ(summary.networkChecked, static_cast<int>(std::count_if(
                                          summary.rows.begin(), summary.rows.end(),
                                          [](const SummaryRow& r) { return !r.checks.empty(); })));
    EXPECT_NE(
        summary.BottomLine(Settings{}).find("tronchi con verifiche della rete non superate: "),
        std::string::npos);
}

TEST(NetworkSummaryColumns, WithoutTheSourcesHeadNoHeadIsShownAndTheCheckSaysWhy) {
    const NetworkSummary summary = SummarizeNetwork(Branched(""), Settings{});
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(Text(summary, s, SummaryValue::HeadEnd), "") << s;
        EXPECT_EQ(Text(summary, s, SummaryValue::PressureEnd), "") << s;
        EXPECT_EQ(Text(summary, s, SummaryValue::StaticPressure), "") << s;
        EXPECT_TRUE(
            summary.rows[static_cast<std::size_t>(s - 1)].HasCheck(CheckKind::NotComputable))
            << s;
        EXPECT_NE(Text(summary, s, SummaryValue::NetworkChecks).find("carico non calcolabile"),
                  std::string::npos);
    }
    // Flows need no head.
    EXPECT_NEAR(Number(summary, 1, SummaryValue::FlowEnd), 4.5, 1e-3);
}

TEST(NetworkSummaryColumns, TheSpreadsheetCarriesTheNetworkHeadingsOnlyWithANetwork) {
    const auto lines = CsvLines(SummaryCsv(SummarizeNetwork(Branched("420"), Settings{})));
    ASSERT_EQ(lines.size(), 5u);
    const std::vector<std::string> wanted = {
        "Tronco a monte",         "Erogazione al nodo (l/s)",
        "Portata di valle (l/s)", "Quota piezometrica finale (m)",
        "Pressione al nodo (m)",  "Pressione statica (m)",
        "Velocità massima (m/s)", "Cadente (m/km)",
        "Verifiche della rete"};
    std::size_t at = 0;
    for (const std::string& heading : wanted) {
        const auto found = std::find(lines[0].begin(), lines[0].end(), heading);
        ASSERT_NE(found, lines[0].end()) << heading;
        const auto position = static_cast<std::size_t>(found - lines[0].begin());
        EXPECT_GT(position, at) << heading;  // in this order
        at = position;
    }
    EXPECT_EQ(lines[0][1], "Tronco a monte");
    EXPECT_EQ(lines[0].back(), "Verifica velocità");
    EXPECT_EQ(lines[1][1], "0");
    EXPECT_EQ(lines[4][1], "");  // the section on its own
    for (const auto& line : lines) {
        EXPECT_EQ(line.size(), lines[0].size());
    }

    // Links taken away, the project has no network: the file is the one
    // of the single sections, heading for heading and cell for cell.
    Project plain = Branched("420");
    for (int s = 1; s <= 4; ++s) {
        plain.sections.Set(s, LinkField, FieldValue());
    }
    const NetworkSummary single = SummarizeNetwork(plain, Settings{});
    EXPECT_FALSE(single.network);
    EXPECT_EQ(single.columns.size(), SummaryColumnsOf(plain.Fields()).size());
    EXPECT_EQ(single.ColumnOf(SummaryValue::Link), single.columns.size());
    EXPECT_EQ(single.BottomLine(Settings{}).find("rete"), std::string::npos);
    const auto plainLines = CsvLines(SummaryCsv(single));
    EXPECT_EQ(plainLines[0].size(), 15u);
    EXPECT_EQ(plainLines[0][1], "Lunghezza (m)");
}

}  // namespace network

}  // namespace
}  // namespace acquenza
