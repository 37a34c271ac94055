#include "app/entry_check.h"

#include "archive/cp1252.h"

namespace acquenza {

bool AcceptTypedText(std::string_view text, Dialogs& dialogs, const std::string& checkTitle) {
    if (text.find('"') != std::string_view::npos) {
        dialogs.Inform(checkTitle,
                       "Le virgolette (\") non possono essere archiviate nel file dati: il testo "
                       "digitato viene annullato.",
                       MessageIcon::Stop);
        return false;
    }
    if (!IsCp1252Representable(text)) {
        dialogs.Inform(checkTitle,
                       "Il testo digitato contiene un carattere che non può essere archiviato "
                       "nel file dati: viene annullato.",
                       MessageIcon::Stop);
        return false;
    }
    return true;
}

}  // namespace acquenza
