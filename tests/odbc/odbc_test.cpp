// The data layer through real ODBC drivers: SQLite always, PostgreSQL and
// MariaDB when their servers were started (scripts/db-servers).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "core/connection_page.h"
#include "core/field_loader.h"
#include "model/names.h"
#include "core/oledb_builder.h"
#include "core/table_choice.h"
#include "gen/collection/coll_file.h"
#include "gen/object/object_class.h"
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

class Drivers : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const Backend& b = backend(GetParam());
        if (!b.requested) {
            // scripts/test starts the servers and sets RW_DB_SERVERS_REQUIRED,
            // so a lost server variable cannot pass as a skip there.
            if (std::getenv("RW_DB_SERVERS_REQUIRED")) FAIL() << b.name << ": its server's port variable is not set";
            GTEST_SKIP() << b.name << ": no server was started (scripts/db-servers start)";
        }
        ASSERT_TRUE(b.failure.empty()) << b.failure;
        conn_ = access_.open(b.connectString(), "", "");
    }

    bool is(const char* name) const { return std::string(GetParam()) == name; }
    // The sample tables are named in lower case on PostgreSQL.
    std::string table(const std::string& name) const { return is("PostgreSQL") ? lower(name) : name; }
    static std::string lower(std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    }

    std::vector<std::string> rows(const std::vector<std::string>& tables, bool detectKeys = false) {
        FieldGrid grid;
        loadFieldRows(*conn_, tables, grid, FieldLoadOptions{detectKeys});
        std::vector<std::string> texts;
        for (const FieldRow& r : grid.rows()) texts.push_back(fieldRowText(r));
        return texts;
    }

    db::OdbcDataAccess access_;
    std::unique_ptr<DataConnection> conn_;
};

INSTANTIATE_TEST_SUITE_P(Odbc, Drivers, ::testing::Values("SQLite", "PostgreSQL", "MariaDB"),
                         [](const auto& info) { return std::string(info.param); });

TEST_P(Drivers, ReportsTheProductAndTheDataSource) {
    EXPECT_EQ(conn_->property("DBMS Name"), GetParam());
    EXPECT_EQ(conn_->property("Data Source Name"), backend(GetParam()).dsn);
    EXPECT_THROW(conn_->property("Prompt"), RuntimeError);
}

TEST_P(Drivers, TheTablePageListsTheUserTablesOnly) {
    // Views, sqlite_sequence, and MariaDB's information_schema,
    // performance_schema, mysql and sys (all visible to this login) are left out.
    std::vector<std::string> expected;
    if (is("SQLite"))
        expected = {"Customers", "Employees", "shippers", "Products", "Orders", "Order Details",
                    "Order_Details", "USERS", "USER_"};
    if (is("PostgreSQL"))
        expected = {"Order Details", "Order_Details", "USERS", "USER_", "customers", "orders", "products"};
    if (is("MariaDB"))
        expected = {"Customers", "Order Details", "Orders", "Order_Details", "Products", "USERS", "USER_"};
    EXPECT_EQ(userTables(*conn_), expected);
}

// The field rows of two sample tables, one line each, as each driver
// reports them (on MariaDB BOOLEAN is TINYINT(1), a small number, and an
// auto-increment column takes Null).
TEST_P(Drivers, FieldRowsCarryTheDataTypeCodes) {
    std::string text;
    for (const std::string& row : rows({table("Customers"), table("Products")})) text += row + "\r\n";
    test::expectGolden("odbc/field_rows_" + std::string(GetParam()) + ".txt", text);
}

TEST_P(Drivers, TableNamesAreNotPatterns) {
    // Unescaped, "Order_Details" would also match "Order Details", and
    // "USER_" would match "USERS".
    EXPECT_EQ(rows({"Order_Details"}), (std::vector<std::string>{"Order_Details\t" + table("A") + "\tFalse\tFalse\t3\tTrue"}));
    EXPECT_EQ(rows({"USER_"}), (std::vector<std::string>{"USER_\t" + table("Y") + "\tFalse\tFalse\t3\tTrue"}));
    std::unique_ptr<Recordset> keys = conn_->openSchema(kSchemaPrimaryKeys, {std::nullopt, std::nullopt, "Order_Details"});
    EXPECT_TRUE(keys->eof());
}

