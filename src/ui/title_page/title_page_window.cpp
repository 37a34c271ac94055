#include "ui/title_page/title_page_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

#include "app/program_shell.h"
#include "ui/shell/form_resizer.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"
#include "ui/shell/working_actions.h"

namespace acquenza::ui {

namespace {

constexpr int FormWidth = 9480;
constexpr int FormHeight = 6180;

// The label in front of each text box, in the texts' own order.
struct FieldRow {
    const char* caption;
    const char* tooltip;
};

const FieldRow Fields[TitleTextCount] = {
    {" progetto....................:", "il tipo di progetto che si sta elaborando"},
    {" località......................:", "denominazione dei luoghi"},
    {" tipologia di studio......:",
     "ad esempio: 'analisi situazione attuale'; 'ipotesi situazione di progetto'; ecc."},
    {" committente..............:", "chi ha commissionato lo studio"},
    {" luogo elaborazione...:", "località in cui viene effettuata la elaborazione dei dati"},
    {" data elaborazione.....:", "impostata in automatico e modificabile"},
    {" allegati alla relazione :", "grafici, disegni, planimetrie, foto, ecc."},
};

}  // namespace

TitlePageWindow::TitlePageWindow(ProgramState& state, Dialogs& dialogs, QtWindowSystem& windows)
    : state_(state), dialogs_(dialogs), windows_(windows), model_(state, dialogs, windows) {
    setObjectName(QStringLiteral("frontespizio"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont small = font();
    small.setPointSizeF(9);
    setFont(small);

    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("form"));
    setCentralWidget(form_);
    actions_ = new WorkingActions(
        this, WindowId::frontespizio, state_, dialogs_, windows_,
        {.printOther = [this] { Documents(&DocumentCommands::TitlePageDocument); },
         .print = [this] { Documents(&DocumentCommands::FullReport); },
         .background = [this] { model_.ChooseBackground(); },
         .check = [this] { model_.CheckFields(); },
         .clear = [this] { model_.ClearWindow(); },
         .guideQuestion = [this] { model_.AskForGuide(); },
         .windowGuide = [this] { model_.ShowWindowGuide(); },
         .helpMessage = [this] { model_.ShowHelpMessage(); }});
    BuildFields(form_);
    BuildCommands(form_);
    resizer_ = SizeWorkingWindow(this, form_, FormWidth, FormHeight);
    actions_->GuardBoxes();
    model_.Load();
    Sync();
}

TitlePageWindow::~TitlePageWindow() {
    DetachControls(this);
}

template <typename Action>
void TitlePageWindow::Do(Action&& action) {
    action();
    windows_.SyncAll();
}

template <typename Result>
void TitlePageWindow::Documents(Result (DocumentCommands::*command)()) {
    DocumentCommands commands(state_, dialogs_, windows_, windows_.Desk());
    (commands.*command)();
}

void TitlePageWindow::BuildFields(QWidget* form) {
    QLabel* heading =
        MakeLabel(form, QStringLiteral("Label1"), QStringLiteral(" CALCOLO DI CONDOTTE IDRICHE"),
                  QString(), 120, 60, 9240, 480);
    QFont big = heading->font();
    big.setPointSize(14);
    big.setBold(true);
    heading->setFont(big);
    heading->setStyleSheet(QStringLiteral("color: rgb(0, 70, 140);"));

    for (int f = 0; f < TitleTextCount; ++f) {
        const FieldRow& row = Fields[f];
        const QString name = QString::fromUtf8(
            TitleFields[static_cast<std::size_t>(f)].name.data(),
            static_cast<qsizetype>(TitleFields[static_cast<std::size_t>(f)].name.size()));
        const int top = 600 + f * 390;
        MakeLabel(form, name + QStringLiteral("_etichetta"), QString::fromUtf8(row.caption),
                  QString::fromUtf8(row.tooltip), 240, top, 2520, 330);
        auto* box = new QLineEdit(form);
        box->setObjectName(name);
        PlaceInTwips(box, 2820, top, 6420, 330);
        connect(box, &QLineEdit::textEdited, this, [this, f](const QString& text) {
            Do([&] { model_.TypeInField(static_cast<TitleField>(f), text.toStdString()); });
        });
        // The field left: what is typed next is a new step of the history.
        connect(box, &QLineEdit::editingFinished, this, [this] { state_.history.EndTyping(); });
        fields_[static_cast<std::size_t>(f)] = box;
    }
    // Tab order is the field order.
    for (int f = 1; f < TitleTextCount; ++f) {
        setTabOrder(fields_[static_cast<std::size_t>(f - 1)], fields_[static_cast<std::size_t>(f)]);
    }

    MakeLabel(form, QStringLiteral("studio_etichetta"),
              QStringLiteral(" progettista.................:"),
              QStringLiteral("studio tecnico che elabora il progetto"), 240, 3420, 2520, 330);
    office_ = MakeLabel(form, QStringLiteral("Labelstudio"), QString(),
                        QStringLiteral("dato fisso del programma, non modificabile"), 2820, 3420,
                        6420, 330);
    MakeLabel(form, QStringLiteral("indirizzo_etichetta"),
              QStringLiteral(" indirizzo.....................:"),
              QStringLiteral("indirizzo dello studio tecnico"), 240, 3810, 2520, 330);
    address_ = MakeLabel(form, QStringLiteral("labelindirizzo"), QString(),
                         QStringLiteral("dato fisso del programma, non modificabile"), 2820, 3810,
                         6420, 330);
    for (QLabel* office : {office_, address_}) {
        office->setFrameShape(QFrame::Panel);
        office->setFrameShadow(QFrame::Sunken);
        office->setIndent(4);
        office->installEventFilter(this);
    }
}

void TitlePageWindow::BuildCommands(QWidget* form) {
    auto* frame = new QGroupBox(QStringLiteral("Tipo di stampa"), form);
    frame->setObjectName(QStringLiteral("Frame2"));
    PlaceInTwips(frame, 240, 4260, 5880, 840);
    QFont optionFont = frame->font();
    optionFont.setPointSizeF(8);
    frame->setFont(optionFont);
    const char* captions[] = {"Stampa con Word (relazione modificabile e integrabile)",
                              "Stampa diretta (con editor interno: relazione non modificabile)"};
    for (int mode = 1; mode <= 2; ++mode) {
        auto* option = new QRadioButton(QString::fromUtf8(captions[mode - 1]), frame);
        option->setObjectName(QStringLiteral("comestampo_%1").arg(mode));
        PlaceInTwips(option, 90, 270 + (mode - 1) * 270, 5760, 270);
        connect(option, &QRadioButton::toggled, this, [this, mode](bool on) {
            if (on) {
                model_.SelectPrintMode(mode);
            }
        });
        printModes_[static_cast<std::size_t>(mode)] = option;
    }

    struct Button {
        const char* name;
        const char* caption;
        const char* tooltip;
        int left;
        int top;
        int width;
        Command command;
    };
    const Button buttons[] = {
        {"stampa", "&Stampa", "cliccare per stampare la relazione", 6240, 4320, 1440,
         Command::Print},
        {"Command5", "&Dati", "cliccare per visualizzare la finestra Dati", 7800, 4320, 1440,
         Command::ShowData},
        {"guidainlinea", "&Guida in linea", "cliccare per visualizzare il Sommario della guida",
         240, 5700, 1800, Command::HelpContents},
        {"aiuto", "&AIUTO", "cliccare per avere indicazioni sulla immissione dei dati", 2160, 5700,
         1500, Command::HelpMessage},
        {"cmdesci", "US&CITA", "cliccare per uscire da Acquenza", 7740, 5700, 1500, Command::Exit},
    };
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), form);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(QString::fromUtf8(b.tooltip));
        PlaceInTwips(button, b.left, b.top, b.width, 405);
        const Command command = b.command;
        connect(button, &QPushButton::clicked, this, [this, command] { actions_->Run(command); });
    }
    passo_ =
        MakeLabel(form, QStringLiteral("passo"), QString(),
                  QStringLiteral("indicazioni sulla corretta procedura di immissione dei dati"),
                  240, 5220, 9000, 360);
    passo_->setFrameShape(QFrame::Panel);
    passo_->setFrameShadow(QFrame::Sunken);
    passo_->setIndent(4);
    SetBackground(passo_, QColor(255, 255, 192));
}

