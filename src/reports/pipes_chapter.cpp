#include "reports/pipes_chapter.h"

#include <string>
#include <vector>

#include "core/decimal_text.h"
#include "core/numbers.h"
#include "core/pipe_tables.h"
#include "core/project_network.h"
#include "core/project_pipes.h"

namespace acquenza {

namespace {

void Heading(DocumentBuilder& doc, const std::string& text) {
    doc.SetFontSize(18);
    doc.TypeText("\r\r");
    doc.TypeText(text + "\r\r");
    doc.SetFontSize(12);
}

void Caption(DocumentBuilder& doc, const std::string& text) {
    doc.SetFontSize(12);
    doc.TypeText("\r" + text + "\r");
}

std::string FormulaParagraph(const NetworkSettings& settings) {
    if (PipeFormulaOf(settings) == LossFormula::DarcyWeisbach) {
        return "Le perdite di carico delle tubazioni posate sono calcolate con la formula di "
               "Darcy-Weisbach, h = f · (L/14) / D · v² / (2 g), su ciascuno dei 14 tratti del "
               "tronco, con l'indice di resistenza f dato dalla formula di Colebrook-White, "
               "1/√f = −2 log10(ε/(3,7 D) + 2,51/(Re √f)), e la scabrezza ε del materiale "
               "indicata dal catalogo; acqua a 10 °C (viscosità cinematica 1,307·10⁻⁶ m²/s), "
               "g = 9,80665 m/s². D è il diametro interno della tubazione posata.";
    }
    return "Le perdite di carico delle tubazioni posate sono calcolate con la stessa formula "
           "del dimensionamento, Y = B · (L/14) · (Q/1000)² / D⁵ su ciascuno dei 14 tratti del "
           "tronco, con B = 0,0025 per le condotte nuove e 0,004 per quelle in uso, ponendo per "
           "D il diametro interno della tubazione posata.";
}

void PipeTable(DocumentBuilder& doc, const std::vector<PipeRow>& rows) {
    TableHandle t = doc.AddTable(static_cast<int>(rows.size()) + 1, 8);
    t.SetFontSize(8);
    t.SetHeaderRows(1);
    const char* headings[] = {"Tronco",
                              "Diametro teorico (mm)",
                              "Tubazione",
                              "Diametro interno (mm)",
                              "Perdita effettiva (m)",
                              "Velocità iniziale / finale (m/s)",
                              "PN (bar)",
                              "Pressione finale teorica / posata (m)"};
    for (int c = 0; c < 8; ++c) {
        t.SetCell(1, c + 1, headings[c]);
        t.SetColumnAlignment(c + 1, c == 2 ? Alignment::Left : Alignment::Right);
    }
    int r = 2;
    for (const PipeRow& row : rows) {
        const bool laid = row.state == PipeState::Laid;
        t.SetCell(r, 1, std::to_string(row.section));
        t.SetCell(r, 2, row.theoreticalMm ? DecimalText(*row.theoreticalMm, 1) : "");
        t.SetCell(r, 3, row.pipeText);
        if (row.theoreticalPressureEnd || row.pressureEnd) {
            const auto p = [](const std::optional<double>& x) {
                return x ? DecimalText(*x, 2) : std::string("—");
            };
            t.SetCell(r, 8, p(row.theoreticalPressureEnd) + " / " + p(row.pressureEnd));
        }
        if (laid) {
            t.SetCell(r, 4, DecimalText(row.internalMm, 1));
            t.SetCell(r, 7, NumberText(row.pn));
            if (row.hasLoss) {
                t.SetCell(r, 5, DecimalText(row.headLoss, 2));
                t.SetCell(
                    r, 6,
                    DecimalText(row.velocityStart, 2) + " / " + DecimalText(row.velocityEnd, 2));
            }
        }
        ++r;
    }
}

void BillTable(DocumentBuilder& doc, const Bill& bill) {
    const int rows = static_cast<int>(bill.rows.size() + bill.materialTotals.size()) + 2;
    TableHandle t = doc.AddTable(rows, 6);
    t.SetFontSize(8);
    t.SetHeaderRows(1);
    const char* headings[] = {"Tubazione",    "Tronchi",     "Lunghezza (m)",
                              "Prezzo (€/m)", "Importo (€)", "Materiale"};
    for (int c = 0; c < 6; ++c) {
        t.SetCell(1, c + 1, headings[c]);
        t.SetColumnAlignment(c + 1,
                             c == 0 || c == 1 || c == 5 ? Alignment::Left : Alignment::Right);
    }
    int r = 2;
    for (const BillRow& row : bill.rows) {
        std::string sections;
        for (const int s : row.sections) {
            sections += (sections.empty() ? "" : ", ") + std::to_string(s);
        }
        t.SetCell(r, 1, row.pipeText);
        t.SetCell(r, 2, sections);
        t.SetCell(r, 3, DecimalText(row.metres, 2));
        t.SetCell(r, 4, row.pricePerMetre ? DecimalText(*row.pricePerMetre, 2) : "");
        t.SetCell(r, 5, row.amount ? DecimalText(*row.amount, 2) : "");
        t.SetCell(r, 6, row.material);
        ++r;
    }
    auto total = [&](const std::string& label, const BillTotal& sum) {
        t.SetCell(r, 1, label);
        t.SetCell(r, 3, DecimalText(sum.metres, 2));
        t.SetCell(r, 5, sum.allPriced ? DecimalText(sum.amount, 2) : "");
        ++r;
    };
    for (const BillTotal& sum : bill.materialTotals) {
        total("Totale " + sum.material, sum);
    }
    total("Totale generale", bill.total);
}

}  // namespace

bool HasPipesChapter(const Project& project) {
    return HasNetwork(project) && PipesChosen(project);
}

void WritePipesChapter(DocumentBuilder& doc, const Project& project,
                       std::span<const PipeSeries> catalogues) {
    if (!HasPipesChapter(project)) {
        return;
    }
    const NetworkResult result =
        AnalyseNetwork(NetworkInputOf(project, NetworkLimits{}, catalogues));
    const NetworkResult theoretical = AnalyseNetwork(NetworkInputOf(project, NetworkLimits{}));
    const std::vector<PipeRow> rows = PipeRowsOf(project, catalogues, result, &theoretical);
    Heading(doc, "TUBAZIONI POSATE");
    doc.TypeText(
        "Per ogni tronco della rete si posa la tubazione commerciale più piccola della serie "
        "scelta il cui diametro interno non è inferiore al diametro teorico del calcolo, salvo "
        "dove la misura è indicata espressamente. Il diametro teorico resta quello del "
        "dimensionamento; perdite, velocità e pressioni della rete sono calcolate con il "
        "diametro interno della tubazione posata.\r");
    doc.TypeText(FormulaParagraph(project.network) + "\r");
    if (!project.network.series.empty()) {
        doc.TypeText("Serie delle tubazioni del progetto: " + project.network.series + ".\r");
    }
    Caption(doc, "Tabella delle tubazioni posate:");
    PipeTable(doc, rows);

    Caption(doc, "Verifica della classe di pressione (1 bar = " + DecimalText(MetresPerBar, 1) +
                     " m di colonna d'acqua):");
    const std::vector<NetworkCheck> checks = PipeChecksOf(project, catalogues, result);
    if (!SourceHeadOf(project.network)) {
        doc.TypeText(
            "Il carico alla sorgente non è indicato: la pressione statica non si può "
            "calcolare.\r");
    } else if (checks.empty()) {
        doc.TypeText(
            "La pressione statica alle estremità di ogni tronco non supera la classe di "
            "pressione della tubazione posata.\r");
    }
    for (const NetworkCheck& check : checks) {
        doc.TypeText("- " + check.text + ".\r");
    }

    const Bill bill = BillOf(project, catalogues);
    Heading(doc, "COMPUTO DELLE TUBAZIONI");
    if (bill.rows.empty()) {
        doc.TypeText("Nessuna tubazione è posata.\r");
        return;
    }
    bool anyPrice = false;
    for (const BillRow& row : bill.rows) {
        anyPrice = anyPrice || row.pricePerMetre.has_value();
    }
    doc.TypeText(std::string("Metri di tubazione per materiale, serie e misura") +
                 (bill.total.allPriced ? ", con gli importi ai prezzi del catalogo."
                  : anyPrice           ? "; gli importi dove il catalogo dà il prezzo."
                                       : " (i cataloghi non danno i prezzi).") +
                 "\r");
    BillTable(doc, bill);
}

}  // namespace acquenza
