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

// The contacts the settings give, one line each; empty lines left out.
QString ContactLines(const SupportContacts& c) {
    QStringList lines;
    if (!c.postalAddress.empty()) {
        lines << QString::fromStdString(c.postalAddress);
    }
    QStringList phones;
    if (!c.phone.empty()) {
        phones << QStringLiteral("telefono ") + QString::fromStdString(c.phone);
    }
    if (!c.fax.empty()) {
        phones << QStringLiteral("fax ") + QString::fromStdString(c.fax);
    }
    if (!phones.isEmpty()) {
        lines << phones.join(QStringLiteral(" - "));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

SupportWindow::SupportWindow(const SupportContacts& contacts, QWidget* parent)
    : QWidget(parent, Qt::Window) {
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

    QList<QLabel*> wrapped;
    if (contacts.Any()) {
        AddText(this, "Label2", ContactLines(contacts), Left, 840, Width, 600, 9);
        if (!contacts.email.empty()) {
            QLabel* caption =
                AddText(this, "Label3", QStringLiteral("e-mail: "), Left, 1440, Width, 300, 9);
            QLabel* mail = AddText(this, "Label9", QString::fromStdString(contacts.email), Left,
                                   1440, Width, 300, 9);
            FollowCaption(caption, QStringLiteral("e-mail: "), mail);
        }
        if (!contacts.web.empty()) {
            QLabel* site = AddText(this, "Label8", QStringLiteral("sito internet:"), Left, 1740,
                                   Width, 300, 9);
            QLabel* web = AddText(this, "Label10", QString::fromStdString(contacts.web), Left, 1740,
                                  Width, 300, 9);
            FollowCaption(site, QStringLiteral("sito internet: "), web);
        }
        AddRule(this, "Line2", 2130);
        wrapped << AddText(this, "Label4", QString::fromUtf8(SupportRules), Left, 2250, Width, 1800,
                           9);
    } else {
        // No maker's contacts were set for this installation: nobody is
        // invented; the user is sent to whoever installed the program.
        wrapped << AddText(
            this, "Label2",
            QStringLiteral("L'assistenza su questo programma è data da chi lo ha installato nel "
                           "vostro studio: rivolgersi a lui per ogni chiarimento.\n\nIl file "
                           "README.md che accompagna il programma spiega come installarlo e come "
                           "impostare i dati dello studio e i contatti dell'assistenza (file "
                           "acquenza.conf)."),
            Left, 840, Width, 1290, 9);
        AddRule(this, "Line2", 2130);
    }
    const QString offer =
        contacts.contact.empty()
            ? QStringLiteral(
                  "Su richiesta il programma può essere adattato alle esigenze del "
                  "singolo studio tecnico. Osservazioni e suggerimenti per le versioni "
                  "successive saranno sempre graditi.")
            : QStringLiteral(
                  "Su richiesta il programma può essere adattato alle esigenze del "
                  "singolo studio tecnico: per informazioni e preventivi rivolgersi a "
                  "%1. Osservazioni e suggerimenti per le versioni successive saranno "
                  "sempre graditi.")
                  .arg(QString::fromStdString(contacts.contact));
    wrapped << AddText(this, "Label5", offer, Left, contacts.Any() ? 3990 : 2250, Width, 900, 9);
    for (QLabel* text : wrapped) {
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
