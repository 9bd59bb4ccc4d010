#include "platform/db/odbc.h"

#ifdef _WIN32
// Windows' ODBC headers use the Windows types without including them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace rw::db {

namespace {

using Text = std::optional<std::string>;
using TextRow = std::vector<Text>;

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool containsIgnoringCase(const std::string& text, const std::string& part) {
    return upper(text).find(upper(part)) != std::string::npos;
}

// The first diagnostic record of a handle. Only the first is read: some
// drivers misbehave when asked for more.
OdbcError diagnostic(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& function, SQLRETURN rc) {
    SQLCHAR state[6] = {0};
    SQLINTEGER native = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {0};
    SQLSMALLINT length = 0;
    const SQLRETURN d =
        handle == SQL_NULL_HANDLE
            ? SQL_ERROR
            : SQLGetDiagRec(handleType, handle, 1, state, &native, message, sizeof message, &length);
    if (!SQL_SUCCEEDED(d))
        return OdbcError(function, "HY000", 0,
                         function + " failed with return code " + std::to_string(rc) + " and no diagnostic record");
    return OdbcError(function, reinterpret_cast<char*>(state), native, reinterpret_cast<char*>(message));
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* function) {
    if (!SQL_SUCCEEDED(rc)) throw diagnostic(handleType, handle, function, rc);
}

SQLCHAR* chars(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

// A statement handle, freed on every way out.
class Statement {
public:
    explicit Statement(SQLHDBC dbc) {
        db::check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h_), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
    }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, h_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT get() const { return h_; }
    void check(SQLRETURN rc, const char* function) const { db::check(rc, SQL_HANDLE_STMT, h_, function); }

    SQLSMALLINT columnCount() const {
        SQLSMALLINT n = 0;
        check(SQLNumResultCols(h_, &n), "SQLNumResultCols");
        return n;
    }

    // The next row, read as text; false at the end. With `wanted`, only
    // the columns it marks are read (the others stay absent).
    bool fetch(TextRow& row, SQLSMALLINT columns, const std::vector<bool>* wanted = nullptr) const {
        const SQLRETURN rc = SQLFetch(h_);
        if (rc == SQL_NO_DATA) return false;
        check(rc, "SQLFetch");
        row.assign(static_cast<std::size_t>(columns), std::nullopt);
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            const auto i = static_cast<std::size_t>(c - 1);
            if (wanted == nullptr || (i < wanted->size() && (*wanted)[i])) row[i] = text(c);
        }
        return true;
    }

    std::vector<TextRow> fetchAll(const std::vector<bool>* wanted = nullptr) const {
        const SQLSMALLINT columns = columnCount();
        std::vector<TextRow> rows;
        TextRow row;
        while (fetch(row, columns, wanted)) rows.push_back(std::move(row));
        return rows;
    }

    // A bound value did not fit its buffer.
    struct Truncated {};

    // Binds the columns `wanted` marks (all without it) to buffers, so that
    // each row costs one call into the driver manager rather than one per
    // value. fetchBound then fills `row` like fetch; a value longer than a
    // buffer throws Truncated, and the caller reads the rows with fetch.
    void bindText(SQLSMALLINT columns, const std::vector<bool>* wanted) {
        bound_.assign(static_cast<std::size_t>(columns), Binding{});
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            const auto i = static_cast<std::size_t>(c - 1);
            if (wanted != nullptr && !(i < wanted->size() && (*wanted)[i])) continue;
            Binding& b = bound_[i];
            b.used = true;
            check(SQLBindCol(h_, static_cast<SQLUSMALLINT>(c), SQL_C_CHAR, b.buffer, sizeof b.buffer, &b.indicator),
                  "SQLBindCol");
        }
    }

    bool fetchBound(TextRow& row) {
        const SQLRETURN rc = SQLFetch(h_);
        if (rc == SQL_NO_DATA) return false;
        check(rc, "SQLFetch");
        row.resize(bound_.size());
        for (std::size_t i = 0; i < bound_.size(); ++i) {
            const Binding& b = bound_[i];
            if (!b.used || b.indicator == SQL_NULL_DATA) {
                row[i].reset();
            } else if (b.indicator == SQL_NO_TOTAL || b.indicator >= static_cast<SQLLEN>(sizeof b.buffer)) {
                throw Truncated{};
            } else {
                row[i].emplace(b.buffer, static_cast<std::size_t>(std::max<SQLLEN>(b.indicator, 0)));
            }
        }
        return true;
    }

private:
    struct Binding {
        bool used = false;
        SQLLEN indicator = 0;
        char buffer[1024];
    };
    std::vector<Binding> bound_;

    Text text(SQLUSMALLINT column) const {
        std::string value;
        char buffer[4096];
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(h_, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
            if (rc == SQL_NO_DATA) break;
            check(rc, "SQLGetData");
            if (indicator == SQL_NULL_DATA) return std::nullopt;
            if (rc == SQL_SUCCESS_WITH_INFO &&
                (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer))) {
                value.append(buffer, sizeof buffer - 1);  // more follows
                continue;
            }
            value.append(buffer, static_cast<std::size_t>(std::max<SQLLEN>(indicator, 0)));
            break;
        }
        return value;
    }

    SQLHSTMT h_ = SQL_NULL_HSTMT;
};

long long wholeOr(const Text& text, long long fallback) {
    if (!text) return fallback;
    char* end = nullptr;
    const long long n = std::strtoll(text->c_str(), &end, 10);
    return end == text->c_str() ? fallback : n;
}

