#include "reports/pagination.h"

#include "reports/column_widths.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QRawFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

namespace acquenza {

namespace {

// Pages are filled the way the word processor fills them: lines of body
// paragraphs one by one and table rows, which may break between their lines,
// each onto the current page while it fits. Paragraphs kept with the next one
// go over with the start of what follows, a table kept together goes over
// whole, and a table's heading rows open every page it runs onto. Qt's
// QTextDocument could paginate the same model, but it takes seconds on a
// report with tens of thousands of cells; the lines themselves still come
// from Qt's text layout.

// The page in whole twips, as the file states it.
constexpr double Twips(double mm) {
    return static_cast<double>(static_cast<long>(mm * 1440 / 25.4 + 0.5));
}
constexpr double TextWidth = (Twips(PageWidthMm) - 2 * Twips(SideMarginMm)) / 20;
constexpr double TextHeight = (Twips(PageHeightMm) - Twips(TopMarginMm) - Twips(SideMarginMm)) / 20;
// Default left and right cell margins of a word-processor table (0.19 cm).
constexpr double CellSidePadding = CellSidePaddingTwips / 20.0;  // points
// The single thin border under every row and above the table.
constexpr double BorderWidth = 0.5;
// Text is laid out at 1440 dpi, one pixel per twip: Qt rounds some metrics
// to whole pixels, and a whole point per line would add up to pages.
constexpr double PixelsPerPoint = 20.0;

// A line is as high as the font's ascent, descent and line gap. The word
// processor rounds them the way LibreOffice does (on a device of 6 x 1440
// dpi, then to twips), or a page of short lines ends a line early or late.
// `otherwise` is the height to take for a font whose tables Qt cannot read.
double LineHeight(const QFont& font, double points, double otherwise) {
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.unitsPerEm() <= 0) {
        return otherwise;
    }
    const double unitsPerEm = raw.unitsPerEm();
    raw.setPixelSize(unitsPerEm);  // ascent, descent and gap in font units
    constexpr double DevicePixelsPerPoint = 6 * 1440 / 72.0;
    constexpr double DevicePixelsPerTwip = 6;
    const double scale = points * DevicePixelsPerPoint / unitsPerEm;
    const double ascent = std::round(raw.ascent() * scale);
    const double descent = std::round(raw.descent() * scale);
    const double gap = std::round(raw.leading() * scale);
    return (std::round((ascent + descent) / DevicePixelsPerTwip) +
            std::round(gap / DevicePixelsPerTwip)) /
           20;
}

struct FontInfo {
    QFont font;
    double lineHeight = 0;                // points; single spacing: ascent + descent + leading
    std::map<char16_t, double> advances;  // points
};

class Layout {
  public:
    Layout() : device_(1, 1, QImage::Format_Mono) {
        const int dotsPerMeter = qRound(72.0 * PixelsPerPoint / 0.0254);
        device_.setDotsPerMeterX(dotsPerMeter);
        device_.setDotsPerMeterY(dotsPerMeter);
        option_.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option_.setUseDesignMetrics(true);
        option_.setTabStopDistance(708);  // 1.25 cm, as in the settings written to the file
    }

    void Add(const Block& block) {
        if (const auto* p = std::get_if<Paragraph>(&block); p != nullptr && p->keepWithNext) {
            kept_.push_back(ParagraphLines(*p));
            afterTable_ = false;
            return;
        }
        if (std::holds_alternative<PageBreak>(block)) {
            PlaceKept();
            NewPage();
        } else if (const auto* p = std::get_if<Paragraph>(&block)) {
            const std::vector<double> lines = ParagraphLines(*p);
            KeepWith(lines.front());
            for (const double line : lines) {
                Place(line);
            }
        } else {
            const Table& table = std::get<Table>(block);
            const double gap = afterTable_ ? EmptyParagraphHeight() : 0;
            const std::vector<double> rows = RowHeights(table);
            // What must share the page with the paragraphs kept with the table.
            double start = gap + BorderWidth;
            if (table.keepTogether) {
                start = std::accumulate(rows.begin(), rows.end(), start);
            } else if (!rows.empty()) {
                start += rows.front();
            }
            KeepWith(start, table.keepTogether);
            if (gap > 0) {
                Place(gap);  // the file keeps two tables apart with an empty paragraph
            }
            PlaceTable(table, rows);
        }
        afterTable_ = std::holds_alternative<Table>(block);
    }

