#include "reports/network_chapter.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <cmath>

#include "core/decimal_text.h"
#include "core/project_network.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

std::size_t Slot(int section) {
    return static_cast<std::size_t>(section);
}

std::string Fixed(double x, int decimals) {
    return std::isfinite(x) ? FormatDecimals(x, decimals) : std::string();
}

const char* MarkOf(CheckKind kind) {
    switch (kind) {
        case CheckKind::LowPressure:
            return "Pmin";
        case CheckKind::HighStaticPressure:
            return "Pstat";
        case CheckKind::HighVelocity:
            return "Vmax";
        case CheckKind::LowVelocity:
            return "Vmin";
        case CheckKind::ElevationMismatch:
            return "quote";
        case CheckKind::NotComputable:
        case CheckKind::Detached:
        case CheckKind::LinkRefused:
            return "n.c.";
        case CheckKind::PressureClass:
            return "PN";
        case CheckKind::NoPipe:
            return "tubo";
    }
    return "";
}

}  // namespace

namespace {

// How the data file names the methods of sizing from the source's head.
constexpr const char* PathsMethod = "percorso";
constexpr const char* PathsLeastCostMethod = "percorso e costo";

}  // namespace

std::string SizingMethodText(const std::string& storedMethod) {
    if (storedMethod == PathsMethod) {
        return "metodo del percorso più sfavorevole dalla sorgente";
    }
    if (storedMethod == PathsLeastCostMethod) {
        return "metodo del percorso più sfavorevole dalla sorgente, con riduzione del costo";
    }
    return "dimensionamento tronco per tronco sul dislivello di ciascun tronco";
}

std::vector<std::string> SizingReportLines(const Project& project, const NetworkLimits& office,
                                           std::span<const PipeSeries> catalogues) {
    std::vector<std::string> lines;
    const std::string& method = project.network.sizingMethod;
    if (method != PathsMethod && method != PathsLeastCostMethod) {
        return lines;
    }
    lines.push_back("La rete è stata dimensionata con il " + SizingMethodText(method) +
                    ": lungo ogni percorso dalla sorgente a un nodo terminale il carico "
                    "disponibile è il carico alla sorgente meno la quota del nodo e la pressione "
                    "minima; il percorso con il minore carico disponibile per metro fissa la "
                    "cadente dei suoi tronchi, e le diramazioni si dimensionano allo stesso modo "
                    "dal carico raggiunto dove si staccano.");
    const NetworkResult result = AnalyseNetwork(NetworkInputOf(project, office, catalogues));
    for (const NetworkPath& path : result.paths) {
        std::string line = "Percorso fino al nodo " + std::to_string(path.endNode) +
                           ": lunghezza " + DecimalText(path.length, 2) +
                           " m, carico disponibile " + DecimalText(path.availableHead, 2) + " m";
        if (path.availablePerMetre) {
            line += ", cadente " + DecimalText(*path.availablePerMetre * 1000, 2) + " m/km";
        }
        lines.push_back(line + ".");
    }
    return lines;
}

