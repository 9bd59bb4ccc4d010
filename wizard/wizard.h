#pragma once
// The wizard as a whole: the services its pages share, the pages that are
// loaded (each page's one global reference, created on first use and
// forgotten when the page unloads), closing the wizard (CloseWizard), the
// folder browser (BrowseForFolder) and the help pages.
#include <QObject>
#include <QPointer>
#include <QSize>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/data_access.h"
#include "platform/file_system.h"
#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "wizard/remembered.h"
#include "wizard/wizard_ui.h"

class QWidget;

namespace rw::wizard {

class WizardForm;
class FrmAddInMain;
class FrmProject;
class FrmConnection;
class FrmChooseTables;
class FrmFields;
class FrmReport;

// What the pages reach the world through.
struct WizardServices {
    WizardUi& ui;
    DataAccess& data;
    // The projects loaded in the development environment.
    ide::Environment& environment;
    FileSystem& fs;
    Clock& clock;
    // Where a loaded-project run stages its files; null: the system's
    // temporary folder.
    TempFolders* tempFolders = nullptr;
    // The folder holding rwhelp1.htm .. rwhelp6.htm.
    std::string helpFolder;
    // Where the choices are remembered between runs; null: nothing is.
    WizardMemory* memory = nullptr;
    // How long loading the fields of many tables may look like taking
    // before its progress dialog shows, in milliseconds.
    int fieldsProgressDelayMs = 500;
};

// The shell's folder browser, opened at `vsStartFolder`: returns 0 and sets
// `rsPath` to the chosen folder (cut before its first NUL character), or
// 1208 and leaves `rsPath` as it was when the user cancels.
long BrowseForFolder(WizardUi& ui, long vlRoot, long vlFlags, std::string& rsPath, const std::string& vsTitle,
                     QWidget* vlOwner, const std::string& vsStartFolder = std::string());

// The address of help page `page` (1 welcome .. 6 report) under `helpFolder`.
std::string helpPageUrl(const std::string& helpFolder, int page);

// The address of README.md in the folder above `helpFolder`: the
// repository's own, or the one installed beside the help pages' folder.
std::string readmeUrl(const std::string& helpFolder);

class Wizard final : public QObject {
    Q_OBJECT

public:
    explicit Wizard(WizardServices services, QObject* parent = nullptr);
    // Forms still loaded are deleted without their unload handlers.
    ~Wizard() override;

    WizardServices& services() { return services_; }
    WizardUi& ui() { return services_.ui; }

    // Shows the welcome page.
    FrmAddInMain& start();
    // What the add-in's menu command does: brings the window the wizard
    // shows to the front, so that a run under way is not started again,
    // or shows the welcome page when none is shown.
    void bringToFront();
    // The shown form loaded last (the page the user is on), or null.
    WizardForm* shownForm() const;

    // The pages, loaded on first use.
    FrmAddInMain& frmAddInMain();
    FrmProject& frmProject();
    FrmConnection& frmConnection();
    FrmChooseTables& frmChooseTables();
    FrmFields& frmFields();
    FrmReport& frmReport();

    // The pages that are loaded now, or null.
    FrmAddInMain* loadedAddInMain() const;
    FrmProject* loadedProject() const;
    FrmConnection* loadedConnection() const;
    FrmChooseTables* loadedChooseTables() const;
    FrmFields* loadedFields() const;
    FrmReport* loadedReport() const;

    // CloseWizard: with `confirm`, asks first and changes nothing on No;
    // then unloads every loaded form in the order they were loaded.
    void closeWizard(bool confirm);

    // Opens help page `page` in a new browser window.
    void showHelp(int page);

    // The choices remembered from earlier runs (none without a memory).
    RememberedChoices remembered() const;
    // Changes the remembered choices and keeps them at once.
    void remember(const std::function<void(RememberedChoices&)>& change);

    // Where a file or folder dialog opens: `pageFolder` when the page names
    // one, else the folder a dialog last went to, else the home folder.
    std::string dialogFolder(const std::string& pageFolder) const;
    // A dialog went to `folder` (the folder itself, or a chosen file's
    // folder when `isFile`); the next dialog opens there.
    void folderUsed(const std::string& path, bool isFile);

    // The size every page is shown at: the largest page's, measured once.
    QSize pageSize();

    // The loaded forms, in the order they were loaded.
    const std::vector<WizardForm*>& forms() const { return forms_; }

    // Called by every form when it loads and when it unloads.
    void formLoaded(WizardForm* form);
    void formUnloaded(WizardForm* form);

signals:
    // The last loaded form has unloaded: the wizard is over.
    void finished();

private:
    template <class Page>
    Page& load(QPointer<Page>& ref);

    WizardServices services_;
    std::vector<WizardForm*> forms_;
    QPointer<FrmAddInMain> main_;
    QPointer<FrmProject> project_;
    QPointer<FrmConnection> connection_;
    QPointer<FrmChooseTables> tables_;
    QPointer<FrmFields> fields_;
    QPointer<FrmReport> report_;
    bool destroying_ = false;
    std::string lastFolder_;
    QSize pageSize_;
};

}  // namespace rw::wizard
