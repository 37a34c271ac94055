#include "app/data_window_model.h"

#include <algorithm>
#include <utility>

#include "app/entry_check.h"
#include "app/title_page_model.h"
#include "core/flows.h"
#include "core/numbers.h"
#include "core/section_calculation.h"

namespace acquenza {

namespace {

bool IsResultField(Field f) {
    return f == Field::per || f == Field::dia || f == Field::vel || f == Field::sca;
}

std::size_t ResultIndex(Field f) {
    return static_cast<std::size_t>(f) - static_cast<std::size_t>(Field::per);
}

std::string Prefix(int section) {
    return "Tronco n." + SignedText(section) + ": ";
}

}  // namespace

DataWindowModel::DataWindowModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows)
    : state_(state), project_(state.project), dialogs_(dialogs), windows_(windows) {}

void DataWindowModel::Load() {
    InitSharedTitles(state_.mod.titles, state_.mod.values);
    UpdateGuidance();
    project_.firstVisibleSection = 1;
    for (int r = 1; r <= Rows; ++r) {
        auto& list = pipeTypeLists_[static_cast<std::size_t>(r)];
        list.assign(PipeTypes.begin(), PipeTypes.end());
    }
}

const std::string& DataWindowModel::BoxText(int row, Field field) const {
    return boxes_[static_cast<std::size_t>(row)][static_cast<std::size_t>(field)];
}

std::string& DataWindowModel::Box(int row, Field field) {
    return boxes_[static_cast<std::size_t>(row)][static_cast<std::size_t>(field)];
}

std::string DataWindowModel::NumCaption(int row) const {
    return std::to_string(SectionOfRow(row));
}

std::string DataWindowModel::NumTooltip(int row) const {
    return "vengono visualizzati i risultati del tronco n." + SignedText(SectionOfRow(row));
}

std::string DataWindowModel::DeleteTooltip(int row) const {
    return "cliccare per cancellare la riga n." + SignedText(SectionOfRow(row));
}

const std::vector<std::string>& DataWindowModel::PipeTypeList(int row) const {
    return pipeTypeLists_[static_cast<std::size_t>(row)];
}

const std::string& DataWindowModel::ResultText(Field result) const {
    static const std::string none;
    return IsResultField(result) ? results_[ResultIndex(result)] : none;
}

std::optional<DataWindowModel::FocusRequest> DataWindowModel::TakeFocusRequest() {
    return std::exchange(focus_, std::nullopt);
}

void DataWindowModel::Error(const std::string& text, MessageIcon icon) {
    dialogs_.Inform(state_.mod.titles.CheckTitle, text, icon);
}

// ---------------------------------------------------------------- the boxes

void DataWindowModel::TypeInBox(int row, Field field, const std::string& text) {
    if (row < 1 || row > Rows || static_cast<int>(field) >= InputFieldCount) {
        return;
    }
    if (!AcceptTypedText(text, dialogs_, state_.mod.titles.CheckTitle)) {
        return;  // the box keeps its previous text
    }
    Box(row, field) = text;
    RunHandler(row, field, true);
}

void DataWindowModel::WriteBox(int row, Field field, std::string text) {
    Box(row, field) = std::move(text);
    RunHandler(row, field, false);
}

void DataWindowModel::RunHandler(int row, Field field, bool typedByUser) {
    project_.currentSection = SectionOfRow(row);
    switch (field) {
        case Field::lungh:
            OnLengthTyped(row);
            break;
        case Field::quotain:
            OnInitialElevationTyped(row);
            break;
        case Field::quotafin:
            OnFinalElevationTyped(row);
            break;
        case Field::portun:
        case Field::portfin:
            OnFlowTyped(row, field);
            break;
        case Field::abitun:
        case Field::abitfin:
            OnResidentsTyped(row, field, typedByUser);
            break;
        case Field::dotazun:
        case Field::dotazfin:
            OnAllowanceTyped(row, field);
            break;
        case Field::tipoc:
            OnPipeTypeChanged(row, true);
            break;
        default:
            break;
    }
}

