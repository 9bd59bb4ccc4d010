// The whole wizard through the real SQLite ODBC driver and the sample
// database, from the welcome page to the saved report; the files it writes
// are those `rowwright generate` writes for the same answers.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <dlfcn.h>
#include <sstream>

#include "cli/generate_command.h"
#include "platform/db/odbc.h"
#include "support/gui_support.h"
#include "wizard/frm_add_in_main.h"
#include "wizard/frm_choose_tables.h"
#include "wizard/frm_connection.h"
#include "wizard/frm_fields.h"
#include "wizard/frm_login.h"
#include "wizard/frm_oledb_login.h"
#include "wizard/frm_project.h"
#include "wizard/frm_report.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<cannot read " + path.toUtf8() + ">";
    return f.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every file of `expected` is in `actual` with the same bytes, and nothing more.
void compareFolders(const QString& actual, const QString& expected) {
    const QStringList names = QDir(expected).entryList(QDir::Files, QDir::Name);
    QCOMPARE(QDir(actual).entryList(QDir::Files, QDir::Name), names);
    QVERIFY(names.size() > 3);
    for (const QString& name : names) {
        const QByteArray a = readFile(actual + "/" + name), e = readFile(expected + "/" + name);
        QVERIFY2(a == e, qPrintable(QStringLiteral("%1 differs from what rowwright generate writes").arg(name)));
    }
}

