#include "app/pipe_commands.h"

#include <algorithm>
#include <cstdlib>

#include "app/network_model.h"
#include "app/network_summary.h"
#include "archive/atomic_file.h"
#include "core/numbers.h"
#include "core/pipe_tables.h"
#include "core/project_network.h"

namespace acquenza {

namespace fs = std::filesystem;

std::vector<fs::path> CatalogueFolders(const fs::path& companionFolder, const char* xdgConfigHome,
                                       const char* home, const char* xdgConfigDirs) {
    const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
    const fs::path inFolder = fs::path("Acquenza") / CatalogueFolderName;
    std::vector<fs::path> folders = {companionFolder / CatalogueFolderName};
    std::vector<fs::path> system;
    const std::string dirs = set(xdgConfigDirs) ? xdgConfigDirs : "/etc/xdg";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t colon = std::min(dirs.find(':', start), dirs.size());
        if (colon > start) {
            system.push_back(fs::path(dirs.substr(start, colon - start)) / inFolder);
        }
        start = colon + 1;
    }
    // The first folder of the list prevails, so it is read last.
    folders.insert(folders.end(), system.rbegin(), system.rend());
    if (set(xdgConfigHome)) {
        folders.push_back(xdgConfigHome / inFolder);
    } else if (set(home)) {
        folders.push_back(fs::path(home) / ".config" / inFolder);
    }
    return folders;
}

CatalogueSet LoadProgramCatalogues(const fs::path& companionFolder) {
    return LoadCatalogues(CatalogueFolders(companionFolder, std::getenv("XDG_CONFIG_HOME"),
                                           std::getenv("HOME"), std::getenv("XDG_CONFIG_DIRS")));
}

std::string CatalogueProblemsText(const CatalogueSet& catalogues) {
    if (catalogues.errors.empty()) {
        return {};
    }
    std::string text =
        "Alcuni cataloghi delle tubazioni non sono stati letti, e le loro serie non si "
        "possono scegliere:";
    for (const std::string& error : catalogues.errors) {
        text += "\n- " + error;
    }
    return text;
}

std::string PipeFormulaText(LossFormula formula) {
    return formula == LossFormula::DarcyWeisbach
               ? "Darcy-Weisbach con l'indice di resistenza di Colebrook-White (acqua a 10 °C)"
               : "formula del calcolo dei tronchi (coefficiente secondo il tipo di condotta)";
}

void PipeCommands::Refuse(const std::string& text) {
    dialogs_.Inform(state_.identity.titles.CheckTitle, text, MessageIcon::Exclamation);
}

bool PipeCommands::LinkedSection(int section) {
    if (!SectionTable::IsValidSection(section)) {
        return false;
    }
    if (!UpstreamOf(state_.project.sections, section)) {
        Refuse("Tronco n." + SignedText(section) +
               ":\nla tubazione si sceglie per i tronchi della rete: dare prima il «tronco a "
               "monte».");
        return false;
    }
    return true;
}

bool PipeCommands::SetProjectSeries(const std::string& name) {
    if (!name.empty() && FindSeries(catalogues_.series, name) == nullptr) {
        Refuse("La serie «" + name + "» non è in nessun catalogo delle tubazioni.");
        return false;
    }
    if (state_.project.network.series == name) {
        return true;
    }
    EditScope step(state_, "serie delle tubazioni", 0);
    state_.project.network.series = name;
    return true;
}

bool PipeCommands::SetSectionSeries(int section, const std::string& name) {
    if (!LinkedSection(section)) {
        return false;
    }
    if (!name.empty() && FindSeries(catalogues_.series, name) == nullptr) {
        Refuse("Tronco n." + SignedText(section) + ":\nla serie «" + name +
               "» non è in nessun catalogo delle tubazioni.");
        return false;
    }
    SectionTable& t = state_.project.sections;
    if (t.Get(section, SeriesField).DisplayText() == name) {
        return true;
    }
    EditScope step(state_, "serie del tronco n." + SignedText(section), section);
    t.Set(section, SeriesField, FieldValue::Text(name));
    // A size the new series does not have would leave the section without a
    // pipe: it goes back to the choice by the diameter.
    const std::string size = t.Get(section, PipeSizeField).DisplayText();
    const std::vector<std::string> sizes = SizeLabels(section);
    if (!size.empty() && std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
        t.Set(section, PipeSizeField, FieldValue::Text(""));
    }
    return true;
}

