#include "ui/summary/summary_window.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/network_model.h"
#include "archive/project_file.h"
#include "ui/summary/network_command_buttons.h"
#include "ui/summary/pipe_controls.h"
#include "ui/summary/section_profile_view.h"

namespace acquenza::ui {

namespace {

const QColor BelowColour(255, 236, 170);  // too slow: deposits
const QColor AboveColour(255, 190, 190);  // too fast: noise, wear, water hammer
const QColor NotSizedColour(225, 225, 225);
const QColor UnsizableColour(255, 214, 214);  // complete data that cannot be sized
// The data window's colour for what the program works out: a node's
// delivery taken from the section's data rather than typed.
const QColor DerivedColour(175, 220, 255);
// A network check not passed: red where the network fails its users
// (pressure, speed), yellow for what asks for a look (slow water, elevations
// that do not meet, a link that leads nowhere).
const QColor FailedColour(255, 190, 190);
const QColor WarningColour(255, 236, 170);

bool NetworkColumn(SummaryValue value) {
    return value >= SummaryValue::Link;
}

bool Editable(SummaryValue value) {
    return value == SummaryValue::Link || value == SummaryValue::NodeDemand;
}

// "non dimensionabile" stands in the diameter's cell, stretched over the
// results after it.
int UnsizableSpan(const NetworkSummary& summary) {
    const std::size_t first = summary.ColumnOf(Field::dia);
    std::size_t last = first;
    while (last + 1 < summary.columns.size() && summary.columns[last + 1].result) {
        ++last;
    }
    return static_cast<int>(last - first + 1);
}

}  // namespace

// ----------------------------------------------------------- the table model

bool SummaryTableModel::SetSummary(NetworkSummary summary) {
    if (summary.rows.size() != summary_.rows.size() ||
        summary.columns.size() != summary_.columns.size()) {
        beginResetModel();
        summary_ = std::move(summary);
        endResetModel();
        return true;
    }
    // A keystroke changes few sections: only their rows are announced, so
    // the view and the sorting touch nothing else.
    std::vector<int> changed;
    for (std::size_t i = 0; i < summary.rows.size(); ++i) {
        const SummaryRow& now = summary.rows[i];
        const SummaryRow& was = summary_.rows[i];
        if (now.texts != was.texts || now.speed != was.speed || now.speedNote != was.speedNote ||
            now.fireAlong != was.fireAlong || now.fireEnd != was.fireEnd) {
            changed.push_back(static_cast<int>(i));
        }
    }
    summary_ = std::move(summary);
    // One announcement for the rows between the first and the last changed:
    // a delivery typed at a leaf moves the heads of most of the tree, and
    // one signal a row would have the view and the sorting work that many
    // times over.
    if (!changed.empty()) {
        emit dataChanged(index(changed.front(), 0), index(changed.back(), columnCount() - 1));
    }
    return false;
}

int SummaryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(summary_.rows.size());
}

int SummaryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(summary_.columns.size());
}

QVariant SummaryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const SummaryRow& row = summary_.rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    const bool text = summary_.columns[column].sortsByText;
    const bool velocity = column == summary_.ColumnOf(Field::vel);
    const SummaryValue value = summary_.columns[column].value;
    if (NetworkColumn(value)) {
        if (role == Qt::BackgroundRole) {
            const QVariant colour = NetworkColour(row, value);
            if (colour.isValid()) {
                return colour;
            }
        }
        if (role == Qt::EditRole) {
            // What is stored, never the rounded figure: an editor left as
            // it came changes nothing.
            return value == SummaryValue::Link ? QString::fromStdString(row.texts[column])
                                               : QString::fromStdString(row.demandTyped);
        }
        if (role == Qt::ToolTipRole) {
            if (value == SummaryValue::NodeDemand && row.linked && row.demandDerived) {
                return QStringLiteral(
                    "Erogazione ricavata dai dati del tronco (residenti all'estremità o portata "
                    "es.): digitarne una per fissarla.");
            }
            if (value == SummaryValue::Link) {
                return QStringLiteral(
                    "Numero del tronco da cui il tronco prosegue: 0 per la sorgente, vuoto per "
                    "un tronco a sé.");
            }
            return row.checkNote.empty() ? QVariant() : QString::fromStdString(row.checkNote);
        }
    }
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(SummaryCellText(summary_, row, column));
        case Qt::UserRole:  // what the column sorts by
            return text ? QVariant(QString::fromStdString(row.texts[column]))
                        : QVariant(row.numbers[column]);
        case Qt::TextAlignmentRole:
            if (row.speed == SpeedCheck::Unsizable && column == summary_.ColumnOf(Field::dia)) {
                return QVariant::fromValue(Qt::AlignCenter);
            }
            return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignRight));
        case Qt::BackgroundRole:
            if (row.speed == SpeedCheck::NotSized) {
                return NotSizedColour;
            }
            if (row.speed == SpeedCheck::Unsizable) {
                return UnsizableColour;
            }
            if (velocity && row.speed == SpeedCheck::Below) {
                return BelowColour;
            }
            if (velocity && row.speed == SpeedCheck::Above) {
                return AboveColour;
            }
            return {};
        case Qt::ToolTipRole:
            if (velocity || row.speed == SpeedCheck::NotSized ||
                row.speed == SpeedCheck::Unsizable) {
                return QString::fromStdString(row.speedNote);
            }
            return {};
        default:
            return {};
    }
}

