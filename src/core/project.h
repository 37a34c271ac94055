#pragma once
// The project in memory: everything the data file saves (the sections, the
// title texts, the project's own values) and what the calculation derives
// from the sections (results and segment maps).

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "field_value.h"
#include "section_fields.h"
#include "section_id.h"
#include "title_texts.h"

namespace acquenza {

inline constexpr int MaxSections = 500;
inline constexpr int SegmentCount = 14;

// The standard fields by their number: the ten the user types, in the data
// file's order, then the four results. Code that works for any field reads
// the project's table instead (Project::Fields()).
inline constexpr int InputFieldCount = 10;
inline constexpr int FieldCount = StandardFieldCount;

inline constexpr std::array<Field, InputFieldCount> InputFields = {
    Field::lungh,   Field::quotain, Field::quotafin, Field::portun,   Field::abitun,
    Field::dotazun, Field::portfin, Field::abitfin,  Field::dotazfin, Field::tipoc,
};

// The control name of a standard field ("lungh", "sca", ...).
std::string_view FieldName(Field field);
// What the user calls a standard input field: the name of its box in the
// data window's messages ("lunghezza", "tipo di condotta", ...).
std::string_view BoxLabel(Field field);

struct SectionRecord {
    SectionId id;
    std::array<FieldValue, FieldSlots> fields;

    FieldValue& operator[](Field f) { return fields[static_cast<std::size_t>(f)]; }
    const FieldValue& operator[](Field f) const { return fields[static_cast<std::size_t>(f)]; }
    bool operator==(const SectionRecord&) const = default;
};

struct SegmentCell {
    double zStart = 0;
    double zEnd = 0;
    double flow = 0;
    double headLoss = 0;
    bool operator==(const SegmentCell&) const = default;
};

// The calculation's record of one section's 14 segments (slots 1..14; slot 0
// stays zero): not saved, and it moves with its section.
using SegmentMap = std::array<SegmentCell, SegmentCount + 1>;

// A section as it stood when it left the table, or came into it: how the edit
// history puts back a deleted section, results and map included.
struct StoredSection {
    SectionRecord record;
    SegmentMap map{};
    bool operator==(const StoredSection&) const = default;
};

// Told of every change of the table while it listens: how the user's edits
// are recorded, to be undone and done again.
class SectionTableListener {
  public:
    // A field of the section `id` changed value.
    virtual void FieldChanged(SectionId id, Field field, const FieldValue& before,
                              const FieldValue& after) = 0;
    // Sections left the table and others came into it: `orderBefore` gives
    // the ids of sections 1..MaxSections before the change, `left` the
    // sections that went, as they were, and `came` those that came, as they
    // came.
    virtual void SectionsMoved(const std::vector<SectionId>& orderBefore,
                               const std::vector<StoredSection>& left,
                               const std::vector<StoredSection>& came) = 0;

  protected:
    ~SectionTableListener() = default;
};

// Sections 1 to MaxSections, each a record with an id of its own, holding the
// fields its table describes. Slot 0 is the always-empty section before the
// first one: writes to it are ignored, so copying from "the previous
// section" of section 1 finds nothing.
class SectionTable {
  public:
    // `fields` must outlive the table (and its copies).
    explicit SectionTable(const FieldTable& fields = ProgramFields());

    const FieldTable& Fields() const { return *fields_; }

    const FieldValue& Get(int section, Field field) const;
    void Set(int section, Field field, FieldValue value);
    void Clear(int section, Field field) { Set(section, field, FieldValue()); }

    const SectionRecord& Record(int section) const;
    // Copies the input fields of `from` into `to`; results stay.
    void CopyInputFields(int from, int to);
    void EmptySection(int section);
    // Every field of the section set to the empty text.
    void BlankSection(int section);

    static bool IsValidSection(int section) { return section >= 1 && section <= MaxSections; }

    // --- identity
    // The id of the section shown as number `section`; NoSection for slot 0
    // and outside the table.
    SectionId IdAt(int section) const;
    // The number the section `id` has now; nothing when it is no longer in
    // the table (deleted). NoSection is slot 0.
    std::optional<int> PositionOf(SectionId id) const;
    // The ids of sections 1..MaxSections, in order.
    std::vector<SectionId> Order() const;

    // --- the calculation's map: out-of-range reads give an all-zero cell,
    // out-of-range writes are ignored
    const SegmentCell& Segment(int section, int segment) const;
    void SetMap(int section, const SegmentMap& map);
    void ClearMap(int section);

