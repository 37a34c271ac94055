#include "ui/help/about_window.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QSysInfo>

#include "app/about_text.h"
#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"

namespace acquenza::ui {

namespace {

constexpr int Left = 360;
constexpr int Width = 5880;

void AddRule(QWidget* parent, const char* name, int top) {
    auto* rule = new QFrame(parent);
    rule->setObjectName(QString::fromLatin1(name));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    PlaceInTwips(rule, Left, top, Width, 60);
}

QLabel* AddLine(QWidget* parent, const char* name, const QString& text, int top, int height,
                int pointSize, int width = Width) {
    QLabel* label =
        MakeLabel(parent, QString::fromLatin1(name), text, QString(), Left, top, width, height);
    QFont f = label->font();
    f.setPointSize(pointSize);
    label->setFont(f);
    label->setWordWrap(true);
    return label;
}

// The platform's lines, each cut to the window's width: a system may call
// itself by a long name. The tooltip keeps all of it.
void ShowPlatform(QLabel* label) {
    const QString text = QString::fromStdString(PlatformLine(
        {QSysInfo::kernelType().toStdString(), QSysInfo::prettyProductName().toStdString(),
         QSysInfo::currentCpuArchitecture().toStdString()}));
    const QFontMetrics metrics(label->font());
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        line = metrics.elidedText(line, Qt::ElideRight, label->contentsRect().width());
    }
    label->setWordWrap(false);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(lines.join(u'\n'));
    label->setToolTip(text);
}

}  // namespace

AboutWindow::AboutWindow(const ProgramValues& values, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    const QString name = QString::fromStdString(values.ProgramName);
    setObjectName(QStringLiteral("informa"));
    setWindowTitle(QStringLiteral("Informazioni su ") + name);

    QLabel* title = AddLine(this, "Label1", name, 180, 780, 30);
    QFont titleFont = title->font();
    titleFont.setWeight(QFont::Black);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: rgb(0, 70, 140);"));

    AddRule(this, "Line1", 990);
    QLabel* subtitle =
        AddLine(this, "Label2", QString::fromStdString(values.ProgramSubtitle), 1080, 330, 10);
    QFont subtitleFont = subtitle->font();
    subtitleFont.setItalic(true);
    subtitle->setFont(subtitleFont);
    AddLine(this, "Label6", QString::fromStdString(VersionLine(values)), 1410, 300, 9);
    ShowPlatform(AddLine(this, "Label5", QString(), 1710, 480, 9));

    AddRule(this, "Line2", 2310);
    QLabel* maker = AddLine(this, "Label3", QStringLiteral("software VERDANO"), 2400, 360, 12);
    QFont makerFont = maker->font();
    makerFont.setBold(true);
    maker->setFont(makerFont);
    AddLine(this, "label7",
            QStringLiteral("Musica di avvio «Internet», composta dall'autore del programma"), 2760,
            300, 9);

    AddRule(this, "Line3", 3120);
    QLabel* notice = AddLine(
        this, "Label4",
        QStringLiteral("Avvertenza: questo programma e i file audio che lo accompagnano sono "
                       "opere protette dalle leggi sul diritto d'autore. La riproduzione, la "
                       "modifica o la distribuzione non autorizzate del programma, dei suoi file "
                       "audio o di loro parti sono vietate e saranno perseguite a norma di legge."),
        3210, 1500, 8, 4560);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    PlaceInTwips(ok, 5160, 4290, 1080, 420);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    setFixedSize(qRound(TwipsToPixelsX(this, 6600)), qRound(TwipsToPixelsY(this, 4920)));
}

}  // namespace acquenza::ui
