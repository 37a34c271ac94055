#include "app/network_window_commands.h"

#include "app/network_model.h"
#include "app/network_sizing_commands.h"
#include "app/sizing_catalogues.h"
#include "archive/atomic_file.h"
#include "archive/project_file.h"
#include "interchange/project_exchange.h"

namespace acquenza {

namespace {

constexpr const char* Title = "Acquenza: rete";
// Far beyond a network of 500 sections written as 14 pipes each.
constexpr std::uintmax_t MaxEpanetFileBytes = 64u << 20;

}  // namespace

void NetworkWindowCommands::Tell(const std::string& text, MessageIcon icon) {
    dialogs_.Inform(Title, text, icon);
}

bool NetworkWindowCommands::SizeNetwork(bool reduceCost) {
    // The catalogues read at start-up; a caller that read none names a folder.
    const CatalogueSet catalogues =
        state_.catalogues.series.empty() ? ProgramCatalogues(catalogueFolder_) : state_.catalogues;
    const PipeSeries* series = FindSeries(catalogues, state_.project.network.series);
    std::string warning;
    if (series == nullptr && !state_.project.network.series.empty()) {
        warning = "La serie di tubazioni «" + state_.project.network.series +
                  "» del progetto non è tra i cataloghi: si dimensionano i soli diametri "
                  "teorici.\n";
    }
    const NetworkSizingOutcome outcome = SizeProjectNetwork(state_, series, reduceCost);
    const bool clean = outcome.done && outcome.sizing.problems.empty() && warning.empty();
    Tell(warning + outcome.message, clean ? MessageIcon::Information : MessageIcon::Exclamation);
    return outcome.done;
}

bool NetworkWindowCommands::ExportEpanet(const std::string& projectName) {
    // The catalogues read at start-up; a caller that read none names a folder.
    const CatalogueSet catalogues =
        state_.catalogues.series.empty() ? ProgramCatalogues(catalogueFolder_) : state_.catalogues;
    const PipeSeries* series = FindSeries(catalogues, state_.project.network.series);
    const interchange::ProjectInpExport exported = interchange::ExportProjectToEpanet(
        state_.project, OfficeLimits(state_.settings),
        series != nullptr ? std::optional<double>(series->roughnessMm) : std::nullopt,
        state_.catalogues.series);
    if (!exported.ok) {
        Tell("Esportazione non eseguita. " + exported.error, MessageIcon::Exclamation);
        return false;
    }
    std::string name = projectName.empty() ? "rete" : "rete-" + projectName;
    for (char& c : name) {
        c = c == '/' || c == '\\' ? '_' : c;  // a name, not a path
    }
    std::optional<std::string> chosen = dialogs_.ChooseFile({FileDialogRequest::Kind::Save,
                                                             "Esporta per EPANET",
                                                             name + ".inp",
                                                             {{"File di EPANET", "*.inp"}},
                                                             0});
    if (!chosen) {
        return false;
    }
    if (!chosen->ends_with(".inp") && !chosen->ends_with(".INP")) {
        *chosen += ".inp";
    }
    const ArchiveResult written = WriteFileAtomically(*chosen, exported.text);
    if (!written.ok) {
        Tell("Esportazione non eseguita. " + written.message, MessageIcon::Stop);
        return false;
    }
    if (!exported.leftOut.empty()) {
        Tell(
            "Rete esportata in \"" + *chosen + "\".\n" + interchange::LeftOutText(exported.leftOut),
            MessageIcon::Information);
    }
    return true;
}

std::string NetworkWindowCommands::ImportEpanet() {
    const std::optional<std::string> file = dialogs_.ChooseFile(
        {FileDialogRequest::Kind::Open, "Importa da EPANET", "", {{"File di EPANET", "*.inp"}}, 0});
    if (!file) {
        return {};
    }
    std::string text;
    const ArchiveResult read = ReadWholeFile(*file, MaxEpanetFileBytes, text);
    if (!read.ok) {
        Tell("Importazione non eseguita. " + read.message, MessageIcon::Stop);
        return {};
    }
    // The catalogues read at start-up; a caller that read none names a folder.
    const CatalogueSet catalogues =
        state_.catalogues.series.empty() ? ProgramCatalogues(catalogueFolder_) : state_.catalogues;
    const interchange::ProjectInpImport imported =
        interchange::ImportProjectFromEpanet(text, catalogues.series);
    std::string notes;
    for (const std::string& note : imported.notes) {
        notes += "\n" + note;
    }
    if (!imported.ok) {
        Tell("Importazione non eseguita. " + imported.error + notes, MessageIcon::Exclamation);
        return {};
    }
    const std::optional<std::string> target =
        dialogs_.ChooseFile({FileDialogRequest::Kind::Save,
                             "Salva la rete importata come progetto",
                             "Acquenza-dati-",
                             {{"File di dati di Acquenza", "Acquenza-dati-*"}},
                             0,
                             "Acquenza-dati-"});
    if (!target) {
        return {};
    }
    if (*target == state_.currentFileName) {
        Tell("Il file \"" + *target +
                 "\" è il progetto aperto: la rete importata va salvata in un altro file.",
             MessageIcon::Exclamation);
        return {};
    }
    const ArchiveResult written = WriteProjectFile(*target, imported.project);
    if (!written.ok) {
        Tell("Progetto non salvato. " + written.message, MessageIcon::Stop);
        return {};
    }
    Tell("La rete di \"" + *file + "\" è ora il progetto \"" + *target + "\" (" +
             std::to_string(imported.project.enteredSectionCount) + " tronchi): si apre con Apri." +
             notes,
         MessageIcon::Information);
    return *target;
}

}  // namespace acquenza
