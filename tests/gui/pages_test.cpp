// The welcome page, the project page, the report window and the Qt user
// interface, over an in-memory file system and a scripted user interface;
// every outcome goes into one transcript.
#include "support/gui_support.h"
#include "wizard/qt_ui.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

class PagesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WizardHarness> h;
    Transcript t;

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() { h = std::make_unique<WizardHarness>(); }
    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    void cleanupTestCase() { QVERIFY(matchesGolden("gui_pages.txt", t.text)); }
    // Notes live inside headers; Back and Finish do nothing here, Enter is Next; Help and the links.
    void welcomePage() {
        FrmAddInMain& p = h->wizard->start();
        t.widgets(&p, "cmdBack cmdNext cmdFinish");
        for (QCheckBox* box : {static_cast<QCheckBox*>(nullptr), p.chkModuleHead, p.chkFunctionHead, p.chkDevNotes,
                               p.chkDevNotes, p.chkFunctionHead, p.chkEH}) {
            if (box != nullptr) click(box);
            t.row(box != nullptr ? box->text() : QStringLiteral("welcome shown"));
            t.widgets(&p, "chkModuleHead chkFunctionHead chkDevNotes chkEH chkCode");
        }
        click(p.cmdBack);
        click(p.cmdFinish);
        t("pages after Back and Finish", int(h->wizard->forms().size()));
        QTest::keyClick(&p, Qt::Key_Return);
        t("Enter shows the project page", h->wizard->loadedProject()->isVisible());
        click(p.cmdHelp);
        emit p.Label3->linkActivated(QStringLiteral("#"));
        emit p.Label4->linkActivated(QStringLiteral("#"));
        t.said(h->ui);
        for (int n = 1; n <= 6; ++n)
            QVERIFY(QFile::exists(QUrl(QString::fromStdString(helpPageUrl(RW_SOURCE_HELP_DIR, n))).toLocalFile()));
    }
    // Each option enables its own controls and keeps texts; a dialog opens at its page's folder,
    // else where the last one went, else at home; a cancelled one changes nothing.
    void projectOptionsAndDialogs() {
        FrmProject& p = h->toProjectPage();
        p.txtProjName->setText(QStringLiteral("Orders"));
        p.txtNewStoreDir->setText(QStringLiteral("/kept"));
        // The browser's buffer may carry NULs after the path.
        h->ui.dialogAnswers = {std::nullopt, std::string("/data/out\0\0\0", 12), std::string("/e"), std::nullopt,
                               std::string("/f/Billing.vbp"), std::nullopt};
        const std::tuple<const char*, QWidget*, const char*> steps[]{
            {"shown", nullptr, ""}, {"new", p.optNew, ""}, {"browse, cancelled", p.cmdNewStore, ""},
            {"browse", p.cmdNewStore, ""}, {"existing", p.optProjectExisting, ""}, {"browse", p.cmdExistStore, ""},
            {"project, cancelled", p.cmdProject, "/box"}, {"project", p.cmdProject, ""},
            {"project, no folder", p.cmdProject, "-"}, {"loaded", p.optLoaded, ""}};
        for (const auto& [name, button, box] : steps) {
            if (*box != 0) p.txtExistStoreDir->setText(QString::fromLatin1(box).remove('-'));
            if (button != nullptr) click(button);
            t.row(name);
            t.said(h->ui);
            t.widgets(&p, "optLoaded cboLoadedProject optNew optProjectStdExe optProjectActiveXExe optProjectActiveXDLL "
                          "txtProjName txtNewStoreDir cmdNewStore optProjectExisting txtExistProject cmdProject "
                          "txtExistStoreDir cmdExistStore");
        }
    }
    // Next's checks with a project loaded from /p and a folder /there; a missing folder is made on Yes.
    void projectNext() {
        const std::tuple<const char*, const char*, const char*, const char*> rows[]{
            {"loaded, none chosen", "loaded", "", ""}, {"loaded, chosen", "loaded", "0", ""},
            {"new, no folder and no name", "new", "", ""}, {"new, folder without name", "new", "/out", ""},
            {"new, a space is a folder", "new", " ", ""}, {"existing, no folder", "existing", "", "/p/Billing.vbp"},
            {"existing, no project", "existing", "/out", ""}, {"asterisk", "new", "/out/*", "Orders"},
            {"network path", "existing", "\\\\server\\share", "/p/Billing.vbp"},
            {"name outside Windows-1252", "new", "/out", "\u9867"},
            {"existing project that is loaded", "existing", "/out", "/p/Billing.vbp"},
            {"existing, folder there", "existing", "/there", "/there/Billing.vbp"},
            {"missing folder, No", "new", "/made", "Orders"}, {"missing folder, Yes", "new", "/made", "Orders"},
            {"missing folder and parent, Yes", "new", "/a/b", "Orders"}};
        for (const auto& [name, option, folder, project] : rows) {
            h = std::make_unique<WizardHarness>();
            h->memoryFs()->createDirectories("/p");
            h->memoryFs()->createDirectories("/there");
            h->environment.loadProject(writeSampleProject(*h->fs, "/p"));
            FrmProject& p = h->toProjectPage();
            t.row(name);
            t.widgets(&p, "cboLoadedProject");
            h->ui.answers = {QByteArray(name).endsWith("Yes") ? kAnswerYes : kAnswerNo};
            const std::string how = option;
            if (how == "loaded" && *folder != 0) p.cboLoadedProject->setCurrentIndex(0);
            if (how != "loaded") {
                click(how == "new" ? p.optNew : p.optProjectExisting);
                (how == "new" ? p.txtNewStoreDir : p.txtExistStoreDir)->setText(QString::fromUtf8(folder));
                (how == "new" ? p.txtProjName : p.txtExistProject)->setText(QString::fromUtf8(project));
            }
            click(p.cmdNext);
            t.said(h->ui);
            t("went on", h->wizard->loadedConnection() != nullptr && !p.isVisible());
            t("went on with", p.msStoreDir + " " + p.msProject, p.mvbpProject == h->environment.projects().front().get());
            t("made /a, /made, /out", h->fs->isDirectory("/a"), h->fs->isDirectory("/made"), h->fs->isDirectory("/out"));
        }
    }
    // Back shows the page before as it was, Next builds the next anew; Escape asks, No keeps every page.
    void backAndEscape() {
        h->toConnectionPage().txtDSN->setText(QStringLiteral("Orders"));
        click(h->wizard->loadedAddInMain()->chkEH);
        FrmProject& p = *h->wizard->loadedProject();
        click(h->wizard->loadedConnection()->cmdBack);
        t.row("back from the connection page");
        t("project page shown, connection page gone", p.isVisible() && h->wizard->loadedConnection() == nullptr);
        t.widgets(&p, "optNew txtNewStoreDir txtProjName");
        click(p.cmdNext);
        t.widgets(h->wizard->loadedConnection(), "txtDSN");
        click(h->wizard->loadedConnection()->cmdBack);
        click(p.cmdBack);
        t("welcome shown, project page gone", h->wizard->loadedAddInMain()->isVisible() && !h->wizard->loadedProject());
        t.widgets(h->wizard->loadedAddInMain(), "chkEH");
        click(h->wizard->loadedAddInMain()->cmdNext);
        FrmProject& q = *h->wizard->loadedProject();
        t.widgets(&q, "txtProjName");
        QSignalSpy finished(h->wizard.get(), &Wizard::finished);
        h->ui.answers = {kAnswerNo, kAnswerYes};
        QTest::keyClick(&q, Qt::Key_Escape);
        t("Escape, No: pages, shown, finished", int(h->wizard->forms().size()), q.isVisible(), finished.count());
        QTest::keyClick(&q, Qt::Key_Escape);
        t("Escape, Yes: pages, finished", int(h->wizard->forms().size()), finished.count());
        t.said(h->ui);
    }
    // Save: cancelled, saved with a CR LF after the text, failing; the close box asks nothing.
    void reportWindow() {
        h->toProjectPage();
        h->memoryFs()->createDirectories("/out");
        FrmReport& r = h->wizard->frmReport();
        r.setAnswers("{\"answers\": true}\n");
        r.setWarnings({"warning: T.next: a", "warning: T.1st: b"});
        r.display("Done at: \r\n12/5/2026\r\n\r\n<End of Report>", "/out", "/out/Orders.txt");
        h->memoryFs()->failCreate("/out/Locked.txt", 70);
        h->ui.dialogAnswers = {std::nullopt, std::string("/out/Saved.txt"), std::string("/out/Locked.txt"),
                               std::string("/out/Orders.json")};
        for (int i = 0; i < 3; ++i) click(r.cmdSave);
        click(r.cmdSaveAnswers);
        click(r.cmdHelp);
        t.row("report window");
        t.widgets(&r, "txtReport txtWarnings cmdClose");
        t.said(h->ui);
        for (const char* file : {"/out/Saved.txt", "/out/Orders.json"})
            t(file, QString::fromStdString(h->fs->readAll(file)).replace("\r\n", "\\r\\n").replace("\n", "\\n"));
        r.close();
        t.said(h->ui);
        t("pages after the close box", int(h->wizard->forms().size()));
    }
    // Message boxes by style: the icon and buttons, the answer of a button or of Escape (0).
    void boxesByStyle() {
        for (const auto& [style, press] : {std::pair{64, 0x400}, {48, 0x400}, {36, 0x10000}, {36, 0}, {20, 0x4000},
                                           {19, 0x400000}, {19, 0}}) {
            QtUi ui;
            t.row(QString::number(style) + " " + QString::number(press, 16));
            whenModal<QMessageBox>([this, press](QMessageBox* box) {
                t("box", box->windowTitle(), box->text().replace('\n', "\\n"), int(box->textFormat()), int(box->icon()));
                for (QAbstractButton* b : box->buttons()) t("button", QString::number(box->standardButton(b), 16));
                if (press == 0) return QTest::keyClick(box, Qt::Key_Escape);
                click(box->button(QMessageBox::StandardButton(press)));
            });
            t("answer", ui.msgBox("Error: 76\r\nSource: x\r\n\r\nDescription: <b>y</b>", style, "Other"));
        }
    }
    // The data source dialog, with and without sources; a missing help file; dialog filters.
    void qtUi() {
        QtUi ui;
        std::string chosen = "unchanged";
        t.row("data source dialog");
        for (const std::vector<std::string>& sources : {std::vector<std::string>{"Orders", "Billing"}, {}}) {
            whenModal<DataSourceDialog>([this](DataSourceDialog* d) {
                t.widgets(d, "lstDataSources lblNoDataSources cmdOK");
                t("current row, password echo", d->lstDataSources->currentRow(), int(d->txtPassword->echoMode()));
                if (!d->cmdOK->isEnabled()) return QTest::keyClick(d, Qt::Key_Escape);
                d->lstDataSources->setCurrentRow(1);
                QTest::keyClicks(d->txtUserName, QStringLiteral("me;you"));
                QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
                click(d->cmdOK);
            });
            t("chosen", ui.promptDataSource(sources, chosen));
            t("connection string", chosen);
        }
        try {
            QtUi().openUrl("file:///no/such/help/rwhelp1.htm");
        } catch (const RuntimeError& e) {
            t("missing help file", int(e.number), e.source);
        }
        for (const char* filter : {"Text (*.txt)|*.txt|All Files (*.*)|*.*", "Pictures|*.png;*.jpg"})
            t(filter, qtDialogFilter(filter));
    }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