TEST_P(Drivers, ATableNameWithASpaceAndItsCompositeKey) {
    std::vector<std::string> expected{
        "Order Details\t" + table("OrderID") + "\tTrue\tFalse\t3\tFalse",
        "Order Details\t" + table("ProductID") + "\tTrue\tFalse\t3\tFalse",
        "Order Details\t" + table("UnitPrice") + "\tFalse\tFalse\t5\tFalse",
        "Order Details\t" + table("Quantity") + "\tFalse\tFalse\t2\tFalse",
    };
    if (is("SQLite")) expected.push_back("Order Details\tDiscount\tFalse\tFalse\t5\tFalse");
    EXPECT_EQ(rows({"Order Details"}, true), expected);
    // Without --detect-keys these products pre-mark nothing.
    for (const std::string& r : rows({"Order Details"})) EXPECT_NE(r.find("\tFalse\tFalse\t"), std::string::npos) << r;
}

TEST_P(Drivers, DetectKeysFindsAutoNumberColumns) {
    const std::vector<std::string> orders = rows({table("Orders")}, true);
    ASSERT_FALSE(orders.empty());
    EXPECT_EQ(orders[0].substr(0, orders[0].rfind('\t')), table("Orders") + "\t" + table("OrderID") + "\tTrue\tTrue\t3");
    for (std::size_t i = 1; i < orders.size(); ++i)
        EXPECT_NE(orders[i].find("\tFalse\tFalse\t"), std::string::npos) << orders[i];
}

// Reading every column at once, and detecting keys in one pass over all
// tables, give the rows the default reads give: for every user table, a
// table twice, and one named in another case than the catalogue's.
TEST_P(Drivers, EagerReadsGiveTheSameRowsAsTheDefaultOnes) {
    db::OdbcOptions eager, perTable;
    eager.prefetchColumnsFrom = 1;
    perTable.keysInOnePass = false;
    const std::vector<std::string> tables = userTables(*conn_);
    EXPECT_EQ(conn_->readKeys(tables).size(), tables.size());  // the one pass covered every table
    std::vector<std::string> asked = tables;
    asked.push_back(tables.front());
    asked.push_back(lower(tables.back()));
    for (const auto& [options, detect] : {std::pair{eager, false}, {perTable, true}}) {
        db::OdbcDataAccess access(options);
        std::unique_ptr<DataConnection> c = access.open(backend(GetParam()).connectString(), "", "");
        FieldGrid other, usual;
        loadFieldRows(*c, asked, other, FieldLoadOptions{detect});
        loadFieldRows(*conn_, asked, usual, FieldLoadOptions{detect});
        ASSERT_GT(usual.rowCount(), 20u);
        ASSERT_EQ(other.rowCount(), usual.rowCount());
        for (std::size_t i = 0; i < usual.rowCount(); ++i)
            EXPECT_EQ(fieldRowText(other.row(i)), fieldRowText(usual.row(i))) << detect;
    }
}

TEST_P(Drivers, SchemaRowsetsLookTheSameInOdbc2AndOdbc3Environments) {
    db::OdbcOptions three;
    three.odbc3 = true;
    db::OdbcDataAccess access3(three);
    std::unique_ptr<DataConnection> conn3 = access3.open(backend(GetParam()).connectString(), "", "");
    for (DataConnection* c : {conn_.get(), conn3.get()}) {
        std::unique_ptr<Recordset> cols =
            c->openSchema(kSchemaColumns, {std::nullopt, std::nullopt, table("Customers"), std::nullopt});
        std::vector<std::string> names;
        for (int i = 0; i < cols->fieldCount(); ++i) names.push_back(cols->fieldName(i));
        EXPECT_EQ(names, schemaFields(kSchemaColumns));
        int timestamps = 0;
        for (; !cols->eof(); cols->moveNext()) timestamps += cols->value("DATA_TYPE").toInteger() == 135;
        EXPECT_EQ(timestamps, 1);  // SQL_TIMESTAMP (ODBC 2) and SQL_TYPE_TIMESTAMP (ODBC 3) alike
        std::unique_ptr<Recordset> tables = c->openSchema(kSchemaTables, {});
        EXPECT_EQ(tables->fieldName(2), "TABLE_NAME");
        EXPECT_EQ(tables->fieldName(3), "TABLE_TYPE");
    }
}