void DataWindowModel::PickPipeType(int row, const std::string& text) {
    if (row < 1 || row > Rows) {
        return;
    }
    project_.currentSection = SectionOfRow(row);
    Box(row, Field::tipoc) = text;
    OnPipeTypeChanged(row, false);
}

// Stores a box's text in its field. A number whose own text is written back
// (a refresh, the default allowance) stays the number it was.
void DataWindowModel::StoreBox(int row, Field field) {
    const int s = SectionOfRow(row);
    const std::string& text = BoxText(row, field);
    const FieldValue& stored = project_.sections.Get(s, field);
    if (stored.IsNumber() && stored.DisplayText() == text) {
        return;
    }
    project_.sections.Set(s, field, FieldValue::Text(text));
}

void DataWindowModel::OnLengthTyped(int row) {
    const int s = SectionOfRow(row);
    const std::string text = BoxText(row, Field::lungh);
    const int count = project_.enteredSectionCount;
    if (!text.empty() && s > 1 && project_.sections.Get(s - 1, Field::lungh).IsEmpty() &&
        count < s) {
        Error("Non è possibile digitare dati lasciando righe in bianco.", MessageIcon::Stop);
        WriteBox(row, Field::lungh, "");
        SetScrollValue(count == 0 ? 1 : count);
        FocusSection(count + 1, Field::lungh);
        return;
    }
    ResetRowColours();
    StoreBox(row, Field::lungh);
    if (!text.empty()) {
        label25_ = "tronco n." + SignedText(s);
    }
    ShowEnteredCount();
    CommonTail();
}

void DataWindowModel::OnInitialElevationTyped(int row) {
    const int s = SectionOfRow(row);
    StoreBox(row, Field::quotain);
    const double a = NumericValue(project_.sections, s, Field::quotain);
    const double b = NumericValue(project_.sections, s, Field::quotafin);
    if (a > 0 && b > 0 && a <= b) {
        Error(
            "Attenzione: la quota iniziale del tronco deve essere superiore alla quota finale "
            "(vengono azzerate le due quote: occorre ridigitarle).",
            MessageIcon::Stop);
        // Writing the empty boxes stores the empty text in both elevations.
        WriteBox(row, Field::quotain, "");
        WriteBox(row, Field::quotafin, "");
    }
    CommonTail();
}

void DataWindowModel::OnFinalElevationTyped(int row) {
    const int s = SectionOfRow(row);
    StoreBox(row, Field::quotafin);
    const double a = NumericValue(project_.sections, s, Field::quotain);
    const double b = NumericValue(project_.sections, s, Field::quotafin);
    if (b > 0 && a <= b) {
        Error("Attenzione: la quota iniziale del tronco deve essere superiore alla quota finale.",
              MessageIcon::Stop);
        WriteBox(row, Field::quotafin, "");
    }
    CommonTail();
}

void DataWindowModel::OnFlowTyped(int row, Field flow) {
    const int s = SectionOfRow(row);
    const std::string& text = BoxText(row, flow);
    if (text.empty() && !project_.sections.Get(s, Field::lungh).IsEmpty()) {
        project_.sections.Set(s, flow, FieldValue::Number(0));
    } else {
        const std::string stored = DotToComma(text);
        const FieldValue& current = project_.sections.Get(s, flow);
        if (!(current.IsNumber() && current.DisplayText() == stored)) {
            project_.sections.Set(s, flow, FieldValue::Text(stored));
        }
    }
    CommonTail();
}

