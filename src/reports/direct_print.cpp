#include "reports/direct_print.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "core/project_network.h"
#include "reports/network_chapter.h"
#include "reports/path_profile.h"
#include "reports/pipes_chapter.h"
#include "reports/prose_lines.h"
#include "reports/report_texts.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

using namespace report;
using Item = PrintItem;

constexpr double Top = 1000;
// The footer sits here, or higher on a sheet too short for it.
constexpr double FooterX = 9800;
constexpr double FooterY = 16000;
constexpr double ClosingLimit = 13500;
constexpr double RuleLeft = 1000;
constexpr double RuleRight = 11000;
constexpr double UpperRule = 14000;
constexpr double LowerRule = 15300;
constexpr int RuleWidth = 5;
// The page rules' counts, for a printer whose lines are small enough.
constexpr int FirstTablePageRows = 37;
constexpr int TablePageRows = 85;
constexpr int FirstMapPageBlocks = 5;
constexpr int MapPageBlocks = 7;
// The data table and the map print at this size where the printable width
// takes their lines, and no smaller than the second where it does not.
constexpr double RowSize = 8;
constexpr double SmallestRowSize = 4;

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

using Items = std::vector<Item>;

// The profile's chart drawn on the printer: black lines told apart by their
// thickness and dashes, texts in the body font.
class PrinterCanvas final : public ChartCanvas {
  public:
    PrinterCanvas(PrinterDevice& d, double points) : d_(d), points_(points) {}

    void Line(double x1, double y1, double x2, double y2, Ink ink) override {
        // Width in 600 dpi dots, then the dash and the gap in twips (no
        // dash: a full line).
        struct Pen {
            int width;
            double dash;
            double gap;
        };
        Pen pen{2, 0, 0};
        switch (ink) {
            case Ink::Frame:
                pen = {3, 0, 0};
                break;
            case Ink::Grid:
                pen = {1, 15, 75};
                break;
            case Ink::Guide:
                pen = {1, 30, 90};
                break;
            case Ink::Ground:
                pen = {9, 0, 0};
                break;
            case Ink::Head:
                pen = {5, 0, 0};
                break;
            case Ink::Minimum:
                pen = {3, 80, 80};
                break;
            case Ink::Static:
                pen = {3, 200, 50};
                break;
            case Ink::Text:
                break;
        }
        const double length = std::hypot(x2 - x1, y2 - y1);
        if (pen.dash <= 0 || length <= pen.dash) {
            d_.DrawLine(x1, y1, x2, y2, pen.width);
            return;
        }
        for (double at = 0; at < length && !d_.Failed(); at += pen.dash + pen.gap) {
            const double end = std::min(length, at + pen.dash);
            d_.DrawLine(x1 + (x2 - x1) * at / length, y1 + (y2 - y1) * at / length,
                        x1 + (x2 - x1) * end / length, y1 + (y2 - y1) * end / length, pen.width);
        }
    }
    void Text(double x, double y, const std::string& text, Anchor anchor) override {
        const double width = TextWidth(text);
        const double left = anchor == Anchor::Left     ? x
                            : anchor == Anchor::Center ? x - width / 2
                                                       : x - width;
        d_.SetPosition(std::max(0.0, left), y - TextHeight() / 2);
        d_.PrintLine({Item::Words(text)});
    }
    double TextWidth(const std::string& text) const override {
        d_.SetPosition(0, d_.CurrentY());
        return d_.LineEnd({Item::Words(text)});
    }
    double TextHeight() const override { return d_.LineHeight(points_); }

  private:
    PrinterDevice& d_;
    double points_;
};

class ReportPrinter {
  public:
    ReportPrinter(PrinterDevice& d, const Project& p, const Office& o, int body,
                  const NetworkLimits& limits, std::span<const PipeSeries> catalogues)
        : d_(d),
          p_(p),
          office_(o),
          body_(body),
          columns_(ReportedFields(p.Fields())),
          limits_(limits),
          catalogues_(catalogues) {}

    void Run() {
        TitlePage();
        CriteriaPage();
        DataPage();
        if (HasNetwork(p_)) {
            NetworkCheck();
        }
        Map();
        if (HasPipesChapter(p_)) {
            Pipes();
        }
        Closing();
        if (!d_.Failed()) {
            d_.EndDocument();
        }
    }

