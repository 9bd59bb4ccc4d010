// The data layer through real ODBC drivers: SQLite always, PostgreSQL and MariaDB when their servers were started
// (scripts/db-servers).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "core/connection_page.h"
#include "core/field_loader.h"
#include "core/table_choice.h"
#include "gen/collection/coll_file.h"
#include "gen/object/object_class.h"
#include "model/names.h"
#include "odbc/odbc_setup.h"
#include "odbc/vb_sql.h"
#include "platform/db/odbc.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using test::backend;
using test::Backend;
using test::VbValue;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> rows(DataConnection& c, const std::vector<std::string>& tables, bool detectKeys) {
    FieldGrid grid;
    loadFieldRows(c, tables, grid, FieldLoadOptions{detectKeys});
    std::vector<std::string> texts;
    for (const FieldRow& r : grid.rows()) texts.push_back(fieldRowText(r));
    return texts;
}

class Drivers : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const Backend& b = backend(GetParam());
        if (!b.requested) {
            // scripts/test starts the servers and sets RW_DB_SERVERS_REQUIRED: a lost variable cannot pass as a skip.
            if (std::getenv("RW_DB_SERVERS_REQUIRED")) FAIL() << b.name << ": its server's port variable is not set";
            GTEST_SKIP() << b.name << ": no server was started (scripts/db-servers start)";
        }
        ASSERT_TRUE(b.failure.empty()) << b.failure;
        conn_ = access_.open(b.connectString(), "", "");
    }

    // The sample tables are named in lower case on PostgreSQL.
    std::string table(const std::string& name) const { return GetParam() == std::string("PostgreSQL") ? lower(name) : name; }

    db::OdbcDataAccess access_;
    std::unique_ptr<DataConnection> conn_;
};

INSTANTIATE_TEST_SUITE_P(Odbc, Drivers, ::testing::Values("SQLite", "PostgreSQL", "MariaDB"),
                         [](const auto& info) { return std::string(info.param); });

// The user tables (no views, no sqlite_sequence, none of MariaDB's system databases), then the field rows as
// read and with keys detected: unescaped, "Order_Details" would also match "Order Details", and "USER_" "USERS".
// The SQLite driver reports NUMERIC(10,2) with COLUMN_SIZE 2 and DECIMAL_DIGITS 10. The OLE DB string of the data
// source, as the builder makes it, opens through ODBC.
TEST_P(Drivers, TheCatalogueAsThePagesHoldIt) {
    const Backend& b = backend(GetParam());
    ScriptedUi ui;
    ConnectionPage page;
    page.chooseDSNLess();
    page.buildConnectionString(
        ui, [&] { return "PROVIDER=MSDASQL;Data Source=" + b.dsn + ";User ID=" + b.user + ";Password=" + b.password; });
    ASSERT_TRUE(page.next(access_, ui, nullptr)) << ui.messages.at(0).text;
    EXPECT_EQ(page.moConn->property("Data Source Name"), b.dsn);
    EXPECT_EQ(conn_->property("DBMS Name"), GetParam());
    EXPECT_THROW(conn_->property("Prompt"), RuntimeError);
    std::string text;
    for (const std::string& t : userTables(*conn_)) text += t + "\r\n";
    for (const bool detect : {false, true}) {
        text += detect ? "\r\nKeys detected:\r\n" : "\r\nAs read:\r\n";
        for (const std::string& row : rows(*conn_, {table("Customers"), table("Products"), table("Orders"),
                                                    "Order Details", "Order_Details", "USER_"}, detect))
            text += row + "\r\n";
    }
    const auto credit =
        conn_->openSchema(kSchemaColumns, {std::nullopt, std::nullopt, table("Customers"), table("CreditLimit")});
    text += "\r\nCreditLimit: " + credit->value("NUMERIC_PRECISION").toText() + "," +
            credit->value("NUMERIC_SCALE").toText() + "\r\n";
    test::expectGolden("odbc/catalogue_" + std::string(GetParam()) + ".txt", text);
    EXPECT_TRUE(conn_->openSchema(kSchemaPrimaryKeys, {std::nullopt, std::nullopt, "Order_Details"})->eof());
}

// Reading every column at once, detecting keys per table, and an ODBC 3 environment (SQL_TYPE_TIMESTAMP for
// SQL_TIMESTAMP, other catalogue column names) give the rows the default reads give: for every user table, a table
// twice, and one named in another case than the catalogue's.
TEST_P(Drivers, OtherWaysOfReadingGiveTheSameRows) {
    const std::vector<std::string> tables = userTables(*conn_);
    EXPECT_EQ(conn_->readKeys(tables).size(), tables.size());  // the one pass covered every table
    std::vector<std::string> asked = tables;
    asked.insert(asked.end(), {tables.front(), lower(tables.back())});
    for (const auto& [options, detect] : {std::pair{db::OdbcOptions{.prefetchColumnsFrom = 1}, false},
                                          {db::OdbcOptions{.keysInOnePass = false}, true}, {{.odbc3 = true}, true}}) {
        db::OdbcDataAccess access(options);
        std::unique_ptr<DataConnection> c = access.open(backend(GetParam()).connectString(), "", "");
        const std::vector<std::string> usual = rows(*conn_, asked, detect);
        ASSERT_GT(usual.size(), 20u);
        EXPECT_EQ(rows(*c, asked, detect), usual) << detect;
        EXPECT_EQ(userTables(*c), tables);
    }
}

