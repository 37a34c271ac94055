#include "ui/data_window/data_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "app/program_shell.h"
#include "ui/shell/form_resizer.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/twips.h"
#include "ui/shell/window_chrome.h"
#include "ui/shell/working_actions.h"

namespace acquenza::ui {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The fields of `kind`s the table places on screen, in its order.
std::vector<Field> OnScreen(const FieldTable& fields, bool results) {
    std::vector<Field> shown;
    for (const Field f : results ? fields.Results() : fields.Inputs()) {
        if (fields.Spec(f).screen.width > 0) {
            shown.push_back(f);
        }
    }
    return shown;
}

constexpr int FirstRowTop = 1590;
constexpr int RowPitch = 300;
constexpr int RowHeight = 285;
constexpr int FormWidth = 9480;
constexpr int FormHeight = 5600;

// Gives the wheel over any part of the grid to its scroll bar, which turns
// some sections a notch: no box under the pointer takes it as input (a pipe
// type would change), and the grid moves as a user expects.
class WheelToScrollBar final : public QObject {
  public:
    WheelToScrollBar(QScrollBar* bar, QObject* parent) : QObject(parent), bar_(bar) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || watched == bar_) {
            return QObject::eventFilter(watched, event);
        }
        const auto* wheel = static_cast<QWheelEvent*>(event);
        QWheelEvent turned(bar_->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                           wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                           wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(bar_, &turned);
        return true;
    }

  private:
    QScrollBar* bar_;
};

const QColor Cyan(0, 255, 255);
const QColor Yellow(255, 255, 0);
const QColor LightBlue(175, 220, 255);

}  // namespace

