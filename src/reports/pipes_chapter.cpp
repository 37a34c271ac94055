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

std::vector<std::vector<std::string>> PipeCells(const std::vector<PipeRow>& rows) {
    std::vector<std::vector<std::string>> cells;
    for (const PipeRow& row : rows) {
        std::vector<std::string> c(8);
        c[0] = std::to_string(row.section);
        c[1] = row.theoreticalMm ? DecimalText(*row.theoreticalMm, 1) : "";
        c[2] = row.pipeText;
        if (row.theoreticalPressureEnd || row.pressureEnd) {
            const auto p = [](const std::optional<double>& x) {
                return x ? DecimalText(*x, 2) : std::string("—");
            };
            c[7] = p(row.theoreticalPressureEnd) + " / " + p(row.pressureEnd);
        }
        if (row.state == PipeState::Laid) {
            c[3] = DecimalText(row.internalMm, 1);
            c[6] = NumberText(row.pn);
            if (row.hasLoss) {
                c[4] = DecimalText(row.headLoss, 2);
                c[5] = DecimalText(row.velocityStart, 2) + " / " + DecimalText(row.velocityEnd, 2);
            }
        }
        cells.push_back(std::move(c));
    }
    return cells;
}

std::vector<std::vector<std::string>> BillCells(const Bill& bill) {
    std::vector<std::vector<std::string>> cells;
    for (const BillRow& row : bill.rows) {
        std::string sections;
        for (const int s : row.sections) {
            sections += (sections.empty() ? "" : ", ") + std::to_string(s);
        }
        cells.push_back({row.pipeText, sections, DecimalText(row.metres, 2),
                         row.pricePerMetre ? DecimalText(*row.pricePerMetre, 2) : "",
                         row.amount ? DecimalText(*row.amount, 2) : "", row.material});
    }
    const auto total = [&](const std::string& label, const BillTotal& sum) {
        cells.push_back({label, "", DecimalText(sum.metres, 2), "",
                         sum.allPriced ? DecimalText(sum.amount, 2) : "", ""});
    };
    for (const BillTotal& sum : bill.materialTotals) {
        total("Totale " + sum.material, sum);
    }
    total("Totale generale", bill.total);
    return cells;
}

void TypeTable(DocumentBuilder& doc, const std::vector<std::string>& headings,
               const std::vector<std::vector<std::string>>& rows, const std::vector<bool>& left) {
    const int columns = static_cast<int>(headings.size());
    TableHandle t = doc.AddTable(static_cast<int>(rows.size()) + 1, columns);
    t.SetFontSize(8);
    t.SetHeaderRows(1);
    for (int c = 0; c < columns; ++c) {
        t.SetCell(1, c + 1, headings[static_cast<std::size_t>(c)]);
        t.SetColumnAlignment(
            c + 1, left[static_cast<std::size_t>(c)] ? Alignment::Left : Alignment::Right);
    }
    int r = 2;
    for (const std::vector<std::string>& row : rows) {
        for (int c = 0; c < columns; ++c) {
            // An empty cell is left as the table made it.
            if (!row[static_cast<std::size_t>(c)].empty()) {
                t.SetCell(r, c + 1, row[static_cast<std::size_t>(c)]);
            }
        }
        ++r;
    }
}

}  // namespace

bool HasPipesChapter(const Project& project) {
    return HasNetwork(project) && PipesChosen(project);
}

