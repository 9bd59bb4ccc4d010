// The connection page's logic (checks, login, choosing a data source,
// opening), the connection builder's (providers, checks, strings, the data
// source list, Test) and the table page's (the catalogue filter, the moves, Next).
#include <gtest/gtest.h>

#include "core/connection_page.h"
#include "core/oledb_builder.h"
#include "core/table_choice.h"
#include "platform/connection_strings.h"
#include "support/fake_db.h"
#include "support/golden.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using test::FakeAccess;
using test::FakeConnection;

// Next on a page as the row fills it, with a login dialog that answers
// `loginUser` (a null cancels); the open fails when `openFails`.
TEST(ConnectionPage, NextChecksTheEntryAsksForALoginAndOpens) {
    const struct {
        bool dsnLess;
        std::string dsn, connString, user, password;
        const char* loginUser;
        bool openFails = false;
    } cases[] = {
        {false, "   ", "x", "", "", "u"}, {true, "Orders", "  ", "", "", "u"}, {false, "Orders", "", "", "", nullptr},
        {false, "Orders", "", "", "", "sa"}, {false, "Orders", "", "", "pw", "sa"}, {false, "Orders", "", "ann", "", "sa"},
        {true, "Orders", "Driver=SQLite3;Database=a.db", "ann", "", "sa"}, {false, "Orders", "", "ann", "wrong", nullptr, true},
    };
    std::string log;
    for (const auto& k : cases) {
        log += "== " + std::string(k.dsnLess ? "DSN-less " : "DSN ") + k.dsn + "|" + k.connString + "|" + k.user + "|" +
               k.password + "\n";
        FakeAccess access;
        if (k.openFails)
            access.openError = RuntimeError(-2147467259, "ODBC SQLDriverConnect",
                                            "[unixODBC]FATAL:  password authentication failed (SQLSTATE 28P01)");
        ScriptedUi ui;
        ConnectionPage page;
        if (k.dsnLess) page.chooseDSNLess();
        page.txtDSN = k.dsn, page.txtConnString = k.connString, page.msUserName = k.user, page.msPassword = k.password;
        const bool ok = page.next(access, ui, [&](const std::string& dsn, std::string& u, std::string&) {
            log += "login asked for " + dsn + "\n";
            if (k.loginUser) u = k.loginUser;
            return k.loginUser != nullptr;
        });
        EXPECT_EQ(page.moConn != nullptr, ok);
        log += ok ? "next: connected\n" : "next: stays\n";
        for (const auto& o : access.opens) log += "opened " + o.connectionString + " as " + o.user + "\n";
        log += shownText(ui);
    }
    test::expectGolden("connection_page_next.txt", log);
}

TEST(ConnectionPage, ChoosingADataSourceReadsItsNameAndLogin) {
    FakeAccess access;
    access.sources = {{0, "Orders"}, {0, "Stock"}};
    access.make = [](const std::string& cs) {
        auto c = std::make_unique<FakeConnection>();
        c->properties["Data Source Name"] = "Orders", c->completedString = cs;
        return c;
    };
    ScriptedUi ui;
    ConnectionPage page;
    page.msPassword = "old";
    // A value ends at a semicolon or at the end of the string; no PWD= key
    // empties the password. Cancelling the dialog (no answers left), or a
    // data source that cannot be opened, changes nothing and says nothing.
    ui.dataSourceAnswers = {"DSN=Orders;UID=sa;", "DSN=Orders;PWD=x;UID=bob", "DSN=Orders;UID=ann;PWD=s3;cret"};
    std::string log;
    for (int k = 0; k < 5; ++k) {
        if (k == 4) access.openError = RuntimeError(1, "x", "y"), ui.dataSourceAnswers = {"DSN=Gone;UID=bob;"};
        page.chooseDataSource(access, ui);
        log += page.txtDSN + " " + page.msUserName + "/" + page.msPassword + "\n";
    }
    EXPECT_EQ(log, "Orders sa/\nOrders bob/x\nOrders ann/s3\nOrders ann/s3\nOrders ann/s3\n");
    EXPECT_EQ(ui.dataSourcePrompts[0], (std::vector<std::string>{"Orders", "Stock"}));
    EXPECT_TRUE(ui.messages.empty());
    // Switching options keeps both texts; a cancelled builder empties the string.
    page.txtConnString = "b", page.chooseDSNLess(), page.chooseDSN();
    EXPECT_EQ(page.txtDSN + page.txtConnString, "Ordersb");
    page.buildConnectionString(ui, [] { return std::string(); });
    EXPECT_EQ(page.txtConnString, "");
}

// --- connection builder --------------------------------------------------