// How a run connects, and what the same connection is in an answers file.
struct Connect {
    std::function<void(FrmConnection&)> fill;
    std::string answersConnection;
};

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

    QTemporaryDir odbcDir;
    std::unique_ptr<db::OdbcDataAccess> data;
    std::unique_ptr<WizardHarness> h;

    // The wizard from the welcome page to the fields page, for a new
    // ActiveX DLL "Orders" in `store`. `exclude` are the tables moved out;
    // `included` gets the tables that stayed included.
    FrmFields* toFieldsPage(const QString& store, const Connect& connect, const QStringList& exclude, bool screenshots,
                            std::vector<std::string>& included) {
        FrmAddInMain& welcome = h->wizard->start();
        if (screenshots) screenshot(&welcome, QStringLiteral("walkthrough-1-welcome"));
        click(welcome.cmdNext);

        FrmProject& project = *h->wizard->loadedProject();
        click(project.optNew);
        project.txtProjName->setText(QStringLiteral("Orders"));
        project.txtNewStoreDir->setText(store);
        if (screenshots) screenshot(&project, QStringLiteral("walkthrough-2-project"));
        h->ui.answers = {kAnswerYes};  // create the store folder
        click(project.cmdNext);
        FrmConnection& connection = *h->wizard->loadedConnection();
        [&] { QVERIFY(connection.isVisible()); }();

        connect.fill(connection);
        if (screenshots) screenshot(&connection, QStringLiteral("walkthrough-3-connection"));
        click(connection.cmdNext);
        FrmChooseTables* tables = h->wizard->loadedChooseTables();
        if (tables == nullptr) return nullptr;
        for (int i = 0; i < tables->lstYes->count(); ++i)
            tables->lstYes->item(i)->setSelected(exclude.contains(tables->lstYes->item(i)->text()));
        click(tables->cmdDontInclude);
        if (screenshots) screenshot(tables, QStringLiteral("walkthrough-4-tables"));
        included = tables->chosenTables();
        click(tables->cmdNext);
        return h->wizard->loadedFields();
    }

    // The wizard from the welcome page to the report (toFieldsPage);
    // `marks` are the (table, field, column) cells clicked on the fields
    // page. Returns the tables that stayed included.
    std::vector<std::string> runWizard(const QString& store, const Connect& connect,
                                       const QStringList& exclude,
                                       const std::vector<std::tuple<std::string, std::string, int>>& marks,
                                       bool screenshots) {
        std::vector<std::string> included;
        FrmFields* fields = toFieldsPage(store, connect, exclude, screenshots, included);
        if (fields == nullptr) return {};
        for (const auto& [table, field, column] : marks) {
            int row = -1;
            for (std::size_t r = 0; r < fields->fieldRows().rowCount(); ++r)
                if (fields->fieldRows().row(r).table == table && fields->fieldRows().row(r).field == field)
                    row = static_cast<int>(r);
            if (row < 0) return {};
            const QModelIndex cell = fields->grdFields->model()->index(row, column);
            fields->grdFields->scrollTo(cell);
            QTest::mouseClick(fields->grdFields->viewport(), Qt::LeftButton, Qt::NoModifier,
                              fields->grdFields->visualRect(cell).center());
        }
        if (screenshots) {
            fields->grdFields->clearSelection();
            fields->grdFields->scrollToTop();
            screenshot(fields, QStringLiteral("walkthrough-5-fields"));
        }
        click(fields->cmdFinish);

        FrmReport* report = h->wizard->loadedReport();
        if (report == nullptr) return {};
        if (screenshots) screenshot(report, QStringLiteral("walkthrough-6-report"));
        h->ui.dialogAnswers = {(store + "/Orders.txt").toStdString(), (store + ".answers.json").toStdString()};
        click(report->cmdSave);
        click(report->cmdSaveAnswers);
        click(report->cmdClose);
        return included;
    }

    // The connection page, after a new project "Orders" in the temporary folder.
    FrmConnection& toConnectionPage() {
        click(h->wizard->start().cmdNext);
        FrmProject& project = *h->wizard->loadedProject();
        click(project.optNew);
        project.txtProjName->setText(QStringLiteral("Orders"));
        project.txtNewStoreDir->setText(odbcDir.path());
        click(project.cmdNext);
        return *h->wizard->loadedConnection();
    }

    // Runs `rowwright generate` with an answers file into `store`.
    int generate(const QString& answersPath, const QString& store) {
        cli::GenerateOptions options;
        options.answersPath = answersPath.toStdString();
        options.now = "2026-12-05T08:17:21";
        options.workingFolder = QDir::currentPath().toStdString();
        options.reportPath = (store + "/Orders.txt").toStdString();
        std::ostringstream out, err;
        std::istringstream in;
        PosixFileSystem fs;
        const int status = cli::runGenerateCommand(options, out, err, fs, in, false);
        if (status != 0) qWarning("rowwright generate: %s", err.str().c_str());
        return status;
    }

    // The wizard's output in `store` equals what generate writes, both from
    // an answers file written by hand and from the one the wizard saved.
    void compareWithGenerate(const QString& store, const std::vector<std::string>& tables,
                             const std::string& connection, const std::string& marks) {
        const QString wizardOut = store + ".wizard";
        QVERIFY(QDir().rename(store, wizardOut));

        std::string tableList;
        for (const std::string& t : tables) tableList += (tableList.empty() ? "\"" : ", \"") + t + "\"";
        const std::string answers = "{\"target\": {\"mode\": \"new\", \"kind\": \"OleDll\", \"name\": \"Orders\", "
                                    "\"store\": \"" + store.toStdString() + "\"}, \"connection\": " + connection +
                                    ", \"tables\": [" + tableList + "], \"marks\": {" + marks + "}}";
        const QString byHand = store + ".byhand.json";
        QVERIFY(writeFile(byHand, QByteArray::fromStdString(answers)));
        QCOMPARE(generate(byHand, store), 0);
        compareFolders(wizardOut, store);

        QVERIFY(QDir(store).removeRecursively());
        QCOMPARE(generate(store + ".answers.json", store), 0);
        compareFolders(wizardOut, store);
    }