std::optional<long long> whole(const Text& text) {
    if (!text) return {};
    char* end = nullptr;
    const long long n = std::strtoll(text->c_str(), &end, 10);
    if (end == text->c_str()) return {};
    return n;
}

const Text& at(const TextRow& row, std::size_t oneBased) {
    static const Text kNone;
    return oneBased - 1 < row.size() ? row[oneBased - 1] : kNone;
}

// The databases whose own tables are not the user's.
enum class Product { SQLite, PostgreSQL, MariaDB, Other };

Product productOf(const std::string& dbms, const std::string& driver) {
    if (dbms == "SQLite" || containsIgnoringCase(driver, "sqlite")) return Product::SQLite;
    if (dbms == "PostgreSQL" || containsIgnoringCase(driver, "psqlodbc")) return Product::PostgreSQL;
    if (dbms == "MariaDB" || dbms == "MySQL" || containsIgnoringCase(driver, "maodbc") ||
        containsIgnoringCase(driver, "myodbc"))
        return Product::MariaDB;
    return Product::Other;
}

bool isInternalTable(Product product, const Text& catalog, const Text& schema, const std::string& name) {
    auto lower = [](const Text& t) {
        std::string s = t.value_or("");
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    switch (product) {
        case Product::SQLite: return name.rfind("sqlite_", 0) == 0;
        case Product::MariaDB: {
            const std::string db = lower(catalog.has_value() && !catalog->empty() ? catalog : schema);
            return db == "information_schema" || db == "performance_schema" || db == "mysql" || db == "sys";
        }
        case Product::PostgreSQL: {
            const std::string s = lower(schema);
            return s == "pg_catalog" || s == "information_schema" || s.rfind("pg_toast", 0) == 0 ||
                   s.rfind("pg_temp", 0) == 0;
        }
        case Product::Other: return false;
    }
    return false;
}

// One query for the key columns of every table of the current database,
// in the product's own catalogue, or nullptr where the catalogue is not
// known here. Each row: table name, column name, 1 when the column is in
// the primary key, 1 when the database fills it on insert. A row without a
// column name stands for a table that has none of either.
//  - SQLite: an INTEGER primary key of one column is the row id, filled
//    when the insert leaves it out (with AUTOINCREMENT or without; not in a
//    table WITHOUT ROWID, and not for INT or any other spelling of the type).
//    Only key columns can be filled, so only they are read: one row per
//    key column, or one empty row for a table without a key.
//  - PostgreSQL: identity columns and columns whose default takes the next
//    value of a sequence (serial); tables of the search path only.
//  - MariaDB/MySQL: the columns the catalogue marks PRI and auto_increment.
const char* keysQuery(Product product) {
    switch (product) {
        case Product::SQLite:
            // The key has one column when no column is its second.
            return "SELECT m.name, p.name, CASE WHEN p.pk > 0 THEN 1 ELSE 0 END, "
                   "CASE WHEN p.pk = 1 AND upper(p.type) = 'INTEGER' "
                   "AND NOT EXISTS (SELECT 1 FROM pragma_table_info(m.name) q WHERE q.pk > 1) "
                   "AND instr(upper(m.sql), 'WITHOUT ROWID') = 0 THEN 1 ELSE 0 END "
                   "FROM sqlite_master m LEFT JOIN pragma_table_info(m.name) p ON p.pk > 0 "
                   "WHERE m.type = 'table'";
        case Product::PostgreSQL:
            return "SELECT c.relname, a.attname, CASE WHEN a.attnum = ANY (i.indkey) THEN 1 ELSE 0 END, "
                   "CASE WHEN a.attidentity IN ('a', 'd') "
                   "OR pg_catalog.pg_get_expr(d.adbin, d.adrelid) LIKE 'nextval(%' THEN 1 ELSE 0 END "
                   "FROM pg_catalog.pg_class c "
                   "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                   "LEFT JOIN pg_catalog.pg_index i ON i.indrelid = c.oid AND i.indisprimary "
                   "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
                   "WHERE c.relkind IN ('r', 'p') AND pg_catalog.pg_table_is_visible(c.oid)";
        case Product::MariaDB:
            return "SELECT TABLE_NAME, COLUMN_NAME, CASE WHEN COLUMN_KEY = 'PRI' THEN 1 ELSE 0 END, "
                   "CASE WHEN EXTRA LIKE '%auto_increment%' THEN 1 ELSE 0 END "
                   "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE()";
        case Product::Other: return nullptr;
    }
    return nullptr;
}

bool isNumericAdoType(std::int16_t t) {
    switch (t) {
        case kAdSmallInt:
        case kAdInteger:
        case kAdSingle:
        case kAdDouble:
        case kAdTinyInt:
        case kAdUnsignedTinyInt:
        case kAdBigInt:
        case kAdNumeric: return true;
        default: return false;
    }
}

bool isWholeAdoType(std::int16_t t) {
    return t == kAdSmallInt || t == kAdInteger || t == kAdTinyInt || t == kAdUnsignedTinyInt || t == kAdBigInt;
}

bool isTextAdoType(std::int16_t t) { return t == kAdChar || t == kAdWChar; }

}  // namespace

