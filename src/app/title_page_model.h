#pragma once
// The title-page window's behaviour: the seven texts of the report's title
// page, the office, the choice of how to print, the field check and the
// window's commands.

#include <string>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/windows.h"
#include "archive/project_file.h"

namespace acquenza {

class TitlePageModel {
  public:
    static constexpr std::size_t MaxFieldLength = 60;

    TitlePageModel(ProgramState& state, Dialogs& dialogs, WindowSystem& windows, std::string today);

    // Loading: today's date, the office, the guidance line.
    void Load();

    const TitleTexts& Texts() const { return texts_; }
    const std::string& Text(int field) const { return texts_[static_cast<std::size_t>(field)]; }
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
    void TypeInField(int field, const std::string& text);
    // A text set by the program (an Open): warned about like typing.
    void SetField(int field, const std::string& text);
    // A text put back by an undo or a redo, as it was, without a warning.
    void RestoreField(int field, const std::string& text);

    // A new project: the seven texts empty but for today's date, as at start.
    void StartAfresh();

    void ClickOfficeField();
    void CheckFields();
    void ClearWindow();
    void ChooseBackground();
    void ShowHelpMessage();
    void AskForGuide();
    void ShowWindowGuide();

  private:
    void WarnFieldTooLong(int field);

    ProgramState& state_;
    Dialogs& dialogs_;
    WindowSystem& windows_;
    std::string today_;
    TitleTexts texts_{};
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

}  // namespace acquenza
