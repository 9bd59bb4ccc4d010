#pragma once
// The database operations the wizard takes from its data-access library, in
// the shape that library gives them: a connection that answers provider
// properties, schema rowsets (tables, columns, primary keys) and recordsets
// on query text, each walked with eof()/moveNext() and read by field name or
// index; and the driver manager's list of data sources.
//
// Everything here is plain C++. platform/db implements it over ODBC; tests
// implement it with rowsets held in memory.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/connection.h"

namespace rw {

// Schema kinds of OpenSchema.
enum SchemaKind : int {
    kSchemaColumns = 4,
    kSchemaTables = 20,
    kSchemaPrimaryKeys = 28,
};

// ADO DataTypeEnum codes the data layer reports.
enum AdoType : std::int16_t {
    kAdSmallInt = 2,
    kAdInteger = 3,
    kAdSingle = 4,
    kAdDouble = 5,
    kAdCurrency = 6,
    kAdDate = 7,
    kAdBSTR = 8,
    kAdBoolean = 11,
    kAdTinyInt = 16,
    kAdUnsignedTinyInt = 17,
    kAdBigInt = 20,
    kAdGuid = 72,
    kAdBinary = 128,
    kAdChar = 129,
    kAdWChar = 130,
    kAdNumeric = 131,
    kAdDBDate = 133,
    kAdDBTime = 134,
    kAdDBTimeStamp = 135,
};

// ODBC return codes, as the driver manager's list of data sources gives them.
enum OdbcReturn : int {
    kSqlSuccess = 0,
    kSqlSuccessWithInfo = 1,
    kSqlNoData = 100,
    kSqlError = -1,
};

// A field value: Null, a whole number, a text or a Boolean.
class Variant {
public:
    enum class Kind { Null, Integer, Text, Boolean };

    Variant() = default;  // Null
    Variant(long long n) : kind_(Kind::Integer), integer_(n) {}
    Variant(int n) : kind_(Kind::Integer), integer_(n) {}
    Variant(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}
    Variant(const char* text) : kind_(Kind::Text), text_(text) {}
    static Variant boolean(bool b);
    static Variant fromOptional(const std::optional<std::string>& text);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }

    // The value as a number: a whole number, a Boolean (-1 True, 0 False)
    // or a text that holds a whole number. Null raises 94 "Invalid use of
    // Null", anything else 13 "Type mismatch".
    long long toInteger() const;
    // The value as a 16-bit integer; out of range raises 6 "Overflow".
    std::int16_t toInt16() const;
    // The value as text, as concatenation gives it: Null gives "", Booleans
    // the words True and False.
    std::string toText() const;
    // The value as a Boolean: a Boolean, a number (non-zero is True), or the
    // texts "True"/"False" (any case). Null raises 94, anything else 13.
    bool toBoolean() const;

    friend bool operator==(const Variant& a, const Variant& b) = default;

private:
    Kind kind_ = Kind::Null;
    long long integer_ = 0;
    std::string text_;
};

// A forward-only rowset or recordset. Reading a value at the end raises
// 3021; an unknown field name or index raises 3265.
class Recordset {
public:
    virtual ~Recordset() = default;
    virtual bool eof() const = 0;
    virtual void moveNext() = 0;
    virtual int fieldCount() const = 0;
    virtual std::string fieldName(int index) const = 0;
    virtual const Variant& value(int index) const = 0;
    // The value of the field with this name; names compare without regard
    // to case, as field names in the data-access library do.
    const Variant& value(const std::string& name) const;
    // Whether the database fills this column by itself on insert.
    virtual bool isAutoIncrement(int index) const { (void)index; return false; }
    virtual void close() {}

    // The index of the named field, or -1.
    virtual int fieldIndex(const std::string& name) const;
};

// A recordset held in memory.
class MemoryRecordset final : public Recordset {
public:
    MemoryRecordset() = default;
    MemoryRecordset(std::vector<std::string> fields, std::vector<std::vector<Variant>> rows,
                    std::vector<bool> autoIncrement = {});

    bool eof() const override { return position_ >= rows_.size(); }
    void moveNext() override;
    int fieldCount() const override { return static_cast<int>(fields_.size()); }
    std::string fieldName(int index) const override;
    const Variant& value(int index) const override;
    bool isAutoIncrement(int index) const override;
    // Compares the names in place: a load looks fields up by name for every
    // row of a large catalogue.
    int fieldIndex(const std::string& name) const override;

