// The connection page's logic (checks, login, choosing a data source,
// opening) and the connection builder's (providers, checks, strings, the
// data source list, Test).
#include <gtest/gtest.h>

#include "core/connection_page.h"
#include "core/oledb_builder.h"
#include "platform/connection_strings.h"
#include "support/fake_db.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using test::FakeAccess;
using test::FakeConnection;
using Messages = std::vector<ScriptedUi::Message>;

const char* kLinkError = "[unixODBC]FATAL:  password authentication failed (SQLSTATE 28P01)";

// Next on a page as the row fills it, with a login dialog that answers
// `loginUser` (a null cancels); `opened` is the string and user opened.
TEST(ConnectionPage, NextChecksTheEntryAsksForALoginAndOpens) {
    const struct {
        bool dsnLess;
        std::string dsn, connString, user, password;
        const char* loginUser;
        bool openFails, ok;
        std::string message, opened, loginShownFor;
    } cases[] = {
        {false, "   ", "x", "", "", "u", false, false,
         "You have chosen to use a DSN connection but have not chosen one.  Rowwright can not continue until you do.",
         "", ""},
        {true, "Orders", "  ", "", "", "u", false, false,
         "You have chosen to use a DSN-less connection but have not entered a connection string.  Rowwright can not "
         "continue until you do.",
         "", ""},
        {false, "Orders", "", "", "", nullptr, false, false, "", "", "Orders"},
        {false, "Orders", "", "", "", "sa", false, true, "", "Orders/sa", "Orders"},
        {false, "Orders", "", "", "pw", "sa", false, true, "", "Orders/", ""},
        {false, "Orders", "", "ann", "", "sa", false, true, "", "Orders/ann", ""},
        {true, "Orders", "Driver=SQLite3;Database=a.db", "ann", "", "sa", false, true, "",
         "Driver=SQLite3;Database=a.db/", ""},
        {false, "Orders", "", "ann", "wrong", nullptr, true, false,
         "Error: -2147467259\r\nSource: ODBC SQLDriverConnect (frmConnection.cmdNext_Click)\r\n\r\nDescription: " +
             std::string(kLinkError),
         "Orders/ann", ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.dsn + "|" + k.connString + "|" + k.user);
        FakeAccess access;
        if (k.openFails) access.openError = RuntimeError(-2147467259, "ODBC SQLDriverConnect", kLinkError);
        ScriptedUi ui;
        ConnectionPage page;
        if (k.dsnLess) page.chooseDSNLess();
        page.txtDSN = k.dsn;
        page.txtConnString = k.connString;
        page.msUserName = k.user;
        page.msPassword = k.password;
        std::string shownFor;
        const bool ok = page.next(access, ui, [&](const std::string& dsn, std::string& u, std::string&) {
            shownFor += dsn;
            if (k.loginUser) u = k.loginUser;
            return k.loginUser != nullptr;
        });
        EXPECT_EQ(ok, k.ok);
        EXPECT_EQ(page.moConn != nullptr, k.ok);
        EXPECT_EQ(shownFor, k.loginShownFor);
        std::string opened;
        for (const auto& o : access.opens) opened += o.connectionString + "/" + o.user;
        EXPECT_EQ(opened, k.opened);
        EXPECT_EQ(ui.messages, (k.message.empty() ? Messages{} : Messages{{k.message, k.openFails ? 48 : 64}}));
    }
}

TEST(ConnectionPage, SwitchingOptionsKeepsTheTextsAndACancelledBuilderEmptiesTheString) {
    ScriptedUi ui;
    ConnectionPage page;
    page.txtDSN = "a";
    page.txtConnString = "b";
    page.chooseDSNLess();
    page.chooseDSN();
    EXPECT_EQ(page.txtDSN + page.txtConnString, "ab");
    page.buildConnectionString(ui, [] { return std::string(); });
    EXPECT_EQ(page.txtConnString, "");
}

std::string shownFields(const OleDbBuilder& b) {
    std::string shown;
    for (const auto& [on, letter] : {std::pair{b.serverShown, 's'}, {b.portShown, 'p'}, {b.databaseShown, 'd'},
                                     {b.databaseButtonShown, 'b'}, {b.dsnListShown, 'l'}, {b.loginShown, 'u'}})
        if (on) shown += letter;
    return shown;
}

