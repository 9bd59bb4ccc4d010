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
// that is no identity, and a composite key.
FakeConnection twoTables(const std::string& dbms) {
    FakeConnection c;
    c.properties["DBMS Name"] = dbms;
    c.columns["Orders"] = {{"ID", 3, 10, 0, false}, {"Customer", 130, {}, {}, true}};
    c.columns["Order Details"] = {{"ID", 3, 10, 0, false}, {"OrderID", 3, 10, 0, false}, {"Qty", 2, 5, 0, true}};
    c.keys["Orders"] = {"ID"};
    c.keys["Order Details"] = {"orderid", "Qty"};  // case differs from the column: no match
    c.queries["SELECT IDENTITYCOL FROM Orders"] = [] { return fieldNamed("ID"); };
    return c;
}

std::vector<std::string> rowTexts(const FieldGrid& grid) {
    std::vector<std::string> texts;
    for (const FieldRow& r : grid.rows()) texts.push_back(fieldRowText(r));
    return texts;
}

// SQL Server marks keys and each table's identity column (asked for with the
// table name as it is, unquoted; a failed query marks none), Oracle keys
// only; any other name, or another case of these, marks nothing and asks
// for neither keys nor identities.
TEST(FieldLoader, PreMarksKeysAndIdentitiesByProduct) {
    const std::vector<std::string> none = {
        "Orders\tID\tFalse\tFalse\t3\tFalse", "Orders\tCustomer\tFalse\tFalse\t130\tTrue",
        "Order Details\tID\tFalse\tFalse\t3\tFalse", "Order Details\tOrderID\tFalse\tFalse\t3\tFalse",
        "Order Details\tQty\tFalse\tFalse\t2\tTrue"};
    const struct {
        const char* dbms;
        std::vector<std::string> rows;
        std::vector<std::string> asked;  // log entries for keys and queries, in order
    } cases[] = {
        {"Microsoft SQL Server",
         {"Orders\tID\tTrue\tTrue\t3\tFalse", none[1], none[2], none[3], "Order Details\tQty\tTrue\tFalse\t2\tTrue"},
         {"schema 28 Orders", "query SELECT IDENTITYCOL FROM Orders", "schema 28 Order Details",
          "query SELECT IDENTITYCOL FROM Order Details"}},
        {"Oracle",
         {"Orders\tID\tTrue\tFalse\t3\tFalse", none[1], none[2], none[3], "Order Details\tQty\tTrue\tFalse\t2\tTrue"},
         {"schema 28 Orders", "schema 28 Order Details"}},
        {"microsoft sql server", none, {}},
        {"ORACLE", none, {}},
        {"SQLite", none, {}},
        {"PostgreSQL", none, {}},
        {"ACCESS", none, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.dbms);
        FakeConnection c = twoTables(k.dbms);
        FieldGrid grid;
        loadFieldRows(c, {"Orders", "Order Details"}, grid);
        EXPECT_EQ(rowTexts(grid), k.rows);
        std::vector<std::string> asked;
        for (const std::string& e : c.log)
            if (e.rfind("schema 28", 0) == 0 || e.rfind("query", 0) == 0) asked.push_back(e);
        EXPECT_EQ(asked, k.asked);
    }
}

// Orders is read by itself; Order Details comes from the one pass over all
// tables, which the per-table reads would contradict.
TEST(FieldLoader, DetectKeysMarksKeysAndAutoNumbersForAnyProduct) {
    FakeConnection c = twoTables("SQLite");
    c.onePassKeys["Order Details"] = {{"OrderID"}, {"Qty"}};
    c.queries["SELECT * FROM \"Orders\" WHERE 1 = 0"] = [] {
        return std::make_unique<MemoryRecordset>(std::vector<std::string>{"ID", "Customer"},
                                                 std::vector<std::vector<Variant>>{}, std::vector<bool>{true, false});
    };
    FieldGrid grid;
    loadFieldRows(c, {"Orders", "Order Details"}, grid, FieldLoadOptions{true});
    EXPECT_EQ(rowTexts(grid), (std::vector<std::string>{
                                  "Orders\tID\tTrue\tTrue\t3\tFalse",
                                  "Orders\tCustomer\tFalse\tFalse\t130\tTrue",
                                  "Order Details\tID\tFalse\tFalse\t3\tFalse",
                                  "Order Details\tOrderID\tTrue\tFalse\t3\tFalse",
                                  "Order Details\tQty\tFalse\tTrue\t2\tTrue",
                              }));
    EXPECT_EQ(std::count(c.log.begin(), c.log.end(), "keys"), 1);
    EXPECT_EQ(std::find(c.log.begin(), c.log.end(), "schema 28 Order Details"), c.log.end());
}