PipesChapter PipesChapterOf(const Project& project, std::span<const PipeSeries> catalogues) {
    PipesChapter chapter;
    const NetworkResult result =
        AnalyseNetwork(NetworkInputOf(project, NetworkLimits{}, catalogues));
    const NetworkResult theoretical = AnalyseNetwork(NetworkInputOf(project, NetworkLimits{}));
    chapter.introduction = {
        "Per ogni tronco della rete si posa la tubazione commerciale più piccola della serie "
        "scelta il cui diametro interno non è inferiore al diametro teorico del calcolo, salvo "
        "dove la misura è indicata espressamente. Il diametro teorico resta quello del "
        "dimensionamento; perdite, velocità e pressioni della rete sono calcolate con il "
        "diametro interno della tubazione posata.",
        FormulaParagraph(project.network)};
    if (!project.network.series.empty()) {
        chapter.introduction.push_back(
            "Serie delle tubazioni del progetto: " + project.network.series + ".");
    }
    chapter.pipesCaption = "Tabella delle tubazioni posate:";
    chapter.pipeHeadings = {"Tronco",
                            "Diametro teorico (mm)",
                            "Tubazione",
                            "Diametro interno (mm)",
                            "Perdita effettiva (m)",
                            "Velocità iniziale / finale (m/s)",
                            "PN (bar)",
                            "Pressione finale teorica / posata (m)"};
    chapter.pipeLeftAligned = {false, false, true, false, false, false, false, false};
    chapter.pipeRows = PipeCells(PipeRowsOf(project, catalogues, result, &theoretical));

    chapter.pressureCaption =
        "Verifica della classe di pressione (1 bar = " + DecimalText(MetresPerBar, 1) +
        " m di colonna d'acqua):";
    const std::vector<NetworkCheck> checks = PipeChecksOf(project, catalogues, result);
    if (!SourceHeadOf(project.network)) {
        chapter.pressureOutcome =
            "Il carico alla sorgente non è indicato: la pressione statica non si può calcolare.";
    } else if (checks.empty()) {
        chapter.pressureOutcome =
            "La pressione statica alle estremità di ogni tronco non supera la classe di "
            "pressione della tubazione posata.";
    }
    for (const NetworkCheck& check : checks) {
        chapter.pressureChecks.push_back(check.text + ".");
    }

    const Bill bill = BillOf(project, catalogues);
    if (bill.rows.empty()) {
        chapter.billText = "Nessuna tubazione è posata.";
        return chapter;
    }
    bool anyPrice = false;
    for (const BillRow& row : bill.rows) {
        anyPrice = anyPrice || row.pricePerMetre.has_value();
    }
    chapter.billText = std::string("Metri di tubazione per materiale, serie e misura") +
                       (bill.total.allPriced ? ", con gli importi ai prezzi del catalogo."
                        : anyPrice           ? "; gli importi dove il catalogo dà il prezzo."
                                             : " (i cataloghi non danno i prezzi).");
    chapter.billHeadings = {"Tubazione",    "Tronchi",     "Lunghezza (m)",
                            "Prezzo (€/m)", "Importo (€)", "Materiale"};
    chapter.billLeftAligned = {true, true, false, false, false, true};
    chapter.billRows = BillCells(bill);
    return chapter;
}

void WritePipesChapter(DocumentBuilder& doc, const Project& project,
                       std::span<const PipeSeries> catalogues) {
    if (!HasPipesChapter(project)) {
        return;
    }
    const PipesChapter chapter = PipesChapterOf(project, catalogues);
    Heading(doc, "TUBAZIONI POSATE");
    for (const std::string& paragraph : chapter.introduction) {
        doc.TypeText(paragraph + "\r");
    }
    Caption(doc, chapter.pipesCaption);
    TypeTable(doc, chapter.pipeHeadings, chapter.pipeRows, chapter.pipeLeftAligned);

    Caption(doc, chapter.pressureCaption);
    if (!chapter.pressureOutcome.empty()) {
        doc.TypeText(chapter.pressureOutcome + "\r");
    }
    for (const std::string& check : chapter.pressureChecks) {
        doc.TypeText("- " + check + "\r");
    }

    Heading(doc, "COMPUTO DELLE TUBAZIONI");
    doc.TypeText(chapter.billText + "\r");
    if (!chapter.billRows.empty()) {
        TypeTable(doc, chapter.billHeadings, chapter.billRows, chapter.billLeftAligned);
    }
}

}  // namespace acquenza
