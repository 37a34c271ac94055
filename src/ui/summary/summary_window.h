#pragma once
// "Riepilogo della rete": every entered section in one table that follows
// the data window live, velocities checked against the office's band, the
// profile of the selected section, and the exports. With the network shown,
// the links and the nodes' deliveries are typed in the table, the source's
// head and the limits above it, and the network's checks are marked.

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <functional>

#include "app/dialogs.h"
#include "app/network_model.h"
#include "app/network_summary.h"
#include "app/program_state.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace acquenza::ui {

class SectionProfileView;

class SummaryTableModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;
    // A typed link or delivery: the section, the column's value, the text.
    using Edit = std::function<void(int, SummaryValue, const std::string&)>;
    void SetEdit(Edit edit) { edit_ = std::move(edit); }

    // True when the rows were replaced as a whole (their number changed).
    bool SetSummary(NetworkSummary summary);
    const NetworkSummary& Summary() const { return summary_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    QVariant NetworkColour(const SummaryRow& row, SummaryValue value) const;

    NetworkSummary summary_;
    Edit edit_;
    bool editing_ = false;  // a message of the edit takes the editor's focus
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
        // Shows every window again after an edit made here.
        std::function<void()> syncAll;
        // Undoes (true) or redoes (false) the project's last step, as the
        // working windows' Ctrl+Z and Ctrl+Y do.
        std::function<void(bool)> undo;
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
    QWidget* BuildNetworkValues();
    void TypeNetworkValue(NetworkValue value, QLineEdit* box);
    void ShowNetworkValues();
    void SyncEverything();
    void FinishTypingElsewhere();
    void FitNetworkColumns();
    bool NetworkShown() const;

    ProgramState& state_;
    Dialogs& dialogs_;
    Actions actions_;
    SummaryTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* totals_ = nullptr;
    SectionProfileView* profile_ = nullptr;
    NetworkModel network_;
    QWidget* networkValues_ = nullptr;
    QCheckBox* showNetwork_ = nullptr;
    std::array<QLineEdit*, 3> valueBoxes_{};
    bool typingValue_ = false;
};

}  // namespace acquenza::ui
