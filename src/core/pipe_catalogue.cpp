#include "pipe_catalogue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <system_error>

#include "decimal_text.h"

namespace acquenza {

namespace {

constexpr std::uintmax_t MaxCatalogueBytes = 1024 * 1024;

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// A key or heading split into its name (lower case, blanks collapsed) and the
// unit written in brackets after it, if any.
struct Named {
    std::string name;
    std::string unit;
    bool unitGiven = false;
    bool malformed = false;
};

Named SplitName(std::string_view text) {
    Named out;
    std::string_view name = text;
    const auto open = text.find('(');
    if (open != std::string_view::npos) {
        const auto close = text.find(')', open);
        if (close == std::string_view::npos || !Trim(text.substr(close + 1)).empty()) {
            out.malformed = true;
        } else {
            out.unit = std::string(Trim(text.substr(open + 1, close - open - 1)));
            out.unitGiven = true;
        }
        name = text.substr(0, open);
    }
    bool blank = false;
    for (const char c : Lower(Trim(name))) {
        if (c == ' ' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.name.empty()) {
            out.name += ' ';
        }
        blank = false;
        out.name += c;
    }
    return out;
}

// A plain decimal number with "," or "." as separator: digits, one separator,
// digits, nothing else (no sign, no exponent, no grouping), as a catalogue
// figure is written.
std::optional<double> ReadDecimal(std::string_view text) {
    text = Trim(text);
    if (text.empty()) {
        return std::nullopt;
    }
    std::string plain;
    bool separator = false;
    bool digit = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            plain += c;
            digit = true;
        } else if ((c == ',' || c == '.') && !separator) {
            plain += '.';
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size()) {
            return false;  // cut short by the end of the line
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (d & 0x3F);
        }
        const std::uint32_t least = extra == 1 ? 0x80 : (extra == 2 ? 0x800 : 0x10000);
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

std::vector<std::string_view> SplitCells(std::string_view line) {
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    while (true) {
        const auto semicolon = line.find(';', start);
        if (semicolon == std::string_view::npos) {
            cells.push_back(Trim(line.substr(start)));
            return cells;
        }
        cells.push_back(Trim(line.substr(start, semicolon - start)));
        start = semicolon + 1;
    }
}

enum class Column { Size, Internal, Outside, Wall, Lining, Class, Pn, Price };

struct ColumnName {
    std::string_view name;
    std::string_view unit;  // empty: no unit
    Column column;
};

constexpr std::array<ColumnName, 8> Columns = {{
    {"misura", "", Column::Size},
    {"diametro interno", "mm", Column::Internal},
    {"diametro esterno", "mm", Column::Outside},
    {"spessore", "mm", Column::Wall},
    {"rivestimento", "mm", Column::Lining},
    {"classe", "", Column::Class},
    {"pn", "bar", Column::Pn},
    {"prezzo", "€/m", Column::Price},
}};

enum class Key { Series, Material, Standard, Pn, Roughness, Prefix };

struct KeyName {
    std::string_view name;
    std::string_view unit;
    Key key;
    bool required;
};

constexpr std::array<KeyName, 6> Keys = {{
    {"serie", "", Key::Series, true},
    {"materiale", "", Key::Material, true},
    {"norma", "", Key::Standard, false},
    {"pn", "bar", Key::Pn, true},
    {"scabrezza", "mm", Key::Roughness, true},
    {"misura", "", Key::Prefix, false},
}};

class Parser {
  public:
    explicit Parser(std::string_view fileName) : file_(fileName) {}

    CatalogueParse Run(std::string_view text) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") {
            text.remove_prefix(3);  // a byte-order mark some editors write
        }
        int number = 0;
        std::size_t start = 0;
        while (start <= text.size()) {
            const auto end = text.find('\n', start);
            const std::string_view line = text.substr(
                start, end == std::string_view::npos ? std::string_view::npos : end - start);
            ++number;
            Line(number, line);
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
        Finish();
        CatalogueParse out;
        out.errors = std::move(errors_);
        if (out.errors.empty()) {
            out.series = std::move(series_);
        }
        return out;
    }

