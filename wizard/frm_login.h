#pragma once
// The login dialog for a data source: a user name and a password.
#include "wizard/form.h"

class QLineEdit;

namespace rw::wizard {

class FrmLogin final : public WizardForm {
    Q_OBJECT

public:
    FrmLogin(Wizard& wizard, QWidget* owner);

    // Shows the dialog modally, captioned with the data source's name; on
    // OK writes the user name and password and returns true.
    bool display(const std::string& vsDSN, std::string& rsUserName, std::string& rsPassword);

    bool mbOK = false;
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void userClose() override { cmdCancel_Click(); }
    bool deleteOnUnload() const override { return false; }

private:
    void cmdOK_Click();
    void cmdCancel_Click();

    std::string userName_;
    std::string password_;
};

}  // namespace rw::wizard
