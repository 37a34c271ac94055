#include "reports/direct_print.h"

#include <array>

#include "core/numbers.h"
#include "reports/prose_lines.h"
#include "reports/report_texts.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

using namespace report;
using Item = PrintItem;

constexpr double Top = 1000;
constexpr double FooterX = 9800;
constexpr double FooterY = 16000;
constexpr double ClosingLimit = 13500;
// A line starting below this would run into the footer: it goes on the next
// page instead, so nothing is printed over the footer or off the paper.
constexpr double LastLineTop = 15500;

const char* const TitleFont = "Roman";
const char* const BodyFont = "Courier New";

const char* const TableHeader =
    "tronco lungh.  quota1  quota2  port.1  abit.1  dotaz.1 port.2  abit.2  dotaz.2 p.carico  "
    "diam.   vel.  scabrezza";
const char* const TableUnits =
    "  n.     m.      m.      m.    l/sec     n.    l/abit  l/sec     n.    l/abit     m.      "
    "cm.    m/s     coeff.";
const char* const MapHeader =
    "tr     1       2       3       4       5       6       7       8       9      10      11      "
    "12      13      14";

const std::array<const char*, 6> BlockC = {
    "Y = perdita di carico in millimetri;",
    "B = coefficiente di scabrezza delle pareti dei tubi, con valore di",
    "    0.004 per condotte in uso e 0.0025 per condotte nuove;",
    "L = lunghezza del tronco in metri;",
    "Q = portata richiesta in metri cubi al secondo;",
    "D = diametro in metri della condotta.",
};
const std::array<const char*, 15> BlockJ = {
    "tronco    = numero del tronco della rete dimensionato",
    "lungh.    = lunghezza del tronco",
    "quota1    = quota iniziale del tronco",
    "quota2    = quota finale del tronco",
    "port.1    = portata uniforme lungo il tronco",
    "abit.1    = numero di residenti serviti lungo il tronco",
    "dotaz.1   = dotazione idrica giornaliera per i residenti lungo il tronco",
    "port.2    = portata all'estremità finale del tronco",
    "abit.2    = numero di residenti serviti dall'estremità del tronco",
    "dotaz.2   = dotazione idrica giornaliera per i residenti all'estremità del tronco",
    "p.carico  = perdita di carico all'estremità del tronco",
    "diam.     = diametro terorico del tubo",
    "vel.      = velocità dell'acqua nel tubo",
    "scabrezza = coefficiente di scabrezza per il tipo di tubazioni",
    "ant.      = calcolo effettuato con la portata antincendio",
};

class ReportPrinter {
  public:
    ReportPrinter(PrinterDevice& d, const Project& p, const TitleTexts& t, const Office& o,
                  int body)
        : d_(d), p_(p), titles_(t), office_(o), body_(body) {}

    void Run() {
        TitlePage();
        CriteriaPage();
        DataPage();
        Map();
        Closing();
        if (!d_.Failed()) {
            d_.EndDocument();
        }
    }

  private:
    const std::string& Title(TitleField f) const { return titles_[static_cast<std::size_t>(f)]; }

    void Line(std::vector<Item> items) {
        if (d_.Failed()) {
            return;
        }
        if (guardFooter_ && d_.CurrentY() > LastLineTop) {
            const double size = size_;
            NewPageWithFooter();
            Size(size);
            if (inTable_) {
                TableHeaderLines();
                Size(size);
            }
        }
        d_.PrintLine(items);
    }
    void Blank(int count = 1) {
        for (int i = 0; i < count; ++i) {
            Line({});
        }
    }
    void At(int column, const std::string& text) { Line({Item::TabTo(column), Item::Words(text)}); }
    void Size(double points) {
        size_ = points;
        d_.SetFontSize(points);
    }
    void Paragraphs(int column, std::initializer_list<const char*> paragraphs) {
        for (const char* paragraph : paragraphs) {
            for (const std::string& line : BreakIntoLines(paragraph)) {
                At(column, line);
            }
        }
    }

    void Footer() {
        if (d_.Failed()) {
            return;
        }
        Size(body_);
        d_.SetPosition(FooterX, FooterY);
        d_.PrintLine({Item::Words("pagina "), Item::Value(d_.PageNumber())});
    }