OdbcError::OdbcError(std::string function, std::string state, long native, const std::string& message)
    : RuntimeError(kProviderErrorNumber, "ODBC " + function, message + " (SQLSTATE " + state + ")"),
      sqlState(std::move(state)),
      nativeError(native) {}

std::int16_t odbcToAdoType(int odbcType, bool unsignedTinyInt) {
    switch (odbcType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR: return kAdChar;
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR: return kAdWChar;
        case SQL_SMALLINT: return kAdSmallInt;
        case SQL_INTEGER: return kAdInteger;
        case SQL_REAL: return kAdSingle;
        case SQL_FLOAT:
        case SQL_DOUBLE: return kAdDouble;
        case SQL_BIT: return kAdBoolean;
        case SQL_TINYINT: return unsignedTinyInt ? kAdUnsignedTinyInt : kAdTinyInt;
        case SQL_BIGINT: return kAdBigInt;
        case SQL_NUMERIC:
        case SQL_DECIMAL: return kAdNumeric;
        case SQL_DATE:  // ODBC 2
        case SQL_TYPE_DATE: return kAdDBDate;
        case SQL_TIME:  // ODBC 2
        case SQL_TYPE_TIME: return kAdDBTime;
        case SQL_TIMESTAMP:  // ODBC 2
        case SQL_TYPE_TIMESTAMP: return kAdDBTimeStamp;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY: return kAdBinary;
        case SQL_GUID: return kAdGuid;
        default: return kAdChar;
    }
}

bool precisionFromTypeName(const std::string& typeName, long long& precision, long long& scale) {
    const auto open = typeName.find('(');
    const auto close = typeName.find(')', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) return false;
    const std::string inside = typeName.substr(open + 1, close - open - 1);
    const auto comma = inside.find(',');
    auto whole = [](const std::string& s, long long& out) {
        const auto b = s.find_first_not_of(' ');
        if (b == std::string::npos) return false;
        const auto e = s.find_last_not_of(' ');
        const std::string t = s.substr(b, e - b + 1);
        if (t.find_first_not_of("0123456789") != std::string::npos) return false;
        out = std::strtoll(t.c_str(), nullptr, 10);
        return true;
    };
    long long p = 0, s = 0;
    if (!whole(inside.substr(0, comma), p)) return false;
    if (comma != std::string::npos && !whole(inside.substr(comma + 1), s)) return false;
    precision = p;
    scale = s;
    return true;
}

// --- environment ---------------------------------------------------------

struct OdbcEnvironment {
    SQLHENV h = SQL_NULL_HENV;
    ~OdbcEnvironment() {
        if (h != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, h);
    }
};

// --- connection ----------------------------------------------------------

namespace {

class OdbcConnection final : public DataConnection {
public:
    // The connection keeps its environment alive; provider properties are
    // read once, as they do not change while it is open.
    OdbcConnection(std::shared_ptr<void> env, SQLHDBC dbc, std::string connectionString, const OdbcOptions& options)
        : env_(std::move(env)),
          dbc_(dbc),
          connectionString_(std::move(connectionString)),
          prefetchFrom_(options.prefetchColumnsFrom),
          keysInOnePass_(options.keysInOnePass) {
        dbmsName_ = info(SQL_DBMS_NAME);
        dbmsVersion_ = info(SQL_DBMS_VER);
        dataSourceName_ = info(SQL_DATA_SOURCE_NAME);
        driverName_ = info(SQL_DRIVER_NAME);
        escape_ = info(SQL_SEARCH_PATTERN_ESCAPE);
        quote_ = info(SQL_IDENTIFIER_QUOTE_CHAR);
        if (quote_ == " ") quote_.clear();
        currentCatalog_ = info(SQL_DATABASE_NAME);
        product_ = productOf(dbmsName_, driverName_);
    }

    ~OdbcConnection() override { close(); }

    std::string property(const std::string& name) const override {
        if (name == "DBMS Name") return dbmsName_;
        if (name == "DBMS Version") return dbmsVersion_;
        if (name == "Data Source Name") return dataSourceName_;
        if (name == "Driver Name") return driverName_;
        if (name == "Current Catalog") return currentCatalog_;
        throwMissingProperty();
    }

    std::unique_ptr<Recordset> openSchema(SchemaKind kind,
                                          const std::vector<std::optional<std::string>>& restrictions) override {
        live();
        auto restriction = [&](std::size_t i) -> Text { return i < restrictions.size() ? restrictions[i] : Text(); };
        switch (kind) {
            case kSchemaTables: return tables(restriction(0), restriction(1), restriction(2), restriction(3));
            case kSchemaColumns: return columns(restriction(0), restriction(1), restriction(2), restriction(3));
            case kSchemaPrimaryKeys: return primaryKeys(restriction(0), restriction(1), restriction(2));
        }
        throw RuntimeError(3251, "ADODB.Connection",
                           "Object or provider is not capable of performing requested operation.");
    }

    std::unique_ptr<Recordset> openRecordset(const std::string& text) override { return query(text, true); }

    // Prepared, not run: drivers describe a prepared statement's fields.
    std::unique_ptr<Recordset> describeQuery(const std::string& text) override { return query(text, false); }

