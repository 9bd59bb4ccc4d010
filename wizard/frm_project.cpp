#include "wizard/frm_project.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>

#include "run/name_checks.h"
#include "model/product.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_connection.h"

namespace rw::wizard {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* caption, QWidget* buddy = nullptr) {
    auto* l = new QLabel(QString::fromUtf8(caption), parent);
    if (buddy != nullptr) l->setBuddy(buddy);
    return l;
}

QPushButton* browseButton(QWidget* parent, const char* name) {
    auto* b = named(new QPushButton(QStringLiteral("..."), parent), name);
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    return b;
}

// Makes one level of folder, as MkDir does: a missing parent is "Path not
// found".
void makeFolder(FileSystem& fs, const std::string& folder) {
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const std::string parent = std::filesystem::path(trimmed).parent_path().string();
    if (!parent.empty() && !fs.isDirectory(parent)) throw fileErrorNumber(kErrPathNotFound);
    fs.createDirectories(trimmed);
}

}  // namespace

std::string FrmProject::notChosenMessage(const std::string& what) {
    return what + "  " + product::kDisplayName + " can not proceed until you do.";
}

FrmProject::FrmProject(Wizard& wizard) : WizardPage(wizard, "frmProject", 2) {
    Label6 = named(new QLabel(QStringLiteral("Now, choose whether you wish to add the generated files to the "
                                             "currently loaded project, a brand new project, or an existing "
                                             "project."),
                              this),
                   "Label6");
    Label6->setWordWrap(true);
    body()->addWidget(Label6);

    // The loaded project.
    optLoaded = named(new QRadioButton(QStringLiteral("Add Files to Currently Loaded Project"), this), "optLoaded");
    cboLoadedProject = named(new QComboBox(this), "cboLoadedProject");
    cboLoadedProject->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* loadedRow = new QHBoxLayout;
    loadedRow->addWidget(optLoaded);
    loadedRow->addWidget(cboLoadedProject, 1);
    body()->addLayout(loadedRow);

    // A new project.
    optNew = named(new QRadioButton(QStringLiteral("Add Files to New Project"), this), "optNew");
    body()->addWidget(optNew);
    fraNew = named(new QGroupBox(this), "fraNew");
    optProjectStdExe = named(new QRadioButton(QStringLiteral("New Standard EXE"), fraNew), "optProjectStdExe");
    optProjectActiveXExe =
        named(new QRadioButton(QStringLiteral("New ActiveX EXE"), fraNew), "optProjectActiveXExe");
    optProjectActiveXDLL =
        named(new QRadioButton(QStringLiteral("New ActiveX DLL"), fraNew), "optProjectActiveXDLL");
    auto* kinds = new QButtonGroup(fraNew);
    for (QRadioButton* r : {optProjectStdExe, optProjectActiveXExe, optProjectActiveXDLL}) kinds->addButton(r);
    optProjectActiveXDLL->setChecked(true);
    txtProjName = named(new QLineEdit(fraNew), "txtProjName");
    txtNewStoreDir = named(new QLineEdit(fraNew), "txtNewStoreDir");
    cmdNewStore = browseButton(fraNew, "cmdNewStore");
    auto* newGrid = new QGridLayout(fraNew);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(optProjectStdExe);
    kindRow->addWidget(optProjectActiveXExe);
    kindRow->addWidget(optProjectActiveXDLL);
    kindRow->addStretch(1);
    newGrid->addLayout(kindRow, 0, 0, 1, 4);
    newGrid->addWidget(label(fraNew, "New Pro&ject Name:", txtProjName), 1, 0);
    newGrid->addWidget(txtProjName, 1, 1);
    newGrid->addWidget(label(fraNew, ".VBP"), 1, 2);
    newGrid->addWidget(label(fraNew, "Choose the folder to store the new files:"), 2, 0, 1, 4);
    newGrid->addWidget(label(fraNew, "&Storage Path:", txtNewStoreDir), 3, 0);
    newGrid->addWidget(txtNewStoreDir, 3, 1, 1, 2);
    newGrid->addWidget(cmdNewStore, 3, 3);
    newGrid->setColumnStretch(1, 1);
    body()->addWidget(fraNew);

    // An existing project.
    optProjectExisting =
        named(new QRadioButton(QStringLiteral("Add Files to Existing Project:"), this), "optProjectExisting");
    body()->addWidget(optProjectExisting);
    fraExisting = named(new QGroupBox(this), "fraExisting");
    txtExistProject = named(new QLineEdit(fraExisting), "txtExistProject");
    cmdProject = browseButton(fraExisting, "cmdProject");
    txtExistStoreDir = named(new QLineEdit(fraExisting), "txtExistStoreDir");
    cmdExistStore = browseButton(fraExisting, "cmdExistStore");
    auto* existGrid = new QGridLayout(fraExisting);
    existGrid->addWidget(label(fraExisting, "Choose the existing project to which to add the new files:"), 0, 0, 1, 3);
    existGrid->addWidget(label(fraExisting, "&Project:", txtExistProject), 1, 0);
    existGrid->addWidget(txtExistProject, 1, 1);
    existGrid->addWidget(cmdProject, 1, 2);
    existGrid->addWidget(label(fraExisting, "Choose the folder to store the new files:"), 2, 0, 1, 3);
    existGrid->addWidget(label(fraExisting, "S&torage Path:", txtExistStoreDir), 3, 0);
    existGrid->addWidget(txtExistStoreDir, 3, 1);
    existGrid->addWidget(cmdExistStore, 3, 2);
    existGrid->setColumnStretch(1, 1);
    body()->addWidget(fraExisting);
    body()->addStretch(1);

    auto* targets = new QButtonGroup(this);
    for (QRadioButton* r : {optLoaded, optNew, optProjectExisting}) targets->addButton(r);
    optLoaded->setChecked(true);
    // The last run's target, kind, store folder and project file replace
    // the page's first values.
    const RememberedChoices last = wizard.remembered();
    for (auto [choice, button] : std::initializer_list<std::pair<const char*, QRadioButton*>>{
             {"new", optNew}, {"existing", optProjectExisting}, {"Exe", optProjectStdExe},
             {"OleExe", optProjectActiveXExe}, {"OleDll", optProjectActiveXDLL}})
        if (last.target == choice || last.kind == choice) button->setChecked(true);
    for (QLineEdit* box : {txtNewStoreDir, txtExistStoreDir}) box->setText(qs(last.storeDir));
    txtExistProject->setText(qs(last.projectFile));
    applyOptionRules();

    for (QRadioButton* r : {optLoaded, optNew, optProjectExisting})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) applyOptionRules();
        });
    cmdNext->setDefault(true);
    connect(cmdNext, &QPushButton::clicked, this, &FrmProject::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &FrmProject::cmdBack_Click);
    connect(cmdProject, &QPushButton::clicked, this, &FrmProject::cmdProject_Click);
    connect(cmdNewStore, &QPushButton::clicked, this,
            [this] { chooseFolder("cmdNewStore_Click", txtNewStoreDir); });
    connect(cmdExistStore, &QPushButton::clicked, this,
            [this] { chooseFolder("cmdExistStore_Click", txtExistStoreDir); });

    resize(620, 480);
}

