#pragma once
// "Riepilogo della rete": every entered section in one table that follows
// the data window live, velocities checked against the office's band, the
// profile of the selected section, and the exports.

#include <QAbstractTableModel>
#include <QWidget>
#include <functional>

#include "app/dialogs.h"
#include "app/network_summary.h"
#include "app/program_state.h"

class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace acquenza::ui {

class SectionProfileView;

class SummaryTableModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // True when the rows were replaced as a whole (their number changed).
    bool SetSummary(NetworkSummary summary);
    const NetworkSummary& Summary() const { return summary_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    NetworkSummary summary_;
};

class SummaryWindow : public QWidget {
    Q_OBJECT
  public:
    struct Actions {
        // Moves the data window to a section, with the focus there.
        std::function<void(int)> goToSection;
        // The title page's project, for the exported file's name.
        std::function<std::string()> projectName;
        // Judges a number still being typed in the data window, so what is
        // exported is what the user will keep.
        std::function<void()> finishTyping;
    };
    SummaryWindow(ProgramState& state, Dialogs& dialogs, Actions actions);

    // Reads the project again: the table follows every edit.
    void Sync();
    int SelectedSection() const;
    void SelectSection(int section);

  private:
    void ShowProfile();
    void SaveChart();
    // A section that cannot be sized shows its mark across the result
    // columns, wherever the sorting puts its row.
    void SpanUnsizableRows();

    ProgramState& state_;
    Dialogs& dialogs_;
    Actions actions_;
    SummaryTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* totals_ = nullptr;
    SectionProfileView* profile_ = nullptr;
};

}  // namespace acquenza::ui
