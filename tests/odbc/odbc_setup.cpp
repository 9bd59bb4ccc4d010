#include "odbc/odbc_setup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "platform/db/odbc.h"

namespace rw::test {

namespace {

namespace fs = std::filesystem;

// The statements of the schema file of that name beside this one (comment lines left out, each statement ended by
// a semicolon).
std::vector<std::string> schema(const std::string& name) {
    std::ifstream in(std::string(RW_ODBC_SCHEMA_DIR) + "/schema_" + name + ".sql");
    if (!in) throw std::runtime_error("cannot read the " + name + " schema");
    std::string text;
    for (std::string line; std::getline(in, line);) text += line.rfind("--", 0) == 0 ? "" : line + "\n";
    std::vector<std::string> statements;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts >> std::ws, part, ';');) statements.push_back(part);
    return statements;
}

void runAll(const std::string& connect, const std::vector<std::string>& statements) {
    std::unique_ptr<DataConnection> c = db::OdbcDataAccess().open(connect, "", "");
    for (const std::string& s : statements) c->execute(s);
    c->close();
}

std::map<std::string, Backend> backends;
std::string folder;

class OdbcEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        char templ[] = "/tmp/rw-odbc-XXXXXX";
        if (::mkdtemp(templ) == nullptr) throw std::runtime_error("mkdtemp failed");
        const fs::path dir = folder = templ;
        const auto env = [](const char* name) { return std::string(std::getenv(name) ? std::getenv(name) : ""); };
        // unixODBC takes the driver list from ODBCSYSINI and the data sources from ODBCINI; both are read when a
        // connection is made, so they are set before the first one. DontDLClose keeps each driver loaded for the
        // whole run instead of loading it for every connection.
        ::setenv("ODBCSYSINI", dir.c_str(), 1);
        ::setenv("ODBCINI", (dir / "odbc.ini").c_str(), 1);
        std::ofstream(dir / "odbcinst.ini") << "[SQLite3]\nDriver=" << RW_ODBC_SQLITE3
                                            << "\nDontDLClose=1\n\n[SQLite]\nDriver=libsqliteodbc.so\n\n"
                                               "[PostgreSQL Unicode]\nDriver=" << RW_ODBC_PSQL
                                            << "\nDontDLClose=1\n\n[MariaDB Unicode]\nDriver=" << RW_ODBC_MARIADB
                                            << "\nDontDLClose=1\n";
        const std::string user = env("RW_DB_USER"), password = env("RW_DB_PASSWORD");
        const std::string pgPort = env("RW_PG_PORT"), myPort = env("RW_MARIADB_PORT");
        const std::string database = "rwtest_" + std::to_string(::getpid()), sqliteFile = dir / "orders.db";
        std::ofstream(dir / "odbc.ini") << "[rw_sqlite]\nDriver=SQLite3\nDatabase=" << sqliteFile
                                        << "\n\n[rw_pg]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" << pgPort
                                        << "\nDatabase=" << database << "\n\n[rw_mariadb]\nDriver=MariaDB Unicode\n"
                                        << "Server=127.0.0.1\nPort=" << myPort << "\nDatabase=" << database
                                        << "\n\n[rw_broken]\nDriver=SQLite\nDatabase=" << sqliteFile << "\n";

        const auto setUp = [](Backend& b, const auto& make) {
            try { make(); } catch (const std::exception& e) { b.failure = b.name + " could not be set up: " + e.what(); }
        };
        setUp(backends["SQLite"] = {"SQLite", "rw_sqlite", "", "", true, ""}, [&] {
            fs::copy_file(RW_SAMPLE_DB, sqliteFile, fs::copy_options::overwrite_existing);
            runAll("DSN=rw_sqlite;", schema("SQLite"));
        });
        const std::string login = ";UID=" + user + ";PWD=" + password + ";";
        const std::array<std::string, 5> servers[] = {  // name, data source, port, admin connection, drop
            {"PostgreSQL", "rw_pg", pgPort, "Driver=PostgreSQL Unicode;Servername=127.0.0.1;Database=postgres;Port=" +
             pgPort + login, "DROP DATABASE IF EXISTS " + database + " WITH (FORCE)"},
            {"MariaDB", "rw_mariadb", myPort, "Driver=MariaDB Unicode;Server=127.0.0.1;Port=" + myPort + login,
             "DROP DATABASE IF EXISTS " + database}};
        for (const auto& [name, dsn, port, admin, drop] : servers) {
            Backend& b = backends[name] = {name, dsn, user, password, !port.empty(), ""};
            if (b.requested) setUp(b, [&] {
                runAll(admin, {"CREATE DATABASE " + database});
                drops_.emplace_back(admin, drop);
                runAll(b.connectString(), schema(name));
            });
        }
    }

    void TearDown() override {
        for (const auto& [admin, drop] : drops_) try { runAll(admin, {drop}); } catch (const std::exception&) {}
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

private:
    std::vector<std::pair<std::string, std::string>> drops_;  // an admin connection, the drop of a database made
};

[[maybe_unused]] ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OdbcEnvironment);

}  // namespace

const Backend& backend(const std::string& name) { return backends.at(name); }
const std::string& odbcFolder() { return folder; }

}  // namespace rw::test