QVariant SummaryTableModel::NetworkColour(const SummaryRow& row, SummaryValue value) const {
    if (!row.linked) {
        return {};
    }
    auto failed = [&](CheckKind kind) { return row.HasCheck(kind); };
    switch (value) {
        case SummaryValue::NodeDemand:
            return row.demandDerived ? QVariant(DerivedColour) : QVariant();
        case SummaryValue::Link:
            return failed(CheckKind::ElevationMismatch) || failed(CheckKind::Detached) ||
                           failed(CheckKind::LinkRefused)
                       ? QVariant(WarningColour)
                       : QVariant();
        case SummaryValue::PressureEnd:
            return failed(CheckKind::LowPressure) ? QVariant(FailedColour) : QVariant();
        case SummaryValue::StaticPressure:
            return failed(CheckKind::HighStaticPressure) ? QVariant(FailedColour) : QVariant();
        case SummaryValue::MaxVelocity:
            return failed(CheckKind::HighVelocity) ? QVariant(FailedColour) : QVariant();
        case SummaryValue::NetworkChecks: {
            if (row.checks.empty()) {
                return {};
            }
            const bool serious =
                failed(CheckKind::LowPressure) || failed(CheckKind::HighStaticPressure) ||
                failed(CheckKind::HighVelocity) || failed(CheckKind::NotComputable) ||
                failed(CheckKind::PressureClass);
            return serious ? FailedColour : WarningColour;
        }
        default:
            return {};
    }
}

Qt::ItemFlags SummaryTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && edit_ && index.row() < rowCount() &&
        Editable(summary_.columns[static_cast<std::size_t>(index.column())].value)) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool SummaryTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !edit_ || editing_ || !index.isValid() ||
        index.row() >= rowCount() || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString()) {
        return false;  // left as it came: nothing typed
    }
    const SummaryRow& row = summary_.rows[static_cast<std::size_t>(index.row())];
    const SummaryValue column = summary_.columns[static_cast<std::size_t>(index.column())].value;
    // The refusal's message takes the focus from the editor, whose closing
    // would hand the same text in once more.
    editing_ = true;
    edit_(row.section, column, text.toStdString());
    editing_ = false;
    return true;
}