void DataWindowModel::OnResidentsTyped(int row, Field residents, bool typedByUser) {
    const int s = SectionOfRow(row);
    if (!typedByUser && BoxText(row, residents).empty()) {
        // A refresh writes every box; an empty residents box it writes must
        // not invent a default allowance or a zero flow for the section.
        StoreBox(row, residents);
        CommonTail();
        return;
    }
    const FlowSide side = residents == Field::abitun ? FlowSide::Along : FlowSide::End;
    const SideFields f = FieldsOf(side);
    // Only the user's typing decides which residents the fire button uses;
    // refreshing or clearing the grid writes residents too but must not.
    const int marker = project_.residentsMarker;
    const FieldValue storedResidents = project_.sections.Get(s, f.residents);
    const ResidentsUpdate update = ApplyResidents(project_, s, side, BoxText(row, residents));
    if (storedResidents.IsNumber() && storedResidents.DisplayText() == BoxText(row, residents)) {
        project_.sections.Set(s, f.residents, storedResidents);
    }
    if (typedByUser) {
        residentsSection_ = s;
    } else {
        project_.residentsMarker = marker;
    }
    if (update.allowanceText) {
        WriteBox(row, f.allowance, *update.allowanceText);
    }
    if (update.flowText) {
        WriteBox(row, f.flow, *update.flowText);
    }
    project_.currentSection = s;
    CommonTail();
}

void DataWindowModel::OnAllowanceTyped(int row, Field allowance) {
    StoreBox(row, allowance);
    CommonTail();
}

void DataWindowModel::OnPipeTypeChanged(int row, bool allowEmpty) {
    const int s = SectionOfRow(row);
    const std::string& text = BoxText(row, Field::tipoc);
    StoreBox(row, Field::tipoc);
    if (allowEmpty && text.empty()) {
        project_.sections.Set(s, Field::sca, FieldValue());
        return;
    }
    project_.sections.Set(s, Field::sca, FieldValue::Number(text == "nuova" ? 0.0025 : 0.004));
    CommonTail();
}

void DataWindowModel::CommonTail() {
    UpdateGuidance();
    const int s = project_.currentSection;
    if (CalculateSection(project_, s) != CalculationOutcome::Incomplete) {
        ShowSectionResults(s);
    }
}

// ------------------------------------------------------- guidance and results

void DataWindowModel::UpdateGuidance() {
    const int count = project_.enteredSectionCount;
    if (count == 0) {
        guidance_ =
            "Aprire un file archiviato o iniziare l'immissione digitando la lunghezza del primo "
            "tronco.";
        return;
    }
    const SectionTable& t = project_.sections;
    for (int i = 1; i <= count; ++i) {
        auto empty = [&](Field f) { return t.Get(i, f).IsEmpty(); };
        const char* missing = nullptr;
        if (empty(Field::lungh)) {
            missing = "digitare la lunghezza.";
        } else if (empty(Field::quotain)) {
            missing = "digitare la quota iniziale.";
        } else if (empty(Field::quotafin)) {
            missing = "digitare la quota finale.";
        } else if (empty(Field::portun) && empty(Field::abitun) && empty(Field::dotazun)) {
            missing =
                "digitare la portata lungo il tronco o il numero massimo dei residenti e la "
                "dotazione idrica.";
        } else if (empty(Field::portun) && empty(Field::abitun)) {
            missing = "digitare il numero dei residenti serviti lungo il tronco.";
        } else if (empty(Field::portfin) && empty(Field::abitfin) && empty(Field::dotazfin)) {
            missing =
                "digitare la portata all'estremità finale del tronco o il numero dei residenti "
                "e la dotazione idrica.";
        } else if (empty(Field::portfin) && empty(Field::abitfin)) {
            missing = "digitare il numero dei residenti serviti alla fine del tronco.";
        } else if (empty(Field::tipoc)) {
            guidance_ = "Scegliere il tipo di condotta.";
            return;
        }
        if (missing != nullptr) {
            guidance_ = Prefix(i) + missing;
            return;
        }
    }
    guidance_ =
        "Correggere, archiviare quanto immesso, digitare ulteriori dati, andare oltre (stampa, "
        "Frontespizio).";
}

void DataWindowModel::ShowSectionResults(int section) {
    label25_ = "tronco n." + SignedText(section);
    for (Field f : {Field::per, Field::dia, Field::vel, Field::sca}) {
        results_[ResultIndex(f)] = project_.sections.Get(section, f).DisplayText();
    }
}

void DataWindowModel::ShowEnteredCount() {
    enteredCount_ = NumberText(CountEnteredSections(project_));
}

