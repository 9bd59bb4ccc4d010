// The table page's logic: the catalogue filter, the four moves and Next.
#include <gtest/gtest.h>

#include "core/table_choice.h"
#include "support/fake_db.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using test::FakeConnection;

std::vector<std::string> texts(const std::vector<ListEntry>& list) {
    std::vector<std::string> t;
    for (const ListEntry& e : list) t.push_back(e.text);
    return t;
}

TEST(TablePage, ListsOnlyUserTablesInCatalogueOrder) {
    FakeConnection c;
    c.tables = {{"Orders", "TABLE"},        {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"},
                {"msysLocal", "TABLE"},     {"MSy", "TABLE"},          {"Order Totals", "VIEW"},
                {"sqlite_sequence", "SYSTEM TABLE"}, {"Dtproperties", "TABLE"}, {"Customers", "table"},
                {"Alpha", "TABLE"}};
    TablePage page;
    ScriptedUi ui;
    EXPECT_EQ(page.display(ui, c), TablePage::Shown::Yes);
    EXPECT_EQ(texts(page.lstYes),
              (std::vector<std::string>{"Orders", "msysLocal", "MSy", "Dtproperties", "Alpha"}));
    EXPECT_TRUE(page.lstNo.empty());
    EXPECT_EQ(TablePage::caption(), "Rowwright - Choose Tables");
    EXPECT_EQ(TablePage::instructions(),
              "Rowwright will create your data objects based on the tables you choose in the Include listbox to the "
              "right.  All tables are chosen by default.");
}

TEST(TablePage, ACancelledCatalogueIsSilentAndOtherErrorsAreShown) {
    FakeConnection c;
    TablePage page;
    ScriptedUi ui;
    c.tablesError = RuntimeError(3712, "Provider", "Operation Canceled");
    EXPECT_EQ(page.display(ui, c), TablePage::Shown::Cancelled);
    EXPECT_TRUE(ui.messages.empty());

    c.tablesError = RuntimeError(-2147467259, "ODBC SQLTables", "Communication link failure (SQLSTATE 08S01)");
    EXPECT_EQ(page.display(ui, c), TablePage::Shown::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error: -2147467259\r\nSource: ODBC SQLTables (frmChooseTables.Display)\r\n\r\nDescription: "
              "Communication link failure (SQLSTATE 08S01)");
}

TEST(TablePage, MovesWalkTheSourceListBackwards) {
    TablePage page;
    ScriptedUi ui;
    page.lstYes = {{"A", true}, {"B", false}, {"C", true}};
    page.dontInclude(ui);
    EXPECT_EQ(texts(page.lstYes), (std::vector<std::string>{"B"}));
    EXPECT_EQ(texts(page.lstNo), (std::vector<std::string>{"C", "A"}));

    page.lstNo[1].selected = true;  // A
    page.include(ui);
    EXPECT_EQ(texts(page.lstYes), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(texts(page.lstNo), (std::vector<std::string>{"C"}));

    page.dontIncludeAll(ui);
    EXPECT_TRUE(page.lstYes.empty());
    EXPECT_EQ(texts(page.lstNo), (std::vector<std::string>{"C", "A", "B"}));

    page.includeAll(ui);
    EXPECT_EQ(texts(page.lstYes), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_TRUE(page.lstNo.empty());
    EXPECT_EQ(page.chosenTables(), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(TablePage, NextWithNothingIncludedBeepsAndStays) {
    TablePage page;
    ScriptedUi ui;
    int fieldsShown = 0;
    auto showFields = [&] {
        ++fieldsShown;
        return true;
    };
    EXPECT_FALSE(page.next(ui, showFields));
    EXPECT_EQ(fieldsShown, 0);
    EXPECT_EQ(ui.beeps, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "You have not chosen any tables from which to generate objects.");
    EXPECT_EQ(ui.messages[0].style, 48);
    EXPECT_EQ(ui.messages[0].title, "Rowwright");

    page.lstYes = {{"Orders", false}};
    EXPECT_TRUE(page.next(ui, showFields));
    EXPECT_FALSE(page.next(ui, [] { return false; }));  // the fields page failed: this page stays
    EXPECT_EQ(fieldsShown, 1);
}

}  // namespace
}  // namespace rw