  private:
    const std::string& Title(TitleField f) const { return TitleText(p_.titles, f); }
    double Height(double points) const { return d_.LineHeight(points); }

    void Size(double points) {
        size_ = points;
        d_.SetFontSize(points);
    }

    // Whether `height` more fits above the footer on this page.
    bool Fits(double height) const { return d_.CurrentY() + height <= bottom_ + 0.5; }
    // Moves to a new page unless `height` fits here or the page is still
    // empty (a block taller than a page then runs over line by line).
    void Keep(double height) {
        if (!Fits(height) && !atPageTop_ && !d_.Failed()) {
            NewPageWithFooter();
        }
    }

    // The line as printed: a line wider than the printable area goes on at
    // `continuation` (by default where its text starts), broken between words.
    std::vector<Items> Wrapped(Items items, const Items& continuation = {}) const {
        std::vector<Items> lines;
        const double width = d_.PageWidth();
        while (d_.LineEnd(items) > width) {
            std::size_t first = 0;  // the first item that prints something
            while (first < items.size() && (items[first].kind == Item::Kind::Tab ||
                                            items[first].kind == Item::Kind::Blanks)) {
                ++first;
            }
            std::string text;
            for (std::size_t i = first; i < items.size(); ++i) {
                text += items[i].kind == Item::Kind::Number ? NumberItemText(items[i].number)
                                                            : items[i].text;
            }
            const Items lead(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(first));
            const auto withText = [&](const Items& start, std::string words) {
                Items line = start;
                line.push_back(Item::Words(std::move(words)));
                return line;
            };
            // The longest run of whole words that fits; a word wider than
            // the page stays whole.
            std::size_t cut = std::string::npos;
            for (std::size_t blank = text.find(' '); blank != std::string::npos;
                 blank = text.find(' ', blank + 1)) {
                if (text.find_first_not_of(' ') >= blank) {
                    continue;
                }
                if (d_.LineEnd(withText(lead, text.substr(0, blank))) > width &&
                    cut != std::string::npos) {
                    break;
                }
                cut = blank;
            }
            const std::size_t rest =
                cut == std::string::npos ? cut : text.find_first_not_of(' ', cut);
            if (rest == std::string::npos) {
                break;
            }
            std::string head = text.substr(0, cut);
            head.erase(head.find_last_not_of(' ') + 1);
            lines.push_back(withText(lead, std::move(head)));
            items = withText(continuation.empty() ? lead : continuation, text.substr(rest));
        }
        lines.push_back(std::move(items));
        return lines;
    }
    double WrappedHeight(const Items& items, const Items& continuation = {}) const {
        return static_cast<double>(Wrapped(items, continuation).size()) * Height(size_);
    }

    // One printed line that has its page: the footer decides where a page
    // ends, except on the title page, which has none.
    void Emit(const Items& items) {
        if (d_.Failed()) {
            return;
        }
        if (!onTitlePage_ && !Fits(Height(size_))) {
            NewPageWithFooter();
        }
        d_.PrintLine(items);
        atPageTop_ = false;
    }
    void Line(const Items& items, const Items& continuation = {}) {
        for (const Items& line : Wrapped(items, continuation)) {
            Emit(line);
        }
    }
    // Blank lines space what follows from what precedes: at the top of a
    // page there is nothing to space from, and those that would reach the
    // footer end with the page.
    void Blank(int count = 1) {
        for (int i = 0; i < count && !atPageTop_ && !d_.Failed(); ++i) {
            if (!onTitlePage_ && !Fits(Height(size_))) {
                NewPageWithFooter();
            } else {
                d_.PrintLine({});
            }
        }
    }
    void At(int column, const std::string& text) { Line({Item::TabTo(column), Item::Words(text)}); }
    void Paragraphs(int column, std::initializer_list<const char*> paragraphs) {
        for (const char* paragraph : paragraphs) {
            for (const std::string& line : BreakIntoLines(paragraph)) {
                At(column, line);
            }
        }
    }
    // A section heading, kept with its blank and the first lines under it.
    void Heading(const char* text) {
        Size(18);
        const Items heading = {Item::TabTo(10), Item::Words(text)};
        Keep(WrappedHeight(heading) + Height(18) + 2 * Height(body_));
        Line(heading);
        Blank();
        Size(body_);
    }

