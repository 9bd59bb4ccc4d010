// The welcome page, the project page, the report window and the Qt user
// interface, over an in-memory file system and a scripted user interface.
#include "support/gui_support.h"
#include "wizard/qt_ui.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

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
    void init() { h = std::make_unique<WizardHarness>(); }
    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }
    // Notes live inside headers: no header clears them, notes bring both back.
    void welcomeOptionRules() {
        FrmAddInMain& p = h->wizard->start();
        Transcript t;
        for (QCheckBox* box : {static_cast<QCheckBox*>(nullptr), p.chkModuleHead, p.chkFunctionHead, p.chkDevNotes, p.chkDevNotes,
                               p.chkFunctionHead, p.chkEH}) {
            if (box != nullptr) click(box);
            t.row(box != nullptr ? box->text() : QStringLiteral("shown"));
            t.widgets({RW_NAMED(p, chkModuleHead), RW_NAMED(p, chkFunctionHead), RW_NAMED(p, chkDevNotes),
                       RW_NAMED(p, chkEH), RW_NAMED(p, chkCode)});
        }
        QVERIFY(matchesGolden("gui_welcome_options.txt", t.text));
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
    // Each option enables its own controls only and texts stay when it
    // changes; a dialog opens at the folder its page names, else where the
    // last dialog went, else at home; a cancelled one changes nothing.
    void projectOptionsAndDialogs() {
        FrmProject& p = toProjectPage();
        p.txtProjName->setText(QStringLiteral("Orders"));
        p.txtNewStoreDir->setText(QStringLiteral("/kept"));
        // The browser's buffer may carry NULs after the path.
        h->ui.dialogAnswers = {std::nullopt, std::string("/data/out\0\0\0", 12), std::string("/e"), std::nullopt,
                               std::string("/f/Billing.vbp"), std::nullopt};
        Transcript t;
        const std::tuple<const char*, QWidget*, const char*> steps[]{
            {"shown", nullptr, ""},         {"new", p.optNew, ""},
            {"browse, cancelled", p.cmdNewStore, ""}, {"browse", p.cmdNewStore, ""},
            {"existing", p.optProjectExisting, ""},   {"browse", p.cmdExistStore, ""},
            {"project, cancelled", p.cmdProject, "/box"}, {"project", p.cmdProject, ""},
            {"project, no folder", p.cmdProject, "-"}, {"loaded", p.optLoaded, ""}};
        for (const auto& [name, button, box] : steps) {
            if (*box != 0) p.txtExistStoreDir->setText(QString::fromLatin1(box).remove('-'));
            if (button != nullptr) click(button);
            t.row(name);
            t.asked(h->ui.dialogs);
            t.widgets({RW_NAMED(p, optLoaded), RW_NAMED(p, cboLoadedProject), RW_NAMED(p, optNew),
                       RW_NAMED(p, optProjectStdExe), RW_NAMED(p, optProjectActiveXExe), RW_NAMED(p, optProjectActiveXDLL),
                       RW_NAMED(p, txtProjName), RW_NAMED(p, txtNewStoreDir), RW_NAMED(p, cmdNewStore),
                       RW_NAMED(p, optProjectExisting), RW_NAMED(p, txtExistProject), RW_NAMED(p, cmdProject),
                       RW_NAMED(p, txtExistStoreDir), RW_NAMED(p, cmdExistStore)});
        }
        QVERIFY(matchesGolden("gui_project_options.txt", t.text));
        QVERIFY(h->ui.messages.empty());
    }
    // Next's checks, with a project loaded from /p and a folder /there; a
    // missing store folder is made on Yes, unless its parent is missing too.
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
            {"existing, folder there", "existing", "/there", "/there/Billing.vbp"},
            {"missing folder, No", "new", "/made", "Orders"},
            {"missing folder, Yes", "new", "/made", "Orders"},
            {"missing folder and parent, Yes", "new", "/a/b", "Orders"}};
        Transcript t;
        for (const auto& [name, option, folder, project] : rows) {
            h = std::make_unique<WizardHarness>();
            h->memoryFs()->createDirectories("/p");
            h->memoryFs()->createDirectories("/there");
            h->environment.loadProject(writeSampleProject(*h->fs, "/p"));
            FrmProject& p = toProjectPage();
            QCOMPARE(p.cboLoadedProject->currentIndex(), -1);
            h->ui.answers = {QByteArray(name).endsWith("Yes") ? kAnswerYes : kAnswerNo};
            const std::string how = option;
            if (how == "loaded" && *folder != 0) p.cboLoadedProject->setCurrentIndex(0);
            if (how != "loaded") {
                click(how == "new" ? p.optNew : p.optProjectExisting);
                (how == "new" ? p.txtNewStoreDir : p.txtExistStoreDir)->setText(QString::fromUtf8(folder));
                (how == "new" ? p.txtProjName : p.txtExistProject)->setText(QString::fromUtf8(project));
            }
            click(p.cmdNext);
            t.row(name);
            t.said(h->ui.messages);
            t("went on", h->wizard->loadedConnection() != nullptr && !p.isVisible());
            t("went on with", QString::fromStdString(p.msStoreDir + " " + p.msProject));
            t("made", QStringList{QString::number(h->fs->isDirectory("/a")), QString::number(h->fs->isDirectory("/made"))});
            QVERIFY2(!h->memoryFs()->isDirectory("/out"), name);
            if (how == "loaded" && *folder != 0) QVERIFY(p.mvbpProject == h->environment.projects().front().get());
        }
        QVERIFY(matchesGolden("gui_project_next.txt", t.text));
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
    // Escape asks, as Cancel and the close box do; No keeps every page.
    void escapeAsks() {
        FrmProject& p = toProjectPage();
        QSignalSpy finished(h->wizard.get(), &Wizard::finished);
        h->ui.answers = {kAnswerNo, kAnswerYes};
        QTest::keyClick(&p, Qt::Key_Escape);
        QVERIFY(h->wizard->forms().size() == 2 && p.isVisible() && finished.isEmpty());
        QTest::keyClick(&p, Qt::Key_Escape);
        const Msg question{"Are you sure you want to cancel and exit Rowwright?", 36};
        QCOMPARE(h->ui.messages, (std::vector<Msg>{question, question}));
        QVERIFY(h->wizard->forms().empty() && finished.count() == 1);
    }
    // Save: cancelled silently, then saved with one CR LF after the text; a
    // failing save is shown and the window stays; its close box asks nothing.
    void reportWindow() {
        toProjectPage();
        h->memoryFs()->createDirectories("/out");
        const std::string text = "Done at: \r\n12/5/2026\r\n\r\n<End of Report>";
        FrmReport& r = h->wizard->frmReport();
        r.setAnswers("{\"answers\": true}\n");
        r.setWarnings({"warning: T.next: a", "warning: T.1st: b"});
        r.display(text, "/out", "/out/Orders.txt");
        h->memoryFs()->failCreate("/out/Locked.txt", 70);
        h->ui.dialogAnswers = {std::nullopt, std::string("/out/Saved.txt"), std::string("/out/Locked.txt"),
                               std::string("/out/Orders.json")};
        for (int i = 0; i < 3; ++i) click(r.cmdSave);
        click(r.cmdSaveAnswers);
        Transcript t;
        t.widgets({RW_NAMED(r, txtReport), RW_NAMED(r, txtWarnings)});
        t.said(h->ui.messages);
        t.asked(h->ui.dialogs);
        t("beeps", h->ui.beeps);
        for (const char* file : {"/out/Saved.txt", "/out/Orders.json"})
            t(file, QString::fromStdString(h->fs->readAll(file)).replace("\r\n", "\\r\\n").replace("\n", "\\n"));
        QVERIFY(matchesGolden("gui_report_window.txt", t.text));
        click(r.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 6));
        r.close();
        QVERIFY(h->ui.messages.empty() && h->wizard->forms().empty());
    }
    // Message boxes by style: the icon and buttons, the answer of a button or of Escape (0).
    void boxesByStyle() {
        Transcript t;
        for (const auto& [style, press] : {std::pair{64, 0x400}, {48, 0x400}, {36, 0x10000}, {36, 0}, {20, 0x4000},
                                           {19, 0x400000}, {19, 0}}) {
            QtUi ui;
            t.row(QString::number(style) + " " + QString::number(press, 16));
            whenModal<QMessageBox>([&t, press](QMessageBox* box) {
                t("box", QStringList{box->windowTitle(), box->text().replace('\n', "\\n"), QString::number(box->textFormat()),
                                     QString::number(box->icon())});
                for (QAbstractButton* b : box->buttons()) t("button", QString::number(box->standardButton(b), 16));
                if (press == 0) return QTest::keyClick(box, Qt::Key_Escape);
                click(box->button(QMessageBox::StandardButton(press)));
            });
            t("answer", ui.msgBox("Error: 76\r\nSource: x\r\n\r\nDescription: <b>y</b>", style, "Other"));
        }
        QVERIFY(matchesGolden("gui_message_boxes.txt", t.text));
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