QVariant SummaryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // On screen the headings take two short lines, so that the whole table
    // fits the window; the tooltip and the spreadsheet have them whole.
    if (orientation == Qt::Horizontal && section >= 0 &&
        static_cast<std::size_t>(section) < summary_.columns.size()) {
        const SummaryColumn& column = summary_.columns[static_cast<std::size_t>(section)];
        if (role == Qt::DisplayRole) {
            return QString::fromStdString(column.shortHeading);
        }
        if (role == Qt::ToolTipRole) {
            return QString::fromStdString(column.heading);
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

// ---------------------------------------------------------------- the window

SummaryWindow::SummaryWindow(ProgramState& state, Dialogs& dialogs, Actions actions)
    : QWidget(nullptr, Qt::Window),
      state_(state),
      dialogs_(dialogs),
      actions_(std::move(actions)),
      network_(state, dialogs) {
    setObjectName(QStringLiteral("riepilogo"));
    setWindowTitle(QStringLiteral("Riepilogo della rete"));

    model_ = new SummaryTableModel(this);
    model_->SetEdit([this](int section, SummaryValue value, const std::string& text) {
        // Applied once the table's editor has closed: a refusal's message,
        // or the table shown again, never meets an editor still handing its
        // text in.
        QMetaObject::invokeMethod(
            this,
            [this, section, value, text] {
                FinishTypingElsewhere();
                if (value == SummaryValue::Link) {
                    network_.SetLink(section, text);
                } else {
                    network_.SetNodeDemand(section, text);
                }
                // Every window shows the edit: the sums it changed reach the
                // data window too.
                SyncEverything();
            },
            Qt::QueuedConnection);
    });
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("tabella"));
    table_->setAccessibleName(QStringLiteral("Tabella riepilogativa dei tronchi"));
    table_->setAccessibleDescription(QStringLiteral(
        "Una riga per tronco. Invio o doppio clic porta la finestra Dati sul tronco."));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Only the link and the delivery take typing (a double click elsewhere
    // still takes the data window to the section). The editor is a plain
    // line: no completion offers a value the user did not type.
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // Every column on screen at once, sharing the width.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->horizontalHeader()->setMinimumHeight(2 * fontMetrics().height() + 8);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) {
        const QModelIndex source = sorted_->mapToSource(index);
        actions_.goToSection(
            model_->Summary().rows[static_cast<std::size_t>(source.row())].section);
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowProfile(); });
    const auto respan = [this] { SpanUnsizableRows(); };
    connect(sorted_, &QAbstractItemModel::layoutChanged, this, respan);
    connect(sorted_, &QAbstractItemModel::modelReset, this, respan);
    connect(sorted_, &QAbstractItemModel::rowsInserted, this, respan);
    connect(sorted_, &QAbstractItemModel::rowsRemoved, this, respan);
    connect(sorted_, &QAbstractItemModel::dataChanged, this, respan);

    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("totali"));
    profile_ = new SectionProfileView(this);

    auto* exportCsv = new QPushButton(QStringLiteral("Esporta in &CSV..."), this);
    exportCsv->setObjectName(QStringLiteral("esportacsv"));
    exportCsv->setToolTip(
        QStringLiteral("la tabella come foglio di calcolo (LibreOffice Calc, Excel)"));
    connect(exportCsv, &QPushButton::clicked, this, [this] {
        if (actions_.finishTyping) {
            actions_.finishTyping();
        }
        Sync();
        // The file of a project without links is the one of the single
        // sections, whatever the window shows.
        ExportSummaryCsv(
            SummarizeNetwork(state_.project, state_.settings, HasNetwork(state_.project),
                             HasNetwork(state_.project) ? &network_.Analysis() : nullptr),
            actions_.projectName(), dialogs_);
    });
    auto* saveChart = new QPushButton(QStringLiteral("Salva &grafico..."), this);
    saveChart->setObjectName(QStringLiteral("salvagrafico"));
    saveChart->setToolTip(QStringLiteral("il profilo del tronco scelto come immagine PNG"));
    connect(saveChart, &QPushButton::clicked, this, [this] { SaveChart(); });
    showNetwork_ = new QCheckBox(QStringLiteral("Mostra la &rete"), this);
    showNetwork_->setObjectName(QStringLiteral("mostrarete"));
    showNetwork_->setToolTip(QStringLiteral(
        "le colonne della rete: il tronco a monte di ogni tronco, l'erogazione ai nodi, le "
        "pressioni e le verifiche"));
    connect(showNetwork_, &QCheckBox::toggled, this, [this] { Sync(); });
    // An edit made here is taken back here: Ctrl+Z and Ctrl+Y as in the
    // working windows (a box being typed in keeps them for its own text).
    for (const bool undo : {true, false}) {
        auto* step = new QAction(this);
        step->setShortcuts(undo ? QKeySequence::Undo : QKeySequence::Redo);
        if (!undo) {
            step->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
        }
        step->setShortcutContext(Qt::WindowShortcut);
        connect(step, &QAction::triggered, this, [this, undo] {
            if (actions_.undo) {
                actions_.undo(undo);
            }
        });
        addAction(step);
    }
    auto* close = new QPushButton(QStringLiteral("C&hiudi"), this);
    close->setObjectName(QStringLiteral("chiudi"));
    connect(close, &QPushButton::clicked, this, &QWidget::hide);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table_);
    splitter->addWidget(profile_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exportCsv);
    buttons->addWidget(saveChart);
    buttons->addWidget(showNetwork_);
    AddNetworkCommandButtons(
        this, buttons, state_, dialogs_, [this] { SyncEverything(); }, actions_.projectName);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    networkValues_ = BuildNetworkValues();
    layout->addWidget(networkValues_);
    layout->addWidget(splitter, 1);
    layout->addWidget(totals_);
    layout->addWidget(new PipeControls(
        state_, dialogs_, [this] { return SelectedSection(); }, table_->selectionModel(),
        [this] { Sync(); }, actions_.projectName, this));
    layout->addLayout(buttons);
    resize(1040, 660);
    Sync();
}