    int Pages() {
        if (!kept_.empty()) {
            PlaceKept();
        } else if (afterTable_) {
            Place(EmptyParagraphHeight());  // the file always ends with a paragraph
            afterTable_ = false;
        }
        return pages_;
    }

  private:
    FontInfo& Font(const std::string& name, double points, bool bold) {
        const auto key = std::make_tuple(name, points, bold);
        auto found = fonts_.find(key);
        if (found == fonts_.end()) {
            FontInfo info;
            info.font = QFont(QString::fromStdString(name));
            info.font.setPointSizeF(points > 0 ? points : DefaultFontSize);
            info.font.setBold(bold);
            const QFontMetricsF metrics(info.font, &device_);
            info.lineHeight = LineHeight(
                info.font, points > 0 ? points : DefaultFontSize,
                (metrics.ascent() + metrics.descent() + metrics.leading()) / PixelsPerPoint);
            found = fonts_.emplace(key, std::move(info)).first;
        }
        return found->second;
    }

    double EmptyParagraphHeight() {
        return Font(DefaultFontName, DefaultFontSize, false).lineHeight;
    }

    void NewPage() {
        ++pages_;
        y_ = 0;
    }

    // A line or row goes to the next page when it does not fit, unless it
    // is first on its page (then it overflows, as in the word processor).
    void Place(double height) {
        if (y_ > 0 && y_ + height > TextHeight) {
            NewPage();
        }
        y_ += height;
    }

    // Paragraphs kept with what follows go to the next page with its start
    // (a whole table, for one kept together) when the two do not fit here
    // together, unless they would not fit on an empty page either.
    void KeepWith(double start, bool wholeTable = false) {
        if (kept_.empty() && !wholeTable) {
            return;
        }
        double height = start;
        for (const std::vector<double>& lines : kept_) {
            height = std::accumulate(lines.begin(), lines.end(), height);
        }
        if (y_ > 0 && y_ + height > TextHeight && height <= TextHeight) {
            NewPage();
        }
        PlaceKept();
    }
    void PlaceKept() {
        for (const std::vector<double>& lines : kept_) {
            for (const double line : lines) {
                Place(line);
            }
        }
        kept_.clear();
    }

    // Rows may break across pages between lines of text (the word
    // processor's default), so a tall row fills the end of the page first.
    void PlaceRow(double height, double lineHeight) {
        if (y_ > 0 && y_ + height > TextHeight) {
            const double lines = std::floor((TextHeight - y_) / lineHeight);
            if (lines >= 1 && height - lines * lineHeight > BorderWidth) {
                NewPage();
                y_ = height - lines * lineHeight;
                return;
            }
        }
        Place(height);
    }

