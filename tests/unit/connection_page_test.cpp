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

struct LoginScript {
    bool answer = true;
    std::string user, password;
    std::vector<std::string> shownFor;
    LoginDialog dialog() {
        return [this](const std::string& dsn, std::string& u, std::string& p) {
            shownFor.push_back(dsn);
            if (answer) {
                u = user;
                p = password;
            }
            return answer;
        };
    }
};

TEST(ConnectionPage, BlankEntriesGiveTheirNoticesAndOpenNothing) {
    FakeAccess access;
    ScriptedUi ui;
    LoginScript login;
    ConnectionPage page;
    page.txtDSN = "   ";
    page.txtConnString = "  ";
    EXPECT_FALSE(page.next(access, ui, login.dialog()));
    page.chooseDSNLess();
    EXPECT_FALSE(page.next(access, ui, login.dialog()));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text,
              "You have chosen to use a DSN connection but have not chosen one.  Rowwright can not continue until you "
              "do.");
    EXPECT_EQ(ui.messages[1].text,
              "You have chosen to use a DSN-less connection but have not entered a connection string.  Rowwright can "
              "not continue until you do.");
    EXPECT_EQ(ui.messages[0].style, 64);
    EXPECT_EQ(ui.messages[1].style, 64);
    EXPECT_TRUE(access.opens.empty());
    EXPECT_TRUE(login.shownFor.empty());
    // Switching options never clears a text.
    page.chooseDSN();
    EXPECT_EQ(page.txtDSN, "   ");
    EXPECT_EQ(page.txtConnString, "  ");
    const auto controls = page.controls();
    EXPECT_TRUE(controls.txtDSN && controls.cmdDSN);
    EXPECT_FALSE(controls.txtConnString || controls.cmdOLEDB);
}

TEST(ConnectionPage, TheLoginDialogIsShownOnlyWhenNoLoginIsKnown) {
    FakeAccess access;
    ScriptedUi ui;
    LoginScript login;
    ConnectionPage page;
    page.txtDSN = "Orders";

    login.answer = false;
    EXPECT_FALSE(page.next(access, ui, login.dialog()));
    EXPECT_EQ(login.shownFor, (std::vector<std::string>{"Orders"}));
    EXPECT_EQ(loginCaption("Orders"), "Orders Login");
    EXPECT_TRUE(access.opens.empty());
    EXPECT_TRUE(ui.messages.empty());

    login.answer = true;
    login.user = "sa";
    EXPECT_TRUE(page.next(access, ui, login.dialog()));
    ASSERT_EQ(access.opens.size(), 1u);
    EXPECT_EQ(access.opens[0].connectionString, "Orders");
    EXPECT_EQ(access.opens[0].user, "sa");
    EXPECT_TRUE(page.moConn != nullptr);

    // The user name is known now: no dialog on the next Next.
    EXPECT_TRUE(page.next(access, ui, login.dialog()));
    EXPECT_EQ(login.shownFor.size(), 2u);

    // A DSN-less string opens with an empty login.
    page.chooseDSNLess();
    page.txtConnString = "Driver=SQLite3;Database=a.db";
    EXPECT_TRUE(page.next(access, ui, login.dialog()));
    EXPECT_EQ(access.opens.back().connectionString, "Driver=SQLite3;Database=a.db");
    EXPECT_EQ(access.opens.back().user, "");
    EXPECT_EQ(page.values().txtConnString, "Driver=SQLite3;Database=a.db");
    EXPECT_TRUE(page.values().optDSNLess);

    // A cancelled builder returns the empty string, which replaces the text.
    page.buildConnectionString(ui, [] { return std::string(); });
    EXPECT_EQ(page.txtConnString, "");
}

