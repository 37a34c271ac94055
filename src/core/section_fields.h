#pragma once
// One description of a section's fields: what each is, what the user and the
// messages call it, where the data file keeps it, where the grid, the result
// area, the network summary, its spreadsheet file and the reports show it.
// Those places read the description; none lists the fields again.
//
// A project's table is the program's standard one, or that one with further
// fields described after the others (the network's values, a test's own
// field): each new field gets a slot of the section record and is then
// shown, typed, checked, saved, read, undone and exported as the table says.

#include <string>
#include <string_view>
#include <vector>

namespace acquenza {

// A field's slot in a section record. The standard fields have names; the
// slots after them are for the fields a table adds.
enum class Field : int {
    lungh,
    quotain,
    quotafin,
    portun,
    abitun,
    dotazun,
    portfin,
    abitfin,
    dotazfin,
    tipoc,
    per,
    dia,
    vel,
    sca,
};
inline constexpr int StandardFieldCount = 14;
// How many fields a section record can hold: the standard ones and room
// for those a table adds.
inline constexpr int FieldSlots = 24;

enum class FieldKind {
    Length,     // m; a positive length is what makes a section count
    Elevation,  // m above sea level
    Flow,       // l/s; typed with a point, kept with a comma
    Count,      // residents: a number, never negative
    Allowance,  // litres per resident a day, or the fire-fighting mark
    Choice,     // a text picked from the field's list
    Number,     // any other number the user types
    Result,     // written by the calculation only
    Link,       // another section, held by its id; nothing for none
};

// Where the data file keeps a field.
enum class Storage {
    None,         // not saved: worked out again
    SectionLine,  // the section's own line, at `position` (0 = first value)
    // The block after the title line, section by section, where files of
    // older programs end: for values added to the sections later (the
    // network's). Its reading and writing come with its first field.
    NetworkBlock,
};

// A column of the data window: a box of each grid row, or, for a result, a
// label of the result area. Twips; a width of 0 keeps the field off screen.
struct ScreenColumn {
    std::string_view heading;
    std::string_view unit;
    std::string_view tooltip;
    int left = 0;
    int width = 0;
};

// A column of the network summary and of its spreadsheet file; `order` 0
// keeps the field out, the others stand by their order among the columns.
struct SummaryPlace {
    int order = 0;
    std::string_view heading;       // the file's, and the window's tooltip
    std::string_view shortHeading;  // the window's, on two lines
    int decimals = 2;               // a Choice field shows its text
};

// How the documents print the field in the table of data and results.
enum class ReportCell {
    None,       // not printed
    Measure,    // the value in hundredths
    Residents,  // as typed ("0" for none in the data window's document)
    Allowance,  // as typed, "ant." for the fire mark, "0" for none
    Result,     // in `decimals`, empty when never calculated
};
// Where the direct print puts it on the line: the decimal separator in
// column `column`, the text ending in it, or the number starting there.
enum class PrintAt { DecimalSeparator, End, Start };

struct ReportPlace {
    ReportCell cell = ReportCell::None;
    int decimals = 2;
    std::string_view heading;
    std::string_view unit;
    std::string_view legend;
    // The data window's document explains the column in words of its own
    // where they differ.
    std::string_view sheetLegend;
    PrintAt printAt = PrintAt::DecimalSeparator;
    int printColumn = 0;
};

struct FieldSpec {
    Field field = Field::lungh;
    std::string_view name;   // the control's name: "lungh"
    std::string_view label;  // what messages call its box: "lunghezza"
    // The value as a message names it after "il valore": "della quota
    // iniziale"; empty for fields no such message names.
    std::string_view ofName;
    FieldKind kind = FieldKind::Number;
    Storage storage = Storage::None;
    int position = -1;
    std::vector<std::string> choices;  // a Choice field's list, in order
    ScreenColumn screen;
    SummaryPlace summary;
    ReportPlace report;
};

class FieldTable {
  public:
    explicit FieldTable(std::vector<FieldSpec> fields);

    // This table with `extra` described after its own fields.
    FieldTable With(FieldSpec extra) const;

    bool Has(Field field) const;
    // The description of a field of the table.
    const FieldSpec& Spec(Field field) const;

    // Every field, in the table's order.
    const std::vector<Field>& All() const { return all_; }
    // The fields the user gives (every kind but Result), in order.
    const std::vector<Field>& Inputs() const { return inputs_; }
    const std::vector<Field>& Results() const { return results_; }
    // The fields of a section's line of the data file, in the line's order.
    const std::vector<Field>& OnSectionLine() const { return line_; }

  private:
    std::vector<FieldSpec> specs_;
    std::vector<int> index_;  // slot -> place in specs_, -1 for none
    std::vector<Field> all_;
    std::vector<Field> inputs_;
    std::vector<Field> results_;
    std::vector<Field> line_;
};

// The program's own fields: the ten the user types and the four results.
const FieldTable& StandardFields();

// The network's values of a section, kept in the data file's network block:
// the section its start continues from ("tronco a monte": nothing for a
// stand-alone section, a reference to no section for the source, otherwise
// that section) and what its end node delivers by itself ("erogazione al
// nodo", l/s; empty: worked out from the section's own data).
inline constexpr Field LinkField = static_cast<Field>(StandardFieldCount);
inline constexpr Field NodeDemandField = static_cast<Field>(StandardFieldCount + 1);
// The pipe laid on a linked section: its catalogue series ("serie"; empty:
// the project's) and its size ("misura", the catalogue's label; empty: the
// smallest of the series not below the theoretical diameter).
inline constexpr Field SeriesField = static_cast<Field>(StandardFieldCount + 2);
inline constexpr Field PipeSizeField = static_cast<Field>(StandardFieldCount + 3);
// The theoretical diameter the network's sizing from the source's head gave
// the section, mm; empty when the network was not so sized.
inline constexpr Field NetworkDiameterField = static_cast<Field>(StandardFieldCount + 4);

// The table every project of the program uses: the standard fields and the
// network's. Off the grid and off the section line, the network's fields
// leave a project without a network exactly as it was.
const FieldTable& ProgramFields();

}  // namespace acquenza