DataWindow::DataWindow(ProgramState& state, Dialogs& dialogs, QtWindowSystem& windows)
    : state_(state),
      dialogs_(dialogs),
      windows_(windows),
      model_(state, dialogs, windows),
      columns_(OnScreen(model_.Fields(), false)),
      resultColumns_(OnScreen(model_.Fields(), true)) {
    setObjectName(QStringLiteral("dati"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("form"));
    setCentralWidget(form_);
    actions_ = new WorkingActions(
        this, WindowId::dati, state_, dialogs_, windows_,
        {.printOther = [this] { Documents(&DocumentCommands::AcquisitionTemplate); },
         .print = [this] { Documents(&DocumentCommands::DataWindowDocument); },
         .background = [this] { model_.ChooseBackground(); },
         .check = [this] { model_.CheckData(); },
         .clear = [this] { model_.ClearWindow(); },
         .guideQuestion = [this] { model_.AskForGuide(); },
         .windowGuide = [this] { model_.ShowWindowGuide(); },
         .helpMessage = [this] { model_.ShowHelpMessage(); }});
    BuildResultArea(form_);
    BuildGrid(form_);
    BuildCommands(form_);
    // The wheel anywhere over the window's form turns the grid like its bar.
    auto* wheel = new WheelToScrollBar(scroll_, this);
    form_->installEventFilter(wheel);
    for (QWidget* part : form_->findChildren<QWidget*>()) {
        part->installEventFilter(wheel);
    }
    resizer_ = SizeWorkingWindow(this, form_, FormWidth, FormHeight);
    actions_->GuardBoxes();
    model_.Load();
    // A message about a box the grid has just brought back stands over it.
    model_.SetShowNow([this] {
        const bool before = showingForMessage_;
        showingForMessage_ = true;
        windows_.SyncAll();
        showingForMessage_ = before;
    });
    for (int r = 1; r <= DataWindowModel::Rows; ++r) {
        for (const std::string& type : model_.PipeTypeList(r)) {
            rows_[static_cast<std::size_t>(r)].tipoc->addItem(Q(type));
        }
        rows_[static_cast<std::size_t>(r)].tipoc->setCurrentIndex(-1);
    }
    Sync();
}

DataWindow::~DataWindow() {
    DetachControls(this);
}

template <typename Action>
void DataWindow::Do(Action&& action) {
    action();
    windows_.SyncAll();
}

void DataWindow::Documents(void (DocumentCommands::*command)()) {
    DocumentCommands commands(state_, dialogs_, windows_, windows_.Desk());
    (commands.*command)();
}

void DataWindow::BuildResultArea(QWidget* form) {
    MakeLabel(form, QStringLiteral("risultati"), QStringLiteral("risultati"),
              QStringLiteral("risultati di ogni singolo tronco"), 120, 60, 1500, 240);
    resultSectionCaption_ =
        MakeLabel(form, QStringLiteral("Label25"), QString(),
                  QStringLiteral("tronco di riferimento dei risultati"), 120, 330, 1500, 270);
    QFont bold = resultSectionCaption_->font();
    bold.setBold(true);
    resultSectionCaption_->setFont(bold);
    for (const Field f : resultColumns_) {
        const ScreenColumn& c = model_.Fields().Spec(f).screen;
        const QString name = Q(model_.Fields().Spec(f).name);
        MakeLabel(form, name + QStringLiteral("_titolo"), Q(c.heading), Q(c.tooltip), c.left, 60,
                  c.width, 240)
            ->setAlignment(Qt::AlignCenter);
        MakeLabel(form, name + QStringLiteral("_unita"), Q(c.unit), Q(c.tooltip), c.left, 300,
                  c.width, 210)
            ->setAlignment(Qt::AlignCenter);
        QLabel* value = MakeLabel(form, name, QString(), QString(), c.left, 540, c.width, 300);
        value->setAlignment(Qt::AlignCenter);
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        SetBackground(value, LightBlue);  // the guide's "campi azzurri"
        value->setFont(bold);
        results_[static_cast<std::size_t>(f)] = value;
    }
    MakeLabel(form, QStringLiteral("tronchidigitati"), QStringLiteral("Tronchi digitati"),
              QStringLiteral("numero totale dei tronchi digitati"), 6240, 60, 1440, 270);
    label1_ = MakeLabel(form, QStringLiteral("Label1"), QString(), QString(), 7740, 60, 660, 270);
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setFrameShape(QFrame::Panel);
    label1_->setFrameShadow(QFrame::Sunken);
    SetBackground(label1_, Qt::white);

    auto* antinc = new QPushButton(QStringLiteral("&Antincendio"), form);
    antinc->setObjectName(QStringLiteral("antinc"));
    antinc->setToolTip(QStringLiteral(
        "cliccare dopo aver digitato il numero massimo di residenti per avere in automatico la "
        "portata antincendio"));
    PlaceInTwips(antinc, 6240, 390, 2160, 390);
    connect(antinc, &QPushButton::clicked, this, [this] { Do([this] { model_.FireButton(); }); });

    MakeLabel(
        form, QStringLiteral("Label32"), QStringLiteral("Usa il punto per i valori decimali."),
        QStringLiteral("la virgola viene ignorata e così pure gli eventuali decimali seguenti"),
        6240, 870, 3120, 240);
}

void DataWindow::BuildGrid(QWidget* form) {
    MakeLabel(form, QStringLiteral("datilabel"), QStringLiteral("dati"),
              QStringLiteral("dati necessari alla elaborazione"), 120, 930, 600, 210);
    QFont headingFont = font();
    headingFont.setPointSizeF(7);
    auto heading = [&](const QString& name, std::string_view caption, std::string_view unit,
                       std::string_view tooltip, int left, int width) {
        QLabel* h = MakeLabel(form, name, Q(caption) + QLatin1Char('\n') + Q(unit), Q(tooltip),
                              left, 1140, width, 420);
        h->setAlignment(Qt::AlignCenter);
        h->setFont(headingFont);
    };
    heading(QStringLiteral("num_titolo"), "tronco", "n.", "numero d'ordine del tronco", 120, 420);
    const std::vector<Field>& columns = columns_;
    for (const Field f : columns) {
        const ScreenColumn& c = model_.Fields().Spec(f).screen;
        heading(Q(model_.Fields().Spec(f).name) + QStringLiteral("_titolo"), c.heading, c.unit,
                c.tooltip, c.left, c.width);
    }

    for (int r = 1; r <= DataWindowModel::Rows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        const int top = FirstRowTop + (r - 1) * RowPitch;
        row.num = MakeLabel(form, QStringLiteral("num_%1").arg(r), QString(), QString(), 120, top,
                            420, RowHeight);
        row.num->setAlignment(Qt::AlignCenter);
        row.num->installEventFilter(this);
        for (const Field field : columns) {
            const FieldSpec& spec = model_.Fields().Spec(field);
            const ScreenColumn& c = spec.screen;
            const QString name = Q(spec.name) + QStringLiteral("_%1").arg(r);
            // A list's box takes its text by typing too; only the pipe type
            // has a list.
            if (spec.kind == FieldKind::Choice) {
                auto* combo = new QComboBox(form);
                combo->setObjectName(name);
                combo->setEditable(true);
                combo->setInsertPolicy(QComboBox::NoInsert);
                // Reached by Tab or a click, never by the wheel passing over
                // it (the filter below gives the wheel to the grid).
                combo->setFocusPolicy(Qt::StrongFocus);
                // A completion shown is one of the list's own texts, letter
                // for letter ("N" never turns into "Nuova").
                combo->completer()->setCaseSensitivity(Qt::CaseSensitive);
                PlaceInTwips(combo, c.left, top, c.width, RowHeight);
                connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                        [this, r](const QString& t) {
                            completing_ = 0;
                            Do([&] { model_.TypeInBox(r, Field::tipoc, t.toStdString()); });
                        });
                // The text the completion puts in the box is the text the
                // user sees, and so the one stored: the completer announces
                // it, the box then shows it.
                connect(combo->completer(), qOverload<const QString&>(&QCompleter::highlighted),
                        this, [this, r] { completing_ = r; });
                connect(combo->lineEdit(), &QLineEdit::textChanged, this,
                        [this, r](const QString& t) {
                            if (completing_ != r) {
                                return;
                            }
                            completing_ = 0;
                            Do([&] { model_.TypeInBox(r, Field::tipoc, t.toStdString()); });
                        });
                connect(combo, &QComboBox::activated, this, [this, r, combo](int index) {
                    Do([&] { model_.PickPipeType(r, combo->itemText(index).toStdString()); });
                });
                row.tipoc = combo;
                combo->installEventFilter(this);
                if (r == DataWindowModel::Rows) {
                    combo->lineEdit()->installEventFilter(this);
                }
                continue;
            }
            auto* box = new QLineEdit(form);
            box->setObjectName(name);
            PlaceInTwips(box, c.left, top, c.width, RowHeight);
            connect(box, &QLineEdit::textEdited, this, [this, r, field](const QString& t) {
                Do([&] { model_.TypeInBox(r, field, t.toStdString()); });
            });
            // Enter, or leaving the box (below), ends the typing of a value.
            connect(box, &QLineEdit::returnPressed, this,
                    [this, r, field] { Do([&] { model_.LeaveBox(r, field); }); });
            box->installEventFilter(this);
            row.boxes[static_cast<std::size_t>(field)] = box;
        }
        row.delriga = new QPushButton(QStringLiteral("X"), form);
        row.delriga->setObjectName(QStringLiteral("delriga_%1").arg(r));
        // Out of the Tab road: Space on a button reached by Tab must never
        // delete a section.
        row.delriga->setFocusPolicy(Qt::NoFocus);
        PlaceInTwips(row.delriga, 8790, top, 270, RowHeight);
        connect(row.delriga, &QPushButton::clicked, this,
                [this, r] { Do([this, r] { model_.DeleteRow(r); }); });
    }
    // Tab order runs along each row, then down to the next.
    QWidget* previous = nullptr;
    for (int r = 1; r <= DataWindowModel::Rows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        for (const Field field : columns) {
            QWidget* w = field == Field::tipoc ? static_cast<QWidget*>(row.tipoc)
                                               : row.boxes[static_cast<std::size_t>(field)];
            if (previous != nullptr) {
                setTabOrder(previous, w);
            }
            previous = w;
        }
    }

    scroll_ = new QScrollBar(Qt::Vertical, form);
    scroll_->setObjectName(QStringLiteral("VScroll1"));
    scroll_->setRange(1, DataWindowModel::MaxFirstVisible);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(10);
    // Pressing the bar must not take the focus from a box being typed in:
    // the box's checks would raise a message while the bar repeats.
    scroll_->setFocusPolicy(Qt::NoFocus);
    PlaceInTwips(scroll_, 9090, FirstRowTop, 255, RowPitch * 9 + RowHeight);
    connect(scroll_, &QScrollBar::valueChanged, this,
            [this](int value) { Do([&] { model_.Scroll(value); }); });

    passo_ =
        MakeLabel(form, QStringLiteral("passo"), QString(),
                  QStringLiteral("indicazioni sulla corretta procedura di immissione dei dati"),
                  120, 4680, 9225, 330);
    passo_->setFrameShape(QFrame::Panel);
    passo_->setFrameShadow(QFrame::Sunken);
    passo_->setIndent(4);
    SetBackground(passo_, QColor(255, 255, 192));
}

