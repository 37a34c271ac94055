#include "archive/network_block.h"

#include <cmath>
#include <optional>
#include <set>

#include "archive/project_file.h"
#include "archive/value_reader.h"
#include "core/numbers.h"

namespace acquenza {

const std::string& NetworkBlock::Value(std::string_view name) const {
    static const std::string none;
    for (const auto& [key, text] : values) {
        if (key == name) {
            return text;
        }
    }
    return none;
}

int NetworkBlock::Column(std::string_view name) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

namespace {

void AppendLine(std::string& out, const std::vector<std::string_view>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += '"';
        out += texts[i];
        out += '"';
    }
    out += "\r\n";
}

struct Line {
    int number = 0;
    std::vector<RawValue> values;
};

// The text's values grouped by the line they start on; lines holding
// nothing but blanks are left out.
std::vector<Line> LinesOf(std::string_view text, int firstLine) {
    std::vector<Line> lines;
    ValueReader reader(text);
    while (std::optional<RawValue> value = reader.Next()) {
        const int number = value->line + firstLine - 1;
        if (lines.empty() || lines.back().number != number) {
            lines.push_back({number, {}});
        }
        lines.back().values.push_back(std::move(*value));
    }
    std::erase_if(lines, [](const Line& l) {
        return l.values.size() == 1 && l.values[0].kind == RawValue::Kind::Nothing;
    });
    return lines;
}

std::optional<long long> WholeNumber(const RawValue& value) {
    const std::optional<double> x = ParseBareNumber(value.bytes);
    if (!x || *x != std::floor(*x) || std::abs(*x) > 1e9) {
        return std::nullopt;
    }
    return static_cast<long long>(*x);
}

}  // namespace

std::string EncodeNetworkBlock(const NetworkBlock& block) {
    std::string out = "\"" + std::string(NetworkBlockMarker) + "\"," +
                      std::to_string(NetworkBlockVersion) + "\r\n";
    for (const auto& [name, text] : block.values) {
        AppendLine(out, {name, text});
    }
    std::vector<std::string_view> heading = {NetworkTableMarker, "tronco"};
    heading.insert(heading.end(), block.columns.begin(), block.columns.end());
    AppendLine(out, heading);
    for (const NetworkBlock::Row& row : block.rows) {
        const std::string number = std::to_string(row.section);
        std::vector<std::string_view> texts = {number};
        for (std::size_t c = 0; c < block.columns.size(); ++c) {
            texts.push_back(c < row.texts.size() ? std::string_view(row.texts[c]) : "");
        }
        AppendLine(out, texts);
    }
    AppendLine(out, {NetworkBlockEnd});
    return out;
}

NetworkBlockRead DecodeNetworkBlock(std::string_view text, int firstLine) {
    NetworkBlockRead read;
    const std::vector<Line> lines = LinesOf(text, firstLine);
    if (lines.empty() || lines[0].values[0].bytes != NetworkBlockMarker) {
        return read;  // whatever follows is not ours, and is ignored as ever
    }
    read.found = true;
    auto stop = [&](int line, std::string why) {
        read.ok = false;
        read.line = line;
        read.message = "alla riga" + SignedText(line) + " dei dati della rete " + std::move(why);
        return read;
    };
    const Line& head = lines[0];
    const std::optional<long long> version =
        head.values.size() == 2 ? WholeNumber(head.values[1]) : std::nullopt;
    if (!version || *version < 1) {
        return stop(head.number, "manca il numero della versione.");
    }
    if (*version > NetworkBlockVersion) {
        return stop(head.number, "la versione " + std::to_string(*version) +
                                     " è più recente di quella che questo programma conosce (" +
                                     std::to_string(NetworkBlockVersion) +
                                     "): aprire il file con una versione aggiornata di Acquenza.");
    }
    bool inTable = false;
    std::set<int> sections;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const std::string& first = line.values[0].bytes;
        for (const RawValue& value : line.values) {
            if (CharLength(value.bytes) > MaxValueCharacters) {
                return stop(line.number, "un dato supera i " + std::to_string(MaxValueCharacters) +
                                             " caratteri ammessi.");
            }
        }
        if (first == NetworkBlockEnd && line.values.size() == 1) {
            return read;
        }
        if (!inTable && first == NetworkTableMarker) {
            if (line.values.size() < 2 || line.values[1].bytes != "tronco") {
                return stop(line.number, "l'intestazione della tabella deve iniziare con «" +
                                             std::string(NetworkTableMarker) + "» e «tronco».");
            }
            for (std::size_t c = 2; c < line.values.size(); ++c) {
                read.block.columns.push_back(line.values[c].bytes);
            }
            inTable = true;
            continue;
        }
        if (!inTable) {
            if (line.values.size() != 2) {
                return stop(line.number, "ci sono " + std::to_string(line.values.size()) +
                                             " dati invece di due (nome e valore).");
            }
            read.block.values.emplace_back(first, line.values[1].bytes);
            continue;
        }
        const std::optional<long long> section = WholeNumber(line.values[0]);
        if (!section || *section < 1 || *section > MaxSections) {
            return stop(line.number, "«" + first + "» non è il numero di un tronco (da 1 a " +
                                         std::to_string(MaxSections) + ").");
        }
        if (!sections.insert(static_cast<int>(*section)).second) {
            return stop(line.number, "il tronco n." + SignedText(static_cast<double>(*section)) +
                                         " compare per la seconda volta.");
        }
        if (line.values.size() > read.block.columns.size() + 1) {
            return stop(line.number, "ci sono più dati delle colonne della tabella.");
        }
        NetworkBlock::Row row{static_cast<int>(*section), {}};
        for (std::size_t c = 1; c < line.values.size(); ++c) {
            row.texts.push_back(line.values[c].bytes);
        }
        row.texts.resize(read.block.columns.size());
        read.block.rows.push_back(std::move(row));
    }
    return stop(lines.back().number, "manca la riga finale «" + std::string(NetworkBlockEnd) +
                                         "»: il file sembra troncato.");
}

}  // namespace acquenza