// SQLite has no login; a database file that does not exist is the failure
// there (the driver would otherwise make an empty one). psqlodbc gives 08001
// for every failed connection.
TEST_P(Drivers, AFailedLoginCarriesTheDriversMessageAndSqlState) {
    const Backend& b = backend(GetParam());
    const std::string missing = test::odbcFolder() + "/missing.db";
    const std::map<std::string, std::pair<std::string, std::string>> expected{
        {"SQLite", {"", "The SQLite database \"" + missing + "\" does not exist: "}},
        {"PostgreSQL", {"08001", "password authentication failed for user \"rowwright\""}},
        {"MariaDB", {"28000", "Access denied for user 'rowwright'"}}};
    const auto& [state, text] = expected.at(GetParam());
    try {
        if (is("SQLite")) access_.open("Driver=SQLite3;Database=" + missing, "", "");
        else access_.open(b.dsn, b.user, "not-the-password");
        FAIL() << "opened with a wrong login or a missing file";
    } catch (const db::OdbcError& e) {
        EXPECT_EQ(e.number, db::kProviderErrorNumber);
        EXPECT_EQ(e.source, "ODBC SQLDriverConnect");
        if (!state.empty()) EXPECT_EQ(e.sqlState, state);
        EXPECT_NE(e.description.find(text), std::string::npos) << e.description;
        EXPECT_NE(e.description.find("(SQLSTATE " + e.sqlState + ")"), std::string::npos) << e.description;
    }
}

// The SQL texts the generated Add, Refresh, Update and Remove build, run
// through the driver: a text key with an apostrophe, a date and time, a
// date alone, a time, a Boolean, a number and Nulls make the round trip.
// The time is quoted text, given here in 24-hour form: MariaDB refuses the
// en-US text of a VB time ('3:04:05 PM') in strict mode.
TEST_P(Drivers, GeneratedSqlRoundTrips) {
    const std::string tableName = table("Customers");
    FieldGrid grid;
    loadFieldRows(*conn_, {tableName}, grid, FieldLoadOptions{true});
    ASSERT_FALSE(grid.rows().empty());

    test::GenFixture fx;
    fx.newProject("OleDll");
    const std::string base = classBaseName(tableName);
    auto generate = [&](auto writer) {
        const int n = fx.files.openForOutput("/out/capture.cls");
        GenContext ctx{fx.settings, grid, *conn_, fx.ui, fx.clock, fx.files};
        writer(ctx, n);
        fx.files.close(n);
        return fx.fs.readAll("/out/capture.cls");
    };
    const std::string coll =
        generate([&](GenContext& c, int n) { msGenCollFile(c, n, tableName, base, "OleDll"); });
    const std::string object =
        generate([&](GenContext& c, int n) { msGenObjectFile(c, n, tableName, base, "OleDll"); });
    ASSERT_TRUE(fx.ui.messages.empty()) << fx.messageTexts()[0];

    // The record's values, by column as the schema names it: added, then
    // updated, and how each reads back (kind: t the text, d its leading
    // characters, n a number, b a Boolean).
    std::map<std::string, VbValue> record;
    std::string keyField;
    for (const FieldRow& r : grid.rows()) {
        record[r.field] = VbValue::null();
        if (r.primary) keyField = r.field;
    }
    ASSERT_EQ(lower(keyField), "customerid");
    record[keyField] = VbValue::of(std::string("O'Brn"));
    const auto text = [](const char* t) { return VbValue::of(std::string(t)); };
    const struct {
        const char* field;
        char kind;
        VbValue added, updated;
        std::string addedShown, updatedShown;
    } columns[] = {
        {"CompanyName", 't', text("Rock 'n' Roll Ltd."), text("Bon app'"), "Rock 'n' Roll Ltd.", "Bon app'"},
        {"ContactName", 't', VbValue::null(), VbValue::null(), "Null", "Null"},
        {"Notes", 't', VbValue::null(), VbValue::null(), "Null", "Null"},
        {"CreditLimit", 'n', VbValue::of(1234.5), VbValue::of(99.25), "1234.5", "99.25"},
        {"IsActive", 'b', VbValue::of(true), VbValue::of(false), "True", "False"},
        {"CustomerSince", 'd', VbValue::of(DateTime{2026, 12, 5, 8, 17, 21}), VbValue::of(DateTime{2027, 1, 2, 3, 4, 5}),
         "2026-12-05 08:17:21", "2027-01-02 03:04:05"},
        {"FirstOrder", 'd', VbValue::of(DateTime{2026, 12, 6, 0, 0, 0}), VbValue::of(DateTime{2027, 1, 3, 0, 0, 0}),
         "2026-12-06", "2027-01-03"},
        {"CallAfter", 't', text("15:04:05"), text("08:09:10"), "15:04:05", "08:09:10"},
    };
    const auto shown = [](const Variant& v, char kind, std::size_t length) -> std::string {
        if (v.isNull()) return "Null";
        const std::string t = v.toText();
        if (kind == 'b') return t == "1" || t == "True" || t == "t" || t == "-1" ? "True" : "False";
        if (kind == 'n') return (std::ostringstream() << std::stod(t)).str();
        return kind == 'd' ? t.substr(0, length) : t;
    };

    auto variables = [&](const std::map<std::string, VbValue>& values, const std::string& filter) {
        std::map<std::string, VbValue> vars;
        for (const auto& [field, v] : values) {
            const std::string prop = propertyName(field);
            vars["ro" + base + "." + prop] = v;
            vars[prop] = v;
        }
        vars["mvar" + propertyName(keyField) + "_ReadBuf"] = VbValue::of(std::string("O'Brn"));
        vars["RefreshFilter"] = VbValue::of(filter);
        vars["SortOrder"] = VbValue::of(std::string());
        vars["vsFilter"] = VbValue::of(filter);
        return vars;
    };
    const std::string filter = keyField + " = 'O''Brn'";
    auto select = [&] {
        const std::string sql = test::buildSql(test::procedureText(coll, "Public Sub Refresh()"),
                                               variables(record, filter));
        return conn_->openRecordset(sql);
    };

    for (const bool update : {false, true}) {
        for (const auto& c : columns)
            for (const FieldRow& r : grid.rows())
                if (lower(r.field) == lower(c.field)) record[r.field] = update ? c.updated : c.added;
        const std::string sql = update ? test::buildSql(test::procedureText(object, "Public Function Update()"),
                                                        variables(record, ""))
                                       : test::buildSql(test::procedureText(coll, "Public Function Add("),
                                                        variables(record, ""));
        if (!update) EXPECT_EQ(sql.rfind("INSERT INTO " + tableName + " (", 0), 0u) << sql;
        EXPECT_EQ(conn_->execute(sql), 1) << sql;
        std::unique_ptr<Recordset> rs = select();
        ASSERT_FALSE(rs->eof());
        EXPECT_EQ(rs->value(keyField).toText(), "O'Brn");
        for (const auto& c : columns) {
            const std::string& expected = update ? c.updatedShown : c.addedShown;
            EXPECT_EQ(shown(rs->value(table(c.field)), c.kind, expected.size()), expected) << c.field << " " << update;
        }
        rs->moveNext();
        EXPECT_TRUE(rs->eof());
    }

    const std::string remove = test::buildSql(test::procedureText(coll, "Public Function Remove("),
                                              variables(record, filter));
    EXPECT_EQ(remove, "DELETE FROM " + tableName + " WHERE " + filter);
    EXPECT_EQ(conn_->execute(remove), 1) << remove;
    EXPECT_TRUE(select()->eof());
}

