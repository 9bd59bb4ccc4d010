// The welcome page, the project page, the wizard's services and the report
// window, over an in-memory file system and a scripted user interface.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "run/report.h"
#include "platform/cp1252.h"
#include "support/gui_support.h"
#include "support/sample_vb_project.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

using Msg = ScriptedWizardUi::Message;

namespace {

const std::string kCancelQuestion = "Are you sure you want to cancel and exit Rowwright?";

std::string qsText(const QString& s) { return s.toStdString(); }

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WizardHarness> h;

    FrmAddInMain& welcome() { return *h->wizard->loadedAddInMain(); }

    // The wizard on its project page.
    FrmProject& toProjectPage() {
        h->wizard->start();
        click(h->wizard->frmAddInMain().findChild<QPushButton*>("cmdNext"));
        return *h->wizard->loadedProject();
    }

    // A new ActiveX DLL "Orders" in `folder`.
    void fillNewProject(FrmProject& p, const QString& folder, const QString& name = QStringLiteral("Orders")) {
        click(p.optNew);
        p.txtNewStoreDir->setText(folder);
        p.txtProjName->setText(name);
    }

private slots:
    void initTestCase() { quietPlatformWarnings(); }

    void init() {
        modalFailures() = 0;
        h = std::make_unique<WizardHarness>();
    }

    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }

    void welcomePageShowsItsTextsAndOptions() {
        FrmAddInMain& page = h->wizard->start();
        QVERIFY(page.isVisible());
        QCOMPARE(page.objectName(), QStringLiteral("frmAddInMain"));
        QCOMPARE(page.windowTitle(), QStringLiteral("Rowwright"));
        QCOMPARE(qsText(page.Label6->text()),
                 std::string("Welcome to Rowwright.  Please make your choices from the options at the right, and "
                             "then click 'Next' to continue."));
        QCOMPARE(qsText(page.Label1->text()),
                 std::string("Note: \"Developer Notes\" can be included in module and function headers.  These "
                             "notes often offer details about the generated code and explain how to implement it."));
        QCOMPARE(page.Label4->text().contains(QStringLiteral("Suggestions/Bug Reports")), true);
        const std::vector<std::pair<const char*, const char*>> boxes{
            {"chkModuleHead", "Include Module Headers"},
            {"chkFunctionHead", "Include Function Headers"},
            {"chkDevNotes", "Include Developer Notes"},
            {"chkEH", "Include Error Handling"},
            {"chkCode", "Include SQL and processing code in generated methods"}};
        for (const auto& [name, caption] : boxes) {
            auto* box = child<QCheckBox>(page.fraOptions, name);
            QVERIFY(box != nullptr);
            QCOMPARE(box->text(), QString::fromLatin1(caption));
            QVERIFY(box->isChecked());
        }
        const std::vector<std::pair<const char*, const char*>> buttons{
            {"cmdNext", "&Next >"}, {"cmdBack", "< &Back"}, {"cmdFinish", "&Finish"},
            {"cmdCancel", "Cancel"}, {"cmdHelp", "Help"}};
        for (const auto& [name, caption] : buttons) QCOMPARE(child<QPushButton>(&page, name)->text(), QString::fromLatin1(caption));
        QVERIFY(child<QPushButton>(&page, "cmdNext")->isDefault());
        screenshot(&page, QStringLiteral("frmAddInMain"));
    }

    void optionInterlock() {
        FrmAddInMain& page = h->wizard->start();
        // One header box off: the notes stay.
        click(page.chkModuleHead);
        QVERIFY(page.chkDevNotes->isChecked());
        // Both off: the notes go with them.
        click(page.chkFunctionHead);
        QVERIFY(!page.chkModuleHead->isChecked());
        QVERIFY(!page.chkFunctionHead->isChecked());
        QVERIFY(!page.chkDevNotes->isChecked());
        // Asking for notes again brings both headers back.
        click(page.chkDevNotes);
        QVERIFY(page.chkDevNotes->isChecked());
        QVERIFY(page.chkModuleHead->isChecked());
        QVERIFY(page.chkFunctionHead->isChecked());
        // Notes off by hand, then one header off: nothing else changes.
        click(page.chkDevNotes);
        QVERIFY(!page.chkDevNotes->isChecked());
        QVERIFY(page.chkModuleHead->isChecked());
        click(page.chkFunctionHead);
        QVERIFY(page.chkModuleHead->isChecked());
        QVERIFY(!page.chkDevNotes->isChecked());
        // The other options are left alone throughout.
        QVERIFY(page.chkEH->isChecked());
        QVERIFY(page.chkCode->isChecked());
        const WelcomeOptions o = page.options();
        QVERIFY(o.chkModuleHead && !o.chkFunctionHead && !o.chkDevNotes && o.chkEH && o.chkCode);
        QVERIFY(h->ui.messages.empty());
    }

    void welcomeBackAndFinishDoNothing() {
        FrmAddInMain& page = h->wizard->start();
        click(child<QPushButton>(&page, "cmdBack"));
        click(child<QPushButton>(&page, "cmdFinish"));
        QVERIFY(page.isVisible());
        QCOMPARE(h->wizard->forms().size(), std::size_t{1});
        QVERIFY(h->ui.messages.empty());
    }

    void helpAndWebPages() {
        FrmAddInMain& page = h->wizard->start();
        click(child<QPushButton>(&page, "cmdHelp"));
        emit page.Label3->linkActivated(QStringLiteral("#"));
        emit page.Label4->linkActivated(QStringLiteral("#"));
        QCOMPARE(h->ui.urls.size(), std::size_t{3});
        QCOMPARE(h->ui.urls[0], helpPageUrl(RW_SOURCE_HELP_DIR, 1));
        QVERIFY(QString::fromStdString(h->ui.urls[0]).startsWith(QStringLiteral("file:///")));
        QVERIFY(QString::fromStdString(h->ui.urls[0]).endsWith(QStringLiteral("/help/rwhelp1.htm")));
        QCOMPARE(h->ui.urls[1], h->ui.urls[0]);
        QCOMPARE(QUrl(QString::fromStdString(h->ui.urls[2])).toLocalFile(),
                 QDir::cleanPath(QStringLiteral(RW_SOURCE_HELP_DIR "/../README.md")));
        QVERIFY(QFile::exists(QUrl(QString::fromStdString(h->ui.urls[2])).toLocalFile()));
        // Every help page is there and written for the page it belongs to.
        for (int n = 1; n <= 6; ++n) {
            const QUrl url(QString::fromStdString(helpPageUrl(RW_SOURCE_HELP_DIR, n)));
            QFile file(url.toLocalFile());
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(url.toLocalFile()));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY(text.contains(QStringLiteral("<title>")));
        }
    }

    void projectPageDefaultsAndOptionRules() {
        FrmProject& p = toProjectPage();
        QVERIFY(!welcome().isVisible());
        QVERIFY(p.isVisible());
        QCOMPARE(p.windowTitle(), QStringLiteral("Rowwright - Choose Project"));
        QCOMPARE(qsText(p.Label6->text()),
                 std::string("Now, choose whether you wish to add the generated files to the currently loaded "
                             "project, a brand new project, or an existing project."));
        QVERIFY(p.optLoaded->isChecked());
        QVERIFY(p.optProjectActiveXDLL->isChecked());
        QCOMPARE(p.optLoaded->text(), QStringLiteral("Add Files to Currently Loaded Project"));
        QCOMPARE(p.optNew->text(), QStringLiteral("Add Files to New Project"));
        QCOMPARE(p.optProjectExisting->text(), QStringLiteral("Add Files to Existing Project:"));
        QCOMPARE(p.optProjectStdExe->text(), QStringLiteral("New Standard EXE"));
        QCOMPARE(p.optProjectActiveXExe->text(), QStringLiteral("New ActiveX EXE"));
        QCOMPARE(p.optProjectActiveXDLL->text(), QStringLiteral("New ActiveX DLL"));

        const QList<QWidget*> newOnes{p.optProjectStdExe, p.optProjectActiveXExe, p.optProjectActiveXDLL,
                                      p.txtProjName,      p.txtNewStoreDir,       p.cmdNewStore};
        const QList<QWidget*> existingOnes{p.txtExistProject, p.cmdProject, p.txtExistStoreDir, p.cmdExistStore};
        auto expect = [&](bool loaded, bool isNew, bool existing) {
            QCOMPARE(p.cboLoadedProject->isEnabled(), loaded);
            for (QWidget* w : newOnes) QCOMPARE(w->isEnabled(), isNew);
            for (QWidget* w : existingOnes) QCOMPARE(w->isEnabled(), existing);
        };
        expect(true, false, false);
        screenshot(&p, QStringLiteral("frmProject"));
        click(p.optNew);
        expect(false, true, false);
        p.txtProjName->setText(QStringLiteral("Orders"));
        click(p.optProjectExisting);
        expect(false, false, true);
        click(p.optLoaded);
        expect(true, false, false);
        // Texts stay when the option changes.
        QCOMPARE(p.txtProjName->text(), QStringLiteral("Orders"));
    }

    void projectPageMessages_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("project");
        QTest::addColumn<QString>("message");
        const QString pending = QStringLiteral("  Rowwright can not proceed until you do.");
        auto row = [](const char* name, const char* option, const char* folder, const char* project,
                      const QString& message) {
            QTest::newRow(name) << QString::fromLatin1(option) << QString::fromLatin1(folder)
                                << QString::fromUtf8(project) << message;
        };
        const QString noFolder =
            QStringLiteral("You have not chosen a directory in which to store your generated files.") + pending;
        const QString noName = QStringLiteral("You have not chosen a name for your new project.") + pending;
        const QString invalid = QStringLiteral("You have chosen an invalid directory name.  Please try again.");
        row("loaded, none listed", "loaded", "", "",
            QStringLiteral("You have chosen to add generated files to a loaded project, but have not chosen which "
                           "one.") + pending);
        row("new, no folder and no name", "new", "", "", noFolder);
        row("new, folder without name", "new", "/out", "", noName);
        row("new, a space is a folder", "new", " ", "", noName);
        row("existing, no folder", "existing", "", "/p/Billing.vbp", noFolder);
        row("existing, no project", "existing", "/out", "",
            QStringLiteral("You have not chosen a project to add your generated files to.") + pending);
        row("asterisk", "new", "/out/*", "Orders", invalid);
        row("question mark", "existing", "/out?", "/p/Billing.vbp", invalid);
        row("network path", "new", "\\\\server\\share", "Orders", invalid);
        const QString badName = QStringLiteral("You have chosen an invalid project name: %1.  Please try again.");
        row("project name with a separator", "new", "/out", "../x",
            badName.arg("it contains a path separator (/ or \\)"));
        row("project name outside Windows-1252", "new", "/out", "\u9867",
            badName.arg("it contains a character outside Windows-1252"));
    }

    void projectPageMessages() {
        QFETCH(QString, option);
        QFETCH(QString, folder);
        QFETCH(QString, project);
        QFETCH(QString, message);
        FrmProject& p = toProjectPage();
        if (option == "new") {
            click(p.optNew);
            p.txtNewStoreDir->setText(folder);
            p.txtProjName->setText(project);
        } else if (option == "existing") {
            click(p.optProjectExisting);
            p.txtExistStoreDir->setText(folder);
            p.txtExistProject->setText(project);
        }
        click(p.cmdNext);
        QCOMPARE(h->ui.messages, (std::vector<Msg>{{message.toStdString(), 64, "Rowwright"}}));
        QVERIFY(p.isVisible());
        QVERIFY(h->wizard->loadedConnection() == nullptr);
        QVERIFY(!h->memoryFs()->isDirectory("/out"));
    }

    void projectAlreadyLoadedIsRefused() {
        h->memoryFs()->createDirectories("/p");
        const std::string vbp = writeSampleProject(*h->fs, "/p");
        h->environment.loadProject(vbp);
        FrmProject& p = toProjectPage();
        QCOMPARE(p.cboLoadedProject->count(), 1);
        QCOMPARE(p.cboLoadedProject->currentIndex(), -1);
        click(p.optProjectExisting);
        p.txtExistStoreDir->setText(QStringLiteral("/new"));
        p.txtExistProject->setText(QString::fromStdString(vbp));
        click(p.cmdNext);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{"You have chosen a project that is currently loaded in Visual Basic.  If this is "
                                    "what you want, please choose the 'Add Files to Currently Loaded Project' option "
                                    "and pick your project from the accompanying combo box.  Otherwise, please "
                                    "choose a different existing project to add your files to.",
                                    64, "Rowwright"}}));
        QVERIFY(!h->fs->isDirectory("/new"));
        QVERIFY(p.isVisible());
    }

    void loadedProjectTarget() {
        h->memoryFs()->createDirectories("/p");
        h->environment.loadProject(writeSampleProject(*h->fs, "/p"));
        FrmProject& p = toProjectPage();
        p.cboLoadedProject->setCurrentIndex(0);
        click(p.cmdNext);
        QVERIFY(h->ui.messages.empty());
        QVERIFY(p.mvbpProject == h->environment.projects().front().get());
        QVERIFY(!p.isVisible());
        QVERIFY(h->wizard->loadedConnection() != nullptr && h->wizard->loadedConnection()->isVisible());
        const ProjectPageValues v = p.values();
        QVERIFY(v.optLoaded && !v.optNew && !v.optProjectExisting);
    }

    void missingStoreFolderAnsweredNoThenYes() {
        FrmProject& p = toProjectPage();
        fillNewProject(p, QStringLiteral("/out"));
        const Msg question{"This directory does not exist.  Would you like it to be created?", 36, "Rowwright"};
        h->ui.answers = {kAnswerNo};
        click(p.cmdNext);
        QCOMPARE(h->ui.messages, std::vector<Msg>{question});
        QVERIFY(!h->fs->isDirectory("/out"));
        QVERIFY(p.isVisible());
        QVERIFY(p.msStoreDir.empty());

        h->ui.messages.clear();
        h->ui.answers = {kAnswerYes};
        click(p.cmdNext);
        QCOMPARE(h->ui.messages, std::vector<Msg>{question});
        QVERIFY(h->fs->isDirectory("/out"));
        QCOMPARE(p.msStoreDir, std::string("/out"));
        QCOMPARE(p.msProject, std::string("Orders"));
        QVERIFY(!p.isVisible());
        QVERIFY(h->wizard->loadedConnection()->isVisible());
        const ProjectPageValues v = p.values();
        QVERIFY(v.optNew && v.optProjectActiveXDLL && !v.optProjectStdExe);
        QCOMPARE(v.txtProjName, std::string("Orders"));
    }

    void storeFolderWhoseParentIsMissing() {
        FrmProject& p = toProjectPage();
        fillNewProject(p, QStringLiteral("/a/b"));
        h->ui.answers = {kAnswerYes};
        click(p.cmdNext);
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QCOMPARE(h->ui.messages[1], (Msg{shownError(76, "RwtAddIn", "frmProject.cmdNext_Click", "Path not found"), 48,
                                         "Rowwright"}));
        QVERIFY(!h->fs->isDirectory("/a"));
        QVERIFY(p.isVisible());
    }

    void existingStoreFolderGoesOnWithoutQuestion() {
        h->memoryFs()->createDirectories("/out");
        FrmProject& p = toProjectPage();
        click(p.optProjectExisting);
        p.txtExistStoreDir->setText(QStringLiteral("/out"));
        p.txtExistProject->setText(QStringLiteral("/out/Billing.vbp"));
        click(p.cmdNext);
        QVERIFY(h->ui.messages.empty());
        QCOMPARE(p.msProject, std::string("/out/Billing.vbp"));
        QVERIFY(h->wizard->loadedConnection()->isVisible());
    }

    void folderAndProjectButtons() {
        FrmProject& p = toProjectPage();
        click(p.optNew);
        p.txtNewStoreDir->setText(QStringLiteral("/kept"));
        // A cancelled browser changes nothing; a chosen folder arrives
        // without the NULs of the browser's buffer.
        h->ui.dialogAnswers = {std::nullopt, std::string("/data/out\0\0\0", 12)};
        click(p.cmdNewStore);
        QCOMPARE(p.txtNewStoreDir->text(), QStringLiteral("/kept"));
        click(p.cmdNewStore);
        QCOMPARE(p.txtNewStoreDir->text(), QStringLiteral("/data/out"));
        QCOMPARE(h->ui.dialogs.size(), std::size_t{2});
        QCOMPARE(h->ui.dialogs[0].kind, std::string("folder"));
        QCOMPARE(h->ui.dialogs[0].root, 17);
        QCOMPARE(h->ui.dialogs[0].flags, 1);
        QCOMPARE(h->ui.dialogs[0].title, std::string("Select Folder"));

        click(p.optProjectExisting);
        h->ui.dialogAnswers = {std::string("/e"), std::nullopt, std::string("/f/Billing.vbp"), std::nullopt};
        click(p.cmdExistStore);
        QCOMPARE(p.txtExistStoreDir->text(), QStringLiteral("/e"));
        p.txtExistStoreDir->setText(QStringLiteral("/box"));
        click(p.cmdProject);  // cancelled: silent
        QVERIFY(p.txtExistProject->text().isEmpty());
        click(p.cmdProject);
        QCOMPARE(p.txtExistProject->text(), QStringLiteral("/f/Billing.vbp"));
        QCOMPARE(h->ui.dialogs[4].kind, std::string("open"));
        QCOMPARE(h->ui.dialogs[4].filter, std::string("VB Projects (*.vbp)|*.vbp"));
        p.txtExistStoreDir->clear();
        click(p.cmdProject);
        // A dialog opens at the folder its page names, else where the last
        // dialog went, else at home.
        std::vector<std::string> folders;
        for (const auto& d : h->ui.dialogs) folders.push_back(d.folder);
        const std::string home = QDir::homePath().toStdString();
        QCOMPARE(folders, (std::vector<std::string>{home, home, "/data/out", "/box", "/box", "/f"}));
        QVERIFY(h->ui.messages.empty());
    }

    void backKeepsEntries() {
        h->memoryFs()->createDirectories("/out");
        FrmProject& p = toProjectPage();
        click(welcome().chkEH);  // an option changed on the first page
        fillNewProject(p, QStringLiteral("/out"));
        click(p.optProjectStdExe);
        click(p.cmdNext);
        FrmConnection* conn = h->wizard->loadedConnection();
        QVERIFY(conn != nullptr);
        conn->txtDSN->setText(QStringLiteral("Orders"));
        QCOMPARE(conn->windowTitle(), QStringLiteral("Rowwright - Choose Connection"));

        // Back from the connection page: the project page as it was, the
        // connection page gone.
        click(conn->findChild<QPushButton*>("cmdBack"));
        QVERIFY(p.isVisible());
        QVERIFY(h->wizard->loadedConnection() == nullptr);
        QVERIFY(p.optNew->isChecked());
        QVERIFY(p.optProjectStdExe->isChecked());
        QCOMPARE(p.txtNewStoreDir->text(), QStringLiteral("/out"));
        QCOMPARE(p.txtProjName->text(), QStringLiteral("Orders"));

        // Next again builds a fresh connection page.
        click(p.cmdNext);
        QVERIFY(h->wizard->loadedConnection()->txtDSN->text().isEmpty());
        click(h->wizard->loadedConnection()->findChild<QPushButton*>("cmdBack"));

        // Back from the project page: the welcome page with its options.
        click(p.cmdBack);
        QVERIFY(welcome().isVisible());
        QVERIFY(!welcome().chkEH->isChecked());
        QVERIFY(h->wizard->loadedProject() == nullptr);
        click(welcome().findChild<QPushButton*>("cmdNext"));
        QVERIFY(h->wizard->loadedProject()->txtProjName->text().isEmpty());
        QVERIFY(h->wizard->loadedProject()->optLoaded->isChecked());
        QVERIFY(h->ui.messages.empty());
    }

    void cancelAnsweredNoThenYes() {
        FrmProject& p = toProjectPage();
        QSignalSpy finished(h->wizard.get(), &Wizard::finished);
        h->ui.answers = {kAnswerNo};
        click(p.cmdCancel);
        QCOMPARE(h->ui.messages, (std::vector<Msg>{{kCancelQuestion, 36, "Rowwright"}}));
        QCOMPARE(h->wizard->forms().size(), std::size_t{2});
        QVERIFY(p.isVisible());
        QCOMPARE(finished.count(), 0);

        h->ui.answers = {kAnswerYes};
        click(p.cmdCancel);
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        QVERIFY(h->wizard->forms().empty());
        QVERIFY(h->wizard->loadedAddInMain() == nullptr);
        QCOMPARE(finished.count(), 1);
        QVERIFY(windowsLeft().isEmpty());
    }

    void closeBoxAndEscapeAskLikeCancel() {
        FrmAddInMain& page = h->wizard->start();
        h->ui.answers = {kAnswerNo, kAnswerNo};
        page.close();
        QTest::keyClick(&page, Qt::Key_Escape);
        QCOMPARE(h->ui.messages, (std::vector<Msg>{{kCancelQuestion, 36, "Rowwright"}, {kCancelQuestion, 36, "Rowwright"}}));
        QVERIFY(page.isVisible());
        h->ui.answers = {kAnswerYes};
        page.close();
        QVERIFY(h->wizard->forms().empty());
        QVERIFY(windowsLeft().isEmpty());
    }

    void enterPressesNext() {
        FrmAddInMain& page = h->wizard->start();
        QTest::keyClick(&page, Qt::Key_Return);
        QVERIFY(h->wizard->loadedProject() != nullptr && h->wizard->loadedProject()->isVisible());
    }

    void browseForFolder() {
        std::string path = "unchanged";
        h->ui.dialogAnswers = {std::nullopt, std::string("\0/x", 3), std::string("/plain")};
        QCOMPARE(BrowseForFolder(h->ui, 17, 1, path, "Select Folder", nullptr), 1208L);
        QCOMPARE(path, std::string("unchanged"));
        QCOMPARE(BrowseForFolder(h->ui, 17, 1, path, "Select Folder", nullptr), 0L);
        QCOMPARE(path, std::string());
        QCOMPARE(BrowseForFolder(h->ui, 17, 1, path, "Select Folder", nullptr), 0L);
        QCOMPARE(path, std::string("/plain"));
    }

    void reportWindow() {
        toProjectPage();
        h->memoryFs()->createDirectories("/out");
        const std::string text = "Rowwright completed file generation at: \r\n12/5/2026 8:17:21 AM\r\n\r\n<End of Report>";
        FrmReport& r = h->wizard->frmReport();
        r.setAnswers("{\"answers\": true}\n");
        r.setWarnings({"warning: T.next: a", "warning: T.1st: b"});
        r.display(text, "/out", "/out/Orders.txt");
        QCOMPARE(r.txtWarnings->toPlainText(), QStringLiteral("warning: T.next: a\nwarning: T.1st: b"));
        QVERIFY(r.txtWarnings->isVisible());
        QVERIFY(r.isVisible());
        QCOMPARE(r.windowTitle(), QStringLiteral("Rowwright - File Generation Report"));
        QCOMPARE(r.txtReport->toPlainText(),
                 QStringLiteral("Rowwright completed file generation at: \n12/5/2026 8:17:21 AM\n\n<End of Report>"));
        QCOMPARE(h->ui.beeps, 1);
        QCOMPARE(r.cmdSaveAnswers->text(), QStringLiteral("Save &Answers..."));

        // Save: cancelled silently, then saved with one CR LF after the text.
        h->ui.dialogAnswers = {std::nullopt, std::string("/out/Saved.txt")};
        click(r.cmdSave);
        QVERIFY(!h->fs->exists("/out/Saved.txt"));
        click(r.cmdSave);
        QCOMPARE(h->fs->readAll("/out/Saved.txt"), text + "\r\n");
        QCOMPARE(h->ui.dialogs[0].kind, std::string("save"));
        QCOMPARE(h->ui.dialogs[0].filter, std::string("Text (*.txt)|*.txt|All Files (*.*)|*.*"));
        QCOMPARE(h->ui.dialogs[0].folder, std::string("/out"));
        QCOMPARE(h->ui.dialogs[0].fileName, std::string("/out/Orders.txt"));

        // A failing save is shown and the window stays.
        h->memoryFs()->failCreate("/out/Locked.txt", 70);
        h->ui.dialogAnswers = {std::string("/out/Locked.txt")};
        click(r.cmdSave);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{{shownError(70, "RwtAddIn", "frmReport.cmdSave_Click", "Permission denied"), 48,
                                    "Rowwright"}}));
        QVERIFY(r.isVisible());

        // Save Answers proposes the report's name as .json.
        h->ui.dialogAnswers = {std::string("/out/Orders.json")};
        click(r.cmdSaveAnswers);
        QCOMPARE(h->fs->readAll("/out/Orders.json"), std::string("{\"answers\": true}\n"));
        QCOMPARE(h->ui.dialogs.back().fileName, std::string("/out/Orders.json"));
        QCOMPARE(h->ui.dialogs.back().filter, std::string("Answers Files (*.json)|*.json|All Files (*.*)|*.*"));
        screenshot(&r, QStringLiteral("frmReport"));

        click(r.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 6));

        // Closing the report ends the wizard without a question.
        h->ui.messages.clear();
        click(r.cmdClose);
        QVERIFY(h->ui.messages.empty());
        QVERIFY(h->wizard->forms().empty());
        QVERIFY(windowsLeft().isEmpty());
    }

    void reportCloseBoxEndsTheWizard() {
        toProjectPage();
        FrmReport& r = h->wizard->frmReport();
        r.display("x", "", "Billing.txt");
        QVERIFY(r.txtWarnings->isHidden());
        r.close();
        QVERIFY(h->ui.messages.empty());
        QVERIFY(h->wizard->forms().empty());
    }

};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
