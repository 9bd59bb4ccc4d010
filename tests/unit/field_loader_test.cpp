// Loading the field rows from the schema: pre-marking by product, the
// identity query, the numeric mapping, failures, and the grid's click rule.
#include <gtest/gtest.h>

#include "core/field_loader.h"
#include "support/fake_db.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using test::FakeColumn;
using test::FakeConnection;

std::unique_ptr<Recordset> fieldNamed(const std::string& name) {
    return std::make_unique<MemoryRecordset>(std::vector<std::string>{name}, std::vector<std::vector<Variant>>{});
}

// Orders has an identity ID that is its key; Order Details has a column ID
// that is no identity, and a composite key (which only the one pass over
// all tables that detection makes sees whole).
FakeConnection twoTables(const std::string& dbms) {
    FakeConnection c;
    c.properties["DBMS Name"] = dbms;
    c.columns["Orders"] = {{"ID", 3, 10, 0, false}, {"Customer", 130, {}, {}, true}};
    c.columns["Order Details"] = {{"ID", 3, 10, 0, false}, {"OrderID", 3, 10, 0, false}, {"Qty", 2, 5, 0, true}};
    c.keys["Orders"] = {"ID"};
    c.keys["Order Details"] = {"orderid", "Qty"};  // case differs from the column: no match
    c.queries["SELECT IDENTITYCOL FROM Orders"] = [] { return fieldNamed("ID"); };
    c.onePassKeys["Order Details"] = {{"OrderID"}, {"Qty"}};
    c.queries["SELECT * FROM \"Orders\" WHERE 1 = 0"] = [] {
        return std::make_unique<MemoryRecordset>(std::vector<std::string>{"ID", "Customer"},
                                                 std::vector<std::vector<Variant>>{}, std::vector<bool>{true, false});
    };
    return c;
}

// Per row: P when Primary, A when Auto.
std::string marks(const FieldGrid& grid) {
    std::string marks;
    for (const FieldRow& r : grid.rows())
        marks += std::string(marks.empty() ? "" : " ") + (r.primary ? "P" : "-") + (r.autoNumber ? "A" : "-");
    return marks;
}

// SQL Server marks keys and each table's identity column (asked for with the
// table name as it is, unquoted; a failed query marks none), Oracle keys
// only; any other name, or another case of these, marks nothing and asks
// for neither keys nor identities. Detection works for any product.
TEST(FieldLoader, PreMarksKeysAndIdentitiesByProductOrDetection) {
    const struct {
        const char* dbms;
        const char* marks;
        std::vector<std::string> asked;  // log entries for keys and queries, in order
        bool detect = false;
    } cases[] = {
        {"Microsoft SQL Server", "PA -- -- -- P-",
         {"schema 28 Orders", "query SELECT IDENTITYCOL FROM Orders", "schema 28 Order Details",
          "query SELECT IDENTITYCOL FROM Order Details"}},
        {"Oracle", "P- -- -- -- P-", {"schema 28 Orders", "schema 28 Order Details"}},
        {"microsoft sql server", "-- -- -- -- --", {}}, {"ORACLE", "-- -- -- -- --", {}},
        {"SQLite", "-- -- -- -- --", {}}, {"ACCESS", "-- -- -- -- --", {}},
        {"SQLite", "PA -- -- P- -A", {"keys", "schema 28 Orders", "query SELECT * FROM \"Orders\" WHERE 1 = 0"}, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.dbms);
        FakeConnection c = twoTables(k.dbms);
        FieldGrid grid;
        loadFieldRows(c, {"Orders", "Order Details"}, grid, FieldLoadOptions{k.detect});
        EXPECT_EQ(marks(grid), k.marks);
        std::vector<std::string> asked;
        for (const std::string& e : c.log)
            if (e.rfind("schema 28", 0) == 0 || e.rfind("query", 0) == 0 || e == "keys") asked.push_back(e);
        EXPECT_EQ(asked, k.asked);
    }
}