    void addRow(std::vector<Variant> row) { rows_.push_back(std::move(row)); }
    std::size_t rowCount() const { return rows_.size(); }

private:
    void checkIndex(int index) const;

    std::vector<std::string> fields_;
    std::vector<std::vector<Variant>> rows_;
    std::vector<bool> autoIncrement_;
    std::size_t position_ = 0;
};

// Raised when a record is read at the end of a rowset.
[[noreturn]] void throwNoCurrentRecord();
// Raised when a field name or index does not exist.
[[noreturn]] void throwNoSuchField();

// The schema column names of the three rowsets, in their order.
// Tables: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE, DESCRIPTION.
// Columns: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION,
//   IS_NULLABLE, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, NUMERIC_PRECISION, NUMERIC_SCALE.
// Primary keys: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL, PK_NAME.
const std::vector<std::string>& schemaFields(SchemaKind kind);

// The columns of one table that key detection marks: its primary key, in
// key order, and the columns the database fills by itself on insert.
struct KeyColumns {
    std::vector<std::string> primary;
    std::vector<std::string> autoNumber;

    friend bool operator==(const KeyColumns& a, const KeyColumns& b) = default;
};

// An open database connection.
class DataConnection : public Connection {
public:
    // A schema rowset. `restrictions` are (catalog, schema, table[, column]);
    // an absent value does not restrict. Table names are taken literally.
    virtual std::unique_ptr<Recordset> openSchema(SchemaKind kind,
                                                  const std::vector<std::optional<std::string>>& restrictions) = 0;
    // A hint that the columns of these tables will be asked for next, one
    // table at a time; a connection may read them all at once.
    virtual void prepareColumns(const std::vector<std::string>& tables) { (void)tables; }
    // The key columns of these tables, read in one pass over the catalogue
    // where the connection knows its product's catalogue, by table name as
    // the catalogue spells it. A table the result leaves out (every table,
    // when the product is not known or the pass fails) is for the caller to
    // read one table at a time.
    virtual std::map<std::string, KeyColumns> readKeys(const std::vector<std::string>& tables) {
        (void)tables;
        return {};
    }
    // The rows of a query, read to the end.
    virtual std::unique_ptr<Recordset> openRecordset(const std::string& text) = 0;
    // The fields a query would return (names, auto-increment flags),
    // without its rows; the query need not run.
    virtual std::unique_ptr<Recordset> describeQuery(const std::string& text) { return openRecordset(text); }
    // Runs a statement; returns the number of rows it changed (or -1).
    virtual long long execute(const std::string& text) = 0;
    // The connection string as the connection completed it.
    virtual std::string connectionString() const = 0;
    // How the database quotes a name in SQL text (empty: names are not quoted).
    virtual std::string identifierQuote() const { return "\""; }
    virtual void close() = 0;
};

// A data source as the driver manager lists it.
struct DataSourceInfo {
    std::string name;
    std::string description;
};

// A driver as the driver manager lists it: its name and its attributes
// ("Driver=libsqlite3odbc.so", "Setup=...").
struct DriverInfo {
    std::string name;
    std::vector<std::string> attributes;
};

// The driver manager: opens connections and lists data sources and drivers.
class DataAccess {
public:
    virtual ~DataAccess() = default;
    // Opens a connection the way the data-access library's Open does: a
    // text without "=" is a data source name; a text with PROVIDER= is an
    // OLE DB string, opened through its ODBC equivalent; any other text is
    // an ODBC connection string. `user` and `password` are added when not
    // empty.
    virtual std::unique_ptr<DataConnection> open(const std::string& connectionString, const std::string& user,
                                                 const std::string& password) = 0;

    // SQLAllocEnv: false when no environment can be had.
    virtual bool allocEnv() = 0;
    // SQLDataSources with the direction "next" (the first call gives the
    // first entry): returns the ODBC return code and fills name and
    // description when an entry was returned.
    virtual int nextDataSource(std::string& name, std::string& description) = 0;

    // The registered drivers (SQLDrivers), in the driver manager's order.
    virtual std::vector<DriverInfo> listDrivers() { return {}; }
};

// Every data source, as the driver manager lists them, in its order
// (entries with blank names left out).
std::vector<DataSourceInfo> listDataSources(DataAccess& access);

}  // namespace rw