    // A legend line longer than the page is wide at the body size (the
    // "dotaz.2" one) goes on under its meaning rather than off the paper.
    void LegendLine(std::string_view line) {
        constexpr std::size_t Fits = 74;  // characters from column 6 on A4 at 12 pt
        constexpr std::size_t Meaning = 12;
        if (CharLength(line) <= Fits) {
            At(6, std::string(line));
            return;
        }
        const std::vector<std::string> parts = BreakIntoLines(line.substr(Meaning), Fits - Meaning);
        At(6, std::string(line.substr(0, Meaning)) + JoinedWords(parts.front()));
        for (std::size_t i = 1; i < parts.size(); ++i) {
            At(6 + static_cast<int>(Meaning), JoinedWords(parts[i]));
        }
    }
    // The words of a broken line with single blanks between them again.
    static std::string JoinedWords(const std::string& line) {
        std::string out;
        for (const char c : line) {
            if (!(c == ' ' && !out.empty() && out.back() == ' ')) {
                out += c;
            }
        }
        return out;
    }

    void NewPageWithFooter() {
        Footer();
        if (d_.Failed()) {
            return;
        }
        d_.NewPage();
        d_.SetPosition(Top, Top);
    }

    void TitlePage() {
        d_.SetPosition(Top, Top);
        d_.SetFont(TitleFont, 24);
        size_ = 24;
        At(6, "CALCOLI  IDRAULICI");
        Size(14);
        At(10, "(per tronchi di condotte idriche)");
        Blank(3);
        Size(14);
        At(10, "progetto..............: " + Title(progetto));
        Blank(2);
        At(10, "località................: " + Title(localita));
        Blank(2);
        At(10, "tipologia di studio: " + Title(tipostudio));
        Blank(9);
        At(10, "progettista............: " + office_.name);
        At(10, "committente.........: " + Title(committente));
        Blank();
        Line({Item::TabTo(10), Item::Words(Title(luogo)), Item::Words(": "),
              Item::Words(Title(data))});
        Blank(12);
        d_.DrawLine(1000, 14000, 11000, 14000, 5);
        Blank();
        Size(16);
        Line({Item::Spaces(10), Item::Words(office_.name)});
        Line({Item::Spaces(10), Item::Words(office_.address)});
        d_.DrawLine(1000, 15300, 11000, 15300, 5);
        if (!d_.Failed()) {
            d_.NewPage();  // the title page has no footer
        }
        guardFooter_ = true;
    }

    void CriteriaPage() {
        d_.SetFont(BodyFont, 18);
        size_ = 18;
        d_.SetPosition(Top, Top);
        At(10, "CRITERI DI CALCOLO");
        Blank();
        Size(body_);
        Paragraphs(10, {CriteriaFirst, CriteriaSecond});
        Blank();
        At(10, "Y = B * L * Q ^ 2 / D ^ 5      in cui");
        Blank();
        for (const char* line : BlockC) {
            At(10, line);
        }
        Blank();
        Paragraphs(10, {Procedure[0], Procedure[1], Procedure[2]});
        Blank(3);
        Size(18);
        At(10, "PORTATA ANTINCENDIO");
        Blank();
        Size(body_);
        At(10, FireIntroduction);
        Blank();
        At(10, "Q = 4.5 * Sqr(P) - 0.045 * P     in cui");
        Blank();
        At(10, "Q = portata antincendio da determinare;");
        At(10, "P = numero in migliaia degli abitanti serviti.");
        Blank();
        Paragraphs(10, {FireParagraph});
        NewPageWithFooter();
    }

    void TableHeaderLines() {
        Size(8);
        d_.PrintLine({Item::TabTo(6), Item::Words(TableHeader)});
        d_.PrintLine({Item::TabTo(6), Item::Words(TableUnits)});
        d_.PrintLine({});
    }

    void DataPage() {
        Size(18);
        At(10, "DATI E RISULTATI DEL CALCOLO");
        Blank();
        Size(body_);
        Paragraphs(10, {DataParagraphs[0], DataParagraphs[1]});
        Blank();
        At(6, "Legenda:");
        Blank();
        for (const char* line : BlockJ) {
            LegendLine(line);
        }
        Blank();
        Size(8);
        At(6, TableHeader);
        At(6, TableUnits);
        Blank();
        inTable_ = true;
        const int count = p_.enteredSectionCount;
        for (int s = 1; s <= count && !d_.Failed(); ++s) {
            DataRow(s);
            ++printRowCount_;
            CheckTablePageBreak();
        }
        inTable_ = false;
    }

    // The column of a value placed so that its decimal separator falls in
    // `reference` (a number item, with its leading blank, one further right).
    static void Place(std::vector<Item>& items, const FieldValue& value, int reference,
                      bool asFlow) {
        if (value.IsEmpty()) {
            return;
        }
        const std::string text = value.DisplayText();
        items.push_back(Item::TabTo(reference - IntegerDigits(text)));
        if (value.IsNumber() && !asFlow) {
            items.push_back(Item::Value(value.NumberValue()));
        } else {
            items.push_back(Item::Words(asFlow ? DotToComma(text) : text));
        }
    }
    // A text that ends in column `end`.
    static void EndAt(std::vector<Item>& items, const std::string& text, int end) {
        items.push_back(Item::TabTo(end + 1 - static_cast<int>(CharLength(text))));
        items.push_back(Item::Words(text));
    }

