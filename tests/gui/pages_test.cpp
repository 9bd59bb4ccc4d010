// The welcome page, the project page, the report window and the Qt user
// interface, over an in-memory file system and a scripted user interface.
#include "support/gui_support.h"
#include "wizard/qt_ui.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

// The welcome page's ticked options: M(odule), F(unction), N(otes), E(rror handling), C(ode).
QString ticked(const FrmAddInMain& p) {
    QString s;
    const std::pair<QCheckBox*, char> boxes[]{
        {p.chkModuleHead, 'M'}, {p.chkFunctionHead, 'F'}, {p.chkDevNotes, 'N'}, {p.chkEH, 'E'}, {p.chkCode, 'C'}};
    for (const auto& [box, letter] : boxes) s += box->isChecked() ? QChar(letter) : QChar('-');
    return s;
}

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WizardHarness> h;
    FrmAddInMain& welcome() { return *h->wizard->loadedAddInMain(); }
    FrmProject& toProjectPage() {
        click(h->wizard->start().cmdNext);
        return *h->wizard->loadedProject();
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
    // Notes live inside headers: no header clears them, notes bring both back.
    void welcomeOptionRules() {
        FrmAddInMain& p = h->wizard->start();
        QCOMPARE(ticked(p), QStringLiteral("MFNEC"));
        const std::pair<QCheckBox*, const char*> steps[]{{p.chkModuleHead, "-FNEC"}, {p.chkFunctionHead, "---EC"},
                                                         {p.chkDevNotes, "MFNEC"},   {p.chkDevNotes, "MF-EC"},
                                                         {p.chkFunctionHead, "M--EC"}, {p.chkEH, "M---C"}};
        for (const auto& [box, expected] : steps) {
            click(box);
            QCOMPARE(ticked(p), QString::fromLatin1(expected));
        }
        // Back and Finish do nothing here; Enter is Next.
        click(p.cmdBack);
        click(p.cmdFinish);
        QCOMPARE(h->wizard->forms().size(), std::size_t{1});
        QTest::keyClick(&p, Qt::Key_Return);
        QVERIFY(h->wizard->loadedProject()->isVisible() && h->ui.messages.empty());
        // Help, and the two links to the project's own page.
        click(p.cmdHelp);
        emit p.Label3->linkActivated(QStringLiteral("#"));
        emit p.Label4->linkActivated(QStringLiteral("#"));
        const std::string help = helpPageUrl(RW_SOURCE_HELP_DIR, 1);
        QVERIFY(h->ui.urls.size() == 3 && h->ui.urls[0] == help && h->ui.urls[1] == help);
        QCOMPARE(QUrl(QString::fromStdString(h->ui.urls[2])).toLocalFile(),
                 QDir::cleanPath(QStringLiteral(RW_SOURCE_HELP_DIR "/../README.md")));
        for (int n = 1; n <= 6; ++n)
            QVERIFY(QFile::exists(QUrl(QString::fromStdString(helpPageUrl(RW_SOURCE_HELP_DIR, n))).toLocalFile()));
    }
    // Each option enables its own controls only; texts stay when it changes.
    void projectOptionRules() {
        FrmProject& p = toProjectPage();
        QVERIFY(!welcome().isVisible() && p.optLoaded->isChecked() && p.optProjectActiveXDLL->isChecked());
        const QList<QWidget*> newOnes{p.optProjectStdExe, p.optProjectActiveXExe, p.optProjectActiveXDLL,
                                      p.txtProjName,      p.txtNewStoreDir,       p.cmdNewStore};
        const QList<QWidget*> existingOnes{p.txtExistProject, p.cmdProject, p.txtExistStoreDir, p.cmdExistStore};
        p.txtProjName->setText(QStringLiteral("Orders"));
        const std::tuple<QRadioButton*, bool, bool, bool> rows[]{{p.optLoaded, true, false, false},
                                                                  {p.optNew, false, true, false},
                                                                  {p.optProjectExisting, false, false, true},
                                                                  {p.optLoaded, true, false, false}};
        for (const auto& [option, loaded, isNew, existing] : rows) {
            click(option);
            QCOMPARE(p.cboLoadedProject->isEnabled(), loaded);
            for (QWidget* w : newOnes) QCOMPARE(w->isEnabled(), isNew);
            for (QWidget* w : existingOnes) QCOMPARE(w->isEnabled(), existing);
        }
        QCOMPARE(p.txtProjName->text(), QStringLiteral("Orders"));
    }
    // Next's checks, with a project loaded from /p and a folder /there; the
    // message of each row, if any, in a golden file.
    void projectNext() {
        const std::tuple<const char*, const char*, const char*, const char*> rows[]{
            {"loaded, none chosen", "loaded", "", ""},
            {"loaded, chosen", "loaded", "0", ""},
            {"new, no folder and no name", "new", "", ""},
            {"new, folder without name", "new", "/out", ""},
            {"new, a space is a folder", "new", " ", ""},
            {"existing, no folder", "existing", "", "/p/Billing.vbp"},
            {"existing, no project", "existing", "/out", ""},
            {"asterisk", "new", "/out/*", "Orders"},
            {"network path", "existing", "\\\\server\\share", "/p/Billing.vbp"},
            {"name outside Windows-1252", "new", "/out", "\u9867"},
            {"existing project that is loaded", "existing", "/out", "/p/Billing.vbp"},
            {"existing, folder there", "existing", "/there", "/there/Billing.vbp"}};
        QByteArray said;
        for (const auto& [name, option, folder, project] : rows) {
            h = std::make_unique<WizardHarness>();
            h->memoryFs()->createDirectories("/p");
            h->memoryFs()->createDirectories("/there");
            h->environment.loadProject(writeSampleProject(*h->fs, "/p"));
            FrmProject& p = toProjectPage();
            QCOMPARE(p.cboLoadedProject->currentIndex(), -1);
            const std::string how = option;
            if (how == "loaded" && *folder != 0) p.cboLoadedProject->setCurrentIndex(0);
            if (how != "loaded") {
                click(how == "new" ? p.optNew : p.optProjectExisting);
                (how == "new" ? p.txtNewStoreDir : p.txtExistStoreDir)->setText(QString::fromUtf8(folder));
                (how == "new" ? p.txtProjName : p.txtExistProject)->setText(QString::fromUtf8(project));
            }
            click(p.cmdNext);
            said += QByteArray(name) + ": ";
            for (const Msg& m : h->ui.messages) said += QByteArray::fromStdString(m.text + " (" + std::to_string(m.style) + ")");
            said += "\r\n";
            QVERIFY2(!h->memoryFs()->isDirectory("/out") && h->ui.messages.size() <= 1, name);
            QVERIFY2(p.isVisible() == (h->wizard->loadedConnection() == nullptr), name);
            if (how == "loaded" && *folder != 0) QVERIFY(p.mvbpProject == h->environment.projects().front().get());
            if (h->ui.messages.empty() && how == "existing") QCOMPARE(p.msProject, std::string(project));
        }
        QVERIFY(matchesGolden("gui_project_next.txt", said));
    }
    // A missing store folder is made on Yes; one whose parent is missing cannot be.
    void missingStoreFolderIsMadeOnYes() {
        FrmProject& p = toProjectPage();
        click(p.optNew);
        p.txtNewStoreDir->setText(QStringLiteral("/out"));
        p.txtProjName->setText(QStringLiteral("Orders"));
        const Msg question{"This directory does not exist.  Would you like it to be created?", 36};
        h->ui.answers = {kAnswerNo, kAnswerYes};
        click(p.cmdNext);
        QVERIFY(!h->fs->isDirectory("/out") && p.isVisible() && p.msStoreDir.empty());
        click(p.cmdNext);
        QCOMPARE(h->ui.messages, (std::vector<Msg>{question, question}));
        QVERIFY(h->fs->isDirectory("/out") && h->wizard->loadedConnection()->isVisible());
        QVERIFY(p.msStoreDir == "/out" && p.msProject == "Orders");
        click(h->wizard->loadedConnection()->cmdBack);
        p.txtNewStoreDir->setText(QStringLiteral("/a/b"));
        h->ui.messages.clear();
        h->ui.answers = {kAnswerYes};
        click(p.cmdNext);
        QCOMPARE(h->ui.messages,
                 (std::vector<Msg>{question, shownError(76, "RwtAddIn", "frmProject.cmdNext_Click", "Path not found")}));
        QVERIFY(!h->fs->isDirectory("/a") && p.isVisible());
    }
    // A dialog opens at the folder its page names, else where the last
    // dialog went, else at home; a cancelled one changes nothing.
    void folderAndProjectButtons() {
        FrmProject& p = toProjectPage();
        click(p.optNew);
        p.txtNewStoreDir->setText(QStringLiteral("/kept"));
        // The browser's buffer may carry NULs after the path.
        h->ui.dialogAnswers = {std::nullopt, std::string("/data/out\0\0\0", 12)};
        click(p.cmdNewStore);
        QCOMPARE(p.txtNewStoreDir->text(), QStringLiteral("/kept"));
        click(p.cmdNewStore);
        QCOMPARE(p.txtNewStoreDir->text(), QStringLiteral("/data/out"));
        const ScriptedWizardUi::Dialog& browser = h->ui.dialogs[0];
        QVERIFY(browser.kind == "folder" && browser.root == 17 && browser.flags == 1 && browser.title == "Select Folder");
        click(p.optProjectExisting);
        h->ui.dialogAnswers = {std::string("/e"), std::nullopt, std::string("/f/Billing.vbp"), std::nullopt};
        click(p.cmdExistStore);
        QCOMPARE(p.txtExistStoreDir->text(), QStringLiteral("/e"));
        p.txtExistStoreDir->setText(QStringLiteral("/box"));
        click(p.cmdProject);
        QVERIFY(p.txtExistProject->text().isEmpty());
        click(p.cmdProject);
        QCOMPARE(p.txtExistProject->text(), QStringLiteral("/f/Billing.vbp"));
        QVERIFY(h->ui.dialogs[4].kind == "open" && h->ui.dialogs[4].filter == "VB Projects (*.vbp)|*.vbp");
        p.txtExistStoreDir->clear();
        click(p.cmdProject);
        std::vector<std::string> folders;
        for (const auto& d : h->ui.dialogs) folders.push_back(d.folder);
        const std::string home = QDir::homePath().toStdString();
        QCOMPARE(folders, (std::vector<std::string>{home, home, "/data/out", "/box", "/box", "/f"}));
        QVERIFY(h->ui.messages.empty());
    }
    // Back shows the page before as it was; Next builds the next page anew.
    void backKeepsEntries() {
        h->memoryFs()->createDirectories("/out");
        FrmProject& p = toProjectPage();
        click(welcome().chkEH);
        click(p.optNew);
        p.txtNewStoreDir->setText(QStringLiteral("/out"));
        p.txtProjName->setText(QStringLiteral("Orders"));
        click(p.cmdNext);
        h->wizard->loadedConnection()->txtDSN->setText(QStringLiteral("Orders"));
        click(h->wizard->loadedConnection()->cmdBack);
        QVERIFY(p.isVisible() && h->wizard->loadedConnection() == nullptr && p.optNew->isChecked());
        QVERIFY(p.txtNewStoreDir->text() == "/out" && p.txtProjName->text() == "Orders");
        click(p.cmdNext);
        QVERIFY(h->wizard->loadedConnection()->txtDSN->text().isEmpty());
        click(h->wizard->loadedConnection()->cmdBack);
        click(p.cmdBack);
        QVERIFY(welcome().isVisible() && !welcome().chkEH->isChecked() && h->wizard->loadedProject() == nullptr);
        click(welcome().cmdNext);
        QVERIFY(h->wizard->loadedProject()->txtProjName->text().isEmpty() && h->ui.messages.empty());
    }
    // Cancel, the close box and Escape ask first; No keeps every page.
    void cancelAsks_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("Escape") << 2;
    }
    void cancelAsks() {
        QFETCH(int, how);
        FrmProject& p = toProjectPage();
        QSignalSpy finished(h->wizard.get(), &Wizard::finished);
        h->ui.answers = {kAnswerNo, kAnswerYes};
        for (int i = 0; i < 2; ++i) {
            QVERIFY(h->wizard->forms().size() == 2 && p.isVisible() && finished.isEmpty());
            if (how == 0) click(p.cmdCancel);
            if (how == 1) p.close();
            if (how == 2) QTest::keyClick(&p, Qt::Key_Escape);
        }
        const Msg question{"Are you sure you want to cancel and exit Rowwright?", 36};
        QCOMPARE(h->ui.messages, (std::vector<Msg>{question, question}));
        QVERIFY(h->wizard->forms().empty() && h->wizard->loadedAddInMain() == nullptr && finished.count() == 1);
    }
    void reportWindow() {
        toProjectPage();
        h->memoryFs()->createDirectories("/out");
        const std::string text = "Done at: \r\n12/5/2026\r\n\r\n<End of Report>";
        FrmReport& r = h->wizard->frmReport();
        r.setAnswers("{\"answers\": true}\n");
        r.setWarnings({"warning: T.next: a", "warning: T.1st: b"});
        r.display(text, "/out", "/out/Orders.txt");
        QVERIFY(r.isVisible() && r.txtWarnings->isVisible() && h->ui.beeps == 1);
        QCOMPARE(r.txtWarnings->toPlainText(), QStringLiteral("warning: T.next: a\nwarning: T.1st: b"));
        QCOMPARE(r.txtReport->toPlainText(), QStringLiteral("Done at: \n12/5/2026\n\n<End of Report>"));
        // Save: cancelled silently, then saved with one CR LF after the text;
        // a failing save is shown and the window stays.
        h->memoryFs()->failCreate("/out/Locked.txt", 70);
        h->ui.dialogAnswers = {std::nullopt, std::string("/out/Saved.txt"), std::string("/out/Locked.txt"),
                               std::string("/out/Orders.json")};
        for (int i = 0; i < 3; ++i) click(r.cmdSave);
        QCOMPARE(h->fs->readAll("/out/Saved.txt"), text + "\r\n");
        const ScriptedWizardUi::Dialog& save = h->ui.dialogs[0];
        QVERIFY(save.kind == "save" && save.filter == "Text (*.txt)|*.txt|All Files (*.*)|*.*");
        QVERIFY(save.folder == "/out" && save.fileName == "/out/Orders.txt");
        Msg failed = shownError(70, "RwtAddIn", "frmReport.cmdSave_Click", "Permission denied");
        failed.path = "/out/Locked.txt";
        QCOMPARE(h->ui.messages, std::vector<Msg>{failed});
        // Save Answers proposes the report's name as .json.
        click(r.cmdSaveAnswers);
        QCOMPARE(h->fs->readAll("/out/Orders.json"), std::string("{\"answers\": true}\n"));
        QCOMPARE(h->ui.dialogs.back().fileName, std::string("/out/Orders.json"));
        QCOMPARE(h->ui.dialogs.back().filter, std::string("Answers Files (*.json)|*.json|All Files (*.*)|*.*"));
        click(r.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 6));
        // Its close box ends the wizard without a question.
        r.close();
        QVERIFY(h->ui.messages.size() == 1 && h->wizard->forms().empty());
    }
    // Message boxes by style: the icon and buttons, the answer of a button or of Escape (0).
    void boxesByStyle() {
        using B = QMessageBox;
        const std::tuple<int, int, QList<int>, int, int> rows[]{
            {64, B::Information, {B::Ok}, B::Ok, 1},         {48, B::Warning, {B::Ok}, B::Ok, 1},
            {36, B::Question, {B::Yes, B::No}, B::No, 7},    {36, B::Question, {B::Yes, B::No}, 0, 7},
            {20, B::Critical, {B::Yes, B::No}, B::Yes, 6},   {19, B::Critical, {B::Yes, B::No, B::Cancel}, B::Cancel, 2},
            {19, B::Critical, {B::Yes, B::No, B::Cancel}, 0, 2}};
        for (const auto& [style, icon, buttons, press, answer] : rows) {
            QtUi ui;
            whenModal<QMessageBox>([=](QMessageBox* box) {
                QCOMPARE(box->windowTitle(), QStringLiteral("Other"));
                QCOMPARE(box->text(), QStringLiteral("Error: 76\nSource: x\n\nDescription: <b>y</b>"));
                QVERIFY2(box->textFormat() == Qt::PlainText && int(box->icon()) == icon, qPrintable(QString::number(style)));
                QList<int> shown;
                for (QAbstractButton* b : box->buttons()) shown << int(box->standardButton(b));
                std::sort(shown.begin(), shown.end());
                QCOMPARE(shown, buttons);
                if (press == 0) return QTest::keyClick(box, Qt::Key_Escape);
                click(box->button(QMessageBox::StandardButton(press)));
            });
            QCOMPARE(ui.msgBox("Error: 76\r\nSource: x\r\n\r\nDescription: <b>y</b>", style, "Other"), answer);
        }
    }
    // The data source dialog; with no data source there is nothing to confirm.
    void dataSourceDialog() {
        QtUi ui;
        std::string chosen = "unchanged";
        whenModal<DataSourceDialog>([](DataSourceDialog* d) {
            QVERIFY(d->lstDataSources->currentRow() == 0 && !d->lblNoDataSources->isVisibleTo(d));
            d->lstDataSources->setCurrentRow(1);
            QTest::keyClicks(d->txtUserName, QStringLiteral("me;you"));
            QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
            QCOMPARE(d->txtPassword->echoMode(), QLineEdit::Password);
            click(d->cmdOK);
        });
        QVERIFY(ui.promptDataSource({"Orders", "Billing"}, chosen));
        QCOMPARE(chosen, std::string("DSN=Billing;UID={me;you};PWD=pw"));
        whenModal<DataSourceDialog>([](DataSourceDialog* d) {
            QVERIFY(!d->cmdOK->isEnabled());
            QTest::keyClick(d, Qt::Key_Escape);
        });
        QVERIFY(!ui.promptDataSource({}, chosen));
        QCOMPARE(chosen, std::string("DSN=Billing;UID={me;you};PWD=pw"));
    }
    void missingHelpFileAndDialogFilters() {
        try {
            QtUi().openUrl("file:///no/such/help/rwhelp1.htm");
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QVERIFY(e.number == 53 && e.source == "RwtAddIn");
        }
        QCOMPARE(qtDialogFilter("Text (*.txt)|*.txt|All Files (*.*)|*.*"), QStringLiteral("Text (*.txt);;All Files (*.*)"));
        QCOMPARE(qtDialogFilter("Pictures|*.png;*.jpg"), QStringLiteral("Pictures (*.png *.jpg)"));
    }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
