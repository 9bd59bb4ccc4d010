#pragma once
// The wizard's user interface on Qt: message boxes with the style values
// and answers of the platform's message box, the beep, the busy pointer,
// the file and folder dialogs, the browser window, and the data source
// dialog that stands in for the driver manager's.
#include <QDialog>
#include <string>
#include <vector>

#include "wizard/wizard_ui.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QMessageBox;
class QPushButton;

namespace rw::wizard {

class QtUi final : public WizardUi {
public:
    QtUi() = default;
    ~QtUi() override;

    int msgBox(const std::string& text, int style, const std::string& title = kProductName) override;
    void beep() override;
    void setBusy(bool busy) override;
    bool promptDataSource(const std::vector<std::string>& dataSources, std::string& connectionString) override;

    std::optional<std::string> openFile(QWidget* owner, const std::string& filter,
                                        const std::string& initialFolder) override;
    std::optional<std::string> saveFile(QWidget* owner, const std::string& filter, const std::string& initialFolder,
                                        const std::string& fileName) override;
    std::optional<std::string> browseFolder(QWidget* owner, int root, int flags, const std::string& title,
                                            const std::string& initialFolder) override;
    void openUrl(const std::string& url) override;

private:
    int busyDepth_ = 0;
};

// Builds the message box of a style value (buttons in the low bits, the
// icon in 16/32/48/64, the default button in 256/512), unshown. Exposed so
// that tests can check it.
QMessageBox* makeMessageBox(const std::string& text, int style, const std::string& title, QWidget* parent);
// The answer value of the button pressed in such a box.
int messageBoxAnswer(const QMessageBox& box);

// The common-dialog filter "A (*.a)|*.a|B|*.b" as Qt writes it,
// "A (*.a);;B (*.b)".
QString qtDialogFilter(const std::string& filter);

// A completed ODBC string for a data source and its login:
// "DSN=name;UID=user;PWD=password".
std::string dataSourceConnectionString(const std::string& dsn, const std::string& user, const std::string& password);

// The data source and login dialog: a list of the data sources, a user
// name and a password; with no data source, a note on where they are
// defined.
class DataSourceDialog final : public QDialog {
    Q_OBJECT

public:
    DataSourceDialog(const std::vector<std::string>& dataSources, QWidget* parent = nullptr);

    // The completed string after OK.
    std::string connectionString() const;

    QListWidget* lstDataSources = nullptr;
    QLabel* lblNoDataSources = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace rw::wizard
