#include "interchange/inp_reader.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <map>
#include <optional>

#include "interchange/inp_numbers.h"
#include "interchange/inp_text.h"

namespace acquenza::interchange {
namespace {

// Files larger than this are not networks anyone edits; refusing them keeps
// a wrong file from filling the memory.
constexpr std::uintmax_t MaxFileBytes = 256u * 1024 * 1024;

enum class Section {
    None,
    Title,
    Junctions,
    Reservoirs,
    Tanks,
    Pipes,
    Pumps,
    Valves,
    Demands,
    Patterns,
    Status,
    Options,
    Coordinates,
    Raw,
    Unknown,
    End
};

struct SectionName {
    const char* name;
    Section section;
};

// EPANET recognises a section by the start of its name.
constexpr std::array<SectionName, 29> SectionNames = {{
    {"TITLE", Section::Title},
    {"JUNCTIONS", Section::Junctions},
    {"RESERVOIRS", Section::Reservoirs},
    {"TANKS", Section::Tanks},
    {"PIPES", Section::Pipes},
    {"PUMPS", Section::Pumps},
    {"VALVES", Section::Valves},
    {"DEMANDS", Section::Demands},
    {"PATTERNS", Section::Patterns},
    {"STATUS", Section::Status},
    {"OPTIONS", Section::Options},
    {"COORDINATES", Section::Coordinates},
    {"END", Section::End},
    {"TAGS", Section::Raw},
    {"ROUGHNESS", Section::Raw},
    {"CURVES", Section::Raw},
    {"CONTROLS", Section::Raw},
    {"RULES", Section::Raw},
    {"ENERGY", Section::Raw},
    {"EMITTERS", Section::Raw},
    {"QUALITY", Section::Raw},
    {"SOURCES", Section::Raw},
    {"REACTIONS", Section::Raw},
    {"MIXING", Section::Raw},
    {"TIMES", Section::Raw},
    {"REPORT", Section::Raw},
    {"VERTICES", Section::Raw},
    {"LABELS", Section::Raw},
    {"BACKDROP", Section::Raw},
}};

// The known section named by a header token ("[Junctions]", "[JUNC]"), with
// its full name, or nothing.
std::optional<SectionName> FindSection(std::string_view header) {
    std::string name = AsciiUpper(header.substr(1));
    if (const auto close = name.find(']'); close != std::string::npos) {
        name.resize(close);
    }
    for (const auto& known : SectionNames) {
        const std::string_view full = known.name;
        const std::size_t stem = full.size() < 4 ? full.size() : 4;
        if (name.size() >= stem && name.size() <= full.size() &&
            full.substr(0, name.size()) == name) {
            return known;
        }
    }
    return std::nullopt;
}

struct Tokens {
    std::vector<std::string> items;
    std::string comment;
    bool hasComment = false;
};

// Blank-separated tokens; a quoted token may hold blanks; ';' outside
// quotes starts the comment.
Tokens Tokenize(std::string_view line) {
    Tokens t;
    std::size_t i = 0;
    // Control characters separate like blanks, as in the lines kept whole.
    const auto blank = [](char c) {
        return c == ' ' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    };
    while (i < line.size()) {
        const char c = line[i];
        if (blank(c)) {
            ++i;
        } else if (c == ';') {
            std::string_view rest = line.substr(i + 1);
            while (!rest.empty() && blank(rest.back())) {
                rest.remove_suffix(1);
            }
            t.comment = std::string(rest);
            t.hasComment = true;
            break;
        } else if (c == '"') {
            const auto close = line.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            t.items.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && !blank(line[end]) && line[end] != ';') {
                ++end;
            }
            t.items.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return t;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// A line kept as it is written back: control characters as blanks (EPANET
// reads them so), no blanks at either end.
std::string KeptLine(std::string_view raw) {
    std::string line(raw);
    for (char& c : line) {
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) {
            c = ' ';
        }
    }
    return std::string(Trim(line));
}

std::optional<FlowUnits> ParseUnits(const std::string& word) {
    static const std::map<std::string, FlowUnits> units = {
        {"CFS", FlowUnits::CFS},   {"GPM", FlowUnits::GPM}, {"MGD", FlowUnits::MGD},
        {"IMGD", FlowUnits::IMGD}, {"AFD", FlowUnits::AFD}, {"LPS", FlowUnits::LPS},
        {"LPM", FlowUnits::LPM},   {"MLD", FlowUnits::MLD}, {"CMH", FlowUnits::CMH},
        {"CMD", FlowUnits::CMD}};
    const auto it = units.find(word);
    return it == units.end() ? std::nullopt : std::optional(it->second);
}

struct ParseError {
    std::string message;
};

class Parser {
  public:
    InpReadResult Run(std::string_view text) {
        InpReadResult result;
        try {
            std::size_t start = 0;
            int number = 0;
            while (start <= text.size() && section_ != Section::End) {
                auto end = text.find('\n', start);
                if (end == std::string_view::npos) {
                    end = text.size();
                }
                line_ = ++number;
                Line(text.substr(start, end - start));
                start = end + 1;
            }
            Validate();
        } catch (const ParseError& e) {
            result.error = "Riga " + std::to_string(line_) + ": " + e.message;
            result.errorLine = line_;
            result.warnings = std::move(warnings_);
            return result;
        }
        result.ok = true;
        result.network = std::move(n_);
        result.warnings = std::move(warnings_);
        return result;
    }

    void Warn(std::string text) { warnings_.push_back(std::move(text)); }

  private:
    [[noreturn]] void Fail(std::string message) { throw ParseError{std::move(message)}; }

    double Number(const Tokens& t, std::size_t i, const std::string& what) {
        if (i >= t.items.size()) {
            Fail("manca " + what + ".");
        }
        const auto v = ParseNumber(t.items[i]);
        if (!v) {
            Fail(Quoted(t.items[i]) + " non è un numero (" + what + ").");
        }
        return *v;
    }
    double OptionalNumber(const Tokens& t, std::size_t i, const std::string& what) {
        return i < t.items.size() ? Number(t, i, what) : 0.0;
    }
    static std::string At(const Tokens& t, std::size_t i) {
        return i < t.items.size() ? t.items[i] : std::string();
    }
    void Need(const Tokens& t, std::size_t count, const std::string& what) {
        if (t.items.size() < count) {
            Fail("la riga " + what + " è incompleta.");
        }
    }

    void Line(std::string_view raw) {
        const Tokens t = Tokenize(raw);
        if (t.items.empty()) {
            if (section_ == Section::None && t.hasComment) {
                n_.comments.push_back(t.comment);
            } else if (section_ == Section::Raw && t.hasComment) {
                raw_->lines.push_back(KeptLine(raw));
            }
            return;
        }
        if (!t.items.front().empty() && t.items.front().front() == '[') {
            Header(t.items.front());
            return;
        }
        switch (section_) {
            case Section::None:
            case Section::Unknown:
            case Section::End:
                return;  // EPANET reads nothing outside a known section
            case Section::Title:
                n_.title.emplace_back(Trim(raw));
                return;
            case Section::Raw:
                raw_->lines.push_back(KeptLine(raw));
                return;
            case Section::Junctions:
                return Junction(t);
            case Section::Reservoirs:
                return Reservoir(t);
            case Section::Tanks:
                return Tank(t);
            case Section::Pipes:
                return Pipe(t);
            case Section::Pumps:
                return Pump(t);
            case Section::Valves:
                return Valve(t);
            case Section::Demands:
                return Demand(t);
            case Section::Patterns:
                return Pattern(t);
            case Section::Status:
                return Status(t);
            case Section::Options:
                return Option(t, raw);
            case Section::Coordinates:
                return Coordinate(t);
        }
    }

    void Header(const std::string& token) {
        const auto known = FindSection(token);
        if (!known) {
            section_ = Section::Unknown;
            n_.unknownSections.push_back({token, line_});
            Warn("Riga " + std::to_string(line_) + ": la sezione " + Quoted(token) +
                 " non è di EPANET ed è stata ignorata.");
            return;
        }
        section_ = known->section;
        if (section_ == Section::Raw) {
            raw_ = nullptr;
            for (auto& s : n_.otherSections) {
                if (s.name == known->name) {
                    raw_ = &s;  // a section given twice is kept as one
                }
            }
            if (raw_ == nullptr) {
                n_.otherSections.push_back({known->name, {}});
                raw_ = &n_.otherSections.back();
            }
        }
    }

    void Junction(const Tokens& t) {
        InpJunction j;
        j.id = t.items[0];
        j.elevation = Number(t, 1, "la quota del nodo " + Quoted(j.id));
        j.baseDemand = OptionalNumber(t, 2, "la domanda del nodo " + Quoted(j.id));
        j.pattern = At(t, 3);
        j.comment = t.comment;
        j.line = line_;
        n_.junctions.push_back(std::move(j));
    }

    void Reservoir(const Tokens& t) {
        InpReservoir r;
        r.id = t.items[0];
        r.head = Number(t, 1, "il carico del serbatoio " + Quoted(r.id));
        r.pattern = At(t, 2);
        r.comment = t.comment;
        r.line = line_;
        n_.reservoirs.push_back(std::move(r));
    }

    void Tank(const Tokens& t) {
        InpTank k;
        k.id = t.items[0];
        const std::string of = " della vasca " + Quoted(k.id);
        k.elevation = Number(t, 1, "la quota" + of);
        k.initLevel = Number(t, 2, "il livello iniziale" + of);
        k.minLevel = Number(t, 3, "il livello minimo" + of);
        k.maxLevel = Number(t, 4, "il livello massimo" + of);
        k.diameter = Number(t, 5, "il diametro" + of);
        k.minVolume = OptionalNumber(t, 6, "il volume minimo" + of);
        k.volumeCurve = At(t, 7) == "*" ? "" : At(t, 7);
        k.overflow = At(t, 8);
        k.comment = t.comment;
        k.line = line_;
        n_.tanks.push_back(std::move(k));
    }

    void Pipe(const Tokens& t) {
        InpPipe p;
        p.id = t.items[0];
        Need(t, 6, "del tubo " + Quoted(p.id));
        p.node1 = t.items[1];
        p.node2 = t.items[2];
        const std::string of = " del tubo " + Quoted(p.id);
        p.length = Number(t, 3, "la lunghezza" + of);
        p.diameter = Number(t, 4, "il diametro" + of);
        p.roughness = Number(t, 5, "la scabrezza" + of);
        std::size_t next = 6;
        if (next < t.items.size() && !StatusWord(t.items[next])) {
            p.minorLoss = Number(t, next++, "il coefficiente di perdita localizzata" + of);
        }
        if (next < t.items.size()) {
            const auto status = StatusWord(t.items[next]);
            if (!status) {
                Fail(Quoted(t.items[next]) + " non è uno stato del tubo " + Quoted(p.id) +
                     " (OPEN, CLOSED o CV).");
            }
            p.status = *status;
        }
        p.comment = t.comment;
        p.line = line_;
        n_.pipes.push_back(std::move(p));
    }

    static std::optional<PipeStatus> StatusWord(const std::string& token) {
        const std::string word = AsciiUpper(token);
        if (word == "OPEN") {
            return PipeStatus::Open;
        }
        if (word == "CLOSED") {
            return PipeStatus::Closed;
        }
        if (word == "CV") {
            return PipeStatus::CheckValve;
        }
        return std::nullopt;
    }

    void Pump(const Tokens& t) {
        InpPump p;
        p.id = t.items[0];
        Need(t, 3, "della pompa " + Quoted(p.id));
        p.node1 = t.items[1];
        p.node2 = t.items[2];
        p.parameters.assign(t.items.begin() + 3, t.items.end());
        p.comment = t.comment;
        p.line = line_;
        n_.pumps.push_back(std::move(p));
    }

    void Valve(const Tokens& t) {
        InpValve v;
        v.id = t.items[0];
        Need(t, 6, "della valvola " + Quoted(v.id));
        v.node1 = t.items[1];
        v.node2 = t.items[2];
        v.diameter = Number(t, 3, "il diametro della valvola " + Quoted(v.id));
        v.type = AsciiUpper(t.items[4]);
        v.setting = t.items[5];
        v.minorLoss = OptionalNumber(t, 6, "la perdita localizzata della valvola " + Quoted(v.id));
        v.comment = t.comment;
        v.line = line_;
        n_.valves.push_back(std::move(v));
    }

    void Demand(const Tokens& t) {
        InpDemand d;
        d.junction = t.items[0];
        d.demand = Number(t, 1, "la domanda del nodo " + Quoted(d.junction));
        d.pattern = At(t, 2);
        d.category = t.comment;
        d.line = line_;
        n_.demands.push_back(std::move(d));
    }

    void Pattern(const Tokens& t) {
        InpPattern* pattern = nullptr;
        for (auto& p : n_.patterns) {
            if (p.id == t.items[0]) {
                pattern = &p;  // a pattern continues over several lines
            }
        }
        if (pattern == nullptr) {
            n_.patterns.push_back({t.items[0], {}, line_});
            pattern = &n_.patterns.back();
        }
        for (std::size_t i = 1; i < t.items.size(); ++i) {
            pattern->multipliers.push_back(
                Number(t, i, "un coefficiente della curva " + Quoted(t.items[0])));
        }
    }

    void Status(const Tokens& t) {
        Need(t, 2, "di stato di " + Quoted(t.items[0]));
        n_.statuses.push_back({t.items[0], t.items[1], line_});
    }

    void Coordinate(const Tokens& t) {
        InpCoordinate c;
        c.node = t.items[0];
        c.x = Number(t, 1, "la coordinata X del nodo " + Quoted(c.node));
        c.y = Number(t, 2, "la coordinata Y del nodo " + Quoted(c.node));
        n_.coordinates.push_back(std::move(c));
    }

    void Option(const Tokens& t, std::string_view raw) {
        InpOptions& o = n_.options;
        const std::string key = AsciiUpper(t.items[0]);
        const std::string second = AsciiUpper(At(t, 1));
        if (key.starts_with("UNIT")) {
            const auto units = ParseUnits(second);
            if (!units) {
                Fail(Quoted(At(t, 1)) + " non è un'unità di portata di EPANET.");
            }
            o.units = *units;
        } else if (key.starts_with("HEADL")) {
            if (second == "H-W") {
                o.headloss = HeadlossFormula::HazenWilliams;
            } else if (second == "D-W") {
                o.headloss = HeadlossFormula::DarcyWeisbach;
            } else if (second == "C-M") {
                o.headloss = HeadlossFormula::ChezyManning;
            } else {
                Fail(Quoted(At(t, 1)) + " non è una formula delle perdite di EPANET.");
            }
        } else if (key == "PRESSURE" &&
                   (second == "PSI" || second == "KPA" || second == "METERS")) {
            o.pressureUnits = second;
        } else if (key.starts_with("VISC")) {
            o.viscosity = Number(t, 1, "la viscosità");
        } else if (key == "SPECIFIC" && second == "GRAVITY") {
            o.specificGravity = Number(t, 2, "il peso specifico relativo");
        } else if (key == "DEMAND" && second.starts_with("MULT")) {
            o.demandMultiplier = Number(t, 2, "il moltiplicatore delle domande");
        } else if (key.starts_with("PATT") && t.items.size() >= 2) {
            o.defaultPattern = t.items[1];
        } else {
            o.otherLines.push_back(KeptLine(raw));
        }
    }

    // References between objects, checked once everything is read.
    void Validate() {
        std::map<std::string, int> nodes;
        std::map<std::string, int> junctions;
        const auto addNode = [&](const std::string& id, int line) {
            const auto [it, added] = nodes.emplace(id, line);
            if (!added) {
                line_ = line;
                Fail("il nodo " + Quoted(id) + " è già definito alla riga " +
                     std::to_string(it->second) + ".");
            }
        };
        for (const auto& j : n_.junctions) {
            addNode(j.id, j.line);
            junctions.emplace(j.id, j.line);
        }
        for (const auto& r : n_.reservoirs) {
            addNode(r.id, r.line);
        }
        for (const auto& k : n_.tanks) {
            addNode(k.id, k.line);
        }
        std::map<std::string, int> links;
        const auto addLink = [&](const std::string& id, const std::string& a, const std::string& b,
                                 int line, const char* what) {
            line_ = line;
            if (const auto [it, added] = links.emplace(id, line); !added) {
                Fail("il collegamento " + Quoted(id) + " è già definito alla riga " +
                     std::to_string(it->second) + ".");
            }
            for (const auto& end : {a, b}) {
                if (!nodes.contains(end)) {
                    Fail(std::string(what) + Quoted(id) + " collega il nodo " + Quoted(end) +
                         ", che non è definito.");
                }
            }
        };
        for (const auto& p : n_.pipes) {
            addLink(p.id, p.node1, p.node2, p.line, "il tubo ");
        }
        for (const auto& p : n_.pumps) {
            addLink(p.id, p.node1, p.node2, p.line, "la pompa ");
        }
        for (const auto& v : n_.valves) {
            addLink(v.id, v.node1, v.node2, v.line, "la valvola ");
        }
        std::map<std::string, int> patterns;
        for (const auto& p : n_.patterns) {
            patterns.emplace(p.id, p.line);
        }
        const auto usePattern = [&](const std::string& id, int line) {
            if (!id.empty() && !patterns.contains(id)) {
                line_ = line;
                Fail("la curva di modulazione " + Quoted(id) + " non è definita.");
            }
        };
        for (const auto& j : n_.junctions) {
            usePattern(j.pattern, j.line);
        }
        for (const auto& r : n_.reservoirs) {
            usePattern(r.pattern, r.line);
        }
        for (const auto& d : n_.demands) {
            line_ = d.line;
            if (!junctions.contains(d.junction)) {
                Fail("la domanda riguarda il nodo " + Quoted(d.junction) +
                     ", che non è un nodo di utenza definito.");
            }
            usePattern(d.pattern, d.line);
        }
        for (const auto& s : n_.statuses) {
            line_ = s.line;
            if (!links.contains(s.link)) {
                Fail("lo stato riguarda il collegamento " + Quoted(s.link) +
                     ", che non è definito.");
            }
        }
        std::erase_if(n_.coordinates, [&](const InpCoordinate& c) {
            if (nodes.contains(c.node)) {
                return false;
            }
            Warn("Le coordinate del nodo " + Quoted(c.node) +
                 ", che non è definito, sono state ignorate.");
            return true;
        });
    }

    InpNetwork n_;
    Section section_ = Section::None;
    InpRawSection* raw_ = nullptr;
    int line_ = 0;
    std::vector<std::string> warnings_;
};

std::string OpenProblem(int error) {
    switch (error) {
        case ENOENT:
            return "non esiste";
        case EACCES:
        case EPERM:
            return "manca il permesso di leggerlo";
        case EISDIR:
            return "è una cartella";
        default:
            return "errore di sistema " + std::to_string(error);
    }
}

}  // namespace

InpReadResult ReadInp(std::string_view bytes) {
    Parser parser;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    if (IsValidUtf8(bytes)) {
        return parser.Run(bytes);
    }
    const std::string converted = Windows1252ToUtf8(bytes);
    parser.Warn("Il file non è in UTF-8: è stato letto come Windows-1252.");
    return parser.Run(converted);
}

InpReadResult ReadInpFile(const std::filesystem::path& path) {
    InpReadResult failed;
    const std::string name = path.filename().string();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        failed.error = "Il file " + name + " non si può aprire: " + OpenProblem(EISDIR) + ".";
        return failed;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > MaxFileBytes) {
        failed.error = "Il file " + name + " è troppo grande per essere una rete EPANET.";
        return failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        failed.error = "Il file " + name + " non si può aprire: " + OpenProblem(errno) + ".";
        return failed;
    }
    std::string bytes;
    std::array<char, 65536> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        bytes.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > MaxFileBytes) {
            failed.error = "Il file " + name + " è troppo grande per essere una rete EPANET.";
            return failed;
        }
    }
    if (in.bad()) {
        failed.error = "Il file " + name + " non si può leggere fino in fondo.";
        return failed;
    }
    InpReadResult result = ReadInp(bytes);
    if (!result.ok) {
        result.error = "File " + name + ", r" + result.error.substr(1);
    }
    return result;
}

}  // namespace acquenza::interchange
