#pragma once
// The connection page: an ODBC data source or a connection string (typed
// or built with the OLE DB builder), opened on Next as the wizard
// connection that the later pages and the generators use.
#include <QPointer>

#include "core/connection_page.h"
#include "wizard/form.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace rw::wizard {

class FrmAddInMain;
class FrmProject;

class FrmConnection final : public WizardPage {
    Q_OBJECT

public:
    explicit FrmConnection(Wizard& wizard);

    // Remembers the two pages, fills the instructions and shows the page;
    // false when an error kept it from being shown.
    bool display(FrmAddInMain& vfrmMain, FrmProject& vfrmProject);

    // The wizard connection; null until Next has opened it.
    DataConnection* moConn() const { return logic_.moConn.get(); }
    // The options and the connection string, as the generators read them.
    ConnectionPageValues values() const;
    // The data source login known to the page.
    const std::string& userName() const { return logic_.msUserName; }

    QPointer<FrmAddInMain> vfrmMain;
    QPointer<FrmProject> vfrmProject;

    QRadioButton* optDSN = nullptr;
    QRadioButton* optDSNLess = nullptr;
    QLineEdit* txtDSN = nullptr;
    QPushButton* cmdDSN = nullptr;
    QLineEdit* txtConnString = nullptr;
    QPushButton* cmdOLEDB = nullptr;
    QPlainTextEdit* txtInstructions = nullptr;

protected:
    void formActivate() override;
    void formUnload() override;

private:
    void applyOptionRules();
    void takeTexts();
    void cmdDSN_Click();
    void cmdOLEDB_Click();
    void cmdNext_Click();
    void cmdBack_Click();

    ConnectionPage logic_;
};

}  // namespace rw::wizard
