// The wizard's pages, its dialogs and the Qt user interface, over an in-memory file system, a
// database in memory and a scripted user interface; every outcome goes into one transcript.
#include "support/gui_support.h"
#include "wizard/qt_ui.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

const std::string kOdbcProvider = "Microsoft OLE DB Provider for ODBC Drivers";

QStringList opened(const FakeAccess& data) {
    QStringList opens;
    for (const auto& o : data.opens) opens << QString::fromStdString(o.connectionString + " / " + o.user + " / " + o.password);
    return opens;
}

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WizardHarness> h;
    Transcript t;
    // Through a DSN-less connection string, which needs no login.
    FrmChooseTables* toTablesPage() {
        FrmConnection& c = h->toConnectionPage();
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Orders;"));
        click(c.cmdNext);
        return h->wizard->loadedChooseTables();
    }

private slots:
    void initTestCase() { quietPlatformWarnings(); }
    void init() {
        h = std::make_unique<WizardHarness>();
        h->fakeData.make = sampleDatabase();
    }
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
    // What one run chose comes back in the next, any password left out.
    void choicesAreRememberedAcrossRuns() {
        QSettings(QStringLiteral("Rowwright"), QStringLiteral("Rowwright")).clear();
        WizardMemory memory;
        h = std::make_unique<WizardHarness>(nullptr, nullptr, &memory);
        h->fakeData.make = sampleDatabase();
        h->memoryFs()->createDirectories("/out");
        click(h->wizard->start().chkEH);
        FrmProject& p = h->toProjectPage();
        click(p.optNew);
        click(p.optProjectStdExe);
        click(p.optProjectExisting);
        h->ui.dialogAnswers = {std::string("/out")};
        click(p.cmdExistStore);
        p.txtExistProject->setText(QStringLiteral("/out/Billing.vbp"));
        click(p.cmdNext);
        FrmConnection& c = *h->wizard->loadedConnection();
        c.txtDSN->setText(QStringLiteral("Northwind"));
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Orders;PWD={a;b};UID=u"));
        click(c.cmdNext);
        h->wizard->closeWizard(false);
        h = std::make_unique<WizardHarness>(nullptr, nullptr, &memory);
        h->memoryFs()->createDirectories("/out");
        t.row("remembered");
        t.widgets(&h->wizard->start(), "chkModuleHead chkFunctionHead chkDevNotes chkEH chkCode");
        click(h->wizard->loadedAddInMain()->cmdNext);
        FrmProject& q = *h->wizard->loadedProject();
        t.widgets(&q, "optLoaded optNew optProjectStdExe txtProjName txtNewStoreDir optProjectExisting txtExistProject txtExistStoreDir");
        click(q.cmdExistStore);  // cancelled; opens where the last run's browser went
        click(q.cmdNext);
        t.widgets(h->wizard->loadedConnection(), "optDSN txtDSN optDSNLess txtConnString");
        t.said(h->ui);
        h->wizard->closeWizard(false);
    }
    // The login dialog: cancelled, nothing opens; OK is its default. A data source's user needs no login.
    void loginAndDataSource() {
        FrmConnection& c = h->toConnectionPage();
        t.row("login");
        t.widgets(&c, "optDSN txtDSN cmdDSN optDSNLess txtConnString cmdOLEDB cmdNext");
        c.txtDSN->setText(QStringLiteral("Orders"));
        for (const char* press : {"cancel", "enter"}) {
            whenModal<FrmLogin>([this, press](FrmLogin* d) {
                t("login dialog", d->windowTitle(), int(d->txtPassword->echoMode()));
                if (*press == 'c') return click(d->cmdCancel);
                QTest::keyClicks(d->txtUserName, QStringLiteral("sa"));
                QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
                QTest::keyClick(d, Qt::Key_Return);
            });
            click(c.cmdNext);
            t(press, c.isVisible(), opened(h->fakeData));
        }
        click(h->wizard->loadedChooseTables()->cmdBack);
        click(h->wizard->loadedConnection()->cmdHelp);
        t.said(h->ui);
        init();
        h->fakeData.sources = {{0, "Orders"}, {0, "   "}, {0, "Billing"}};
        h->fakeData.make = sampleDatabase([](FakeConnection& c) { c.completedString = "DSN=Orders;UID=admin;"; });
        FrmConnection& d = h->toConnectionPage();
        h->ui.dataSourceAnswers = {"DSN=Orders;UID=admin;PWD="};
        click(d.cmdDSN);
        t.row("data source");
        for (const auto& prompt : h->ui.dataSourcePrompts) t("offered", QString::fromStdString(prompt[0] + ", " + prompt[1]));
        t.widgets(&d, "txtDSN");
        click(d.cmdNext);
        t("tables shown, opened", h->wizard->loadedChooseTables()->isVisible(), opened(h->fakeData));
        t.said(h->ui);
    }
    // A failed open, table list or field list is shown, the page before stays; a cancel is silent.
    void loadFailures() {
        for (const auto& [at, number] : {std::pair{0, -2147467259L}, {1, -2147467259L}, {1, -2147217842L}, {2, -2147467259L}}) {
            init();
            const std::string text = number == -2147217842L ? "Operation Canceled" : "Communication link failure";
            if (at == 0) h->fakeData.openError = RuntimeError(number, kOdbcProvider, text);
            if (at == 1) h->fakeData.make = sampleDatabase([=](FakeConnection& c) { c.tablesError = RuntimeError(number, kOdbcProvider, text); });
            if (at == 2) h->fakeData.make = sampleDatabase([](FakeConnection& c) { c.brokenTable = "Orders"; });
            FrmChooseTables* tables = toTablesPage();
            if (tables != nullptr) click(tables->cmdNext);
            t.row(QStringLiteral("failure at %1: %2").arg(at).arg(number));
            t.said(h->ui);
            t("connection, tables, fields shown", h->wizard->loadedConnection()->isVisible(), tables != nullptr && tables->isVisible(),
              h->wizard->loadedFields() != nullptr);
        }
    }
    // The builder tests the chosen provider's string and hands it on; a missing database file is shown.
    void builder() {
        h->fakeData.sources = {{0, "Orders"}, {0, "Billing"}};
        FrmConnection& c = h->toConnectionPage();
        click(c.optDSNLess);
        h->ui.dialogAnswers = {std::string("/no/such/file.mdb")};
        whenModal<FrmOLEDBLogin>([](FrmOLEDBLogin* d) {
            d->cboProviders->setCurrentIndex(3);
            click(d->cmdDB);
            d->cboProviders->setCurrentIndex(4);
            d->cboDSNList->setCurrentIndex(1);
            emit d->cboDSNList->activated(1);
            click(d->cmdTest);
            click(d->cmdOK);
        });
        click(c.cmdOLEDB);
        t.row("builder");
        t("opened", opened(h->fakeData));
        t.said(h->ui);
        t.widgets(&c, "txtConnString");
    }
    // Tables without system tables, kept on Back; the marks by click, Space, Detect Keys and "Auto on";
    // No to the overwrite question writes nothing, Yes writes the files, the report and its answers.
    void tablesFieldsAndFinish() {
        FrmChooseTables& tables = *toTablesPage();
        t.row("tables");
        t("connection page shown", h->wizard->loadedConnection()->isVisible());
        t.widgets(&tables, "lstYes lstNo");
        tables.lstYes->item(0)->setSelected(true);
        tables.lstYes->item(2)->setSelected(true);
        click(tables.cmdDontInclude);
        click(tables.cmdHelp);
        click(tables.cmdNext);
        click(h->wizard->loadedFields()->cmdBack);
        t("shown, fields page gone", tables.isVisible() && h->wizard->loadedFields() == nullptr);
        t.widgets(&tables, "lstYes lstNo");
        click(tables.cmdIncludeAll);
        t.widgets(&tables, "lstYes lstNo");
        click(tables.cmdNext);
        FrmFields& f = *h->wizard->loadedFields();
        t("tables page shown", tables.isVisible());
        t.widgets(&f, "cmdNext cmdFinish");
        QAbstractItemModel* m = f.grdFields->model();
        auto record = [&](const QString& step) {
            t.row(step);
            for (int row = 0; row < m->rowCount(); ++row)
                t(QString::fromStdString(fieldRowText(f.fieldRows().row(row))), m->index(row, kColumnPrimary).data(Qt::CheckStateRole),
                  m->index(row, kColumnAuto).data(Qt::CheckStateRole));
        };
        record("loaded");
        for (const auto& [row, column] : {std::pair{1, kColumnAuto}, {1, kColumnAuto}, {3, kColumnPrimary},
                                          {2, kColumnTable}, {2, kColumnField}}) {
            QTest::mouseClick(f.grdFields->viewport(), Qt::LeftButton, Qt::NoModifier,
                              f.grdFields->visualRect(m->index(row, column)).center());
            record(QStringLiteral("click row %1, column %2").arg(row).arg(column));
        }
        f.grdFields->setCurrentIndex(m->index(2, kColumnPrimary));
        QTest::keyClick(f.grdFields, Qt::Key_Space);
        record("Space on row 2");
        click(f.cmdDetectKeys);
        record("Detect Keys");
        f.grdFields->selectAll();
        for (QAction* a : f.grdFields->actions())
            if (a->text() == QStringLiteral("Auto on")) a->trigger();
        record("all selected, Auto on");
        click(f.cmdHelp);
        h->memoryFs()->put("/out/clsOrders.cls", "earlier");
        h->ui.answers = {kAnswerNo, kAnswerYes};
        click(f.cmdFinish);
        t.row("Finish, No");
        t("fields shown, report, files", f.isVisible(), h->wizard->loadedReport() != nullptr, h->fs->readAll("/out/clsOrders.cls"),
          h->fs->exists("/out/Orders.vbp"));
        click(f.cmdFinish);
        FrmReport* r = h->wizard->loadedReport();
        t.row("Finish, Yes");
        t("fields shown, report shown, files", f.isVisible(), r->isVisible(), h->fs->exists("/out/Orders.vbp"),
          h->fs->exists("/out/clsMsysLower.cls"));
        t.widgets(r, "txtWarnings");
        h->ui.dialogAnswers = {std::string("/out/Orders.json")};
        click(r->cmdSaveAnswers);
        t.said(h->ui);
        QVERIFY(matchesGolden("gui_new_project_report.txt", QByteArray::fromStdString(r->reportText())));
        QVERIFY(matchesGolden("gui_new_project_answers.json", QByteArray::fromStdString(h->fs->readAll("/out/Orders.json"))));
        click(r->cmdClose);
        t("pages after Close", int(h->wizard->forms().size()));
    }
    // Cancel in the progress dialog (once 40 tables are loaded) goes back; Next then loads them all.
    void cancelWhileLoadingManyTables() {
        h->fakeData.make = sampleDatabase([](FakeConnection& c) {
            c.tables.clear();
            for (int i = 1; i <= 300; ++i) {
                c.tables.push_back({"t" + std::to_string(i), "TABLE"});
                c.columns["t" + std::to_string(i)] = {{"id", 3, 10, 0, false}, {"name", 130, {}, {}, true}};
            }
        });
        h->wizard->services().fieldsProgressDelayMs = 0;  // the dialog shows at once
        FrmChooseTables& tables = *toTablesPage();
        tables.lstYes->item(0)->setSelected(true);
        click(tables.cmdDontInclude);
        int cancelledAt = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dialog->value() < 40 || std::exchange(cancelledAt, dialog->value()) != 0) return;
            click(dialog->findChild<QPushButton*>());
        });
        watch.start(0);
        click(tables.cmdNext);
        watch.stop();
        t.row("cancelled while loading");
        t("cancelled at", cancelledAt >= 40 && cancelledAt < 299, h->wizard->loadedFields() == nullptr, tables.isVisible());
        t.widgets(&tables, "lstNo");
        t.said(h->ui);
        click(tables.cmdNext);
        t("loaded then, tables page shown", int(h->wizard->loadedFields()->fieldRows().rowCount()), tables.isVisible());
        h->wizard->closeWizard(false);
    }
};

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
