// The table page's logic: the catalogue filter, the four moves and Next.
#include <gtest/gtest.h>

#include "core/table_choice.h"
#include "support/fake_db.h"
#include "support/golden.h"
#include "support/scripted_ui.h"

namespace rw {
namespace {

using Strings = std::vector<std::string>;

std::string texts(const std::vector<ListEntry>& list) {
    std::string t;
    for (const ListEntry& e : list) t += " [" + e.text + "]";
    return t + "\n";
}

// Display lists only user tables, in catalogue order; a cancelled catalogue
// is silent, any other error is shown. The moves walk the source list
// backwards; Next with nothing included beeps and stays, and stays when
// the fields page fails.
TEST(TablePage, DisplayMovesAndNextLeaveThisTranscript) {
    test::FakeConnection c;
    c.tables = {{"Orders", "TABLE"}, {"dtproperties", "TABLE"}, {"MSysObjects", "TABLE"}, {"msysLocal", "TABLE"}, {"MSy", "TABLE"},
                {"Order Totals", "VIEW"}, {"sqlite_sequence", "SYSTEM TABLE"}, {"Dtproperties", "TABLE"}, {"Customers", "table"},
                {"Alpha", "TABLE"}};
    TablePage page;
    ScriptedUi ui;
    std::string log;
    for (const std::optional<RuntimeError>& error :
         std::vector<std::optional<RuntimeError>>{std::nullopt, RuntimeError(3712, "Provider", "Operation Canceled"),
          RuntimeError(-2147467259, "ODBC SQLTables", "Communication link failure (SQLSTATE 08S01)")}) {
        c.tablesError = error;
        const char* const shown[] = {"shown:", "cancelled:", "failed:"};
        log += shown[static_cast<int>(page.display(ui, c))];
        log += texts(page.lstYes);
    }
    page.lstYes = {{"A", true}, {"B", false}, {"C", true}};
    page.dontInclude(ui);
    log += "left out A and C:" + texts(page.lstYes) + "not included:" + texts(page.lstNo);
    page.lstNo[1].selected = true;  // A, when the move walked backwards
    page.include(ui);
    log += "included A:" + texts(page.lstYes) + "not included:" + texts(page.lstNo);
    page.dontIncludeAll(ui), page.includeAll(ui);
    EXPECT_EQ(page.chosenTables(), (Strings{"B", "A", "C"}));
    EXPECT_TRUE(page.lstNo.empty());
    int fieldsShown = 0;
    const auto showFields = [&] { return ++fieldsShown > 0; };
    page.lstYes.clear();
    log += "next with nothing: " + std::to_string(page.next(ui, showFields)) + "\n";
    page.lstYes = {{"Orders", false}};
    log += "next: " + std::to_string(page.next(ui, showFields)) + "\n";
    log += "next, the fields page failing: " + std::to_string(page.next(ui, [] { return false; })) + "\n";
    log += "fields shown " + std::to_string(fieldsShown) + ", beeps " + std::to_string(ui.beeps) + "\n";
    test::expectGolden("table_page.txt", log + shownText(ui));
}

}  // namespace
}  // namespace rw