TEST(ConnectionPage, ChoosingADataSourceReadsItsNameAndLogin) {
    FakeAccess access;
    access.sources = {{0, "Orders"}, {0, "Stock"}};
    access.make = [](const std::string& cs) {
        auto c = std::make_unique<FakeConnection>();
        c->properties["Data Source Name"] = "Orders";
        c->completedString = cs;
        return c;
    };
    ScriptedUi ui;
    ConnectionPage page;
    page.msPassword = "old";
    // A value ends at a semicolon or at the end of the string; no PWD= key empties the password.
    for (const auto& [answer, login] : {std::pair{"DSN=Orders;UID=sa;", "sa/"}, {"DSN=Orders;PWD=x;UID=bob", "bob/x"},
                                         {"DSN=Orders;UID=ann;PWD=s3;cret", "ann/s3"}}) {
        ui.dataSourceAnswers = {answer};
        page.chooseDataSource(access, ui);
        EXPECT_EQ(page.txtDSN, "Orders");
        EXPECT_EQ(page.msUserName + "/" + page.msPassword, login);
    }
    EXPECT_EQ(ui.dataSourcePrompts[0], (std::vector<std::string>{"Orders", "Stock"}));
    // Cancelling the dialog, or a data source that cannot be opened, changes nothing and says nothing.
    page.chooseDataSource(access, ui);
    access.openError = RuntimeError(1, "x", "y");
    ui.dataSourceAnswers = {"DSN=Gone;UID=bob;"};
    page.chooseDataSource(access, ui);
    EXPECT_EQ(page.msUserName, "ann");
    EXPECT_TRUE(ui.messages.empty());
}

// --- connection builder --------------------------------------------------

// Fills a builder with the row's provider and boxes (`dsn`: the data source
// list's selection) and presses OK. `shown` lists the fields shown: s server,
// p port, d database, b its file button, l the data source list, u login.
TEST(OleDbBuilder, OkBuildsTheStringShowsTheFieldsAndNamesWhatIsMissing) {
    const std::string sql = "Microsoft OLE DB Provider for SQL Server", ora = "Microsoft OLE DB Provider for Oracle",
                      j3 = "Microsoft Jet 3.51 OLE DB Provider", j4 = "Microsoft Jet 4.0 OLE DB Provider",
                      msdasql = "Microsoft OLE DB Provider for ODBC Drivers";
    const auto missing = [](const std::string& provider, const std::string& what) {
        return "You have requested to use the " + provider + ", but you have not " + what +
               ".  Rowwright can not continue with your request until you do so.";
    };
    const struct {
        std::string provider, server, port, database, user, password;
        int dsn;
        std::string result, shown, message;
    } cases[] = {
        {sql, "db1", "1", "Northwind", "sa", " p;w ", -1,
         "PROVIDER=SQLOLEDB;Data Source=db1;Initial Catalog=Northwind;User ID=sa;Password= p;w ;", "sdu", ""},
        {j4, "", "", "/data/nwind.mdb", "", "", -1,
         "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=/data/nwind.mdb;User ID=;Password=;", "dbu", ""},
        {"", "x", "", "", "", "", -1, "", "spdblu", ""},  // no provider chosen: an empty result
        {"PostgreSQL Unicode", "db1", "5433", "", "me", "p;w", -1,
         "DRIVER={PostgreSQL Unicode};SERVER=db1;PORT=5433;UID=me;PWD={p;w};", "spdu", ""},
        {"SQLite3", "s", "1", "/data/orders.db", "u", "p", -1, "DRIVER={SQLite3};DATABASE=/data/orders.db;", "db", ""},
        {msdasql, "", "", "", "u", "", 1, "PROVIDER=MSDASQL;Data Source=Stock;User ID=u;Password=;", "lu", ""},
        {"SQLite3", "s", "", "", "", "", -1, "", "db", missing("SQLite3 ODBC driver", "indicated a database")},
        {"PostgreSQL Unicode", "", "", "d", "", "", -1, "", "spdu",
         missing("PostgreSQL Unicode ODBC driver", "indicated a server")},
        {sql, "", "", "", "", "", -1, "", "sdu", missing(sql, "indicated a server")},
        {sql, "s", "", "", "", "", -1, "", "sdu", missing(sql, "indicated a database")},
        {ora, "", "", "d", "", "", -1, "", "su", missing(ora, "indicated a server")},
        {j3, "s", "", "", "", "", -1, "", "dbu", missing(j3, "indicated a database")},
        {j4, "s", "", "", "", "", -1, "", "dbu", missing(j4, "indicated a database")},
        // The data source check is on the selection, not on the text.
        {msdasql, "", "", "", "", "", -2, "", "lu", missing(msdasql, "selected a DSN")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.provider + " " + k.server + " " + k.database);
        ScriptedUi ui;
        OleDbBuilder b;
        b.drivers = {{"SQLite3", DriverFields::DatabaseFile}, {"PostgreSQL Unicode", DriverFields::Server}};
        b.cboDSNList = {"Orders", "Stock"};
        b.chooseProvider(k.provider);
        if (k.dsn >= 0) b.selectDataSource(k.dsn);
        if (k.dsn == -2) {
            b.selectDataSource(0);
            b.typeDataSource("Orders");
        }
        b.txtServer = k.server;
        b.txtPort = k.port;
        b.txtDatabase = k.database;
        b.txtUID = k.user;
        b.txtPWD = k.password;
        EXPECT_EQ(b.ok(ui), k.message.empty());
        EXPECT_EQ(b.result(), k.result);
        EXPECT_EQ(shownFields(b), k.shown);
        EXPECT_EQ(ui.messages, (k.message.empty() ? Messages{} : Messages{{k.message, 48}}));
    }
}