TEST(ConnectionPage, AConnectionThatCannotBeOpenedIsShownAndThePageStays) {
    FakeAccess access;
    access.openError = RuntimeError(-2147467259, "ODBC SQLDriverConnect",
                                    "[unixODBC]FATAL:  password authentication failed (SQLSTATE 28P01)");
    ScriptedUi ui;
    LoginScript login;
    ConnectionPage page;
    page.txtDSN = "Orders";
    page.msPassword = "wrong";
    EXPECT_FALSE(page.next(access, ui, login.dialog()));
    EXPECT_TRUE(page.moConn == nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error: -2147467259\r\nSource: ODBC SQLDriverConnect (frmConnection.cmdNext_Click)\r\n\r\n"
              "Description: [unixODBC]FATAL:  password authentication failed (SQLSTATE 28P01)");
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

    ui.dataSourceAnswers = {"DSN=Orders;UID=sa;"};
    page.chooseDataSource(access, ui);
    ASSERT_EQ(ui.dataSourcePrompts.size(), 1u);
    EXPECT_EQ(ui.dataSourcePrompts[0], (std::vector<std::string>{"Orders", "Stock"}));
    EXPECT_EQ(page.txtDSN, "Orders");
    EXPECT_EQ(page.msUserName, "sa");
    EXPECT_EQ(page.msPassword, "");  // no PWD= key

    // A value at the end of the string runs to its end.
    ui.dataSourceAnswers = {"DSN=Orders;UID=ann;PWD=s3;cret"};
    page.chooseDataSource(access, ui);
    EXPECT_EQ(page.msUserName, "ann");
    EXPECT_EQ(page.msPassword, "s3");
    EXPECT_EQ(valueAfterKey("DSN=x;PWD=tail", "PWD="), "tail");

    // Cancelling the dialog, or a data source that cannot be opened, changes nothing and says nothing.
    page.chooseDataSource(access, ui);
    access.openError = RuntimeError(1, "x", "y");
    ui.dataSourceAnswers = {"DSN=Gone;UID=bob;"};
    page.chooseDataSource(access, ui);
    EXPECT_EQ(page.msUserName, "ann");
    EXPECT_TRUE(ui.messages.empty());
}

// --- connection builder --------------------------------------------------

std::string missing(const std::string& provider, const std::string& what) {
    return "You have requested to use the " + provider + ", but you have not " + what +
           ".  Rowwright can not continue with your request until you do so.";
}

// The fields shown: s server, p port, d database, b its file button, l the
// data source list, u user and password.
std::string shownFields(const OleDbBuilder& b) {
    std::string shown;
    for (const auto& [on, letter] : {std::pair{b.serverShown, 's'}, {b.portShown, 'p'}, {b.databaseShown, 'd'},
                                     {b.databaseButtonShown, 'b'}, {b.dsnListShown, 'l'}, {b.loginShown, 'u'}})
        if (on) shown += letter;
    return shown;
}

TEST(OleDbBuilder, BuildsEachStringAsTheBoxesHoldThemAndShowsItsFields) {
    const struct {
        std::string provider, server, port, database, user, password, result, shown;
    } cases[] = {
        {"Microsoft OLE DB Provider for SQL Server", "db1", "1", "Northwind", "sa", " p;w ",
         "PROVIDER=SQLOLEDB;Data Source=db1;Initial Catalog=Northwind;User ID=sa;Password= p;w ;", "sdu"},
        {"Microsoft Jet 4.0 OLE DB Provider", "", "", "/data/nwind.mdb", "", "",
         "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=/data/nwind.mdb;User ID=;Password=;", "dbu"},
        {"", "x", "", "", "", "", "", "spdblu"},  // no provider chosen: an empty result
        {"PostgreSQL Unicode", "db1", "5433", "", "me", "p;w",
         "DRIVER={PostgreSQL Unicode};SERVER=db1;PORT=5433;UID=me;PWD={p;w};", "spdu"},
        {"SQLite3", "s", "1", "/data/orders.db", "u", "p", "DRIVER={SQLite3};DATABASE=/data/orders.db;", "db"},
    };
    ScriptedUi ui;
    for (const auto& k : cases) {
        OleDbBuilder b;
        b.drivers = {{"SQLite3", DriverFields::DatabaseFile}, {"PostgreSQL Unicode", DriverFields::Server}};
        b.chooseProvider(k.provider);
        b.txtServer = k.server;
        b.txtPort = k.port;
        b.txtDatabase = k.database;
        b.txtUID = k.user;
        b.txtPWD = k.password;
        ASSERT_TRUE(b.ok(ui)) << k.provider;
        EXPECT_EQ(b.result(), k.result);
        EXPECT_EQ(shownFields(b), k.shown) << k.provider;
        EXPECT_EQ(b.databaseFileFilter(), k.provider == "SQLite3" ? "SQLite Databases (*.db;*.sqlite;*.sqlite3)|"
                                                                    "*.db;*.sqlite;*.sqlite3|All Files (*)|*"
                                                                  : "Access DB Files (*.mdb)|*.mdb");
    }
    EXPECT_TRUE(ui.messages.empty());

    OleDbBuilder odbc;
    odbc.cboDSNList = {"Orders", "Stock"};
    odbc.chooseProvider("Microsoft OLE DB Provider for ODBC Drivers");
    odbc.selectDataSource(1);
    odbc.txtUID = "u";
    ASSERT_TRUE(odbc.ok(ui));
    EXPECT_EQ(odbc.result(), "PROVIDER=MSDASQL;Data Source=Stock;User ID=u;Password=;");
    EXPECT_EQ(shownFields(odbc), "lu");
}

