#include "reports/path_profile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "reports/report_values.h"

namespace acquenza {

namespace {

std::size_t Slot(int section) {
    return static_cast<std::size_t>(section);
}

bool ReachedFromSource(HeadState state) {
    return state != HeadState::NotInNetwork && state != HeadState::Detached;
}

// A round step for about `ticks` divisions of `span`: 1, 2 or 5 times a power
// of ten.
double NiceStep(double span, int ticks) {
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 5.0}) {
        if (raw <= f * power) {
            return f * power;
        }
    }
    return 10 * power;
}

std::string Metres(double x) {
    return FormatDecimals(x, 2);
}

}  // namespace

bool PathProfile::HasStatic() const {
    return std::isfinite(sourceHead);
}

PathProfile PathProfileOf(const NetworkInput& input, const NetworkResult& result, int node) {
    PathProfile profile;
    profile.sourceHead = input.sourceHead;
    profile.minimumPressure = input.limits.minimumPressure;
    const int count = input.SectionCount();
    if (node < 1 || node > count || Slot(node) >= result.sections.size() ||
        !ReachedFromSource(result.sections[Slot(node)].state)) {
        profile.note = "Il tronco n. " + std::to_string(node) +
                       " non è collegato alla sorgente: nessun profilo lungo il percorso.";
        return profile;
    }
    // Up the links to the source; the analysis already refused any loop, but
    // the walk is bounded all the same.
    std::vector<int> path;
    for (int at = node; at != 0 && static_cast<int>(path.size()) <= count;) {
        path.push_back(at);
        const std::optional<int> up = input.sections[Slot(at)].upstream;
        if (!up || *up < 0 || *up > count) {
            profile.note = "Il tronco n. " + std::to_string(node) +
                           " non è collegato alla sorgente: nessun profilo lungo il percorso.";
            return profile;
        }
        at = *up;
    }
    std::reverse(path.begin(), path.end());
    double at = 0;
    bool heads = true;
    profile.nodes.emplace_back(0, 0.0);
    for (const int s : path) {
        const NetworkSection& section = input.sections[Slot(s)];
        const SectionHydraulics& h = result.sections[Slot(s)];
        if (!std::isfinite(section.length) || !std::isfinite(section.zStart) ||
            !std::isfinite(section.zEnd)) {
            profile.note = "Il tronco n. " + std::to_string(s) +
                           " ha lunghezza o quote che non sono numeri utilizzabili: nessun "
                           "profilo lungo il percorso.";
            return profile;
        }
        profile.distance.push_back(at);
        profile.ground.push_back(section.zStart);
        at += section.length;
        profile.distance.push_back(at);
        profile.ground.push_back(section.zEnd);
        profile.nodes.emplace_back(s, at);
        if (h.state == HeadState::Computed) {
            profile.head.push_back(h.headStart);
            profile.head.push_back(h.headEnd);
        } else if (heads) {
            heads = false;
            profile.note = NotComputableText(s, h);
        }
    }
    if (!heads) {
        profile.head.clear();
    }
    profile.sections = std::move(path);
    profile.endNode = node;
    profile.length = at;
    return profile;
}

PathProfile WorstPathProfile(const NetworkInput& input, const NetworkResult& result) {
    if (!result.worstPath || *result.worstPath >= result.paths.size()) {
        PathProfile none;
        none.note = "La rete non ha percorsi dalla sorgente ai nodi terminali.";
        return none;
    }
    return PathProfileOf(input, result, result.paths[*result.worstPath].endNode);
}

