#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gen/collection/coll_file.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::expectGolden;
using test::GenFixture;
using test::readable;
using test::row;

const std::string kTable = "Order Details";
const std::string kClass = "OrderDetails";

// Every data type group, nullable and not, a key of a number and a date,
// a date-only key and a time (quoted in SQL, other in the sample filters),
// two Auto fields, names with spaces and a lower-case first letter, and a
// row of another table around it.
void orderDetails(GenFixture& fx) {
    const std::string& t = kTable;
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true, false),
                         row(t, "ID", 3, true, true, false),
                         row(t, "Ship Name", 130, false, false, true),
                         row(t, "orderDate", 135, true, false, true),
                         row(t, "Shipped", 11, false, false, true),
                         row(t, "Freight", 6, false, false, true),
                         row(t, "Qty", 2, false, false, false),
                         row(t, "Tiny", 17, false, false, true),
                         row(t, "Ratio", 4, false, false, true),
                         row(t, "Amount", 5, false, false, true),
                         row(t, "Code", 129, false, false, false),
                         row(t, "Memo", 8, false, false, true),
                         row(t, "Born", 7, false, false, true),
                         row(t, "Due", 133, true, false, true),
                         row(t, "Opens", 134, false, false, true),
                         row(t, "Notes", 200, false, false, true),
                         row(t, "Total", 20, false, false, true),
                         row(t, "Line ID", 3, false, true, false),
                         row("Zeta", "Z", 3)});
}

std::string collFile(GenFixture& fx, const std::string& typeWord = "") {
    return fx.capture([&](GenContext& c, int n) { msGenCollFile(c, n, kTable, kClass, typeWord); });
}

TEST(CollFile, AllOptionsOnForEachProduct) {
    struct Case {
        const char* dbms;
        const char* golden;
        const char* projectKind;
    };
    const std::vector<Case> cases = {
        {"Microsoft SQL Server", "collection_all_on_sqlserver.txt", "Exe"},
        {"ACCESS", "collection_all_on_access.txt", "Exe"},
        {"MS Jet", "collection_all_on_msjet.txt", "Exe"},
        {"Oracle", "collection_all_on_oracle.txt", "OleDll"},
        {"PostgreSQL", "collection_all_on_other.txt", "Exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dbms);
        GenFixture fx;
        fx.newProject(c.projectKind);
        fx.conn.set("DBMS Name", c.dbms);
        orderDetails(fx);
        expectGolden(c.golden, collFile(fx));
        EXPECT_TRUE(fx.ui.messages.empty());
    }
}

TEST(CollFile, AllOptionsOff) {
    GenFixture fx;
    fx.allOptions(false);
    orderDetails(fx);
    expectGolden("collection_all_off.txt", collFile(fx));
}

TEST(CollFile, MissingDbmsNameCutsOnlyTheGeneratorsThatNeedIt) {
    GenFixture fx;
    fx.conn = OfflineConnection(std::nullopt, std::string("Northwind"));
    orderDetails(fx);
    expectGolden("collection_missing_dbms.txt", collFile(fx));
    const std::string missing =
        "Error: 3265\r\nSource: ADODB.Properties (frmFields.%)\r\n\r\nDescription: Item cannot be found in the "
        "collection corresponding to the requested name or ordinal.";
    std::vector<std::string> expected;
    for (const char* name : {"msGenCollAddProc", "msGenCollRefreshProc", "msGenCollRemoveProc"}) {
        std::string text = missing;
        expected.push_back(text.replace(text.find('%'), 1, name));
    }
    EXPECT_EQ(fx.messageTexts(), expected);
}

TEST(CollFile, MissingDbmsNameDoesNotMatterWithoutBooleanDateOrNotes) {
    GenFixture fx;
    fx.conn = OfflineConnection(std::nullopt, std::string("Northwind"));
    fx.settings.mbDevNotes = false;
    fx.grid = FieldGrid({row(kTable, "ID", 3, true, true, false), row(kTable, "Name", 130)});
    const std::string text = readable(collFile(fx));
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(text.substr(text.size() - 13), "End Function\n");
}

TEST(CollFile, LoadedProjectHasNoFrameAndEndsWith500EmptyLines) {
    GenFixture fx;
    fx.settings.mbLoadedProject = true;
    fx.settings.mbModuleHeaders = false;
    orderDetails(fx);
    std::string text = readable(collFile(fx));
    EXPECT_EQ(text.rfind("Private mCollection As Collection\nPrivate msRefreshFilter As String\n", 0), 0u);
    const std::string tail = "End Function\n" + std::string(500, '\n');
    ASSERT_GE(text.size(), tail.size() + 1);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.find("Option Explicit"), std::string::npos);
    EXPECT_EQ(text.find("Attribute VB_"), std::string::npos);

    fx.settings.mbModuleHeaders = true;
    text = readable(collFile(fx));
    EXPECT_EQ(text.rfind("' Module Name: clsOrderDetailsColl.cls\n", 0), 0u);
    EXPECT_EQ(text.find("Option Explicit"), std::string::npos);
    EXPECT_NE(text.find("'=========================================================================\n"
                        "Private mCollection As Collection\n"),
              std::string::npos);
}

TEST(CollFile, DevNotesWithoutFunctionHeadersOnlyInTheModuleHeader) {
    GenFixture fx;
    fx.settings.mbFunctionHeaders = false;
    orderDetails(fx);
    const std::string text = readable(collFile(fx));
    EXPECT_EQ(text.find("' Procedure Name:"), std::string::npos);
    const auto notes = text.find("' [Developer Notes from 'Rowwright']");
    ASSERT_NE(notes, std::string::npos);
    EXPECT_EQ(text.find("' [Developer Notes from 'Rowwright']", notes + 1), std::string::npos);
    EXPECT_EQ(text.find("lsFilter"), std::string::npos);
}

TEST(CollFile, AnErrorOfItsOwnIsShownWithItsSource) {
    GenFixture fx;
    orderDetails(fx);
    GenContext c = fx.ctx();
    msGenCollFile(c, 42, kTable, kClass, "");
    EXPECT_EQ(fx.messageTexts(),
              std::vector<std::string>{
                  "Error: 52\r\nSource: RwtAddIn (frmFields.msGenCollFile)\r\n\r\nDescription: Bad file name or number"});
}

}  // namespace
}  // namespace rw
