#pragma once
// Connection strings: reading "key=value;" pairs, and turning the OLE DB
// strings the connection builder makes into ODBC strings that can be opened
// here. The OLE DB string itself is what the user sees and what the
// generated connection class embeds; only opening it goes through ODBC.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rw {

// The "key=value" pairs of a connection string, in order. Keys keep their
// spelling; a value in braces ("{a;b}") may hold ";" and "}}" stands for "}".
// Pieces without "=" are kept with an empty value.
std::vector<std::pair<std::string, std::string>> parseConnectionString(const std::string& text);

// The value of the first pair whose key matches `key` without regard to case.
std::optional<std::string> connectionStringValue(const std::string& text, const std::string& key);

// The string with every "PWD=" and "Password=" piece (any case, a braced
// value included) left out, the rest as it was written.
std::string withoutPassword(const std::string& text);

// A value as an ODBC connection string holds it: in braces when it has a
// ";", a brace, or spaces at either end.
std::string odbcValue(const std::string& value);

// An ODBC string that names its driver: "DRIVER={name};" and then
// "KEY=value;" for each value that is not empty, in the order given, each
// value as odbcValue writes it.
std::string driverConnectionString(const std::string& driver,
                                   const std::vector<std::pair<std::string, std::string>>& values);

// The ODBC drivers that stand in for the OLE DB providers. Each can be
// changed by the user (the command-line tool reads RW_ODBC_DRIVER_SQLOLEDB,
// RW_ODBC_DRIVER_MSDAORA and RW_ODBC_DRIVER_JET).
struct OleDbDrivers {
    std::string sqlServer = "FreeTDS";  // SQLOLEDB: FreeTDS (Debian's tdsodbc)
    std::string oracle = "Oracle";      // MSDAORA: the registered Oracle driver
    std::string jet = "MDBTools";       // Microsoft.Jet.OLEDB.*: MDB Tools (odbc-mdbtools)
};

// The ODBC string that opens what an OLE DB string describes:
//   PROVIDER=MSDASQL                    DSN=<Data Source>;UID=<User ID>;PWD=<Password>
//   PROVIDER=SQLOLEDB                   DRIVER={<sqlServer>};SERVER=<Data Source>;DATABASE=<Initial Catalog>;UID;PWD
//   PROVIDER=MSDAORA                    DRIVER={<oracle>};DBQ=<Data Source>;UID;PWD
//   PROVIDER=Microsoft.Jet.OLEDB.3.51   DRIVER={<jet>};DBQ=<Data Source>;UID;PWD
//   PROVIDER=Microsoft.Jet.OLEDB.4.0    the same
// Other keys pass through unchanged. A text without a PROVIDER key is
// returned as it is. An unknown provider gives std::nullopt.
std::optional<std::string> oleDbToOdbc(const std::string& text, const OleDbDrivers& drivers);

// The provider named by a PROVIDER key, or empty.
std::string oleDbProvider(const std::string& text);

}  // namespace rw
