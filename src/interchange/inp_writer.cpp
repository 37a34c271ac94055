#include "interchange/inp_writer.h"

#include <cmath>
#include <initializer_list>
#include <set>
#include <string_view>

#include "interchange/inp_numbers.h"
#include "interchange/inp_text.h"

namespace acquenza::interchange {
namespace {

constexpr std::string_view Eol = "\r\n";
// A comment longer than this would make the line too long for older readers.
constexpr std::size_t MaxCommentBytes = 200;

// Rows padded into columns, as EPANET's own program writes them, so that
// the file stays readable in a text editor.
class Writer {
  public:
    void Line(std::string_view text) {
        out_ += text;
        out_ += Eol;
    }
    void Header(std::string_view name) {
        if (!out_.empty()) {
            out_ += Eol;
        }
        out_ += '[';
        out_ += name;
        out_ += ']';
        out_ += Eol;
    }
    void Row(std::initializer_list<std::string_view> fields, std::string_view comment = {}) {
        std::string line = " ";
        std::size_t width = 16;  // identifiers first, then numbers
        for (const std::string_view field : fields) {
            line += field;
            line.append(field.size() < width ? width - field.size() : 1, ' ');
            width = 12;
        }
        const std::string note = OneLineComment(comment);
        if (!note.empty()) {
            line += ';';
            line += note;
        }
        while (line.size() > 1 && line.back() == ' ') {
            line.pop_back();
        }
        Line(line);
    }
    std::string Take() { return std::move(out_); }

    static std::string OneLineComment(std::string_view comment) {
        const std::string utf8 =
            IsValidUtf8(comment) ? std::string(comment) : Windows1252ToUtf8(comment);
        std::string text;
        for (const char ch : Utf8Prefix(utf8, MaxCommentBytes)) {
            const auto c = static_cast<unsigned char>(ch);
            text += (c < 0x20 || c == 0x7F) ? ' ' : ch;
        }
        // The reader drops trailing blanks; so does the writer, for a file
        // that reads back as written.
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        return text;
    }

  private:
    std::string out_;
};

std::string Num(double v) {
    return FormatNumber(v);
}

// A free token (a pump's parameter, a valve's setting, a curve's name) as
// the reader will take it back: quoted when it holds blanks or ';' or is
// empty, since it would otherwise split, start a comment or vanish.
std::string Token(std::string_view text) {
    std::string t;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        t += (c < 0x20 && c != '\t') || c == 0x7F ? ' ' : ch == '"' ? '\'' : ch;
    }
    if (t.empty() || t.find_first_of(" \t;") != std::string::npos || t.front() == '[') {
        return '"' + t + '"';
    }
    return t;
}

// A line kept as the file had it, on one line.
std::string KeptLine(std::string_view text) {
    std::string t;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        t += (c < 0x20 && c != '\t') || c == 0x7F ? ' ' : ch;
    }
    return t;
}

const char* StatusKeyword(PipeStatus s) {
    switch (s) {
        case PipeStatus::Open:
            return "Open";
        case PipeStatus::Closed:
            return "Closed";
        case PipeStatus::CheckValve:
            return "CV";
    }
    return "Open";
}

// Splits a title entry into lines EPANET keeps whole, at blanks where it can.
// Runs of blanks become one, so that a reader joining the lines with one
// blank gets the title back as it was written.
std::vector<std::string> TitleLines(std::string_view entry) {
    std::vector<std::string> lines;
    std::string text;
    const std::string utf8 = IsValidUtf8(entry) ? std::string(entry) : Windows1252ToUtf8(entry);
    for (const char c : OneLineText(utf8)) {
        if (c != ' ' || text.empty() || text.back() != ' ') {
            text += c;
        }
    }
    std::string_view rest = text;
    while (rest.size() > MaxTitleLineBytes) {
        std::string_view head = Utf8Prefix(rest, MaxTitleLineBytes);
        if (head.empty()) {
            head = rest.substr(0, MaxTitleLineBytes);
        }
        const auto blank = rest[head.size()] == ' ' ? head.size() : head.find_last_of(' ');
        if (blank != std::string_view::npos && blank > 0) {
            head = head.substr(0, blank);
        }
        lines.push_back(OneLineText(head));
        rest.remove_prefix(head.size());
        while (!rest.empty() && rest.front() == ' ') {
            rest.remove_prefix(1);
        }
    }
    if (!rest.empty()) {  // a blank line would not be read back
        lines.push_back(OneLineText(rest));
    }
    return lines;
}

// Everything WriteInp refuses, as one Italian message, or empty.
class Check {
  public:
    explicit Check(const InpNetwork& n) : n_(n) {}