    void Footer() {
        if (d_.Failed()) {
            return;
        }
        Size(body_);
        const Items footer = {Item::Words("pagina "), Item::Value(d_.PageNumber())};
        d_.SetPosition(0, footerY_);
        d_.SetPosition(std::min(FooterX, d_.PageWidth() - d_.LineEnd(footer)), footerY_);
        d_.PrintLine(footer);
    }

    // The page goes on in the size it was printing in.
    void NewPageWithFooter() {
        const double size = size_;
        Footer();
        if (d_.Failed()) {
            return;
        }
        d_.NewPage();
        // Every line of a continuation page starts from the left edge, the
        // first one too, so the columns of a block line up across pages.
        d_.SetPosition(0, Top);
        Size(size);
        atPageTop_ = true;
    }

    // The print position moves to the end of a ruled line, as on the
    // printer the report was laid out for.
    void Rule(double y) {
        // On a printer with wide margins the rule ends at the printable edge.
        const double right = std::min(RuleRight, d_.PageWidth());
        d_.DrawLine(RuleLeft, y, right, y, RuleWidth);
        d_.SetPosition(right, y);
    }

    void TitlePage() {
        onTitlePage_ = true;
        d_.SetPosition(Top, Top);
        d_.SetFont(TitleFont, 24);
        size_ = 24;
        At(6, "CALCOLI  IDRAULICI");
        Size(14);
        At(10, "(per tronchi di condotte idriche)");
        Blank(3);
        Size(14);
        At(10, "progetto..............: " + Title(TitleField::progetto));
        Blank(2);
        At(10, "località................: " + Title(TitleField::localita));
        Blank(2);
        At(10, "tipologia di studio: " + Title(TitleField::tipostudio));
        Blank(9);
        At(10, "progettista............: " + office_.name);
        At(10, "committente.........: " + Title(TitleField::committente));
        Blank();
        Line({Item::TabTo(10), Item::Words(Title(TitleField::luogo)), Item::Words(": "),
              Item::Words(Title(TitleField::data))});
        Blank(12);
        Rule(UpperRule);
        Blank();
        Size(16);
        Line({Item::Spaces(10), Item::Words(office_.name)});
        Line({Item::Spaces(10), Item::Words(office_.address)});
        Rule(LowerRule);
        if (!d_.Failed()) {
            d_.NewPage();  // the title page has no footer
        }
        onTitlePage_ = false;
    }

    void CriteriaPage() {
        d_.SetFont(BodyFont, 18);
        size_ = 18;
        footerY_ = std::min(FooterY, d_.PageHeight() - Height(body_));
        // A blank line's room keeps the last line of a page apart from its
        // footer.
        bottom_ = footerY_ - Height(body_);
        d_.SetPosition(Top, Top);
        const int firstPage = d_.PageNumber();
        Heading("CRITERI DI CALCOLO");
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
        Heading("PORTATA ANTINCENDIO");
        At(10, FireIntroduction);
        Blank();
        At(10, "Q = 4.5 * Sqr(P) - 0.045 * P     in cui");
        Blank();
        At(10, "Q = portata antincendio da determinare;");
        At(10, "P = numero in migliaia degli abitanti serviti.");
        Blank();
        Paragraphs(10, {FireParagraph});
        // The data start on a page of their own, unless the criteria have
        // already run onto it: a page holding only their last lines would
        // be all but empty.
        if (d_.PageNumber() == firstPage) {
            NewPageWithFooter();
        } else {
            Blank(3);
        }
    }

    // The size at which the widest of `lines` fits the printer's printable
    // width: the table's 8 points where the printer leaves room for them,
    // smaller where its margins do not. Measured from the left edge.
    double FittedSize(const std::vector<Items>& lines) {
        const double width = d_.PageWidth();
        const auto widest = [&](double size) {
            Size(size);
            double end = 0;
            for (const Items& line : lines) {
                end = std::max(end, d_.LineEnd(line));
            }
            return end;
        };
        double size = RowSize;
        const double end = widest(size);
        if (end > width && end > 0) {
            // Widths follow the size; tenths of a point settle the rounding.
            size = std::floor(RowSize * width / end * 10) / 10;
            while (size > SmallestRowSize && widest(size) > width) {
                size -= 0.1;
            }
            size = std::max(size, SmallestRowSize);
        }
        Size(body_);
        return size;
    }

