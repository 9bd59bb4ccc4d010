// Loading the field rows from the schema: pre-marking by product, the
// identity query, the numeric mapping, failures, and the grid's click rule.
#include <gtest/gtest.h>

#include "core/field_loader.h"
#include "support/fake_db.h"
#include "support/golden.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using test::FakeColumn;
using test::FakeConnection;

// Orders has an identity ID that is its key; Order Details has a column ID
// that is no identity, and a composite key (which only the one pass over
// all tables that detection makes sees whole).
FakeConnection twoTables(const std::string& dbms) {
    FakeConnection c;
    c.properties["DBMS Name"] = dbms;
    c.columns["Orders"] = {{"ID", 3, 10, 0, false}, {"Customer", 130, {}, {}, true}};
    c.columns["Order Details"] = {{"ID", 3, 10, 0, false}, {"OrderID", 3, 10, 0, false}, {"Qty", 2, 5, 0, true}};
    c.keys = {{"Orders", {"ID"}}, {"Order Details", {"orderid", "Qty"}}};  // case differs from the column: no match
    c.queries["SELECT IDENTITYCOL FROM Orders"] = [] {
        return std::make_unique<MemoryRecordset>(std::vector<std::string>{"ID"}, std::vector<std::vector<Variant>>{});
    };
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
// for neither keys nor identities. Detection works for any product. Then
// the numeric columns narrowed by precision and scale.
TEST(FieldLoader, PreMarksKeysAndIdentitiesByProductOrDetectionAndNarrowsNumbers) {
    std::string log;
    for (const auto& [dbms, detect] : std::vector<std::pair<const char*, bool>>{
             {"Microsoft SQL Server", false}, {"Oracle", false}, {"microsoft sql server", false}, {"ORACLE", false},
             {"SQLite", false}, {"ACCESS", false}, {"SQLite", true}}) {
        FakeConnection c = twoTables(dbms);
        FieldGrid grid;
        loadFieldRows(c, {"Orders", "Order Details"}, grid, FieldLoadOptions{detect});
        log += "== " + std::string(dbms) + (detect ? ", detecting\n" : "\n") + marks(grid) + "\n";
        for (const std::string& e : c.log)
            if (e.rfind("schema 28", 0) == 0 || e.rfind("query", 0) == 0 || e == "keys") log += e + "\n";
    }
    log += "== numeric columns (code precision scale: type)\n";
    for (const FakeColumn& k : std::vector<FakeColumn>{
             {"", 131, 10, 2}, {"", 131, 10, 0}, {"", 131, 9, 0}, {"", 131, 5, 0}, {"", 131, 4, 0}, {"", 16, 3, 0},
             {"", 16, 3, 1}, {"", 131, {}, {}}, {"", 131, 4, {}}, {"", 131, {}, 0}, {"", 131, "x", 0}, {"", 3, 4, 2},
             {"", 5, 10, 2}, {"", 135, {}, {}}}) {
        FakeConnection c;
        c.columns["T"] = {k};
        FieldGrid grid;
        loadFieldRows(c, {"T"}, grid);
        ASSERT_EQ(grid.rowCount(), 1u);
        log += std::to_string(k.dataType) + " " + k.precision.toText() + " " + k.scale.toText() + ": " +
               std::to_string(grid.row(0).dataType) + "\n";
    }
    test::expectGolden("field_loader_marks.txt", log);
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
    EXPECT_EQ(shownText(ui), "message 48 Rowwright: Error: 3265 | Source: ADODB.Properties (frmFields.cmdDetectKeys_Click)"
                             " |  | Description: Item cannot be found in the collection corresponding to the requested "
                             "name or ordinal.\n");
}

// Display copies the earlier pages into the settings and adds the rows (an
// empty table gives none); a failure is shown and keeps the rows loaded
// before it; a missing product name stops the load after the columns
// schema; a stop from the progress hook after `stopAt` tables (0: never)
// leaves the grid as it was without a message.
TEST(FieldsPage, DisplayLoadsTheRowsOrShowsWhyNot) {
    const struct {
        const char* broken;
        bool named;
        std::size_t stopAt;
    } cases[] = {{"", true, 0}, {"", true, 1}, {"", true, 3}, {"", true, 4}, {"Order Details", true, 0}, {"", false, 0}};
    std::string log;
    for (const auto& k : cases) {
        FakeConnection c = twoTables("Oracle");
        c.columns["Empty"] = {};
        c.brokenTable = k.broken;
        if (!k.named) c.properties.erase("DBMS Name");
        FieldsPage page;
        page.grdFields.append({"Kept", "A", true, false, 3, false});
        ScriptedUi ui;
        GenerationSettings settings;
        ProjectPageValues project;
        project.optNew = project.optProjectActiveXDLL = true, project.msStoreDir = "/out";
        log += "== broken '" + std::string(k.broken) + "', stop at " + std::to_string(k.stopAt) +
               (k.named ? "\nprogress" : ", no product name\nprogress");
        FieldLoadOptions options;
        options.progress = [&](std::size_t done, std::size_t total) {
            log += " " + std::to_string(done) + "/" + std::to_string(total);
            return done != k.stopAt;
        };
        const bool shownOk =
            page.display(ui, settings, {}, project, {}, c, {"Orders", "Empty", "Order Details", "Orders"}, options);
        log += std::string(shownOk ? "\nshown" : "\nnot shown") + (page.cancelled ? ", cancelled\n" : "\n");
        for (const FieldRow& r : page.grdFields.rows()) log += fieldRowText(r) + "\n";
        log += "ActiveX DLL " + std::to_string(settings.mbActiveXDll) + ", store " + settings.msStoreDir + "\n";
        if (!k.named)
            for (const std::string& e : c.log) log += e + "\n";
        log += shownText(ui);
    }
    test::expectGolden("fields_page_display.txt", log);
}

// Rows 0 to 2 of four marked on, off or toggled in a column; the other
// columns change nothing.
TEST(FieldsPage, SeveralRowsAreMarkedAsClicksOnEachWouldMarkThem) {
    ScriptedUi ui;
    std::string log;
    for (const int column : {kColumnPrimary, kColumnAuto, kColumnNullable})
        for (const char* how : {"on", "off", "toggled"}) {
            FieldsPage page;
            for (const auto& [p, a] : {std::pair{false, false}, {true, true}, {true, false}, {false, false}})
                page.grdFields.append({"T", "F", p, a, 3, false});
            const std::vector<std::size_t> rows{0, 1, 2};
            if (how[1] == 'o') page.toggle(ui, rows, column);
            else page.mark(ui, rows, column, how[1] == 'n');
            log += "column " + std::to_string(column) + " " + how + ": " + marks(page.grdFields) + "\n";
        }
    FieldsPage().click(ui, 7, kColumnAuto);  // no such row
    test::expectGolden("fields_page_marks.txt", log + shownText(ui));
}

}  // namespace
}  // namespace rw