    std::unique_ptr<Recordset> query(const std::string& text, bool run) {
        live();
        Statement st(dbc_);
        const SQLRETURN rc = run ? SQLExecDirect(st.get(), chars(text), SQL_NTS)
                                 : SQLPrepare(st.get(), chars(text), SQL_NTS);
        if (rc != SQL_NO_DATA) st.check(rc, run ? "SQLExecDirect" : "SQLPrepare");
        const SQLSMALLINT n = rc == SQL_NO_DATA ? 0 : st.columnCount();
        std::vector<std::string> names;
        std::vector<bool> autoIncrement;
        std::vector<SQLSMALLINT> types;
        for (SQLSMALLINT c = 1; c <= n; ++c) {
            SQLCHAR name[512] = {0};
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            st.check(SQLDescribeCol(st.get(), static_cast<SQLUSMALLINT>(c), name, sizeof name, &nameLength, &type,
                                    &size, &digits, &nullable),
                     "SQLDescribeCol");
            SQLLEN isAuto = SQL_FALSE;
            st.check(SQLColAttribute(st.get(), static_cast<SQLUSMALLINT>(c), SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0,
                                     nullptr, &isAuto),
                     "SQLColAttribute");
            names.emplace_back(reinterpret_cast<char*>(name));
            autoIncrement.push_back(isAuto == SQL_TRUE);
            types.push_back(type);
        }
        auto result = std::make_unique<MemoryRecordset>(names, std::vector<std::vector<Variant>>{}, autoIncrement);
        if (n == 0 || !run) return result;
        TextRow row;
        while (st.fetch(row, n)) {
            std::vector<Variant> values;
            values.reserve(row.size());
            for (std::size_t i = 0; i < row.size(); ++i) values.push_back(typedValue(types[i], row[i]));
            result->addRow(std::move(values));
        }
        return result;
    }

    long long execute(const std::string& text) override {
        live();
        prefetched_.clear();  // the statement may change the schema
        Statement st(dbc_);
        const SQLRETURN rc = SQLExecDirect(st.get(), chars(text), SQL_NTS);
        if (rc == SQL_NO_DATA) return 0;
        st.check(rc, "SQLExecDirect");
        SQLLEN count = -1;
        st.check(SQLRowCount(st.get(), &count), "SQLRowCount");
        return count;
    }

    // Reading the columns of many tables one SQLColumns call each costs a
    // catalogue search per table; one call for every column of the database
    // costs one. The rows of the tables named are kept until asked for.
    void prepareColumns(const std::vector<std::string>& tables) override {
        prefetched_.clear();
        if (prefetchFrom_ == 0 || tables.size() < prefetchFrom_) return;
        live();
        std::unordered_map<std::string, Rows> wanted;
        for (const std::string& t : tables) wanted.emplace(t, Rows{});
        Rows* into = nullptr;
        std::size_t lastWidth = 0;  // tables tend to be alike: room for as many columns as the last one
        const CatalogueRead transaction(*this);
        forEachColumnRow(
            {}, {}, {}, {},
            [&](const std::string& cat, const std::string& name) {
                // Only the database the connection is in.
                if (!currentCatalog_.empty() && !cat.empty() && cat != currentCatalog_) return false;
                const auto w = wanted.find(name);
                Rows* const next = w == wanted.end() ? nullptr : &w->second;
                if (next != into && into != nullptr) lastWidth = into->size();
                if (next != nullptr && next->empty()) next->reserve(lastWidth);
                into = next;
                return into != nullptr;
            },
            [&](ColumnRow&& row) { into->push_back(std::move(row)); },
            [&] {
                for (auto& [name, rows] : wanted) rows.clear();
            });
        // A table the whole catalogue did not show by its exact name (a
        // name in another case, say) is still asked for by itself.
        for (auto& [name, rows] : wanted)
            if (!rows.empty()) prefetched_.emplace(name, std::move(rows));
    }

    // The key query of the product, read once for all tables; a table the
    // catalogue does not show by its exact name is left to the caller.
    std::map<std::string, KeyColumns> readKeys(const std::vector<std::string>& tables) override {
        const char* sql = keysInOnePass_ ? keysQuery(product_) : nullptr;
        if (sql == nullptr || tables.empty()) return {};
        live();
        const std::unordered_set<std::string> wanted(tables.begin(), tables.end());
        std::map<std::string, KeyColumns> keys;
        try {
            const CatalogueRead transaction(*this);
            Statement st(dbc_);
            st.check(SQLExecDirect(st.get(), chars(sql), SQL_NTS), "SQLExecDirect");
            const SQLSMALLINT n = st.columnCount();
            TextRow r;
            while (st.fetch(r, n)) {
                const std::string table = at(r, 1).value_or("");
                if (wanted.count(table) == 0) continue;
                KeyColumns& k = keys[table];
                const Text& column = at(r, 2);
                if (!column) continue;
                if (wholeOr(at(r, 3), 0) != 0) k.primary.push_back(*column);
                if (wholeOr(at(r, 4), 0) != 0) k.autoNumber.push_back(*column);
            }
        } catch (const OdbcError&) {
            return {};  // each table is then read by itself
        }
        return keys;
    }

    std::string connectionString() const override { return connectionString_; }
    std::string identifierQuote() const override { return quote_; }

