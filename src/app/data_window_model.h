#pragma once
// The data window's behaviour: ten rows of boxes over the 500 sections, the
// guidance line, the result area, the data check and the window's commands.
// The widgets mirror this model after every action.
//
// Showing and editing are two roads. Showing (a scroll, a refresh, an Open,
// a check that moves the grid) writes the sections' texts into the boxes
// and recalculates the shown sections, and never changes the project. Only
// the user's own edit of a box runs that box's handling (derived flow,
// default allowance, refusals, recount), and it changes only its section.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/data_check.h"
#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/windows.h"
#include "core/flows.h"
#include "core/project.h"
#include "core/section_calculation.h"

namespace acquenza {

class DataWindowModel final : private TypingJudge {
  public:
    static constexpr int Rows = 10;
    static constexpr int MaxFirstVisible = MaxSections - Rows + 1;  // 491

    struct FocusRequest {
        int row;
        Field field;
        bool operator==(const FocusRequest&) const = default;
    };

    DataWindowModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows);
    ~DataWindowModel();
    DataWindowModel(const DataWindowModel&) = delete;
    DataWindowModel& operator=(const DataWindowModel&) = delete;

    // Loading the window: shared titles, guidance, first row, type lists.
    void Load();

    // --- what the window shows (rows 1..10)
    const std::string& BoxText(int row, Field field) const;
    std::string NumCaption(int row) const;
    std::string NumTooltip(int row) const;
    std::string DeleteTooltip(int row) const;
    bool RowHighlighted(int row) const { return highlightedRow_ == row; }
    const std::vector<std::string>& PipeTypeList(int row) const;
    const std::string& Guidance() const { return guidance_; }
    // A text of the program's own in the guidance line, until it next changes.
    void SetGuidance(std::string text) { guidance_ = std::move(text); }
    const std::string& ResultSectionText() const { return resultSectionCaption_; }
    const std::string& ResultText(Field result) const;                     // per, dia, vel, sca
    const std::string& EnteredCountText() const { return enteredCount_; }  // Label1
    int ScrollValue() const { return firstVisible_; }
    Rgb Background() const { return background_; }
    // Where the input focus must go after the last action, once.
    std::optional<FocusRequest> TakeFocusRequest();
    struct TypedBox {
        int section;
        Field field;
    };
    // The box whose number is still being typed, not yet judged whole.
    std::optional<TypedBox> BoxBeingTyped() const {
        return pending_ ? std::optional<TypedBox>(TypedBox{pending_->section, pending_->field})
                        : std::nullopt;
    }

    // --- the user's actions
    void TypeInBox(int row, Field field, const std::string& text);
    void PickPipeType(int row, const std::string& text);  // an item of the list clicked
    // The user left the box (Tab, a click elsewhere) or pressed Enter: the
    // checks that need the whole value (the two elevations) are made now.
    void LeaveBox(int row, Field field);
    // Makes the checks still waiting for the user to leave a box; every
    // command that reads the project (check, save, documents) starts here.
    void FinishTyping() override;
    void AfterStep() override;
    void Scroll(int value);
    void PointAtRow(int row);
    void DeleteRow(int row);
    void FireButton();
    // The data check: its message shown (the success only to the user's own
    // check) and, at a gap, the grid brought to the section with the focus
    // in the box to correct. Returns the verdict.
    using CheckFor = acquenza::CheckFor;
    CheckResult CheckData(CheckFor purpose = CheckFor::User);
    void ClearWindow();
    void ChooseBackground();
    void ShowHelpMessage();
    void AskForGuide();      // "Finestra Dati": asks before showing the window's guide
    void ShowWindowGuide();  // the bar's window entry: the guide at once
    // Shows the sections of the current scroll position and recalculates them.
    void RefreshGrid();
    // Recalculates every entered section, so documents print current results.
    void RecalculateAll();
    // One section's results and map worked out again from its fields.
    void RecalculateSection(int section) { Recalculate(section); }
    // After an undo or a redo: the grid shows `section` (moving only when it
    // is not on screen) with its results; 0 just shows the grid again.
    void Reveal(int section);
    // The grid brought to `section` (moving only when it is not on screen)
    // with the focus in its length box: the network summary's double click.
    void GoToSection(int section);
    // Before an undo or a redo: forgets a value still being typed without
    // judging it (its step is the one undone) and the residents the fire
    // button would act on, which the history may be about to change.
    void DropTyping();
    // A new project: the grid at its first section, nothing shown, nothing
    // being typed.
    void StartAfresh();
    // Another project read in its place: the grid at its first section, and
    // the residents typed before forgotten (they belong to the project that
    // went).
    void ShowOpenedProject();
    // Called when a message is about to speak of a box the grid has just
    // brought into view, so the screen shows it, focus in that box, first.
    void SetShowNow(std::function<void()> showNow) { showNow_ = std::move(showNow); }
    void SetBackground(Rgb colour) { background_ = colour; }
    // The name the window's file dialog shows next.
    std::string& FileDialogName() { return fileDialogName_; }

