#include <algorithm>
#include <cmath>

#include "archive/atomic_file.h"
#include "archive/cp1252.h"
#include "archive/network_block.h"
#include "archive/project_file.h"
#include "archive/value_reader.h"
#include "core/numbers.h"
#include "core/project_network.h"

namespace acquenza {

namespace {

FieldValue SectionValue(const RawValue& raw) {
    switch (raw.kind) {
        case RawValue::Kind::Nothing:
            return FieldValue();
        case RawValue::Kind::Quoted:
            return FieldValue::Text(raw.bytes);
        case RawValue::Kind::Bare:
            break;
    }
    if (const std::optional<double> number = ParseBareNumber(raw.bytes)) {
        return FieldValue::Number(*number);
    }
    return FieldValue::Text(raw.bytes);
}

// The section count, when the first value is a whole number or empty.
std::optional<long long> SectionCount(const RawValue& raw) {
    if (raw.kind == RawValue::Kind::Nothing) {
        return 0;
    }
    const std::optional<double> number = ParseBareNumber(raw.bytes);
    if (!number || *number != std::floor(*number) || std::abs(*number) > 1e15) {
        return std::nullopt;
    }
    return static_cast<long long>(*number);
}

// The values on a line; 0 for a line of blanks only.
int CountValuesOnLine(std::string_view text, int line) {
    ValueReader reader(text);
    int count = 0;
    bool blank = true;
    while (const std::optional<RawValue> value = reader.Next()) {
        if (value->line > line) {
            break;
        }
        if (value->line == line) {
            ++count;
            blank = blank && value->kind == RawValue::Kind::Nothing;
        }
    }
    return count == 1 && blank ? 0 : count;
}

// Reads values one by one, noting the first line that does not hold the
// values the program would have written there.
class LayoutReader {
  public:
    LayoutReader(std::string_view text, ReadOutcome& outcome)
        : text_(text), reader_(text), outcome_(outcome) {}

    std::optional<RawValue> Next(int expectedLine) {
        std::optional<RawValue> value = reader_.Next();
        if (value && outcome_.layout.line == 0 && value->line != expectedLine) {
            // A later line: the expected one held too few values; an earlier
            // one: that line holds too many.
            outcome_.layout.line = std::min(value->line, expectedLine);
        }
        return value;
    }

    // Why the value that should follow could not be read.
    std::string Missing(const std::string& what) const {
        if (reader_.EndedInOpenQuote()) {
            return "le virgolette aperte alla riga" + SignedText(reader_.Line()) +
                   " non sono mai chiuse (dato " + what + ").";
        }
        return "il file finisce prima del dato " + what + ".";
    }

    // Values that follow the title line, which the layout does not look at.
    std::optional<RawValue> NextIgnored() { return reader_.Next(); }

    void SetSectionLines(long long sections, int values) {
        sections_ = sections;
        sectionValues_ = values;
    }

    // Reading stops at `line`, by default the one the reader stands on.
    ReadOutcome& Stop(std::string why, int line = 0) {
        outcome_.complete = false;
        outcome_.line = line != 0 ? line : reader_.Line();
        outcome_.message = std::move(why);
        return Finish();
    }

    // Fills in what the first differing line holds.
    ReadOutcome& Finish() {
        LayoutDifference& layout = outcome_.layout;
        if (layout.line == 0) {
            return outcome_;
        }
        if (layout.line == 1) {
            layout.holds = 0;
            layout.valuesExpected = 1;
        } else if (layout.line <= sections_ + 1) {
            layout.holds = layout.line - 1;
            layout.valuesExpected = sectionValues_;
        } else {
            layout.holds = LayoutDifference::TitleLine;
            layout.valuesExpected = TitleTextCount;
        }
        layout.valuesFound = CountValuesOnLine(text_, layout.line);
        return outcome_;
    }

    void Stored(const RawValue& value) { outcome_.lastLineRead = value.line; }

  private:
    std::string_view text_;
    ValueReader reader_;
    ReadOutcome& outcome_;
    long long sections_ = 0;
    int sectionValues_ = 0;
};

// A value no real project holds: the file was edited by hand or is no data
// file at all, and reading stops there.
std::string Refused(const RawValue& value, const std::string& what, const std::string& why) {
    return "alla riga" + SignedText(value.line) + " il dato " + what + " " + why +
           "; il file sembra modificato a mano.";
}

// Where line `line` (1-based) of the text begins; the text's end when it has
// fewer lines. Line ends as the value reader counts them: CR LF, LF or CR.
std::size_t StartOfLine(std::string_view text, int line) {
    std::size_t pos = 0;
    for (int at = 1; at < line && pos < text.size(); ++at) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            return text.size();
        }
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') {
            ++pos;
        }
    }
    return pos;
}