  private:
    void Error(int line, const std::string& what) {
        errors_.push_back("file " + file_ + ", riga " + std::to_string(line) + ": " + what);
    }
    void FileError(const std::string& what) { errors_.push_back("file " + file_ + ": " + what); }

    void Line(int number, std::string_view raw) {
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        if (!ValidUtf8(raw)) {
            Error(number, "il testo non è in UTF-8");
            return;
        }
        const std::string_view line = Trim(raw);
        if (line.empty()) {
            return;
        }
        if (line.front() == '#') {
            if (!headed_) {
                series_.notes.emplace_back(Trim(line.substr(1)));
            }
            return;
        }
        if (!headed_) {
            if (line.find(';') != std::string_view::npos) {
                Heading(number, line);
            } else {
                KeyLine(number, line);
            }
            return;
        }
        Row(number, line);
    }

    void KeyLine(int number, std::string_view line) {
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            Error(number,
                  "riga non riconosciuta: prima dell'intestazione delle colonne sono ammesse solo "
                  "righe «chiave: valore» e commenti «#»");
            return;
        }
        const Named named = SplitName(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        const auto known = std::find_if(Keys.begin(), Keys.end(),
                                        [&](const KeyName& k) { return k.name == named.name; });
        if (named.malformed || known == Keys.end()) {
            Error(number, "chiave «" + std::string(Trim(line.substr(0, colon))) +
                              "» sconosciuta (ammesse: serie, materiale, norma, pn, scabrezza, "
                              "misura)");
            return;
        }
        if (!UnitMatches(number, named, known->unit, known->name)) {
            return;
        }
        if (!seenKeys_.insert({known->key, number}).second) {
            Error(number, "la chiave «" + std::string(known->name) + "» è già data alla riga " +
                              std::to_string(seenKeys_[known->key]));
            return;
        }
        if (value.empty()) {
            Error(number, "la chiave «" + std::string(known->name) + "» non ha valore");
            return;
        }
        switch (known->key) {
            case Key::Series:
                series_.name = value;
                break;
            case Key::Material:
                series_.material = value;
                break;
            case Key::Standard:
                series_.standard = value;
                break;
            case Key::Prefix:
                series_.sizePrefix = value;
                break;
            case Key::Pn:
                if (auto pn = ReadDecimal(value); pn && *pn > 0) {
                    series_.pn = *pn;
                } else {
                    Error(number,
                          "la PN «" + std::string(value) + "» non è un numero positivo di bar");
                }
                break;
            case Key::Roughness:
                if (auto e = ReadDecimal(value); e && *e < 10) {
                    series_.roughnessMm = *e;
                } else {
                    Error(number, "la scabrezza «" + std::string(value) +
                                      "» non è un numero di millimetri da 0 a 10");
                }
                break;
        }
    }

    bool UnitMatches(int number, const Named& named, std::string_view expected,
                     std::string_view what) {
        if (!named.unitGiven || named.unit == expected) {
            return true;
        }
        if (expected.empty()) {
            Error(number,
                  "«" + std::string(what) + "» non ha unità di misura, non «" + named.unit + "»");
        } else {
            Error(number, "«" + std::string(what) + "» va in " + std::string(expected) +
                              ", non in «" + named.unit + "»");
        }
        return false;
    }

