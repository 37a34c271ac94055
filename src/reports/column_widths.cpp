#include "reports/column_widths.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <algorithm>
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
    explicit Widths(const Table& table) : device_(1, 1, QImage::Format_Mono) {
        device_.setDotsPerMeterX(DotsPerMeter);
        device_.setDotsPerMeterY(DotsPerMeter);
        QFont font(QString::fromStdString(table.fontName));
        font.setPointSizeF(table.fontSize > 0 ? table.fontSize : DefaultFontSize);
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

}  // namespace

std::vector<double> ColumnShares(const Table& table) {
    const auto columns = static_cast<std::size_t>(std::max(table.columns, 1));
    const double padding = 2.0 * CellSidePaddingTwips / TwipsPerPoint;
    const double total =
        (PageWidthMm - 2 * SideMarginMm) * 72.0 / 25.4;  // the text width, in points
    Widths widths(table);
    // A short column still gets room for a few digits; a long text wraps
    // anyway, and capped it leaves the short columns their room.
    const double least = widths.Of(u"000");
    const double most = widths.Of(u"0") * 40;
    std::vector<double> wanted(columns, least + padding);
    std::vector<double> needed(columns, 0.0);
    for (const std::vector<std::string>& row : table.cells) {
        for (std::size_t c = 0; c < columns && c < row.size(); ++c) {
            if (row[c].empty()) {
                continue;
            }
            QString text = QString::fromStdString(row[c]);
            text.replace(u'\r', u'\n');
            for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
                wanted[c] = std::max(wanted[c], std::min(widths.Of(line), most) + padding);
                for (const QStringView word : line.split(u' ', Qt::SkipEmptyParts)) {
                    // A tenth to spare: the word processor may print with a
                    // font a little wider than the one measured here.
                    needed[c] = std::max(needed[c], 1.1 * widths.Of(word) + padding);
                }
            }
        }
    }
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
