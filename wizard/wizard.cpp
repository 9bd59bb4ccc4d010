#include "wizard/wizard.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "model/product.h"
#include "wizard/form.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_fields.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"

namespace rw::wizard {

namespace {

// The status the folder browser returns when nothing was chosen.
constexpr long kBrowseCancelled = 1208;

}  // namespace

long BrowseForFolder(WizardUi& ui, long vlRoot, long vlFlags, std::string& rsPath, const std::string& vsTitle,
                     QWidget* vlOwner, const std::string& vsStartFolder) {
    const std::optional<std::string> chosen =
        ui.browseFolder(vlOwner, static_cast<int>(vlRoot), static_cast<int>(vlFlags), vsTitle, vsStartFolder);
    if (!chosen) return kBrowseCancelled;
    // The browser's buffer may carry NUL characters after the path.
    rsPath = chosen->substr(0, chosen->find('\0'));
    return 0;
}

std::string helpPageUrl(const std::string& helpFolder, int page) {
    const std::string file = joinPath(helpFolder, "rwhelp" + std::to_string(page) + ".htm");
    return QUrl::fromLocalFile(QFileInfo(QString::fromStdString(file)).absoluteFilePath()).toString().toStdString();
}

std::string readmeUrl(const std::string& helpFolder) {
    const QString file = QFileInfo(QString::fromStdString(joinPath(helpFolder, "../README.md"))).absoluteFilePath();
    return QUrl::fromLocalFile(QDir::cleanPath(file)).toString().toStdString();
}

Wizard::Wizard(WizardServices services, QObject* parent) : QObject(parent), services_(std::move(services)) {
    lastFolder_ = remembered().lastFolder;
}

Wizard::~Wizard() {
    destroying_ = true;
    // The pages left are deleted as they are; their unload handlers would
    // reach into a wizard that is going away.
    const std::vector<WizardForm*> left = forms_;
    forms_.clear();
    for (WizardForm* form : left) delete form;
}

template <class Page>
Page& Wizard::load(QPointer<Page>& ref) {
    if (!ref) ref = new Page(*this);
    return *ref;
}

FrmAddInMain& Wizard::start() {
    FrmAddInMain& page = frmAddInMain();
    if (!page.isVisible()) page.resize(pageSize());
    page.show();
    page.raise();
    page.activateWindow();
    return page;
}

WizardForm* Wizard::shownForm() const {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->isVisible()) return *it;
    return nullptr;
}

void Wizard::bringToFront() {
    WizardForm* open = shownForm();
    if (open == nullptr) {
        start();
        return;
    }
    open->raise();
    open->activateWindow();
}

FrmAddInMain& Wizard::frmAddInMain() { return load(main_); }
FrmProject& Wizard::frmProject() { return load(project_); }
FrmConnection& Wizard::frmConnection() { return load(connection_); }
FrmChooseTables& Wizard::frmChooseTables() { return load(tables_); }
FrmFields& Wizard::frmFields() { return load(fields_); }
FrmReport& Wizard::frmReport() { return load(report_); }

FrmAddInMain* Wizard::loadedAddInMain() const { return main_; }
FrmProject* Wizard::loadedProject() const { return project_; }
FrmConnection* Wizard::loadedConnection() const { return connection_; }
FrmChooseTables* Wizard::loadedChooseTables() const { return tables_; }
FrmFields* Wizard::loadedFields() const { return fields_; }
FrmReport* Wizard::loadedReport() const { return report_; }

void Wizard::closeWizard(bool confirm) {
    if (confirm) {
        const int answer = ui().msgBox(
            std::string("Are you sure you want to cancel and exit ") + product::kDisplayName + "?", kStyleQuestionYesNo);
        if (answer == kAnswerNo) return;
    }
    std::vector<QPointer<WizardForm>> loaded(forms_.begin(), forms_.end());
    for (const QPointer<WizardForm>& form : loaded)
        if (form) form->unload();
}

void Wizard::showHelp(int page) { ui().openUrl(helpPageUrl(services_.helpFolder, page)); }

RememberedChoices Wizard::remembered() const {
    return services_.memory != nullptr ? services_.memory->recall() : RememberedChoices{};
}

void Wizard::remember(const std::function<void(RememberedChoices&)>& change) {
    if (services_.memory == nullptr) return;
    RememberedChoices choices = services_.memory->recall();
    change(choices);
    services_.memory->keep(choices);
}

std::string Wizard::dialogFolder(const std::string& pageFolder) const {
    if (!pageFolder.empty()) return pageFolder;
    if (!lastFolder_.empty()) return lastFolder_;
    return QDir::homePath().toStdString();
}

void Wizard::folderUsed(const std::string& path, bool isFile) {
    const std::string folder = isFile ? std::filesystem::path(path).parent_path().string() : path;
    if (folder.empty()) return;
    lastFolder_ = folder;
    remember([&](RememberedChoices& r) { r.lastFolder = folder; });
}

namespace {

// The size a page asks for: the size it gives itself, or its layout's wish
// when that is larger.
QSize wantedSize(const QWidget& page) { return page.size().expandedTo(page.sizeHint()); }

template <class Page>
QSize measuredSize(Wizard& wizard) {
    // Made only to be measured, and let go at once.
    const std::unique_ptr<Page> page(new Page(wizard));
    return wantedSize(*page);
}

}  // namespace

QSize Wizard::pageSize() {
    if (pageSize_.isValid()) return pageSize_;
    // The welcome page is loaded first, so that letting the measured pages
    // go never leaves the wizard with no form (which would end it).
    QSize size = wantedSize(frmAddInMain());
    for (const QSize& s : {measuredSize<FrmProject>(*this), measuredSize<FrmConnection>(*this),
                           measuredSize<FrmChooseTables>(*this), measuredSize<FrmFields>(*this)})
        size = size.expandedTo(s);
    pageSize_ = size;
    return pageSize_;
}

void Wizard::formLoaded(WizardForm* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void Wizard::formUnloaded(WizardForm* form) {
    if (destroying_) return;
    const auto it = std::find(forms_.begin(), forms_.end(), form);
    if (it == forms_.end()) return;
    forms_.erase(it);
    // The page's global reference is forgotten, so the next use loads a
    // fresh page.
    if (main_ == form) main_ = nullptr;
    if (project_ == form) project_ = nullptr;
    if (connection_ == form) connection_ = nullptr;
    if (tables_ == form) tables_ = nullptr;
    if (fields_ == form) fields_ = nullptr;
    if (report_ == form) report_ = nullptr;
    if (forms_.empty()) emit finished();
}

}  // namespace rw::wizard
