#include "wizard/frm_oledb_login.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rw::wizard {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

FrmOLEDBLogin::FrmOLEDBLogin(Wizard& wizard, QWidget* owner) : WizardForm(wizard, "frmOLEDBLogin", owner) {
    setWindowTitle(qs(OleDbBuilder::caption()));
    setModal(true);

    cboProviders = named(new QComboBox(this), "cboProviders");
    auto* providerLabel = new QLabel(QStringLiteral("Choose OLE DB &Provider:"), this);
    providerLabel->setBuddy(cboProviders);

    fraStep3 = named(new QGroupBox(QStringLiteral("Connection Values"), this), "fraStep3");
    txtServer = named(new QLineEdit(fraStep3), "txtServer");
    lblServer = named(new QLabel(QStringLiteral("&Server:"), fraStep3), "lblServer");
    txtPort = named(new QLineEdit(fraStep3), "txtPort");
    lblPort = named(new QLabel(QStringLiteral("P&ort:"), fraStep3), "lblPort");
    txtDatabase = named(new QLineEdit(fraStep3), "txtDatabase");
    lblDB = named(new QLabel(QStringLiteral("Data&base:"), fraStep3), "lblDB");
    cmdDB = named(new QPushButton(QStringLiteral("..."), fraStep3), "cmdDB");
    cmdDB->setAutoDefault(false);
    cmdDB->setFixedWidth(cmdDB->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    cboDSNList = named(new QComboBox(fraStep3), "cboDSNList");
    cboDSNList->setEditable(true);
    cboDSNList->setInsertPolicy(QComboBox::NoInsert);
    lblDSN = named(new QLabel(QStringLiteral("&DSN:"), fraStep3), "lblDSN");
    txtUID = named(new QLineEdit(fraStep3), "txtUID");
    lblUID = named(new QLabel(QStringLiteral("&User ID:"), fraStep3), "lblUID");
    txtPWD = named(new QLineEdit(fraStep3), "txtPWD");  // shown unmasked
    lblPassword = named(new QLabel(QStringLiteral("Pass&word:"), fraStep3), "lblPassword");
    lblServer->setBuddy(txtServer);
    lblPort->setBuddy(txtPort);
    lblDB->setBuddy(txtDatabase);
    lblDSN->setBuddy(cboDSNList);
    lblUID->setBuddy(txtUID);
    lblPassword->setBuddy(txtPWD);

    auto* values = new QGridLayout(fraStep3);
    int row = 0;
    auto addRow = [&](QLabel* label, QWidget* field, QWidget* button = nullptr) {
        values->addWidget(label, row, 0);
        values->addWidget(field, row, 1, 1, button != nullptr ? 1 : 2);
        if (button != nullptr) values->addWidget(button, row, 2);
        ++row;
    };
    addRow(lblServer, txtServer);
    addRow(lblPort, txtPort);
    addRow(lblDB, txtDatabase, cmdDB);
    addRow(lblDSN, cboDSNList);
    addRow(lblUID, txtUID);
    addRow(lblPassword, txtPWD);
    values->setColumnStretch(1, 1);

    cmdTest = named(new QPushButton(QStringLiteral("Test Connection"), this), "cmdTest");
    cmdTest->setAutoDefault(false);
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    cmdCancel->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(providerLabel);
    layout->addWidget(cboProviders);
    layout->addWidget(fraStep3);
    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTest);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    GetDSNsAndProviders();

    connect(cboProviders, &QComboBox::currentTextChanged, this, &FrmOLEDBLogin::cboProviders_Click);
    connect(cboDSNList, &QComboBox::activated, this, [this](int index) { builder_.selectDataSource(index); });
    connect(cboDSNList->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { builder_.typeDataSource(ss(text)); });
    connect(cmdDB, &QPushButton::clicked, this, &FrmOLEDBLogin::cmdDB_Click);
    connect(cmdTest, &QPushButton::clicked, this, &FrmOLEDBLogin::cmdTest_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FrmOLEDBLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmOLEDBLogin::cmdCancel_Click);
    resize(480, sizeHint().height());
}

void FrmOLEDBLogin::GetDSNsAndProviders() {
    // The builder shows its own errors under this operation's name.
    builder_.getDSNsAndProviders(wizard().services().data, ui());
    const QSignalBlocker blockProviders(cboProviders);
    const QSignalBlocker blockList(cboDSNList);
    for (const std::string& name : builder_.cboDSNList) cboDSNList->addItem(qs(name));
    cboDSNList->setCurrentIndex(-1);
    cboDSNList->setEditText(QString());
    for (const std::string& name : builder_.cboProviders) cboProviders->addItem(qs(name));
    cboProviders->setCurrentIndex(-1);
    applyProviderFields();
}

void FrmOLEDBLogin::cboProviders_Click() {
    handler("cboProviders_Click", [&] {
        builder_.chooseProvider(ss(cboProviders->currentText()));
        applyProviderFields();
    });
}

void FrmOLEDBLogin::applyProviderFields() {
    lblServer->setVisible(builder_.serverShown);
    txtServer->setVisible(builder_.serverShown);
    lblPort->setVisible(builder_.portShown);
    txtPort->setVisible(builder_.portShown);
    lblDB->setVisible(builder_.databaseShown);
    txtDatabase->setVisible(builder_.databaseShown);
    cmdDB->setVisible(builder_.databaseButtonShown);
    lblDSN->setVisible(builder_.dsnListShown);
    cboDSNList->setVisible(builder_.dsnListShown);
    lblUID->setVisible(builder_.loginShown);
    txtUID->setVisible(builder_.loginShown);
    lblPassword->setVisible(builder_.loginShown);
    txtPWD->setVisible(builder_.loginShown);
}

void FrmOLEDBLogin::takeTexts() {
    builder_.cboProvidersText = ss(cboProviders->currentText());
    builder_.txtServer = ss(txtServer->text());
    builder_.txtPort = ss(txtPort->text());
    builder_.txtDatabase = ss(txtDatabase->text());
    builder_.txtUID = ss(txtUID->text());
    builder_.txtPWD = ss(txtPWD->text());
}

std::string FrmOLEDBLogin::display() {
    handler("Display", [&] {
        setWindowTitle(qs(OleDbBuilder::caption()));
        exec();
    });
    return builder_.result();
}

void FrmOLEDBLogin::cmdDB_Click() {
    std::optional<std::string> chosen;
    takeTexts();
    if (!handler("cmdDB_Click", [&] {
            chosen = ui().openFile(this, builder_.databaseFileFilter(), wizard().dialogFolder(""));
            if (chosen) wizard().folderUsed(*chosen, true);
        }))
        return;
    builder_.chooseDatabaseFile(ui(), chosen);
    txtDatabase->setText(qs(builder_.txtDatabase));
}

void FrmOLEDBLogin::cmdOK_Click() {
    takeTexts();
    if (builder_.ok(ui())) unload();
}

void FrmOLEDBLogin::cmdTest_Click() {
    takeTexts();
    builder_.test(wizard().services().data, ui());
}

void FrmOLEDBLogin::cmdCancel_Click() {
    handler("cmdCancel_Click", [&] { unload(); });
}

}  // namespace rw::wizard