// SQLite has no login; a database file that does not exist is the failure there (the driver would otherwise make
// an empty one), and so is a driver entry whose library does not exist. psqlodbc gives 08001 for every failed
// connection.
TEST_P(Drivers, AFailedConnectionCarriesTheDriversMessageAndSqlState) {
    const std::string missing = test::odbcFolder() + "/missing.db", orders = test::odbcFolder() + "/orders.db";
    const std::vector<std::string> broken{"The ODBC driver \"SQLite\" cannot be loaded: ", "libsqliteodbc.so",
                                          "The driver registered as \"SQLite3\" may be the one meant"};
    const struct { std::string backend, connect, state; std::vector<std::string> parts; } cases[] = {
        {"SQLite", "Driver=SQLite3;Database=" + missing, "", {"The SQLite database \"" + missing + "\" does not exist: "}},
        {"SQLite", "rw_broken", "", broken},
        {"SQLite", "Driver=SQLite;Database=" + orders, "", broken},
        {"PostgreSQL", "rw_pg", "08001", {"password authentication failed for user \"rowwright\""}},
        {"MariaDB", "rw_mariadb", "28000", {"Access denied for user 'rowwright'"}},
    };
    for (const auto& k : cases) {
        if (k.backend != GetParam()) continue;
        try {
            access_.open(k.connect, backend(GetParam()).user, "not-the-password");
            ADD_FAILURE() << "opened " << k.connect;
        } catch (const db::OdbcError& e) {
            EXPECT_EQ(e.number, db::kProviderErrorNumber);
            EXPECT_EQ(e.source, "ODBC SQLDriverConnect");
            if (!k.state.empty()) {
                EXPECT_EQ(e.sqlState, k.state);
            }
            for (const std::string& part : k.parts) EXPECT_NE(e.description.find(part), std::string::npos) << e.description;
            EXPECT_NE(e.description.find("(SQLSTATE " + e.sqlState + ")"), std::string::npos) << e.description;
        }
    }
}

// The SQL texts the generated Add, Refresh, Update and Remove build, run through the driver: a text key with an
// apostrophe, a date and time, a date alone, a time, a Boolean, a number and Nulls make the round trip. The time is
// quoted text, given here in 24-hour form: MariaDB refuses the en-US text of a VB time ('3:04:05 PM') in strict mode.
TEST_P(Drivers, GeneratedSqlRoundTrips) {
    const std::string tableName = table("Customers"), base = classBaseName(tableName), keyField = table("CustomerID");
    test::GenFixture fx;
    fx.newProject("OleDll");
    fx.conn.set("DBMS Name", conn_->property("DBMS Name"));
    loadFieldRows(*conn_, {tableName}, fx.grid, FieldLoadOptions{true});
    const auto coll = fx.capture([&](GenContext& c, int n) { msGenCollFile(c, n, TableNames(c.grid, tableName), "OleDll"); });
    const auto object = fx.capture([&](GenContext& c, int n) { msGenObjectFile(c, n, TableNames(c.grid, tableName), "OleDll"); });
    ASSERT_TRUE(fx.ui.messages.empty()) << fx.messageTexts()[0];

    std::map<std::string, VbValue> record;  // the record's values by column as the schema names it
    for (const FieldRow& r : fx.grid.rows()) record[r.field] = VbValue();
    record[keyField] = std::string("O'Brn");
    const struct { const char* field; VbValue added, updated; } columns[] = {
        {"CompanyName", std::string("Rock 'n' Roll Ltd."), std::string("Bon app'")},
        {"ContactName", VbValue(), VbValue()},
        {"CreditLimit", 1234.5, 99.25},
        {"IsActive", true, false},
        {"CustomerSince", DateTime{2026, 12, 5, 8, 17, 21}, DateTime{2027, 1, 2, 3, 4, 5}},
        {"FirstOrder", DateTime{2026, 12, 6, 0, 0, 0}, DateTime{2027, 1, 3, 0, 0, 0}},
        {"CallAfter", std::string("15:04:05"), std::string("08:09:10")},
    };
    const std::string expected[] = {"Rock 'n' Roll Ltd.|Null|1234.5|True|2026-12-05 08:17:21|2026-12-06|15:04:05|",
                                    "Bon app'|Null|99.25|False|2027-01-02 03:04:05|2027-01-03|08:09:10|"};
    // A value as read back, alike on every driver: a date by its leading characters (the drivers add fractions, or
    // a time to a date alone).
    const auto shown = [](const Variant& v, const VbValue& sent) -> std::string {
        if (v.isNull()) return "Null";
        const std::string t = v.toText();
        if (const auto* d = std::get_if<DateTime>(&sent)) return t.substr(0, d->hour + d->minute + d->second ? 19 : 10);
        if (std::holds_alternative<bool>(sent)) return t == "1" || t == "True" || t == "t" || t == "-1" ? "True" : "False";
        return std::holds_alternative<double>(sent) ? (std::ostringstream() << std::stod(t)).str() : t;
    };
    const std::string filter = keyField + " = 'O''Brn'";
    auto sql = [&](const std::string& file, const std::string& header) {
        std::map<std::string, VbValue> vars{{"mvar" + propertyName(keyField) + "_ReadBuf", std::string("O'Brn")},
                                            {"RefreshFilter", filter}, {"SortOrder", std::string()}, {"vsFilter", filter}};
        for (const auto& [field, v] : record) vars["ro" + base + "." + propertyName(field)] = vars[propertyName(field)] = v;
        return test::buildSql(file, header, vars);
    };
    for (const bool update : {false, true}) {
        for (const auto& c : columns) record[table(c.field)] = update ? c.updated : c.added;
        const std::string change = update ? sql(object, "Public Function Update()") : sql(coll, "Public Function Add(");
        if (!update) {
            EXPECT_EQ(change.rfind("INSERT INTO " + tableName + " (", 0), 0u) << change;
        }
        EXPECT_EQ(conn_->execute(change), 1) << change;
        std::unique_ptr<Recordset> rs = conn_->openRecordset(sql(coll, "Public Sub Refresh()"));
        ASSERT_FALSE(rs->eof());
        std::string got = rs->value(keyField).toText() + "|";
        for (const auto& c : columns) got += shown(rs->value(table(c.field)), update ? c.updated : c.added) + "|";
        EXPECT_EQ(got, "O'Brn|" + expected[update]);
        rs->moveNext();
        EXPECT_TRUE(rs->eof());
    }
    const std::string remove = sql(coll, "Public Function Remove(");
    EXPECT_EQ(remove, "DELETE FROM " + tableName + " WHERE " + filter);
    EXPECT_EQ(conn_->execute(remove), 1) << remove;
    EXPECT_TRUE(conn_->openRecordset(sql(coll, "Public Sub Refresh()"))->eof());
}

