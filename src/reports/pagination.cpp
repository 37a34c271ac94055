#include "reports/pagination.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

namespace acquenza {

namespace {

// Pages are filled the way the word processor fills them: lines of body
// paragraphs one by one and table rows, which may break between their lines,
// each onto the current page while it fits. Qt's QTextDocument could paginate the same model, but
// it takes seconds on a report with tens of thousands of cells; the lines themselves still come
// from Qt's text layout.

constexpr double PointsPerMm = 72.0 / 25.4;
constexpr double TextWidth = (PageWidthMm - 2 * SideMarginMm) * PointsPerMm;
constexpr double TextHeight = (PageHeightMm - TopMarginMm - SideMarginMm) * PointsPerMm;
// Default left and right cell margins of a word-processor table (0.19 cm).
constexpr double CellSidePadding = CellSidePaddingTwips / 20.0;  // points
// The single thin border under every row and above the table.
constexpr double BorderWidth = 0.5;
// Text is laid out at 1440 dpi, one pixel per twip: Qt rounds some metrics
// to whole pixels, and a whole point per line would add up to pages.
constexpr double PixelsPerPoint = 20.0;

// A length in layout pixels as points, rounded to the twip as word processors
// lay out; over a page of table rows the fractions decide where it breaks.
double RoundedToTwips(double pixels) {
    return std::round(pixels) / PixelsPerPoint;
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
        if (std::holds_alternative<PageBreak>(block)) {
            NewPage();
        } else if (const auto* p = std::get_if<Paragraph>(&block)) {
            AddParagraph(*p);
        } else {
            if (afterTable_) {
                PlaceEmptyParagraph();  // the file keeps two tables apart with one
            }
            AddTable(std::get<Table>(block));
        }
        afterTable_ = std::holds_alternative<Table>(block);
    }

    int Pages() {
        if (afterTable_) {
            PlaceEmptyParagraph();  // the file always ends with a paragraph
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
            info.lineHeight =
                RoundedToTwips(metrics.ascent() + metrics.descent() + metrics.leading());
            found = fonts_.emplace(key, std::move(info)).first;
        }
        return found->second;
    }

    void PlaceEmptyParagraph() { Place(Font(DefaultFontName, DefaultFontSize, false).lineHeight); }

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

    void AddParagraph(const Paragraph& p) {
        const double markHeight = Font(p.markFontName, p.markFontSize, p.markBold).lineHeight;
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
            Place(markHeight);
            return;
        }
        const std::vector<std::pair<int, int>> lines =
            Lines(text, Font(DefaultFontName, DefaultFontSize, false).font, formats, TextWidth);
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
            Place(height > 0 ? height : markHeight);
        }
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

    void AddTable(const Table& t) {
        if (t.rows < 1 || t.columns < 1) {
            return;
        }
        FontInfo& font = Font(t.fontName, t.fontSize, false);
        const std::vector<double> shares = ColumnShares(t);
        Place(BorderWidth);
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
            PlaceRow(row + BorderWidth, font.lineHeight);
        }
    }

    QImage device_;
    QTextOption option_;
    std::map<std::tuple<std::string, double, bool>, FontInfo> fonts_;
    bool afterTable_ = false;
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
