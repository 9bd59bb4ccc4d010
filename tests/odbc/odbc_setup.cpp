#include "odbc/odbc_setup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "platform/db/odbc.h"

namespace rw::test {

namespace {

namespace fs = std::filesystem;

// The order-processing schema of the sample database, in PostgreSQL's
// dialect: unquoted names (which PostgreSQL keeps in lower case) except the
// ones with a space and the pattern cases.
const std::vector<std::string> kPostgresSchema{
    "CREATE TABLE customers (customerid CHAR(5) NOT NULL PRIMARY KEY, companyname VARCHAR(40) NOT NULL, "
    "contactname VARCHAR(30), creditlimit NUMERIC(10,2), isactive BOOLEAN NOT NULL DEFAULT TRUE, "
    "customersince TIMESTAMP, notes TEXT, firstorder DATE, callafter TIME)",
    "CREATE TABLE products (productid SERIAL PRIMARY KEY, productname VARCHAR(40) NOT NULL, "
    "unitprice NUMERIC(10,2) NOT NULL, unitsinstock SMALLINT, reorderlevel NUMERIC(4,0), weight REAL, "
    "barcode BIGINT, discontinued BOOLEAN NOT NULL, photo BYTEA, code UUID)",
    "CREATE TABLE orders (orderid SERIAL PRIMARY KEY, customerid CHAR(5) NOT NULL REFERENCES customers, "
    "orderdate TIMESTAMP NOT NULL, freight DOUBLE PRECISION, \"Ship Name\" VARCHAR(40))",
    "CREATE TABLE \"Order Details\" (orderid INTEGER NOT NULL, productid INTEGER NOT NULL, "
    "unitprice NUMERIC(10,2) NOT NULL, quantity SMALLINT NOT NULL, PRIMARY KEY (orderid, productid))",
    "CREATE TABLE \"Order_Details\" (a INTEGER)",
    "CREATE TABLE \"USERS\" (x INTEGER)",
    "CREATE TABLE \"USER_\" (y INTEGER)",
    "CREATE VIEW order_totals AS SELECT orderid, SUM(unitprice * quantity) AS total FROM \"Order Details\" "
    "GROUP BY orderid",
};

const std::vector<std::string> kMariaDbSchema{
    "CREATE TABLE Customers (CustomerID CHAR(5) NOT NULL PRIMARY KEY, CompanyName VARCHAR(40) NOT NULL, "
    "ContactName VARCHAR(30), CreditLimit NUMERIC(10,2), IsActive BOOLEAN NOT NULL DEFAULT 1, "
    "CustomerSince DATETIME, Notes TEXT, FirstOrder DATE, CallAfter TIME)",
    "CREATE TABLE Products (ProductID INTEGER AUTO_INCREMENT PRIMARY KEY, ProductName VARCHAR(40) NOT NULL, "
    "UnitPrice NUMERIC(10,2) NOT NULL, UnitsInStock SMALLINT, ReorderLevel TINYINT UNSIGNED, Weight FLOAT, "
    "Barcode BIGINT, Discontinued BIT(1) NOT NULL, Photo BLOB)",
    "CREATE TABLE Orders (OrderID INTEGER AUTO_INCREMENT PRIMARY KEY, CustomerID CHAR(5) NOT NULL, "
    "OrderDate DATETIME NOT NULL, Freight DOUBLE, `Ship Name` VARCHAR(40), "
    "FOREIGN KEY (CustomerID) REFERENCES Customers (CustomerID))",
    "CREATE TABLE `Order Details` (OrderID INTEGER NOT NULL, ProductID INTEGER NOT NULL, "
    "UnitPrice NUMERIC(10,2) NOT NULL, Quantity SMALLINT NOT NULL, PRIMARY KEY (OrderID, ProductID))",
    "CREATE TABLE Order_Details (A INTEGER)",
    "CREATE TABLE USERS (X INTEGER)",
    "CREATE TABLE USER_ (Y INTEGER)",
    "CREATE VIEW OrderTotals AS SELECT OrderID, SUM(UnitPrice * Quantity) AS Total FROM `Order Details` "
    "GROUP BY OrderID",
};

// Tables beside the sample database's own, for the pattern cases, and the
// date and time columns the other products' Customers have.
const std::vector<std::string> kSqliteExtras{
    "ALTER TABLE Customers ADD COLUMN FirstOrder DATE",
    "ALTER TABLE Customers ADD COLUMN CallAfter TIME",
    "CREATE TABLE \"Order_Details\" (A INTEGER)",
    "CREATE TABLE USERS (X INTEGER)",
    "CREATE TABLE USER_ (Y INTEGER)",
};

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

class OdbcEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        char templ[] = "/tmp/rw-odbc-XXXXXX";
        if (::mkdtemp(templ) == nullptr) throw std::runtime_error("mkdtemp failed");
        folder() = templ;
        const fs::path dir = folder();
        // unixODBC takes the driver list from ODBCSYSINI and the data
        // sources from ODBCINI; both are read when a connection is made, so
        // they are set before the first one.
        ::setenv("ODBCSYSINI", dir.c_str(), 1);
        ::setenv("ODBCINI", (dir / "odbc.ini").c_str(), 1);
        // DontDLClose keeps each driver loaded for the whole run instead of
        // loading it again for every connection.
        writeFile(dir / "odbcinst.ini", std::string("[SQLite3]\nDriver=") + RW_ODBC_SQLITE3 +
                                            "\nDontDLClose=1\n\n[SQLite]\nDriver=libsqliteodbc.so\n\n"
                                            "[PostgreSQL Unicode]\nDriver=" + RW_ODBC_PSQL +
                                            "\nDontDLClose=1\n\n[MariaDB Unicode]\nDriver=" + RW_ODBC_MARIADB +
                                            "\nDontDLClose=1\n");