    void FitRowSizes() {
        std::vector<Items> table = {{Item::TabTo(6), Item::Words(TableHeader)},
                                    {Item::TabTo(6), Item::Words(TableUnits)}};
        for (int s = 1; s <= p_.enteredSectionCount; ++s) {
            table.push_back(DataRowItems(s));
        }
        tableSize_ = FittedSize(table);
        std::vector<Items> map = {{Item::TabTo(6), Item::Words(MapHeader)}};
        for (int s = 1; s <= p_.enteredSectionCount; ++s) {
            for (std::size_t row = 1; row < MapRows.size(); ++row) {
                map.push_back({Item::TabTo(6), Item::Words(MapRowText(s, row))});
            }
        }
        mapSize_ = FittedSize(map);
    }

    void TableHeaderLines() {
        Size(tableSize_);
        d_.PrintLine({Item::TabTo(6), Item::Words(TableHeader)});
        d_.PrintLine({Item::TabTo(6), Item::Words(TableUnits)});
        d_.PrintLine({});
        atPageTop_ = false;
    }
    void TableBreak() {
        NewPageWithFooter();
        TableHeaderLines();
    }

    // "Legenda:", a blank line and the legend's lines, kept on one page.
    void Legend(const std::vector<Items>& lines, const Items& continuation) {
        double height = 2 * Height(body_);
        for (const Items& line : lines) {
            height += WrappedHeight(line, continuation);
        }
        Keep(height);
        At(6, "Legenda:");
        Blank();
        for (const Items& line : lines) {
            Line(line, continuation);
        }
    }

    void DataPage() {
        FitRowSizes();
        Heading("DATI E RISULTATI DEL CALCOLO");
        Paragraphs(10, {DataParagraphs[0], DataParagraphs[1]});
        Blank();
        std::vector<Items> legend;
        for (const char* line : BlockJ) {
            legend.push_back({Item::TabTo(6), Item::Words(line)});
        }
        // A meaning too long for the page goes on under itself.
        Legend(legend, {Item::TabTo(6 + 12)});
        Blank();
        Size(tableSize_);
        Keep(4 * Height(tableSize_));  // the header lines, their blank and a row
        Line({Item::TabTo(6), Item::Words(TableHeader)});
        Line({Item::TabTo(6), Item::Words(TableUnits)});
        Blank();
        DataRows();
    }

    // Rows fill each page down to the footer, and each page they go on to
    // starts with the header lines. The page rules' counts (37 rows on the
    // table's first page, 85 on later ones) stop a page early where the
    // printer's lines are small enough for them.
    void DataRows() {
        const int count = p_.enteredSectionCount;
        bool firstPage = true;
        int rowsOnPage = 0;
        for (int s = 1; s <= count && !d_.Failed(); ++s) {
            if (!Fits(Height(tableSize_))) {
                TableBreak();
                firstPage = false;
                rowsOnPage = 0;
            }
            DataRow(s);
            ++rowsOnPage;
            if (rowsOnPage == (firstPage ? FirstTablePageRows : TablePageRows) &&
                (firstPage || s < count)) {
                TableBreak();
                firstPage = false;
                rowsOnPage = 0;
            }
        }
        // A table that ends on its first page leaves the map a page of its own.
        if (firstPage && count > 0) {
            NewPageWithFooter();
        }
    }

    // A data row in the fixed-pitch font, where every character takes one
    // column. A value whose column its neighbour has already reached moves
    // one blank further right, so that two values never run together into
    // one number ("250" and "1234,5" into "2501234,5").
    class Row {
      public:
        // The value with its decimal separator in column `reference` (a
        // number item, with its leading blank, one further right).
        void Place(const FieldValue& value, int reference, bool asFlow) {
            if (value.IsEmpty()) {
                return;
            }
            const std::string text = value.DisplayText();
            const int column = reference - IntegerDigits(text);
            if (value.IsNumber() && !asFlow) {
                Number(column, value.NumberValue());
            } else {
                Text(column, asFlow ? DotToComma(text) : text);
            }
        }
        // A text that ends in column `end`.
        void EndAt(const std::string& text, int end) {
            Text(end + 1 - static_cast<int>(CharLength(text)), text);
        }
        void Number(int column, double value) {
            Put(column, Item::Value(value), NumberItemText(value));
        }
        Items Take() { return std::move(items_); }