    std::string Run() {
        for (const auto& j : n_.junctions) {
            Node(j.id, "del nodo");
            Finite({j.elevation, j.baseDemand}, "il nodo", j.id);
        }
        for (const auto& r : n_.reservoirs) {
            Node(r.id, "del serbatoio");
            Finite({r.head}, "il serbatoio", r.id);
        }
        for (const auto& t : n_.tanks) {
            Node(t.id, "della vasca");
            Finite({t.elevation, t.initLevel, t.minLevel, t.maxLevel, t.diameter, t.minVolume},
                   "la vasca", t.id);
        }
        for (const auto& p : n_.pipes) {
            Link(p.id, p.node1, p.node2, "del tubo");
            Finite({p.length, p.diameter, p.roughness, p.minorLoss}, "il tubo", p.id);
        }
        for (const auto& p : n_.pumps) {
            Link(p.id, p.node1, p.node2, "della pompa");
        }
        for (const auto& v : n_.valves) {
            Link(v.id, v.node1, v.node2, "della valvola");
            Finite({v.diameter, v.minorLoss}, "la valvola", v.id);
        }
        for (const auto& p : n_.patterns) {
            Id(p.id, "della curva di modulazione");
            if (!patterns_.insert(p.id).second) {
                Fail("La curva di modulazione " + Quoted(p.id) + " compare due volte.");
            }
            for (const double m : p.multipliers) {
                Finite({m}, "la curva di modulazione", p.id);
            }
        }
        for (const auto& j : n_.junctions) {
            Pattern(j.pattern, "il nodo", j.id);
        }
        for (const auto& r : n_.reservoirs) {
            Pattern(r.pattern, "il serbatoio", r.id);
        }
        for (const auto& d : n_.demands) {
            if (!nodes_.contains(d.junction)) {
                Fail("Una domanda è assegnata al nodo " + Quoted(d.junction) +
                     ", che non è nella rete.");
            }
            Finite({d.demand}, "la domanda del nodo", d.junction);
            Pattern(d.pattern, "la domanda del nodo", d.junction);
        }
        for (const auto& s : n_.statuses) {
            if (!links_.contains(s.link)) {
                Fail("Lo stato è assegnato al collegamento " + Quoted(s.link) +
                     ", che non è nella rete.");
            }
        }
        for (const auto& c : n_.coordinates) {
            if (!nodes_.contains(c.node)) {
                Fail("Le coordinate sono assegnate al nodo " + Quoted(c.node) +
                     ", che non è nella rete.");
            }
            Finite({c.x, c.y}, "le coordinate del nodo", c.node);
        }
        const auto& o = n_.options;
        for (const auto& value : {o.viscosity, o.specificGravity, o.demandMultiplier}) {
            if (value && !std::isfinite(*value)) {
                Fail("Un'opzione di calcolo non è un numero finito.");
            }
        }
        return error_;
    }

  private:
    void Fail(std::string message) {
        if (error_.empty()) {
            error_ = std::move(message);
        }
    }
    bool Id(const std::string& id, const char* what) {
        if (const auto problem = IdentifierProblem(id)) {
            Fail("L'identificativo " + Quoted(id) + " " + what +
                 " non è valido per EPANET: " + *problem + ".");
            return false;
        }
        return true;
    }
    void Node(const std::string& id, const char* what) {
        if (Id(id, what) && !nodes_.insert(id).second) {
            Fail("Due nodi hanno lo stesso identificativo " + Quoted(id) + ".");
        }
    }
    void Link(const std::string& id, const std::string& a, const std::string& b, const char* what) {
        if (Id(id, what) && !links_.insert(id).second) {
            Fail("Due collegamenti hanno lo stesso identificativo " + Quoted(id) + ".");
        }
        for (const auto& end : {a, b}) {
            if (!nodes_.contains(end)) {
                Fail("Il collegamento " + Quoted(id) + " raggiunge il nodo " + Quoted(end) +
                     ", che non è nella rete.");
            }
        }
    }
    void Pattern(const std::string& id, const char* what, const std::string& owner) {
        if (!id.empty() && !patterns_.contains(id)) {
            Fail("La curva di modulazione " + Quoted(id) + " usata per " + what + " " +
                 Quoted(owner) + " non è definita.");
        }
    }
    void Finite(std::initializer_list<double> values, const char* what, const std::string& id) {
        for (const double v : values) {
            if (!std::isfinite(v)) {
                Fail("Un valore per " + std::string(what) + " " + Quoted(id) +
                     " non è un numero finito.");
            }
        }
    }

    const InpNetwork& n_;
    std::set<std::string> nodes_;
    std::set<std::string> links_;
    std::set<std::string> patterns_;
    std::string error_;
};

void WriteRaw(Writer& w, const InpNetwork& n, std::string_view name) {
    for (const auto& section : n.otherSections) {
        if (section.name == name) {
            w.Header(section.name);
            for (const auto& line : section.lines) {
                w.Line(KeptLine(line));
            }
        }
    }
}

void WriteOptions(Writer& w, const InpOptions& o) {
    w.Header("OPTIONS");
    w.Row({"UNITS", FlowUnitsKeyword(o.units)});
    w.Row({"HEADLOSS", HeadlossKeyword(o.headloss)});
    if (!o.pressureUnits.empty()) {
        w.Row({"PRESSURE", o.pressureUnits});
    }
    if (o.viscosity) {
        w.Row({"VISCOSITY", Num(*o.viscosity)});
    }
    if (o.specificGravity) {
        w.Row({"SPECIFIC GRAVITY", Num(*o.specificGravity)});
    }
    if (o.demandMultiplier) {
        w.Row({"DEMAND MULTIPLIER", Num(*o.demandMultiplier)});
    }
    if (!o.defaultPattern.empty()) {
        w.Row({"PATTERN", o.defaultPattern});
    }
    for (const auto& line : o.otherLines) {
        w.Line(" " + KeptLine(line));
    }
}

}  // namespace

