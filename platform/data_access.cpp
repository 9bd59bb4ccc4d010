#include "platform/data_access.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "platform/runtime_error.h"

namespace rw {

namespace {

constexpr const char* kAdoSource = "ADODB.Recordset";

[[noreturn]] void throwInvalidNull() { throw RuntimeError(94, kAdoSource, "Invalid use of Null"); }
[[noreturn]] void throwTypeMismatch() { throw RuntimeError(13, kAdoSource, "Type mismatch"); }

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// A whole number written in decimal, with optional sign and surrounding
// spaces; a fraction of zeros (as "10.0") is allowed.
bool parseWhole(const std::string& text, long long& out) {
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    if (b == std::string::npos) return false;
    std::string t = text.substr(b, e - b + 1);
    if (const auto dot = t.find('.'); dot != std::string::npos) {
        if (t.find_first_not_of('0', dot + 1) != std::string::npos) return false;
        t.erase(dot);
    }
    if (t.empty() || t == "-" || t == "+") return false;
    const std::size_t digits = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (t.find_first_not_of("0123456789", digits) != std::string::npos) return false;
    errno = 0;
    out = std::strtoll(t.c_str(), nullptr, 10);
    return errno != ERANGE;
}

}  // namespace

Variant Variant::boolean(bool b) {
    Variant v;
    v.kind_ = Kind::Boolean;
    v.integer_ = b ? -1 : 0;
    return v;
}

Variant Variant::fromOptional(const std::optional<std::string>& text) { return text ? Variant(*text) : Variant(); }

long long Variant::toInteger() const {
    switch (kind_) {
        case Kind::Null: throwInvalidNull();
        case Kind::Integer:
        case Kind::Boolean: return integer_;
        case Kind::Text: {
            long long n = 0;
            if (!parseWhole(text_, n)) throwTypeMismatch();
            return n;
        }
    }
    throwTypeMismatch();
}

std::int16_t Variant::toInt16() const {
    const long long n = toInteger();
    if (n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(6, kAdoSource, "Overflow");
    return static_cast<std::int16_t>(n);
}

std::string Variant::toText() const {
    switch (kind_) {
        case Kind::Null: return "";
        case Kind::Integer: return std::to_string(integer_);
        case Kind::Boolean: return integer_ != 0 ? "True" : "False";
        case Kind::Text: return text_;
    }
    return "";
}

bool Variant::toBoolean() const {
    switch (kind_) {
        case Kind::Null: throwInvalidNull();
        case Kind::Integer:
        case Kind::Boolean: return integer_ != 0;
        case Kind::Text: {
            if (equalsIgnoringCase(text_, "True")) return true;
            if (equalsIgnoringCase(text_, "False")) return false;
            long long n = 0;
            if (!parseWhole(text_, n)) throwTypeMismatch();
            return n != 0;
        }
    }
    throwTypeMismatch();
}

void throwNoCurrentRecord() {
    throw RuntimeError(3021, kAdoSource,
                       "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                       "requires a current record.");
}

void throwNoSuchField() {
    throw RuntimeError(3265, "ADODB.Fields",
                       "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

int Recordset::fieldIndex(const std::string& name) const {
    const int n = fieldCount();
    for (int i = 0; i < n; ++i)
        if (equalsIgnoringCase(fieldName(i), name)) return i;
    return -1;
}

const Variant& Recordset::value(const std::string& name) const {
    const int index = fieldIndex(name);
    if (index < 0) throwNoSuchField();
    return value(index);
}

int MemoryRecordset::fieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (equalsIgnoringCase(fields_[i], name)) return static_cast<int>(i);
    return -1;
}

MemoryRecordset::MemoryRecordset(std::vector<std::string> fields, std::vector<std::vector<Variant>> rows,
                                 std::vector<bool> autoIncrement)
    : fields_(std::move(fields)), rows_(std::move(rows)), autoIncrement_(std::move(autoIncrement)) {}

void MemoryRecordset::moveNext() {
    if (eof()) throwNoCurrentRecord();
    ++position_;
}

void MemoryRecordset::checkIndex(int index) const {
    if (index < 0 || index >= fieldCount()) throwNoSuchField();
}

std::string MemoryRecordset::fieldName(int index) const {
    checkIndex(index);
    return fields_[static_cast<std::size_t>(index)];
}

const Variant& MemoryRecordset::value(int index) const {
    checkIndex(index);
    if (eof()) throwNoCurrentRecord();
    const std::vector<Variant>& row = rows_[position_];
    static const Variant kNull;
    // A row shorter than the field list reads Null in its missing fields.
    return static_cast<std::size_t>(index) < row.size() ? row[static_cast<std::size_t>(index)] : kNull;
}

bool MemoryRecordset::isAutoIncrement(int index) const {
    checkIndex(index);
    return static_cast<std::size_t>(index) < autoIncrement_.size() && autoIncrement_[static_cast<std::size_t>(index)];
}

const std::vector<std::string>& schemaFields(SchemaKind kind) {
    static const std::vector<std::string> tables{"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "TABLE_TYPE",
                                                 "DESCRIPTION"};
    static const std::vector<std::string> columns{"TABLE_CATALOG",     "TABLE_SCHEMA", "TABLE_NAME",
                                                  "COLUMN_NAME",       "ORDINAL_POSITION",
                                                  "IS_NULLABLE",       "DATA_TYPE",
                                                  "CHARACTER_MAXIMUM_LENGTH", "NUMERIC_PRECISION",
                                                  "NUMERIC_SCALE"};
    static const std::vector<std::string> keys{"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME",
                                               "COLUMN_NAME",   "ORDINAL",      "PK_NAME"};
    switch (kind) {
        case kSchemaTables: return tables;
        case kSchemaColumns: return columns;
        case kSchemaPrimaryKeys: return keys;
    }
    return tables;
}

std::vector<DataSourceInfo> listDataSources(DataAccess& access) {
    std::vector<DataSourceInfo> list;
    if (!access.allocEnv()) return list;
    for (;;) {
        DataSourceInfo entry;
        const int rc = access.nextDataSource(entry.name, entry.description);
        if (rc != kSqlSuccess && rc != kSqlSuccessWithInfo) break;
        if (entry.name.find_first_not_of(' ') != std::string::npos) list.push_back(std::move(entry));
    }
    return list;
}

}  // namespace rw