// The block's values into the project; why not, when one cannot be taken
// (a link that is no section number, a delivery that is no number).
std::string StoreNetwork(const NetworkBlock& block, Project& project) {
    // The numbers among them are read as the boxes read them; the others
    // are names the program checks where it uses them.
    for (const NetworkSettingSpec& spec : NetworkSettingSpecs) {
        project.network.*spec.text = block.Value(spec.name);
    }
    const NetworkSettings& n = project.network;
    for (const std::string* text : {&n.sourceHead, &n.minimumPressure, &n.maximumStaticPressure}) {
        const FieldValue value = FieldValue::Text(*text);
        if (const std::string why = ValueLimitReason(FieldKind::Flow, value); !why.empty()) {
            return "nei dati della rete un valore " + why + "; il file sembra modificato a mano.";
        }
    }
    const FieldTable& fields = project.Fields();
    for (const Field f : fields.All()) {
        const FieldSpec& spec = fields.Spec(f);
        const int column = block.Column(spec.label);
        if (spec.storage != Storage::NetworkBlock || column < 0) {
            continue;
        }
        for (const NetworkBlock::Row& row : block.rows) {
            if (row.section < 1 || row.section > MaxSections) {
                return "nei dati della rete il tronco n." + SignedText(row.section) +
                       " non esiste; il file sembra modificato a mano.";
            }
            static const std::string none;
            const std::string& text = static_cast<std::size_t>(column) < row.texts.size()
                                          ? row.texts[static_cast<std::size_t>(column)]
                                          : none;
            const std::string where = "«" + std::string(spec.label) + "» del tronco n." +
                                      SignedText(row.section) + " nei dati della rete";
            if (spec.kind == FieldKind::Link) {
                if (text.empty()) {
                    continue;
                }
                const std::optional<double> k = ParseBareNumber(text);
                if (!k || *k != std::floor(*k) || *k < 0 || *k > MaxSections) {
                    return "il dato " + where + " («" + text +
                           "») non è il numero di un tronco; il file sembra modificato a mano.";
                }
                project.sections.Set(row.section, f,
                                     UpstreamValue(project.sections, static_cast<int>(*k)));
                continue;
            }
            const FieldValue value = FieldValue::Text(text);
            if (const std::string why = ValueLimitReason(spec.kind, value); !why.empty()) {
                return "il dato " + where + " " + why + "; il file sembra modificato a mano.";
            }
            project.sections.Set(row.section, f, value);
        }
    }
    return {};
}

}  // namespace

ReadOutcome ReadProjectData(std::string_view bytes, Project& project) {
    const DecodedText text = DecodeUtf8OrCp1252(bytes);
    ReadOutcome outcome;
    outcome.readAsUtf8 = text.wasUtf8;
    outcome.readAsUtf16 = text.wasUtf16;
    LayoutReader reader(text.utf8, outcome);

    const std::optional<RawValue> first = reader.Next(1);
    if (!first) {
        return reader.Stop("il file è vuoto.");
    }
    const std::optional<long long> count = SectionCount(*first);
    if (!count) {
        return reader.Stop("alla riga" + SignedText(first->line) +
                               " il numero dei tronchi non è un numero intero.",
                           first->line);
    }
    project.enteredSectionCount = static_cast<int>(std::clamp<long long>(*count, 0, MaxSections));
    reader.Stored(*first);

    const long long sections = std::max<long long>(*count, 0);
    const std::vector<Field>& line = project.Fields().OnSectionLine();
    reader.SetSectionLines(sections, static_cast<int>(line.size()));
    for (long long s = 1; s <= sections; ++s) {
        if (s > MaxSections) {
            return reader.Stop("il file dichiara " + std::to_string(*count) + " tronchi, più dei " +
                               std::to_string(MaxSections) + " ammessi; letti i primi " +
                               std::to_string(MaxSections) + ".");
        }
        for (const Field f : line) {
            const FieldSpec& spec = project.Fields().Spec(f);
            const std::optional<RawValue> value = reader.Next(static_cast<int>(s) + 1);
            if (!value) {
                return reader.Stop(reader.Missing("«" + std::string(spec.label) +
                                                  "» del tronco n." +
                                                  SignedText(static_cast<double>(s))));
            }
            const FieldValue read = SectionValue(*value);
            if (const std::string why = ValueLimitReason(spec.kind, read); !why.empty()) {
                return reader.Stop(Refused(*value,
                                           "«" + std::string(spec.name) + "» del tronco n." +
                                               SignedText(static_cast<double>(s)),
                                           why),
                                   value->line);
            }
            project.sections.Set(static_cast<int>(s), f, read);
            reader.Stored(*value);
        }
    }
    const int titleLine = static_cast<int>(sections) + 2;
    for (const TitleFieldSpec& title : TitleFields) {
        const std::optional<RawValue> value = reader.Next(titleLine);
        if (!value) {
            return reader.Stop(
                reader.Missing("«" + std::string(title.label) + "» del frontespizio"));
        }
        if (const std::string why = TitleLimitReason(value->bytes); !why.empty()) {
            return reader.Stop(
                Refused(*value, "«" + std::string(title.name) + "» del frontespizio", why),
                value->line);
        }
        project.titles.*title.text = value->bytes;
        reader.Stored(*value);
    }
    // Further lines are ignored, but more values on the title line itself
    // mean the texts did not sit where they belong.
    if (outcome.layout.line == 0) {
        const std::optional<RawValue> extra = reader.NextIgnored();
        if (extra && extra->line == titleLine) {
            outcome.layout.line = titleLine;
        }
    }
    // The network's values, where older programs stop reading.
    const std::size_t after = StartOfLine(text.utf8, titleLine + 1);
    const NetworkBlockRead network =
        DecodeNetworkBlock(std::string_view(text.utf8).substr(after), titleLine + 1);
    if (network.found) {
        if (!network.ok) {
            return reader.Stop("alla riga" + SignedText(network.line) + " " + network.message,
                               network.line);
        }
        if (std::string why = StoreNetwork(network.block, project); !why.empty()) {
            return reader.Stop(std::move(why), network.line);
        }
    }
    return reader.Finish();
}

ReadOutcome ReadProjectFile(const std::filesystem::path& path, Project& project) {
    std::string bytes;
    struct stat st {};
    const ArchiveResult read = ReadWholeFile(path, MaxProjectFileBytes, bytes, &st);
    if (!read.ok) {
        ReadOutcome outcome;
        outcome.complete = false;
        outcome.opened = false;
        outcome.message = read.message;
        return outcome;
    }
    ReadOutcome outcome = ReadProjectData(bytes, project);
    outcome.file = FingerprintOf(bytes, st);
    return outcome;
}

}  // namespace acquenza