void FrmProject::applyOptionRules() {
    const bool loaded = optLoaded->isChecked();
    const bool isNew = optNew->isChecked();
    const bool existing = optProjectExisting->isChecked();
    cboLoadedProject->setEnabled(loaded);
    for (QWidget* w : std::initializer_list<QWidget*>{optProjectStdExe, optProjectActiveXExe, optProjectActiveXDLL,
                                                      txtProjName, txtNewStoreDir, cmdNewStore})
        w->setEnabled(isNew);
    for (QWidget* w : std::initializer_list<QWidget*>{txtExistProject, cmdProject, txtExistStoreDir, cmdExistStore})
        w->setEnabled(existing);
}

bool FrmProject::display(FrmAddInMain& main) {
    return handler("Display", [&] {
        vfrmMain = &main;
        for (const auto& project : wizard().services().environment.projects())
            cboLoadedProject->addItem(qs(project->name()));
        cboLoadedProject->setCurrentIndex(-1);
        showInPlaceOf(&main);
    });
}

void FrmProject::formActivate() {
    handler("Form_Activate",
            [&] { setWindowTitle(QString::fromLatin1(product::kDisplayName) + QStringLiteral(" - Choose Project")); });
}

void FrmProject::formUnload() {
    handler("Form_Unload", [&] { mvbpProject = nullptr; });
}

ProjectPageValues FrmProject::values() const {
    ProjectPageValues v;
    v.optNew = optNew->isChecked();
    v.optProjectStdExe = optProjectStdExe->isChecked();
    v.optProjectActiveXExe = optProjectActiveXExe->isChecked();
    v.optProjectActiveXDLL = optProjectActiveXDLL->isChecked();
    v.optProjectExisting = optProjectExisting->isChecked();
    v.optLoaded = optLoaded->isChecked();
    v.txtProjName = ss(txtProjName->text());
    v.txtExistProject = ss(txtExistProject->text());
    v.msStoreDir = msStoreDir;
    return v;
}

void FrmProject::chooseFolder(const char* operation, QLineEdit* target) {
    handler(operation, [&] {
        std::string path;
        if (BrowseForFolder(ui(), 17, 1, path, "Select Folder", this, wizard().dialogFolder("")) != 0) return;
        target->setText(qs(path));
        wizard().folderUsed(path, false);
    });
}