QWidget* SummaryWindow::BuildNetworkValues() {
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("valoridellarete"));
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    struct Box {
        NetworkValue value;
        const char* name;
        const char* caption;
        const char* tooltip;
    };
    const Box boxes[] = {
        {NetworkValue::SourceHead, "sorgente", "Carico alla &sorgente (m s.l.m.):",
         "quota piezometrica della sorgente, per esempio il livello del serbatoio"},
        {NetworkValue::MinimumPressure, "pressionemin",
         "Pressione &minima ai nodi (m):", "vuoto: il valore dell'ufficio"},
        {NetworkValue::MaximumStaticPressure, "pressionemax",
         "Pressione s&tatica massima (m):", "vuoto: il valore dell'ufficio"},
    };
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        auto* label = new QLabel(QString::fromUtf8(boxes[i].caption), area);
        auto* box = new QLineEdit(area);
        box->setObjectName(QString::fromLatin1(boxes[i].name));
        box->setToolTip(QString::fromUtf8(boxes[i].tooltip));
        box->setMaximumWidth(110);
        label->setBuddy(box);
        const NetworkValue value = boxes[i].value;
        // Enter, or leaving the box, ends the typing.
        connect(box, &QLineEdit::editingFinished, this,
                [this, value, box] { TypeNetworkValue(value, box); });
        row->addWidget(label);
        row->addWidget(box);
        row->addSpacing(18);
        valueBoxes_[i] = box;
    }
    row->addStretch();
    area->hide();  // until the network is shown
    return area;
}

void SummaryWindow::TypeNetworkValue(NetworkValue value, QLineEdit* box) {
    const std::string text = box->text().toStdString();
    // Leaving a box as it came changes nothing: the office's limit shown
    // stays the office's.
    if (typingValue_ || text == network_.ValueText(value)) {
        return;
    }
    typingValue_ = true;
    FinishTypingElsewhere();
    network_.SetValue(value, text);
    typingValue_ = false;
    // A refused value never stays in the box.
    box->setText(QString::fromStdString(network_.ValueText(value)));
    box->setModified(false);
    SyncEverything();
}

void SummaryWindow::ShowNetworkValues() {
    const std::array<NetworkValue, 3> values = {NetworkValue::SourceHead,
                                                NetworkValue::MinimumPressure,
                                                NetworkValue::MaximumStaticPressure};
    for (std::size_t i = 0; i < values.size(); ++i) {
        QLineEdit* box = valueBoxes_[i];
        const QString text = QString::fromStdString(network_.ValueText(values[i]));
        // What the user is typing stays until the box is left.
        if (box->text() != text && !(box->hasFocus() && box->isModified())) {
            box->setText(text);
            box->setModified(false);
        }
    }
}

void SummaryWindow::FitNetworkColumns() {
    // Each column as wide as its heading's longer line or a figure of
    // thousands, the checks wide enough for two of them; the window as wide
    // as all of them, within the screen.
    QHeaderView* header = table_->horizontalHeader();
    const QFontMetrics metrics(header->font());
    const int figure = metrics.horizontalAdvance(QStringLiteral("00000,00"));
    int total = 0;
    for (int c = 0; c < model_->columnCount(); ++c) {
        int width = figure;
        const QString heading = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        for (const QString& line : heading.split(QLatin1Char('\n'))) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
        if (model_->Summary().columns[static_cast<std::size_t>(c)].value ==
            SummaryValue::NetworkChecks) {
            width =
                metrics.horizontalAdvance(QStringLiteral("pressione statica alta, velocità alta"));
        }
        width += 20;  // the cell's margins and the sort mark
        header->resizeSection(c, width);
        total += width;
    }
    const int available =
        screen() != nullptr ? screen()->availableGeometry().width() - 40 : total + 60;
    resize(std::max(width(), std::min(total + 60, available)), height());
}

void SummaryWindow::FinishTypingElsewhere() {
    // A number still being typed in the data window is judged first, so the
    // network's edit is a step of its own after it.
    if (actions_.finishTyping) {
        actions_.finishTyping();
    }
}

bool SummaryWindow::NetworkShown() const {
    return showNetwork_->isChecked();
}

void SummaryWindow::SyncEverything() {
    if (actions_.syncAll) {
        actions_.syncAll();
    } else {
        Sync();
    }
}

