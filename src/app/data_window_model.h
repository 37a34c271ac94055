#pragma once
// The data window's behaviour: ten rows of boxes over the 500 sections, the
// guidance line, the result area, the data check and the window's commands.
// The widgets mirror this model after every action; every write into a box
// runs that box's handling here, whether the user typed it or code wrote it.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/windows.h"
#include "core/project.h"

namespace acquenza {

class DataWindowModel {
  public:
    static constexpr int Rows = 10;
    static constexpr int MaxFirstVisible = MaxSections - Rows + 1;  // 491

    struct FocusRequest {
        int row;
        Field field;
        bool operator==(const FocusRequest&) const = default;
    };

    DataWindowModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows);

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
    const std::string& ResultSectionText() const { return label25_; }      // Label25
    const std::string& ResultText(Field result) const;                     // per, dia, vel, sca
    const std::string& EnteredCountText() const { return enteredCount_; }  // Label1
    int ScrollValue() const { return state_.project.firstVisibleSection; }
    Rgb Background() const { return background_; }
    // Where the input focus must go after the last action, once.
    std::optional<FocusRequest> TakeFocusRequest();

    // --- the user's actions
    void TypeInBox(int row, Field field, const std::string& text);
    void PickPipeType(int row, const std::string& text);  // an item of the list clicked
    void Scroll(int value);
    void PointAtRow(int row);
    void DeleteRow(int row);
    void FireButton();
    void CheckData();
    void ClearWindow();
    void ChooseBackground();
    void ShowHelpMessage();
    void AskForGuide();      // "Finestra Dati": asks before showing the window's guide
    void ShowWindowGuide();  // the bar's window entry: the guide at once
    void RefreshGrid();
    void SetBackground(Rgb colour) { background_ = colour; }
    // The name the window's file dialog shows next.
    std::string& FileDialogName() { return fileDialogName_; }

    int SectionOfRow(int row) const { return state_.project.firstVisibleSection + row - 1; }

  private:
    std::string& Box(int row, Field field);
    void WriteBox(int row, Field field, std::string text);
    void RunHandler(int row, Field field, bool typedByUser);

    void OnLengthTyped(int row);
    void OnInitialElevationTyped(int row);
    void OnFinalElevationTyped(int row);
    void OnFlowTyped(int row, Field flow);
    void OnResidentsTyped(int row, Field residents, bool typedByUser);
    void OnAllowanceTyped(int row, Field allowance);
    void OnPipeTypeChanged(int row, bool allowEmpty);

    void StoreBox(int row, Field field);
    void CommonTail();
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

    std::array<std::array<std::string, InputFieldCount>, Rows + 1> boxes_{};
    std::array<std::vector<std::string>, Rows + 1> pipeTypeLists_{};
    std::string guidance_;
    std::string label25_;
    std::array<std::string, 4> results_{};
    std::string enteredCount_ = "0";
    int highlightedRow_ = 0;
    Rgb background_{220, 234, 240};
    Rgb lastChosenColour_{220, 234, 240};
    std::optional<FocusRequest> focus_;
    std::string fileDialogName_ = "Acquenza-dati-";
    // Section whose residents were typed last: the fire button acts on them.
    int residentsSection_ = 0;
};

}  // namespace acquenza