void DataWindow::BuildCommands(QWidget* form) {
    struct Button {
        const char* name;
        const char* caption;
        const char* tooltip;
        int left;
        int width;
        Command command;
    };
    const Button buttons[] = {
        {"frontes", "Fr&ontespizio", "cliccare per visualizzare il Frontespizio", 120, 1800,
         Command::ShowTitlePage},
        {"guidainlinea", "&Guida in linea", "cliccare per visualizzare il Sommario della guida",
         2040, 1800, Command::HelpContents},
        {"aiuto", "&AIUTO", "cliccare per avere gli aiuti in linea", 3960, 1500,
         Command::HelpMessage},
        {"esco", "&USCITA", "cliccare per uscire da Acquenza", 7845, 1500, Command::Exit},
    };
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), form);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(QString::fromUtf8(b.tooltip));
        PlaceInTwips(button, b.left, 5100, b.width, 405);
        const Command command = b.command;
        connect(button, &QPushButton::clicked, this, [this, command] { actions_->Run(command); });
    }
}

void DataWindow::Sync() {
    actions_->ShowUndoState();
    setWindowModified(state_.history.Modified());
    setWindowTitle(
        WorkingCaption(QStringLiteral("Acquenza: dati per il calcolo idraulico dei tronchi"),
                       state_.currentFileName));
    for (int r = 1; r <= DataWindowModel::Rows; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        row.num->setText(Q(model_.NumCaption(r)));
        row.num->setToolTip(Q(model_.NumTooltip(r)));
        const QColor numColour = model_.RowHighlighted(r) ? Yellow : Cyan;
        if (row.num->palette().color(QPalette::Window) != numColour) {
            SetBackground(row.num, numColour);
        }
        row.delriga->setToolTip(Q(model_.DeleteTooltip(r)));
        for (const Field f : columns_) {
            const QString text = Q(model_.BoxText(r, f));
            if (f == Field::tipoc) {
                if (row.tipoc->currentText() != text) {
                    completing_ = 0;
                    const QSignalBlocker block(row.tipoc);
                    row.tipoc->setEditText(text);
                }
                continue;
            }
            QLineEdit* box = row.boxes[static_cast<std::size_t>(f)];
            if (f == Field::portfin) {
                ShowEndFlowKind(box, model_.EndFlowIsDerived(model_.SectionOfRow(r)));
            }
            if (box->text() != text) {
                // A refused keystroke is taken back where it was typed.
                const int cursor = box->cursorPosition() -
                                   std::max(0, static_cast<int>(box->text().size() - text.size()));
                box->setText(text);
                if (box->hasFocus()) {
                    box->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(text.size())));
                }
            }
        }
    }
    passo_->setText(Q(model_.Guidance()));
    resultSectionCaption_->setText(Q(model_.ResultSectionText()));
    for (const Field f : resultColumns_) {
        results_[static_cast<std::size_t>(f)]->setText(Q(model_.ResultText(f)));
    }
    label1_->setText(Q(model_.EnteredCountText()));
    if (scroll_->value() != model_.ScrollValue()) {
        const QSignalBlocker block(scroll_);
        scroll_->setValue(model_.ScrollValue());
    }
    ApplyBackground();
    ApplyFocusRequest();
}