private slots:
    void initTestCase() {
        quietPlatformWarnings();
        QVERIFY(odbcDir.isValid());
        QVERIFY2(QFile::exists(QStringLiteral(RW_ODBC_SQLITE3)), "the SQLite3 ODBC driver (libsqliteodbc) is missing");
        const QString dir = odbcDir.path();
        QVERIFY(QFile::copy(QStringLiteral(RW_SAMPLE_DB), dir + "/orders.db"));
        QVERIFY(writeFile(dir + "/odbcinst.ini",
                          "[SQLite3]\nDriver=" RW_ODBC_SQLITE3 "\n\n[PostgreSQL Unicode]\nDriver=" RW_ODBC_PSQL "\n"));
        QVERIFY(writeFile(dir + "/odbc.ini", ("[rw_orders]\nDriver=SQLite3\nDatabase=" + dir + "/orders.db\n").toUtf8()));
        // unixODBC reads its ini files from here when it makes a connection.
        qputenv("ODBCSYSINI", dir.toUtf8());
        qputenv("ODBCINI", (dir + "/odbc.ini").toUtf8());
        qunsetenv("SOURCE_DATE_EPOCH");
        // The SQLite driver loads the ODBC installer library for each
        // connection and unloads it again; kept loaded, the few bytes it
        // leaks are reported under its name (and suppressed, lsan.supp)
        // rather than under an unknown module.
        dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_GLOBAL);
        data = std::make_unique<db::OdbcDataAccess>();
    }

    void init() {
        modalFailures() = 0;
        h = std::make_unique<WizardHarness>(std::make_unique<PosixFileSystem>(), data.get());
    }

    void cleanup() {
        h.reset();
        RW_VERIFY_NOTHING_LEFT();
    }

    void cleanupTestCase() { data.reset(); }

    void dataSourceTypedByHand() {
        // The store folder typed as a relative path, as a user would: it is
        // taken from the working folder, by the wizard and the tool alike.
        QVERIFY(QDir().mkpath(odbcDir.path() + "/typed"));
        const QString before = QDir::currentPath();
        struct Back {
            QString folder;
            ~Back() { QDir::setCurrent(folder); }
        } back{before};
        QVERIFY(QDir::setCurrent(odbcDir.path() + "/typed"));
        const QString store = QStringLiteral("out");
        const Connect connect{[&](FrmConnection& c) {
                                  c.txtDSN->setText(QStringLiteral("rw_orders"));
                                  // No login is known: the login dialog asks, and
                                  // SQLite needs none.
                                  whenModal<FrmLogin>([](FrmLogin* d) { click(d->cmdOK); });
                              },
                              "{\"kind\": \"dsn\", \"dsn\": \"rw_orders\", \"user\": \"\", \"password\": \"\"}"};
        const std::vector<std::string> tables =
            runWizard(store, connect, {"Employees", "shippers"},
                      {{"Orders", "OrderID", kColumnAuto}, {"Customers", "CustomerID", kColumnPrimary},
                       {"Order Details", "OrderID", kColumnPrimary}, {"Order Details", "ProductID", kColumnPrimary}},
                      true);
        QVERIFY(!tables.empty());
        QVERIFY(std::find(tables.begin(), tables.end(), "Employees") == tables.end());
        QVERIFY(std::find(tables.begin(), tables.end(), "Orders") != tables.end());
        QVERIFY(h->wizard->forms().empty());
        QCOMPARE(h->ui.messages.size(), std::size_t{1});  // the store folder question
        QVERIFY(QFile::exists(store + "/Orders.vbp"));
        QVERIFY(QFile::exists(store + "/clsOrderDetails.cls"));
        QVERIFY(readFile(store + "/Orders.txt").endsWith("<End of Report>\r\n"));
        compareWithGenerate(store, tables, connect.answersConnection,
                            "\"Orders.OrderID\": {\"auto\": true}, \"Customers.CustomerID\": {\"primary\": true}, "
                            "\"Order Details.OrderID\": {\"primary\": true}, \"Order Details.ProductID\": {\"primary\": true}");
    }

    void detectKeysAndMarkingSeveralRows() {
        const Connect connect{[](FrmConnection& c) {
                                  c.txtDSN->setText(QStringLiteral("rw_orders"));
                                  whenModal<FrmLogin>([](FrmLogin* d) { click(d->cmdOK); });
                              },
                              ""};
        std::vector<std::string> included;
        FrmFields* f = toFieldsPage(odbcDir.path() + "/keys", connect, {"Employees", "Products"}, false, included);
        QVERIFY(f != nullptr);
        // Each marked row of the first `count` as "Table.Field P|A", in grid order.
        auto marked = [&](std::size_t count = SIZE_MAX) {
            std::vector<std::string> rows;
            for (const FieldRow& r : f->fieldRows().rows())
                if ((r.primary || r.autoNumber) && rows.size() < count)
                    rows.push_back(r.table + "." + r.field + " " + (r.primary ? "P" : "") + (r.autoNumber ? "A" : ""));
            return rows;
        };
        QCOMPARE(marked(), std::vector<std::string>{});  // SQLite: nothing pre-marked
        QAbstractItemModel* m = f->grdFields->model();
        auto clickCell = [&](int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::mouseClick(f->grdFields->viewport(), Qt::LeftButton, modifiers,
                              f->grdFields->visualRect(m->index(row, column)).center());
        };
        clickCell(1, kColumnPrimary);  // the user's own mark stays
        click(f->cmdDetectKeys);
        QCOMPARE(marked(), (std::vector<std::string>{"Customers.CustomerID P", "Customers.CompanyName P",
                                                     "shippers.ShipperID PA", "Orders.OrderID PA",
                                                     "Order Details.OrderID P", "Order Details.ProductID P"}));
        QCOMPARE(m->index(0, kColumnPrimary).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

        // Rows 1 to 3 selected (a click, then a Shift+click on names): Space
        // clicks Primary in each.
        clickCell(1, kColumnField);
        clickCell(3, kColumnField, Qt::ShiftModifier);
        QTest::keyClick(f->grdFields, Qt::Key_Space);
        QCOMPARE(marked(4), (std::vector<std::string>{"Customers.CustomerID P", "Customers.ContactName P",
                                                      "Customers.Phone P", "shippers.ShipperID PA"}));
        // The context menu's "Auto on" ticks Auto and, by the click rule, Primary.
        for (QAction* a : f->grdFields->actions())
            if (a->text() == QStringLiteral("Auto on")) a->trigger();
        QCOMPARE(marked(5), (std::vector<std::string>{"Customers.CustomerID P", "Customers.CompanyName PA",
                                                      "Customers.ContactName PA", "Customers.Phone PA",
                                                      "shippers.ShipperID PA"}));
        QCOMPARE(m->index(2, kColumnAuto).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(h->ui.messages.size() == 1);  // the store folder question only
        h->wizard->closeWizard(false);
    }

    void failedConnectionThroughTheDriverManager() {
        FrmConnection& c = toConnectionPage();
        c.txtDSN->setText(QStringLiteral("no_such_source"));
        whenModal<FrmLogin>([](FrmLogin* d) { click(d->cmdOK); });
        click(c.cmdNext);
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        const QString text = QString::fromStdString(h->ui.messages[0].text);
        QVERIFY2(text.startsWith(QStringLiteral("Error: ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral(" (frmConnection.cmdNext_Click)\r\n\r\nDescription: ")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("IM002")), qPrintable(text));
        QCOMPARE(h->ui.messages[0].style, 48);
        QVERIFY(c.isVisible());
        QVERIFY(h->wizard->loadedChooseTables() == nullptr);
        // Corrected, the same page goes on (an empty login is no login: the
        // dialog asks again).
        c.txtDSN->setText(QStringLiteral("rw_orders"));
        whenModal<FrmLogin>([](FrmLogin* d) { click(d->cmdOK); });
        click(c.cmdNext);
        QVERIFY(h->wizard->loadedChooseTables() != nullptr && h->wizard->loadedChooseTables()->isVisible());
        h->wizard->closeWizard(false);
    }

    void dataSourceChosenInTheDialog() {
        const QString store = odbcDir.path() + "/chosen/out";
        QVERIFY(QDir().mkpath(odbcDir.path() + "/chosen"));
        h->ui.dataSourceAnswers = {"DSN=rw_orders;UID=tester;PWD=secret"};
        const Connect connect{[&](FrmConnection& c) {
                                  click(c.cmdDSN);
                                  QCOMPARE(c.txtDSN->text(), QStringLiteral("rw_orders"));
                              },
                              "{\"kind\": \"dsn\", \"dsn\": \"rw_orders\", \"user\": \"tester\", \"password\": \"secret\"}"};
        const std::vector<std::string> tables = runWizard(store, connect, {}, {{"Products", "ProductID", kColumnAuto}}, false);
        QVERIFY(!tables.empty());
        QCOMPARE(h->ui.dataSourcePrompts.size(), std::size_t{1});
        QCOMPARE(h->ui.dataSourcePrompts[0], std::vector<std::string>{"rw_orders"});
        compareWithGenerate(store, tables, connect.answersConnection, "\"Products.ProductID\": {\"auto\": true}");
    }

    // The same against a PostgreSQL data source, when RW_PG_PORT names a
    // server (scripts/db-servers start) on which RW_DB_USER may create a
    // database.
    void postgresDataSource() {
        const QByteArray port = qgetenv("RW_PG_PORT");
        if (port.isEmpty()) QSKIP("RW_PG_PORT is not set: no PostgreSQL server to test with");
        QVERIFY2(QFile::exists(QStringLiteral(RW_ODBC_PSQL)), "the PostgreSQL ODBC driver (odbc-postgresql) is missing");
        const std::string user = qgetenv("RW_DB_USER").toStdString();
        const std::string password = qgetenv("RW_DB_PASSWORD").toStdString();
        const std::string database = "rwgui_" + std::to_string(QCoreApplication::applicationPid());
        const std::string server = "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Port=" + port.toStdString() +
                                   ";UID=" + user + ";PWD=" + password + ";Database=";
        {
            auto admin = data->open(server + "postgres", "", "");
            admin->execute("DROP DATABASE IF EXISTS " + database);
            admin->execute("CREATE DATABASE " + database);
            admin->close();
        }
        struct Drop {
            db::OdbcDataAccess& data;
            std::string server, database;
            ~Drop() {
                try {
                    auto admin = data.open(server + "postgres", "", "");
                    admin->execute("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
                    admin->close();
                } catch (const RuntimeError&) {
                }
            }
        } drop{*data, server, database};
        {
            auto db = data->open(server + database, "", "");
            db->execute("CREATE TABLE customers (customerid CHAR(5) NOT NULL PRIMARY KEY, companyname VARCHAR(40) "
                        "NOT NULL, creditlimit NUMERIC(10,2), isactive BOOLEAN NOT NULL DEFAULT TRUE, since TIMESTAMP)");
            db->execute("CREATE TABLE orders (orderid SERIAL PRIMARY KEY, customerid CHAR(5) NOT NULL REFERENCES "
                        "customers, freight DOUBLE PRECISION, \"Ship Name\" VARCHAR(40))");
            db->close();
        }
        const QString ini = odbcDir.path() + "/odbc.ini";
        QFile file(ini);
        QVERIFY(file.open(QIODevice::Append));
        file.write(("\n[rw_pg]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" + port.toStdString() +
                    "\nDatabase=" + database + "\n").c_str());
        file.close();

        const QString store = odbcDir.path() + "/pg/out";
        QVERIFY(QDir().mkpath(odbcDir.path() + "/pg"));
        const Connect connect{[&](FrmConnection& c) {
                                  c.txtDSN->setText(QStringLiteral("rw_pg"));
                                  whenModal<FrmLogin>([&](FrmLogin* d) {
                                      QCOMPARE(d->windowTitle(), QStringLiteral("rw_pg Login"));
                                      d->txtUserName->setText(QString::fromStdString(user));
                                      d->txtPassword->setText(QString::fromStdString(password));
                                      click(d->cmdOK);
                                  });
                              },
                              "{\"kind\": \"dsn\", \"dsn\": \"rw_pg\", \"user\": \"" + user + "\", \"password\": \"" +
                                  password + "\"}"};
        const std::vector<std::string> tables = runWizard(
            store, connect, {}, {{"orders", "orderid", kColumnAuto}, {"customers", "customerid", kColumnPrimary}}, false);
        QCOMPARE(tables, (std::vector<std::string>{"customers", "orders"}));
        QVERIFY(readFile(store + "/clsOrders.cls").contains("Ship Name"));
        compareWithGenerate(store, tables, connect.answersConnection,
                            "\"orders.orderid\": {\"auto\": true}, \"customers.customerid\": {\"primary\": true}");
    }

    void connectionStringBuiltWithTheBuilder() {
        const QString store = odbcDir.path() + "/built/out";
        QVERIFY(QDir().mkpath(odbcDir.path() + "/built"));
        const Connect connect{[&](FrmConnection& c) {
                                  click(c.optDSNLess);
                                  whenModal<FrmOLEDBLogin>([](FrmOLEDBLogin* d) {
                                      d->cboProviders->setCurrentIndex(4);
                                      const int at = d->cboDSNList->findText(QStringLiteral("rw_orders"));
                                      QVERIFY(at >= 0);
                                      d->cboDSNList->setCurrentIndex(at);
                                      emit d->cboDSNList->activated(at);
                                      click(d->cmdOK);
                                  });
                                  click(c.cmdOLEDB);
                                  QCOMPARE(c.txtConnString->text(),
                                           QStringLiteral("PROVIDER=MSDASQL;Data Source=rw_orders;User ID=;Password=;"));
                              },
                              "{\"kind\": \"string\", \"string\": \"PROVIDER=MSDASQL;Data Source=rw_orders;User ID=;Password=;\"}"};
        const std::vector<std::string> tables =
            runWizard(store, connect, {"Order Details"}, {{"shippers", "ShipperID", kColumnAuto}}, false);
        QVERIFY(!tables.empty());
        compareWithGenerate(store, tables, connect.answersConnection, "\"shippers.ShipperID\": {\"auto\": true}");
    }

    // The builder lists the registered drivers after the providers; the
    // SQLite driver takes a database file, and its string is tested through
    // the driver, handed to the connection page and generated from.
    void connectionStringBuiltForTheSqliteDriver() {
        const QString file = odbcDir.path() + "/orders.db";
        const QString store = odbcDir.path() + "/driver/out";
        QVERIFY(QDir().mkpath(odbcDir.path() + "/driver"));
        const QString built = "DRIVER={SQLite3};DATABASE=" + file + ";";
        const Connect connect{[&](FrmConnection& c) {
                                  click(c.optDSNLess);
                                  h->ui.dialogAnswers = {file.toStdString()};
                                  whenModal<FrmOLEDBLogin>([&](FrmOLEDBLogin* d) {
                                      QCOMPARE(d->cboProviders->count(), 7);  // and PostgreSQL Unicode
                                      QCOMPARE(d->cboProviders->itemText(5), QStringLiteral("SQLite3"));
                                      d->cboProviders->setCurrentIndex(5);
                                      QVERIFY(!d->txtServer->isVisibleTo(d) && !d->txtPort->isVisibleTo(d));
                                      QVERIFY(!d->txtUID->isVisibleTo(d) && d->cmdDB->isVisibleTo(d));
                                      click(d->cmdDB);
                                      click(d->cmdTest);
                                      click(d->cmdOK);
                                  });
                                  click(c.cmdOLEDB);
                                  QCOMPARE(h->ui.dialogs.back().filter,
                                           std::string("SQLite Databases (*.db;*.sqlite;*.sqlite3)|*.db;*.sqlite;"
                                                       "*.sqlite3|All Files (*)|*"));
                                  QCOMPARE(h->ui.messages.back().text, std::string("Test successful!"));
                                  QCOMPARE(c.txtConnString->text(), built);
                              },
                              ""};
        const std::vector<std::string> tables = runWizard(store, connect, {}, {}, false);
        QVERIFY(!tables.empty());
        QVERIFY(readFile(store + "/clsRwtConn.cls").contains(built.toUtf8()));
    }

    void cancelWhileLoadingManyTablesReturnsToTheTablePage() {
        const std::string db = odbcDir.path().toStdString() + "/many.db";
        QVERIFY(writeFile(QString::fromStdString(db), {}));  // an empty file is an empty database
        {
            const std::unique_ptr<DataConnection> conn = data->open("DRIVER=SQLite3;Database=" + db, "", "");
            conn->execute("BEGIN");
            for (int i = 1; i <= 300; ++i)
                conn->execute("CREATE TABLE t" + std::to_string(i) + " (id INTEGER PRIMARY KEY, name TEXT)");
            conn->execute("COMMIT");
        }
        h->wizard->services().fieldsProgressDelayMs = 0;  // the dialog shows at once
        FrmConnection& c = toConnectionPage();
        click(c.optDSNLess);
        c.txtConnString->setText(QString::fromStdString("DRIVER=SQLite3;Database=" + db));
        click(c.cmdNext);
        QPointer<FrmChooseTables> tables = h->wizard->loadedChooseTables();
        QVERIFY(tables && tables->isVisible());
        QCOMPARE(tables->lstYes->count(), 300);
        tables->lstYes->item(0)->setSelected(true);
        click(tables->cmdDontInclude);

        // Cancel is pressed in the progress dialog once 40 tables are loaded.
        int cancelledAt = 0;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dialog->value() < 40) return;
            cancelledAt = dialog->value();
            watch.stop();
            click(dialog->findChild<QPushButton*>());
        });
        watch.start();
        click(tables->cmdNext);
        watch.stop();
        QVERIFY2(cancelledAt >= 40 && cancelledAt < 299, qPrintable(QString::number(cancelledAt)));
        QVERIFY(h->wizard->loadedFields() == nullptr);
        QVERIFY(tables->isVisible());
        QCOMPARE(tables->lstNo->count(), 1);
        QCOMPARE(tables->lstYes->count(), 299);
        QVERIFY(h->ui.messages.empty());

        // Next loads them all once nobody cancels.
        click(tables->cmdNext);
        FrmFields* fields = h->wizard->loadedFields();
        QVERIFY(fields != nullptr && fields->isVisible());
        QCOMPARE(fields->fieldRows().rowCount(), std::size_t{598});
        QVERIFY(!tables->isVisible());
        h->wizard->closeWizard(false);
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
