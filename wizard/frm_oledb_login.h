#pragma once
// The OLE DB connection builder: a connection string for one of five
// providers or for a registered ODBC driver, built from a few values, tested
// on request, and handed back to the connection page.
#include "core/oledb_builder.h"
#include "wizard/form.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace rw::wizard {

class FrmOLEDBLogin final : public WizardForm {
    Q_OBJECT

public:
    // Loading the dialog fills its two lists.
    FrmOLEDBLogin(Wizard& wizard, QWidget* owner);

    // Shows the dialog modally; the built string, or empty unless OK built one.
    std::string display();

    QComboBox* cboProviders = nullptr;
    QGroupBox* fraStep3 = nullptr;
    QLabel* lblServer = nullptr;
    QLineEdit* txtServer = nullptr;
    QLabel* lblPort = nullptr;
    QLineEdit* txtPort = nullptr;
    QLabel* lblDB = nullptr;
    QLineEdit* txtDatabase = nullptr;
    QPushButton* cmdDB = nullptr;
    QLabel* lblDSN = nullptr;
    QComboBox* cboDSNList = nullptr;
    QLabel* lblUID = nullptr;
    QLineEdit* txtUID = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* txtPWD = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void userClose() override { cmdCancel_Click(); }
    bool deleteOnUnload() const override { return false; }

private:
    void GetDSNsAndProviders();
    void cboProviders_Click();
    void applyProviderFields();
    void takeTexts();
    void cmdDB_Click();
    void cmdOK_Click();
    void cmdTest_Click();
    void cmdCancel_Click();

    OleDbBuilder builder_;
};

}  // namespace rw::wizard
