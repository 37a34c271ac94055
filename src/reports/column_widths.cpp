#include "reports/column_widths.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <unordered_map>

namespace acquenza {

namespace {

constexpr double TwipsPerPoint = 20;
// Widths are measured at one pixel a twip.
constexpr int DotsPerMeter = 56693;  // 1440 dpi

// Text widths in points, each character measured once.
class Widths {
  public:
    explicit Widths(const Table& table) : Widths(table.fontName, table.fontSize) {}
    Widths(const std::string& fontName, double fontSize) : device_(1, 1, QImage::Format_Mono) {
        device_.setDotsPerMeterX(DotsPerMeter);
        device_.setDotsPerMeterY(DotsPerMeter);
        QFont font(QString::fromStdString(fontName));
        font.setPointSizeF(fontSize > 0 ? fontSize : DefaultFontSize);
        metrics_.emplace(font, &device_);
    }

    double Of(QStringView text) {
        double width = 0;
        for (const QChar c : text) {
            auto [it, added] = advances_.try_emplace(c.unicode(), 0.0);
            if (added) {
                it->second = metrics_->horizontalAdvance(c) / TwipsPerPoint;
            }
            width += it->second;
        }
        return width;
    }

  private:
    QImage device_;
    std::optional<QFontMetricsF> metrics_;
    std::unordered_map<char16_t, double> advances_;
};

constexpr double Padding = 2.0 * CellSidePaddingTwips / TwipsPerPoint;
// The text width, in points.
constexpr double TotalWidth = (PageWidthMm - 2 * SideMarginMm) * 72.0 / 25.4;

// A tenth to spare: the word processor may print with a font a little wider
// than the one measured here.
double WordNeeds(Widths& widths, QStringView word) {
    return 1.1 * widths.Of(word) + Padding;
}

template <typename Each>
void ForEachLine(const Table& table, std::size_t columns, Each each) {
    for (const std::vector<std::string>& row : table.cells) {
        for (std::size_t c = 0; c < columns && c < row.size(); ++c) {
            if (row[c].empty()) {
                continue;
            }
            QString text = QString::fromStdString(row[c]);
            text.replace(u'\r', u'\n');
            for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
                each(c, line);
            }
        }
    }
}

// The width each column needs for its longest word, at the given size.
double NeededWidth(const Table& table, double size) {
    const auto columns = static_cast<std::size_t>(std::max(table.columns, 1));
    Widths widths(table.fontName, size);
    std::vector<double> needed(columns, 0.0);
    ForEachLine(table, columns, [&](std::size_t c, QStringView line) {
        for (const QStringView word : line.split(u' ', Qt::SkipEmptyParts)) {
            needed[c] = std::max(needed[c], WordNeeds(widths, word));
        }
    });
    return std::accumulate(needed.begin(), needed.end(), 0.0);
}

}  // namespace

double TextWidthPoints(const std::string& text, const std::string& fontName, double points) {
    Widths widths(fontName, points);
    return widths.Of(QString::fromStdString(text));
}

double PageTextWidthPoints() {
    return TotalWidth;
}

double FittingFontSize(const Table& table, double smallest) {
    double size = table.fontSize > 0 ? table.fontSize : DefaultFontSize;
    if (NeededWidth(table, size) <= TotalWidth) {
        return size;
    }
    // Text widths grow with the size: the first guess is close, and half
    // points are what the file can state.
    size = std::floor(2 * size * TotalWidth / NeededWidth(table, size)) / 2;
    while (size > smallest && NeededWidth(table, size) > TotalWidth) {
        size -= 0.5;
    }
    while (size + 0.5 <= table.fontSize && NeededWidth(table, size + 0.5) <= TotalWidth) {
        size += 0.5;
    }
    return std::max(size, smallest);
}

std::vector<double> ColumnShares(const Table& table) {
    const auto columns = static_cast<std::size_t>(std::max(table.columns, 1));
    const double padding = Padding;
    const double total = TotalWidth;
    Widths widths(table);
    // A short column still gets room for a few digits; a long text wraps
    // anyway, and capped it leaves the short columns their room.
    const double least = widths.Of(u"000");
    const double most = widths.Of(u"0") * 40;
    std::vector<double> wanted(columns, least + padding);
    std::vector<double> needed(columns, 0.0);
    ForEachLine(table, columns, [&](std::size_t c, QStringView line) {
        wanted[c] = std::max(wanted[c], std::min(widths.Of(line), most) + padding);
        for (const QStringView word : line.split(u' ', Qt::SkipEmptyParts)) {
            needed[c] = std::max(needed[c], WordNeeds(widths, word));
        }
    });
    // Columns in proportion to what they want; one that would then be too
    // narrow for its longest word gets that width, and the rest share what
    // is left, until every column is wide enough.
    std::vector<double> share(columns, 0.0);
    std::vector<bool> fixed(columns, false);
    for (bool changed = true; changed;) {
        changed = false;
        double room = total;
        double wants = 0;
        for (std::size_t c = 0; c < columns; ++c) {
            if (fixed[c]) {
                room -= needed[c];
            } else {
                wants += wanted[c];
            }
        }
        for (std::size_t c = 0; c < columns; ++c) {
            share[c] = fixed[c] ? needed[c] : std::max(room, 0.0) * wanted[c] / wants;
            if (!fixed[c] && share[c] < needed[c]) {
                fixed[c] = true;
                changed = true;
            }
        }
        if (std::all_of(fixed.begin(), fixed.end(), [](bool f) { return f; })) {
            share = needed;  // not even the words fit: each column in proportion to its word
            break;
        }
    }
    const double sum = std::accumulate(share.begin(), share.end(), 0.0);
    for (double& s : share) {
        s = sum > 0 ? s / sum : 1.0 / static_cast<double>(columns);
    }
    return share;
}

}  // namespace acquenza