      private:
        void Text(int column, const std::string& text) { Put(column, Item::Words(text), text); }
        void Put(int column, Item item, const std::string& printed) {
            const bool leadingBlank = !printed.empty() && printed.front() == ' ';
            if (column <= next_ && !lastBlank_ && !leadingBlank && next_ > 1) {
                column = next_ + 1;
            }
            items_.push_back(Item::TabTo(column));
            items_.push_back(std::move(item));
            next_ = std::max(next_, column) + static_cast<int>(CharLength(printed));
            lastBlank_ = !printed.empty() && printed.back() == ' ';
        }
        Items items_;
        int next_ = 1;  // the column the next character would print in
        bool lastBlank_ = false;
    };

    void DataRow(int s) { Emit(DataRowItems(s)); }

    Items DataRowItems(int s) const {
        const SectionRecord& r = p_.sections.Record(s);
        Row row;
        row.Number(9 - static_cast<int>(SignedText(s).size()), s);
        for (const Field f : columns_) {
            const FieldSpec& spec = p_.Fields().Spec(f);
            const ReportPlace& place = spec.report;
            const FieldValue& value = r[f];
            switch (place.printAt) {
                case PrintAt::DecimalSeparator:
                    row.Place(value, place.printColumn, spec.kind == FieldKind::Flow);
                    break;
                case PrintAt::End:
                    row.EndAt(place.cell == ReportCell::Allowance ? AllowanceCell(value)
                                                                  : ResidentsCell(value),
                              place.printColumn);
                    break;
                case PrintAt::Start:
                    if (!value.IsEmpty()) {
                        row.Number(place.printColumn, NumericValue(value, spec.kind));
                    }
                    break;
            }
        }
        return row.Take();
    }

    // A paragraph in the lines of the direct print, at column 10.
    void Prose(const std::string& text) {
        for (const std::string& line : BreakIntoLines(text)) {
            At(10, line);
        }
    }