TEST(FieldsPage, DetectKeysOnlyTicksAndShowsItsFailure) {
    FakeConnection c = twoTables("Microsoft SQL Server");
    c.onePassKeys["Order Details"] = {{"OrderID"}, {"Qty"}};
    FieldsPage page;
    ScriptedUi ui;
    loadFieldRows(c, {"Orders", "Order Details"}, page.grdFields);
    page.grdFields.setAuto(1, true);      // ticked by the user: stays
    page.grdFields.setPrimary(4, false);  // cleared by the user and not detected: stays
    page.detectKeys(ui, c);
    EXPECT_EQ(rowTexts(page.grdFields), (std::vector<std::string>{
                                            "Orders\tID\tTrue\tTrue\t3\tFalse",
                                            "Orders\tCustomer\tFalse\tTrue\t130\tTrue",
                                            "Order Details\tID\tFalse\tFalse\t3\tFalse",
                                            "Order Details\tOrderID\tTrue\tFalse\t3\tFalse",
                                            "Order Details\tQty\tFalse\tTrue\t2\tTrue",
                                        }));
    EXPECT_TRUE(ui.messages.empty());
    c.properties.erase("DBMS Name");
    page.detectKeys(ui, c);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error: 3265\r\nSource: ADODB.Properties (frmFields.cmdDetectKeys_Click)\r\n\r\nDescription: Item "
              "cannot be found in the collection corresponding to the requested name or ordinal.");
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
        {131, {}, {}, 5},       // nothing to read: double
        {131, 4, {}, 5},        // no scale
        {131, {}, 0, 5},        // no precision
        {131, "x", 0, 5},       // unreadable
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

TEST(FieldsPage, DisplayFillsCaptionInstructionsAndRows) {
    FakeConnection c = twoTables("Microsoft SQL Server");
    c.columns["Empty"] = {};
    ScriptedUi ui;
    GenerationSettings settings;
    FieldsPage page;
    ProjectPageValues project;
    project.optNew = true;
    project.optProjectActiveXDLL = true;
    project.msStoreDir = "/out";
    EXPECT_TRUE(page.display(ui, settings, WelcomeOptions{}, project, ConnectionPageValues{}, c,
                             {"Empty", "Orders"}));
    EXPECT_EQ(page.caption, "Rowwright - Choose Keys");
    EXPECT_EQ(page.txtInstructions.rfind(
                  "IMPORTANT!!\r\n\r\nEach table you chose is represented at the right, along with each of its", 0),
              0u);
    EXPECT_NE(page.txtInstructions.find("you MUST indicate anyPrimary Key field(s)"), std::string::npos);
    EXPECT_NE(page.txtInstructions.find("Depending on your DBMS and driver, Rowwright may pre-populate your Auto "
                                        "and/or Primary columns for you."),
              std::string::npos);
    EXPECT_EQ(page.grdFields.rowCount(), 2u);  // the empty table gives none
    EXPECT_TRUE(settings.mbActiveXDll);
    EXPECT_EQ(settings.msStoreDir, "/out");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST(FieldsPage, AFailureIsShownAndKeepsTheRowsLoadedBeforeIt) {
    FakeConnection c = twoTables("Oracle");
    c.brokenTable = "Order Details";
    FieldsPage page;
    ScriptedUi ui;
    GenerationSettings settings;
    EXPECT_FALSE(page.display(ui, settings, {}, {}, {}, c, {"Orders", "Order Details", "Orders"}));
    EXPECT_EQ(page.grdFields.rowCount(), 2u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error: -2147467259\r\nSource: Microsoft OLE DB Provider for ODBC Drivers (frmFields.Display)\r\n\r\n"
              "Description: Communication link failure");
    EXPECT_EQ(ui.messages[0].style, 48);
    EXPECT_EQ(ui.busyDepth, 0);
}

TEST(FieldsPage, AStopFromTheProgressHookLeavesTheGridAsItWasWithoutAMessage) {
    // The hook stops when it is told `stopAt` tables are done; 0 never stops.
    for (const std::size_t stopAt : {1u, 2u, 3u, 0u}) {
        FakeConnection c = twoTables("Oracle");
        FieldsPage page;
        page.grdFields.append({"Kept", "A", true, false, 3, false});
        std::vector<std::size_t> calls;
        FieldLoadOptions options;
        options.progress = [&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, 3u);
            calls.push_back(done);
            return done != stopAt;
        };
        ScriptedUi ui;
        GenerationSettings settings;
        const bool shown = page.display(ui, settings, {}, {}, {}, c, {"Orders", "Order Details", "Orders"}, options);
        EXPECT_EQ(shown, stopAt == 0) << stopAt;
        EXPECT_EQ(page.cancelled, stopAt != 0) << stopAt;
        EXPECT_EQ(calls.size(), stopAt == 0 ? 3u : stopAt) << stopAt;
        EXPECT_EQ(page.grdFields.rowCount(), stopAt == 0 ? 8u : 1u) << stopAt;
        EXPECT_EQ(fieldRowText(page.grdFields.row(0)), "Kept\tA\tTrue\tFalse\t3\tFalse");
        EXPECT_TRUE(ui.messages.empty()) << stopAt;
    }
}