        const std::string user = env("RW_DB_USER"), password = env("RW_DB_PASSWORD");
        const std::string pgPort = env("RW_PG_PORT"), myPort = env("RW_MARIADB_PORT");
        database_ = "rwtest_" + std::to_string(::getpid());
        const fs::path sqliteFile = dir / "orders.db";

        std::string ini;
        ini += "[rw_sqlite]\nDriver=SQLite3\nDatabase=" + sqliteFile.string() + "\n\n";
        ini += "[rw_pg]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" + pgPort + "\nDatabase=" +
               database_ + "\n\n";
        ini += "[rw_mariadb]\nDriver=MariaDB Unicode\nServer=127.0.0.1\nPort=" + myPort + "\nDatabase=" + database_ +
               "\n\n";
        ini += "[rw_broken]\nDriver=SQLite\nDatabase=" + sqliteFile.string() + "\n";
        writeFile(dir / "odbc.ini", ini);

        Backend& lite = backends()["SQLite"];
        lite = {"SQLite", "rw_sqlite", "", "", true, ""};
        setUp(lite, [&] {
            fs::copy_file(RW_SAMPLE_DB, sqliteFile, fs::copy_options::overwrite_existing);
            runAll("DSN=rw_sqlite;", kSqliteExtras);
        });

        Backend& pg = backends()["PostgreSQL"];
        pg = {"PostgreSQL", "rw_pg", user, password, !pgPort.empty(), ""};
        pgAdmin_ = "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Port=" + pgPort + ";Database=postgres;UID=" +
                   user + ";PWD=" + password + ";";
        if (pg.requested) setUp(pg, [&] {
            runAll(pgAdmin_, {"CREATE DATABASE " + database_});
            createdPg_ = true;
            runAll(pg.connectString(), kPostgresSchema);
        });

        Backend& my = backends()["MariaDB"];
        my = {"MariaDB", "rw_mariadb", user, password, !myPort.empty(), ""};
        myAdmin_ = "Driver=MariaDB Unicode;Server=127.0.0.1;Port=" + myPort + ";UID=" + user + ";PWD=" + password + ";";
        if (my.requested) setUp(my, [&] {
            runAll(myAdmin_, {"CREATE DATABASE " + database_});
            createdMy_ = true;
            runAll(my.connectString(), kMariaDbSchema);
        });
    }

    void TearDown() override {
        if (createdPg_) quietly(pgAdmin_, "DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
        if (createdMy_) quietly(myAdmin_, "DROP DATABASE IF EXISTS " + database_);
        std::error_code ignored;
        fs::remove_all(folder(), ignored);
    }

    static std::string& folder() {
        static std::string f;
        return f;
    }
    static std::map<std::string, Backend>& backends() {
        static std::map<std::string, Backend> b;
        return b;
    }

private:
    template <class F>
    static void setUp(Backend& b, F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            b.failure = b.name + " could not be set up: " + e.what();
        }
    }

    static void runAll(const std::string& connect, const std::vector<std::string>& statements) {
        db::OdbcDataAccess access;
        std::unique_ptr<DataConnection> c = access.open(connect, "", "");
        for (const std::string& s : statements) c->execute(s);
        c->close();
    }

    static void quietly(const std::string& connect, const std::string& statement) {
        try {
            runAll(connect, {statement});
        } catch (const std::exception&) {
        }
    }

    std::string database_, pgAdmin_, myAdmin_;
    bool createdPg_ = false, createdMy_ = false;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new OdbcEnvironment);

}  // namespace

std::string Backend::connectString() const {
    return "DSN=" + dsn + ";UID=" + user + ";PWD=" + password + ";";
}

const Backend& backend(const std::string& name) { return OdbcEnvironment::backends().at(name); }

const std::string& odbcFolder() { return OdbcEnvironment::folder(); }

std::vector<std::string> privateDataSources() { return {"rw_sqlite", "rw_pg", "rw_mariadb", "rw_broken"}; }

}  // namespace rw::test
