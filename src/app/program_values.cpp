#include "app/program_values.h"

namespace acquenza {

void InitProgramValues(ProgramValues& values) {
    values.ProgramName = "Acquenza";
    values.ProgramSubtitle = "calcoli idraulici per tronchi di condotte idriche";
    values.ProgramVersion = "3.04.05";
    values.VersionDate = "27/04/1999";
    values.BuildYear = "11";
}

void InitSharedTitles(SharedTitles& titles, const ProgramValues& values) {
    titles.CheckTitle = "Acquenza: controllo dati immessi nella finestra attiva";
    titles.DeleteDialogTitle =
        "Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo";
    titles.HelpTitle = values.ProgramName + ": aiuto in linea";
}

}  // namespace acquenza
