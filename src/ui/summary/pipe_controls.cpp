#include "ui/summary/pipe_controls.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/network_model.h"
#include "core/decimal_text.h"
#include "core/numbers.h"
#include "core/pipe_tables.h"
#include "core/project_network.h"

namespace acquenza::ui {

namespace {

const QString NoSeries = QStringLiteral("nessuna (diametri teorici)");
const QString ProjectSeries = QStringLiteral("quella del progetto");
const QString ChosenByDiameter = QStringLiteral("secondo il diametro");

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void ChoiceBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

PipeControls::PipeControls(ProgramState& state, Dialogs& dialogs, std::function<int()> selected,
                           QItemSelectionModel* selection, std::function<void()> changed,
                           std::function<std::string()> projectName, QWidget* parent)
    : QWidget(parent),
      state_(state),
      commands_(state, dialogs, state.catalogues),
      selected_(std::move(selected)),
      changed_(std::move(changed)),
      projectName_(std::move(projectName)) {
    setObjectName(QStringLiteral("tubazioni"));
    series_ = new ChoiceBox(this);
    series_->setObjectName(QStringLiteral("serie"));
    series_->setToolTip(QStringLiteral(
        "La serie delle tubazioni posate sui tronchi della rete: per ogni tronco la misura più "
        "piccola il cui diametro interno non è inferiore al diametro teorico"));
    formula_ = new ChoiceBox(this);
    formula_->setObjectName(QStringLiteral("formula"));
    formula_->addItems({QStringLiteral("formula del calcolo"),
                        QStringLiteral("Darcy-Weisbach / Colebrook-White")});
    formula_->setToolTip(QStringLiteral("Come si calcolano le perdite delle tubazioni posate"));
    section_ = new QLabel(this);
    sectionSeries_ = new ChoiceBox(this);
    sectionSeries_->setObjectName(QStringLiteral("serietronco"));
    size_ = new ChoiceBox(this);
    size_->setObjectName(QStringLiteral("misura"));
    for (ChoiceBox* box : {series_, formula_, sectionSeries_, size_}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    auto* bill = new QPushButton(QStringLiteral("Computo delle tubazioni..."), this);
    bill->setObjectName(QStringLiteral("computo"));

    laid_ = new QLabel(this);
    laid_->setObjectName(QStringLiteral("tubazioneposata"));
    // A long text is cut, never a reason for the window to widen.
    laid_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    sectionSeries_->setMinimumContentsLength(ProjectSeries.size());
    size_->setMinimumContentsLength(ChosenByDiameter.size());
    checks_ = new QLabel(this);
    checks_->setObjectName(QStringLiteral("verificapn"));
    checks_->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout;
    rows->addLayout(layout);
    auto* figures = new QHBoxLayout;
    figures->addWidget(section_);
    figures->addWidget(sectionSeries_);
    figures->addWidget(size_);
    figures->addWidget(laid_, 1);
    figures->addWidget(checks_);
    rows->addLayout(figures);
    layout->addWidget(new QLabel(QStringLiteral("Serie delle tubazioni:"), this));
    layout->addWidget(series_);
    layout->addWidget(new QLabel(QStringLiteral("Perdite:"), this));
    layout->addWidget(formula_);
    layout->addStretch(1);
    layout->addWidget(bill);

    // Only the user's own pick is an edit: `activated`, never a change made
    // by showing.
    for (ChoiceBox* box : {series_, formula_, sectionSeries_, size_}) {
        connect(box, &QComboBox::activated, this, [this, box] { Chosen(box); });
    }
    connect(bill, &QPushButton::clicked, this,
            [this] { commands_.ExportBill(projectName_ ? projectName_() : std::string()); });
    if (selection != nullptr) {
        connect(selection, &QItemSelectionModel::currentRowChanged, this, [this] { Sync(); });
    }
    Sync();
}

void PipeControls::Fill(QComboBox* box, const QStringList& items, const QString& current) {
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(items);
    int at = box->findText(current);
    if (at < 0) {
        // A name the catalogues no longer have is shown as it stands.
        box->addItem(current);
        at = box->count() - 1;
    }
    box->setCurrentIndex(at);
}

void PipeControls::Sync() {
    const Project& project = state_.project;
    QStringList names;
    for (const std::string& name : commands_.SeriesNames()) {
        names << Q(name);
    }
    // The office's series first: the one its projects usually lay.
    const QString proposed = Q(commands_.ProposedSeries());
    if (!proposed.isEmpty() && names.removeOne(proposed)) {
        names.prepend(proposed);
    }
    Fill(series_, QStringList{NoSeries} + names,
         project.network.series.empty() ? NoSeries : Q(project.network.series));
    {
        const QSignalBlocker quiet(formula_);
        formula_->setCurrentIndex(PipeFormulaOf(project.network) == LossFormula::DarcyWeisbach);
    }
    const int s = selected_ ? selected_() : 0;
    const bool linked = SectionTable::IsValidSection(s) && UpstreamOf(project.sections, s);
    section_->setText(linked ? QStringLiteral("Tronco n.%1:").arg(s) : QString());
    sectionSeries_->setVisible(linked);
    size_->setVisible(linked);
    ShowFigures(s);
    if (!linked) {
        return;
    }
    const std::string own = project.sections.Get(s, SeriesField).DisplayText();
    Fill(sectionSeries_, QStringList{ProjectSeries} + names, own.empty() ? ProjectSeries : Q(own));
    QStringList sizes{ChosenByDiameter};
    for (const std::string& label : commands_.SizeLabels(s)) {
        sizes << Q(label);
    }
    const std::string size = project.sections.Get(s, PipeSizeField).DisplayText();
    Fill(size_, sizes, size.empty() ? ChosenByDiameter : Q(size));
}

void PipeControls::ShowFigures(int section) {
    laid_->clear();
    laid_->setToolTip(QString());
    checks_->clear();
    checks_->setToolTip(QString());
    if (!PipesChosen(state_.project)) {
        return;
    }
    const std::span<const PipeSeries> catalogues = state_.catalogues.series;
    const NetworkInput input =
        NetworkInputOf(state_.project, OfficeLimits(state_.settings), catalogues);
    const NetworkResult result = AnalyseNetwork(input, BuildTree(input), &memo_);
    for (const PipeRow& row : PipeRowsOf(state_.project, catalogues, result)) {
        if (row.section != section) {
            continue;
        }
        std::string text = "Teorico " +
                           (row.theoreticalMm ? DecimalText(*row.theoreticalMm, 1) + " mm"
                                              : std::string("non calcolato")) +
                           "; posata: " + row.pipeText;
        if (row.state == PipeState::Laid && row.hasLoss) {
            text += "; perdita " + DecimalText(row.headLoss, 2) + " m; velocità " +
                    DecimalText(row.velocityStart, 2) + " / " + DecimalText(row.velocityEnd, 2) +
                    " m/s";
        }
        laid_->setText(Q(text));
        laid_->setToolTip(Q(text));
    }
    const std::vector<NetworkCheck> checks = PipeChecksOf(state_.project, catalogues, result);
    if (!checks.empty()) {
        checks_->setText(QStringLiteral("Tubazioni da verificare: %1").arg(checks.size()));
        QString all;
        for (const NetworkCheck& check : checks) {
            all += (all.isEmpty() ? QString() : QStringLiteral("\n")) + Q(check.text);
        }
        checks_->setToolTip(all);
    }
}

void PipeControls::Chosen(QComboBox* from) {
    const auto text = [](QComboBox* box, const QString& none) {
        return box->currentText() == none ? std::string() : box->currentText().toStdString();
    };
    const int s = selected_ ? selected_() : 0;
    if (from == series_) {
        commands_.SetProjectSeries(text(series_, NoSeries));
    } else if (from == formula_) {
        commands_.SetFormula(formula_->currentIndex() == 1 ? LossFormula::DarcyWeisbach
                                                           : LossFormula::Coefficient);
    } else if (from == sectionSeries_) {
        commands_.SetSectionSeries(s, text(sectionSeries_, ProjectSeries));
    } else if (from == size_) {
        commands_.SetSectionSize(s, text(size_, ChosenByDiameter));
    }
    // A refused choice shows the project as it stayed.
    Sync();
    if (changed_) {
        changed_();
    }
}

}  // namespace acquenza::ui
