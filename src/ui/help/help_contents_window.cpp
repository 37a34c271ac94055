#include "ui/help/help_contents_window.h"

#include <algorithm>
#include <limits>

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "ui/help/fitted_font.h"
#include "ui/shell/form_resizer.h"
#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"

namespace acquenza::ui {

namespace {

struct Topic {
    int index;
    const char* caption;
    WindowId window;
};

const Topic Topics[] = {
    {1, "  Manuale d'uso rapido", WindowId::manuale},
    {2, "  Funzionamento del programma", WindowId::guidafunzionamento},
    {3, "  Archivio dati", WindowId::guidaarchivio},
    {4, " Come stampare", WindowId::guidastampa},
    {5, " Finestra Dati", WindowId::guidadati},
    {6, " Portata antincendio", WindowId::guidaantincendio},
    {7, " Finestra Frontespizio", WindowId::guidafrontespizio},
    {8, "  Suggerimento del giorno", WindowId::frmTip},
    {10, "  altri prodotti Software Verdano", WindowId::prodotti},
};

constexpr int Width = 3975 - 120;
constexpr int Height = 6825 - 420;

}  // namespace

WindowId TopicWindow(int topic) {
    for (const Topic& t : Topics) {
        if (t.index == topic) {
            return t.window;
        }
    }
    return WindowId::manuale;
}

HelpContentsWindow::HelpContentsWindow(Actions actions) : actions_(std::move(actions)) {
    setObjectName(QStringLiteral("sommario"));
    setWindowTitle(QStringLiteral("Acquenza: guida in linea"));
    setMouseTracking(true);
    SetBackground(this, QColor(235, 244, 250));

    QLabel* heading =
        MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Argomenti della guida"),
                  QString(), 180, 180, 3480, 360);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(12);
    heading->setFont(bold);

    int row = 0;
    for (const Topic& t : Topics) {
        const int top = 720 + row * 450 + (t.index == 10 ? 240 : 0);
        QLabel* label = MakeLabel(this, QStringLiteral("lbl_%1").arg(t.index),
                                  QString::fromUtf8(t.caption), QString(), 180, top, 2820, 360);
        label->setFrameShape(QFrame::Box);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        topics_[t.index] = label;
        auto* arrow = new QPushButton(QStringLiteral("--->"), this);
        arrow->setObjectName(QStringLiteral("puls_%1").arg(t.index));
        PlaceInTwips(arrow, 3060, top, 660, 360);
        const int index = t.index;
        connect(arrow, &QPushButton::clicked, this, [this, index] { Open(index); });
        ++row;
    }

    FitTopicFont();

    struct Button {
        const char* name;
        const char* caption;
        const char* tooltip;
        int top;
    };
    const Button buttons[] = {
        {"cmdChiudi", "&Chiudi", "cliccare per chiudere la finestra", 5040},
        {"cmdStampa", "&Stampa", "cliccare per avere la copia su carta del sommario", 5430},
        {"cmdesci", "US&CITA", "cliccare per uscire da Acquenza", 5820},
    };
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(QString::fromUtf8(b.tooltip));
        PlaceInTwips(button, 180, b.top, 3540, 360);
        const std::string name = b.name;
        connect(button, &QPushButton::clicked, this, [this, name] {
            if (name == "cmdChiudi") {
                hide();  // the same window comes back next time
            } else if (name == "cmdStampa") {
                actions_.printGuide();
            } else {
                actions_.exit();
            }
        });
    }
    resize(static_cast<int>(TwipsToPixelsX(this, Width)),
           static_cast<int>(TwipsToPixelsY(this, Height)));
    resizer_ = std::make_unique<FormResizer>();
    resizer_->SetSourceForm(this);
    resizer_->SizeFormToScreen(75);
    resize(static_cast<int>(TwipsToPixelsX(this, Width)),
           static_cast<int>(TwipsToPixelsY(this, Height)));
    // Fonts keep their size while the boxes follow the window: below the
    // design size the topics and the buttons would be cut.
    setMinimumSize(size());
}

HelpContentsWindow::~HelpContentsWindow() = default;

void HelpContentsWindow::FitTopicFont() {
    // One size for every topic, small enough for the longest one in bold.
    QFont bold = topics_.begin()->second->font();
    bold.setBold(true);
    QStringList captions;
    int room = std::numeric_limits<int>::max();
    for (const auto& [index, label] : topics_) {
        captions << label->text();
        room = std::min(room, label->contentsRect().width() - 2 * label->margin());
    }
    QFont font = FittedFont(bold, captions, room);
    font.setBold(false);
    for (const auto& [index, label] : topics_) {
        label->setFont(font);
    }
}

int HelpContentsWindow::BoldTopic() const {
    for (const auto& [index, label] : topics_) {
        if (label->font().bold()) {
            return index;
        }
    }
    return 0;
}

void HelpContentsWindow::SetBold(int topic) {
    for (const auto& [index, label] : topics_) {
        QFont f = label->font();
        f.setBold(index == topic);
        label->setFont(f);
    }
}

void HelpContentsWindow::Open(int topic) {
    actions_.open(TopicWindow(topic));
}

void HelpContentsWindow::mouseMoveEvent(QMouseEvent* event) {
    SetBold(0);
    QWidget::mouseMoveEvent(event);
}

bool HelpContentsWindow::eventFilter(QObject* watched, QEvent* event) {
    for (const auto& [index, label] : topics_) {
        if (watched != label) {
            continue;
        }
        switch (event->type()) {
            case QEvent::Enter:
                SetBold(index);
                break;
            case QEvent::Leave:
                SetBold(0);
                break;
            case QEvent::MouseMove:
                // Kept from the window behind, which would clear the bold.
                SetBold(index);
                return true;
            case QEvent::MouseButtonPress:
                // The topic opens on the press; the label looks pressed until
                // the button comes up.
                label->setFrameShape(QFrame::NoFrame);
                Open(index);
                return true;
            case QEvent::MouseButtonRelease:
                label->setFrameShape(QFrame::Box);
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace acquenza::ui
