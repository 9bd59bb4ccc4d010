// The table page's logic: the catalogue filter, the four moves and Next.
#include <gtest/gtest.h>

#include "core/table_choice.h"
#include "support/fake_db.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using Strings = std::vector<std::string>;

Strings texts(const std::vector<ListEntry>& list) {
    Strings t;
    for (const ListEntry& e : list) t.push_back(e.text);
    return t;
}

// Only user tables, in catalogue order; a cancelled catalogue is silent, any other error is shown.
TEST(TablePage, DisplayListsTheUserTablesOrSaysWhyNot) {
    test::FakeConnection c;
    c.tables = {{"Orders", "TABLE"}, {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"}, {"msysLocal", "TABLE"},
                {"MSy", "TABLE"}, {"Order Totals", "VIEW"}, {"sqlite_sequence", "SYSTEM TABLE"},
                {"Dtproperties", "TABLE"}, {"Customers", "table"}, {"Alpha", "TABLE"}};
    TablePage page;
    ScriptedUi ui;
    EXPECT_EQ(page.display(ui, c), TablePage::Shown::Yes);
    EXPECT_EQ(texts(page.lstYes), (Strings{"Orders", "msysLocal", "MSy", "Dtproperties", "Alpha"}));
    c.tablesError = RuntimeError(3712, "Provider", "Operation Canceled");
    EXPECT_EQ(page.display(ui, c), TablePage::Shown::Cancelled);
    c.tablesError = RuntimeError(-2147467259, "ODBC SQLTables", "Communication link failure (SQLSTATE 08S01)");
    EXPECT_EQ(page.display(ui, c), TablePage::Shown::Failed);
    EXPECT_EQ(ui.messages, (std::vector<ScriptedUi::Message>{
                               {"Error: -2147467259\r\nSource: ODBC SQLTables (frmChooseTables.Display)\r\n\r\n"
                                "Description: Communication link failure (SQLSTATE 08S01)",
                                48}}));
}

TEST(TablePage, MovesWalkTheSourceListBackwards) {
    TablePage page;
    ScriptedUi ui;
    page.lstYes = {{"A", true}, {"B", false}, {"C", true}};
    page.dontInclude(ui);
    page.lstNo[1].selected = true;  // A, when the move walked backwards
    page.include(ui);
    EXPECT_EQ(texts(page.lstYes), (Strings{"B", "A"}));
    EXPECT_EQ(texts(page.lstNo), (Strings{"C"}));
    page.dontIncludeAll(ui);
    page.includeAll(ui);
    EXPECT_EQ(page.chosenTables(), (Strings{"B", "A", "C"}));
    EXPECT_TRUE(page.lstNo.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(TablePage, NextWithNothingIncludedBeepsAndStays) {
    TablePage page;
    ScriptedUi ui;
    int fieldsShown = 0;
    const auto showFields = [&] { return ++fieldsShown > 0; };
    EXPECT_FALSE(page.next(ui, showFields));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(ui.messages, (std::vector<ScriptedUi::Message>{
                               {"You have not chosen any tables from which to generate objects.", 48, "Rowwright"}}));
    page.lstYes = {{"Orders", false}};
    EXPECT_TRUE(page.next(ui, showFields));
    EXPECT_FALSE(page.next(ui, [] { return false; }));  // the fields page failed: this page stays
    EXPECT_EQ(fieldsShown, 1);
}

}  // namespace
}  // namespace rw