void DrawPathProfile(ChartCanvas& canvas, double left, double top, double width, double height,
                     const PathProfile& profile) {
    using Ink = ChartCanvas::Ink;
    using Anchor = ChartCanvas::Anchor;
    const double line = canvas.TextHeight();
    if (profile.endNode == 0 || profile.distance.empty()) {
        canvas.Text(left + width / 2, top + height / 2,
                    profile.note.empty() ? "Nessun percorso da mostrare." : profile.note,
                    Anchor::Center);
        return;
    }
    // Rows from the top: title, note, node labels; from the bottom: legend,
    // caption, distances. The elevations' scale at the left.
    double rowY = top + line / 2;
    canvas.Text(left + width / 2, rowY,
                "Profilo lungo il percorso dalla sorgente al nodo " +
                    std::to_string(profile.endNode) + " \u2014 lunghezza " +
                    Metres(profile.length) + " m",
                Anchor::Center);
    if (!profile.note.empty()) {
        rowY += line;
        canvas.Text(left + width / 2, rowY, profile.note, Anchor::Center);
    }
    const double labelsY = rowY + line * 1.2;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    const auto take = [&](double z) {
        if (std::isfinite(z)) {
            low = std::min(low, z);
            high = std::max(high, z);
        }
    };
    for (const double z : profile.ground) {
        take(z);
        take(z + profile.minimumPressure);
    }
    for (const double z : profile.head) {
        take(z);
    }
    take(profile.sourceHead);
    if (high - low < 1e-9) {
        high += 0.5;
        low -= 0.5;
    }
    // A little room above and below, so that no line runs along the frame.
    const double margin = (high - low) * 0.04;
    high += margin;
    low -= margin;
    const double yStep = NiceStep(high - low, 5);
    low = std::floor(low / yStep) * yStep;
    high = std::ceil(high / yStep) * yStep;
    const int yDecimals = yStep < 1 ? 1 : 0;
    double scaleWidth = 0;
    for (double z = low; z <= high + yStep / 2; z += yStep) {
        scaleWidth = std::max(scaleWidth, canvas.TextWidth(FormatDecimals(z, yDecimals)));
    }
    // The legend's items, in rows that fit the width.
    std::vector<std::pair<std::string, Ink>> legend = {{"terreno", Ink::Ground}};
    if (!profile.head.empty()) {
        legend.emplace_back("linea piezometrica", Ink::Head);
    }
    legend.emplace_back("pressione minima (terreno + " + Metres(profile.minimumPressure) + " m)",
                        Ink::Minimum);
    if (profile.HasStatic()) {
        legend.emplace_back("linea statica (H0 = " + Metres(profile.sourceHead) + " m)",
                            Ink::Static);
    }
    const double sample = 2 * line;
    const double gap = line;
    const auto ItemWidth = [&](const std::pair<std::string, Ink>& item) {
        return sample + line / 3 + canvas.TextWidth(item.first);
    };
    const auto RowWidth = [&](const std::vector<std::pair<std::string, Ink>>& items) {
        double total = 0;
        for (const auto& item : items) {
            total += ItemWidth(item) + gap;
        }
        return items.empty() ? 0 : total - gap;
    };
    std::vector<std::vector<std::pair<std::string, Ink>>> legendRows(1);
    for (const auto& item : legend) {
        auto candidate = legendRows.back();
        candidate.push_back(item);
        if (!legendRows.back().empty() && RowWidth(candidate) > width) {
            legendRows.emplace_back();
        }
        legendRows.back().push_back(item);
    }

    const double plotLeft = left + scaleWidth + line / 2;
    const double plotRight = left + width - line;
    const double plotTop = labelsY + line;
    const double plotBottom = top + height - (2.6 + static_cast<double>(legendRows.size())) * line;
    if (plotRight - plotLeft < 4 * line || plotBottom - plotTop < 2 * line) {
        return;  // too small to draw anything readable
    }
    const double length = profile.length > 0 ? profile.length : 1;
    const auto X = [&](double d) { return plotLeft + d / length * (plotRight - plotLeft); };
    const auto Y = [&](double z) {
        return plotBottom - (z - low) / (high - low) * (plotBottom - plotTop);
    };

    // Grid and scales.
    for (double z = low; z <= high + yStep / 2; z += yStep) {
        canvas.Line(plotLeft, Y(z), plotRight, Y(z), Ink::Grid);
        canvas.Text(plotLeft - line / 4, Y(z), FormatDecimals(z, yDecimals), Anchor::Right);
    }
    const double xStep = NiceStep(length, 6);
    const int xDecimals = xStep < 1 ? 1 : 0;
    double lastEdge = -std::numeric_limits<double>::infinity();
    // The distances under the plot, below the lowest elevation's number;
    // none past the path's end, where the plot stops.
    for (double d = 0; d <= length * (1 + 1e-9); d += xStep) {
        canvas.Line(X(d), plotTop, X(d), plotBottom, Ink::Grid);
        const std::string text = FormatDecimals(d, xDecimals);
        const double w = canvas.TextWidth(text);
        if (X(d) - w / 2 > lastEdge + line / 2 && X(d) + w / 2 <= left + width) {
            canvas.Text(X(d), plotBottom + line, text, Anchor::Center);
            lastEdge = X(d) + w / 2;
        }
    }
    canvas.Text((plotLeft + plotRight) / 2, plotBottom + line * 2,
                "distanza progressiva dalla sorgente (m); quote in m s.l.m.", Anchor::Center);

    // The nodes: a guide down to the ground and the number above the plot,
    // left out where it would run into the previous one (the end node always
    // shows).
    std::vector<bool> shown(profile.nodes.size(), false);
    double rightEdge = std::numeric_limits<double>::infinity();
    for (std::size_t k = profile.nodes.size(); k-- > 0;) {
        const auto& [node, d] = profile.nodes[k];
        const std::string label = node == 0 ? "S" : std::to_string(node);
        const double w = canvas.TextWidth(label);
        if (X(d) + w / 2 < rightEdge - line / 4) {
            shown[k] = true;
            rightEdge = X(d) - w / 2;
        }
    }
    for (std::size_t k = 0; k < profile.nodes.size(); ++k) {
        const auto& [node, d] = profile.nodes[k];
        canvas.Line(X(d), plotTop, X(d), plotBottom, Ink::Guide);
        if (shown[k]) {
            canvas.Text(X(d), labelsY, node == 0 ? "S" : std::to_string(node), Anchor::Center);
        }
    }
    canvas.Line(plotLeft, plotTop, plotRight, plotTop, Ink::Frame);
    canvas.Line(plotRight, plotTop, plotRight, plotBottom, Ink::Frame);
    canvas.Line(plotRight, plotBottom, plotLeft, plotBottom, Ink::Frame);
    canvas.Line(plotLeft, plotBottom, plotLeft, plotTop, Ink::Frame);

    // The lines.
    const auto polyline = [&](const std::vector<double>& z, double shift, Ink ink) {
        for (std::size_t i = 1; i < z.size() && i < profile.distance.size(); ++i) {
            canvas.Line(X(profile.distance[i - 1]), Y(z[i - 1] + shift), X(profile.distance[i]),
                        Y(z[i] + shift), ink);
        }
    };
    if (profile.HasStatic()) {
        canvas.Line(X(0), Y(profile.sourceHead), X(profile.length), Y(profile.sourceHead),
                    Ink::Static);
    }
    polyline(profile.ground, profile.minimumPressure, Ink::Minimum);
    polyline(profile.ground, 0, Ink::Ground);
    polyline(profile.head, 0, Ink::Head);

    // The legend along the bottom, centred, on as many rows as it needs.
    const double legendTop = plotBottom + 2.6 * line;
    for (std::size_t row = 0; row < legendRows.size(); ++row) {
        const auto& items = legendRows[row];
        double x = left + std::max(0.0, (width - RowWidth(items)) / 2);
        const double y = legendTop + (static_cast<double>(row) + 0.5) * line;
        for (const auto& [text, ink] : items) {
            canvas.Line(x, y, x + sample, y, ink);
            x += sample + line / 3;
            canvas.Text(x, y, text, Anchor::Left);
            x += canvas.TextWidth(text) + gap;
        }
    }
}

