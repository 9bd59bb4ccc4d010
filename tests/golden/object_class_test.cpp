#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gen/object/object_class.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::GenFixture;
using test::readable;
using test::row;
using test::expectGolden;

// The Update function alone, as readable text.
std::string updateText(GenFixture& fx, const std::string& table, const std::string& classBase) {
    return readable(
        fx.capture([&](GenContext& c, int n) { msGenObjectUpdateMethod(c, n, classBase, table); }));
}

std::string objectFile(GenFixture& fx, const std::string& table, const std::string& classBase,
                       const std::string& typeWord = "") {
    return fx.capture([&](GenContext& c, int n) { msGenObjectFile(c, n, table, classBase, typeWord); });
}

bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

void codeOnly(GenFixture& fx) {
    fx.allOptions(false);
    fx.settings.mbCode = true;
}

// A table that exercises every data type group and both key kinds; a date
// without time and a time have no Let checks but are quoted in SQL.
void ordersTable(GenFixture& fx, const std::string& table = "Orders") {
    fx.grid = FieldGrid({row(table, "OrderID", 3, true, true), row(table, "CustomerID", 129, true),
                         row(table, "Order Date", 135), row(table, "Qty", 2), row(table, "Level", 17),
                         row(table, "Active", 11), row(table, "Price", 14), row(table, "First Name", 130),
                         row(table, "Due", 133), row(table, "Opens", 134)});
}