    void close() override {
        if (dbc_ == SQL_NULL_HDBC) return;
        SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        dbc_ = SQL_NULL_HDBC;
    }

private:
    // SQLite starts and ends a read transaction for every statement, and the
    // driver reads each table's columns with a statement of its own: on a
    // thousand tables that is thousands of lock calls and cache checks. One
    // read transaction held over a catalogue pass makes them one. Nothing is
    // written, so it is rolled back; if one cannot begin (say a transaction
    // is open already), the pass runs as before.
    class CatalogueRead {
    public:
        explicit CatalogueRead(OdbcConnection& c) : c_(c) {
            if (c_.product_ != Product::SQLite) return;
            Statement st(c_.dbc_);
            open_ = SQL_SUCCEEDED(SQLExecDirect(st.get(), chars("BEGIN"), SQL_NTS));
        }
        ~CatalogueRead() {
            if (!open_) return;
            Statement st(c_.dbc_);
            SQLExecDirect(st.get(), chars("ROLLBACK"), SQL_NTS);
        }
        CatalogueRead(const CatalogueRead&) = delete;
        CatalogueRead& operator=(const CatalogueRead&) = delete;

    private:
        OdbcConnection& c_;
        bool open_ = false;
    };

    void live() const {
        if (dbc_ == SQL_NULL_HDBC)
            throw RuntimeError(3704, "ADODB.Connection", "Operation is not allowed when the object is closed.");
    }

    std::string info(SQLUSMALLINT type) const {
        SQLCHAR buffer[1024] = {0};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetInfo(dbc_, type, buffer, sizeof buffer, &length);
        if (!SQL_SUCCEEDED(rc)) return "";
        return reinterpret_cast<char*>(buffer);
    }

    static Variant typedValue(SQLSMALLINT type, const Text& text) {
        if (!text) return {};
        switch (type) {
            case SQL_SMALLINT:
            case SQL_INTEGER:
            case SQL_TINYINT:
            case SQL_BIGINT: {
                const std::optional<long long> n = whole(text);
                return n ? Variant(*n) : Variant(*text);
            }
            case SQL_BIT: return Variant::boolean(wholeOr(text, 0) != 0);
            default: return Variant(*text);
        }
    }

    // A name as a search pattern that matches only itself.
    std::string literalPattern(const std::string& name) const {
        if (escape_.empty()) return name;
        std::string pattern;
        for (const char c : name) {
            if (c == '_' || c == '%' || escape_.find(c) != std::string::npos) pattern += escape_;
            pattern += c;
        }
        return pattern;
    }

    // Without an escape character a pattern may match more tables than the
    // one named; those rows are dropped.
    bool patternMayOvermatch(const Text& name) const {
        return name && escape_.empty() && name->find_first_of("_%") != std::string::npos;
    }

    static SQLCHAR* arg(const Text& t) { return t ? chars(*t) : nullptr; }
    static SQLSMALLINT argLength(const Text& t) { return t ? static_cast<SQLSMALLINT>(SQL_NTS) : 0; }

    std::unique_ptr<Recordset> tables(const Text& catalog, const Text& schema, const Text& table, const Text& type) {
        Statement st(dbc_);
        const Text schemaPattern = schema ? Text(literalPattern(*schema)) : Text();
        const Text tablePattern = table ? Text(literalPattern(*table)) : Text();
        st.check(SQLTables(st.get(), arg(catalog), argLength(catalog), arg(schemaPattern), argLength(schemaPattern),
                           arg(tablePattern), argLength(tablePattern), arg(type), argLength(type)),
                 "SQLTables");
        auto result = std::make_unique<MemoryRecordset>(schemaFields(kSchemaTables), std::vector<std::vector<Variant>>{});
        for (const TextRow& r : st.fetchAll()) {
            const Text& cat = at(r, 1);
            const Text& sch = at(r, 2);
            const std::string name = at(r, 3).value_or("");
            if (table && name != *table) continue;
            // Only the database the connection is in, unless asked for another.
            if (!catalog && !currentCatalog_.empty() && cat && !cat->empty() && *cat != currentCatalog_) continue;
            std::string tableType = at(r, 4).value_or("");
            if (isInternalTable(product_, cat, sch, name)) {
                if (tableType == "TABLE" || tableType == "BASE TABLE") tableType = "SYSTEM TABLE";
                else if (tableType == "VIEW") tableType = "SYSTEM VIEW";
            } else if (tableType == "BASE TABLE") {
                tableType = "TABLE";
            }
            result->addRow({Variant::fromOptional(cat), Variant::fromOptional(sch), Variant(name), Variant(tableType),
                            Variant::fromOptional(at(r, 5))});
        }
        return result;
    }

    // One row of the columns schema, kept compact until its table is asked
    // for: a whole-catalogue read holds every column of the database.
    struct ColumnRow {
        Text catalog, schema;
        std::string table, column;
        long long ordinal = 0;
        std::optional<long long> maxLength, precision, scale;
        std::int16_t adoType = 0;
        bool nullable = false;
    };
    using Rows = std::vector<ColumnRow>;

    static Variant numberOrNull(const std::optional<long long>& n) { return n ? Variant(*n) : Variant(); }

    // The rows as the columns schema gives them.
    static std::unique_ptr<Recordset> columnsRecordset(Rows rows) {
        std::vector<std::vector<Variant>> values;
        values.reserve(rows.size());
        for (ColumnRow& r : rows)
            values.push_back({Variant::fromOptional(r.catalog), Variant::fromOptional(r.schema),
                              Variant(std::move(r.table)), Variant(std::move(r.column)), Variant(r.ordinal),
                              Variant::boolean(r.nullable), Variant(static_cast<int>(r.adoType)),
                              numberOrNull(r.maxLength), numberOrNull(r.precision), numberOrNull(r.scale)});
        return std::make_unique<MemoryRecordset>(schemaFields(kSchemaColumns), std::move(values));
    }