TEST(OleDbBuilder, ADriverNamingSqliteTakesAFileAnyOtherAServer) {
    const struct {
        DriverInfo driver;
        DriverFields fields;
    } cases[] = {
        {{"SQLite3", {}}, DriverFields::DatabaseFile},
        {{"Lite", {"Description=x", "Driver=/usr/lib/libSQLiteodbc.so"}}, DriverFields::DatabaseFile},
        {{"PostgreSQL Unicode", {"Driver=psqlodbcw.so"}}, DriverFields::Server},
        {{"Other", {"Description=not sqlite", "Setup=libsqlite3odbc.so"}}, DriverFields::Server},
    };
    for (const auto& k : cases) EXPECT_EQ(driverFields(k.driver), k.fields) << k.driver.name;
}

TEST(OleDbBuilder, MissingValuesGiveTheirMessagesInOrder) {
    struct Case {
        const char* provider;
        std::string server, database;
        std::string message;
    };
    const std::string sql = "Microsoft OLE DB Provider for SQL Server";
    const std::string ora = "Microsoft OLE DB Provider for Oracle";
    const std::string j3 = "Microsoft Jet 3.51 OLE DB Provider";
    const std::string j4 = "Microsoft Jet 4.0 OLE DB Provider";
    const std::vector<Case> cases{
        {"SQLite3", "s", "", missing("SQLite3 ODBC driver", "indicated a database")},
        {"MariaDB Unicode", "", "d", missing("MariaDB Unicode ODBC driver", "indicated a server")},
        {sql.c_str(), "", "", missing(sql, "indicated a server")},
        {sql.c_str(), "s", "", missing(sql, "indicated a database")},
        {ora.c_str(), "", "d", missing(ora, "indicated a server")},
        {j3.c_str(), "s", "", missing(j3, "indicated a database")},
        {j4.c_str(), "s", "", missing(j4, "indicated a database")},
    };
    for (const Case& k : cases) {
        ScriptedUi ui;
        OleDbBuilder b;
        b.drivers = {{"SQLite3", DriverFields::DatabaseFile}, {"MariaDB Unicode", DriverFields::Server}};
        b.chooseProvider(k.provider);
        b.txtServer = k.server;
        b.txtDatabase = k.database;
        EXPECT_FALSE(b.ok(ui)) << k.provider;
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, k.message);
        EXPECT_EQ(ui.messages[0].style, 48);
        EXPECT_EQ(b.result(), "");
    }
    // The data source check is on the selection, not on the text.
    ScriptedUi ui;
    OleDbBuilder b;
    b.cboDSNList = {"Orders"};
    b.chooseProvider("Microsoft OLE DB Provider for ODBC Drivers");
    b.selectDataSource(0);
    b.typeDataSource("Orders");
    EXPECT_FALSE(b.ok(ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, missing("Microsoft OLE DB Provider for ODBC Drivers", "selected a DSN"));
}

