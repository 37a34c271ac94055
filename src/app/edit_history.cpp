#include "app/edit_history.h"

#include <algorithm>
#include <utility>

#include "core/section_calculation.h"

namespace acquenza {

namespace {

// Heap bytes a value holds beyond its own size (a long text).
std::size_t HeapBytes(const std::string& text) {
    return text.capacity() > 15 ? text.capacity() + 1 : 0;
}

std::size_t HeapBytes(const FieldValue& value) {
    return value.IsText() ? HeapBytes(value.TextValue()) : 0;
}

std::size_t HeapBytes(const std::vector<StoredSection>& sections) {
    std::size_t bytes = sections.capacity() * sizeof(StoredSection);
    for (const StoredSection& section : sections) {
        for (const FieldValue& value : section.record.fields) {
            bytes += HeapBytes(value);
        }
    }
    return bytes;
}

}  // namespace

std::size_t EditStep::Bytes() const {
    std::size_t bytes = sizeof(EditStep) + HeapBytes(name) + HeapBytes(fileBefore) +
                        HeapBytes(fileAfter) + HeapBytes(typingKey) +
                        fields.capacity() * sizeof(FieldNote) +
                        titles.capacity() * sizeof(TitleNote);
    for (const FieldNote& note : fields) {
        bytes += HeapBytes(note.before) + HeapBytes(note.after);
    }
    for (const TitleNote& note : titles) {
        bytes += HeapBytes(note.before) + HeapBytes(note.after);
    }
    for (const NetworkSettings* n : {&networkBefore, &networkAfter}) {
        for (const NetworkSettingSpec& spec : NetworkSettingSpecs) {
            bytes += HeapBytes(n->*spec.text);
        }
    }
    if (moves) {
        bytes +=
            (moves->orderBefore.capacity() + moves->orderAfter.capacity()) * sizeof(SectionId) +
            HeapBytes(moves->left) + HeapBytes(moves->came);
    }
    return bytes;
}

void EditHistory::Begin(Project& project, const std::string& fileName, std::string name,
                        int section, std::string typingKey) {
    if (open_) {
        ++depth_;  // within a step already being recorded
        return;
    }
    const bool continues = !typingKey.empty() && typing_ && done_ == steps_.size() && done_ > 0 &&
                           steps_.back().typingKey == typingKey;
    if (continues) {
        if (saved_ == done_) {
            saved_.reset();  // saved halfway through this typing
        }
        bytes_ -= steps_.back().Bytes();
        open_ = std::move(steps_.back());
        steps_.pop_back();
        --done_;
        reopened_ = true;
        for (std::size_t i = 0; i < open_->fields.size(); ++i) {
            const FieldNote& note = open_->fields[i];
            noteIndex_[Slot(note.section, note.field)] = i;
        }
    } else {
        open_ = EditStep{};
        open_->name = std::move(name);
        open_->section = section;
        open_->typingKey = std::move(typingKey);
        open_->countBefore = project.enteredSectionCount;
        open_->fileBefore = fileName;
        open_->networkBefore = project.network;
        reopened_ = false;
    }
    titlesAtBegin_ = project.titles;
    project.sections.Listen(this);
}

void EditHistory::End(Project& project, const std::string& fileName) {
    if (!open_) {
        return;
    }
    if (depth_ > 0) {
        --depth_;
        return;
    }
    project.sections.Listen(nullptr);
    NoteTitles(project.titles);
    noteIndex_.clear();
    EditStep step = std::move(*open_);
    if (step.moves) {
        step.moves->orderAfter = project.sections.Order();
    }
    open_.reset();
    step.countAfter = project.enteredSectionCount;
    step.fileAfter = fileName;
    step.networkAfter = project.network;
    typing_ = !step.typingKey.empty();
    // A value typed back to what it was ("i" completed to the "in uso" the
    // box held) changes nothing: no step to undo, no unsaved mark.
    std::erase_if(step.fields, [](const FieldNote& note) { return note.before == note.after; });
    std::erase_if(step.titles, [](const TitleNote& note) { return note.before == note.after; });
    if (step.Empty()) {
        // Nothing to continue either: an older step of the same box, closed
        // when the box was left, must not take the next keystroke.
        typing_ = false;
        return;
    }
    if (!reopened_) {
        // A new step: what had been undone can no longer be done again.
        while (steps_.size() > done_) {
            bytes_ -= steps_.back().Bytes();
            steps_.pop_back();
        }
        if (saved_ && *saved_ > done_) {
            saved_.reset();
        }
    }
    bytes_ += step.Bytes();
    steps_.push_back(std::move(step));
    ++done_;
    Trim();
}

void EditHistory::FieldChanged(SectionId section, Field field, const FieldValue& before,
                               const FieldValue& after) {
    if (!open_) {
        return;
    }
    const auto [index, added] = noteIndex_.try_emplace(Slot(section, field), open_->fields.size());
    if (!added) {
        open_->fields[index->second].after = after;
        return;
    }
    open_->fields.push_back({section, field, before, after});
}

void EditHistory::SectionsMoved(const std::vector<SectionId>& orderBefore,
                                const std::vector<StoredSection>& left,
                                const std::vector<StoredSection>& came) {
    if (!open_) {
        return;
    }
    if (!open_->moves) {
        open_->moves = MoveNote{orderBefore, {}, {}, {}};
    }
    MoveNote& moves = *open_->moves;
    for (const StoredSection& section : left) {
        // A section that came within this same step and goes again is no
        // part of it either way.
        const auto arrived =
            std::find_if(moves.came.begin(), moves.came.end(),
                         [&](const StoredSection& c) { return c.record.id == section.record.id; });
        if (arrived != moves.came.end()) {
            moves.came.erase(arrived);
        } else {
            moves.left.push_back(section);
        }
    }
    moves.came.insert(moves.came.end(), came.begin(), came.end());
}

void EditHistory::NoteTitles(const TitleTexts& now) {
    for (const TitleFieldSpec& title : TitleFields) {
        const std::string& before = titlesAtBegin_.*title.text;
        const std::string& after = now.*title.text;
        if (before == after) {
            continue;
        }
        const auto noted =
            std::find_if(open_->titles.begin(), open_->titles.end(),
                         [&](const TitleNote& note) { return note.field == title.field; });
        if (noted != open_->titles.end()) {
            noted->after = after;
        } else {
            open_->titles.push_back({title.field, before, after});
        }
    }
}

std::vector<int> EditHistory::TouchedSections(const SectionTable& table) const {
    std::vector<int> sections;
    auto add = [&](SectionId id) {
        if (const std::optional<int> at = table.PositionOf(id); at && *at > 0) {
            sections.push_back(*at);
        }
    };
    if (open_ && depth_ == 0) {
        for (const FieldNote& note : open_->fields) {
            if (table.Fields().Spec(note.field).kind != FieldKind::Result) {
                add(note.section);
            }
        }
        if (open_->moves) {
            for (const StoredSection& section : open_->moves->came) {
                add(section.record.id);
            }
        }
    }
    std::sort(sections.begin(), sections.end());
    sections.erase(std::unique(sections.begin(), sections.end()), sections.end());
    return sections;
}

std::vector<int> EditHistory::SectionsChanging(const SectionTable& table,
                                               const std::vector<Field>& fields) const {
    std::vector<int> sections;
    if (open_ && depth_ == 0) {
        for (const FieldNote& note : open_->fields) {
            if (std::find(fields.begin(), fields.end(), note.field) != fields.end()) {
                if (const std::optional<int> at = table.PositionOf(note.section); at && *at > 0) {
                    sections.push_back(*at);
                }
            }
        }
    }
    std::sort(sections.begin(), sections.end());
    sections.erase(std::unique(sections.begin(), sections.end()), sections.end());
    return sections;
}

const std::string& EditHistory::UndoName() const {
    static const std::string none;
    return CanUndo() ? steps_[done_ - 1].name : none;
}

const std::string& EditHistory::RedoName() const {
    static const std::string none;
    return CanRedo() ? steps_[done_].name : none;
}

void EditHistory::ResumeTyping(const std::string& typingKey) {
    if (!typingKey.empty() && done_ > 0 && done_ == steps_.size() &&
        steps_.back().typingKey == typingKey) {
        typing_ = true;
    }
}

std::optional<EditStep> EditHistory::TakeBackTyping(const std::string& typingKey) {
    typing_ = false;
    if (open_ || typingKey.empty() || done_ == 0 || done_ != steps_.size() ||
        steps_.back().typingKey != typingKey) {
        return std::nullopt;
    }
    EditStep step = std::move(steps_.back());
    steps_.pop_back();
    bytes_ -= step.Bytes();
    --done_;
    if (saved_ && *saved_ > done_) {
        saved_.reset();
    }
    return step;
}

const EditStep* EditHistory::TakeUndo() {
    typing_ = false;
    return CanUndo() ? &steps_[--done_] : nullptr;
}

const EditStep* EditHistory::TakeRedo() {
    typing_ = false;
    return CanRedo() ? &steps_[done_++] : nullptr;
}

void EditHistory::Clear() {
    steps_.clear();
    done_ = 0;
    saved_ = 0;
    typing_ = false;
    bytes_ = 0;
}

std::vector<int> ApplyStep(Project& project, const EditStep& step, bool undo) {
    SectionTable& table = project.sections;
    // The sections moved first, each direction: a section changed and then
    // deleted within the step is put back as it was when it went, and its
    // notes then take it back to how the step found it.
    if (step.moves) {
        const MoveNote& moves = *step.moves;
        table.Rearrange(undo ? moves.orderBefore : moves.orderAfter,
                        undo ? moves.left : moves.came);
    }
    std::vector<int> changed;
    for (const FieldNote& note : step.fields) {
        const std::optional<int> at = table.PositionOf(note.section);
        if (!at || *at == 0) {
            continue;  // a section that is not in the table on this side of the step
        }
        table.Set(*at, note.field, undo ? note.before : note.after);
        changed.push_back(*at);
    }
    for (const TitleNote& note : step.titles) {
        TitleText(project.titles, note.field) = undo ? note.before : note.after;
    }
    project.enteredSectionCount = undo ? step.countBefore : step.countAfter;
    project.network = undo ? step.networkBefore : step.networkAfter;
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    // The results came back with the fields; the maps, never recorded, are
    // worked out again, as when the step first closed.
    for (const int s : changed) {
        SettleSection(project, s);
    }
    return changed;
}

void EditHistory::Trim() {
    while (bytes_ > MaxBytes && steps_.size() > 1 && done_ > 1) {
        bytes_ -= steps_.front().Bytes();
        steps_.pop_front();
        --done_;
        if (saved_) {
            saved_ = *saved_ == 0 ? std::nullopt : std::optional<std::size_t>(*saved_ - 1);
        }
    }
}

}  // namespace acquenza
