// The connection page with its login dialog and OLE DB builder, the table and fields pages
// and Finish, over a database in memory; every outcome goes into one transcript.
#include "support/gui_support.h"

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

class ConnectionTest : public QObject {
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
    void cleanupTestCase() { QVERIFY(matchesGolden("gui_connection.txt", t.text)); }
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

QTEST_MAIN(ConnectionTest)
#include "connection_test.moc"
