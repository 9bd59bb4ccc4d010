#pragma once
// The project page: where the generated files go (the loaded project, a new
// project file of one of three kinds, or an existing project file) and the
// store folder they are written to.
#include <QPointer>
#include <string>

#include "model/settings.h"
#include "wizard/form.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace rw::wizard {

class FrmAddInMain;

class FrmProject final : public WizardPage {
    Q_OBJECT

public:
    explicit FrmProject(Wizard& wizard);

    // Remembers the welcome page, lists the loaded projects and shows the
    // page; false when an error kept it from being shown.
    bool display(FrmAddInMain& vfrmMain);

    // What the fields page and the run read.
    ProjectPageValues values() const;

    // Set on Next.
    std::string msStoreDir;
    std::string msProject;
    ide::Project* mvbpProject = nullptr;
    QPointer<FrmAddInMain> vfrmMain;

    QLabel* Label6 = nullptr;
    QRadioButton* optLoaded = nullptr;
    QComboBox* cboLoadedProject = nullptr;
    QRadioButton* optNew = nullptr;
    QGroupBox* fraNew = nullptr;
    QRadioButton* optProjectStdExe = nullptr;
    QRadioButton* optProjectActiveXExe = nullptr;
    QRadioButton* optProjectActiveXDLL = nullptr;
    QLineEdit* txtProjName = nullptr;
    QLineEdit* txtNewStoreDir = nullptr;
    QPushButton* cmdNewStore = nullptr;
    QRadioButton* optProjectExisting = nullptr;
    QGroupBox* fraExisting = nullptr;
    QLineEdit* txtExistProject = nullptr;
    QPushButton* cmdProject = nullptr;
    QLineEdit* txtExistStoreDir = nullptr;
    QPushButton* cmdExistStore = nullptr;

    static std::string notChosenMessage(const std::string& what);

protected:
    void formActivate() override;
    void formUnload() override;

private:
    void applyOptionRules();
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdProject_Click();
    void chooseFolder(const char* operation, QLineEdit* target);
    // Step 4 of Next for the new and existing targets: the folder and
    // project checks and the store folder's creation. True when the wizard
    // goes on.
    bool checkStore(const std::string& folder, const std::string& project);
    void goOn();
};

}  // namespace rw::wizard