// ------------------------------------------------------------ grid movement

void DataWindowModel::SetScrollValue(int value) {
    value = std::clamp(value, 1, MaxFirstVisible);
    if (value != project_.firstVisibleSection) {
        project_.firstVisibleSection = value;
        RefreshGrid();
    }
}

void DataWindowModel::Scroll(int value) {
    SetScrollValue(value);
}

void DataWindowModel::FocusSection(int section, Field field) {
    const int row = std::clamp(section - project_.firstVisibleSection + 1, 1, Rows);
    focus_ = FocusRequest{row, field};
}

void DataWindowModel::RefreshGrid() {
    ResetRowColours();
    project_.firstVisibleSection = std::clamp(project_.firstVisibleSection, 1, MaxFirstVisible);
    const int marker = project_.residentsMarker;
    for (int r = 1; r <= Rows; ++r) {
        const int s = SectionOfRow(r);
        auto text = [&](Field f) { return project_.sections.Get(s, f).DisplayText(); };
        for (Field f : {Field::lungh, Field::quotain, Field::quotafin, Field::portun, Field::abitun,
                        Field::dotazun, Field::portfin}) {
            WriteBox(r, f, text(f));
        }
        if (BoxText(r, Field::portfin) == "0" && BoxText(r, Field::lungh).empty()) {
            WriteBox(r, Field::portfin, "");
        }
        for (Field f : {Field::abitfin, Field::dotazfin, Field::tipoc}) {
            WriteBox(r, f, text(f));
        }
    }
    project_.residentsMarker = marker;
}

void DataWindowModel::PointAtRow(int row) {
    if (row < 1 || row > Rows) {
        return;
    }
    ResetRowColours();
    project_.currentSection = SectionOfRow(row);
    highlightedRow_ = row;
    ShowSectionResults(project_.currentSection);
}

void DataWindowModel::DeleteRow(int row) {
    if (row < 1 || row > Rows) {
        return;
    }
    const int s = SectionOfRow(row);
    if (BoxText(row, Field::lungh).empty()) {
        Error("I dati del tronco n." + SignedText(s) +
                  " non sono ancora considerati in quanto manca la lunghezza.",
              MessageIcon::Exclamation);
        return;
    }
    DeleteSection(project_, s);
    RefreshGrid();
}

// ----------------------------------------------------------------- commands

void DataWindowModel::FireButton() {
    if (project_.residentsMarker == 0) {
        return;
    }
    if (residentsSection_ > 0) {
        project_.currentSection = residentsSection_;
    }
    const int s = project_.currentSection;
    const FireUpdate update = ApplyFireButton(project_);
    if (update.result == FireButtonResult::NegativeResidents) {
        Error(
            "Il numero dei residenti non può essere negativo: la portata antincendio non viene "
            "calcolata.",
            MessageIcon::Stop);
        return;
    }
    if (update.result != FireButtonResult::Applied) {
        return;
    }
    const SideFields f = FieldsOf(update.side);
    const int row = s - project_.firstVisibleSection + 1;
    if (row >= 1 && row <= Rows) {
        WriteBox(row, f.flow, update.flowText);
        WriteBox(row, f.allowance, std::string(FireMarker));
    } else {
        project_.currentSection = s;
        CommonTail();
    }
}

