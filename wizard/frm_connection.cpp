#include "wizard/frm_connection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_login.h"
#include "wizard/frm_oledb_login.h"
#include "wizard/frm_project.h"

namespace rw::wizard {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

FrmConnection::FrmConnection(Wizard& wizard) : WizardPage(wizard, "frmConnection", 3) {
    txtInstructions = named(new QPlainTextEdit(this), "txtInstructions");
    txtInstructions->setReadOnly(true);
    txtInstructions->setFocusPolicy(Qt::NoFocus);
    txtInstructions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtInstructions->setFixedHeight(txtInstructions->fontMetrics().lineSpacing() * 6 + 12);
    setWindowTitle(qs(ConnectionPage::caption()));
    body()->addWidget(txtInstructions);

    optDSN = named(new QRadioButton(QStringLiteral("Use ODBC DSN Connection"), this), "optDSN");
    optDSNLess = named(new QRadioButton(QStringLiteral("Use DSN-less or OLE DB Connection"), this), "optDSNLess");
    auto* group = new QButtonGroup(this);
    group->addButton(optDSN);
    group->addButton(optDSNLess);

    txtDSN = named(new QLineEdit(this), "txtDSN");
    cmdDSN = named(new QPushButton(QStringLiteral("..."), this), "cmdDSN");
    txtConnString = named(new QLineEdit(this), "txtConnString");
    cmdOLEDB = named(new QPushButton(QStringLiteral("..."), this), "cmdOLEDB");
    for (QPushButton* b : {cmdDSN, cmdOLEDB}) {
        b->setAutoDefault(false);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(optDSN, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Choose your DSN:"), this), 1, 0, 1, 3);
    auto* dsnLabel = new QLabel(QStringLiteral("&DSN:"), this);
    dsnLabel->setBuddy(txtDSN);
    grid->addWidget(dsnLabel, 2, 0);
    grid->addWidget(txtDSN, 2, 1);
    grid->addWidget(cmdDSN, 2, 2);
    grid->setRowMinimumHeight(3, 12);
    grid->addWidget(optDSNLess, 4, 0, 1, 3);
    auto* stringLabel = new QLabel(QStringLiteral("Enter your complete &Connection String for DSN-less connection..."), this);
    stringLabel->setBuddy(txtConnString);
    grid->addWidget(stringLabel, 5, 0, 1, 3);
    grid->addWidget(txtConnString, 6, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("...or choose an OLE DB Provider:"), this), 7, 0, 1, 2,
                    Qt::AlignRight);
    grid->addWidget(cmdOLEDB, 7, 2);
    grid->setColumnStretch(1, 1);
    body()->addLayout(grid);
    body()->addStretch(1);

    optDSN->setChecked(true);
    applyOptionRules();
    connect(optDSN, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            logic_.chooseDSN();
            applyOptionRules();
        }
    });
    connect(optDSNLess, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            logic_.chooseDSNLess();
            applyOptionRules();
        }
    });
    cmdNext->setDefault(true);
    connect(cmdNext, &QPushButton::clicked, this, &FrmConnection::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &FrmConnection::cmdBack_Click);
    connect(cmdDSN, &QPushButton::clicked, this, &FrmConnection::cmdDSN_Click);
    connect(cmdOLEDB, &QPushButton::clicked, this, &FrmConnection::cmdOLEDB_Click);
    // Tab goes down the page: each option, then the controls under it.
    setTabOrder(optDSN, txtDSN);
    setTabOrder(txtDSN, cmdDSN);
    // The last run's choice and texts (never a password) replace the
    // page's first values.
    const RememberedChoices last = wizard.remembered();
    txtDSN->setText(qs(last.dsn));
    txtConnString->setText(qs(last.connectionString));
    if (last.connection == "string") optDSNLess->setChecked(true);

    resize(620, 420);
}

void FrmConnection::applyOptionRules() {
    const ConnectionPage::Controls c = logic_.controls();
    txtDSN->setEnabled(c.txtDSN);
    cmdDSN->setEnabled(c.cmdDSN);
    txtConnString->setEnabled(c.txtConnString);
    cmdOLEDB->setEnabled(c.cmdOLEDB);
}

void FrmConnection::takeTexts() {
    logic_.txtDSN = ss(txtDSN->text());
    logic_.txtConnString = ss(txtConnString->text());
}

ConnectionPageValues FrmConnection::values() const {
    return {optDSN->isChecked(), optDSNLess->isChecked(), ss(txtConnString->text())};
}

bool FrmConnection::display(FrmAddInMain& main, FrmProject& project) {
    return handler("Display", [&] {
        vfrmMain = &main;
        vfrmProject = &project;
        txtInstructions->setPlainText(qs(ConnectionPage::instructions()));
        showInPlaceOf(&project);
    });
}

void FrmConnection::formActivate() {
    handler("Form_Activate", [&] { setWindowTitle(qs(ConnectionPage::caption())); });
}

void FrmConnection::formUnload() {
    // Closing a connection that was never opened fails silently.
    try {
        logic_.unload();
    } catch (...) {
    }
}

void FrmConnection::cmdDSN_Click() {
    // The data source dialog fails silently, whatever goes wrong.
    try {
        takeTexts();
        logic_.chooseDataSource(wizard().services().data, ui());
    } catch (...) {
    }
    txtDSN->setText(qs(logic_.txtDSN));
}

void FrmConnection::cmdOLEDB_Click() {
    takeTexts();
    logic_.buildConnectionString(ui(), [&] {
        // A fresh builder for each use, so its lists are read afresh.
        FrmOLEDBLogin builder(wizard(), this);
        return builder.display();
    });
    txtConnString->setText(qs(logic_.txtConnString));
}

void FrmConnection::cmdNext_Click() {
    handler("cmdNext_Click", [&] {
        takeTexts();
        const LoginDialog login = [&](const std::string& dsn, std::string& user, std::string& password) {
            FrmLogin dialog(wizard(), this);
            return dialog.display(dsn, user, password);
        };
        if (!logic_.next(wizard().services().data, ui(), login)) return;
        wizard().remember([&](RememberedChoices& r) {
            r.connection = optDSNLess->isChecked() ? "string" : "dsn";
            r.dsn = ss(txtDSN->text());
            r.connectionString = ss(txtConnString->text());
        });
        if (!vfrmMain || !vfrmProject) return;
        hide();
        // When the table page cannot be shown (its error has been shown,
        // or the catalogue was cancelled), this page comes back rather than
        // leaving the wizard with no window.
        if (!wizard().frmChooseTables().display(*vfrmMain, *vfrmProject, *this)) showInPlaceOf(this);
    });
}

void FrmConnection::cmdBack_Click() {
    handler("cmdBack_Click", [&] {
        if (vfrmProject) vfrmProject->showInPlaceOf(this);
        unload();
    });
}

}  // namespace rw::wizard