    void Heading(int number, std::string_view line) {
        headed_ = true;
        headingLine_ = number;
        bool ok = true;
        for (const std::string_view cell : SplitCells(line)) {
            const Named named = SplitName(cell);
            const auto known = std::find_if(Columns.begin(), Columns.end(),
                                            [&](const auto& c) { return c.name == named.name; });
            if (named.malformed || known == Columns.end()) {
                Error(number, "colonna «" + std::string(cell) +
                                  "» sconosciuta (ammesse: Misura, Diametro interno (mm), "
                                  "Diametro esterno (mm), Spessore (mm), Rivestimento (mm), "
                                  "Classe, PN (bar), Prezzo (€/m))");
                ok = false;
                continue;
            }
            if (!UnitMatches(number, named, known->unit, cell)) {
                ok = false;
                continue;
            }
            if (std::find(columns_.begin(), columns_.end(), known->column) != columns_.end()) {
                Error(number, "la colonna «" + std::string(cell) + "» è ripetuta");
                ok = false;
                continue;
            }
            columns_.push_back(known->column);
        }
        for (const Column required : {Column::Size, Column::Internal}) {
            if (std::find(columns_.begin(), columns_.end(), required) == columns_.end()) {
                Error(number, required == Column::Size
                                  ? "manca la colonna «Misura»"
                                  : "manca la colonna «Diametro interno (mm)»");
                ok = false;
            }
        }
        columnsUsable_ = ok;
    }

    void Row(int number, std::string_view line) {
        rowsSeen_ = true;
        if (!columnsUsable_) {
            return;  // the heading's own error says why; each row would repeat it
        }
        const std::vector<std::string_view> cells = SplitCells(line);
        if (cells.size() > columns_.size()) {
            Error(number, std::to_string(cells.size()) + " colonne, ma l'intestazione (riga " +
                              std::to_string(headingLine_) + ") ne ha " +
                              std::to_string(columns_.size()));
            return;
        }
        PipeSize size;
        std::optional<double> pn;
        bool ok = true;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const std::string_view cell = i < cells.size() ? cells[i] : std::string_view();
            ok = Cell(number, columns_[i], cell, size, pn) && ok;
        }
        if (!ok) {
            return;
        }
        if (size.outsideMm && *size.outsideMm <= size.internalMm) {
            Error(number, "il diametro esterno " + DecimalText(*size.outsideMm, 1) +
                              " mm non supera quello interno " + DecimalText(size.internalMm, 1) +
                              " mm");
            return;
        }
        const auto same = std::find_if(series_.sizes.begin(), series_.sizes.end(),
                                       [&](const PipeSize& s) { return s.label == size.label; });
        if (same != series_.sizes.end()) {
            Error(number,
                  "la misura «" + size.label + "» è già elencata alla riga " +
                      std::to_string(
                          rowLines_[static_cast<std::size_t>(same - series_.sizes.begin())]));
            return;
        }
        size.pn = pn.value_or(0);
        series_.sizes.push_back(std::move(size));
        rowLines_.push_back(number);
    }

    bool Cell(int number, Column column, std::string_view cell, PipeSize& size,
              std::optional<double>& pn) {
        auto required = [&](std::string_view what) {
            Error(number, "manca " + std::string(what));
            return false;
        };
        auto positive = [&](std::string_view what, std::optional<double>& into) {
            if (cell.empty()) {
                return true;
            }
            const auto v = ReadDecimal(cell);
            if (!v || !(*v > 0)) {
                Error(number,
                      std::string(what) + " «" + std::string(cell) + "» non è un numero positivo");
                return false;
            }
            into = v;
            return true;
        };
        switch (column) {
            case Column::Size:
                if (cell.empty()) {
                    return required("la misura");
                }
                size.label = cell;
                return true;
            case Column::Internal: {
                if (cell.empty()) {
                    return required("il diametro interno");
                }
                std::optional<double> v;
                if (!positive("il diametro interno", v)) {
                    return false;
                }
                size.internalMm = *v;
                return true;
            }
            case Column::Outside:
                return positive("il diametro esterno", size.outsideMm);
            case Column::Wall:
                return positive("lo spessore", size.wallMm);
            case Column::Lining:
                return positive("il rivestimento", size.liningMm);
            case Column::Class:
                size.className = cell;
                return true;
            case Column::Pn:
                return positive("la PN", pn);
            case Column::Price: {
                if (cell.empty()) {
                    return true;
                }
                const auto v = ReadDecimal(cell);
                if (!v) {
                    Error(number, "il prezzo «" + std::string(cell) +
                                      "» non è un numero di euro al metro (es. 41,50)");
                    return false;
                }
                size.pricePerMetre = v;
                return true;
            }
        }
        return false;
    }