void DataWindowModel::CheckData() {
    const int count = project_.enteredSectionCount;
    if (count == 0) {
        Error(
            "Non esistono dati riconosciuti:\n"
            "- per procedere è necessario digitare almeno la lunghezza del tronco n.1;\n"
            "- il controllo viene effettuato solo sui tronchi per i quali esiste il dato della "
            "lunghezza.",
            MessageIcon::Exclamation);
        return;
    }
    struct Test {
        std::vector<Field> allEmpty;
        const char* text;
        Field focus;
    };
    static const std::vector<Test> tests = {
        {{Field::lungh}, "- digitare la lunghezza.", Field::lungh},
        {{Field::quotain}, "- manca il dato della quota iniziale.", Field::quotain},
        {{Field::quotafin}, "- manca il dato della quota finale.", Field::quotafin},
        {{Field::portun, Field::abitun, Field::dotazun},
         "- digitare la 'portata un.' o il numero di residenti e la dotazione idrica o il numero "
         "di residenti e cliccare su 'Antincendio'.",
         Field::portun},
        {{Field::portfin, Field::abitfin, Field::dotazfin},
         "- digitare la 'portata es.' o il numero di residenti e la dotazione idrica o il numero "
         "di residenti e cliccare su 'Antincendio'.",
         Field::portfin},
        {{Field::tipoc}, "- scegliere il tipo di condotta ('nuova' o 'in uso').", Field::tipoc},
    };
    for (int i = 1; i <= count; ++i) {
        for (const Test& test : tests) {
            const bool fails =
                std::all_of(test.allEmpty.begin(), test.allEmpty.end(),
                            [&](Field f) { return project_.sections.Get(i, f).IsEmpty(); });
            if (fails) {
                Error("Tronco n." + SignedText(i) + ":\n" + test.text, MessageIcon::Stop);
                SetScrollValue(i);
                FocusSection(i, test.focus);
                return;
            }
        }
    }
    if (project_.saveCheckPending) {
        project_.saveCheckPending = false;
        return;
    }
    Error("I dati sono stati immessi correttamente per n." + SignedText(count) +
              " tronchi: i valori non inseriti vengono considerati nulli.",
          MessageIcon::Information);
}

void DataWindowModel::ClearWindow() {
    const int marker = project_.residentsMarker;
    project_.enteredSectionCount = 0;
    results_ = {};
    for (int r = 1; r <= Rows; ++r) {
        for (Field f :
             {Field::lungh, Field::quotafin, Field::quotain, Field::portun, Field::abitun,
              Field::dotazun, Field::portfin, Field::abitfin, Field::dotazfin, Field::tipoc}) {
            WriteBox(r, f, "");
        }
    }
    ClearAll(project_);
    project_.residentsMarker = marker;
    UpdateGuidance();
    enteredCount_ = NumberText(project_.enteredSectionCount);
}

void DataWindowModel::ChooseBackground() {
    if (background_ != LightGrey) {
        if (dialogs_.AskYesNo("Acquenza: colore di sfondo",
                              "Colori uguali e riposanti (grigio) per tutte le finestre?",
                              MessageIcon::None, Answer::Yes)) {
            background_ = LightGrey;
            windows_.LoadTitlePage().SetBackground(LightGrey);
            return;
        }
    }
    if (const std::optional<Rgb> chosen = dialogs_.ChooseColour(lastChosenColour_)) {
        lastChosenColour_ = *chosen;
        background_ = *chosen;
    }
}

void DataWindowModel::ShowHelpMessage() {
    dialogs_.Inform(
        state_.mod.titles.HelpTitle,
        "- Aprire un file archiviato per prelevare i dati;\n"
        "- digitare i dati seguendo le indicazioni della casella gialla posta in basso;\n"
        "- cliccare su 'Antincendio', dopo aver digitato il numero di abitanti, per avere la "
        "portata antincendio in automatico, se necessaria;\n"
        "- visualizzare i tronchi successivi con la barra di scorrimento verticale;\n"
        "- visualizzare i risultati spostando il mouse sul numero del tronco corrispondente;\n"
        "- effettuare i controlli dei dati cliccando sul tasto ABC;\n"
        "- visualizzare l'uso dei tasti fermando il puntatore del mouse su di essi.",
        MessageIcon::Information);
}

void DataWindowModel::AskForGuide() {
    if (dialogs_.AskYesNo(state_.mod.titles.HelpTitle,
                          "E' questa la finestra 'Dati': si vuole la guida della finestra?",
                          MessageIcon::Question, Answer::Yes)) {
        ShowWindowGuide();
    }
}

void DataWindowModel::ShowWindowGuide() {
    if (windows_.IsAvailable(WindowId::guidadati)) {
        windows_.Show(WindowId::guidadati);
    }
}

}  // namespace acquenza