// A driver whose name or Driver= library names SQLite takes a database file, any other a server.
TEST(OleDbBuilder, ListsDataSourcesUntilACallDoesNotReturnZeroAndTheDrivers) {
    ScriptedUi ui;
    FakeAccess access;
    access.sources = {{0, "A"}, {0, "   "}, {0, ""}, {1, "B"}, {0, "C"}};
    access.drivers = {{"SQLite3", {}},
                      {"Lite", {"Description=x", "Driver=/usr/lib/libSQLiteodbc.so"}},
                      {"MariaDB Unicode", {"Driver=libmaodbc.so"}},
                      {"Other", {"Description=not sqlite", "Setup=libsqlite3odbc.so"}}};
    OleDbBuilder b;
    b.getDSNsAndProviders(access, ui);
    EXPECT_EQ(b.cboDSNList, (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(b.cboProviders.size(), 9u);
    EXPECT_EQ(b.cboProviders[4], "Microsoft OLE DB Provider for ODBC Drivers");
    EXPECT_EQ(b.cboProviders[8], "Other");
    std::string fields;
    for (const auto& d : b.drivers) fields += d.fields == DriverFields::DatabaseFile ? 'f' : 's';
    EXPECT_EQ(fields, "ffss");
    access.envAvailable = false;  // no environment: providers all the same
    OleDbBuilder c;
    c.getDSNsAndProviders(access, ui);
    EXPECT_TRUE(c.cboDSNList.empty());
    EXPECT_EQ(c.cboProviders.size(), 9u);
}

TEST(OleDbBuilder, TestAndTheFileButtonReportEitherWay) {
    ScriptedUi ui;
    FakeAccess access;
    OleDbBuilder b;
    b.chooseProvider("Microsoft Jet 3.51 OLE DB Provider");
    b.txtDatabase = "a.mdb";
    b.test(access, ui);
    access.openError = RuntimeError(-2147467259, "ODBC SQLDriverConnect", "Data source name not found (SQLSTATE IM002)");
    b.chooseProvider("none of them");  // changes nothing shown; the string is empty and still tried
    b.test(access, ui);
    b.chooseDatabaseFile(ui, std::nullopt);  // cancelled: silent
    b.chooseDatabaseFile(ui, std::string("/nonexistent/x.mdb"));
    EXPECT_EQ(b.txtDatabase, "a.mdb");
    ASSERT_EQ(access.opens.size(), 2u);
    EXPECT_EQ(access.opens[0].connectionString, "PROVIDER=Microsoft.Jet.OLEDB.3.51;Data Source=a.mdb;User ID=;Password=;");
    EXPECT_EQ(access.opens[1].connectionString, "");
    EXPECT_EQ(ui.messages, (Messages{{"Test successful!", 64},
                                     {"Error: -2147467259\r\nSource: ODBC SQLDriverConnect (frmOLEDBLogin.cmdTest_Click)"
                                      "\r\n\r\nDescription: Data source name not found (SQLSTATE IM002)",
                                      48},
                                     {"Error: 53\r\nSource: RwtAddIn (frmOLEDBLogin.cmdDB_Click)\r\n\r\nDescription: "
                                      "File not found",
                                      48}}));
    EXPECT_EQ(b.result(), "");  // a test sets no result
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(b.databaseButtonShown);
}

// --- OLE DB strings opened through ODBC ----------------------------------

TEST(ConnectionStrings, OleDbStringsBecomeOdbcStrings) {
    OleDbDrivers custom;
    custom.sqlServer = "ODBC Driver 18 for SQL Server";
    const struct {
        const char* oleDb;
        std::optional<std::string> odbc;
        bool custom = false;
    } cases[] = {
        {"PROVIDER=MSDASQL;Data Source=Orders;User ID=sa;Password=;", "DSN=Orders;UID=sa;PWD=;"},
        {"PROVIDER=SQLOLEDB;Data Source=db1;Initial Catalog=Northwind;User ID=sa;Password=x;",
         "DRIVER={FreeTDS};SERVER=db1;DATABASE=Northwind;UID=sa;PWD=x;"},
        {"PROVIDER=MSDAORA;Data Source=orcl;User ID=scott;Password=tiger;", "DRIVER={Oracle};DBQ=orcl;UID=scott;PWD=tiger;"},
        {"provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/my db.mdb;User ID=;Password={x};",
         "DRIVER={MDBTools};DBQ=/d/my db.mdb;UID=;PWD=x;"},
        {"PROVIDER=SQLOLEDB.1;Data Source=s;Initial Catalog=c;User ID=u;Password= p ;",
         "DRIVER={ODBC Driver 18 for SQL Server};SERVER=s;DATABASE=c;UID=u;PWD={ p };", true},
        {"Driver=SQLite3;Database=a.db", "Driver=SQLite3;Database=a.db"},  // no provider: ODBC already
        {"PROVIDER=Unknown.1;Data Source=x", std::nullopt},
    };
    for (const auto& k : cases) EXPECT_EQ(oleDbToOdbc(k.oleDb, k.custom ? custom : OleDbDrivers{}), k.odbc) << k.oleDb;
}

TEST(ConnectionStrings, DriverStringsBraceTheValuesThatNeedItAndReadBack) {
    EXPECT_EQ(parseConnectionString("Driver={My {Odd}} Driver};PWD={a;b};UID = bob ;Lone;"),
              (std::vector<std::pair<std::string, std::string>>{
                  {"Driver", "My {Odd} Driver"}, {"PWD", "a;b"}, {"UID", " bob "}, {"Lone", ""}}));
    EXPECT_EQ(connectionStringValue("dsn=x;driver=y", "DRIVER"), "y");
    const struct {
        std::string driver, value, expected;
    } cases[] = {
        {"SQLite3", "/d/a.db", "DRIVER={SQLite3};DATABASE=/d/a.db;"},
        {"SQLite3", "/d/a;b.db", "DRIVER={SQLite3};DATABASE={/d/a;b.db};"},
        {"SQLite3", "a}b", "DRIVER={SQLite3};DATABASE={a}}b};"},
        {"SQLite3", "{a", "DRIVER={SQLite3};DATABASE={{a};"},
        {"SQLite3", " a", "DRIVER={SQLite3};DATABASE={ a};"},
        {"SQLite3", "a ", "DRIVER={SQLite3};DATABASE={a };"},
        {"SQLite3", "a=b c", "DRIVER={SQLite3};DATABASE=a=b c;"},
        {"SQLite3", "", "DRIVER={SQLite3};"},
        {"My {Odd} Driver", "x", "DRIVER={My {Odd}} Driver};DATABASE=x;"},
    };
    for (const auto& k : cases) {
        const std::string built = driverConnectionString(k.driver, {{"DATABASE", k.value}});
        EXPECT_EQ(built, k.expected) << k.value;
        EXPECT_EQ(connectionStringValue(built, "DRIVER"), k.driver);
        EXPECT_EQ(connectionStringValue(built, "DATABASE").value_or(""), k.value);
    }
}

TEST(ConnectionStrings, PasswordsAreLeftOut) {
    const std::pair<const char*, const char*> cases[] = {
        {"DSN=a;UID=u;PWD=p", "DSN=a;UID=u"},
        {"pwd=p;DSN=a;", "DSN=a;"},
        {"DSN=a;PWD={x;y}};z};UID=u", "DSN=a;UID=u"},
        {"Provider=SQLOLEDB.1;Password=s;User ID=sa;", "Provider=SQLOLEDB.1;User ID=sa;"},
        {" PassWord = s ;DSN=a;Pwd=", "DSN=a"},
        {"PWDX=1;OLDPWD=2;Lone", "PWDX=1;OLDPWD=2;Lone"},
        {"", ""},
    };
    for (const auto& [text, kept] : cases) EXPECT_EQ(withoutPassword(text), kept) << text;
}

}  // namespace
}  // namespace rw