    // --- moving whole sections, results and maps with them
    // Section `section` leaves the table; sections section+1..last move up
    // one place, and an empty section with a new id takes place `last`.
    void Remove(int section, int last);
    // Every section 1..MaxSections replaced by those of `other`, ids and all.
    void ReplaceAll(const SectionTable& other);
    // Sections 1..MaxSections in the given order, each taken from the table
    // or from `stored` (how a step is undone and done again).
    void Rearrange(const std::vector<SectionId>& order, const std::vector<StoredSection>& stored);

    // One listener at a time; a copy of the table listens to nobody.
    void Listen(SectionTableListener* listener) { listener_.who = listener; }

  private:
    void Write(int section, Field field, FieldValue value);
    StoredSection Stored(int section) const;
    void Place(int section, StoredSection stored);

    struct ListenerSlot {
        SectionTableListener* who = nullptr;
        ListenerSlot() = default;
        ListenerSlot(const ListenerSlot&) {}
        ListenerSlot& operator=(const ListenerSlot&) { return *this; }
    };
    const FieldTable* fields_;
    std::vector<SectionRecord> records_;  // slots 0..MaxSections
    std::vector<SegmentMap> maps_;        // beside them, slot for slot
    std::unordered_map<SectionId, int> positions_;
    ListenerSlot listener_;
};

// Values that belong to the whole project rather than to one section: the
// network's source and pressure limits, saved with the project and recorded
// by the edit history with the title texts. Texts as the data file keeps
// flows (decimal comma); empty: not typed (the source's head is then
// unknown, the limits are the office's, from the settings file).
struct NetworkSettings {
    std::string sourceHead;             // m a.s.l.
    std::string minimumPressure;        // m, at every node
    std::string maximumStaticPressure;  // m, at every node
    // The catalogue series the network's pipes are laid from (its name as
    // the catalogue gives it); empty: the office's.
    std::string series;
    // How the loss of a pipe laid is stated: empty for the section
    // calculation's own formula, "Darcy-Weisbach" for Darcy-Weisbach with
    // Colebrook-White.
    std::string pipeFormula;
    // How the network was last sized from the source's head: empty when it
    // was not; "percorso" (the most unfavourable path), "percorso e costo"
    // (the same, then the cost reduced).
    std::string sizingMethod;

    bool Empty() const { return *this == NetworkSettings{}; }
    bool operator==(const NetworkSettings&) const = default;
};

// The project's network values with the names the data file gives them, in
// the order it writes them: reading, writing and the edit history go through
// this list.
struct NetworkSettingSpec {
    std::string_view name;  // "carico alla sorgente"
    std::string NetworkSettings::*text;
};
inline constexpr NetworkSettingSpec NetworkSettingSpecs[] = {
    {"carico alla sorgente", &NetworkSettings::sourceHead},
    {"pressione minima", &NetworkSettings::minimumPressure},
    {"pressione massima statica", &NetworkSettings::maximumStaticPressure},
    {"serie delle tubazioni", &NetworkSettings::series},
    {"formula delle perdite", &NetworkSettings::pipeFormula},
    {"metodo di dimensionamento", &NetworkSettings::sizingMethod},
};

struct Project {
    Project() = default;
    // A project whose sections hold the fields `fields` describes.
    explicit Project(const FieldTable& fields) : sections(fields) {}

    const FieldTable& Fields() const { return sections.Fields(); }

    // The sections with their results and segment maps.
    SectionTable sections;
    TitleTexts titles;
    NetworkSettings network;
    // The sections 1..MaxSections whose length is a positive number.
    int enteredSectionCount = 0;
};

// The number a field stands for: FlowValue for a flow, PointValue for the
// rest; a field holding a number gives it directly.
double NumericValue(const FieldValue& value, FieldKind kind);
// As above, for a standard field.
double NumericValue(const FieldValue& value, Field field);
double NumericValue(const SectionTable& table, int section, Field field);

// The roughness coefficient that goes with a pipe type: 0.0025 for "nuova",
// 0.004 for any other type, nothing without a type.
FieldValue RoughnessFor(const FieldValue& pipeType);

// Recounts enteredSectionCount as the sections 1..MaxSections whose length is
// positive, stores it and returns it.
int CountEnteredSections(Project& project);

// The last section holding anything typed in any of its input fields; 0 for
// none. A section left without its length still counts.
int LastSectionWithInput(const SectionTable& table);

// Removes section s: the later sections move up one place, whole, and the
// count is taken again. Sections that continued from it now start at the
// source: returns their numbers.
std::vector<int> DeleteSection(Project& project, int section);

// Sets every field of sections 1..MaxSections to the empty text (so a saved
// file shows them as "" rather than as never set) and clears their maps.
void ClearAll(Project& project);

}  // namespace acquenza