// The page's button detects for any product and only ticks.
TEST(FieldsPage, DetectKeysOnlyTicks) {
    FakeConnection c = twoTables("SQLite");
    FieldsPage page;
    ScriptedUi ui;
    loadFieldRows(c, {"Orders", "Order Details"}, page.grdFields);
    page.grdFields.setAuto(1, true);  // ticked by the user: stays
    page.detectKeys(ui, c);
    EXPECT_EQ(marks(page.grdFields), "PA -A -- P- -A");
    c.properties.erase("DBMS Name");
    page.detectKeys(ui, c);
    EXPECT_EQ(ui.messages, (std::vector<ScriptedUi::Message>{
                               {"Error: 3265\r\nSource: ADODB.Properties (frmFields.cmdDetectKeys_Click)\r\n\r\n"
                                "Description: Item cannot be found in the collection corresponding to the requested "
                                "name or ordinal.",
                                48}}));
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST(FieldLoader, NumericColumnsAreNarrowedByScaleAndPrecision) {
    struct Case {
        int code;
        Variant precision, scale;
        int expected;
    };
    const std::vector<Case> cases{
        {131, 10, 2, 5}, {131, 10, 0, 5}, {131, 9, 0, 3}, {131, 5, 0, 3}, {131, 4, 0, 2},
        {16, 3, 0, 2},   {16, 3, 1, 5},
        {131, {}, {}, 5}, {131, 4, {}, 5}, {131, {}, 0, 5}, {131, "x", 0, 5},  // nothing readable: double
        {3, 4, 2, 3}, {5, 10, 2, 5}, {135, {}, {}, 135},  // other codes as they are
    };
    for (const Case& k : cases) {
        FakeConnection c;
        c.columns["T"] = {{"F", k.code, k.precision, k.scale}};
        FieldGrid grid;
        loadFieldRows(c, {"T"}, grid);
        ASSERT_EQ(grid.rowCount(), 1u);
        EXPECT_EQ(grid.row(0).dataType, k.expected)
            << k.code << " precision " << k.precision.toText() << " scale " << k.scale.toText();
    }
}

// Display copies the earlier pages into the settings and adds the rows (an
// empty table gives none); a failure is shown and keeps the rows loaded
// before it; a missing product name stops the load after the columns
// schema; a stop from the progress hook after `stopAt` tables (0: never)
// leaves the grid as it was without a message.
TEST(FieldsPage, DisplayLoadsTheRowsOrShowsWhyNot) {
    const std::string missingName = "Item cannot be found in the collection corresponding to the requested name or "
                                    "ordinal.";
    const struct {
        const char* broken;
        bool named;
        std::size_t stopAt, rows;
        std::string message;
    } cases[] = {
        {"", true, 0, 8, ""}, {"", true, 1, 1, ""}, {"", true, 3, 1, ""}, {"", true, 4, 1, ""},
        {"Order Details", true, 0, 3, "Error: -2147467259\r\nSource: Microsoft OLE DB Provider for ODBC Drivers "
                                      "(frmFields.Display)\r\n\r\nDescription: Communication link failure"},
        {"", false, 0, 1, "Error: 3265\r\nSource: ADODB.Properties (frmFields.Display)\r\n\r\nDescription: " + missingName},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.broken) + " " + std::to_string(k.stopAt));
        FakeConnection c = twoTables("Oracle");
        c.columns["Empty"] = {};
        c.brokenTable = k.broken;
        if (!k.named) c.properties.erase("DBMS Name");
        FieldsPage page;
        page.grdFields.append({"Kept", "A", true, false, 3, false});
        ScriptedUi ui;
        GenerationSettings settings;
        ProjectPageValues project;
        project.optNew = true;
        project.optProjectActiveXDLL = true;
        project.msStoreDir = "/out";
        std::vector<std::size_t> calls;
        FieldLoadOptions options;
        options.progress = [&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, 4u);
            calls.push_back(done);
            return done != k.stopAt;
        };
        EXPECT_EQ(page.display(ui, settings, {}, project, {}, c, {"Orders", "Empty", "Order Details", "Orders"}, options),
                  k.message.empty() && k.stopAt == 0);
        EXPECT_EQ(page.cancelled, k.stopAt != 0);
        if (k.stopAt) EXPECT_EQ(calls.size(), k.stopAt);
        if (k.message.empty() && !k.stopAt) EXPECT_EQ(calls.size(), 4u);
        EXPECT_EQ(page.grdFields.rowCount(), k.rows);
        EXPECT_EQ(fieldRowText(page.grdFields.row(0)), "Kept\tA\tTrue\tFalse\t3\tFalse");
        EXPECT_TRUE(settings.mbActiveXDll);
        EXPECT_EQ(settings.msStoreDir, "/out");
        if (!k.named) EXPECT_EQ(c.log, (std::vector<std::string>{"schema 4 Orders", "property DBMS Name"}));
        EXPECT_EQ(ui.messages.size(), k.message.empty() ? 0u : 1u);
        for (const auto& m : ui.messages) EXPECT_EQ(m, (ScriptedUi::Message{k.message, 48}));
        EXPECT_EQ(ui.busyDepth, 0);
    }
}

TEST(FieldsPage, SeveralRowsAreMarkedAsClicksOnEachWouldMarkThem) {
    struct Case {
        int column;
        std::optional<bool> on;  // none: toggle
        const char* marks;       // per row: P when Primary, A when Auto
    };
    const std::vector<Case> cases{
        {kColumnPrimary, true, "P- PA P- --"},  {kColumnPrimary, false, "-- -- -- --"},
        {kColumnAuto, true, "PA PA PA --"},     {kColumnAuto, false, "-- P- P- --"},
        {kColumnPrimary, std::nullopt, "P- -- -- --"}, {kColumnAuto, std::nullopt, "PA P- PA --"},
        {kColumnNullable, std::nullopt, "-- PA P- --"},  // other columns change nothing
    };
    ScriptedUi ui;
    for (const Case& k : cases) {
        FieldsPage page;
        for (const auto& [p, a] : std::vector<std::pair<bool, bool>>{{false, false}, {true, true}, {true, false}, {false, false}})
            page.grdFields.append({"T", "F", p, a, 3, false});
        const std::vector<std::size_t> rows{0, 1, 2};  // the last row is not selected
        if (k.on) page.mark(ui, rows, k.column, *k.on);
        else page.toggle(ui, rows, k.column);
        EXPECT_EQ(marks(page.grdFields), k.marks) << k.column << " " << (k.on ? (*k.on ? "on" : "off") : "toggle");
    }
    EXPECT_TRUE(ui.messages.empty());
    FieldsPage().click(ui, 7, kColumnAuto);  // no such row
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(" (frmFields.grdFields_ClickErr)"), std::string::npos);
}

}  // namespace
}  // namespace rw