void DataWindow::ShowEndFlowKind(QLineEdit* box, bool derived) {
    if (box->isReadOnly() == derived) {
        return;
    }
    // The network's sum is a result: in the result area's colour, and no
    // keystroke, paste or drop reaches it.
    box->setReadOnly(derived);
    if (derived) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, LightBlue);
        box->setPalette(palette);
        box->setToolTip(QStringLiteral(
            "portata all'estremità ricavata: somma delle portate dei tronchi che proseguono da "
            "questo e dell'erogazione al nodo, che si digita nel Riepilogo della rete"));
    } else {
        box->setPalette(QPalette());  // the form's again
        box->setToolTip(QString());
    }
}

void DataWindow::ApplyBackground() {
    // A palette set on the form reaches every child: only when it changes.
    const Rgb c = model_.Background();
    const QColor colour(c.red, c.green, c.blue);
    if (form_->palette().color(QPalette::Window) != colour) {
        SetBackground(form_, colour);
    }
}

void DataWindow::ApplyFocusRequest() {
    const auto focus = model_.TakeFocusRequest();
    if (!focus) {
        return;
    }
    Row& row = rows_[static_cast<std::size_t>(focus->row)];
    QWidget* target = focus->field == Field::tipoc
                          ? static_cast<QWidget*>(row.tipoc)
                          : row.boxes[static_cast<std::size_t>(focus->field)];
    target->setFocus(Qt::OtherFocusReason);
}

