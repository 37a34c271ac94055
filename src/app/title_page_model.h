#pragma once
// The title-page window's behaviour: it shows and edits the project's seven
// title texts, and keeps what belongs to the window alone: the office shown,
// the choice of how to print, the guidance line and the colour.

#include <string>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/windows.h"

namespace acquenza {

class TitlePageModel {
  public:
    static constexpr std::size_t MaxFieldLength = 60;

    TitlePageModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows);

    // Loading: the office and the guidance line.
    void Load();

    const TitleTexts& Texts() const { return state_.project.titles; }
    const std::string& Text(TitleField field) const { return TitleText(Texts(), field); }
    const std::string& OfficeNameText() const { return officeName_; }
    const std::string& OfficeAddressText() const { return officeAddress_; }
    // Shown in place of an office text the settings leave empty: where to
    // set it. Empty when the office text is there.
    const std::string& OfficeNameHint() const { return officeNameHint_; }
    const std::string& OfficeAddressHint() const { return officeAddressHint_; }
    const std::string& Guidance() const { return guidance_; }
    void SetGuidance(std::string text) { guidance_ = std::move(text); }
    int PrintMode() const { return printMode_; }  // comestampo: 1 word processor, 2 direct
    void SelectPrintMode(int mode) { printMode_ = mode == 2 ? 2 : 1; }
    int ReportBodyFontSize() const { return reportBodyFontSize_; }
    Rgb Background() const { return background_; }
    void SetBackground(Rgb colour) { background_ = colour; }
    std::string& FileDialogName() { return fileDialogName_; }

    // The user typed or pasted into a field; refused text is undone.
    void TypeInField(TitleField field, const std::string& text);

    // A new project: the guidance line and the file dialog as at start.
    void StartAfresh();

    void ClickOfficeField();
    void CheckFields();
    void ClearWindow();
    void ChooseBackground();
    void ShowHelpMessage();
    void AskForGuide();
    void ShowWindowGuide();

  private:
    ProgramState& state_;
    Dialogs& dialogs_;
    WindowSystem& windows_;
    std::string officeName_;
    std::string officeAddress_;
    std::string officeNameHint_;
    std::string officeAddressHint_;
    std::string guidance_;
    int printMode_ = 1;
    int reportBodyFontSize_ = 12;
    Rgb background_{232, 240, 232};
    Rgb lastChosenColour_{232, 240, 232};
    std::string fileDialogName_ = "Acquenza-dati-";
};

// A title text longer than the report's line holds: the warning, every time
// such a text is typed or read from a file. The text itself stays.
void WarnIfTitleTooLong(const std::string& text, Dialogs& dialogs, const SharedTitles& titles);

}  // namespace acquenza