    // Where each line of a text starts and ends at the given width. Heights
    // come from the fonts on the line, not from Qt's line, which rounds
    // ascent and descent up separately.
    std::vector<std::pair<int, int>> Lines(const QString& text, const QFont& font,
                                           const QList<QTextLayout::FormatRange>& formats,
                                           double width) {
        QTextLayout layout(text, font, &device_);
        layout.setTextOption(option_);
        layout.setFormats(formats);
        std::vector<std::pair<int, int>> lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width * PixelsPerPoint);
            lines.emplace_back(line.textStart(), line.textStart() + line.textLength());
        }
        layout.endLayout();
        return lines;
    }

    // The heights of a paragraph's lines, top to bottom.
    std::vector<double> ParagraphLines(const Paragraph& p) {
        const double markHeight = Font(p.markFontName, p.markFontSize, p.markBold).lineHeight;
        if (p.picture) {
            // An inline picture sits on the baseline: its height and the
            // font's descent below it make the line.
            return {p.picture->heightMm / 25.4 * 72 + markHeight / 4};
        }
        QString text;
        QList<QTextLayout::FormatRange> formats;
        std::vector<double> runHeights;
        for (const Run& run : p.runs) {
            QString piece = QString::fromStdString(run.text);
            for (QChar& c : piece) {
                if (c == u'\n' || c == u'\r' || c == u'\v') {
                    c = QChar::LineSeparator;
                }
            }
            const FontInfo& font = Font(run.fontName, run.fontSize, run.bold);
            runHeights.push_back(font.lineHeight);
            QTextCharFormat format;
            format.setFont(font.font);
            formats.push_back(
                {static_cast<int>(text.size()), static_cast<int>(piece.size()), format});
            text += piece;
        }
        if (text.isEmpty()) {
            return {markHeight};
        }
        const std::vector<std::pair<int, int>> lines =
            Lines(text, Font(DefaultFontName, DefaultFontSize, false).font, formats, TextWidth);
        std::vector<double> heights;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto [start, end] = lines[i];
            // The paragraph mark sits on the last line and counts in its height.
            double height = i + 1 == lines.size() ? markHeight : 0;
            for (std::size_t r = 0; r < runHeights.size(); ++r) {
                const QTextLayout::FormatRange& run = formats[static_cast<qsizetype>(r)];
                if (run.start < end && run.start + run.length > start) {
                    height = std::max(height, runHeights[r]);
                }
            }
            heights.push_back(height > 0 ? height : markHeight);
        }
        return heights;
    }

    // Height of one cell: its paragraphs, split at carriage returns and line
    // feeds, each at least one line of the table font.
    double CellHeight(const std::string& text, FontInfo& font, double width) {
        double height = 0;
        std::size_t start = 0;
        for (;;) {
            std::size_t end = text.find_first_of("\r\n", start);
            const std::string_view piece(text.data() + start,
                                         (end == std::string::npos ? text.size() : end) - start);
            height += ParagraphInCellHeight(piece, font, width);
            if (end == std::string::npos) {
                break;
            }
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
                ++end;
            }
            start = end + 1;
        }
        return height;
    }

    double ParagraphInCellHeight(std::string_view text, FontInfo& font, double width) {
        if (text.empty()) {
            return font.lineHeight;
        }
        QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        // Most cells are short numbers: when the sum of the characters'
        // advances leaves a clear margin, the text is one line and needs no
        // shaping. Anything near the edge gets the full layout.
        double advance = 0;
        bool simple = true;
        for (const QChar c : s) {
            if (c.unicode() < 0x20 || c.isSurrogate()) {
                simple = false;
                break;
            }
            auto [it, added] = font.advances.try_emplace(c.unicode(), 0.0);
            if (added) {
                it->second =
                    QFontMetricsF(font.font, &device_).horizontalAdvance(c) / PixelsPerPoint;
            }
            advance += it->second;
        }
        if (simple && advance <= width * 0.9) {
            return font.lineHeight;
        }
        s.replace(u'\v', QChar::LineSeparator);
        const auto lines = static_cast<double>(Lines(s, font.font, {}, width).size());
        return std::max(lines, 1.0) * font.lineHeight;
    }

    // Each row's height with the border under it.
    std::vector<double> RowHeights(const Table& t) {
        std::vector<double> heights;
        if (t.rows < 1 || t.columns < 1) {
            return heights;
        }
        FontInfo& font = Font(t.fontName, t.fontSize, false);
        const std::vector<double> shares = ColumnShares(t);
        for (std::size_t r = 0; r < static_cast<std::size_t>(t.rows); ++r) {
            double row = font.lineHeight;
            if (r < t.cells.size()) {
                for (std::size_t c = 0; c < t.cells[r].size() && c < shares.size(); ++c) {
                    const std::string& cell = t.cells[r][c];
                    if (!cell.empty()) {
                        const double cellWidth = TextWidth * shares[c] - 2 * CellSidePadding;
                        row = std::max(row, CellHeight(cell, font, cellWidth));
                    }
                }
            }
            heights.push_back(row + BorderWidth);
        }
        return heights;
    }

    void PlaceTable(const Table& t, const std::vector<double>& rows) {
        if (rows.empty()) {
            return;
        }
        const double lineHeight = Font(t.fontName, t.fontSize, false).lineHeight;
        const auto headers = static_cast<std::size_t>(std::clamp(t.headerRows, 0, t.rows));
        const double header = std::accumulate(rows.begin(), rows.begin() + headers, 0.0);
        Place(BorderWidth);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int page = pages_;
            if (t.keepTogether) {
                Place(rows[r]);  // rows that never break
            } else {
                PlaceRow(rows[r], lineHeight);
            }
            // The heading rows come first on every page the table runs onto.
            if (pages_ != page && r >= headers) {
                y_ += header;
            }
        }
    }

    QImage device_;
    QTextOption option_;
    std::map<std::tuple<std::string, double, bool>, FontInfo> fonts_;
    bool afterTable_ = false;
    // Paragraphs waiting to go on the page where what follows them starts.
    std::vector<std::vector<double>> kept_;
    int pages_ = 1;
    double y_ = 0;  // height used on the current page, in points
};

}  // namespace

int CountPages(const Document& document) {
    Layout layout;
    for (const Block& block : document.Blocks()) {
        layout.Add(block);
    }
    return layout.Pages();
}

}  // namespace acquenza
