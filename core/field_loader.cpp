#include "core/field_loader.h"

#include <map>
#include <memory>
#include <optional>
#include <unordered_set>

#include "model/gen_context.h"
#include "model/product.h"
#include "model/type_rules.h"
#include "platform/runtime_error.h"

namespace rw {

namespace {

// The name of the column a SQL Server table fills by itself, or empty when
// the query fails (above all when the table has none). The table name goes
// into the text as it is.
std::string identityColumn(DataConnection& conn, const std::string& table) {
    try {
        std::unique_ptr<Recordset> rs = conn.openRecordset("SELECT IDENTITYCOL FROM " + table);
        std::string name = rs->fieldName(0);
        rs->close();
        return name;
    } catch (const RuntimeError&) {
        return "";
    }
}

std::vector<std::string> primaryKeyColumns(DataConnection& conn, const std::string& table) {
    std::vector<std::string> keys;
    std::unique_ptr<Recordset> rs = conn.openSchema(kSchemaPrimaryKeys, {std::nullopt, std::nullopt, table});
    while (!rs->eof()) {
        keys.push_back(rs->value("COLUMN_NAME").toText());
        rs->moveNext();
    }
    rs->close();
    return keys;
}

// The table's name as SQL text, in the database's quotes.
std::string quotedTable(const DataConnection& conn, const std::string& table) {
    const std::string q = conn.identifierQuote();
    if (q.empty()) return table;
    std::string quoted = q;
    for (std::size_t i = 0; i < table.size();) {
        if (table.compare(i, q.size(), q) == 0) {
            quoted += q + q;  // a quote inside the name is doubled
            i += q.size();
        } else {
            quoted += table[i++];
        }
    }
    return quoted + q;
}

// The columns a query on the table reports as filled by the database;
// nothing when the query fails.
std::vector<std::string> autoIncrementColumns(DataConnection& conn, const std::string& table) {
    std::vector<std::string> names;
    try {
        std::unique_ptr<Recordset> rs =
            conn.describeQuery("SELECT * FROM " + quotedTable(conn, table) + " WHERE 1 = 0");
        for (int i = 0; i < rs->fieldCount(); ++i)
            if (rs->isAutoIncrement(i)) names.push_back(rs->fieldName(i));
        rs->close();
    } catch (const RuntimeError&) {
    }
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& n : names)
        if (n == name) return true;
    return false;
}

using KeyMap = std::map<std::string, KeyColumns>;

// Adds a SQL Server table's identity column to its auto-number columns.
void addIdentity(DataConnection& conn, const std::string& table, const std::string& dbms, KeyColumns& keys) {
    if (!hasIdentityColumn(dbmsOf(dbms))) return;
    if (std::string identity = identityColumn(conn, table); !identity.empty())
        keys.autoNumber.push_back(std::move(identity));
}

// The marks detection gives one table: its keys and auto-number columns
// from the pass over all tables when that pass covered it, else from the
// table's own key schema and query; a SQL Server identity column besides.
KeyColumns detectedKeys(DataConnection& conn, const std::string& table, const std::string& dbms, const KeyMap& read) {
    KeyColumns keys;
    if (const auto r = read.find(table); r != read.end()) {
        keys = r->second;
    } else {
        keys.primary = primaryKeyColumns(conn, table);
        keys.autoNumber = autoIncrementColumns(conn, table);
    }
    addIdentity(conn, table, dbms, keys);
    return keys;
}

// The marks the pages pre-mark without detection: keys for the products
// that pre-mark them, and an identity column.
KeyColumns productKeys(DataConnection& conn, const std::string& table, const std::string& dbms) {
    KeyColumns keys;
    if (premarksKeys(dbmsOf(dbms))) keys.primary = primaryKeyColumns(conn, table);
    addIdentity(conn, table, dbms, keys);
    return keys;
}

}  // namespace

std::int16_t fieldDataType(const Recordset& columns) {
    const std::int16_t code = columns.value("DATA_TYPE").toInt16();
    if (!isScaledNumericType(code)) return code;
    // A scale or precision that cannot be read leaves the double type.
    try {
        const long long scale = columns.value("NUMERIC_SCALE").toInteger();
        return numericColumnType(scale, scale >= 1 ? 0 : columns.value("NUMERIC_PRECISION").toInteger());
    } catch (const RuntimeError&) {
        return kAdDouble;
    }
}

bool loadFieldRows(DataConnection& conn, const std::vector<std::string>& tables, FieldGrid& grid,
                   const FieldLoadOptions& options) {
    // A stopped loading puts back the rows the grid had, so nothing is
    // left half-loaded.
    std::optional<FieldGrid> before;
    if (options.progress) before = grid;
    std::size_t done = 0;
    conn.prepareColumns(tables);
    const KeyMap read = options.detectKeys ? conn.readKeys(tables) : KeyMap{};
    for (const std::string& table : tables) {
        std::unique_ptr<Recordset> columns =
            conn.openSchema(kSchemaColumns, {std::nullopt, std::nullopt, table, std::nullopt});

        const std::string dbms = conn.property("DBMS Name");
        const KeyColumns keys =
            options.detectKeys ? detectedKeys(conn, table, dbms, read) : productKeys(conn, table, dbms);

        while (!columns->eof()) {
            FieldRow row;
            row.table = columns->value("TABLE_NAME").toText();
            row.field = columns->value("COLUMN_NAME").toText();
            row.primary = contains(keys.primary, row.field);
            row.dataType = fieldDataType(*columns);
            row.autoNumber = contains(keys.autoNumber, row.field);
            const Variant& nullable = columns->value("IS_NULLABLE");
            row.nullable = !nullable.isNull() && nullable.toBoolean();
            grid.append(std::move(row));
            columns->moveNext();
        }
        columns->close();
        if (options.progress && !options.progress(++done, tables.size())) {
            grid = std::move(*before);
            return false;
        }
    }
    return true;
}