void SummaryWindow::Sync() {
    const int selected = SelectedSection();
    // A project with links always shows its network; one without shows it
    // when asked, so the first link can be typed.
    if (HasNetwork(state_.project) && !showNetwork_->isChecked()) {
        const QSignalBlocker block(showNetwork_);
        showNetwork_->setChecked(true);
    }
    showNetwork_->setEnabled(!HasNetwork(state_.project));
    const bool network = NetworkShown();
    const bool flipped = network != networkValues_->isVisibleTo(this);
    if (flipped) {
        // Two dozen columns do not share a window's width: with the network
        // each keeps a readable width and the table scrolls sideways.
        table_->horizontalHeader()->setSectionResizeMode(network ? QHeaderView::Interactive
                                                                 : QHeaderView::Stretch);
    }
    networkValues_->setVisible(network);
    if (network) {
        ShowNetworkValues();
    }
    model_->SetSummary(SummarizeNetwork(state_.project, state_.settings, network,
                                        network ? &network_.Analysis() : nullptr));
    if (flipped && network) {
        FitNetworkColumns();
    }
    totals_->setText(QString::fromStdString(model_->Summary().BottomLine(state_.settings)));
    if (selected != 0) {
        SelectSection(selected);
    }
    ShowProfile();
    if (auto* pipes = findChild<PipeControls*>()) {
        pipes->Sync();
    }
}

void SummaryWindow::SpanUnsizableRows() {
    table_->clearSpans();
    const auto& rows = model_->Summary().rows;
    for (int r = 0; r < sorted_->rowCount(); ++r) {
        const int source = sorted_->mapToSource(sorted_->index(r, 0)).row();
        if (source >= 0 && static_cast<std::size_t>(source) < rows.size() &&
            rows[static_cast<std::size_t>(source)].speed == SpeedCheck::Unsizable) {
            table_->setSpan(r, static_cast<int>(model_->Summary().ColumnOf(Field::dia)), 1,
                            UnsizableSpan(model_->Summary()));
        }
    }
}

int SummaryWindow::SelectedSection() const {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) {
        return 0;
    }
    const QModelIndex source = sorted_->mapToSource(current);
    return source.row() < model_->rowCount()
               ? model_->Summary().rows[static_cast<std::size_t>(source.row())].section
               : 0;
}

void SummaryWindow::SelectSection(int section) {
    const auto& rows = model_->Summary().rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].section == section) {
            // The column stays where the user was: a keyboard user goes on
            // typing in it.
            const int column = std::max(table_->currentIndex().column(), 0);
            const QModelIndex index =
                sorted_->mapFromSource(model_->index(static_cast<int>(i), column));
            if (index != table_->currentIndex()) {
                table_->setCurrentIndex(index);
            }
            return;
        }
    }
}

void SummaryWindow::ShowProfile() {
    const int section = SelectedSection();
    if (HasNetwork(state_.project)) {
        // A network is read along its paths: from the source to the node.
        const NetworkInput input =
            NetworkInputOf(state_.project, OfficeLimits(state_.settings), state_.catalogues.series);
        PathProfile path;
        if (section != 0) {
            path = PathProfileOf(input, AnalyseNetwork(input), section);
        } else {
            path.note =
                "Selezionare un nodo per vederne il profilo lungo il percorso dalla sorgente.";
        }
        profile_->SetPathProfile(path);
        return;
    }
    profile_->SetProfile(section != 0 ? ProfileOf(state_.project, section) : SectionProfile{});
}

void SummaryWindow::SaveChart() {
    const int section = SelectedSection();
    if (section == 0 || !profile_->HasChart()) {
        dialogs_.Inform(windowTitle().toStdString(),
                        profile_->Path()
                            ? "Scegliere nella tabella un nodo collegato alla sorgente per "
                              "salvarne il profilo lungo il percorso."
                            : "Scegliere nella tabella un tronco dimensionato per salvarne il "
                              "profilo.",
                        MessageIcon::Exclamation);
        return;
    }
    std::optional<std::string> chosen =
        dialogs_.ChooseFile({FileDialogRequest::Kind::Save,
                             "Salva grafico",
                             (profile_->Path() ? "profilo-percorso-nodo-" : "profilo-tronco-") +
                                 std::to_string(section) + ".png",
                             {{"Immagine PNG", "*.png"}},
                             0});
    if (!chosen) {
        return;
    }
    if (!chosen->ends_with(".png") && !chosen->ends_with(".PNG")) {
        *chosen += ".png";
    }
    const QImage image = profile_->Render(QSize(1200, 700));
    if (!image.save(QString::fromStdString(*chosen), "PNG")) {
        dialogs_.Inform(windowTitle().toStdString(),
                        "Impossibile salvare il grafico nel file \"" + *chosen +
                            "\": controllare la cartella e lo spazio libero.",
                        MessageIcon::Stop);
    }
}

}  // namespace acquenza::ui
