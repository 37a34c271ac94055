#include "ui/help/tip_window.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QtMath>

#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"

namespace acquenza::ui {

namespace {

// A lit bulb, drawn rather than shipped as a file.
QPixmap DrawBulb(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size;
    const QPointF centre(w * 0.5, w * 0.4);

    p.setPen(QPen(QColor(240, 180, 0), qMax(1.0, w * 0.03), Qt::SolidLine, Qt::RoundCap));
    for (int ray = 0; ray < 7; ++ray) {
        const double angle = qDegreesToRadians(180.0 + 30.0 * ray);
        const QPointF direction(qCos(angle), qSin(angle));
        p.drawLine(centre + direction * w * 0.33, centre + direction * w * 0.45);
    }

    QPainterPath glass;
    glass.addEllipse(centre, w * 0.25, w * 0.25);
    QPainterPath neck;
    neck.moveTo(w * 0.36, w * 0.56);
    neck.lineTo(w * 0.64, w * 0.56);
    neck.lineTo(w * 0.6, w * 0.72);
    neck.lineTo(w * 0.4, w * 0.72);
    neck.closeSubpath();
    QRadialGradient light(centre - QPointF(w * 0.07, w * 0.07), w * 0.32);
    light.setColorAt(0, QColor(255, 255, 220));
    light.setColorAt(1, QColor(255, 210, 40));
    p.setBrush(light);
    p.setPen(QPen(QColor(170, 120, 0), qMax(1.0, w * 0.02)));
    p.drawPath(glass.united(neck));

    // The screw base: three grey rings and the contact.
    p.setPen(QPen(QColor(90, 90, 90), qMax(1.0, w * 0.015)));
    p.setBrush(QColor(170, 170, 170));
    for (int ring = 0; ring < 3; ++ring) {
        p.drawRoundedRect(QRectF(w * 0.39, w * (0.72 + 0.05 * ring), w * 0.22, w * 0.05), w * 0.02,
                          w * 0.02);
    }
    p.setBrush(QColor(80, 80, 80));
    p.drawEllipse(QRectF(w * 0.45, w * 0.87, w * 0.1, w * 0.06));
    return pixmap;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int top) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    PlaceInTwips(button, 5760, top, 1440, 420);
    return button;
}

}  // namespace

TipWindow::TipWindow(const std::filesystem::path& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Suggerimento del giorno"));

    // The tip sits on a white sheet, the buttons beside it.
    auto* sheet = new QFrame(this);
    sheet->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetBackground(sheet, Qt::white);
    PlaceInTwips(sheet, 120, 120, 5520, 3120);

    auto* picture = new QLabel(sheet);
    picture->setObjectName(QStringLiteral("Picture1"));
    PlaceInTwips(picture, 180, 180, 720, 720);
    picture->setPixmap(DrawBulb(qMin(picture->width(), picture->height())));

    QLabel* heading =
        MakeLabel(sheet, QStringLiteral("Label1"), QStringLiteral("Non tutti sanno che..."),
                  QString(), 1020, 300, 4320, 420);
    QFont headingFont = heading->font();
    headingFont.setPointSize(12);
    headingFont.setBold(true);
    heading->setFont(headingFont);

    tipText_ =
        MakeLabel(sheet, QStringLiteral("lblTipText"), QString(), QString(), 1020, 840, 4320, 2220);
    tipText_->setWordWrap(true);
    tipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont tipFont = tipText_->font();
    tipFont.setPointSize(10);
    tipText_->setFont(tipFont);

    QPushButton* previous = MakeButton(this, "cmdprecedente", QStringLiteral("&Precedente"), 120);
    QPushButton* next = MakeButton(this, "cmdNextTip", QStringLiteral("&Successivo"), 600);
    QPushButton* close = MakeButton(this, "cmdOK", QStringLiteral("&Chiudi"), 2820);
    connect(previous, &QPushButton::clicked, this, [this] {
        model_.ShowPreviousTip();
        Sync();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        model_.ShowNextTip();
        Sync();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::hide);

    setFixedSize(qRound(TwipsToPixelsX(this, 7320)), qRound(TwipsToPixelsY(this, 3360)));

    model_.Load(programFolder);
    Sync();
}

void TipWindow::Sync() {
    // The message about a missing file breaks lines the Windows way.
    QString text = QString::fromStdString(model_.TipText());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    tipText_->setText(text);
}

}  // namespace acquenza::ui