    void DataRow(int s) {
        const SectionRecord& r = p_.sections.Record(s);
        std::vector<Item> items = {Item::TabTo(9 - static_cast<int>(SignedText(s).size())),
                                   Item::Value(s)};
        Place(items, r[Field::lungh], 16, false);
        Place(items, r[Field::quotain], 24, false);
        Place(items, r[Field::quotafin], 32, false);
        Place(items, r[Field::portun], 38, true);
        EndAt(items, ResidentsCell(r[Field::abitun]), 49);
        EndAt(items, AllowanceCell(r[Field::dotazun]), 57);
        Place(items, r[Field::portfin], 62, true);
        EndAt(items, ResidentsCell(r[Field::abitfin]), 73);
        EndAt(items, AllowanceCell(r[Field::dotazfin]), 81);
        Place(items, r[Field::per], 88, false);
        Place(items, r[Field::dia], 96, false);
        Place(items, r[Field::vel], 103, false);
        if (!r[Field::sca].IsEmpty()) {
            items.push_back(Item::TabTo(110));
            items.push_back(Item::Value(NumericValue(r[Field::sca], Field::sca)));
        }
        Line(items);
    }

    void CheckTablePageBreak() {
        const int page = d_.PageNumber();
        const int count = p_.enteredSectionCount;
        if ((page == 3 && printRowCount_ == 37) ||
            (page > 3 && printRowCount_ == 85 && count > printRowCount_)) {
            printRowCount_ = 0;
            NewPageWithFooter();
            TableHeaderLines();
        }
        if (count == printRowCount_) {
            NewPageWithFooter();
            Size(8);
        }
    }

    void Map() {
        Size(18);
        At(10, "MAPPA DELLE PERDITE DI CARICO E DELLE PORTATE");
        Blank();
        Size(body_);
        Paragraphs(10, {MapParagraph});
        Blank();
        At(6, "Legenda:");
        Blank();
        for (const Entry& row : MapRows) {
            At(6, std::string(row.symbol) + " = " + row.meaning);
        }
        const int count = p_.enteredSectionCount;
        for (int s = 1; s <= count && !d_.Failed(); ++s) {
            MapBlock(s);
            if (s < count) {
                printRowCount_ = s;
                CheckMapPageBreak();
            }
        }
    }

    void MapBlock(int s) {
        Blank(3);
        Size(body_);
        Line({Item::TabTo(10), Item::Words("Tronco n."), Item::Value(s)});
        Blank();
        Size(8);
        At(6, MapHeader);
        for (std::size_t row = 1; row < MapRows.size(); ++row) {
            std::string cells = MapRows[row].symbol;
            for (int j = 1; j <= SegmentCount; ++j) {
                const SegmentCell& c = p_.segments.Get(j, s);
                const double values[] = {SegmentAbscissa(p_.sections, s, j), c.zStart, c.zEnd,
                                         c.headLoss, c.flow};
                cells += FormatFixed2(values[row - 1], 8);
            }
            At(6, cells);
        }
    }

    void CheckMapPageBreak() {
        const int s = printRowCount_;
        if (s == 5 || (s >= 12 && (s - 5) % 7 == 0)) {
            NewPageWithFooter();
        }
    }

    void Closing() {
        Blank(2);
        if (d_.CurrentY() > ClosingLimit) {
            NewPageWithFooter();
        }
        Size(body_);
        Line({Item::TabTo(8), Item::Words("La presente relazione è composta di n."),
              Item::Value(d_.PageNumber()), Item::Words(" pagine.")});
        At(8, "Si allegano: " + Title(allegati));
        Blank();
        Line({Item::TabTo(8), Item::Words(Title(luogo)), Item::Words(": "),
              Item::Words(Title(data))});
        At(50, "il progettista");
        Line({Item::TabTo(50), Item::Words("("), Item::Words(office_.name), Item::Words(")")});
        // The last page gets its footer and the document ends there, with no
        // empty page after it.
        Footer();
    }

    PrinterDevice& d_;
    const Project& p_;
    const TitleTexts& titles_;
    const Office& office_;
    int body_;
    double size_ = 12;
    int printRowCount_ = 0;
    bool inTable_ = false;
    bool guardFooter_ = false;
};

}  // namespace

void PrintReport(PrinterDevice& printer, const Project& project, const TitleTexts& titles,
                 const Office& office, int bodyFontSize) {
    ReportPrinter(printer, project, titles, office, bodyFontSize).Run();
}

}  // namespace acquenza
