#include "app/archive_messages.h"

#include <ctime>

#include "app/archive_commands.h"
#include "core/numbers.h"

namespace acquenza {

namespace {

Message Tell(std::string text, MessageIcon icon) {
    return {ArchiveCommands::ArchiveTitle, std::move(text), icon, MessageButtons::Ok, Answer::Ok};
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Values(int count) {
    return std::to_string(count) + (count == 1 ? " dato" : " dati");
}

// "la riga 3 contiene 1 dato invece dei 10 del tronco n. 2"
std::string LayoutText(const LayoutDifference& layout) {
    const std::string line = "la riga" + SignedText(layout.line);
    if (layout.holds == 0) {
        return line + " contiene " + Values(layout.valuesFound) +
               " invece del solo numero dei tronchi";
    }
    const std::string of = layout.holds == LayoutDifference::TitleLine
                               ? "del frontespizio"
                               : "del tronco n." + SignedText(layout.holds);
    if (layout.valuesFound == 0) {
        return line + " è vuota, mentre dovrebbe contenere i " + Values(layout.valuesExpected) +
               " " + of;
    }
    return line + " contiene " + Values(layout.valuesFound) + " invece dei " +
           std::to_string(layout.valuesExpected) + " " + of;
}

}  // namespace

OpenReport ReportOpen(const ReadOutcome& outcome, const std::string& path) {
    OpenReport report;
    const std::string forget = "per archiviarli occorre scegliere di nuovo il nome del file.";
    if (outcome.NothingRead()) {
        report.read = OpenReport::Read::Nothing;
        report.forgetFileName = true;
        std::string what =
            outcome.opened ? "Il file " + Quoted(path) + " non è stato letto: " + outcome.message
                           : outcome.message;
        if (outcome.readAsUtf16) {
            what += " Il file sembra un testo nella codifica UTF-16.";
        }
        report.messages.push_back(Tell(what + " Nessun dato è stato letto.", MessageIcon::Stop));
        return report;
    }
    if (!outcome.complete) {
        report.read = OpenReport::Read::UpToLine;
        report.lastLine = outcome.lastLineRead;
        report.forgetFileName = true;
        report.messages.push_back(
            {ArchiveCommands::ArchiveTitle,
             "Il file " + Quoted(path) + " è stato letto solo fino alla riga" +
                 SignedText(outcome.lastLineRead) + ": " + outcome.message +
                 "\nMostrare i dati letti fino a quel punto? Con «No» resta il progetto "
                 "attuale; con «Sì», " +
                 forget,
             MessageIcon::Question, MessageButtons::YesNo, Answer::No});
    }
    if (outcome.layout.line != 0) {
        report.forgetFileName = true;
        report.messages.push_back(Tell(
            "Il file " + Quoted(path) + " sembra modificato a mano: " + LayoutText(outcome.layout) +
                ".\nI dati sono stati letti come si trovano nel file, ma da quella riga in "
                "poi potrebbero essere finiti nei campi sbagliati: controllarli" +
                (outcome.complete ? "; " + forget : "."),
            MessageIcon::Exclamation));
    }
    if (outcome.readAsUtf8 || outcome.readAsUtf16) {
        report.messages.push_back(
            Tell("Il file " + Quoted(path) +
                     (outcome.readAsUtf16 ? " sembra un testo nella codifica UTF-16"
                                          : " è scritto nella codifica UTF-8") +
                     " ed è stato letto come tale. Alla prossima "
                     "archiviazione sarà salvato nella codifica propria di Acquenza "
                     "(Windows-1252).",
                 MessageIcon::Information));
    }
    return report;
}

std::string SaveFailureText(const ArchiveResult& result, const std::string& path) {
    if (result.writeProtected) {
        return "Archiviazione non eseguita: il file " + Quoted(path) + " è protetto da scrittura.";
    }
    return "Archiviazione non eseguita. " + result.message;
}

std::string DeleteFailureText(const ArchiveResult& result, const std::string& path) {
    if (result.writeProtected) {
        return "Eliminazione non eseguita: il file " + Quoted(path) + " è protetto da scrittura.";
    }
    return result.message;
}

Message InterruptedSaveQuestion(const std::string& path, const InterruptedSave& found) {
    std::tm local{};
    localtime_r(&found.madeAt, &local);
    char day[16] = "";
    char hour[8] = "";
    std::strftime(day, sizeof day, "%d/%m/%Y", &local);
    std::strftime(hour, sizeof hour, "%H:%M", &local);
    // Opening the copy writes nothing: the file is replaced only when the
    // user saves.
    return {ArchiveCommands::ArchiveTitle,
            "È stata trovata una copia di sicurezza del file " + Quoted(path) + ", fatta il " +
                day + " alle " + hour +
                " da un'archiviazione che non si è conclusa: il file potrebbe essere "
                "incompleto.\nAprire la copia al posto del file? Con «Sì» il file sarà sostituito "
                "dalla copia alla prossima archiviazione; con «No» si apre il file così com'è e "
                "la copia resta in " +
                Quoted(found.copy.string()) + " fino alla prossima archiviazione.",
            MessageIcon::Question, MessageButtons::YesNo, Answer::Yes};
}

Message ChangedOnDiskQuestion(const std::string& path) {
    return {ArchiveCommands::ArchiveTitle,
            "Il file " + Quoted(path) +
                " è stato modificato da un altro programma dopo l'apertura. Sovrascriverlo?",
            MessageIcon::Question, MessageButtons::YesNo, Answer::No};
}

}  // namespace acquenza
