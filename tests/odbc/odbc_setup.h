#pragma once
// The throwaway databases the integration tests read, behind data sources of private ini files in a temporary
// folder (ODBCSYSINI, ODBCINI): rw_sqlite (a copy of the sample database), rw_pg and rw_mariadb (new databases on the
// servers at RW_PG_PORT and RW_MARIADB_PORT, made with the login RW_DB_USER, RW_DB_PASSWORD), and rw_broken
// (Debian's "SQLite" driver entry, whose library does not exist).
#include <string>

namespace rw::test {

struct Backend {
    std::string name, dsn, user, password;  // name: "SQLite", "PostgreSQL", "MariaDB"
    bool requested = false;                 // the environment asked for this server
    std::string failure;                    // why it cannot be used, when requested
    std::string connectString() const { return "DSN=" + dsn + ";UID=" + user + ";PWD=" + password + ";"; }
};

// The backend of that name: its tests skip when it was not requested and fail when it was but could not be set up.
const Backend& backend(const std::string& name);

// The folder of the private ini files and the SQLite databases.
const std::string& odbcFolder();

}  // namespace rw::test
