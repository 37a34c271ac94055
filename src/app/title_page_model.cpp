#include "app/title_page_model.h"

#include <algorithm>

#include "app/entry_check.h"
#include "app/settings.h"
#include "core/numbers.h"

namespace acquenza {

TitlePageModel::TitlePageModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows)
    : state_(state), dialogs_(dialogs), windows_(windows) {}

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
    guidance_ =
        "Digitare i dati fino ad un massimo di 60 caratteri per campo o prelevare un file "
        "dall'archivio.";
    const std::size_t slash = fileDialogName_.rfind('/');
    fileDialogName_ =
        (slash == std::string::npos ? std::string() : fileDialogName_.substr(0, slash + 1)) +
        "Acquenza-dati-";
}

void TitlePageModel::TypeInField(TitleField field, const std::string& text) {
    if (static_cast<int>(field) < 0 || static_cast<int>(field) >= TitleTextCount) {
        return;
    }
    if (!AcceptTypedText(text, dialogs_, state_.identity.titles.CheckTitle)) {
        return;  // the field keeps its previous text
    }
    const std::string name(SpecOf(field).stepName);
    EditScope step(state_, name + " del frontespizio", 0, "frontespizio " + name);
    TitleText(state_.project.titles, field) = text;
    WarnIfTitleTooLong(text, dialogs_, state_.identity.titles);
}

void WarnIfTitleTooLong(const std::string& text, Dialogs& dialogs, const SharedTitles& titles) {
    if (CharLength(text) > TitlePageModel::MaxFieldLength) {
        dialogs.Inform(titles.CheckTitle,
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
    dialogs_.Inform(state_.identity.titles.CheckTitle, text, MessageIcon::Stop);
}

void TitlePageModel::CheckFields() {
    const TitleTexts& t = Texts();
    const std::string& title = state_.identity.titles.CheckTitle;
    // The date is filled in by the program: it alone is no data.
    if (t.progetto.empty() && t.localita.empty() && t.tipostudio.empty() && t.committente.empty() &&
        t.luogo.empty() && t.allegati.empty()) {
        dialogs_.Inform(title, "Non è stato immesso alcun dato.", MessageIcon::Question);
    } else if (std::any_of(TitleFields.begin(), TitleFields.end(),
                           [&](const TitleFieldSpec& f) { return (t.*f.text).empty(); })) {
        dialogs_.Inform(title, "Inserire dati per ogni campo.", MessageIcon::Exclamation);
    } else {
        dialogs_.Inform(title, "I dati sono stati immessi correttamente.",
                        MessageIcon::Information);
    }
}

void TitlePageModel::ClearWindow() {
    EditScope step(state_, "cancellazione dei dati del frontespizio", 0);
    state_.project.titles = TitleTexts{};
}

void TitlePageModel::ChooseBackground() {
    if (const std::optional<Rgb> chosen = dialogs_.ChooseColour(lastChosenColour_)) {
        lastChosenColour_ = *chosen;
        background_ = *chosen;
    }
}

void TitlePageModel::ShowHelpMessage() {
    dialogs_.Inform(state_.identity.titles.HelpTitle,
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
    if (dialogs_.AskYesNo(state_.identity.titles.HelpTitle,
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
