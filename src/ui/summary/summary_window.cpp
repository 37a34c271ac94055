#include "ui/summary/summary_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "archive/project_file.h"
#include "ui/summary/pipe_controls.h"
#include "ui/summary/section_profile_view.h"

namespace acquenza::ui {

namespace {

const QColor BelowColour(255, 236, 170);  // too slow: deposits
const QColor AboveColour(255, 190, 190);  // too fast: noise, wear, water hammer
const QColor NotSizedColour(225, 225, 225);
const QColor UnsizableColour(255, 214, 214);  // complete data that cannot be sized

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
    // A keystroke changes one section: only its row is announced, so the
    // view and the sorting touch nothing else.
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
    for (const int row : changed) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
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
    : QWidget(nullptr, Qt::Window), state_(state), dialogs_(dialogs), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("riepilogo"));
    setWindowTitle(QStringLiteral("Riepilogo della rete"));

    model_ = new SummaryTableModel(this);
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
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
        ExportSummaryCsv(model_->Summary(), actions_.projectName(), dialogs_);
    });
    auto* saveChart = new QPushButton(QStringLiteral("Salva &grafico..."), this);
    saveChart->setObjectName(QStringLiteral("salvagrafico"));
    saveChart->setToolTip(QStringLiteral("il profilo del tronco scelto come immagine PNG"));
    connect(saveChart, &QPushButton::clicked, this, [this] { SaveChart(); });
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
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(totals_);
    layout->addWidget(new PipeControls(
        state_, dialogs_, [this] { return SelectedSection(); }, table_->selectionModel(),
        [this] { Sync(); }, actions_.projectName, this));
    layout->addLayout(buttons);
    resize(1040, 660);
    Sync();
}

void SummaryWindow::Sync() {
    const int selected = SelectedSection();
    model_->SetSummary(SummarizeNetwork(state_.project, state_.settings));
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
            const QModelIndex index = sorted_->mapFromSource(model_->index(static_cast<int>(i), 0));
            table_->setCurrentIndex(index);
            return;
        }
    }
}

void SummaryWindow::ShowProfile() {
    const int section = SelectedSection();
    profile_->SetProfile(section != 0 ? ProfileOf(state_.project, section) : SectionProfile{});
}

void SummaryWindow::SaveChart() {
    const int section = SelectedSection();
    if (section == 0 || !profile_->Profile().sized) {
        dialogs_.Inform(windowTitle().toStdString(),
                        "Scegliere nella tabella un tronco dimensionato per salvarne il profilo.",
                        MessageIcon::Exclamation);
        return;
    }
    std::optional<std::string> chosen =
        dialogs_.ChooseFile({FileDialogRequest::Kind::Save,
                             "Salva grafico",
                             "profilo-tronco-" + std::to_string(section) + ".png",
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