void detectKeys(DataConnection& conn, FieldGrid& grid) {
    std::vector<std::string> tables;
    std::unordered_set<std::string> seen;
    for (const FieldRow& r : grid.rows())
        if (seen.insert(r.table).second) tables.push_back(r.table);
    if (tables.empty()) return;
    const std::string dbms = conn.property("DBMS Name");
    const KeyMap read = conn.readKeys(tables);
    KeyMap found;
    for (const std::string& table : tables) found.emplace(table, detectedKeys(conn, table, dbms, read));
    for (std::size_t i = 0; i < grid.rowCount(); ++i) {
        const FieldRow& r = grid.row(i);
        const KeyColumns& keys = found.at(r.table);
        if (contains(keys.primary, r.field)) grid.setPrimary(i, true);
        if (contains(keys.autoNumber, r.field)) grid.setAuto(i, true);
    }
}

std::string fieldRowText(const FieldRow& row) {
    auto word = [](bool b) { return b ? "True" : "False"; };
    return row.table + "\t" + row.field + "\t" + word(row.primary) + "\t" + word(row.autoNumber) + "\t" +
           std::to_string(row.dataType) + "\t" + word(row.nullable);
}

std::string fieldsPageInstructions() {
    return std::string("IMPORTANT!!") + "\r\n" + "\r\n" + "Each table you chose is represented at the right, along with " +
           "each of its fields.  Please indicate any field that is " +
           "automatically populated by the database upon the insertion " +
           "of a record (such as an IDENTITY field or an AutoNumber " +
           "field) by checking the Auto column for that field.  " +
           "Failure to do so will result in errors when inserting " + "records.  In addition, you MUST indicate any" +
           "Primary Key field(s) by checking them in the Primary " +
           "column.  If the Primary Key is a composite key, be sure " +
           "to check all of the fields that make up that composite " +
           "key.  Failure to do so will result in improper updating " +
           "of records, and possibly updating the WRONG records.  Depending " + "on your DBMS and driver, " +
           product::kDisplayName + " may " + "pre-populate your Auto and/or Primary columns for you.";
}

bool FieldsPage::display(Ui& ui, GenerationSettings& settings, const WelcomeOptions& options,
                         const ProjectPageValues& project, const ConnectionPageValues& connection,
                         DataConnection& conn, const std::vector<std::string>& lstYes,
                         const FieldLoadOptions& loadOptions) {
    BusyPointer busy(ui);
    cancelled = false;
    const bool loaded = guarded(ui, "frmFields.Display", [&] {
        caption = std::string(product::kDisplayName) + " - Choose Keys";
        fillSettings(settings, options, project, connection);
        txtInstructions = fieldsPageInstructions();
        cancelled = !loadFieldRows(conn, lstYes, grdFields, loadOptions);
    });
    return loaded && !cancelled;
}

void applyClickRule(FieldGrid& grid, std::size_t row, int column) {
    if (row >= grid.rowCount()) throwNoCurrentRecord();
    if (column == kColumnAuto && !grid.row(row).autoNumber) grid.setPrimary(row, true);
    if (column == kColumnPrimary && grid.row(row).primary) grid.setAuto(row, false);
}

void FieldsPage::detectKeys(Ui& ui, DataConnection& conn) {
    BusyPointer busy(ui);
    guarded(ui, "frmFields.cmdDetectKeys_Click", [&] { rw::detectKeys(conn, grdFields); });
}

void FieldsPage::mark(Ui& ui, const std::vector<std::size_t>& rows, int column, bool on) {
    for (const std::size_t row : rows) {
        if (row < grdFields.rowCount()) {
            const FieldRow& r = grdFields.row(row);
            if ((column == kColumnPrimary ? r.primary : r.autoNumber) == on) continue;
        }
        click(ui, row, column);
    }
}

void FieldsPage::toggle(Ui& ui, const std::vector<std::size_t>& rows, int column) {
    for (const std::size_t row : rows) click(ui, row, column);
}

void FieldsPage::click(Ui& ui, std::size_t row, int column) {
    guarded(ui, "frmFields.grdFields_ClickErr", [&] {
        applyClickRule(grdFields, row, column);
        if (column == kColumnPrimary) grdFields.setPrimary(row, !grdFields.row(row).primary);
        if (column == kColumnAuto) grdFields.setAuto(row, !grdFields.row(row).autoNumber);
    });
}

}  // namespace rw