// Fills a builder with the row's provider and boxes (`dsn`: the data source
// list's selection; -2: one chosen, then the text typed over) and presses
// OK. Shown fields: s server, p port, d database, b its file button, l the
// data source list, u login.
TEST(OleDbBuilder, OkBuildsTheStringShowsTheFieldsAndNamesWhatIsMissing) {
    const std::string sql = "Microsoft OLE DB Provider for SQL Server", ora = "Microsoft OLE DB Provider for Oracle",
                      j3 = "Microsoft Jet 3.51 OLE DB Provider", j4 = "Microsoft Jet 4.0 OLE DB Provider",
                      msdasql = "Microsoft OLE DB Provider for ODBC Drivers", pg = "PostgreSQL Unicode";
    const struct {
        std::string provider, server, port, database, user, password;
        int dsn = -1;
    } cases[] = {
        {sql, "db1", "1", "Northwind", "sa", " p;w "}, {j4, "", "", "/data/nwind.mdb"}, {"", "x"},
        {pg, "db1", "5433", "", "me", "p;w"},          {"SQLite3", "s", "1", "/data/orders.db", "u", "p"},
        {msdasql, "", "", "", "u", "", 1},             {"SQLite3", "s"}, {pg, "", "", "d"}, {sql}, {sql, "s"},
        {ora, "", "", "d"}, {j3, "s"}, {j4, "s"}, {msdasql, "", "", "", "", "", -2},
    };
    std::string log;
    for (const auto& k : cases) {
        log += "== " + k.provider + "|" + k.server + "|" + k.port + "|" + k.database + "|" + k.user + "|" +
               k.password + "|" + std::to_string(k.dsn) + "\n";
        ScriptedUi ui;
        OleDbBuilder b;
        b.drivers = {{"SQLite3", DriverFields::DatabaseFile}, {pg, DriverFields::Server}};
        b.cboDSNList = {"Orders", "Stock"};
        b.chooseProvider(k.provider);
        if (k.dsn != -1) b.selectDataSource(k.dsn < 0 ? 0 : k.dsn);
        if (k.dsn == -2) b.typeDataSource("Orders");
        b.txtServer = k.server, b.txtPort = k.port, b.txtDatabase = k.database, b.txtUID = k.user, b.txtPWD = k.password;
        log += "shown ";
        for (const auto& [on, letter] : {std::pair{b.serverShown, 's'}, {b.portShown, 'p'}, {b.databaseShown, 'd'},
                                         {b.databaseButtonShown, 'b'}, {b.dsnListShown, 'l'}, {b.loginShown, 'u'}})
            if (on) log += letter;
        log += b.ok(ui) ? "\nok: " + b.result() + "\n" : "\nrefused: " + b.result() + "\n";
        log += shownText(ui);
    }
    test::expectGolden("oledb_builder_ok.txt", log);
}

// A driver whose name or Driver= library names SQLite takes a database
// file, any other a server; without an environment, the providers alone.
TEST(OleDbBuilder, ListsDataSourcesAndDriversAndTestsTheConnection) {
    ScriptedUi ui;
    FakeAccess access;
    access.sources = {{0, "A"}, {0, "   "}, {0, ""}, {1, "B"}, {0, "C"}};
    access.drivers = {{"SQLite3", {}},
                      {"Lite", {"Description=x", "Driver=/usr/lib/libSQLiteodbc.so"}},
                      {"MariaDB Unicode", {"Driver=libmaodbc.so"}},
                      {"Other", {"Description=not sqlite", "Setup=libsqlite3odbc.so"}}};
    std::string log;
    for (const bool available : {true, false}) {
        access.envAvailable = available;
        OleDbBuilder b;
        b.getDSNsAndProviders(access, ui);
        log += available ? "== with an environment\n" : "== without\n";
        for (const auto& s : b.cboDSNList) log += "data source " + s + "\n";
        for (const auto& p : b.cboProviders) log += "provider " + p + "\n";
        for (const auto& d : b.drivers)
            log += d.name + (d.fields == DriverFields::DatabaseFile ? ": a database file\n" : ": a server\n");
    }
    // Test reports either way and sets no result; a cancelled file dialog is silent.
    access.envAvailable = true;
    OleDbBuilder b;
    b.chooseProvider("Microsoft Jet 3.51 OLE DB Provider");
    b.txtDatabase = "a.mdb";
    b.test(access, ui);
    access.openError = RuntimeError(-2147467259, "ODBC SQLDriverConnect", "Data source name not found (SQLSTATE IM002)");
    b.chooseProvider("none of them");  // changes nothing shown; the string is empty and still tried
    b.test(access, ui);
    b.chooseDatabaseFile(ui, std::nullopt);
    b.chooseDatabaseFile(ui, std::string("/nonexistent/x.mdb"));
    log += "== Test\ndatabase " + b.txtDatabase + ", result " + b.result() + "\n";
    for (const auto& o : access.opens) log += "opened " + o.connectionString + "\n";
    test::expectGolden("oledb_builder_lists.txt", log + shownText(ui));
    EXPECT_TRUE(b.databaseButtonShown);
}

// --- OLE DB strings opened through ODBC ----------------------------------