NetworkChapter NetworkChapterOf(const Project& project, const NetworkLimits& office,
                                std::span<const PipeSeries> catalogues) {
    NetworkChapter chapter;
    const NetworkInput input = NetworkInputOf(project, office, catalogues);
    const NetworkResult result = AnalyseNetwork(input);
    const NetworkLimits& limits = input.limits;

    chapter.values = {
        std::isfinite(input.sourceHead)
            ? "Quota piezometrica alla sorgente (H0): " + Fixed(input.sourceHead, 2) + " m s.l.m."
            : "Quota piezometrica alla sorgente (H0): non indicata.",
        "Pressione minima ai nodi: " + Fixed(limits.minimumPressure, 2) + " m.",
        "Pressione statica massima ai nodi: " + Fixed(limits.maximumStaticPressure, 2) + " m.",
        "Velocità ammessa: da " + Fixed(limits.minimumVelocity, 2) +
            " m/s all'estremità finale "
            "a " +
            Fixed(limits.maximumVelocity, 2) + " m/s all'inizio del tronco.",
    };
    chapter.method = {
        "I tronchi collegati formano un albero alimentato dalla sorgente: la portata che esce "
        "dall'estremità di ogni tronco è l'erogazione del suo nodo più quanto entra nei tronchi "
        "che proseguono da esso, e la quota piezometrica alla fine del tronco è quella al suo "
        "inizio meno la perdita di carico calcolata sui 14 tratti.",
        "In ogni nodo la pressione è la quota piezometrica meno la quota del terreno, la "
        "pressione statica è la quota piezometrica della sorgente meno la quota del terreno, e "
        "le due sono confrontate con i limiti indicati, come le velocità all'inizio e alla fine "
        "di ogni tronco.",
    };
    // How the diameters came about, and the paths the sizing worked along.
    std::vector<std::string> sizing = SizingReportLines(project, office, catalogues);
    if (sizing.empty()) {
        sizing.push_back("I diametri teorici sono quelli del " +
                         SizingMethodText(project.network.sizingMethod) + ".");
    }
    for (std::string& line : sizing) {
        chapter.method.push_back(std::move(line));
    }
    chapter.headings = {"nodo",   "monte",   "erog.", "port.v.", "q.terr.", "q.piez.",
                        "press.", "p.stat.", "v.max", "cadente", "esito"};
    chapter.units = {"n.", "n.", "l/s", "l/s", "m", "m", "m", "m", "m/s", "m/km", ""};
    chapter.marks = {
        {"monte", "tronco a monte (0 = sorgente)"},
        {"erog.", "erogazione al nodo"},
        {"port.v.", "portata di valle, che esce dall'estremità del tronco"},
        {"q.terr.", "quota del terreno al nodo"},
        {"q.piez.", "quota piezometrica al nodo"},
        {"press.", "pressione al nodo"},
        {"p.stat.", "pressione statica al nodo"},
        {"v.max", "velocità all'inizio del tronco"},
        {"cadente", "perdita di carico per chilometro"},
        {"Pmin", "pressione sotto la minima"},
        {"Pstat", "pressione statica sopra la massima"},
        {"Vmax", "velocità sopra la massima"},
        {"Vmin", "velocità all'estremità sotto la minima"},
        {"quote", "quota iniziale diversa da quella finale del tronco a monte"},
        {"n.c.", "carico non calcolabile"},
    };
    for (int i = 1; i <= input.SectionCount(); ++i) {
        const NetworkSection& s = input.sections[Slot(i)];
        if (!s.upstream || !s.entered) {
            continue;
        }
        const SectionHydraulics& h = result.sections[Slot(i)];
        const bool computed = h.state == HeadState::Computed;
        const bool reached = h.state != HeadState::NotInNetwork && h.state != HeadState::Detached;
        std::string marks;
        for (const NetworkCheck& check : result.checks) {
            if (check.section == i) {
                const std::string mark = MarkOf(check.kind);
                if (marks.find(mark) == std::string::npos) {
                    marks += (marks.empty() ? "" : " ") + mark;
                }
            }
        }
        chapter.rows.push_back({
            std::to_string(i),
            std::to_string(*s.upstream),
            Fixed(s.nodeDemand, 2),
            Fixed(h.flowEnd, 2),
            Fixed(s.zEnd, 2),
            computed ? Fixed(h.headEnd, 2) : "",
            computed ? Fixed(h.pressureEnd, 2) : "",
            reached && std::isfinite(input.sourceHead) ? Fixed(h.staticEnd, 2) : "",
            h.hasLoss ? Fixed(h.velocityStart, 2) : "",
            h.hasLoss ? Fixed(h.gradientPerKm, 2) : "",
            marks.empty() ? "ok" : marks,
        });
    }
    for (const NetworkCheck& check : result.checks) {
        chapter.checks.push_back(check.text);
    }
    chapter.outcome =
        chapter.checks.empty()
            ? "Tutti i nodi rispettano i limiti di pressione e tutti i tronchi quelli di "
              "velocità."
            : "Le verifiche segnalano " + std::to_string(chapter.checks.size()) +
                  (chapter.checks.size() == 1 ? " punto da rivedere:" : " punti da rivedere:");
    chapter.worst = WorstPathProfile(input, result);
    if (chapter.worst.endNode != 0) {
        const NetworkPath& path = result.paths[*result.worstPath];
        std::string sections;
        for (const int s : path.sections) {
            sections += (sections.empty() ? "" : ", ") + std::to_string(s);
        }
        chapter.worstText =
            "Il percorso più sfavorevole, quello con il minore carico disponibile per metro di "
            "lunghezza, va dalla sorgente al nodo " +
            std::to_string(path.endNode) + " attraverso i tronchi " + sections + ": lunghezza " +
            Fixed(path.length, 2) + " m" +
            (std::isfinite(path.availableHead) ? ", carico disponibile oltre la pressione minima " +
                                                     Fixed(path.availableHead, 2) + " m."
                                               : ".");
    } else {
        chapter.worstText = chapter.worst.note;
    }
    return chapter;
}