void TitlePageWindow::Sync() {
    actions_->ShowUndoState();
    setWindowModified(state_.history.Modified());
    setWindowTitle(WorkingCaption(QStringLiteral("Acquenza: frontespizio per la relazione"),
                                  state_.currentFileName));
    for (int f = 0; f < TitleTextCount; ++f) {
        const QString text = QString::fromStdString(model_.Text(static_cast<TitleField>(f)));
        QLineEdit* box = fields_[static_cast<std::size_t>(f)];
        if (box->text() != text) {
            box->setText(text);
        }
    }
    ShowOffice(office_, model_.OfficeNameText(), model_.OfficeNameHint());
    ShowOffice(address_, model_.OfficeAddressText(), model_.OfficeAddressHint());
    passo_->setText(QString::fromStdString(model_.Guidance()));
    QRadioButton* chosen = printModes_[static_cast<std::size_t>(model_.PrintMode())];
    if (!chosen->isChecked()) {
        chosen->setChecked(true);
    }
    const Rgb c = model_.Background();
    const QColor colour(c.red, c.green, c.blue);
    if (form_->palette().color(QPalette::Window) != colour) {
        SetBackground(form_, colour);
    }
}

// An office text, or, where the settings leave it empty, where to set it:
// greyed, so it is never taken for the office itself.
void TitlePageWindow::ShowOffice(QLabel* label, const std::string& text, const std::string& hint) {
    const bool empty = text.empty() && !hint.empty();
    const QString shown = QString::fromStdString(empty ? hint : text);
    if (label->text() == shown && label->property("hint").toBool() == empty) {
        return;
    }
    label->setText(shown);
    label->setProperty("hint", empty);
    QFont font = label->font();
    font.setItalic(empty);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     empty ? palette.color(QPalette::Disabled, QPalette::WindowText)
                           : QApplication::palette().color(QPalette::WindowText));
    label->setPalette(palette);
    label->setToolTip(empty ? QString::fromStdString(hint) +
                                  QStringLiteral("; vale dal successivo avvio del programma")
                            : QStringLiteral("dato fisso del programma, non modificabile"));
}

bool TitlePageWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && (watched == office_ || watched == address_)) {
        Do([this] { model_.ClickOfficeField(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TitlePageWindow::CloseForExit() {
    closingForExit_ = true;
    close();
}

void TitlePageWindow::closeEvent(QCloseEvent* event) {
    if (closingForExit_) {
        event->accept();
        return;
    }
    // Closing the window only puts it away: its texts are the project's
    // title page and stay until the exit.
    event->ignore();
    hide();
}

}  // namespace acquenza::ui