// SET values and key conditions of Boolean, date and text columns under
// each product name; names are compared exactly. A date without time (Due)
// takes the date forms, a time (Opens) the text form.
TEST(ObjectUpdate, BooleanAndDateFormsFollowTheProduct) {
    struct Case {
        const char* dbms;
        const char* active;
        const char* stampSet;
        const char* stampKey;
    };
    const std::vector<Case> cases = {
        {"ACCESS", R"("Active = " & Active)", R"("Stamp = #" & Stamp & "#")",
         R"("AND Stamp = #" & mvarStamp_ReadBuf & "#")"},
        {"MS Jet", R"("Active = " & Active)", R"("Stamp = #" & Stamp & "#")",
         R"("AND Stamp = #" & mvarStamp_ReadBuf & "#")"},
        {"Microsoft SQL Server", R"("Active = " & CInt(Active))",
         R"("Stamp = '" & Format(Stamp, "mm/dd/yyyy hh:mm:ss") & "'")",
         R"("AND Stamp = '" & Format(mvarStamp_ReadBuf, "mm/dd/yyyy hh:mm:ss") & "'")"},
        {"Oracle", R"("Active = " & Active)", R"("Stamp = '" & Format(Stamp, "dd-mmm-yy") & "'")",
         R"("AND Stamp = '" & Format(mvarStamp_ReadBuf, "dd-mmm-yy") & "'")"},
    };
    const Case timestamp = {"", R"("Active = " & Active)",
                            R"("Stamp = {ts '" & Format(Stamp, "yyyy-mm-dd hh:nn:ss") & "'}")",
                            R"("AND Stamp = {ts '" & Format(mvarStamp_ReadBuf, "yyyy-mm-dd hh:nn:ss") & "'}")"};
    std::vector<Case> all = cases;
    for (const char* other : {"PostgreSQL", "Access", "Microsoft SQL Server 2000"}) {
        Case c = timestamp;
        c.dbms = other;
        all.push_back(c);
    }
    for (const Case& c : all) {
        SCOPED_TRACE(c.dbms);
        GenFixture fx;
        codeOnly(fx);
        fx.conn.set("DBMS Name", c.dbms);
        fx.grid = FieldGrid({row("Log", "Stamp", 135, true), row("Log", "Active", 11, true),
                             row("Log", "Code", 130, true), row("Log", "Due", 133, true), row("Log", "Opens", 134, true)});
        const std::string text = updateText(fx, "Log", "Log");
        EXPECT_TRUE(hasLine(text, "        lsSQL = lsSQL & " + std::string(c.active) + " & \", \""));
        for (const std::string date : {"Stamp", "Due"}) {
            auto named = [&](std::string t) {
                for (auto at = t.find("Stamp"); at != std::string::npos; at = t.find("Stamp", at + date.size()))
                    t.replace(at, 5, date);
                return t;
            };
            EXPECT_TRUE(hasLine(text, "        lsSQL = lsSQL & " + named(c.stampSet) + " & \", \"")) << date;
            EXPECT_TRUE(hasLine(text, "    lsSQL = lsSQL & " + named(c.stampKey) + " & \" \"")) << date;
        }
        // Boolean, text and time keys do not depend on the product.
        EXPECT_TRUE(hasLine(text, R"(    lsSQL = lsSQL & "AND Active = " & mvarActive_ReadBuf & " ")"));
        EXPECT_TRUE(hasLine(
            text, R"(    lsSQL = lsSQL & "AND Code = '" & Replace(mvarCode_ReadBuf, "'", "''") & "'" & " ")"));
        EXPECT_TRUE(hasLine(text, R"(        lsSQL = lsSQL & "Opens = '" & Replace(Opens, "'", "''") & "'" & ", ")"));
        EXPECT_TRUE(hasLine(
            text, R"(    lsSQL = lsSQL & "AND Opens = '" & Replace(mvarOpens_ReadBuf, "'", "''") & "'" & " ")"));
        EXPECT_TRUE(fx.ui.messages.empty());
    }
}

TEST(ObjectUpdate, MissingDbmsNameCutsTheFunctionAfterTheStatementHead) {
    GenFixture fx;
    fx.allOptions(false);
    fx.settings.mbCode = true;
    fx.settings.mbLoadedProject = true;
    fx.conn = OfflineConnection(std::nullopt, std::string("Northwind"));
    fx.grid = FieldGrid({row("Log", "Id", 3, true), row("Log", "Note", 130), row("Log", "Active", 11)});
    const std::string file = readable(objectFile(fx, "Log", "Log"));
    // The generator stops after the head line; the object class goes on with
    // its 500 empty lines.
    EXPECT_NE(file.find("    lsSQL = \"UPDATE Log SET \"\n" + std::string(500, '\n')), std::string::npos);
    EXPECT_EQ(file.size(), file.find("UPDATE Log SET ") + std::string("UPDATE Log SET \"\n").size() + 500);
    ASSERT_EQ(fx.ui.messages.size(), 1u);
    EXPECT_EQ(fx.ui.messages[0].style, 48);
    EXPECT_EQ(fx.ui.messages[0].text,
              "Error: 3265\r\nSource: ADODB.Properties (frmFields.msGenObjectUpdateMethod)\r\n\r\n"
              "Description: Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

TEST(ObjectUpdate, MissingDbmsNameMattersOnlyWhereTheTextNeedsIt) {
    GenFixture fx;
    codeOnly(fx);
    fx.conn = OfflineConnection(std::nullopt, std::nullopt);
    fx.grid = FieldGrid({row("A", "Id", 3, true), row("A", "Note", 130, true), row("A", "Opens", 134, true)});
    EXPECT_TRUE(hasLine(updateText(fx, "A", "A"), "End Function"));
    EXPECT_TRUE(fx.ui.messages.empty());

    // A date without time needs the product: the statement head is the last line.
    fx.grid = FieldGrid({row("D", "Id", 3, true), row("D", "Due", 133)});
    const std::string head = "    lsSQL = \"UPDATE D SET \"\n";
    const std::string cut = updateText(fx, "D", "D");
    EXPECT_EQ(cut.substr(cut.size() - head.size()), head);
    EXPECT_EQ(fx.ui.messages.size(), 1u);
    fx.ui.messages.clear();

    // An auto date key is not in the SET list: the read happens at its condition.
    fx.grid = FieldGrid({row("B", "Stamp", 7, true, true), row("B", "Note", 130)});
    const std::string text = updateText(fx, "B", "B");
    EXPECT_EQ(text.substr(text.size() - 36), "    lsSQL = lsSQL & \" WHERE 1 = 1 \"\n");
    EXPECT_EQ(fx.ui.messages.size(), 1u);
}

// Whole object class files and Update functions, one golden file each.
// The no-key file holds the six stop lines, the "-None-" key list and the
// warning of the developer notes.
TEST(ObjectClass, GoldenFiles) {
    using Setup = void (*)(GenFixture&);
    const struct {
        const char* golden;
        Setup setup;
        const char* table;
        bool update;  // the Update function alone, else the whole file
    } cases[] = {
        {"object_all_on.txt", [](GenFixture& fx) { ordersTable(fx); }, "Orders", false},
        {"object_all_off.txt",
         [](GenFixture& fx) {
             fx.allOptions(false);
             ordersTable(fx);
         },
         "Orders", false},
        {"object_order_details_no_key.txt",
         [](GenFixture& fx) {
             fx.newProject("OleDll");
             fx.conn.set("DBMS Name", "Oracle");
             fx.grid = FieldGrid({row("Order Details", "Line No", 3, false, true),
                                  row("Order Details", "Shipped", 7), row("Order Details", "Note", 8)});
         },
         "Order Details", false},
        // A table without rows of its own: the frame and an empty Update.
        {"object_loaded_no_rows.txt",
         [](GenFixture& fx) {
             fx.allOptions(false);
             fx.settings.mbLoadedProject = true;
             fx.grid = FieldGrid({row("Other", "Id", 3, true)});
         },
         "Orders", false},
        // An auto key is only in the WHERE clause.
        {"object_update_auto_key.txt",
         [](GenFixture& fx) {
             codeOnly(fx);
             fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true), row("Orders", "CustomerName", 130)});
         },
         "Orders", true},
        // A key that is not auto is in both lists; names with spaces are bracketed.
        {"object_update_spaced_key.txt",
         [](GenFixture& fx) {
             codeOnly(fx);
             fx.grid = FieldGrid({row("Order Details", "Order ID", 3, true), row("Other", "Skipped", 3)});
         },
         "Order Details", true},
        {"object_update_every_column_auto.txt",
         [](GenFixture& fx) {
             codeOnly(fx);
             fx.grid = FieldGrid({row("T", "A", 3, true, true), row("T", "B", 135, false, true)});
         },
         "T", true},
        {"object_update_handler_only.txt",
         [](GenFixture& fx) {
             fx.settings.mbCode = fx.settings.mbFunctionHeaders = false;
             fx.grid = FieldGrid({row("Orders", "OrderID", 3, true)});
         },
         "Orders", true},
        {"object_update_bare.txt",
         [](GenFixture& fx) {
             fx.allOptions(false);
             fx.settings.mbDevNotes = true;
             fx.grid = FieldGrid({row("Orders", "OrderID", 3, true)});
         },
         "Orders", true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.golden);
        GenFixture fx;
        k.setup(fx);
        std::string base = k.table;
        base.erase(std::remove(base.begin(), base.end(), ' '), base.end());
        expectGolden(k.golden, k.update ? fx.capture([&](GenContext& c, int n) {
                                              msGenObjectUpdateMethod(c, n, base, k.table);
                                          })
                                        : objectFile(fx, k.table, base));
        EXPECT_TRUE(fx.ui.messages.empty());
    }
}

}  // namespace
}  // namespace rw
