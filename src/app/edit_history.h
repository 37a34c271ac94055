#pragma once
// Every change of the project by the user is one step that can be undone and
// done again: typing in one box until the box is left, a pipe type, a row
// deleted, the window cleared, the fire-flow button, an Open, a title-page
// field. A step keeps what changed (each field before and after, the title
// texts, the count and the file name), never a copy of the project, and the
// oldest steps go once the history outgrows its memory.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/project.h"

namespace acquenza {

struct FieldNote {
    SectionId section;
    Field field = Field::lungh;
    FieldValue before;
    FieldValue after;
};

// Sections that left the table and came into it within a step (a row
// deleted, a file opened): the order of the sections before and after, and
// the sections that went and came, whole.
struct MoveNote {
    std::vector<SectionId> orderBefore;
    std::vector<SectionId> orderAfter;
    std::vector<StoredSection> left;
    std::vector<StoredSection> came;
};

struct TitleNote {
    TitleField field = TitleField::progetto;
    std::string before;
    std::string after;
};

struct EditStep {
    std::string name;  // "cancellazione del tronco n. 7"
    std::optional<MoveNote> moves;
    std::vector<FieldNote> fields;
    std::vector<TitleNote> titles;
    // The project's network values as the step found and left them.
    NetworkSettings networkBefore;
    NetworkSettings networkAfter;
    int countBefore = 0;
    int countAfter = 0;
    std::string fileBefore;
    std::string fileAfter;
    int section = 0;  // shown in the grid after an undo or redo; 0 for none
    std::string typingKey;

    bool Empty() const {
        return !moves && fields.empty() && titles.empty() && countBefore == countAfter &&
               fileBefore == fileAfter && networkBefore == networkAfter;
    }
    std::size_t Bytes() const;
};

class EditHistory final : private SectionTableListener {
  public:
    static constexpr std::size_t MaxBytes = 16u * 1024u * 1024u;

    // Starts a step: every change of `project` until End belongs to it. A
    // typingKey equal to the last step's, while that typing goes on, adds to
    // that step instead (one box typed key by key is one step).
    void Begin(Project& project, const std::string& fileName, std::string name, int section,
               std::string typingKey = {});
    void End(Project& project, const std::string& fileName);
    bool Recording() const { return open_.has_value(); }
    // The sections (by their number now) whose input fields the step being
    // recorded has changed, or that came into the table within it.
    std::vector<int> TouchedSections(const SectionTable& table) const;
    // The sections (by their number now) where the step being recorded has
    // changed any of `fields`.
    std::vector<int> SectionsChanging(const SectionTable& table,
                                      const std::vector<Field>& fields) const;
    // The box was left: the next keystroke starts a new step.
    void EndTyping() { typing_ = false; }
    // The typing of `typingKey` goes on in its step when that step is still
    // the last one: the judgement of a value when its box is left belongs to
    // the typing that produced it, whatever was left or shown meanwhile.
    void ResumeTyping(const std::string& typingKey);
    // The step of a typing whose value was refused, taken out of the history
    // to be undone by the caller: redo can never bring the value back. None
    // when that typing is not the last step.
    std::optional<EditStep> TakeBackTyping(const std::string& typingKey);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    const std::string& UndoName() const;
    const std::string& RedoName() const;
    // The step to take back or do again, moving the history's position.
    const EditStep* TakeUndo();
    const EditStep* TakeRedo();

    // The project as saved or opened: unchanged from here on until a step
    // is done or undone.
    void MarkSaved() { saved_ = done_; }
    bool Modified() const { return saved_ != done_; }
    // A new project: nothing to undo, nothing changed.
    void Clear();

    std::size_t Bytes() const { return bytes_; }
    std::size_t StepCount() const { return steps_.size(); }

  private:
    void FieldChanged(SectionId section, Field field, const FieldValue& before,
                      const FieldValue& after) override;
    void SectionsMoved(const std::vector<SectionId>& orderBefore,
                       const std::vector<StoredSection>& left,
                       const std::vector<StoredSection>& came) override;
    // The title texts that differ from what they were when the step began
    // (or was taken up again), noted with their value from before the step.
    void NoteTitles(const TitleTexts& now);
    void Trim();
    static std::uint64_t Slot(SectionId section, Field field) {
        return section.value * FieldSlots + static_cast<std::uint64_t>(field);
    }

    std::deque<EditStep> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are done; the rest can be redone
    // The position that matches the file; none once that step was dropped.
    std::optional<std::size_t> saved_ = 0;
    std::optional<EditStep> open_;
    // The title texts as the open step found them: the seven short texts
    // are compared when it ends, rather than watched.
    TitleTexts titlesAtBegin_;
    bool reopened_ = false;
    int depth_ = 0;
    // Where each field's note sits in the open step, so a step that touches
    // every section still records in linear time.
    std::unordered_map<std::uint64_t, std::size_t> noteIndex_;
    bool typing_ = false;
    std::size_t bytes_ = 0;
};

// Puts the project back to how the step found it (undo) or forward to how it
// left it (redo): sections moved, fields, titles, count; the sections whose
// fields it changed are worked out again. Returns those sections, by their
// number afterwards.
std::vector<int> ApplyStep(Project& project, const EditStep& step, bool undo);

}  // namespace acquenza