// Each row's text: as an ODBC string, with a custom SQL Server driver, and
// without its password; then driver strings built with one DATABASE value
// and read back.
TEST(ConnectionStrings, OleDbStringsBecomeOdbcStringsAndPasswordsAreLeftOut) {
    OleDbDrivers custom;
    custom.sqlServer = "ODBC Driver 18 for SQL Server";
    std::string log;
    for (const char* text : {
             "PROVIDER=MSDASQL;Data Source=Orders;User ID=sa;Password=;", "PROVIDER=MSDAORA;Data Source=orcl;User ID=scott;Password=tiger;",
             "PROVIDER=SQLOLEDB;Data Source=db1;Initial Catalog=Northwind;User ID=sa;Password=x;",
             "provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/my db.mdb;User ID=;Password={x};",
             "PROVIDER=SQLOLEDB.1;Data Source=s;Initial Catalog=c;User ID=u;Password= p ;", "Driver=SQLite3;Database=a.db",
             "PROVIDER=Unknown.1;Data Source=x", "DSN=a;UID=u;PWD=p", "pwd=p;DSN=a;", "DSN=a;PWD={x;y}};z};UID=u",
             " PassWord = s ;DSN=a;Pwd=", "PWDX=1;OLDPWD=2;Lone", ""})
        log += "== " + std::string(text) + "\n" + oleDbToOdbc(text, {}).value_or("(none)") + "\n" +
               oleDbToOdbc(text, custom).value_or("(none)") + "\n" + withoutPassword(text) + "\n";
    for (const auto& [driver, value] : std::vector<std::pair<std::string, std::string>>{
             {"SQLite3", "/d/a.db"}, {"SQLite3", "/d/a;b.db"}, {"SQLite3", "a}b"}, {"SQLite3", "{a"}, {"SQLite3", " a"},
             {"SQLite3", "a "}, {"SQLite3", "a=b c"}, {"SQLite3", ""}, {"My {Odd} Driver", "x"}}) {
        const std::string built = driverConnectionString(driver, {{"DATABASE", value}});
        log += "== " + driver + "|" + value + "\n" + built + "\n";
        EXPECT_EQ(connectionStringValue(built, "DRIVER"), driver);
        EXPECT_EQ(connectionStringValue(built, "DATABASE").value_or(""), value);
    }
    test::expectGolden("connection_strings.txt", log);
    EXPECT_EQ(parseConnectionString("Driver={My {Odd}} Driver};PWD={a;b};UID = bob ;Lone;"),
              (std::vector<std::pair<std::string, std::string>>{
                  {"Driver", "My {Odd} Driver"}, {"PWD", "a;b"}, {"UID", " bob "}, {"Lone", ""}}));
    EXPECT_EQ(connectionStringValue("dsn=x;driver=y", "DRIVER"), "y");
}

// --- the table page ------------------------------------------------------

using Strings = std::vector<std::string>;

std::string texts(const std::vector<ListEntry>& list) {
    std::string t;
    for (const ListEntry& e : list) t += " [" + e.text + "]";
    return t + "\n";
}

// Display lists only user tables, in catalogue order; a cancelled catalogue
// is silent, any other error is shown. The moves walk the source list
// backwards; Next with nothing included beeps and stays, and stays when
// the fields page fails.
TEST(TablePage, DisplayMovesAndNextLeaveThisTranscript) {
    test::FakeConnection c;
    c.tables = {{"Orders", "TABLE"}, {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"}, {"msysLocal", "TABLE"}, {"MSy", "TABLE"},
                {"Order Totals", "VIEW"}, {"sqlite_sequence", "SYSTEM TABLE"}, {"Dtproperties", "TABLE"}, {"Customers", "table"},
                {"Alpha", "TABLE"}};
    TablePage page;
    ScriptedUi ui;
    std::string log;
    for (const std::optional<RuntimeError>& error :
         std::vector<std::optional<RuntimeError>>{std::nullopt, RuntimeError(3712, "Provider", "Operation Canceled"),
          RuntimeError(-2147467259, "ODBC SQLTables", "Communication link failure (SQLSTATE 08S01)")}) {
        c.tablesError = error;
        const char* const shown[] = {"shown:", "cancelled:", "failed:"};
        log += shown[static_cast<int>(page.display(ui, c))];
        log += texts(page.lstYes);
    }
    page.lstYes = {{"A", true}, {"B", false}, {"C", true}};
    page.dontInclude(ui);
    log += "left out A and C:" + texts(page.lstYes) + "not included:" + texts(page.lstNo);
    page.lstNo[1].selected = true;  // A, when the move walked backwards
    page.include(ui);
    log += "included A:" + texts(page.lstYes) + "not included:" + texts(page.lstNo);
    page.dontIncludeAll(ui), page.includeAll(ui);
    EXPECT_EQ(page.chosenTables(), (Strings{"B", "A", "C"}));
    EXPECT_TRUE(page.lstNo.empty());
    int fieldsShown = 0;
    const auto showFields = [&] { return ++fieldsShown > 0; };
    page.lstYes.clear();
    log += "next with nothing: " + std::to_string(page.next(ui, showFields)) + "\n";
    page.lstYes = {{"Orders", false}};
    log += "next: " + std::to_string(page.next(ui, showFields)) + "\n";
    log += "next, the fields page failing: " + std::to_string(page.next(ui, [] { return false; })) + "\n";
    log += "fields shown " + std::to_string(fieldsShown) + ", beeps " + std::to_string(ui.beeps) + "\n";
    test::expectGolden("table_page.txt", log + shownText(ui));
}

}  // namespace
}  // namespace rw