bool PipeCommands::SetSectionSize(int section, const std::string& label) {
    if (!LinkedSection(section)) {
        return false;
    }
    if (!label.empty()) {
        const std::vector<std::string> sizes = SizeLabels(section);
        if (std::find(sizes.begin(), sizes.end(), label) == sizes.end()) {
            const SectionPipe pipe = PipeOf(state_.project, section, catalogues_.series);
            Refuse(
                "Tronco n." + SignedText(section) + ":\n" +
                (pipe.seriesName.empty()
                     ? std::string("scegliere prima la serie delle tubazioni.")
                     : "la misura «" + label + "» non è nella serie «" + pipe.seriesName + "»."));
            return false;
        }
    }
    SectionTable& t = state_.project.sections;
    if (t.Get(section, PipeSizeField).DisplayText() == label) {
        return true;
    }
    EditScope step(state_, "misura del tronco n." + SignedText(section), section);
    t.Set(section, PipeSizeField, FieldValue::Text(label));
    return true;
}

bool PipeCommands::SetFormula(LossFormula formula) {
    const std::string text =
        formula == LossFormula::DarcyWeisbach ? std::string(DarcyWeisbachName) : std::string();
    if (state_.project.network.pipeFormula == text) {
        return true;
    }
    EditScope step(state_, "formula delle perdite", 0);
    state_.project.network.pipeFormula = text;
    return true;
}

std::vector<std::string> PipeCommands::SeriesNames() const {
    std::vector<std::string> names;
    for (const PipeSeries& series : catalogues_.series) {
        names.push_back(series.name);
    }
    return names;
}

std::vector<std::string> PipeCommands::SizeLabels(int section) const {
    std::vector<std::string> labels;
    if (!SectionTable::IsValidSection(section)) {
        return labels;
    }
    const std::string own = state_.project.sections.Get(section, SeriesField).DisplayText();
    const PipeSeries* series =
        FindSeries(catalogues_.series, own.empty() ? state_.project.network.series : own);
    if (series != nullptr) {
        for (const PipeSize& size : series->sizes) {
            labels.push_back(size.label);
        }
    }
    return labels;
}

std::string PipeCommands::ProposedSeries() const {
    if (!state_.project.network.series.empty()) {
        return state_.project.network.series;
    }
    return FindSeries(catalogues_.series, state_.settings.pipeSeries) != nullptr
               ? state_.settings.pipeSeries
               : std::string();
}

std::string PipeBillText(const ProgramState& state) {
    const std::vector<PipeSeries>& catalogues = state.catalogues.series;
    const Bill bill = BillOf(state.project, catalogues);
    if (bill.rows.empty()) {
        return {};
    }
    const std::string rows =
        PipeRowsCsv(PipeRowsWithPressures(state.project, catalogues, OfficeLimits(state.settings)));
    // One file, two tables: the second without its byte-order mark.
    return BillCsv(bill) + "\r\n" + rows.substr(3);
}

bool PipeCommands::ExportBill(const std::string& projectName) {
    const std::string text = PipeBillText(state_);
    if (text.empty()) {
        dialogs_.Inform(CatalogueTitle, NothingLaidText, MessageIcon::Exclamation);
        return false;
    }
    const std::optional<std::string> chosen =
        ChooseCsvFile(dialogs_, "Computo delle tubazioni", "computo", projectName);
    if (!chosen) {
        return false;
    }
    const ArchiveResult written = WriteFileAtomically(*chosen, text);
    if (!written.ok) {
        dialogs_.Inform(CatalogueTitle, "Computo non scritto. " + written.message,
                        MessageIcon::Stop);
        return false;
    }
    return true;
}

}  // namespace acquenza