void TypeNetworkChapter(DocumentBuilder& doc, const NetworkChapter& chapter,
                        const std::string& fontName) {
    doc.SetFontSize(18);
    doc.TypeText("\r\r");
    doc.SetKeepWithNext(true);
    doc.TypeText("VERIFICA DELLA RETE\r\r");
    doc.SetKeepWithNext(false);
    doc.SetFontSize(12);
    for (const std::string& value : chapter.values) {
        doc.TypeText(value + "\r");
    }
    doc.TypeText("\r");
    for (const std::string& sentence : chapter.method) {
        doc.TypeText(sentence + "\r");
    }
    doc.TypeText("\r");
    doc.SetKeepWithNext(true);
    doc.TypeText("Legenda:\r");
    doc.SetKeepWithNext(false);
    TableHandle legend = doc.AddTable(static_cast<int>(chapter.marks.size()) + 1, 2);
    legend.SetFontSize(10);
    legend.SetKeepTogether(true);
    legend.SetCell(1, 1, "simbolo");
    legend.SetCell(1, 2, "significato");
    for (std::size_t i = 0; i < chapter.marks.size(); ++i) {
        legend.SetCell(static_cast<int>(i) + 2, 1, chapter.marks[i].first);
        legend.SetCell(static_cast<int>(i) + 2, 2, chapter.marks[i].second);
    }
    doc.SetFontSize(12);
    doc.TypeText("\r");
    doc.SetKeepWithNext(true);
    doc.TypeText("Tabella dei nodi:\r");
    doc.SetKeepWithNext(false);
    const int columns = static_cast<int>(chapter.headings.size());
    TableHandle nodes = doc.AddTable(static_cast<int>(chapter.rows.size()) + 2, columns);
    nodes.SetFontSize(8);
    nodes.SetHeaderRows(2);
    for (int c = 1; c <= columns; ++c) {
        nodes.SetCell(1, c, chapter.headings[Slot(c - 1)]);
        nodes.SetCell(2, c, chapter.units[Slot(c - 1)]);
        nodes.SetColumnAlignment(c, c == columns ? Alignment::Left : Alignment::Right);
    }
    for (std::size_t r = 0; r < chapter.rows.size(); ++r) {
        for (int c = 1; c <= columns; ++c) {
            nodes.SetCell(static_cast<int>(r) + 3, c, chapter.rows[r][Slot(c - 1)]);
        }
    }
    nodes.ShrinkToFit(5);
    doc.SetFontSize(12);
    doc.TypeText("\r" + chapter.outcome + "\r");
    for (const std::string& check : chapter.checks) {
        doc.TypeText("- " + check + "\r");
    }
    doc.TypeText("\r");
    doc.SetKeepWithNext(true);
    doc.TypeText(chapter.worstText + "\r");
    if (chapter.worst.endNode != 0) {
        // Drawn at about 250 dots per inch over the printable width.
        constexpr double WidthMm = 170;
        constexpr double HeightMm = 100;
        constexpr double DotsPerMm = 10;
        QFont font(QString::fromStdString(fontName));
        font.setPixelSize(static_cast<int>(3.0 * DotsPerMm));  // about 8.5 points
        const QImage image = PathProfileImage(chapter.worst, static_cast<int>(WidthMm * DotsPerMm),
                                              static_cast<int>(HeightMm * DotsPerMm), font);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        doc.SetKeepWithNext(false);
        doc.InsertPicture(Picture{png.toStdString(), WidthMm, HeightMm,
                                  "Profilo lungo il percorso dalla sorgente al nodo " +
                                      std::to_string(chapter.worst.endNode)});
    }
    doc.SetKeepWithNext(false);
    doc.TypeText("\r");
}

}  // namespace acquenza