// --- SQLite-only facts and the pages' logic on a real driver --------------

class Sqlite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(backend("SQLite").failure.empty()) << backend("SQLite").failure;
    }
    db::OdbcDataAccess access_;
};

TEST_F(Sqlite, PrecisionAndScaleComeFromTheTypeName) {
    // The driver reports NUMERIC(10,2) with COLUMN_SIZE 2 and DECIMAL_DIGITS 10.
    std::unique_ptr<DataConnection> c = access_.open("rw_sqlite", "", "");
    std::unique_ptr<Recordset> cols =
        c->openSchema(kSchemaColumns, {std::nullopt, std::nullopt, "Customers", "CreditLimit"});
    ASSERT_FALSE(cols->eof());
    EXPECT_EQ(cols->value("NUMERIC_PRECISION").toInteger(), 10);
    EXPECT_EQ(cols->value("NUMERIC_SCALE").toInteger(), 2);
    cols->moveNext();
    EXPECT_TRUE(cols->eof());
}

TEST_F(Sqlite, DetectionTakesAnIntegerKeyOfOneColumnAsTheRowIdFilledOnInsert) {
    struct Case {
        const char* create;
        const char* marks;  // per column: its name, P when Primary, A when Auto
    };
    const std::vector<Case> cases{
        {"CREATE TABLE T (ID INTEGER PRIMARY KEY, N TEXT)", "ID P A, N"},
        {"CREATE TABLE T (ID integer PRIMARY KEY AUTOINCREMENT, N TEXT)", "ID P A, N"},
        {"CREATE TABLE T (N TEXT, ID Integer, PRIMARY KEY (ID))", "N, ID P A"},
        {"CREATE TABLE T (ID INT PRIMARY KEY, N TEXT)", "ID P, N"},
        {"CREATE TABLE T (ID INTEGER, N INTEGER, PRIMARY KEY (ID, N))", "ID P, N P"},
        {"CREATE TABLE T (ID TEXT PRIMARY KEY, N INTEGER)", "ID P, N"},
        {"CREATE TABLE T (ID INTEGER PRIMARY KEY, N TEXT) WITHOUT ROWID", "ID P, N"},
        {"CREATE TABLE T (ID INTEGER, N TEXT)", "ID, N"},
    };
    std::unique_ptr<DataConnection> c =
        access_.open("Driver=SQLite3;NoCreat=0;Database=" + test::odbcFolder() + "/rowid.db", "", "");
    for (const Case& k : cases) {
        c->execute("DROP TABLE IF EXISTS T");
        c->execute(k.create);
        FieldGrid grid;
        loadFieldRows(*c, {"T"}, grid, FieldLoadOptions{true});
        std::string marks;
        for (const FieldRow& r : grid.rows())
            marks += (marks.empty() ? "" : ", ") + r.field + (r.primary ? " P" : "") + (r.autoNumber ? " A" : "");
        EXPECT_EQ(marks, k.marks) << k.create;
    }
}

