#include "interchange/project_exchange.h"

#include <cmath>
#include <map>

#include "core/numbers.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "interchange/branched_export.h"
#include "interchange/branched_import.h"
#include "interchange/network_exchange.h"

namespace acquenza::interchange {

NetworkInput EpanetInputOf(const Project& project, const NetworkLimits& office,
                           std::optional<double> seriesRoughnessMm,
                           std::span<const PipeSeries> catalogues) {
    NetworkInput input = NetworkInputOf(project, office, catalogues);
    for (NetworkSection& s : input.sections) {
        if (s.loss.formula == LossFormula::Coefficient) {
            s.loss.roughnessMm = seriesRoughnessMm.value_or(DefaultRoughnessMm);
            s.loss.formula = LossFormula::DarcyWeisbach;
        }
    }
    return input;
}

std::string LeftOutText(const std::vector<int>& leftOut) {
    if (leftOut.empty()) {
        return {};
    }
    std::string text = leftOut.size() == 1 ? "Tronco non collegato alla rete, lasciato fuori: "
                                           : "Tronchi non collegati alla rete, lasciati fuori: ";
    for (std::size_t i = 0; i < leftOut.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(leftOut[i]);
    }
    return text + ".";
}

ProjectInpExport ExportProjectToEpanet(const Project& project, const NetworkLimits& office,
                                       std::optional<double> seriesRoughnessMm,
                                       std::span<const PipeSeries> catalogues) {
    ProjectInpExport out;
    if (!HasNetwork(project)) {
        out.error =
            "Il progetto non ha una rete: nessun tronco ha il «tronco a monte», e senza rete non "
            "c'è nulla da esportare per EPANET.";
        return out;
    }
    if (!SourceHeadOf(project.network) || !std::isfinite(*SourceHeadOf(project.network))) {
        out.error =
            "Manca il carico alla sorgente: senza di esso EPANET non ha da dove far partire la "
            "rete.";
        return out;
    }
    const NetworkInput input = EpanetInputOf(project, office, seriesRoughnessMm, catalogues);
    const NetworkTree tree = BuildTree(input);
    if (tree.order.empty()) {
        out.error = "Nessun tronco della rete parte dalla sorgente (tronco a monte 0).";
        return out;
    }
    // The coefficient's stand-in never applies: every section is Darcy-Weisbach now.
    NetworkExport exported = ExportNetwork(input, project.titles.progetto, 0);
    if (!exported.ok) {
        out.error = exported.error;
        return out;
    }
    out.leftOut = exported.leftOut;
    if (!out.leftOut.empty()) {
        exported.network.comments.push_back(LeftOutText(out.leftOut));
    }
    const InpExportResult file = ExportToInp(exported.network);
    if (!file.ok) {
        out.error = file.error;
        return out;
    }
    out.text = file.text;
    out.ok = true;
    return out;
}

namespace {

// The catalogue size whose internal diameter is `mm` (to the file's
// hundredth of a millimetre).
std::optional<std::size_t> SizeOf(const PipeSeries& series, double mm) {
    for (std::size_t k = 0; k < series.sizes.size(); ++k) {
        if (std::abs(series.sizes[k].internalMm - mm) < 0.005) {
            return k;
        }
    }
    return std::nullopt;
}

// The title page prints a title of at most 60 characters on its line: a
// longer one is cut at the last blank within them.
std::string ShortTitle(const std::string& title) {
    constexpr std::size_t Most = 60;
    if (CharLength(title) <= Most) {
        return title;
    }
    std::size_t cut = 0;
    std::size_t blank = 0;
    for (std::size_t i = 0, characters = 0; i < title.size(); ++i) {
        if ((static_cast<unsigned char>(title[i]) & 0xC0) == 0x80) {
            continue;  // inside a character
        }
        if (characters == Most) {
            cut = i;
            break;
        }
        if (title[i] == ' ') {
            blank = i;
        }
        ++characters;
    }
    return title.substr(0, blank > 0 ? blank : cut);
}

}  // namespace

ProjectInpImport ImportProjectFromEpanet(std::string_view text,
                                         const std::vector<PipeSeries>& catalogues) {
    ProjectInpImport out;
    const BranchedImportResult read = ImportFromInp(text);
    out.notes = read.notes;
    if (!read.ok) {
        out.error = read.error;
        return out;
    }
    const BranchedNetwork& net = read.network;
    const int count = static_cast<int>(net.sections.size());
    if (count > MaxSections) {
        out.error = "La rete ha " + std::to_string(count) +
                    " tronchi: il progetto ne tiene al più " + std::to_string(MaxSections) + ".";
        return out;
    }
    // The series that has the most of the file's diameters among its sizes.
    const PipeSeries* series = nullptr;
    int best = 0;
    for (const PipeSeries& candidate : catalogues) {
        int matched = 0;
        for (const BranchedSection& s : net.sections) {
            matched += SizeOf(candidate, s.diameter_mm) ? 1 : 0;
        }
        if (matched > best) {
            best = matched;
            series = &candidate;
        }
    }
    Project& project = out.project;
    project.titles.progetto = ShortTitle(net.title);
    if (project.titles.progetto != net.title) {
        out.notes.push_back("Il titolo del file è lungo: il progetto tiene i primi " +
                            std::to_string(CharLength(project.titles.progetto)) + " caratteri («" +
                            project.titles.progetto + "»).");
    }
    project.network.sourceHead = NumberText(net.sourceHead_m);
    SectionTable& t = project.sections;
    std::vector<char> hasDownstream(static_cast<std::size_t>(count + 1), 0);
    for (const BranchedSection& s : net.sections) {
        hasDownstream[static_cast<std::size_t>(s.upstream)] = 1;
    }
    for (int i = 1; i <= count; ++i) {
        const BranchedSection& s = net.sections[static_cast<std::size_t>(i - 1)];
        t.Set(i, Field::lungh, FieldValue::Number(s.length_m));
        t.Set(i, Field::quotain, FieldValue::Number(s.startElevation_m));
        t.Set(i, Field::quotafin, FieldValue::Number(s.endElevation_m));
        t.Set(i, Field::portun, FieldValue::Number(s.alongFlow_lps));
        t.Set(i, Field::tipoc, FieldValue::Text("nuova"));
        if (hasDownstream[static_cast<std::size_t>(i)]) {
            t.Set(i, NodeDemandField, FieldValue::Text(NumberText(s.endDemand_lps)));
        } else {
            t.Set(i, Field::portfin, FieldValue::Number(s.endDemand_lps));
        }
        t.Set(i, NetworkDiameterField, FieldValue::Number(s.diameter_mm));
        if (series != nullptr) {
            if (const std::optional<std::size_t> k = SizeOf(*series, s.diameter_mm)) {
                t.Set(i, PipeSizeField, FieldValue::Text(series->sizes[*k].label));
                ++out.matchedSizes;
            }
        }
    }
    // Links after every section has its id.
    for (int i = 1; i <= count; ++i) {
        t.Set(i, LinkField,
              UpstreamValue(t, net.sections[static_cast<std::size_t>(i - 1)].upstream));
    }
    if (series != nullptr) {
        project.network.series = series->name;
        out.notes.push_back("Diametri che sono misure della serie «" + series->name +
                            "»: " + std::to_string(out.matchedSizes) + " tronchi su " +
                            std::to_string(count) + ".");
    }
    CountEnteredSections(project);
    SettleNetwork(project);
    for (int i = 1; i <= count; ++i) {
        SettleSection(project, i);
    }
    out.ok = true;
    return out;
}

}  // namespace acquenza::interchange