// SQLite: detection takes an integer key of one column as the row id, filled on insert. The table's name, and one
// column's, are longer than a read buffer; the writer's next change finds no lock left by the reader's eager load.
TEST(Sqlite, DetectionTakesAnIntegerKeyOfOneColumnAsTheRowIdFilledOnInsert) {
    ASSERT_TRUE(backend("SQLite").failure.empty()) << backend("SQLite").failure;
    const std::string table(1500, 't'), column(3000, 'c');
    const std::pair<std::string, std::string> cases[] = {  // the columns, and per column its name, P: Primary, A: Auto
        {"(ID INTEGER PRIMARY KEY, N TEXT)", "ID P A, N"},
        {"(ID integer PRIMARY KEY AUTOINCREMENT, N TEXT)", "ID P A, N"},
        {"(N TEXT, ID Integer, PRIMARY KEY (ID))", "N, ID P A"},
        {"(ID INT PRIMARY KEY, N TEXT)", "ID P, N"},
        {"(ID INTEGER, N INTEGER, PRIMARY KEY (ID, N))", "ID P, N P"},
        {"(ID TEXT PRIMARY KEY, N INTEGER)", "ID P, N"},
        {"(ID INTEGER PRIMARY KEY, N TEXT) WITHOUT ROWID", "ID P, N"},
        {"(ID INTEGER, N TEXT)", "ID, N"},
        {"(\"" + column + "\" INTEGER PRIMARY KEY, b TEXT)", column + " P A, b"},
    };
    db::OdbcDataAccess access, eagerAccess({.prefetchColumnsFrom = 1});
    const std::string file = "Driver=SQLite3;NoCreat=0;Database=" + test::odbcFolder() + "/rowid.db";
    std::unique_ptr<DataConnection> writer = access.open(file, "", ""), reader = eagerAccess.open(file, "", "");
    for (const auto& [columns, expected] : cases) {
        writer->execute("DROP TABLE IF EXISTS \"" + table + "\"");
        writer->execute("CREATE TABLE \"" + table + "\" " + columns);
        FieldGrid grid;
        loadFieldRows(*reader, {table}, grid, FieldLoadOptions{true});
        std::string marks;
        for (const FieldRow& r : grid.rows())
            marks += (marks.empty() ? "" : ", ") + r.field + (r.primary ? " P" : "") + (r.autoNumber ? " A" : "");
        EXPECT_EQ(marks, expected) << columns;
        EXPECT_EQ(grid.row(0).table, table);
    }
}

}  // namespace
}  // namespace rw