namespace {

class PainterCanvas final : public ChartCanvas {
  public:
    explicit PainterCanvas(QPainter& painter) : painter_(painter), metrics_(painter.font()) {}

    void Line(double x1, double y1, double x2, double y2, Ink ink) override {
        painter_.setPen(PenFor(ink));
        painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void Text(double x, double y, const std::string& text, Anchor anchor) override {
        const QString shown = QString::fromStdString(text);
        const double w = metrics_.horizontalAdvance(shown) + 2;
        const double h = metrics_.height();
        const double left = anchor == Anchor::Left     ? x
                            : anchor == Anchor::Center ? x - w / 2
                                                       : x - w;
        painter_.setPen(QColor(0, 0, 0));
        painter_.drawText(QRectF(left, y - h / 2, w, h), Qt::AlignCenter, shown);
    }
    double TextWidth(const std::string& text) const override {
        return metrics_.horizontalAdvance(QString::fromStdString(text));
    }
    double TextHeight() const override { return metrics_.height(); }

  private:
    QPen PenFor(Ink ink) const {
        const double unit = std::max(1.0, metrics_.height() / 14);
        switch (ink) {
            case Ink::Frame:
                return QPen(QColor(0, 0, 0), unit);
            case Ink::Grid:
                return QPen(QColor(222, 222, 222), unit);
            case Ink::Guide:
                return QPen(QColor(170, 170, 170), unit, Qt::DotLine);
            case Ink::Ground:
                return QPen(QColor(120, 84, 40), 2 * unit);
            case Ink::Head:
                return QPen(QColor(0, 90, 200), 2 * unit);
            case Ink::Minimum:
                return QPen(QColor(200, 40, 40), 1.5 * unit, Qt::DashLine);
            case Ink::Static:
                return QPen(QColor(0, 140, 70), 1.5 * unit, Qt::DashDotLine);
            case Ink::Text:
                break;
        }
        return QPen(QColor(0, 0, 0), unit);
    }

    QPainter& painter_;
    QFontMetricsF metrics_;
};

}  // namespace

void PaintPathProfile(QPainter& painter, const QRectF& area, const PathProfile& profile) {
    painter.save();
    PainterCanvas canvas(painter);
    DrawPathProfile(canvas, area.left(), area.top(), area.width(), area.height(), profile);
    painter.restore();
}

QImage PathProfileImage(const PathProfile& profile, int width, int height, const QFont& font) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const double margin = QFontMetricsF(font).height() / 2;
    PaintPathProfile(painter, QRectF(margin, margin, width - 2 * margin, height - 2 * margin),
                     profile);
    return image;
}

}  // namespace acquenza
