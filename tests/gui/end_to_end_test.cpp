// The whole wizard through the real SQLite ODBC driver and the sample
// database, from the welcome page to the saved report; the files it writes
// are those `rowwright generate` writes with the answers it saved.
#include <dlfcn.h>
#include <sstream>

#include "cli/generate_command.h"
#include "platform/db/odbc.h"
#include "support/gui_support.h"

using namespace rw;
using namespace rw::test;
using namespace rw::wizard;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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
    // A data source typed by hand after a failed one (the login dialog asks
    // again); the store folder relative to the working folder, for the
    // wizard and the tool alike.
    void dataSourceTypedByHand() {
        QVERIFY(QDir().mkpath(odbcDir.path() + "/typed"));
        struct Back {
            QString folder;
            ~Back() { QDir::setCurrent(folder); }
        } back{QDir::currentPath()};
        QVERIFY(QDir::setCurrent(odbcDir.path() + "/typed"));
        FrmConnection& c = h->toConnectionPage(QStringLiteral("out"));
        for (const char* source : {"no_such_source", "rw_orders"}) {
            c.txtDSN->setText(QString::fromLatin1(source));
            answerLogin();
            click(c.cmdNext);
        }
        QVERIFY(h->ui.messages.size() == 2 && h->ui.messages[1].style == 48);
        QVERIFY2(h->ui.messages[1].text.find(" (frmConnection.cmdNext_Click)\r\n\r\nDescription: [unixODBC][Driver Manager]") !=
                     std::string::npos, h->ui.messages[1].text.c_str());
        click(h->wizard->loadedChooseTables()->cmdNext);
        FrmFields& f = *h->wizard->loadedFields();
        click(f.cmdFinish);
        FrmReport& report = *h->wizard->loadedReport();
        h->ui.dialogAnswers = {"out/Orders.txt", "out.answers.json"};
        click(report.cmdSave);
        click(report.cmdSaveAnswers);
        click(report.cmdClose);
        QVERIFY(h->wizard->forms().empty() && h->ui.messages.size() == 2);
        QVERIFY(QString::fromStdString(readFile("out/Orders.txt")).endsWith("<End of Report>\r\n"));
        QVERIFY(QFile::exists("out/clsOrderDetails.cls"));
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
            QVERIFY2(readFile("out.wizard/" + name.toStdString()) == readFile("out/" + name.toStdString()), qPrintable(name));
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
