#include "wizard/qt_ui.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include "core/connection_page.h"
#include "platform/connection_strings.h"
#include "platform/file_system.h"
#include "platform/runtime_error.h"

namespace rw::wizard {

namespace {

QString displayed(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// The message box's own answer values.
enum : int { kAnswerAbort = 3, kAnswerRetry = 4, kAnswerIgnore = 5 };

QWidget* ownerWindow(QWidget* owner) {
    if (owner != nullptr) return owner->window();
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parseDialogFilter(const std::string& filter) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = filter.find('|', start);
        pieces.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) pairs.emplace_back(pieces[i], pieces[i + 1]);
    return pairs;
}

QString qtDialogFilter(const std::string& filter) {
    QStringList parts;
    for (const auto& [description, pattern] : parseDialogFilter(filter)) {
        QString patterns = QString::fromStdString(pattern);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString entry = QString::fromStdString(description);
        // Qt takes the patterns from the parentheses of the description.
        if (!entry.contains(QLatin1Char('('))) entry += QStringLiteral(" (") + patterns + QLatin1Char(')');
        parts << entry;
    }
    return parts.join(QStringLiteral(";;"));
}

QMessageBox* makeMessageBox(const std::string& text, int style, const std::string& title, QWidget* parent) {
    auto* box = new QMessageBox(parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(displayed(text));
    box->setWindowTitle(QString::fromStdString(title));
    switch (style & 0x70) {
    case 16: box->setIcon(QMessageBox::Critical); break;
    case 32: box->setIcon(QMessageBox::Question); break;
    case 48: box->setIcon(QMessageBox::Warning); break;
    case 64: box->setIcon(QMessageBox::Information); break;
    default: box->setIcon(QMessageBox::NoIcon); break;
    }
    QList<QMessageBox::StandardButton> buttons;
    switch (style & 0x7) {
    case 1: buttons = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case 2: buttons = {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}; break;
    case 3: buttons = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    case 4: buttons = {QMessageBox::Yes, QMessageBox::No}; break;
    case 5: buttons = {QMessageBox::Retry, QMessageBox::Cancel}; break;
    default: buttons = {QMessageBox::Ok}; break;
    }
    for (QMessageBox::StandardButton b : buttons) box->addButton(b);
    const int defaultIndex = (style & 0x300) == 0x100 ? 1 : (style & 0x300) == 0x200 ? 2 : 0;
    box->setDefaultButton(buttons.value(defaultIndex, buttons.first()));
    // Escape answers Cancel where there is one, else No, else OK.
    if (buttons.contains(QMessageBox::Cancel))
        box->setEscapeButton(QMessageBox::Cancel);
    else if (buttons.contains(QMessageBox::No))
        box->setEscapeButton(QMessageBox::No);
    else if (buttons.contains(QMessageBox::Ok))
        box->setEscapeButton(QMessageBox::Ok);
    return box;
}

int messageBoxAnswer(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    switch (clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton) {
    case QMessageBox::Ok: return kAnswerOk;
    case QMessageBox::Cancel: return kAnswerCancel;
    case QMessageBox::Abort: return kAnswerAbort;
    case QMessageBox::Retry: return kAnswerRetry;
    case QMessageBox::Ignore: return kAnswerIgnore;
    case QMessageBox::Yes: return kAnswerYes;
    case QMessageBox::No: return kAnswerNo;
    default: return kAnswerCancel;
    }
}

QtUi::~QtUi() {
    while (busyDepth_ > 0) setBusy(false);
}

int QtUi::msgBox(const std::string& text, int style, const std::string& title) {
    std::unique_ptr<QMessageBox> box(makeMessageBox(text, style, title, ownerWindow(nullptr)));
    // A question is answered with the normal pointer, whatever is running.
    const bool busy = busyDepth_ > 0;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box->exec();
    if (busy) QApplication::restoreOverrideCursor();
    return messageBoxAnswer(*box);
}

void QtUi::beep() { QApplication::beep(); }

void QtUi::setBusy(bool busy) {
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        QApplication::restoreOverrideCursor();
    }
}

bool QtUi::promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) {
    DataSourceDialog dialog(dataSources, ownerWindow(nullptr));
    if (dialog.exec() != QDialog::Accepted) return false;
    connectionString = dialog.connectionString();
    return true;
}

std::optional<std::string> QtUi::openFile(QWidget* owner, const std::string& filter,
                                          const std::string& initialFolder) {
    const QString chosen = QFileDialog::getOpenFileName(ownerWindow(owner), QString(),
                                                        QString::fromStdString(initialFolder), qtDialogFilter(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtUi::saveFile(QWidget* owner, const std::string& filter,
                                          const std::string& initialFolder, const std::string& fileName) {
    // The proposed name starts in the given folder unless it names its own.
    std::string start = fileName;
    if (!initialFolder.empty() && fileName.find('/') == std::string::npos) start = joinPath(initialFolder, fileName);
    const QString chosen = QFileDialog::getSaveFileName(ownerWindow(owner), QString(), QString::fromStdString(start),
                                                        qtDialogFilter(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtUi::browseFolder(QWidget* owner, int root, int flags, const std::string& title,
                                              const std::string& initialFolder) {
    (void)root;   // 17, the computer's drives: the whole file system can be browsed from any folder
    (void)flags;  // only file-system folders can be chosen here
    const QString start = initialFolder.empty() ? QDir::homePath() : QString::fromStdString(initialFolder);
    const QString chosen = QFileDialog::getExistingDirectory(ownerWindow(owner), QString::fromStdString(title), start,
                                                             QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

void QtUi::openUrl(const std::string& url) {
    const QUrl address(QString::fromStdString(url));
    if (address.isLocalFile() && !QFileInfo::exists(address.toLocalFile()))
        throw RuntimeError(kErrFileNotFound, kAddInSource, fileErrorDescription(kErrFileNotFound) + ": " +
                                                               address.toLocalFile().toStdString());
    if (!QDesktopServices::openUrl(address))
        throw RuntimeError(5, kAddInSource, "No web browser could be started for " + url);
}

std::string dataSourceConnectionString(const std::string& dsn, const std::string& user,
                                       const std::string& password) {
    return "DSN=" + odbcValue(dsn) + ";UID=" + odbcValue(user) + ";PWD=" + odbcValue(password);
}

DataSourceDialog::DataSourceDialog(const std::vector<std::string>& dataSources, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgDataSource"));
    setWindowTitle(QStringLiteral("Select Data Source"));
    setModal(true);

    lstDataSources = new QListWidget(this);
    lstDataSources->setObjectName(QStringLiteral("lstDataSources"));
    for (const std::string& name : dataSources) lstDataSources->addItem(QString::fromStdString(name));
    lblNoDataSources = new QLabel(QString::fromStdString(ConnectionPage::noDataSourcesHint()), this);
    lblNoDataSources->setObjectName(QStringLiteral("lblNoDataSources"));
    lblNoDataSources->setWordWrap(true);
    lblNoDataSources->setVisible(dataSources.empty());
    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);

    auto* sourcesLabel = new QLabel(QStringLiteral("&Data Source Name:"), this);
    sourcesLabel->setBuddy(lstDataSources);
    auto* userLabel = new QLabel(QStringLiteral("&User Name:"), this);
    userLabel->setBuddy(txtUserName);
    auto* passwordLabel = new QLabel(QStringLiteral("&Password:"), this);
    passwordLabel->setBuddy(txtPassword);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* login = new QGridLayout;
    login->addWidget(userLabel, 0, 0);
    login->addWidget(txtUserName, 0, 1);
    login->addWidget(passwordLabel, 1, 0);
    login->addWidget(txtPassword, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sourcesLabel);
    layout->addWidget(lstDataSources, 1);
    layout->addWidget(lblNoDataSources);
    layout->addLayout(login);
    layout->addLayout(buttons);

    connect(lstDataSources, &QListWidget::currentRowChanged, this, [this](int row) { cmdOK->setEnabled(row >= 0); });
    if (lstDataSources->count() > 0) lstDataSources->setCurrentRow(0);
    connect(lstDataSources, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 340);
}

std::string DataSourceDialog::connectionString() const {
    const QListWidgetItem* item = lstDataSources->currentItem();
    return dataSourceConnectionString(item != nullptr ? item->text().toStdString() : std::string(),
                                      txtUserName->text().toStdString(), txtPassword->text().toStdString());
}

}  // namespace rw::wizard
