#include "app/title_page_model.h"

#include <algorithm>
#include <array>

#include "app/entry_check.h"
#include "app/settings.h"
#include "core/numbers.h"

namespace acquenza {

TitlePageModel::TitlePageModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows,
                               std::string today)
    : state_(state), dialogs_(dialogs), windows_(windows), today_(std::move(today)) {}

void TitlePageModel::Load() {
    officeName_ = state_.settings.officeName;
    officeAddress_ = state_.settings.officeAddress;
    // No office is made up: an empty one is printed empty, and the window
    // says where the installation sets it.
    const std::string file = SettingsFileToEdit(state_.settings);
    officeNameHint_.clear();
    officeAddressHint_.clear();
    if (officeName_.empty() && officeAddress_.empty()) {
        // One phrase over the two boxes, each short enough for its box.
        officeNameHint_ = "da impostare: [ufficio] nome=… e indirizzo=…";
        officeAddressHint_ = "nel file " + file;
    } else if (officeName_.empty()) {
        officeNameHint_ = "da impostare: [ufficio] nome=… nel file " + file;
    } else if (officeAddress_.empty()) {
        officeAddressHint_ = "da impostare: [ufficio] indirizzo=… nel file " + file;
    }
    StartAfresh();
    reportBodyFontSize_ = 12;
}

void TitlePageModel::StartAfresh() {
    texts_ = {};
    texts_[data] = today_;
    guidance_ =
        "Digitare i dati fino ad un massimo di 60 caratteri per campo o prelevare un file "
        "dall'archivio.";
    const std::size_t slash = fileDialogName_.rfind('/');
    fileDialogName_ =
        (slash == std::string::npos ? std::string() : fileDialogName_.substr(0, slash + 1)) +
        "Acquenza-dati-";
}

void TitlePageModel::TypeInField(int field, const std::string& text) {
    if (field < progetto || field > allegati) {
        return;
    }
    if (!AcceptTypedText(text, dialogs_, state_.mod.titles.CheckTitle)) {
        return;  // the field keeps its previous text
    }
    static const std::array<const char*, TitleTextCount> names = {
        "progetto",          "località", "tipologia di studio", "committente", "luogo elaborazione",
        "data elaborazione", "allegati"};
    const std::string name = names[static_cast<std::size_t>(field)];
    EditScope step(state_, name + " del frontespizio", 0, "frontespizio " + name);
    SetField(field, text);
}

void TitlePageModel::SetField(int field, const std::string& text) {
    if (field < progetto || field > allegati) {
        return;
    }
    std::string& stored = texts_[static_cast<std::size_t>(field)];
    state_.history.NoteTitle(field, stored, text);
    stored = text;
    WarnFieldTooLong(field);
}

void TitlePageModel::RestoreField(int field, const std::string& text) {
    if (field >= progetto && field <= allegati) {
        texts_[static_cast<std::size_t>(field)] = text;
    }
}

void TitlePageModel::WarnFieldTooLong(int field) {
    if (CharLength(Text(field)) > MaxFieldLength) {
        dialogs_.Inform(state_.mod.titles.CheckTitle,
                        "Per una stampa corretta non digitare dati lunghi più di 60 spazi.",
                        MessageIcon::Exclamation);
    }
}

void TitlePageModel::ClickOfficeField() {
    std::string text =
        "Attenzione: dato non modificabile, rivolgersi a Software Verdano, produttrice del "
        "programma.";
    if (officeName_.empty() || officeAddress_.empty()) {
        text += "\n\nIl nome e l'indirizzo dello studio si impostano " +
                WhereTheOfficeIsSet(state_.settings) +
                "; valgono dal successivo avvio del programma.";
    }
    dialogs_.Inform(state_.mod.titles.CheckTitle, text, MessageIcon::Stop);
}

void TitlePageModel::CheckFields() {
    const auto empty = [&](int f) { return Text(f).empty(); };
    const std::string& title = state_.mod.titles.CheckTitle;
    if (empty(progetto) && empty(localita) && empty(tipostudio) && empty(committente) &&
        empty(luogo) && empty(allegati)) {
        dialogs_.Inform(title, "Non è stato immesso alcun dato.", MessageIcon::Question);
    } else if (std::any_of(texts_.begin(), texts_.end(), [](const auto& t) { return t.empty(); })) {
        dialogs_.Inform(title, "Inserire dati per ogni campo.", MessageIcon::Exclamation);
    } else {
        dialogs_.Inform(title, "I dati sono stati immessi correttamente.",
                        MessageIcon::Information);
    }
}

void TitlePageModel::ClearWindow() {
    EditScope step(state_, "cancellazione dei dati del frontespizio", 0);
    for (int f = progetto; f <= allegati; ++f) {
        SetField(f, "");
    }
}

void TitlePageModel::ChooseBackground() {
    if (const std::optional<Rgb> chosen = dialogs_.ChooseColour(lastChosenColour_)) {
        lastChosenColour_ = *chosen;
        background_ = *chosen;
    }
}

void TitlePageModel::ShowHelpMessage() {
    dialogs_.Inform(state_.mod.titles.HelpTitle,
                    "- Digitare o correggere i dati spostandosi con il tasto TAB, o con il mouse, "
                    "nei campi;\n"
                    "- la data viene impostata in automatico, ma è modificabile;\n"
                    "\n"
                    "- aprire un file archiviato per prelevare, eventualmente, i dati registrati "
                    "(Acquenza-dati-...);\n"
                    "- non digitare dati più lunghi di 60 spazi;\n"
                    "- effettuare il controllo dei dati immessi cliccando sul tasto ABC.",
                    MessageIcon::Information);
}

void TitlePageModel::AskForGuide() {
    if (dialogs_.AskYesNo(state_.mod.titles.HelpTitle,
                          "E' questa la finestra 'Frontespizio': si vuole la guida della finestra?",
                          MessageIcon::Question, Answer::Yes)) {
        ShowWindowGuide();
    }
}

void TitlePageModel::ShowWindowGuide() {
    if (windows_.IsAvailable(WindowId::guidafrontespizio)) {
        windows_.Show(WindowId::guidafrontespizio);
    }
}

}  // namespace acquenza