    // The node table's line: every value ends at its column's right edge,
    // with at least one blank before it, so that two never run together;
    // the marks are written from the left after the numbers.
    static std::string NodeLine(const std::vector<std::string>& cells) {
        static constexpr std::array<int, 10> Widths = {4, 6, 9, 10, 9, 9, 9, 9, 7, 9};
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c < Widths.size()) {
                const int pad = std::max(1, Widths[c] - static_cast<int>(cells[c].size()));
                line += std::string(static_cast<std::size_t>(pad), ' ') + cells[c];
            } else {
                line += "  " + cells[c];
            }
        }
        return line;
    }

    void NetworkCheck() {
        const NetworkChapter chapter = NetworkChapterOf(p_, limits_, catalogues_);
        // Apart from the table's last rows when it ends on a page of its own.
        Blank(3);
        Heading("VERIFICA DELLA RETE");
        for (const std::string& value : chapter.values) {
            Line({Item::TabTo(10), Item::Words(value)});
        }
        Blank();
        for (const std::string& sentence : chapter.method) {
            Prose(sentence);
        }
        Blank();
        std::vector<Items> legend;
        for (const auto& [mark, meaning] : chapter.marks) {
            std::string symbol = mark;
            symbol.resize(std::max<std::size_t>(symbol.size(), 10), ' ');
            legend.push_back({Item::TabTo(6), Item::Words(symbol + "= " + meaning)});
        }
        Legend(legend, {Item::TabTo(6 + 12)});
        Blank();

        std::vector<Items> table = {{Item::TabTo(6), Item::Words(NodeLine(chapter.headings))},
                                    {Item::TabTo(6), Item::Words(NodeLine(chapter.units))}};
        for (const std::vector<std::string>& row : chapter.rows) {
            table.push_back({Item::TabTo(6), Item::Words(NodeLine(row))});
        }
        const double size = FittedSize(table);
        Size(size);
        Keep(4 * Height(size));
        Emit(table[0]);
        Emit(table[1]);
        Blank();
        for (std::size_t r = 2; r < table.size() && !d_.Failed(); ++r) {
            if (!Fits(Height(size))) {
                NewPageWithFooter();
                d_.PrintLine(table[0]);
                d_.PrintLine(table[1]);
                d_.PrintLine({});
            }
            Emit(table[r]);
        }
        Size(body_);
        Blank();
        // The outcome stays with the first point it announces; each point
        // goes on under its own text, unstretched.
        const auto point = [](const std::string& check) {
            return Items{Item::TabTo(10), Item::Words("- " + check)};
        };
        const Items under = {Item::TabTo(12)};
        Keep(WrappedHeight({Item::TabTo(10), Item::Words(chapter.outcome)}) +
             (chapter.checks.empty() ? 0 : WrappedHeight(point(chapter.checks[0]), under)));
        Line({Item::TabTo(10), Item::Words(chapter.outcome)});
        for (const std::string& check : chapter.checks) {
            Line(point(check), under);
        }
        Blank();
        Prose(chapter.worstText);
        if (chapter.worst.endNode != 0 && !d_.Failed()) {
            // The chart over the printable width, at the table's size.
            const double height = std::min(5600.0, bottom_ - Top);
            Blank();
            Keep(height);
            const double top = d_.CurrentY();
            d_.SetFontSize(size);
            // From where the tables start to the printable edge.
            d_.SetPosition(0, top);
            const double left = d_.LineEnd({Item::TabTo(6)});
            PrinterCanvas canvas(d_, size);
            DrawPathProfile(canvas, left, top, d_.PageWidth() - left, height, chapter.worst);
            Size(body_);
            d_.SetPosition(0, top + height);
            atPageTop_ = false;
        }
        Blank(3);
    }

    void Map() {
        Heading("MAPPA DELLE PERDITE DI CARICO E DELLE PORTATE");
        Paragraphs(10, {MapParagraph});
        Blank();
        std::vector<Items> legend;
        for (const Entry& row : MapRows) {
            legend.push_back(
                {Item::TabTo(6), Item::Words(std::string(row.symbol) + " = " + row.meaning)});
        }
        Legend(legend, {});
        MapBlocks();
    }

    // A block goes whole on the page that can hold it. The page rules' counts
    // (5 blocks on the map's first page, 7 on later ones) stop a page early
    // where the printer's lines are small enough for them.
    void MapBlocks() {
        const int count = p_.enteredSectionCount;
        int limit = FirstMapPageBlocks;
        int blocksOnPage = 0;
        for (int s = 1; s <= count && !d_.Failed(); ++s) {
            const double blanks = atPageTop_ ? 0 : 3 * Height(size_);
            if (!Fits(blanks + 2 * Height(body_) + 6 * Height(mapSize_))) {
                NewPageWithFooter();
                limit = MapPageBlocks;
                blocksOnPage = 0;
            }
            MapBlock(s);
            if (++blocksOnPage == limit && s < count) {
                NewPageWithFooter();
                limit = MapPageBlocks;
                blocksOnPage = 0;
            }
        }
    }

    void MapBlock(int s) {
        Blank(3);
        Size(body_);
        Emit({Item::TabTo(10), Item::Words("Tronco n."), Item::Value(s)});
        Blank();
        Size(mapSize_);
        Emit({Item::TabTo(6), Item::Words(MapHeader)});
        for (std::size_t row = 1; row < MapRows.size(); ++row) {
            Emit({Item::TabTo(6), Item::Words(MapRowText(s, row))});
        }
    }

    // "as", "q0", "q1", "pc" or "po" and the 14 values of section s.
    std::string MapRowText(int s, std::size_t row) const {
        std::string cells = MapRows[row].symbol;
        for (int j = 1; j <= SegmentCount; ++j) {
            const SegmentCell& c = p_.sections.Segment(s, j);
            const double values[] = {SegmentAbscissa(p_.sections, s, j), c.zStart, c.zEnd,
                                     c.headLoss, c.flow};
            // A value as wide as its column keeps a blank before it.
            const std::string cell = FormatFixed2(values[row - 1], 8);
            cells += (cell.front() == ' ' ? "" : " ") + cell;
        }
        return cells;
    }

    // The pipes laid and their bill, after the map.
    void Pipes() {
        const PipesChapter chapter = PipesChapterOf(p_, catalogues_);
        Blank(3);
        Heading("TUBAZIONI POSATE");
        for (const std::string& paragraph : chapter.introduction) {
            Prose(paragraph);
        }
        Blank();
        Keep(2 * Height(body_) + 4 * Height(RowSize));
        At(10, chapter.pipesCaption);
        Blank();
        Grid(GridRows(chapter.pipeHeadings, chapter.pipeRows, chapter.pipeLeftAligned));
        Blank();
        Keep(3 * Height(body_));
        At(10, chapter.pressureCaption);
        if (!chapter.pressureOutcome.empty()) {
            Prose(chapter.pressureOutcome);
        }
        const Items under = {Item::TabTo(12)};
        for (const std::string& check : chapter.pressureChecks) {
            Line({Item::TabTo(10), Item::Words("- " + check)}, under);
        }
        Blank(3);
        Heading("COMPUTO DELLE TUBAZIONI");
        Prose(chapter.billText);
        if (!chapter.billRows.empty()) {
            Blank();
            Grid(GridRows(chapter.billHeadings, chapter.billRows, chapter.billLeftAligned));
        }
    }

    // A table of texts in the fixed-pitch font: each column as wide as its
    // widest value, words left and figures right, two blanks between
    // columns. A heading goes on over as many lines as its column needs; a
    // text longer than `TextColumnWidth` goes on under itself, broken
    // between words, so a figure is never split. The first element holds the
    // heading's lines, then one element per row with its lines.
    static std::vector<std::vector<std::string>> GridRows(
        const std::vector<std::string>& headings, const std::vector<std::vector<std::string>>& rows,
        const std::vector<bool>& left) {
        constexpr std::size_t TextColumnWidth = 40;
        const std::size_t columns = headings.size();
        const auto words = [](const std::string& text) {
            std::vector<std::string> out;
            for (std::size_t at = text.find_first_not_of(' '); at != std::string::npos;) {
                const std::size_t end = text.find(' ', at);
                out.push_back(text.substr(at, end == std::string::npos ? end : end - at));
                at = end == std::string::npos ? end : text.find_first_not_of(' ', end);
            }
            return out;
        };
        // The text's lines within `width` characters; a longer word alone.
        const auto broken = [&](const std::string& text, std::size_t width) {
            std::vector<std::string> lines;
            for (const std::string& word : words(text)) {
                if (!lines.empty() && CharLength(lines.back()) + 1 + CharLength(word) <= width) {
                    lines.back() += " " + word;
                } else {
                    lines.push_back(word);
                }
            }
            return lines;
        };
        std::vector<std::size_t> widths(columns, 0);
        for (std::size_t c = 0; c < columns; ++c) {
            for (const std::string& word : words(headings[c])) {
                widths[c] = std::max(widths[c], CharLength(word));
            }
            for (const std::vector<std::string>& row : rows) {
                const std::size_t length = CharLength(row[c]);
                if (left[c] && length > TextColumnWidth) {
                    for (const std::string& word : words(row[c])) {
                        widths[c] = std::max(widths[c], CharLength(word));
                    }
                    widths[c] = std::max(widths[c], std::min(length, TextColumnWidth));
                } else {
                    widths[c] = std::max(widths[c], length);
                }
            }
        }
        const auto lines = [&](const std::vector<std::string>& cells) {
            std::vector<std::vector<std::string>> parts(columns);
            std::size_t count = 1;
            for (std::size_t c = 0; c < columns; ++c) {
                parts[c] = broken(cells[c], widths[c]);
                count = std::max(count, parts[c].size());
            }
            std::vector<std::string> out;
            for (std::size_t l = 0; l < count; ++l) {
                std::string line;
                for (std::size_t c = 0; c < columns; ++c) {
                    const std::string text = l < parts[c].size() ? parts[c][l] : "";
                    const std::string pad(widths[c] - CharLength(text), ' ');
                    line += (c == 0 ? "" : "  ") + (left[c] ? text + pad : pad + text);
                }
                line.erase(line.find_last_not_of(' ') + 1);
                out.push_back(std::move(line));
            }
            return out;
        };
        std::vector<std::vector<std::string>> grid = {lines(headings)};
        for (const std::vector<std::string>& row : rows) {
            grid.push_back(lines(row));
        }
        return grid;
    }

    // The table at the size that fits the printable width, its heading
    // repeated on every page it goes on to; a row's lines stay together.
    void Grid(const std::vector<std::vector<std::string>>& grid) {
        const auto item = [](const std::string& line) {
            return Items{Item::TabTo(6), Item::Words(line)};
        };
        std::vector<Items> all;
        for (const std::vector<std::string>& row : grid) {
            for (const std::string& line : row) {
                all.push_back(item(line));
            }
        }
        const double size = FittedSize(all);
        Size(size);
        const auto header = [&] {
            for (const std::string& line : grid[0]) {
                d_.PrintLine(item(line));
            }
            d_.PrintLine({});
            atPageTop_ = false;
        };
        const double headerHeight = static_cast<double>(grid[0].size() + 1) * Height(size);
        Keep(headerHeight +
             (grid.size() > 1 ? static_cast<double>(grid[1].size()) : 0) * Height(size));
        for (const std::string& line : grid[0]) {
            Emit(item(line));
        }
        Blank();
        for (std::size_t r = 1; r < grid.size() && !d_.Failed(); ++r) {
            if (!Fits(static_cast<double>(grid[r].size()) * Height(size))) {
                NewPageWithFooter();
                header();
            }
            for (const std::string& line : grid[r]) {
                Emit(item(line));
            }
        }
        Size(body_);
    }

    std::vector<Items> ClosingLines(int pages) const {
        return {
            {Item::TabTo(8), Item::Words("La presente relazione è composta di n."),
             Item::Value(pages), Item::Words(" pagine.")},
            {Item::TabTo(8), Item::Words("Si allegano: " + Title(TitleField::allegati))},
            {},
            {Item::TabTo(8), Item::Words(Title(TitleField::luogo)), Item::Words(": "),
             Item::Words(Title(TitleField::data))},
            {Item::TabTo(50), Item::Words("il progettista")},
            // No office set: the line stays blank for the name written by hand.
            office_.name.empty() ? Items{Item::TabTo(50)}
                                 : Items{Item::TabTo(50), Item::Words("("),
                                         Item::Words(office_.name), Item::Words(")")},
        };
    }

    // The closing stays together on the last page, so the count it states
    // is the number of that page.
    void Closing() {
        Blank(2);
        Size(body_);
        double height = 0;
        for (const Items& line : ClosingLines(d_.PageNumber() + 1)) {
            height += WrappedHeight(line);
        }
        if (d_.CurrentY() > ClosingLimit || !Fits(height)) {
            NewPageWithFooter();
        }
        for (const Items& line : ClosingLines(d_.PageNumber())) {
            if (line.empty()) {
                Blank();
            } else {
                Line(line);
            }
        }
        // The last page gets its footer and the document ends there, with no
        // empty page after it.
        Footer();
    }

    PrinterDevice& d_;
    const Project& p_;
    const Office& office_;
    int body_;
    // The fields of the table of data and results, after the section's number.
    std::vector<Field> columns_;
    double size_ = 12;
    double footerY_ = FooterY;  // where the footer's line starts
    double bottom_ = FooterY;   // where the page's last line may end
    bool onTitlePage_ = false;
    bool atPageTop_ = false;
    // The sizes of the data table's and the map's lines on this printer.
    double tableSize_ = RowSize;
    double mapSize_ = RowSize;
    NetworkLimits limits_;
    std::span<const PipeSeries> catalogues_;
};

}  // namespace

void PrintReport(PrinterDevice& printer, const Project& project, const Office& office,
                 int bodyFontSize, const NetworkLimits& officeLimits,
                 std::span<const PipeSeries> catalogues) {
    ReportPrinter(printer, project, office, bodyFontSize, officeLimits, catalogues).Run();
}

}  // namespace acquenza