TEST(FieldsPage, AMissingDbmsNameStopsTheLoadAfterTheColumnsSchema) {
    FakeConnection c = twoTables("Oracle");
    c.properties.erase("DBMS Name");
    FieldsPage page;
    ScriptedUi ui;
    GenerationSettings settings;
    EXPECT_FALSE(page.display(ui, settings, {}, {}, {}, c, {"Orders"}));
    EXPECT_EQ(c.log, (std::vector<std::string>{"schema 4 Orders", "property DBMS Name"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error: 3265\r\nSource: ADODB.Properties (frmFields.Display)\r\n\r\nDescription: Item cannot be found in "
              "the collection corresponding to the requested name or ordinal.");
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
    };
    for (const Case& k : cases) {
        FieldsPage page;
        ScriptedUi ui;
        for (const auto& [p, a] : std::vector<std::pair<bool, bool>>{{false, false}, {true, true}, {true, false}, {false, false}})
            page.grdFields.append({"T", "F", p, a, 3, false});
        const std::vector<std::size_t> rows{0, 1, 2};  // the last row is not selected
        if (k.on) page.mark(ui, rows, k.column, *k.on);
        else page.toggle(ui, rows, k.column);
        std::string marks;
        for (const FieldRow& r : page.grdFields.rows())
            marks += std::string(marks.empty() ? "" : " ") + (r.primary ? "P" : "-") + (r.autoNumber ? "A" : "-");
        EXPECT_EQ(marks, k.marks) << k.column << " " << (k.on ? (*k.on ? "on" : "off") : "toggle");
    }
}

TEST(FieldsPage, ClickRuleTiesAutoToPrimary) {
    FieldsPage page;
    ScriptedUi ui;
    page.grdFields.append({"T", "A", false, false, 3, false});
    page.grdFields.append({"T", "B", true, true, 3, false});
    page.grdFields.append({"T", "C", true, true, 3, false});

    page.click(ui, 0, kColumnAuto);  // ticking Auto ticks Primary
    EXPECT_TRUE(page.grdFields.row(0).autoNumber);
    EXPECT_TRUE(page.grdFields.row(0).primary);

    page.click(ui, 1, kColumnPrimary);  // clearing Primary clears Auto
    EXPECT_FALSE(page.grdFields.row(1).primary);
    EXPECT_FALSE(page.grdFields.row(1).autoNumber);

    page.click(ui, 2, kColumnAuto);  // clearing Auto leaves Primary
    EXPECT_FALSE(page.grdFields.row(2).autoNumber);
    EXPECT_TRUE(page.grdFields.row(2).primary);

    page.click(ui, 2, kColumnNullable);  // other columns change nothing
    EXPECT_EQ(fieldRowText(page.grdFields.row(2)), "T\tC\tTrue\tFalse\t3\tFalse");
    EXPECT_TRUE(ui.messages.empty());

    page.click(ui, 7, kColumnAuto);  // no such row
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(" (frmFields.grdFields_ClickErr)"), std::string::npos);
}

}  // namespace
}  // namespace rw
