#pragma once
// The fields page: one row per column of every chosen table, with the
// "Primary" and "Auto" marks the user corrects before Finish runs the
// generation.
#include <QAbstractTableModel>
#include <QPointer>

#include "core/field_loader.h"
#include "model/settings.h"
#include "wizard/form.h"

class QAction;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace rw::wizard {

class FrmAddInMain;
class FrmProject;
class FrmConnection;
class FrmChooseTables;

// The grid's view of the field rows: Table, Field and the two check boxes.
// "DataType" and "Nullable" are carried for the generators and not shown.
class FieldGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit FieldGridModel(FieldGrid& grid, QObject* parent = nullptr) : QAbstractTableModel(parent), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The rows changed underneath.
    void reload();
    void rowChanged(int row);
    void marksChanged();

private:
    FieldGrid& grid_;
};

class FrmFields final : public WizardPage {
    Q_OBJECT

public:
    explicit FrmFields(Wizard& wizard);
    ~FrmFields() override;

    // Fills the generation settings from the earlier pages, loads the field
    // rows of the chosen tables and shows the page. Many tables load under
    // a progress dialog whose Cancel puts every row back. False when an
    // error was shown or the loading was cancelled; the page is then
    // unloaded and the table page stays as it was.
    bool display(FrmChooseTables& vfrmChooseTables, FrmAddInMain& vfrmMain, FrmProject& vfrmProject,
                 FrmConnection& vfrmConnection);

    const GenerationSettings& settings() const { return settings_; }
    const FieldGrid& fieldRows() const { return logic_.grdFields; }

    QPointer<FrmChooseTables> vfrmChooseTables;
    QPointer<FrmAddInMain> vfrmMain;
    QPointer<FrmProject> vfrmProject;
    QPointer<FrmConnection> vfrmConnection;

    QTableView* grdFields = nullptr;
    QPlainTextEdit* txtInstructions = nullptr;
    QPushButton* cmdDetectKeys = nullptr;
    // The grid's context menu, for the selected rows, with the click rule.
    QAction* mnuPrimaryOn = nullptr;
    QAction* mnuPrimaryOff = nullptr;
    QAction* mnuAutoOn = nullptr;
    QAction* mnuAutoOff = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void grdFields_Click(const QModelIndex& index);
    void cmdDetectKeys_Click();
    // The selected rows, in grid order.
    std::vector<std::size_t> selectedRows() const;
    void markSelection(int column, bool on);
    void cmdBack_Click();
    void cmdFinish_Click();
    // The answers file of this run, for the report window's "Save Answers...".
    std::string answersText() const;

    GenerationSettings settings_;
    FieldsPage logic_;
    FieldGridModel* model_ = nullptr;
};

}  // namespace rw::wizard
