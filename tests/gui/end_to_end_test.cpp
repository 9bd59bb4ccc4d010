// The whole wizard through the real SQLite ODBC driver and the sample
// database, from the welcome page to the saved report; the files it writes
// are those `rowwright generate` writes with the answers it saved.
#include <dlfcn.h>
#include <sstream>

#include "answers/answers.h"
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

// The rows with a mark: "table.field P", "... PA" or "... A".
std::vector<std::string> marked(const std::vector<FieldRow>& rows) {
    std::vector<std::string> marks;
    for (const FieldRow& r : rows)
        if (r.primary || r.autoNumber)
            marks.push_back(r.table + "." + r.field + " " + (r.primary ? "P" : "") + (r.autoNumber ? "A" : ""));
    return marks;
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
    // Clicks the cell of a row of the fields page.
    static void clickCell(FrmFields& f, int row, int column) {
        const QModelIndex cell = f.grdFields->model()->index(row, column);
        f.grdFields->scrollTo(cell);
        QTest::mouseClick(f.grdFields->viewport(), Qt::LeftButton, Qt::NoModifier, f.grdFields->visualRect(cell).center());
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
    void init() { h = std::make_unique<WizardHarness>(std::make_unique<PosixFileSystem>(), data.get()); }
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
        FrmFields* f = toFieldsPage(c, {"Employees", "shippers"});
        QVERIFY(f != nullptr);
        const std::pair<std::string, int> marks[]{{"Customers.CustomerID", kColumnPrimary},
                                                  {"Orders.OrderID", kColumnAuto},
                                                  {"Order Details.OrderID", kColumnPrimary},
                                                  {"Order Details.ProductID", kColumnPrimary}};
        for (const auto& [name, column] : marks)
            for (std::size_t row = 0; row < f->fieldRows().rowCount(); ++row)
                if (f->fieldRows().row(row).table + "." + f->fieldRows().row(row).field == name)
                    clickCell(*f, int(row), column);
        click(f->cmdFinish);
        FrmReport* report = h->wizard->loadedReport();
        QVERIFY(report != nullptr);
        h->ui.dialogAnswers = {"out/Orders.txt", "out.answers.json"};
        click(report->cmdSave);
        click(report->cmdSaveAnswers);
        click(report->cmdClose);
        QVERIFY(h->wizard->forms().empty() && h->ui.messages.size() == 1);  // the store folder question
        QVERIFY(readFile("out/Orders.txt").endsWith("<End of Report>\r\n"));
        const Answers saved = parseAnswers(readFile("out.answers.json").toStdString(), "out.answers.json");
        QCOMPARE(marked(saved.rows.value()), (std::vector<std::string>{"Customers.CustomerID P", "Orders.OrderID PA",
                                                                      "Order Details.OrderID P",
                                                                      "Order Details.ProductID P"}));
        QVERIFY(QFile::exists("out/clsOrderDetails.cls") && !QFile::exists("out/clsEmployees.cls"));
        // `rowwright generate` with those answers writes the same files.
        QVERIFY(QDir().rename("out", "out.wizard"));
        cli::GenerateOptions options;
        options.answersPath = "out.answers.json";
        options.now = "2026-12-05T08:17:21";
        options.workingFolder = QDir::currentPath().toStdString();
        options.reportPath = "out/Orders.txt";
        std::ostringstream out, err;
        std::istringstream in;
        PosixFileSystem fs;
        QCOMPARE(cli::runGenerateCommand(options, out, err, fs, in, false), 0);
        const QStringList names = QDir("out").entryList(QDir::Files, QDir::Name);
        QVERIFY(names.size() > 3 && QDir("out.wizard").entryList(QDir::Files, QDir::Name) == names);
        for (const QString& name : names)
            QVERIFY2(readFile("out.wizard/" + name) == readFile("out/" + name), qPrintable(name));
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