    std::unique_ptr<Recordset> columns(const Text& catalog, const Text& schema, const Text& table, const Text& column) {
        if (table && !catalog && !schema && !column) {
            const auto cached = prefetched_.find(*table);
            if (cached != prefetched_.end()) {
                Rows rows = std::move(cached->second);
                prefetched_.erase(cached);
                return columnsRecordset(std::move(rows));
            }
        }
        return columnsRecordset(columnRows(catalog, schema, table, column));
    }

    // The rows of the columns schema, as SQLColumns gives them.
    Rows columnRows(const Text& catalog, const Text& schema, const Text& table, const Text& column) {
        Rows result;
        forEachColumnRow(
            catalog, schema, table, column, nullptr, [&](ColumnRow&& row) { result.push_back(std::move(row)); },
            [&] { result.clear(); });
        return result;
    }

    // Hands each row of the columns schema to `sink`, as it is read; with
    // `keep`, only the rows of the tables it accepts.
    // `discard` drops what `sink` has taken, for a second reading after a
    // name too long for the bound buffers.
    void forEachColumnRow(const Text& catalog, const Text& schema, const Text& table, const Text& column,
                          const std::function<bool(const std::string& catalog, const std::string& table)>& keep,
                          const std::function<void(ColumnRow&&)>& sink,
                          const std::function<void()>& discard) {
        try {
            readColumnRows(catalog, schema, table, column, keep, sink, true);
        } catch (const Statement::Truncated&) {
            discard();
            readColumnRows(catalog, schema, table, column, keep, sink, false);
        }
    }

    void readColumnRows(const Text& catalog, const Text& schema, const Text& table, const Text& column,
                        const std::function<bool(const std::string& catalog, const std::string& table)>& keep,
                        const std::function<void(ColumnRow&&)>& sink, bool bound) {
        Statement st(dbc_);
        const Text schemaPattern = schema ? Text(literalPattern(*schema)) : Text();
        const Text tablePattern = table ? Text(literalPattern(*table)) : Text();
        const Text columnPattern = column ? Text(literalPattern(*column)) : Text();
        st.check(SQLColumns(st.get(), arg(catalog), argLength(catalog), arg(schemaPattern), argLength(schemaPattern),
                            arg(tablePattern), argLength(tablePattern), arg(columnPattern), argLength(columnPattern)),
                 "SQLColumns");
        // The columns this layer reads: names, DATA_TYPE, TYPE_NAME,
        // COLUMN_SIZE, DECIMAL_DIGITS, NULLABLE, ORDINAL_POSITION, IS_NULLABLE.
        static const std::vector<bool> wanted{true,  true,  true,  true,  true,  true,  true,  false, true,
                                              false, true,  false, false, false, false, false, true,  true};
        const SQLSMALLINT columnCount = st.columnCount();
        std::unordered_map<std::string, long long> ordinals;  // per table, for drivers without ORDINAL_POSITION
        TextRow r;
        if (bound) st.bindText(columnCount, &wanted);
        while (bound ? st.fetchBound(r) : st.fetch(r, columnCount, &wanted)) {
            std::string tableName = at(r, 3).value_or("");
            std::string columnName = at(r, 4).value_or("");
            if (keep && !keep(at(r, 1).value_or(""), tableName)) continue;
            if (patternMayOvermatch(table) && tableName != *table) continue;
            if (patternMayOvermatch(column) && columnName != *column) continue;
            const long long ordinal = ++ordinals[tableName];
            const std::string typeName = at(r, 6).value_or("");
            int odbcType = static_cast<int>(wholeOr(at(r, 5), SQL_VARCHAR));
            // psqlodbc reports bool as text unless its connection says otherwise.
            if (product_ == Product::PostgreSQL && typeName == "bool") odbcType = SQL_BIT;
            const bool unsignedTiny = odbcType == SQL_TINYINT &&
                                      (containsIgnoringCase(typeName, "unsigned") || tinyIntIsUnsigned());
            const std::int16_t adoType = odbcToAdoType(odbcType, unsignedTiny);

            std::optional<long long> precision, scale, maxLength;
            if (isNumericAdoType(adoType)) {
                long long p = 0, s = 0;
                // The SQLite driver reports precision and scale shifted
                // (NUMERIC(10,2): size 2, digits 10); its type name is right.
                if (product_ == Product::SQLite) {
                    if (precisionFromTypeName(typeName, p, s)) {
                        precision = p;
                        scale = s;
                    } else {
                        precision = whole(at(r, 7));
                        if (isWholeAdoType(adoType)) scale = 0;
                    }
                } else {
                    precision = whole(at(r, 7));
                    scale = whole(at(r, 9));
                }
            } else if (isTextAdoType(adoType)) {
                maxLength = whole(at(r, 7));
            }
            // NULLABLE is filled by every driver; IS_NULLABLE is not (psqlodbc).
            bool nullable = false;
            if (const Text& n = at(r, 11); n)
                nullable = wholeOr(n, SQL_NULLABLE_UNKNOWN) == SQL_NULLABLE;
            else
                nullable = upper(at(r, 18).value_or("")) == "YES";

            sink({at(r, 1), at(r, 2), std::move(tableName), std::move(columnName), wholeOr(at(r, 17), ordinal),
                  maxLength, precision, scale, adoType, nullable});
        }
    }

