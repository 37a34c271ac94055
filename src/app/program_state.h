#pragma once
// What lives for the whole run: program values and titles, the project and
// the name of its data file.

#include <map>
#include <string>

#include "app/edit_history.h"
#include "app/program_values.h"
#include "app/settings.h"
#include "archive/file_fingerprint.h"
#include "core/pipe_catalogue.h"
#include "core/project.h"
#include "core/project_network.h"
#include "core/section_calculation.h"

namespace acquenza {

// Judges a value still being typed before a step of another kind begins, so
// that the judgement (a refusal, a value emptied) ends the typing's own step
// and never joins, or stands as, a step that undo would take back alone.
class TypingJudge {
  public:
    virtual void BeforeStep(const std::string& typingKey) = 0;
    // Judges it now: the project is about to be read or let go.
    virtual void FinishTyping() = 0;
    // The step is closed and the sections it touched are worked out: the
    // results it changed can be shown.
    virtual void AfterStep() = 0;

  protected:
    ~TypingJudge() = default;
};

struct ProgramState {
    ProgramIdentity identity;  // name, version and the message titles
    Project project;
    std::string currentFileName;
    // What each data file held when this run last read or wrote it, by the
    // name it was opened or saved under (undo may bring an earlier name
    // back): a Save looks whether another program changed it meanwhile.
    std::map<std::string, FileFingerprint> filesSeen;
    Settings settings = BuiltInSettings();
    // The catalogues of commercial pipes read at start-up: the pipes laid on
    // the network are taken from them.
    CatalogueSet catalogues;
    EditHistory history;
    TypingJudge* typingJudge = nullptr;  // the data window, while it exists
};

// One step of the user's, from construction to destruction: every change of
// the project in between is recorded for undo and redo.
class EditScope {
  public:
    EditScope(ProgramState& state, std::string name, int section, std::string typingKey = {})
        : state_(state) {
        if (state_.typingJudge != nullptr && !state_.history.Recording()) {
            state_.typingJudge->BeforeStep(typingKey);
        }
        state_.history.Begin(state_.project, state_.currentFileName, std::move(name), section,
                             std::move(typingKey));
    }
    // Every section the step changed is worked out again within the step, so
    // its roughness and results go with its data into the history, and what
    // is shown later never has anything left to change.
    ~EditScope() {
        // The network's sums first: the end flows they change are part of
        // the step, and their sections are worked out with the others.
        if (settleNetwork_ && !state_.history.TouchedSections(state_.project.sections).empty()) {
            SettleNetwork(state_.project,
                          state_.history.SectionsChanging(state_.project.sections,
                                                          {Field::abitfin, Field::dotazfin}));
        }
        for (const int s : state_.history.TouchedSections(state_.project.sections)) {
            SettleSection(state_.project, s);
        }
        state_.history.End(state_.project, state_.currentFileName);
        if (state_.typingJudge != nullptr && !state_.history.Recording()) {
            state_.typingJudge->AfterStep();
        }
    }
    // A file's flows come in as the file holds them: sums that disagree
    // with the links are for the network check to point out, never for an
    // Open to change.
    void KeepFlowsAsRead() { settleNetwork_ = false; }

    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

  private:
    ProgramState& state_;
    bool settleNetwork_ = true;
};

}  // namespace acquenza
