#include "ui/summary/section_profile_view.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/numbers.h"
#include "reports/report_values.h"

namespace acquenza::ui {

namespace {

const QColor GroundColour(120, 84, 40);
const QColor GradeColour(0, 90, 200);

QString Number(double x, int decimals) {
    return QString::fromStdString(FormatDecimals(x, decimals));
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

}  // namespace

SectionProfileView::SectionProfileView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("profilo"));
    setAccessibleName(QStringLiteral("Profilo del tronco"));
    setMinimumSize(360, 200);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void SectionProfileView::SetProfile(const SectionProfile& profile) {
    profile_ = profile;
    path_.reset();
    const QString section = QStringLiteral("tronco n. %1").arg(profile.section);
    setAccessibleName(QStringLiteral("Profilo del ") + section);
    setAccessibleDescription(
        profile.sized
            ? QStringLiteral("Linea del terreno da %1 a %2 m, linea dei carichi fino a %3 m; "
                             "dislivello disponibile %4 m, perdita di carico %5 m.")
                  .arg(Number(profile.ground.front(), 2), Number(profile.ground.back(), 2),
                       Number(profile.gradeLine.back(), 2), Number(profile.drop, 2),
                       Number(profile.headLoss, 2))
            : QStringLiteral("Il tronco non è dimensionato: nessun profilo."));
    update();
}

void SectionProfileView::SetPathProfile(const PathProfile& path) {
    profile_ = SectionProfile{};
    path_ = path;
    if (path.endNode == 0) {
        setAccessibleName(QStringLiteral("Profilo lungo il percorso"));
        setAccessibleDescription(QString::fromStdString(path.note));
    } else {
        setAccessibleName(QStringLiteral("Profilo lungo il percorso dalla sorgente al nodo %1")
                              .arg(path.endNode));
        QString nodes;
        for (const int s : path.sections) {
            nodes += (nodes.isEmpty() ? QString() : QStringLiteral(", ")) + QString::number(s);
        }
        QString description =
            QStringLiteral("Tronchi %1; lunghezza %2 m; terreno da %3 a %4 m")
                .arg(nodes, Number(path.length, 2), Number(path.ground.front(), 2),
                     Number(path.ground.back(), 2));
        if (!path.head.empty()) {
            description += QStringLiteral("; quota piezometrica finale %1 m, pressione %2 m")
                               .arg(Number(path.head.back(), 2),
                                    Number(path.head.back() - path.ground.back(), 2));
        }
        if (!path.note.empty()) {
            description += QStringLiteral(". ") + QString::fromStdString(path.note);
        }
        setAccessibleDescription(description + QStringLiteral("."));
    }
    update();
}

bool SectionProfileView::HasChart() const {
    return path_ ? path_->endNode != 0 : profile_.section != 0 && profile_.sized;
}

QImage SectionProfileView::Render(const QSize& size) const {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    Draw(painter, image.rect());
    return image;
}

void SectionProfileView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, rect());
}