    std::unique_ptr<Recordset> primaryKeys(const Text& catalog, const Text& schema, const Text& table) {
        Statement st(dbc_);
        // The arguments of SQLPrimaryKeys are names, not patterns.
        st.check(SQLPrimaryKeys(st.get(), arg(catalog), argLength(catalog), arg(schema), argLength(schema), arg(table),
                                argLength(table)),
                 "SQLPrimaryKeys");
        auto result =
            std::make_unique<MemoryRecordset>(schemaFields(kSchemaPrimaryKeys), std::vector<std::vector<Variant>>{});
        for (const TextRow& r : st.fetchAll()) {
            result->addRow({Variant::fromOptional(at(r, 1)), Variant::fromOptional(at(r, 2)),
                            Variant::fromOptional(at(r, 3)), Variant::fromOptional(at(r, 4)), numberOrNull(whole(at(r, 5))),
                            Variant::fromOptional(at(r, 6))});
        }
        return result;
    }

    // Whether the driver's TINYINT is unsigned, asked once.
    bool tinyIntIsUnsigned() {
        if (!tinyUnsigned_) {
            tinyUnsigned_ = true;
            try {
                Statement st(dbc_);
                st.check(SQLGetTypeInfo(st.get(), SQL_TINYINT), "SQLGetTypeInfo");
                TextRow row;
                if (st.fetch(row, st.columnCount())) tinyUnsigned_ = wholeOr(at(row, 10), 1) != 0;
            } catch (const OdbcError&) {
            }
        }
        return *tinyUnsigned_;
    }

    std::shared_ptr<void> env_;
    SQLHDBC dbc_;
    std::string connectionString_;
    std::string dbmsName_, dbmsVersion_, dataSourceName_, driverName_, escape_, quote_, currentCatalog_;
    Product product_ = Product::Other;
    std::optional<bool> tinyUnsigned_;
    std::unordered_map<std::string, Rows> prefetched_;
    std::size_t prefetchFrom_;
    bool keysInOnePass_;
};

std::shared_ptr<OdbcEnvironment> newEnvironment(bool odbc3) {
    auto env = std::make_shared<OdbcEnvironment>();
    if (odbc3) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env->h))) return nullptr;
        SQLSetEnvAttr(env->h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    } else {
        if (SQLAllocEnv(&env->h) == SQL_ERROR) return nullptr;
    }
    return env;
}

bool isDataSourceName(const std::string& text) { return text.find('=') == std::string::npos; }

}  // namespace

// --- data access ---------------------------------------------------------

OleDbDrivers oleDbDriversFromEnvironment() {
    OleDbDrivers d;
    if (const char* v = std::getenv("RW_ODBC_DRIVER_SQLOLEDB"); v && *v) d.sqlServer = v;
    if (const char* v = std::getenv("RW_ODBC_DRIVER_JET"); v && *v) d.jet = v;
    if (const char* v = std::getenv("RW_ODBC_DRIVER_MSDAORA"); v && *v) {
        d.oracle = v;
    } else {
        OdbcDataAccess access;
        for (const std::string& name : access.drivers()) {
            if (containsIgnoringCase(name, "oracle")) {
                d.oracle = name;
                break;
            }
        }
    }
    return d;
}

OdbcDataAccess::OdbcDataAccess(OdbcOptions options) : options_(std::move(options)) {}

OdbcDataAccess::~OdbcDataAccess() = default;

std::string OdbcDataAccess::odbcString(const std::string& connectionString) const {
    if (isDataSourceName(connectionString)) return "DSN=" + odbcValue(connectionString) + ";";
    const std::optional<std::string> odbc = oleDbToOdbc(connectionString, options_.drivers);
    if (!odbc)
        throw RuntimeError(3706, "ADODB.Connection",
                           "Provider cannot be found. It may not be properly installed. (PROVIDER=" +
                               oleDbProvider(connectionString) + ")");
    return *odbc;
}

std::vector<DriverInfo> OdbcDataAccess::listDrivers() {
    std::vector<DriverInfo> list;
    const auto env = newEnvironment(true);
    if (!env) return list;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[512] = {0}, attributes[4096] = {0};
        SQLSMALLINT nameLength = 0, attributesLength = 0;
        const SQLRETURN rc = SQLDrivers(env->h, direction, name, sizeof name, &nameLength, attributes,
                                        sizeof attributes, &attributesLength);
        if (!SQL_SUCCEEDED(rc)) break;
        DriverInfo driver{reinterpret_cast<char*>(name), {}};
        // The attributes are "key=value" texts, each ended by a NUL, the
        // list by a second NUL.
        const char* text = reinterpret_cast<const char*>(attributes);
        const std::size_t size = std::min<std::size_t>(std::max<SQLSMALLINT>(attributesLength, 0), sizeof attributes - 1);
        for (std::size_t at = 0; at < size && text[at] != '\0';) {
            const std::string attribute(text + at);
            driver.attributes.push_back(attribute);
            at += attribute.size() + 1;
        }
        list.push_back(std::move(driver));
        direction = SQL_FETCH_NEXT;
    }
    return list;
}

std::vector<std::string> OdbcDataAccess::drivers() {
    std::vector<std::string> names;
    for (DriverInfo& d : listDrivers()) names.push_back(std::move(d.name));
    return names;
}