TEST(OleDbBuilder, ListsDataSourcesUntilACallDoesNotReturnZero) {
    ScriptedUi ui;
    FakeAccess access;
    access.sources = {{0, "A"}, {0, "   "}, {0, ""}, {1, "B"}, {0, "C"}};
    access.drivers = {{"SQLite3", {"Driver=libsqlite3odbc.so"}}, {"MariaDB Unicode", {"Driver=libmaodbc.so"}}};
    OleDbBuilder b;
    b.getDSNsAndProviders(access, ui);
    EXPECT_EQ(b.cboDSNList, (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(b.cboProviders.size(), 7u);
    EXPECT_EQ(b.cboProviders[0], "Microsoft OLE DB Provider for SQL Server");
    EXPECT_EQ(b.cboProviders[4], "Microsoft OLE DB Provider for ODBC Drivers");
    EXPECT_EQ(b.cboProviders[6], "MariaDB Unicode");
    ASSERT_EQ(b.drivers.size(), 2u);
    EXPECT_EQ(b.drivers[0].fields, DriverFields::DatabaseFile);
    EXPECT_EQ(OleDbBuilder::caption(), "Rowwright - OLE DB Connection Builder");

    access.envAvailable = false;  // no environment: providers all the same
    OleDbBuilder c;
    c.getDSNsAndProviders(access, ui);
    EXPECT_TRUE(c.cboDSNList.empty());
    EXPECT_EQ(c.cboProviders.size(), 7u);
}

TEST(OleDbBuilder, TestOpensAndClosesAndReportsEitherWay) {
    ScriptedUi ui;
    FakeAccess access;
    OleDbBuilder b;
    b.chooseProvider("Microsoft Jet 3.51 OLE DB Provider");
    b.txtDatabase = "a.mdb";
    b.test(access, ui);
    ASSERT_EQ(access.opens.size(), 1u);
    EXPECT_EQ(access.opens[0].connectionString, "PROVIDER=Microsoft.Jet.OLEDB.3.51;Data Source=a.mdb;User ID=;Password=;");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Test successful!");
    EXPECT_EQ(ui.messages[0].style, 64);
    EXPECT_EQ(b.result(), "");  // a test sets no result

    access.openError = RuntimeError(-2147467259, "ODBC SQLDriverConnect", "Data source name not found (SQLSTATE IM002)");
    b.chooseProvider("none of them");  // changes nothing shown; the string is empty and still tried
    b.test(access, ui);
    EXPECT_EQ(access.opens.back().connectionString, "");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text,
              "Error: -2147467259\r\nSource: ODBC SQLDriverConnect (frmOLEDBLogin.cmdTest_Click)\r\n\r\nDescription: "
              "Data source name not found (SQLSTATE IM002)");
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(b.databaseButtonShown);
}

TEST(OleDbBuilder, ADatabaseFileMustExist) {
    ScriptedUi ui;
    OleDbBuilder b;
    b.chooseDatabaseFile(ui, std::nullopt);  // cancelled: silent
    b.chooseDatabaseFile(ui, std::string("/nonexistent/x.mdb"));
    EXPECT_EQ(b.txtDatabase, "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 53\r\nSource: RwtAddIn (frmOLEDBLogin.cmdDB_Click)\r\n\r\nDescription: File not found");
}

// --- OLE DB strings opened through ODBC ----------------------------------

TEST(ConnectionStrings, OleDbStringsBecomeOdbcStrings) {
    const OleDbDrivers d;
    EXPECT_EQ(oleDbToOdbc("PROVIDER=MSDASQL;Data Source=Orders;User ID=sa;Password=;", d),
              "DSN=Orders;UID=sa;PWD=;");
    EXPECT_EQ(oleDbToOdbc("PROVIDER=SQLOLEDB;Data Source=db1;Initial Catalog=Northwind;User ID=sa;Password=x;", d),
              "DRIVER={FreeTDS};SERVER=db1;DATABASE=Northwind;UID=sa;PWD=x;");
    EXPECT_EQ(oleDbToOdbc("PROVIDER=MSDAORA;Data Source=orcl;User ID=scott;Password=tiger;", d),
              "DRIVER={Oracle};DBQ=orcl;UID=scott;PWD=tiger;");
    EXPECT_EQ(oleDbToOdbc("provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/my db.mdb;User ID=;Password={x};", d),
              "DRIVER={MDBTools};DBQ=/d/my db.mdb;UID=;PWD=x;");
    OleDbDrivers custom;
    custom.sqlServer = "ODBC Driver 18 for SQL Server";
    EXPECT_EQ(oleDbToOdbc("PROVIDER=SQLOLEDB.1;Data Source=s;Initial Catalog=c;User ID=u;Password= p ;", custom),
              "DRIVER={ODBC Driver 18 for SQL Server};SERVER=s;DATABASE=c;UID=u;PWD={ p };");
    // Without a provider the text is an ODBC string already.
    EXPECT_EQ(oleDbToOdbc("Driver=SQLite3;Database=a.db", d), "Driver=SQLite3;Database=a.db");
    EXPECT_EQ(oleDbToOdbc("PROVIDER=Unknown.1;Data Source=x", d), std::nullopt);
}

TEST(ConnectionStrings, ValuesInBracesMayHoldSemicolons) {
    const auto pairs = parseConnectionString("Driver={My {Odd}} Driver};PWD={a;b};UID = bob ;Lone;");
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(pairs[0].second, "My {Odd} Driver");
    EXPECT_EQ(pairs[1].second, "a;b");
    EXPECT_EQ(pairs[2].first, "UID");
    EXPECT_EQ(pairs[2].second, " bob ");
    EXPECT_EQ(pairs[3].first, "Lone");
    EXPECT_EQ(connectionStringValue("dsn=x;driver=y", "DRIVER"), "y");
    EXPECT_EQ(odbcValue("a}b"), "{a}}b}");
}

TEST(ConnectionStrings, DriverStringsBraceTheValuesThatNeedIt) {
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
        // Read back, the string gives the values as they were.
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
