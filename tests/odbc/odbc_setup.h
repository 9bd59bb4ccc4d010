#pragma once
// The databases the integration tests read, each a throwaway one behind a
// data source of private ini files (ODBCSYSINI and ODBCINI point at a
// temporary folder, so nothing of the machine's ODBC set-up is used):
//   rw_sqlite    a copy of the sample database (examples/orders.sql)
//   rw_pg        a new database on the PostgreSQL server at RW_PG_PORT
//   rw_mariadb   a new database on the MariaDB server at RW_MARIADB_PORT
//   rw_broken    a data source of Debian's "SQLite" driver entry, whose
//                library does not exist
// RW_DB_USER and RW_DB_PASSWORD give a login that may create databases.
#include <string>

namespace rw::test {

struct Backend {
    std::string name;  // "SQLite", "PostgreSQL", "MariaDB"
    std::string dsn, user, password;
    bool requested = false;  // the environment asked for this server
    std::string failure;     // why it cannot be used, when requested

    std::string connectString() const;  // "DSN=..;UID=..;PWD=.."
};

// The backend of that name: its tests skip when it was not requested and
// fail when it was but could not be set up.
const Backend& backend(const std::string& name);

// The folder of the private ini files and the SQLite databases.
const std::string& odbcFolder();

}  // namespace rw::test