    void Finish() {
        for (const KeyName& k : Keys) {
            if (k.required && !seenKeys_.contains(k.key)) {
                FileError("manca la riga «" + std::string(k.name) +
                          (k.unit.empty() ? "" : " (" + std::string(k.unit) + ")") + ": …»");
            }
        }
        if (!headed_) {
            FileError(
                "manca la riga di intestazione delle colonne (es. «Misura;Diametro interno "
                "(mm)»)");
        } else if (columnsUsable_ && !rowsSeen_) {
            FileError("nessuna misura elencata dopo l'intestazione");
        }
        for (PipeSize& size : series_.sizes) {
            if (size.pn == 0) {
                size.pn = series_.pn;
            }
        }
        std::stable_sort(
            series_.sizes.begin(), series_.sizes.end(),
            [](const PipeSize& a, const PipeSize& b) { return a.internalMm < b.internalMm; });
        series_.fileName = file_;
    }

    std::string file_;
    PipeSeries series_;
    std::vector<std::string> errors_;
    std::map<Key, int> seenKeys_;
    bool headed_ = false;
    bool columnsUsable_ = false;
    bool rowsSeen_ = false;
    int headingLine_ = 0;
    std::vector<Column> columns_;
    std::vector<int> rowLines_;
};

}  // namespace

bool PipeSeries::AllPriced() const {
    return !sizes.empty() && std::all_of(sizes.begin(), sizes.end(), [](const PipeSize& s) {
        return s.pricePerMetre.has_value();
    });
}

CatalogueParse ParseCatalogue(std::string_view text, std::string_view fileName) {
    return Parser(fileName).Run(text);
}

CatalogueParse ReadCatalogueFile(const std::filesystem::path& path) {
    CatalogueParse out;
    const std::string name = path.string();
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    if (error) {
        out.errors.push_back("file " + name + ": impossibile leggerlo (" + error.message() + ")");
        return out;
    }
    if (bytes > MaxCatalogueBytes) {
        out.errors.push_back("file " + name +
                             ": troppo grande per un catalogo di tubazioni (più di 1 MB)");
        return out;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(bytes), '\0');
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        out.errors.push_back("file " + name + ": impossibile leggerlo");
        return out;
    }
    return Parser(name).Run(text);
}

CatalogueSet LoadCatalogues(const std::vector<std::filesystem::path>& folders) {
    CatalogueSet set;
    std::map<std::string, std::size_t> byName;
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        if (!std::filesystem::exists(folder, error)) {
            continue;
        }
        std::vector<std::filesystem::path> files;
        std::filesystem::directory_iterator it(folder, error);
        for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
            const std::filesystem::path& p = it->path();
            if (Lower(p.extension().string()) == ".txt") {
                files.push_back(p);
            }
        }
        if (error) {
            set.errors.push_back("cartella " + folder.string() +
                                 ": impossibile leggerne l'elenco (" + error.message() + ")");
            continue;
        }
        std::sort(files.begin(), files.end());
        for (const std::filesystem::path& file : files) {
            CatalogueParse parsed = ReadCatalogueFile(file);
            if (!parsed.series) {
                set.errors.insert(set.errors.end(), parsed.errors.begin(), parsed.errors.end());
                continue;
            }
            parsed.series->fileName = file.string();
            const auto known = byName.find(parsed.series->name);
            if (known != byName.end()) {
                PipeSeries& old = set.series[known->second];
                set.notices.push_back("la serie «" + old.name + "» del file " + old.fileName +
                                      " è sostituita da quella del file " + file.string());
                old = std::move(*parsed.series);
            } else {
                byName.emplace(parsed.series->name, set.series.size());
                set.series.push_back(std::move(*parsed.series));
            }
        }
    }
    std::sort(set.series.begin(), set.series.end(),
              [](const PipeSeries& a, const PipeSeries& b) { return a.name < b.name; });
    return set;
}

}  // namespace acquenza
