#include "app/data_window_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/entry_check.h"
#include "app/title_page_model.h"
#include "app/unsizable_sections.h"
#include "core/flows.h"
#include "core/numbers.h"
#include "core/project_network.h"
#include "core/section_calculation.h"

namespace acquenza {

namespace {

std::string Prefix(int section) {
    return "Tronco n." + SignedText(section) + ": ";
}

}  // namespace

DataWindowModel::DataWindowModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows)
    : state_(state), project_(state.project), dialogs_(dialogs), windows_(windows) {
    state_.typingJudge = this;
}

DataWindowModel::~DataWindowModel() {
    if (state_.typingJudge == this) {
        state_.typingJudge = nullptr;
    }
}

void DataWindowModel::Load() {
    InitSharedTitles(state_.identity.titles, state_.identity.values);
    UpdateGuidance();
    firstVisible_ = 1;
    const std::vector<std::string>& types = Fields().Spec(Field::tipoc).choices;
    for (int r = 1; r <= Rows; ++r) {
        pipeTypeLists_[static_cast<std::size_t>(r)] = types;
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
    return Fields().Has(result) && Fields().Spec(result).kind == FieldKind::Result
               ? results_[static_cast<std::size_t>(result)]
               : none;
}

std::optional<DataWindowModel::FocusRequest> DataWindowModel::TakeFocusRequest() {
    return std::exchange(focus_, std::nullopt);
}

void DataWindowModel::Error(const std::string& text, MessageIcon icon) {
    dialogs_.Inform(state_.identity.titles.CheckTitle, text, icon);
}

// ---------------------------------------------------------------- the boxes

namespace {

// Typing in one box, key after key, is one step of the history.
std::string TypingKey(int section, Field field) {
    return "casella " + std::to_string(section) + " " + std::to_string(static_cast<int>(field));
}

// Whether `now` is `before` with some characters taken out in one place:
// emptying a box that holds a text (the fire marker) must always be possible.
bool OnlyRemoves(std::string_view before, std::string_view now) {
    if (now.size() >= before.size()) {
        return false;
    }
    std::size_t head = 0;
    while (head < now.size() && now[head] == before[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < now.size() - head &&
           now[now.size() - 1 - tail] == before[before.size() - 1 - tail]) {
        ++tail;
    }
    return head + tail == now.size();
}

// A box where a number is typed: all but the list's.
bool IsNumericBox(const FieldSpec& f) {
    return f.kind != FieldKind::Choice;
}

bool IsFlowBox(const FieldSpec& f) {
    return f.kind == FieldKind::Flow;
}

// Residents and allowances count people and litres: never below zero.
bool IsCountBox(const FieldSpec& f) {
    return f.kind == FieldKind::Count || f.kind == FieldKind::Allowance;
}

bool StartsWithMinus(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\n");
    return first != std::string_view::npos && text[first] == '-';
}

double BoxValue(const FieldSpec& field, const std::string& text) {
    return IsFlowBox(field) ? FlowValue(DotToComma(text)) : PointValue(text);
}

// The box's own refusal: "Tronco n. 3: nella casella «lunghezza» si può
// digitare solo un numero."
std::string BoxRefusal(int section, const FieldSpec& field, bool notNegative) {
    return "Tronco n." + SignedText(section) + ": nella casella «" + std::string(field.label) +
           (notNegative ? "» si può digitare solo un numero non negativo."
                        : "» si può digitare solo un numero.");
}

}  // namespace

bool DataWindowModel::AcceptNumber(int row, Field slot, const std::string& text) {
    const FieldSpec& field = Fields().Spec(slot);
    if (!IsNumericBox(field)) {
        return true;
    }
    const bool flow = IsFlowBox(field);
    const int section = SectionOfRow(row);
    // Only pasting brings a line break or a tab: two values, never one.
    if (text.find_first_of("\r\n\t") != std::string::npos) {
        Error(BoxRefusal(section, field, false) +
                  "\nIl testo incollato contiene più di un valore: incollarne uno alla volta.",
              MessageIcon::Stop);
        return false;
    }
    // Taking characters out of a text (the fire marker) is always allowed.
    const bool removing = OnlyRemoves(BoxText(row, slot), text);
    if (!removing && IsCountBox(field) && StartsWithMinus(text)) {
        Error(BoxRefusal(section, field, true), MessageIcon::Stop);
        return false;
    }
    if (!removing && !IsNumberPrefix(text, flow)) {
        std::string why = BoxRefusal(section, field, false);
        if (!flow && text.find(',') != std::string::npos) {
            why += "\nPer i decimali usare il punto: la virgola non è ammessa.";
        }
        Error(why, MessageIcon::Stop);
        return false;
    }
    if (!std::isfinite(BoxValue(field, text))) {
        Error(BoxRefusal(section, field, false) + "\nIl numero digitato è troppo grande.",
              MessageIcon::Stop);
        return false;
    }
    return true;
}

bool DataWindowModel::EndFlowIsDerived(int section) const {
    if (!UpstreamOf(project_.sections, section)) {
        return false;
    }
    const int count = NetworkSectionCount(project_);
    for (int j = 1; j <= count; ++j) {
        const std::optional<int> up = UpstreamOf(project_.sections, j);
        if (j != section && up && *up == section) {
            return true;
        }
    }
    return false;
}

void DataWindowModel::TypeInBox(int row, Field field, const std::string& text) {
    if (row < 1 || row > Rows || !Fields().Has(field) ||
        Fields().Spec(field).kind == FieldKind::Result) {
        return;
    }
    const FieldSpec& spec = Fields().Spec(field);
    if (!AcceptNumber(row, field, text) ||
        !AcceptTypedText(text, dialogs_, state_.identity.titles.CheckTitle)) {
        return;  // the box keeps its previous text
    }
    const int s = SectionOfRow(row);
    if (field == Field::portfin && EndFlowIsDerived(s)) {
        Error("Tronco n." + SignedText(s) +
                  ":\nla 'portata es.' è la somma delle portate dei tronchi che proseguono da "
                  "questo e dell'erogazione al nodo: l'erogazione al nodo si digita nella "
                  "finestra della rete.",
              MessageIcon::Information);
        return;
    }
    if (pending_ && (pending_->section != s || pending_->field != field) &&
        !FinishTypingKeeps(row)) {
        // Another box, or the grid moved under a box still being typed in:
        // what was typed there is judged before anything else, and a
        // keystroke in a row the judgement moved away is not applied.
        return;
    }
    EditScope step(state_, std::string(spec.label) + " del tronco n." + SignedText(s), s,
                   TypingKey(s, field));
    currentSection_ = s;
    Box(row, field) = text;
    if (IsNumericBox(spec)) {
        pending_ = PendingCheck{s, field, text};
    }
    // The fields with rules of their own; any other is stored as typed.
    if (field == Field::lungh) {
        if (!OnLengthTyped(row)) {
            pending_.reset();  // refused and emptied already
        }
        return;
    }
    if (field == Field::tipoc) {
        OnPipeTypeChanged(row, true);
        return;
    }
    if (field == Field::abitun || field == Field::abitfin) {
        OnResidentsTyped(row, field);
    } else if (spec.kind == FieldKind::Flow) {
        OnFlowTyped(row, field);
    } else {
        Store(s, field, text);
    }
    CommonTail();
}

void DataWindowModel::PickPipeType(int row, const std::string& text) {
    if (row < 1 || row > Rows) {
        return;
    }
    if (!FinishTypingKeeps(row)) {
        return;
    }
    const int s = SectionOfRow(row);
    EditScope step(state_, "tipo di condotta del tronco n." + SignedText(s), s);
    currentSection_ = s;
    Box(row, Field::tipoc) = text;
    OnPipeTypeChanged(row, false);
}

void DataWindowModel::LeaveBox(int row, Field field) {
    // Only the box typed in can be left while a value waits: the grid may
    // have moved under it meanwhile, so the value's own section is judged.
    if (row >= 1 && row <= Rows && pending_ && pending_->field == field) {
        FinishTyping();
    }
    // What is typed in any box from now on is a new step.
    state_.history.EndTyping();
}

void DataWindowModel::FinishTyping() {
    const std::optional<PendingCheck> pending = std::exchange(pending_, std::nullopt);
    if (!pending) {
        return;
    }
    if (JudgeWholeValue(*pending) &&
        (pending->field == Field::quotain || pending->field == Field::quotafin)) {
        // The end of the typing in that box, and so part of its step: an
        // undo goes back to before the typing, never to the refused value.
        const std::string key = TypingKey(pending->section, pending->field);
        state_.history.ResumeTyping(key);
        EditScope step(state_,
                       std::string(Fields().Spec(pending->field).label) + " del tronco n." +
                           SignedText(pending->section),
                       pending->section, key);
        CheckElevations(pending->section, pending->field);
    }
    state_.history.EndTyping();
}

void DataWindowModel::BeforeStep(const std::string& typingKey) {
    if (pending_ && TypingKey(pending_->section, pending_->field) != typingKey) {
        FinishTyping();
    }
}

bool DataWindowModel::FinishTypingKeeps(int row) {
    const int before = SectionOfRow(row);
    FinishTyping();
    return SectionOfRow(row) == before;
}

bool DataWindowModel::JudgeWholeValue(const PendingCheck& pending) {
    const std::string& text = pending.text;
    const FieldSpec& field = Fields().Spec(pending.field);
    if (text.empty()) {
        return true;
    }
    std::string why;
    if (!IsWholeNumber(text, IsFlowBox(field))) {
        why = BoxRefusal(pending.section, field, false) + "\n«" + text +
              "» non è un numero completo: viene ripristinato il valore precedente.";
    } else if (!std::isfinite(BoxValue(field, text))) {
        why = BoxRefusal(pending.section, field, false) +
              "\nIl numero digitato è troppo grande: viene ripristinato il valore precedente.";
    } else if (IsCountBox(field) && BoxValue(field, text) < 0) {
        why =
            BoxRefusal(pending.section, field, true) + "\nViene ripristinato il valore precedente.";
    } else {
        return true;
    }
    PointTheUserAt(pending.section, pending.field);
    Error(why, MessageIcon::Stop);
    TakeBackTyping(pending);
    return false;
}

// Refused input is undone: the whole typing goes, with what it brought (a
// derived flow, a default allowance, the count), and out of the history.
void DataWindowModel::TakeBackTyping(const PendingCheck& pending) {
    const int s = pending.section;
    if (std::optional<EditStep> step = state_.history.TakeBackTyping(TypingKey(s, pending.field))) {
        ApplyStep(project_, *step, true);
    } else {
        // Nothing of it was recorded (the text typed was the one stored):
        // the value cannot stay, and emptying it is a step of its own.
        EditScope emptying(
            state_,
            std::string(Fields().Spec(pending.field).label) + " del tronco n." + SignedText(s), s);
        Store(s, pending.field, "");
        CountEnteredSections(project_);
    }
    if (pending.field == Field::abitun || pending.field == Field::abitfin) {
        residentsSection_ = 0;
        residentsSide_.reset();
    }
    currentSection_ = s;
    const int row = s - firstVisible_ + 1;
    if (row >= 1 && row <= Rows) {
        ShowRow(row);
        FocusSection(s, pending.field);
    }
    ShowEnteredCount();
    UpdateGuidance();
    ShowSectionResults(s);
}

void DataWindowModel::PointTheUserAt(int section, Field field) {
    const int first = firstVisible_;
    if (section < first || section >= first + Rows) {
        // Low in the grid, clear of a message box centred on the window.
        firstVisible_ = std::clamp(section - (Rows - 3), 1, MaxFirstVisible);
        RefreshGrid();
    }
    FocusSection(section, field);
    if (showNow_) {
        showNow_();
    }
}

// Stores a box's text in its field. A number whose own text comes back (the
// default allowance 250 retyped as it was) stays the number it was.
void DataWindowModel::Store(int section, Field field, const std::string& text) {
    const FieldValue& stored = project_.sections.Get(section, field);
    if (stored.IsNumber() && stored.DisplayText() == text) {
        return;
    }
    project_.sections.Set(section, field, FieldValue::Text(text));
}

bool DataWindowModel::OnLengthTyped(int row) {
    const int s = SectionOfRow(row);
    const std::string text = BoxText(row, Field::lungh);
    const int count = project_.enteredSectionCount;
    if (!text.empty() && s > 1 && project_.sections.Get(s - 1, Field::lungh).IsEmpty() &&
        count < s) {
        Error("Non è possibile digitare dati lasciando righe in bianco.", MessageIcon::Stop);
        // The refused length is undone: the box and the section's length
        // are empty again, and the grid goes back to the last section typed.
        Box(row, Field::lungh).clear();
        Store(s, Field::lungh, "");
        ShowEnteredCount();
        UpdateGuidance();
        SetScrollValue(count == 0 ? 1 : count);
        FocusSection(count + 1, Field::lungh);
        return false;
    }
    ResetRowColours();
    Store(s, Field::lungh, text);
    if (!text.empty()) {
        resultSectionCaption_ = "tronco n." + SignedText(s);
    }
    ShowEnteredCount();
    CommonTail();
    return true;
}

// The elevations are judged once the whole value is typed: a keystroke that
// passes through an impossible drop ("4" on the way to "488") is not refused.
void DataWindowModel::CheckElevations(int section, Field left) {
    const double a = NumericValue(project_.sections, section, Field::quotain);
    const double b = NumericValue(project_.sections, section, Field::quotafin);
    const bool initialLeft = left == Field::quotain;
    if (initialLeft ? !(a > 0 && b > 0 && a <= b) : !(b > 0 && a <= b)) {
        return;
    }
    // Scrolled away meanwhile: the grid comes back to the section first.
    PointTheUserAt(section, left);
    Error(initialLeft ? "Attenzione: la quota iniziale del tronco deve essere superiore alla "
                        "quota finale (vengono azzerate le due quote: occorre ridigitarle)."
                      : "Attenzione: la quota iniziale del tronco deve essere superiore alla "
                        "quota finale.",
          MessageIcon::Stop);
    currentSection_ = section;
    if (initialLeft) {
        Store(section, Field::quotain, "");
    }
    Store(section, Field::quotafin, "");
    const int row = section - firstVisible_ + 1;
    if (row >= 1 && row <= Rows) {
        ShowRow(row);
        FocusSection(section, left);
    }
    CommonTail();
}

void DataWindowModel::OnFlowTyped(int row, Field flow) {
    const int s = SectionOfRow(row);
    const std::string& text = BoxText(row, flow);
    if (text.empty() && !project_.sections.Get(s, Field::lungh).IsEmpty()) {
        project_.sections.Set(s, flow, FieldValue::Number(0));
    } else {
        // The box keeps what the user typed; the comma form shows at the
        // next refresh.
        Store(s, flow, DotToComma(text));
    }
}

void DataWindowModel::OnResidentsTyped(int row, Field residents) {
    const int s = SectionOfRow(row);
    const FlowSide side = residents == Field::abitun ? FlowSide::Along : FlowSide::End;
    const FieldValue storedResidents = project_.sections.Get(s, residents);
    ApplyResidents(project_, s, side, BoxText(row, residents));
    if (storedResidents.IsNumber() && storedResidents.DisplayText() == BoxText(row, residents)) {
        project_.sections.Set(s, residents, storedResidents);
    }
    residentsSection_ = s;
    residentsSide_ = side;
    // The allowance filled in and the derived flow show in their boxes.
    ShowRowExcept(s, residents);
}

void DataWindowModel::OnPipeTypeChanged(int row, bool allowEmpty) {
    const int s = SectionOfRow(row);
    const std::string& text = BoxText(row, Field::tipoc);
    // The roughness follows the type when the step closes.
    Store(s, Field::tipoc, text);
    if (allowEmpty && text.empty()) {
        return;
    }
    CommonTail();
}

// The roughness goes with the pipe type, as its handling sets it; it is a
// result, not something the user typed, so showing a section may set it.
CalculationOutcome DataWindowModel::Recalculate(int section) {
    return SettleSection(project_, section);
}

void DataWindowModel::CommonTail() {
    UpdateGuidance();
    // The step works the section out as it closes; its results show then.
    resultsDue_ = true;
}

void DataWindowModel::AfterStep() {
    if (!std::exchange(resultsDue_, false)) {
        return;
    }
    const int s = currentSection_;
    if (SectionTable::IsValidSection(s) && ReadSectionInputs(project_.sections, s)) {
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
    resultsSection_ = section;
    resultSectionCaption_ = "tronco n." + SignedText(section);
    for (const Field f : Fields().Results()) {
        results_[static_cast<std::size_t>(f)] = project_.sections.Get(section, f).DisplayText();
    }
}

void DataWindowModel::ShowEnteredCount() {
    enteredCount_ = NumberText(CountEnteredSections(project_));
}

// ------------------------------------------------------------ grid movement

void DataWindowModel::SetScrollValue(int value) {
    value = std::clamp(value, 1, MaxFirstVisible);
    if (value != firstVisible_) {
        firstVisible_ = value;
        RefreshGrid();
    }
}

void DataWindowModel::Scroll(int value) {
    SetScrollValue(value);
}

void DataWindowModel::FocusSection(int section, Field field) {
    const int row = std::clamp(section - firstVisible_ + 1, 1, Rows);
    focus_ = FocusRequest{row, field};
}

void DataWindowModel::ShowRow(int row) {
    const int s = SectionOfRow(row);
    for (const Field f : Fields().Inputs()) {
        Box(row, f) = project_.sections.Get(s, f).DisplayText();
    }
    // An end flow of 0 in a row without a length shows empty.
    if (BoxText(row, Field::portfin) == "0" && BoxText(row, Field::lungh).empty()) {
        Box(row, Field::portfin).clear();
    }
}

void DataWindowModel::ShowRowExcept(int section, Field typing) {
    const int row = section - firstVisible_ + 1;
    if (row < 1 || row > Rows) {
        return;
    }
    const std::string typed = BoxText(row, typing);
    ShowRow(row);
    Box(row, typing) = typed;
}

void DataWindowModel::RefreshGrid() {
    ResetRowColours();
    firstVisible_ = std::clamp(firstVisible_, 1, MaxFirstVisible);
    bool shown = false;
    for (int r = 1; r <= Rows; ++r) {
        ShowRow(r);
        // Every shown section is recalculated; the result area ends on the
        // last one that could be calculated.
        const int s = SectionOfRow(r);
        if (Recalculate(s) != CalculationOutcome::Incomplete) {
            ShowSectionResults(s);
            shown = true;
        }
    }
    // With none, the area still tells the truth about the section it names:
    // results that section no longer has (the data cleared, another project
    // read) are not left on screen.
    if (!shown && resultsSection_ > 0) {
        for (const Field f : Fields().Results()) {
            results_[static_cast<std::size_t>(f)] =
                project_.sections.Get(resultsSection_, f).DisplayText();
        }
    }
    enteredCount_ = NumberText(project_.enteredSectionCount);
    UpdateGuidance();
}

void DataWindowModel::Reveal(int section) {
    const int first = firstVisible_;
    if (section >= 1 && (section < first || section >= first + Rows)) {
        firstVisible_ = std::clamp(section, 1, MaxFirstVisible);
    }
    RefreshGrid();
    if (section >= 1) {
        currentSection_ = section;
        ShowSectionResults(section);
    }
}

void DataWindowModel::GoToSection(int section) {
    if (!SectionTable::IsValidSection(section)) {
        return;
    }
    Reveal(section);
    FocusSection(section, Field::lungh);
}

void DataWindowModel::RecalculateAll() {
    for (int s = 1; s <= project_.enteredSectionCount; ++s) {
        Recalculate(s);
    }
}

void DataWindowModel::PointAtRow(int row) {
    if (row < 1 || row > Rows) {
        return;
    }
    ResetRowColours();
    currentSection_ = SectionOfRow(row);
    highlightedRow_ = row;
    ShowSectionResults(currentSection_);
}

void DataWindowModel::DeleteRow(int row) {
    if (row < 1 || row > Rows) {
        return;
    }
    if (!FinishTypingKeeps(row)) {
        return;  // the grid moved to a refused value: the X pressed was for another row
    }
    const int s = SectionOfRow(row);
    if (BoxText(row, Field::lungh).empty()) {
        Error("I dati del tronco n." + SignedText(s) +
                  " non sono ancora considerati in quanto manca la lunghezza.",
              MessageIcon::Exclamation);
        return;
    }
    const int follow = residentsSection_;
    const bool followHasInput =
        follow > 0 && std::any_of(Fields().Inputs().begin(), Fields().Inputs().end(), [&](Field f) {
            return !project_.sections.Get(follow, f).IsEmpty();
        });
    std::vector<int> reset;
    {
        EditScope step(state_, "cancellazione del tronco n." + SignedText(s), s);
        reset = DeleteSection(project_, s);
    }
    if (!reset.empty()) {
        std::string list;
        for (const int r : reset) {
            list += (list.empty() ? "" : ",") + SignedText(r);
        }
        Error("Il tronco n." + SignedText(s) + " cancellato era il tronco a monte " +
                  (reset.size() == 1 ? "del tronco n." : "dei tronchi n.") + list + ": ora " +
                  (reset.size() == 1 ? "parte" : "partono") +
                  " dalla sorgente (tronco a monte 0).\nControllarne il collegamento nella "
                  "finestra della rete.",
              MessageIcon::Information);
    }
    // The fire button follows the residents typed to their new number, and
    // forgets them with their section: never the section moved into the row.
    if (follow == s || (follow > s && !followHasInput)) {
        residentsSection_ = 0;
        residentsSide_.reset();
    } else if (follow > s) {
        residentsSection_ = follow - 1;
    }
    RefreshGrid();
}

// ----------------------------------------------------------------- commands

void DataWindowModel::FireButton() {
    if (!residentsSide_) {
        return;  // no residents typed since the button was last used
    }
    FinishTyping();
    if (residentsSection_ == 0 || !residentsSide_) {
        return;  // the residents typed were taken back or deleted
    }
    currentSection_ = residentsSection_;
    EditScope step(state_, "portata antincendio del tronco n." + SignedText(currentSection_),
                   currentSection_);
    const FireUpdate update = ApplyFireButton(project_, currentSection_, *residentsSide_);
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
    residentsSide_.reset();
    const int row = currentSection_ - firstVisible_ + 1;
    if (row >= 1 && row <= Rows) {
        ShowRow(row);
    }
    CommonTail();
}

CheckResult DataWindowModel::CheckData(CheckFor purpose) {
    FinishTyping();
    enteredCount_ = NumberText(CountEnteredSections(project_));
    const CheckResult result = CheckSections(project_, purpose);
    if (result.ok && purpose != CheckFor::User) {
        return result;
    }
    Error(result.message, result.icon);
    if (!result.ok && result.section > 0) {
        SetScrollValue(result.section);
        FocusSection(result.section, result.focus);
    }
    return result;
}

void DataWindowModel::ClearWindow() {
    FinishTyping();
    EditScope step(state_, "cancellazione dei dati della finestra", 0);
    ClearAll(project_);
    results_ = {};
    for (int r = 1; r <= Rows; ++r) {
        ShowRow(r);
    }
    UpdateGuidance();
    enteredCount_ = NumberText(project_.enteredSectionCount);
}

void DataWindowModel::DropTyping() {
    pending_.reset();
    residentsSection_ = 0;
    residentsSide_.reset();
}

void DataWindowModel::ShowOpenedProject() {
    residentsSection_ = 0;
    residentsSide_.reset();
    firstVisible_ = 1;
    RefreshGrid();
}

void DataWindowModel::StartAfresh() {
    DropTyping();
    focus_.reset();
    firstVisible_ = 1;
    currentSection_ = 1;
    results_ = {};
    resultSectionCaption_.clear();
    resultsSection_ = 0;
    RefreshGrid();
    // The next Save asks for a name in the same folder, from the prefix.
    const std::size_t slash = fileDialogName_.rfind('/');
    fileDialogName_ =
        (slash == std::string::npos ? std::string() : fileDialogName_.substr(0, slash + 1)) +
        "Acquenza-dati-";
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
        state_.identity.titles.HelpTitle,
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
    if (dialogs_.AskYesNo(state_.identity.titles.HelpTitle,
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