void SectionProfileView::Draw(QPainter& painter, const QRect& area) const {
    if (path_) {
        PaintPathProfile(painter, QRectF(area).adjusted(4, 4, -4, -4), *path_);
        return;
    }
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    painter.setPen(palette().color(QPalette::Text));
    if (profile_.section == 0 || !profile_.sized) {
        painter.drawText(area, Qt::AlignCenter,
                         profile_.section == 0
                             ? QStringLiteral("Selezionare un tronco per vederne il profilo.")
                             : QStringLiteral("Tronco n. %1: non dimensionato, nessun profilo.")
                                   .arg(profile_.section));
        return;
    }
    // Room for the title above, the numbers and the axis captions around.
    const QRect plot = area.adjusted(metrics.horizontalAdvance(QStringLiteral("00000,0")) + line,
                                     2 * line + 6, -line, -(2 * line + 6));
    const double length = profile_.distance.back();
    double low = std::min(*std::min_element(profile_.ground.begin(), profile_.ground.end()),
                          *std::min_element(profile_.gradeLine.begin(), profile_.gradeLine.end()));
    double high = std::max(*std::max_element(profile_.ground.begin(), profile_.ground.end()),
                           *std::max_element(profile_.gradeLine.begin(), profile_.gradeLine.end()));
    if (high - low < 1e-9) {
        high += 0.5;
        low -= 0.5;
    }
    const double yStep = NiceStep(high - low, 4);
    low = std::floor(low / yStep) * yStep;
    high = std::ceil(high / yStep) * yStep;
    const double xStep = length > 0 ? NiceStep(length, 5) : 1;
    auto at = [&](double x, double z) {
        return QPointF(plot.left() + (length > 0 ? x / length : 0) * plot.width(),
                       plot.bottom() - (z - low) / (high - low) * plot.height());
    };

    // Title: the section, the drop it has and the loss it takes.
    painter.drawText(QRect(area.left(), area.top() + 2, area.width(), line), Qt::AlignCenter,
                     QStringLiteral("Tronco n. %1 \u2014 dislivello disponibile: %2 m \u2014 "
                                    "perdita di carico: %3 m")
                         .arg(profile_.section)
                         .arg(Number(profile_.drop, 2), Number(profile_.headLoss, 2)));

    // Grid and scales.
    painter.setPen(QPen(QColor(220, 220, 220), 1));
    for (double z = low; z <= high + yStep / 2; z += yStep) {
        painter.drawLine(at(0, z), at(length, z));
    }
    for (double x = 0; x <= length + xStep / 2; x += xStep) {
        painter.drawLine(at(x, low), at(x, high));
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(plot);
    for (double z = low; z <= high + yStep / 2; z += yStep) {
        const QPointF p = at(0, z);
        painter.drawText(
            QRectF(area.left(), p.y() - line / 2.0, plot.left() - area.left() - 4, line),
            Qt::AlignRight | Qt::AlignVCenter, Number(z, yStep < 1 ? 1 : 0));
    }
    for (double x = 0; x <= length + xStep / 2; x += xStep) {
        const QPointF p = at(x, low);
        painter.drawText(QRectF(p.x() - 40, plot.bottom() + 2, 80, line), Qt::AlignCenter,
                         Number(x, xStep < 1 ? 1 : 0));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + line + 4, plot.width(), line),
                     Qt::AlignCenter, QStringLiteral("distanza lungo il tronco (m)"));
    painter.save();
    painter.translate(area.left() + line / 2.0 + 1, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2.0, -line / 2.0, plot.height(), line),
                     Qt::AlignCenter, QStringLiteral("quota (m)"));
    painter.restore();

    // The two lines, and their legend.
    auto polyline = [&](const std::vector<double>& z, const QColor& colour, Qt::PenStyle style) {
        QPainterPath path(at(profile_.distance[0], z[0]));
        for (std::size_t i = 1; i < z.size(); ++i) {
            path.lineTo(at(profile_.distance[i], z[i]));
        }
        painter.setPen(QPen(colour, 2, style));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    };
    polyline(profile_.ground, GroundColour, Qt::SolidLine);
    polyline(profile_.gradeLine, GradeColour, Qt::DashLine);
    const int legendY = plot.top() + 4;
    int x = plot.right() - metrics.horizontalAdvance(QStringLiteral("linea dei carichi")) - 40;
    for (const auto& [text, colour, style] :
         {std::tuple{QStringLiteral("terreno"), GroundColour, Qt::SolidLine},
          std::tuple{QStringLiteral("linea dei carichi"), GradeColour, Qt::DashLine}}) {
        painter.setPen(QPen(colour, 2, style));
        const int y = legendY + (style == Qt::SolidLine ? 0 : line) + line / 2;
        painter.drawLine(x, y, x + 24, y);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(x + 30, legendY + (style == Qt::SolidLine ? 0 : line) + metrics.ascent(),
                         text);
    }
}

}  // namespace acquenza::ui
