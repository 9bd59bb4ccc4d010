#pragma once
// The table page: the database's user tables divided between an Exclude
// list (left) and an Include list (right); the Include list is what the
// fields page loads.
#include <QPointer>
#include <vector>

#include "core/table_choice.h"
#include "wizard/form.h"

class QLabel;
class QListWidget;

namespace rw::wizard {

class FrmAddInMain;
class FrmProject;
class FrmConnection;

class FrmChooseTables final : public WizardPage {
    Q_OBJECT

public:
    explicit FrmChooseTables(Wizard& wizard);

    // Lists the user tables of the wizard connection and shows the page.
    // False when the page was not shown (its error has been shown, or the
    // catalogue was cancelled); the page is then unloaded.
    bool display(FrmAddInMain& vfrmMain, FrmProject& vfrmProject, FrmConnection& vfrmConnection);

    // The Include list's entries, in order.
    std::vector<std::string> chosenTables() const { return logic_.chosenTables(); }

    QPointer<FrmAddInMain> vfrmMain;
    QPointer<FrmProject> vfrmProject;
    QPointer<FrmConnection> vfrmConnection;

    QLabel* Label2 = nullptr;
    QListWidget* lstNo = nullptr;
    QListWidget* lstYes = nullptr;
    QPushButton* cmdInclude = nullptr;
    QPushButton* cmdDontInclude = nullptr;
    QPushButton* cmdIncludeAll = nullptr;
    QPushButton* cmdDontIncludeAll = nullptr;

protected:
    void formActivate() override;

private:
    // The lists' selections into the logic, and the logic's lists back.
    void takeSelection();
    void showLists();
    void move(void (TablePage::*how)(Ui&));
    void cmdNext_Click();
    void cmdBack_Click();

    TablePage logic_;
};

}  // namespace rw::wizard
