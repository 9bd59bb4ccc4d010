// The connection page with its login dialog and OLE DB builder, the table
// page and the fields page, over a database in memory; and Finish.
#include "support/gui_support.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

const std::string kOdbcProvider = "Microsoft OLE DB Provider for ODBC Drivers";

// A small SQL Server database: Customers keyed by CustomerID, Orders with
// an identity OrderID, a view and the system's own tables; `change` alters it.
std::function<std::unique_ptr<FakeConnection>(const std::string&)> sampleDatabase(
    std::function<void(FakeConnection&)> change = {}) {
    return [change](const std::string&) {
        auto c = std::make_unique<FakeConnection>();
        c->properties = {{"DBMS Name", "Microsoft SQL Server"}, {"Data Source Name", "Orders"}};
        c->tables = {{"Customers", "TABLE"}, {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"},
                     {"msysLower", "TABLE"}, {"CustomerView", "VIEW"},  {"Orders", "TABLE"}};
        c->columns["Customers"] = {{"CustomerID", 130, {}, {}, false}, {"CompanyName", 130, {}, {}, false}};
        c->columns["Orders"] = {{"OrderID", 3, 10, 0, false}, {"CustomerID", 130, {}, {}, false}};
        c->columns["msysLower"] = {{"next", 3, 10, 0, true}};
        c->keys = {{"Customers", {"CustomerID"}}, {"Orders", {"OrderID"}}};
        c->queries["SELECT IDENTITYCOL FROM Orders"] = [] {
            return std::make_unique<MemoryRecordset>(std::vector<std::string>{"OrderID"},
                                                     std::vector<std::vector<Variant>>{});
        };
        if (change) change(*c);
        return c;
    };
}

}  // namespace

class ConnectionTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WizardHarness> h;
    // After a new project "Orders" in /out, or the loaded Billing project.
    FrmConnection& toConnectionPage(bool loaded = false) {
        h->memoryFs()->createDirectories("/out");
        if (loaded) h->environment.loadProject(writeSampleProject(*h->fs, "/out"));
        click(h->wizard->start().cmdNext);
        FrmProject& p = *h->wizard->loadedProject();
        p.cboLoadedProject->setCurrentIndex(loaded ? 0 : -1);
        if (!loaded) click(p.optNew);
        p.txtNewStoreDir->setText(QStringLiteral("/out"));
        p.txtProjName->setText(QStringLiteral("Orders"));
        click(p.cmdNext);
        return *h->wizard->loadedConnection();
    }
    // Through a DSN-less connection string, which needs no login.
    FrmChooseTables* toTablesPage(bool loaded = false) {
        FrmConnection& c = toConnectionPage(loaded);
        click(c.optDSNLess);
        c.txtConnString->setText(QStringLiteral("DSN=Orders;"));
        click(c.cmdNext);
        return h->wizard->loadedChooseTables();
    }
    FrmFields& toFieldsPage(bool loaded = false) {
        click(toTablesPage(loaded)->cmdNext);
        return *h->wizard->loadedFields();
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
    // What one run chose comes back in the next, any password left out.
    void choicesAreRememberedAcrossRuns() {
        QSettings(QStringLiteral("Rowwright"), QStringLiteral("Rowwright")).clear();
        WizardMemory memory;
        h = std::make_unique<WizardHarness>(nullptr, nullptr, &memory);
        h->fakeData.make = sampleDatabase();
        toConnectionPage();
        click(h->wizard->loadedConnection()->cmdBack);
        click(h->wizard->loadedProject()->cmdBack);
        click(h->wizard->loadedAddInMain()->chkEH);
        click(h->wizard->loadedAddInMain()->cmdNext);
        FrmProject& p = *h->wizard->loadedProject();
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
        FrmAddInMain& w = h->wizard->start();
        Transcript t;
        t.widgets({RW_NAMED(w, chkModuleHead), RW_NAMED(w, chkFunctionHead), RW_NAMED(w, chkDevNotes), RW_NAMED(w, chkEH),
                   RW_NAMED(w, chkCode)});
        click(w.cmdNext);
        FrmProject& q = *h->wizard->loadedProject();
        t.widgets({RW_NAMED(q, optLoaded), RW_NAMED(q, optNew), RW_NAMED(q, optProjectStdExe), RW_NAMED(q, txtProjName),
                   RW_NAMED(q, txtNewStoreDir), RW_NAMED(q, optProjectExisting), RW_NAMED(q, txtExistProject),
                   RW_NAMED(q, txtExistStoreDir)});
        click(q.cmdExistStore);  // cancelled; opens where the last run's browser went
        t.asked(h->ui.dialogs);
        click(q.cmdNext);
        FrmConnection& d = *h->wizard->loadedConnection();
        t.widgets({RW_NAMED(d, optDSN), RW_NAMED(d, txtDSN), RW_NAMED(d, optDSNLess), RW_NAMED(d, txtConnString)});
        QVERIFY(matchesGolden("gui_remembered_choices.txt", t.text));
        h->wizard->closeWizard(false);
    }
    // The login dialog asks once per page; cancelled, nothing opens.
    void login() {
        FrmConnection& c = toConnectionPage();
        c.txtDSN->setText(QStringLiteral("Orders"));
        whenModal<FrmLogin>([](FrmLogin* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Orders Login"));
            QCOMPARE(d->txtPassword->echoMode(), QLineEdit::Password);
            click(d->cmdCancel);
        });
        click(c.cmdNext);
        QVERIFY(h->fakeData.opens.empty() && h->ui.messages.empty() && c.isVisible());
        whenModal<FrmLogin>([](FrmLogin* d) {
            QTest::keyClicks(d->txtUserName, QStringLiteral("sa"));
            QTest::keyClicks(d->txtPassword, QStringLiteral("pw"));
            QTest::keyClick(d, Qt::Key_Return);  // OK is the default button
        });
        click(c.cmdNext);
        QVERIFY(!c.isVisible() && h->wizard->loadedChooseTables()->isVisible());
        const auto& open = h->fakeData.opens.at(0);
        QVERIFY(open.connectionString == "Orders" && open.user == "sa" && open.password == "pw");
        click(h->wizard->loadedChooseTables()->cmdBack);
        click(h->wizard->loadedConnection()->cmdHelp);
        QCOMPARE(h->ui.urls, std::vector<std::string>{helpPageUrl(RW_SOURCE_HELP_DIR, 3)});
    }
    // The data source's user name comes with it: no login dialog.
    void dataSourceDialog() {
        h->fakeData.sources = {{0, "Orders"}, {0, "   "}, {0, "Billing"}};
        h->fakeData.make = sampleDatabase([](FakeConnection& c) { c.completedString = "DSN=Orders;UID=admin;"; });
        FrmConnection& c = toConnectionPage();
        h->ui.dataSourceAnswers = {"DSN=Orders;UID=admin;PWD="};
        click(c.cmdDSN);
        QCOMPARE(h->ui.dataSourcePrompts, (std::vector<std::vector<std::string>>{{"Orders", "Billing"}}));
        QCOMPARE(c.txtDSN->text(), QStringLiteral("Orders"));
        click(c.cmdNext);
        const auto& open = h->fakeData.opens.back();
        QVERIFY(open.connectionString == "Orders" && open.user == "admin" && open.password.empty());
        QVERIFY(h->ui.messages.empty() && h->wizard->loadedChooseTables()->isVisible());
    }
    // A failed open, table list or field list is shown and the page before
    // stays; a table list cancelled by the provider is silent.
    void loadFailures_data() {
        QTest::addColumn<int>("at");  // 0: open, 1: the table list, 2: the fields
        QTest::addColumn<long>("number");
        QTest::newRow("open") << 0 << -2147467259L;
        QTest::newRow("table list") << 1 << -2147467259L;
        QTest::newRow("table list cancelled") << 1 << -2147217842L;
        QTest::newRow("fields") << 2 << -2147467259L;
    }
    void loadFailures() {
        QFETCH(int, at);
        QFETCH(long, number);
        const std::string text = number == -2147217842L ? "Operation Canceled" : "Communication link failure";
        if (at == 0) h->fakeData.openError = RuntimeError(number, kOdbcProvider, text);
        if (at == 1) h->fakeData.make = sampleDatabase([=](FakeConnection& c) { c.tablesError = RuntimeError(number, kOdbcProvider, text); });
        if (at == 2) h->fakeData.make = sampleDatabase([](FakeConnection& c) { c.brokenTable = "Orders"; });
        FrmChooseTables* t = toTablesPage();
        if (t != nullptr) click(t->cmdNext);
        const char* where[]{"frmConnection.cmdNext_Click", "frmChooseTables.Display", "frmFields.Display"};
        const std::vector<Msg> shown{shownError(number, kOdbcProvider, where[at], text)};
        QCOMPARE(h->ui.messages, number == -2147217842L ? std::vector<Msg>{} : shown);
        QVERIFY(at == 2 ? t->isVisible() : h->wizard->loadedConnection()->isVisible());
        QVERIFY(h->wizard->loadedFields() == nullptr && h->ui.busyDepth == 0);
    }
    // The builder tests the chosen provider's string and hands it to the page;
    // a missing database file is shown.
    void builder() {
        h->fakeData.sources = {{0, "Orders"}, {0, "Billing"}};
        FrmConnection& c = toConnectionPage();
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
        const std::string built = "PROVIDER=MSDASQL;Data Source=Billing;User ID=;Password=;";
        QCOMPARE(h->fakeData.opens.at(0).connectionString, built);
        QCOMPARE(h->ui.messages, (std::vector<Msg>{shownError(53, "RwtAddIn", "frmOLEDBLogin.cmdDB_Click", "File not found"),
                                                   {"Test successful!", 64}}));
        QVERIFY(c.txtConnString->text().toStdString() == built && h->ui.busyDepth == 0);
    }
    // Tables only, no system tables; Back from the fields page keeps the lists.
    void tablesPage() {
        FrmChooseTables& t = *toTablesPage();
        QVERIFY(!h->wizard->loadedConnection()->isVisible());
        Transcript lists;
        lists.widgets({RW_NAMED(t, lstYes), RW_NAMED(t, lstNo)});
        t.lstYes->item(0)->setSelected(true);
        t.lstYes->item(2)->setSelected(true);
        click(t.cmdDontInclude);
        click(t.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 4));
        click(t.cmdNext);
        click(h->wizard->loadedFields()->cmdBack);
        QVERIFY(t.isVisible() && h->wizard->loadedFields() == nullptr && h->ui.messages.empty());
        lists.widgets({RW_NAMED(t, lstYes), RW_NAMED(t, lstNo)});
        QVERIFY(matchesGolden("gui_tables_page.txt", lists.text));
    }
    // Clicks and Space on the check columns, Detect Keys and the menu's
    // "Auto on" follow the click rule; clicks on the names change nothing.
    void fieldsPage() {
        FrmFields& f = toFieldsPage();
        QVERIFY(f.isVisible() && !h->wizard->loadedChooseTables()->isVisible() && !f.cmdNext->isEnabled());
        QAbstractItemModel* m = f.grdFields->model();
        Transcript t;
        auto record = [&](const QString& step) {
            t.row(step);
            for (int row = 0; row < m->rowCount(); ++row)
                t(QString::fromStdString(fieldRowText(f.fieldRows().row(row))),
                  QStringList{m->index(row, kColumnPrimary).data(Qt::CheckStateRole).toString(),
                              m->index(row, kColumnAuto).data(Qt::CheckStateRole).toString()});
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
        QVERIFY(matchesGolden("gui_fields_marks.txt", t.text));
        QVERIFY(h->ui.messages.empty() && h->ui.busyDepth == 0);
        click(f.cmdHelp);
        QCOMPARE(h->ui.urls.back(), helpPageUrl(RW_SOURCE_HELP_DIR, 5));
    }
    // No to the overwrite question writes nothing; Yes writes the files and shows the report.
    void finishWritesTheFilesAndShowsTheReport() {
        FrmFields& f = toFieldsPage();
        h->memoryFs()->put("/out/clsOrders.cls", "earlier");
        h->ui.answers = {kAnswerNo, kAnswerYes};
        click(f.cmdFinish);
        QVERIFY(f.isVisible() && h->wizard->loadedReport() == nullptr && !h->fs->exists("/out/Orders.vbp"));
        QVERIFY(h->fs->readAll("/out/clsOrders.cls") == "earlier" && h->ui.busyDepth == 0);
        click(f.cmdFinish);
        FrmReport* r = h->wizard->loadedReport();
        QVERIFY(h->ui.messages.size() == 2 && h->ui.messages[0] == h->ui.messages[1]);
        QVERIFY(h->ui.messages[0].text.starts_with("You are about to overwrite previously generated files."));
        QVERIFY(!f.isVisible() && r->isVisible() && h->ui.beeps == 1);
        QVERIFY(matchesGolden("gui_new_project_report.txt", QByteArray::fromStdString(r->reportText())));
        QVERIFY(h->fs->exists("/out/Orders.vbp") && h->fs->exists("/out/clsMsysLower.cls"));
        QCOMPARE(r->txtWarnings->toPlainText(), QStringLiteral("warning: msysLower.next: the property name Next is a "
                                                               "reserved word (the class will not compile)"));
        // The answers file holds the run's choices and its rows.
        h->ui.dialogAnswers = {std::string("/out/Orders.json")};
        click(r->cmdSaveAnswers);
        QVERIFY(matchesGolden("gui_new_project_answers.json", QByteArray::fromStdString(h->fs->readAll("/out/Orders.json"))));
        click(r->cmdClose);
        QVERIFY(h->wizard->forms().empty());
    }
};

QTEST_MAIN(ConnectionTest)
#include "connection_test.moc"
