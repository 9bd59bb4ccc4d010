#include "wizard/frm_login.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/connection_page.h"

namespace rw::wizard {

FrmLogin::FrmLogin(Wizard& wizard, QWidget* owner) : WizardForm(wizard, "frmLogin", owner) {
    setWindowTitle(QStringLiteral("Login"));
    setModal(true);

    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    // Every character typed shows as "*".
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    auto* userLabel = new QLabel(QStringLiteral("&User Name:"), this);
    userLabel->setBuddy(txtUserName);
    auto* passwordLabel = new QLabel(QStringLiteral("&Password:"), this);
    passwordLabel->setBuddy(txtPassword);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(txtUserName, 0, 1);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addWidget(txtPassword, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(cmdOK, &QPushButton::clicked, this, &FrmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmLogin::cmdCancel_Click);
    resize(340, sizeHint().height());
}

bool FrmLogin::display(const std::string& vsDSN, std::string& rsUserName, std::string& rsPassword) {
    setWindowTitle(qs(loginCaption(vsDSN)));
    txtUserName->clear();
    txtPassword->clear();
    exec();
    if (mbOK) {
        rsUserName = userName_;
        rsPassword = password_;
    }
    return mbOK;
}

void FrmLogin::cmdOK_Click() {
    handler("cmdOK_Click", [&] {
        userName_ = ss(txtUserName->text());
        password_ = ss(txtPassword->text());
        mbOK = true;
        unload();
    });
}

void FrmLogin::cmdCancel_Click() {
    handler("cmdCancel_Click", [&] {
        mbOK = false;
        unload();
    });
}

}  // namespace rw::wizard
