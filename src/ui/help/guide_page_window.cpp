#include "ui/help/guide_page_window.h"

#include <QLabel>
#include <QPushButton>

#include "ui/help/fitted_font.h"
#include "ui/shell/form_resizer.h"
#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"

namespace acquenza::ui {

GuidePageWindow::GuidePageWindow(const GuidePage& page, Actions actions)
    : actions_(std::move(actions)) {
    const bool manual = page.window == WindowId::manuale;
    const int width = (manual ? 9600 : 5640) - 120;
    const int height = 6825 - 420;
    setObjectName(QString::fromLatin1(page.name));
    setWindowTitle(QStringLiteral("Guida in linea"));
    setAttribute(Qt::WA_DeleteOnClose);
    SetBackground(this, QColor(250, 250, 240));

    QLabel* title = MakeLabel(this, QStringLiteral("Label1"), QString::fromUtf8(page.title),
                              QString(), 240, 180, width - 480, 420);
    QFont big = title->font();
    big.setBold(true);
    big.setPointSize(13);
    // The pages of one width share one title size, the longest title's.
    QStringList titles;
    for (const GuidePage& other : GuidePages()) {
        if ((other.window == WindowId::manuale) == manual) {
            titles << QString::fromUtf8(other.title);
        }
    }
    title->setFont(FittedFont(big, titles, title->contentsRect().width()));
    title->setStyleSheet(QStringLiteral("color: rgb(0, 70, 140);"));
    QLabel* text = MakeLabel(this, QStringLiteral("Label2"), QString::fromUtf8(page.text),
                             QString(), 240, 720, width - 480, height - 1500);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignJustify | Qt::AlignTop);

    struct Button {
        const char* name;
        const char* caption;
        const char* tooltip;
    };
    const Button buttons[] = {
        {"cmdChiudi", "&Chiudi", "cliccare per chiudere la finestra"},
        {"cmdStampa", "S&tampa", "cliccare per avere la copia su carta del MANUALE D'USO RAPIDO"},
        {"cmdSommario", "&Sommario", "cliccare per tornare al sommario"},
    };
    const int buttonWidth = (width - 480 - 240) / 3;
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(buttons[i].caption), this);
        button->setObjectName(QString::fromLatin1(buttons[i].name));
        if (manual) {
            button->setToolTip(QString::fromUtf8(buttons[i].tooltip));
        }
        PlaceInTwips(button, 240 + i * (buttonWidth + 120), height - 600, buttonWidth, 405);
    }
    const WindowId window = page.window;
    connect(findChild<QPushButton*>(QStringLiteral("cmdChiudi")), &QPushButton::clicked, this,
            &QWidget::close);
    connect(findChild<QPushButton*>(QStringLiteral("cmdStampa")), &QPushButton::clicked, this,
            [this, window] { actions_.print(window); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdSommario")), &QPushButton::clicked, this,
            [this] { actions_.contents(); });

    resize(static_cast<int>(TwipsToPixelsX(this, width)),
           static_cast<int>(TwipsToPixelsY(this, height)));
    resizer_ = std::make_unique<FormResizer>();
    resizer_->SetSourceForm(this);
    resizer_->SizeFormToScreen(75);
    resize(static_cast<int>(TwipsToPixelsX(this, width)),
           static_cast<int>(TwipsToPixelsY(this, height)));
    if (!manual) {
        move(static_cast<int>(TwipsToPixelsX(this, 5467)), y());
    }
    // Fonts keep their size while the boxes follow the window: below the
    // design size the title and the buttons would be cut.
    setMinimumSize(size());
}

GuidePageWindow::~GuidePageWindow() = default;

}  // namespace acquenza::ui