bool DataWindow::TabAcrossTheGridEdge(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    const Row& first = rows_[1];
    const Row& last = rows_[DataWindowModel::Rows];
    const int value = model_.ScrollValue();
    if (key == Qt::Key_Tab && (watched == last.tipoc || watched == last.tipoc->lineEdit()) &&
        value < DataWindowModel::MaxFirstVisible) {
        Do([this, value] { model_.Scroll(value + 1); });
        last.boxes[static_cast<std::size_t>(Field::lungh)]->setFocus(Qt::TabFocusReason);
        return true;
    }
    QLineEdit* firstBox = first.boxes[static_cast<std::size_t>(Field::lungh)];
    if (key == Qt::Key_Backtab && watched == firstBox && value > 1) {
        Do([this, value] { model_.Scroll(value - 1); });
        first.tipoc->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    return false;
}

bool DataWindow::eventFilter(QObject* watched, QEvent* event) {
    if (TabAcrossTheGridEdge(watched, event)) {
        return true;
    }
    if (event->type() == QEvent::FocusOut && !showingForMessage_) {
        // Left with Tab or a click: the value is whole. A message box or a
        // menu taking the focus for a moment does not end the typing.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            for (int r = 1; r <= DataWindowModel::Rows; ++r) {
                const Row& row = rows_[static_cast<std::size_t>(r)];
                for (const Field f : columns_) {
                    QWidget* box = f == Field::tipoc ? static_cast<QWidget*>(row.tipoc)
                                                     : row.boxes[static_cast<std::size_t>(f)];
                    if (watched == box) {
                        Do([this, r, f] { model_.LeaveBox(r, f); });
                    }
                }
            }
        }
    }
    if (event->type() == QEvent::Enter) {
        for (int r = 1; r <= DataWindowModel::Rows; ++r) {
            if (watched == rows_[static_cast<std::size_t>(r)].num) {
                Do([this, r] { model_.PointAtRow(r); });
                break;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void DataWindow::CloseForExit() {
    closingForExit_ = true;
    close();
}

void DataWindow::closeEvent(QCloseEvent* event) {
    if (closingForExit_) {
        event->accept();
        return;
    }
    // The window's own close button takes the exit road, with its question,
    // so unsaved sections are never dropped without asking.
    event->ignore();
    windows_.Shell().ConfirmExit();
}

}  // namespace acquenza::ui