std::string OdbcDataAccess::driverOfDataSource(const std::string& dsn) {
    const auto env = newEnvironment(true);
    if (!env) return "";
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {0}, description[1024] = {0};
        SQLSMALLINT nameLength = 0, descriptionLength = 0;
        const SQLRETURN rc = SQLDataSources(env->h, direction, name, sizeof name, &nameLength, description,
                                            sizeof description, &descriptionLength);
        if (!SQL_SUCCEEDED(rc)) return "";
        // unixODBC describes a data source by its driver's name.
        if (dsn == reinterpret_cast<char*>(name)) return reinterpret_cast<char*>(description);
        direction = SQL_FETCH_NEXT;
    }
}

std::unique_ptr<DataConnection> OdbcDataAccess::open(const std::string& connectionString, const std::string& user,
                                                     const std::string& password) {
    std::string odbc = odbcString(connectionString);
    std::string driver = connectionStringValue(odbc, "DRIVER").value_or("");
    if (driver.empty())
        if (const auto dsn = connectionStringValue(odbc, "DSN")) driver = driverOfDataSource(*dsn);

    // The user and password given beside the string replace any in it.
    if (!user.empty() || !password.empty()) {
        std::string rebuilt;
        for (const auto& [k, v] : parseConnectionString(odbc)) {
            const std::string u = upper(k);
            if ((u == "UID" && !user.empty()) || (u == "PWD" && !password.empty())) continue;
            rebuilt += k + "=" + odbcValue(v) + ";";
        }
        if (!user.empty()) rebuilt += "UID=" + odbcValue(user) + ";";
        if (!password.empty()) rebuilt += "PWD=" + odbcValue(password) + ";";
        odbc = rebuilt;
    }
    // What the connection string reads back: the string as opened, with
    // the login given beside it (drivers' completed strings differ, and
    // some encode the password).
    const std::string asOpened = odbc;
    // The SQLite driver makes a new, empty database for a file that does
    // not exist; a schema reader should report the mistyped path instead.
    const bool sqlite = containsIgnoringCase(driver, "sqlite");
    if (sqlite && !connectionStringValue(odbc, "NoCreat"))
        odbc += (odbc.empty() || odbc.back() == ';' ? "" : ";") + std::string("NoCreat=1;");

    if (!env_) {
        env_ = newEnvironment(options_.odbc3);
        if (!env_) throw OdbcError("SQLAllocEnv", "HY001", 0, "The ODBC environment cannot be allocated");
    }
    SQLHDBC dbc = SQL_NULL_HDBC;
    check(SQLAllocHandle(SQL_HANDLE_DBC, env_->h, &dbc), SQL_HANDLE_ENV, env_->h, "SQLAllocHandle");
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(options_.loginTimeout), 0);
    SQLCHAR out[4096] = {0};
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, chars(odbc), SQL_NTS, out, sizeof out, &outLength,
                                          SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        OdbcError e = diagnostic(SQL_HANDLE_DBC, dbc, "SQLDriverConnect", rc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        // A registered driver whose library cannot be loaded: name the
        // driver, and a registered driver of the same name with a version
        // number after it.
        if (e.description.find("Can't open lib") != std::string::npos && !driver.empty()) {
            const std::vector<std::string> registered = drivers();
            const bool known = std::any_of(registered.begin(), registered.end(),
                                           [&](const std::string& d) { return upper(d) == upper(driver); });
            std::string text = "The ODBC driver \"" + driver + (known ? "\" cannot be loaded: " : "\" is not registered: ") +
                               e.description;
            for (const std::string& other : registered) {
                if (other.size() > driver.size() && upper(other).rfind(upper(driver), 0) == 0 &&
                    other.find_first_not_of("0123456789", driver.size()) == std::string::npos) {
                    text += ". The driver registered as \"" + other + "\" may be the one meant";
                    break;
                }
            }
            e.description = text;
        } else if (sqlite) {
            const std::string file = connectionStringValue(odbc, "Database").value_or("");
            std::error_code ignored;
            if (!file.empty() && !std::filesystem::exists(file, ignored))
                e.description = "The SQLite database \"" + file + "\" does not exist: " + e.description;
        }
        throw e;
    }
    return std::make_unique<OdbcConnection>(env_, dbc, asOpened, options_);
}

bool OdbcDataAccess::allocEnv() {
    listing_ = newEnvironment(false);
    return listing_ != nullptr;
}

int OdbcDataAccess::nextDataSource(std::string& name, std::string& description) {
    if (!listing_) return SQL_ERROR;
    SQLCHAR nameBuffer[1024], descriptionBuffer[1024];
    std::fill(std::begin(nameBuffer), std::end(nameBuffer), ' ');
    std::fill(std::begin(descriptionBuffer), std::end(descriptionBuffer), ' ');
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    const SQLRETURN rc = SQLDataSources(listing_->h, SQL_FETCH_NEXT, nameBuffer, sizeof nameBuffer, &nameLength,
                                        descriptionBuffer, sizeof descriptionBuffer, &descriptionLength);
    auto take = [](const SQLCHAR* buffer, SQLSMALLINT length) {
        const auto n = static_cast<std::size_t>(std::clamp<SQLSMALLINT>(length, 0, 1023));
        return std::string(reinterpret_cast<const char*>(buffer), n);
    };
    if (SQL_SUCCEEDED(rc)) {
        name = take(nameBuffer, nameLength);
        description = take(descriptionBuffer, descriptionLength);
    }
    return rc;
}

}  // namespace rw::db