void FrmProject::cmdProject_Click() {
    handler("cmdProject_Click", [&] {
        const std::optional<std::string> chosen =
            ui().openFile(this, "VB Projects (*.vbp)|*.vbp", wizard().dialogFolder(ss(txtExistStoreDir->text())));
        if (!chosen) return;  // a cancelled dialog changes nothing
        txtExistProject->setText(qs(*chosen));
        wizard().folderUsed(*chosen, true);
    });
}

void FrmProject::cmdBack_Click() {
    handler("cmdBack_Click", [&] {
        if (vfrmMain) vfrmMain->showInPlaceOf(this);
        unload();
    });
}

void FrmProject::cmdNext_Click() {
    handler("cmdNext_Click", [&] {
        if (optLoaded->isChecked()) {
            if (cboLoadedProject->currentIndex() < 0) {
                ui().msgBox(notChosenMessage("You have chosen to add generated files to a loaded project, but have "
                                             "not chosen which one."),
                            kStyleInformation, product::kDisplayName);
                return;
            }
            const std::string name = ss(cboLoadedProject->currentText());
            mvbpProject = nullptr;
            for (const auto& project : wizard().services().environment.projects()) {
                if (project->name() == name) {
                    mvbpProject = project.get();
                    break;
                }
            }
            goOn();
            return;
        }

        std::string folder, project;
        if (optNew->isChecked()) {
            folder = ss(txtNewStoreDir->text());
            project = ss(txtProjName->text());
            if (folder.empty()) {
                ui().msgBox(notChosenMessage("You have not chosen a directory in which to store your generated files."),
                            kStyleInformation, product::kDisplayName);
                return;
            }
            if (project.empty()) {
                ui().msgBox(notChosenMessage("You have not chosen a name for your new project."), kStyleInformation,
                            product::kDisplayName);
                return;
            }
            if (const std::string why = projectNameMessage(project); !why.empty()) {
                ui().msgBox(why, kStyleInformation, product::kDisplayName);
                return;
            }
        } else if (optProjectExisting->isChecked()) {
            folder = ss(txtExistStoreDir->text());
            project = ss(txtExistProject->text());
            if (folder.empty()) {
                ui().msgBox(notChosenMessage("You have not chosen a directory in which to store your generated files."),
                            kStyleInformation, product::kDisplayName);
                return;
            }
            if (project.empty()) {
                ui().msgBox(notChosenMessage("You have not chosen a project to add your generated files to."),
                            kStyleInformation, product::kDisplayName);
                return;
            }
        } else {
            return;
        }
        // A typed relative path is taken from the working folder, as the
        // command-line tool takes it, so the project file names files that
        // resolve from any folder.
        const std::string here = QDir::currentPath().toStdString();
        folder = absoluteFrom(here, folder);
        if (optProjectExisting->isChecked()) project = absoluteFrom(here, project);
        if (!checkStore(folder, project)) return;
        msStoreDir = folder;
        msProject = project;
        goOn();
    });
}

bool FrmProject::checkStore(const std::string& folder, const std::string& project) {
    if (folder.find_first_of("*?") != std::string::npos || folder.find("\\\\") != std::string::npos) {
        ui().msgBox("You have chosen an invalid directory name.  Please try again.", kStyleInformation,
                    product::kDisplayName);
        return false;
    }
    FileSystem& fs = wizard().services().fs;
    for (;;) {
        for (const auto& loaded : wizard().services().environment.projects()) {
            if (loaded->fileName() == project) {
                ui().msgBox("You have chosen a project that is currently loaded in Visual Basic.  If this is what "
                            "you want, please choose the 'Add Files to Currently Loaded Project' option and pick your "
                            "project from the accompanying combo box.  Otherwise, please choose a different existing "
                            "project to add your files to.",
                            kStyleInformation);
                return false;
            }
        }
        // Whether the folder can be entered is the existence test.
        if (fs.isDirectory(folder)) return true;
        if (ui().msgBox("This directory does not exist.  Would you like it to be created?", kStyleQuestionYesNo,
                        product::kDisplayName) != kAnswerYes)
            return false;
        makeFolder(fs, folder);
    }
}

void FrmProject::goOn() {
    if (!vfrmMain) return;
    wizard().remember([&](RememberedChoices& r) {
        r.target = optNew->isChecked() ? "new" : optProjectExisting->isChecked() ? "existing" : "loaded";
        r.kind = optProjectStdExe->isChecked() ? "Exe" : optProjectActiveXExe->isChecked() ? "OleExe" : "OleDll";
        if (!optLoaded->isChecked()) r.storeDir = msStoreDir;
        if (optProjectExisting->isChecked()) r.projectFile = msProject;
    });
    hide();
    // A page that could not be shown leaves this one in its place.
    if (!wizard().frmConnection().display(*vfrmMain, *this)) showInPlaceOf(this);
}

}  // namespace rw::wizard
