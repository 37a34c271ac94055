#include "project.h"

#include <algorithm>

#include "numbers.h"

namespace acquenza {

std::string_view FieldName(Field field) {
    static constexpr std::array<std::string_view, FieldCount> names = {
        "lungh",   "quotain",  "quotafin", "portun", "abitun", "dotazun", "portfin",
        "abitfin", "dotazfin", "tipoc",    "per",    "dia",    "vel",     "sca",
    };
    return names[static_cast<std::size_t>(field)];
}

std::string_view BoxLabel(Field field) {
    static constexpr std::array<std::string_view, InputFieldCount> labels = {
        "lunghezza",         "quota iniziale",   "quota finale",          "portata uniforme",
        "abitanti",          "dotazione idrica", "portata all'estremità", "abitanti2",
        "dotazione idrica2", "tipo di condotta",
    };
    const auto i = static_cast<std::size_t>(field);
    return i < labels.size() ? labels[i] : FieldName(field);
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
    FieldValue& slot = slots_[static_cast<std::size_t>(section)][field];
    if (listener_.who != nullptr && !(slot == value)) {
        listener_.who->FieldChanged(section, field, slot, value);
    }
    slot = std::move(value);
}

const SectionRecord& SectionTable::Record(int section) const {
    static const SectionRecord empty{};
    return IsValidSection(section) ? slots_[static_cast<std::size_t>(section)] : empty;
}

void SectionTable::CopyInputFields(int from, int to) {
    if (!IsValidSection(to)) {
        return;
    }
    const SectionRecord& source = Record(from);
    for (const Field f : InputFields) {
        Write(to, f, source[f]);
    }
}

void SectionTable::EmptySection(int section) {
    if (IsValidSection(section)) {
        for (int f = 0; f < FieldCount; ++f) {
            Write(section, static_cast<Field>(f), FieldValue());
        }
    }
}

void SectionTable::BlankSection(int section) {
    if (IsValidSection(section)) {
        for (int f = 0; f < FieldCount; ++f) {
            Write(section, static_cast<Field>(f), FieldValue::Text(""));
        }
    }
}

const SegmentCell& SegmentMap::Get(int segment, int section) const {
    static const SegmentCell zero{};
    return InRange(segment, section)
               ? cells_[static_cast<std::size_t>(section)][static_cast<std::size_t>(segment)]
               : zero;
}

void SegmentMap::Set(int segment, int section, const SegmentCell& cell) {
    if (InRange(segment, section) && section > 0) {
        cells_[static_cast<std::size_t>(section)][static_cast<std::size_t>(segment)] = cell;
    }
}

void SegmentMap::ClearSection(int section) {
    if (section > 0 && section <= MaxSections) {
        cells_[static_cast<std::size_t>(section)] = {};
    }
}

double NumericValue(const FieldValue& value, Field field) {
    if (value.IsNumber()) {
        return value.NumberValue();
    }
    const bool isFlow = field == Field::portun || field == Field::portfin;
    return isFlow ? FlowValue(value.TextValue()) : PointValue(value.TextValue());
}

double NumericValue(const SectionTable& table, int section, Field field) {
    return NumericValue(table.Get(section, field), field);
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
        if (std::any_of(InputFields.begin(), InputFields.end(),
                        [&](Field f) { return !record[f].IsEmpty(); })) {
            return s;
        }
    }
    return 0;
}

void DeleteSection(Project& project, int section) {
    if (!SectionTable::IsValidSection(section)) {
        return;
    }
    // The sections to close up run to the last one holding any input, not just
    // to the entered count: a row whose length is "0" sits above the count, and
    // deleting it must remove that row, never the last counted section.
    const int last =
        std::max({section, project.enteredSectionCount, LastSectionWithInput(project.sections)});
    for (int s = section; s < last; ++s) {
        project.sections.CopyInputFields(s + 1, s);
    }
    project.sections.EmptySection(last);
    project.segments.ClearSection(last);
    CountEnteredSections(project);
}

void ClearAll(Project& project) {
    for (int s = 1; s <= MaxSections; ++s) {
        project.sections.BlankSection(s);
        project.segments.ClearSection(s);
    }
    project.enteredSectionCount = 0;
}

}  // namespace acquenza
