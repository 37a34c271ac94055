#include "ui/help/support_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"

namespace acquenza::ui {

namespace {

constexpr int Left = 360;
constexpr int Width = 7080;

// How the support line works: shown word for word.
const char* const SupportRules =
    "I clienti possono inviare fax o e-mail per avere delucidazioni su elementi inerenti il "
    "programma illustrando in modo chiaro le problematiche da risolvere. I chiarimenti telefonici "
    "devono riguardare situazioni che possono ottenere una risposta solo verbale. In questo caso "
    "va indicato con precisione il punto del programma che non funziona o che non appare "
    "comprensibile. La linea telefonica è a disposizione dalle 9,30 alle 13,00 e dalle 15,00 alle "
    "18,00 di tutti i giorni dal lunedì al venerdì escluso i festivi.";

void AddRule(QWidget* parent, const char* name, int top) {
    auto* rule = new QFrame(parent);
    rule->setObjectName(QString::fromLatin1(name));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    PlaceInTwips(rule, Left, top, Width, 60);
}

QLabel* AddText(QWidget* parent, const char* name, const QString& text, int left, int top,
                int width, int height, int pointSize) {
    QLabel* label =
        MakeLabel(parent, QString::fromLatin1(name), text, QString(), left, top, width, height);
    QFont f = label->font();
    f.setPointSize(pointSize);
    label->setFont(f);
    return label;
}

// Puts the value right after the caption's last line, on the same baseline:
// both are bottom-aligned in boxes with the same bottom edge and font.
void FollowCaption(QLabel* caption, const QString& lastLine, QLabel* value) {
    caption->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    value->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    const int left = caption->x() + caption->fontMetrics().horizontalAdvance(lastLine);
    value->setGeometry(left, caption->geometry().bottom() - value->height() + 1,
                       caption->geometry().right() + 1 - left, value->height());
}

}  // namespace

SupportWindow::SupportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("supportoclienti"));
    setWindowTitle(QStringLiteral("Servizi di supporto ai clienti"));

    QLabel* maker =
        AddText(this, "Label1", QStringLiteral("software VERDANO"), Left, 180, 4800, 480, 16);
    QFont makerFont = maker->font();
    makerFont.setBold(true);
    maker->setFont(makerFont);
    maker->setStyleSheet(QStringLiteral("color: rgb(0, 70, 140);"));
    QLabel* since = AddText(this, "Label6", QStringLiteral("dal 1982"), 5280, 240, 2160, 420, 10);
    since->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont sinceFont = since->font();
    sinceFont.setItalic(true);
    since->setFont(sinceFont);

    AddRule(this, "Line1", 720);
    AddText(this, "Label2", QStringLiteral("Via dei Mulini 7 - 05100 Terni (TR)"), Left, 840, Width,
            300, 9);
    // The contacts: telephone and fax, then "e-mail:" with the address beside
    // it, then the web site.
    QLabel* phone = AddText(this, "Label3",
                            QStringLiteral("telefono 0744 000 001 - fax 0744 000 002\ne-mail: "),
                            Left, 1140, Width, 600, 9);
    QLabel* mail = AddText(this, "Label9", QStringLiteral("assistenza@verdano.example.it"), Left,
                           1440, Width, 300, 9);
    FollowCaption(phone, QStringLiteral("e-mail: "), mail);
    QLabel* site =
        AddText(this, "Label8", QStringLiteral("sito internet:"), Left, 1740, Width, 300, 9);
    QLabel* web = AddText(this, "Label10", QStringLiteral("www.verdano.example.it"), Left, 1740,
                          Width, 300, 9);
    FollowCaption(site, QStringLiteral("sito internet: "), web);

    AddRule(this, "Line2", 2130);
    QLabel* rules =
        AddText(this, "Label4", QString::fromUtf8(SupportRules), Left, 2250, Width, 1800, 9);
    QLabel* offer = AddText(
        this, "Label5",
        QStringLiteral("Su richiesta il programma può essere adattato alle esigenze del singolo "
                       "studio tecnico: per informazioni e preventivi rivolgersi all'ing. Paolo "
                       "Ferranti. Osservazioni e suggerimenti per le versioni successive saranno "
                       "sempre graditi."),
        Left, 3990, Width, 900, 9);
    for (QLabel* text : {rules, offer}) {
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    PlaceInTwips(ok, 6360, 4980, 1080, 420);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    setFixedSize(qRound(TwipsToPixelsX(this, 7800)), qRound(TwipsToPixelsY(this, 5580)));
}

}  // namespace acquenza::ui