InpWriteResult WriteInp(const InpNetwork& n) {
    if (std::string error = Check(n).Run(); !error.empty()) {
        return {false, {}, std::move(error)};
    }
    Writer w;
    for (const auto& comment : n.comments) {
        w.Line(";" + Writer::OneLineComment(comment));
    }
    w.Header("TITLE");
    for (const auto& entry : n.title) {
        for (const auto& line : TitleLines(entry)) {
            w.Line(line);
        }
    }
    if (!n.junctions.empty()) {
        w.Header("JUNCTIONS");
        w.Line(";ID              Elevation   Demand      Pattern");
        for (const auto& j : n.junctions) {
            w.Row({j.id, Num(j.elevation), Num(j.baseDemand), j.pattern}, j.comment);
        }
    }
    if (!n.reservoirs.empty()) {
        w.Header("RESERVOIRS");
        w.Line(";ID              Head        Pattern");
        for (const auto& r : n.reservoirs) {
            w.Row({r.id, Num(r.head), r.pattern}, r.comment);
        }
    }
    if (!n.tanks.empty()) {
        w.Header("TANKS");
        w.Line(
            ";ID              Elevation   InitLevel   MinLevel    MaxLevel    Diameter    "
            "MinVol      VolCurve    Overflow");
        for (const auto& t : n.tanks) {
            // A volume curve must be held by a placeholder when an overflow
            // flag follows it.
            const std::string curve = t.volumeCurve.empty() && !t.overflow.empty()
                                          ? "*"
                                          : (t.volumeCurve.empty() ? "" : Token(t.volumeCurve));
            w.Row({t.id, Num(t.elevation), Num(t.initLevel), Num(t.minLevel), Num(t.maxLevel),
                   Num(t.diameter), Num(t.minVolume), curve,
                   t.overflow.empty() ? "" : Token(t.overflow)},
                  t.comment);
        }
    }
    if (!n.pipes.empty()) {
        w.Header("PIPES");
        w.Line(
            ";ID              Node1       Node2       Length      Diameter    Roughness   "
            "MinorLoss   Status");
        for (const auto& p : n.pipes) {
            w.Row({p.id, p.node1, p.node2, Num(p.length), Num(p.diameter), Num(p.roughness),
                   Num(p.minorLoss), StatusKeyword(p.status)},
                  p.comment);
        }
    }
    if (!n.pumps.empty()) {
        w.Header("PUMPS");
        for (const auto& p : n.pumps) {
            std::string params;
            for (const auto& token : p.parameters) {
                params += (params.empty() ? "" : " ") + Token(token);
            }
            w.Row({p.id, p.node1, p.node2, params}, p.comment);
        }
    }
    if (!n.valves.empty()) {
        w.Header("VALVES");
        for (const auto& v : n.valves) {
            w.Row({v.id, v.node1, v.node2, Num(v.diameter), Token(v.type), Token(v.setting),
                   Num(v.minorLoss)},
                  v.comment);
        }
    }
    WriteRaw(w, n, "TAGS");
    if (!n.demands.empty()) {
        w.Header("DEMANDS");
        for (const auto& d : n.demands) {
            const std::string category = d.category.empty() ? "" : ";" + d.category;
            w.Row({d.junction, Num(d.demand), d.pattern, category});
        }
    }
    if (!n.statuses.empty()) {
        w.Header("STATUS");
        for (const auto& s : n.statuses) {
            w.Row({s.link, Token(s.value)});
        }
    }
    WriteRaw(w, n, "ROUGHNESS");
    if (!n.patterns.empty()) {
        w.Header("PATTERNS");
        for (const auto& p : n.patterns) {
            for (std::size_t i = 0; i < p.multipliers.size() || i == 0; i += 6) {
                std::string line = " " + p.id;
                for (std::size_t k = i; k < p.multipliers.size() && k < i + 6; ++k) {
                    line += ' ';
                    line += Num(p.multipliers[k]);
                }
                w.Line(line);
            }
        }
    }
    for (const char* name : {"CURVES", "CONTROLS", "RULES", "ENERGY", "EMITTERS", "QUALITY",
                             "SOURCES", "REACTIONS", "MIXING", "TIMES", "REPORT"}) {
        WriteRaw(w, n, name);
    }
    WriteOptions(w, n.options);
    if (!n.coordinates.empty()) {
        w.Header("COORDINATES");
        w.Line(";Node            X-Coord     Y-Coord");
        for (const auto& c : n.coordinates) {
            w.Row({c.node, Num(c.x), Num(c.y)});
        }
    }
    for (const char* name : {"VERTICES", "LABELS", "BACKDROP"}) {
        WriteRaw(w, n, name);
    }
    w.Header("END");
    return {true, w.Take(), {}};
}

}  // namespace acquenza::interchange
