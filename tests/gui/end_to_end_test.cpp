// The whole wizard through the real SQLite ODBC driver and the sample
// database, from the welcome page to the saved report; the files it writes
// are those `rowwright generate` writes for the same answers.
#include <dlfcn.h>
#include <sstream>

#include "cli/generate_command.h"
#include "platform/db/odbc.h"
#include "support/gui_support.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : "<cannot read " + path.toUtf8() + ">";
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
    for (const QString& name : names)
        QVERIFY2(readFile(actual + "/" + name) == readFile(expected + "/" + name), qPrintable(name));
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

void answerLogin() {
    whenModal<FrmLogin>([](FrmLogin* d) { click(d->cmdOK); });
}

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
    QTemporaryDir odbcDir;
    std::unique_ptr<db::OdbcDataAccess> data;
    std::unique_ptr<WizardHarness> h;
    // The connection page, after a new ActiveX DLL "Orders" in `store`.
    FrmConnection& toConnectionPage(const QString& store) {
        click(h->wizard->start().cmdNext);
        FrmProject& project = *h->wizard->loadedProject();
        click(project.optNew);
        project.txtProjName->setText(QStringLiteral("Orders"));
        project.txtNewStoreDir->setText(store);
        h->ui.answers = {kAnswerYes};  // create the store folder
        click(project.cmdNext);
        return *h->wizard->loadedConnection();
    }
    // On from the filled connection page, with `exclude` moved out of the
    // tables; returns the fields page or null.
    FrmFields* toFieldsPage(FrmConnection& connection, const QStringList& exclude) {
        click(connection.cmdNext);
        FrmChooseTables* tables = h->wizard->loadedChooseTables();
        if (tables == nullptr) return nullptr;
        for (int i = 0; i < tables->lstYes->count(); ++i)
            tables->lstYes->item(i)->setSelected(exclude.contains(tables->lstYes->item(i)->text()));
        click(tables->cmdDontInclude);
        click(tables->cmdNext);
        return h->wizard->loadedFields();
    }
    // The run of a filled connection page to the saved report and answers;
    // `marks` are (table, field, column) cells clicked on the fields page.
    // The same marks and `answers` connection in a hand-written answers file,
    // and the answers file the wizard saved, give the same files with
    // `rowwright generate`.
    void runAndCompare(const QString& store, FrmConnection& connection, const QStringList& exclude,
                       const std::vector<std::tuple<std::string, std::string, int>>& marks, const std::string& answers) {
        FrmFields* fields = toFieldsPage(connection, exclude);
        QVERIFY(fields != nullptr);
        const std::vector<std::string> tables = h->wizard->loadedChooseTables()->chosenTables();
        std::string json = "{\"target\": {\"mode\": \"new\", \"kind\": \"OleDll\", \"name\": \"Orders\", \"store\": \"" +
                           store.toStdString() + "\"}, \"connection\": " + answers + ", \"tables\": [";
        for (const std::string& t : tables) json += (&t == &tables.front() ? "\"" : ", \"") + t + "\"";
        json += "], \"marks\": {";
        for (const auto& [table, field, column] : marks) {
            std::size_t row = 0;
            while (row < fields->fieldRows().rowCount() &&
                   (fields->fieldRows().row(row).table != table || fields->fieldRows().row(row).field != field))
                ++row;
            const QModelIndex cell = fields->grdFields->model()->index(int(row), column);
            fields->grdFields->scrollTo(cell);
            QTest::mouseClick(fields->grdFields->viewport(), Qt::LeftButton, Qt::NoModifier,
                              fields->grdFields->visualRect(cell).center());
            json += std::string(json.back() == '{' ? "" : ", ") + "\"" + table + "." + field + "\": {\"" +
                    (column == kColumnAuto ? "auto" : "primary") + "\": true}";
        }
        click(fields->cmdFinish);
        FrmReport* report = h->wizard->loadedReport();
        QVERIFY(report != nullptr);
        h->ui.dialogAnswers = {(store + "/Orders.txt").toStdString(), (store + ".answers.json").toStdString()};
        click(report->cmdSave);
        click(report->cmdSaveAnswers);
        click(report->cmdClose);
        QVERIFY(h->wizard->forms().empty());
        QCOMPARE(h->ui.messages.size(), std::size_t{1});  // the store folder question
        QVERIFY(readFile(store + "/Orders.txt").endsWith("<End of Report>\r\n"));
        const QString wizardOut = store + ".wizard";
        QVERIFY(QDir().rename(store, wizardOut));
        QVERIFY(writeFile(store + ".byhand.json", QByteArray::fromStdString(json + "}}")));
        for (const QString& answersFile : {store + ".byhand.json", store + ".answers.json"}) {
            QCOMPARE(generate(answersFile, store), 0);
            compareFolders(wizardOut, store);
            QVERIFY(QDir(store).removeRecursively());
        }
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
        // leaks are reported under its name (and suppressed, lsan.supp).
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
    // A data source typed by hand, after a failed one; the store folder
    // typed as a relative path, taken from the working folder by the wizard
    // and the tool alike.
    void dataSourceTypedByHand() {
        QVERIFY(QDir().mkpath(odbcDir.path() + "/typed"));
        struct Back {
            QString folder;
            ~Back() { QDir::setCurrent(folder); }
        } back{QDir::currentPath()};
        QVERIFY(QDir::setCurrent(odbcDir.path() + "/typed"));
        FrmConnection& c = toConnectionPage(QStringLiteral("out"));
        c.txtDSN->setText(QStringLiteral("no_such_source"));
        answerLogin();
        click(c.cmdNext);
        QCOMPARE(h->ui.messages.size(), std::size_t{2});
        const QString failure = QString::fromStdString(h->ui.messages[1].text);
        QVERIFY2(failure.startsWith(QStringLiteral("Error: ")) &&
                     failure.contains(QStringLiteral(" (frmConnection.cmdNext_Click)\r\n\r\nDescription: ")) &&
                     failure.contains(QStringLiteral("IM002")) && h->ui.messages[1].style == 48,
                 qPrintable(failure));
        QVERIFY(c.isVisible() && h->wizard->loadedChooseTables() == nullptr);
        h->ui.messages.pop_back();
        // Corrected, the same page goes on; an empty login is no login: the
        // dialog asks again.
        c.txtDSN->setText(QStringLiteral("rw_orders"));
        answerLogin();
        runAndCompare(QStringLiteral("out"), c, {"Employees", "shippers"},
                      {{"Orders", "OrderID", kColumnAuto}, {"Customers", "CustomerID", kColumnPrimary},
                       {"Order Details", "OrderID", kColumnPrimary}, {"Order Details", "ProductID", kColumnPrimary}},
                      "{\"kind\": \"dsn\", \"dsn\": \"rw_orders\", \"user\": \"\", \"password\": \"\"}");
        QVERIFY(QFile::exists("out.wizard/clsOrderDetails.cls") && !QFile::exists("out.wizard/clsEmployees.cls"));
    }
    // Detect Keys keeps the user's marks; Space and the context menu mark
    // every selected row, by the click rule.
    void detectKeysAndMarkingSeveralRows() {
        FrmConnection& c = toConnectionPage(odbcDir.path() + "/keys");
        c.txtDSN->setText(QStringLiteral("rw_orders"));
        answerLogin();
        FrmFields* f = toFieldsPage(c, {"Employees", "Products"});
        QVERIFY(f != nullptr);
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
        clickCell(1, kColumnPrimary);
        click(f->cmdDetectKeys);
        QCOMPARE(marked(), (std::vector<std::string>{"Customers.CustomerID P", "Customers.CompanyName P",
                                                     "shippers.ShipperID PA", "Orders.OrderID PA",
                                                     "Order Details.OrderID P", "Order Details.ProductID P"}));
        QCOMPARE(m->index(0, kColumnPrimary).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        clickCell(1, kColumnField);
        clickCell(3, kColumnField, Qt::ShiftModifier);
        QTest::keyClick(f->grdFields, Qt::Key_Space);
        QCOMPARE(marked(4), (std::vector<std::string>{"Customers.CustomerID P", "Customers.ContactName P",
                                                      "Customers.Phone P", "shippers.ShipperID PA"}));
        for (QAction* a : f->grdFields->actions())
            if (a->text() == QStringLiteral("Auto on")) a->trigger();
        QCOMPARE(marked(5), (std::vector<std::string>{"Customers.CustomerID P", "Customers.CompanyName PA",
                                                      "Customers.ContactName PA", "Customers.Phone PA",
                                                      "shippers.ShipperID PA"}));
        QCOMPARE(m->index(2, kColumnAuto).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(h->ui.messages.size(), std::size_t{1});
        h->wizard->closeWizard(false);
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
        FrmConnection& c = toConnectionPage(odbcDir.path());
        click(c.optDSNLess);
        c.txtConnString->setText(QString::fromStdString("DRIVER=SQLite3;Database=" + db));
        click(c.cmdNext);
        QPointer<FrmChooseTables> tables = h->wizard->loadedChooseTables();
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
        QVERIFY(h->wizard->loadedFields() == nullptr && tables->isVisible());
        QVERIFY(tables->lstNo->count() == 1 && tables->lstYes->count() == 299);
        QVERIFY(h->ui.messages.empty());
        // Next loads them all once nobody cancels.
        click(tables->cmdNext);
        QCOMPARE(h->wizard->loadedFields()->fieldRows().rowCount(), std::size_t{598});
        QVERIFY(!tables->isVisible());
        h->wizard->closeWizard(false);
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