TEST_F(Sqlite, TheBrokenSqliteDriverEntryIsNamed) {
    for (const std::string& cs : {std::string("rw_broken"), "Driver=SQLite;Database=" + test::odbcFolder() + "/orders.db"}) {
        try {
            access_.open(cs, "", "");
            FAIL() << cs;
        } catch (const db::OdbcError& e) {
            for (const char* part : {"The ODBC driver \"SQLite\" cannot be loaded: ", "libsqliteodbc.so",
                                     "The driver registered as \"SQLite3\" may be the one meant"})
                EXPECT_NE(e.description.find(part), std::string::npos) << e.description;
        }
    }
}

// The data sources are the private ini file's; the builder's ODBC string
// tests and opens through its data source, and so does a data source chosen
// in the page's dialog, without asking for a login.
TEST_F(Sqlite, TheDataSourcesOpenFromTheBuilderAndTheDialog) {
    std::vector<std::string> names;
    for (const DataSourceInfo& d : listDataSources(access_)) names.push_back(d.name + "=" + d.description);
    EXPECT_EQ(names, (std::vector<std::string>{"rw_sqlite=SQLite3", "rw_pg=PostgreSQL Unicode",
                                               "rw_mariadb=MariaDB Unicode", "rw_broken=SQLite"}));
    ScriptedUi ui;
    OleDbBuilder b;
    b.getDSNsAndProviders(access_, ui);
    EXPECT_EQ(b.cboDSNList, test::privateDataSources());
    b.chooseProvider("Microsoft OLE DB Provider for ODBC Drivers");
    b.selectDataSource(0);
    b.test(access_, ui);
    ASSERT_TRUE(b.ok(ui));
    const std::string built = "PROVIDER=MSDASQL;Data Source=rw_sqlite;User ID=;Password=;";
    EXPECT_EQ(b.result(), built);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Test successful!");

    // The page keeps the OLE DB string; opening goes through ODBC.
    ConnectionPage page;
    page.chooseDSNLess();
    page.buildConnectionString(ui, [&] { return b.result(); });
    ASSERT_TRUE(page.next(access_, ui, nullptr));
    EXPECT_EQ(page.values().txtConnString, built);
    EXPECT_EQ(page.moConn->property("Data Source Name"), "rw_sqlite");
    TablePage tables;
    EXPECT_EQ(tables.display(ui, *page.moConn), TablePage::Shown::Yes);
    EXPECT_EQ(tables.lstYes.size(), 9u);

    ConnectionPage chosen;
    ui.dataSourceAnswers = {"DSN=rw_sqlite;UID=ann;PWD=secret;"};
    chosen.chooseDataSource(access_, ui);
    EXPECT_EQ(ui.dataSourcePrompts, std::vector<std::vector<std::string>>{test::privateDataSources()});
    EXPECT_EQ(chosen.txtDSN + " " + chosen.msUserName + " " + chosen.msPassword, "rw_sqlite ann secret");
    ASSERT_TRUE(chosen.next(access_, ui, [](const std::string&, std::string&, std::string&) -> bool {
        ADD_FAILURE() << "the login dialog was shown";
        return false;
    }));
    EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
}  // namespace rw