    int SectionOfRow(int row) const { return firstVisible_ + row - 1; }
    // The fields of the project's sections: the grid's boxes and the result
    // area show those its table places on screen.
    const FieldTable& Fields() const { return project_.Fields(); }
    // The section last typed into or pointed at.
    int CurrentSection() const { return currentSection_; }
    // Whether the end flow of `section` is the network's sum of the flows
    // downstream: shown as a result, never typed.
    bool EndFlowIsDerived(int section) const;
    // The side whose residents were typed last, when the fire button has
    // them to act on.
    std::optional<FlowSide> ResidentsSide() const { return residentsSide_; }

  private:
    std::string& Box(int row, Field field);
    // Whether the text may stand in a numeric box: refused otherwise, with
    // the message, and the box keeps its previous text.
    bool AcceptNumber(int row, Field field, const std::string& text);
    // A step of another kind begins: a value still being typed elsewhere is
    // judged first, within its own typing.
    void BeforeStep(const std::string& typingKey) override;
    // Finishes the typing; false when doing so moved the grid, so that `row`
    // no longer shows the section the user acted on.
    bool FinishTypingKeeps(int row);
    struct PendingCheck {
        int section;
        Field field;
        std::string text;  // as typed
    };
    // The value of a box left after typing: a whole, finite number (not
    // negative for residents and allowances). Otherwise the message and the
    // typing taken back; false then.
    bool JudgeWholeValue(const PendingCheck& pending);
    void TakeBackTyping(const PendingCheck& pending);
    // The grid brought to `section` when it is not on screen, the focus
    // requested for its box, and the screen shown before a message.
    void PointTheUserAt(int section, Field field);

    bool OnLengthTyped(int row);
    void OnFlowTyped(int row, Field flow);
    void OnResidentsTyped(int row, Field residents);
    void OnPipeTypeChanged(int row, bool allowEmpty);
    void CheckElevations(int section, Field left);

    void Store(int section, Field field, const std::string& text);
    // Shows the row of `section` again, but for the box the user is typing in.
    void ShowRowExcept(int section, Field typing);
    void ShowRow(int row);
    // Guidance brought up to date, and the current section's results shown
    // once the step has worked it out.
    void CommonTail();
    CalculationOutcome Recalculate(int section);
    void UpdateGuidance();
    void ShowSectionResults(int section);
    void ShowEnteredCount();
    void ResetRowColours() { highlightedRow_ = 0; }
    void SetScrollValue(int value);
    void FocusSection(int section, Field field);
    void Error(const std::string& text, MessageIcon icon);

    ProgramState& state_;
    Project& project_;
    Dialogs& dialogs_;
    WindowSystem& windows_;

    // Each row's box texts and the result area's, by field slot.
    std::array<std::array<std::string, FieldSlots>, Rows + 1> boxes_{};
    std::array<std::vector<std::string>, Rows + 1> pipeTypeLists_{};
    std::string guidance_;
    std::string resultSectionCaption_;
    std::array<std::string, FieldSlots> results_{};
    std::string enteredCount_ = "0";
    int highlightedRow_ = 0;
    Rgb background_{220, 234, 240};
    Rgb lastChosenColour_{220, 234, 240};
    std::optional<FocusRequest> focus_;
    std::string fileDialogName_ = "Acquenza-dati-";
    // The section shown in the grid's first row.
    int firstVisible_ = 1;
    int currentSection_ = 1;
    // The current section's results are to be shown once the open step closes.
    bool resultsDue_ = false;
    // Section whose residents were typed last, and their side: the fire
    // button acts on them, following them when a deleted row renumbers the
    // sections.
    int residentsSection_ = 0;
    std::optional<FlowSide> residentsSide_;
    // The section the result area names.
    int resultsSection_ = 0;
    // A number typed and not yet judged whole, until the user leaves its box.
    std::optional<PendingCheck> pending_;
    std::function<void()> showNow_;
};

}  // namespace acquenza
