#pragma once
// The data-access operations over unixODBC: connections opened from a data
// source name or a connection string, provider properties from SQLGetInfo,
// schema rowsets from the catalogue functions, recordsets from
// SQLExecDirect, and the driver manager's list of data sources.
//
// What the catalogue functions report differs between drivers; the rowsets
// this layer hands out do not:
// - catalogue results are read by position, so the result column names of
//   an ODBC 2 or ODBC 3 environment (TABLE_QUALIFIER or TABLE_CAT, ...) do
//   not matter, and the rowsets carry the data-access library's own schema
//   column names (TABLE_NAME, DATA_TYPE, NUMERIC_PRECISION, IS_NULLABLE, ...);
// - table names are search patterns in SQLTables and SQLColumns, so "_" and
//   "%" are escaped with the driver's escape character;
// - ODBC type codes become the data-access library's codes (odbcToAdoType);
//   the SQLite driver's shifted precision and scale are read from its type
//   name, and PostgreSQL's "bool" (reported as text) is a Boolean;
// - IS_NULLABLE comes from NULLABLE, which every driver fills;
// - the table catalogue holds the current database's tables only, and a
//   database's own internal tables (sqlite_sequence, information_schema,
//   performance_schema, mysql, sys, pg_catalog) are labelled SYSTEM TABLE.
// - key columns of many tables (readKeys) come from one query on the
//   product's own catalogue for SQLite, PostgreSQL and MariaDB/MySQL.
// Every ODBC failure is thrown as OdbcError, a RuntimeError whose
// description is the driver's first diagnostic message and its SQLSTATE.
#include <memory>
#include <string>

#include "platform/connection_strings.h"
#include "platform/data_access.h"
#include "platform/runtime_error.h"

namespace rw::db {

struct OdbcEnvironment;

// The number data-access errors raised by a provider carry.
inline constexpr long kProviderErrorNumber = -2147467259;

struct OdbcError : RuntimeError {
    std::string sqlState;
    long nativeError;
    OdbcError(std::string function, std::string state, long native, const std::string& message);
};

struct OdbcOptions {
    // Allocate the environment ODBC 3 style (SQLAllocHandle with
    // SQL_OV_ODBC3) rather than with SQLAllocEnv, which gives ODBC 2
    // behaviour.
    bool odbc3 = false;
    OleDbDrivers drivers;
    // Seconds a login may take.
    long loginTimeout = 15;
    // From this many tables on, the columns of a whole load are read with
    // one catalogue call (0: never).
    std::size_t prefetchColumnsFrom = 20;
    // Read the key columns of a load with one query on the product's
    // catalogue where the product is known (false: each table by itself).
    bool keysInOnePass = true;
};

// The OLE DB stand-in drivers, with the user's RW_ODBC_DRIVER_SQLOLEDB,
// RW_ODBC_DRIVER_MSDAORA and RW_ODBC_DRIVER_JET where set; without
// RW_ODBC_DRIVER_MSDAORA, the first registered driver whose name holds
// "Oracle".
OleDbDrivers oleDbDriversFromEnvironment();

// ODBC SQL type code -> data-access library type code. `unsignedTinyInt`
// decides SQL_TINYINT. Codes of ODBC 2 (9, 10, 11) and ODBC 3 (91, 92, 93)
// are both known; an unknown code gives 129 (text), so that values of it are
// quoted in generated SQL.
std::int16_t odbcToAdoType(int odbcType, bool unsignedTinyInt);

// Precision and scale written in a type name, as "NUMERIC(10,2)" or
// "DECIMAL(8)"; false when the name holds none.
bool precisionFromTypeName(const std::string& typeName, long long& precision, long long& scale);

class OdbcDataAccess final : public DataAccess {
public:
    explicit OdbcDataAccess(OdbcOptions options = {});
    ~OdbcDataAccess() override;
    OdbcDataAccess(const OdbcDataAccess&) = delete;
    OdbcDataAccess& operator=(const OdbcDataAccess&) = delete;

    std::unique_ptr<DataConnection> open(const std::string& connectionString, const std::string& user,
                                         const std::string& password) override;
    bool allocEnv() override;
    int nextDataSource(std::string& name, std::string& description) override;

    // The ODBC connection string that open() hands to the driver manager
    // (before user and password are added).
    std::string odbcString(const std::string& connectionString) const;

    std::vector<DriverInfo> listDrivers() override;
    // The names of the registered drivers.
    std::vector<std::string> drivers();

private:
    std::string driverOfDataSource(const std::string& dsn);
    OdbcOptions options_;
    std::shared_ptr<OdbcEnvironment> env_;      // shared with every open connection
    std::shared_ptr<OdbcEnvironment> listing_;  // the environment of the data source list
};

}  // namespace rw::db
