#include "project.h"

#include <algorithm>
#include <atomic>

#include "numbers.h"
#include "project_network.h"

namespace acquenza {

std::string_view FieldName(Field field) {
    return StandardFields().Spec(field).name;
}

std::string_view BoxLabel(Field field) {
    return StandardFields().Spec(field).label;
}

SectionId NewSectionId() {
    // One counter for the whole run: ids never come back, whichever table
    // (the project, a file being read) asks.
    static std::atomic<std::uint64_t> next{1};
    return SectionId{next.fetch_add(1, std::memory_order_relaxed)};
}

SectionTable::SectionTable(const FieldTable& fields)
    : fields_(&fields), records_(MaxSections + 1), maps_(MaxSections + 1) {
    positions_.reserve(MaxSections + 1);
    positions_[NoSection] = 0;
    for (int s = 1; s <= MaxSections; ++s) {
        records_[static_cast<std::size_t>(s)].id = NewSectionId();
        positions_[records_[static_cast<std::size_t>(s)].id] = s;
    }
}

const FieldValue& SectionTable::Get(int section, Field field) const {
    return Record(section)[field];
}

void SectionTable::Set(int section, Field field, FieldValue value) {
    if (IsValidSection(section)) {
        Write(section, field, std::move(value));
    }
}

void SectionTable::Write(int section, Field field, FieldValue value) {
    SectionRecord& record = records_[static_cast<std::size_t>(section)];
    FieldValue& slot = record[field];
    if (listener_.who != nullptr && !(slot == value)) {
        listener_.who->FieldChanged(record.id, field, slot, value);
    }
    slot = std::move(value);
}

const SectionRecord& SectionTable::Record(int section) const {
    static const SectionRecord empty{};
    return IsValidSection(section) ? records_[static_cast<std::size_t>(section)] : empty;
}

void SectionTable::CopyInputFields(int from, int to) {
    if (!IsValidSection(to)) {
        return;
    }
    const SectionRecord source = Record(from);
    for (const Field f : fields_->Inputs()) {
        Write(to, f, source[f]);
    }
}

void SectionTable::EmptySection(int section) {
    if (IsValidSection(section)) {
        for (const Field f : fields_->All()) {
            Write(section, f, FieldValue());
        }
    }
}

void SectionTable::BlankSection(int section) {
    if (IsValidSection(section)) {
        for (const Field f : fields_->All()) {
            Write(section, f, FieldValue::Text(""));
        }
    }
}

SectionId SectionTable::IdAt(int section) const {
    return Record(section).id;
}

std::optional<int> SectionTable::PositionOf(SectionId id) const {
    const auto found = positions_.find(id);
    if (found == positions_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<SectionId> SectionTable::Order() const {
    std::vector<SectionId> order;
    order.reserve(MaxSections);
    for (int s = 1; s <= MaxSections; ++s) {
        order.push_back(records_[static_cast<std::size_t>(s)].id);
    }
    return order;
}

const SegmentCell& SectionTable::Segment(int section, int segment) const {
    static const SegmentCell zero{};
    return IsValidSection(section) && segment >= 0 && segment <= SegmentCount
               ? maps_[static_cast<std::size_t>(section)][static_cast<std::size_t>(segment)]
               : zero;
}

void SectionTable::SetMap(int section, const SegmentMap& map) {
    if (IsValidSection(section)) {
        maps_[static_cast<std::size_t>(section)] = map;
    }
}

void SectionTable::ClearMap(int section) {
    SetMap(section, SegmentMap{});
}

StoredSection SectionTable::Stored(int section) const {
    return {records_[static_cast<std::size_t>(section)], maps_[static_cast<std::size_t>(section)]};
}

void SectionTable::Place(int section, StoredSection stored) {
    const auto i = static_cast<std::size_t>(section);
    positions_[stored.record.id] = section;
    records_[i] = std::move(stored.record);
    maps_[i] = stored.map;
}

void SectionTable::Remove(int section, int last) {
    if (!IsValidSection(section) || !IsValidSection(last) || last < section) {
        return;
    }
    const std::vector<SectionId> before =
        listener_.who != nullptr ? Order() : std::vector<SectionId>{};
    StoredSection leaving = Stored(section);
    positions_.erase(leaving.record.id);
    for (int s = section; s < last; ++s) {
        Place(s, Stored(s + 1));
    }
    StoredSection fresh;
    fresh.record.id = NewSectionId();
    Place(last, fresh);
    if (listener_.who != nullptr) {
        listener_.who->SectionsMoved(before, {std::move(leaving)}, {std::move(fresh)});
    }
}

void SectionTable::ReplaceAll(const SectionTable& other) {
    const std::vector<SectionId> before =
        listener_.who != nullptr ? Order() : std::vector<SectionId>{};
    std::vector<StoredSection> left;
    std::vector<StoredSection> came;
    if (listener_.who != nullptr) {
        left.reserve(MaxSections);
        came.reserve(MaxSections);
    }
    for (int s = 1; s <= MaxSections; ++s) {
        if (listener_.who != nullptr) {
            left.push_back(Stored(s));
            came.push_back(other.Stored(s));
        }
        positions_.erase(records_[static_cast<std::size_t>(s)].id);
    }
    for (int s = 1; s <= MaxSections; ++s) {
        Place(s, other.Stored(s));
    }
    if (listener_.who != nullptr) {
        listener_.who->SectionsMoved(before, left, came);
    }
}

void SectionTable::Rearrange(const std::vector<SectionId>& order,
                             const std::vector<StoredSection>& stored) {
    std::unordered_map<SectionId, StoredSection> pool;
    pool.reserve(MaxSections + stored.size());
    for (int s = 1; s <= MaxSections; ++s) {
        pool.emplace(records_[static_cast<std::size_t>(s)].id, Stored(s));
    }
    for (const StoredSection& section : stored) {
        pool.insert_or_assign(section.record.id, section);
    }
    positions_.clear();
    positions_[NoSection] = 0;
    for (int s = 1; s <= MaxSections && static_cast<std::size_t>(s) <= order.size(); ++s) {
        auto found = pool.find(order[static_cast<std::size_t>(s - 1)]);
        StoredSection section;
        if (found != pool.end()) {
            section = std::move(found->second);
        } else {
            section.record.id = order[static_cast<std::size_t>(s - 1)];
        }
        Place(s, std::move(section));
    }
}

double NumericValue(const FieldValue& value, FieldKind kind) {
    if (value.IsNumber()) {
        return value.NumberValue();
    }
    return kind == FieldKind::Flow ? FlowValue(value.TextValue()) : PointValue(value.TextValue());
}

double NumericValue(const FieldValue& value, Field field) {
    const FieldTable& standard = StandardFields();
    return NumericValue(value, standard.Has(field) ? standard.Spec(field).kind : FieldKind::Number);
}

double NumericValue(const SectionTable& table, int section, Field field) {
    return NumericValue(table.Get(section, field), table.Fields().Spec(field).kind);
}

int CountEnteredSections(Project& project) {
    int count = 0;
    for (int s = 1; s <= MaxSections; ++s) {
        if (NumericValue(project.sections, s, Field::lungh) > 0) {
            ++count;
        }
    }
    project.enteredSectionCount = count;
    return count;
}

FieldValue RoughnessFor(const FieldValue& pipeType) {
    if (pipeType.IsEmpty()) {
        return {};
    }
    return FieldValue::Number(pipeType.DisplayText() == "nuova" ? 0.0025 : 0.004);
}

int LastSectionWithInput(const SectionTable& table) {
    for (int s = MaxSections; s >= 1; --s) {
        const SectionRecord& record = table.Record(s);
        const std::vector<Field>& inputs = table.Fields().Inputs();
        if (std::any_of(inputs.begin(), inputs.end(),
                        [&](Field f) { return !record[f].IsEmpty(); })) {
            return s;
        }
    }
    return 0;
}

std::vector<int> DeleteSection(Project& project, int section) {
    if (!SectionTable::IsValidSection(section)) {
        return {};
    }
    // The sections to close up run to the last one holding any input, not just
    // to the entered count: a row whose length is "0" sits above the count, and
    // deleting it must remove that row, never the last counted section.
    const int last =
        std::max({section, project.enteredSectionCount, LastSectionWithInput(project.sections)});
    const SectionId leaving = project.sections.IdAt(section);
    project.sections.Remove(section, last);
    CountEnteredSections(project);
    // Links to later sections follow them by id; those that continued from
    // the deleted section now start at the source.
    return ResetLinksToDeleted(project, leaving);
}

void ClearAll(Project& project) {
    for (int s = 1; s <= MaxSections; ++s) {
        project.sections.BlankSection(s);
        project.sections.ClearMap(s);
    }
    project.enteredSectionCount = 0;
}

}  // namespace acquenza
