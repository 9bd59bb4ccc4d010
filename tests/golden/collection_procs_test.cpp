#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gen/collection/coll_procs.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::expectGolden;
using test::GenFixture;
using test::readable;
using test::row;

using ProcWriter = void (*)(GenContext&, int, const std::string&, const std::string&);

using PropWriter = void (*)(GenContext&, int, const std::string&);

std::string procBytes(GenFixture& fx, ProcWriter write, const std::string& table, const std::string& classBase) {
    return fx.capture([&](GenContext& c, int n) { write(c, n, classBase, table); });
}

std::string procText(GenFixture& fx, ProcWriter write, const std::string& table, const std::string& classBase) {
    return readable(procBytes(fx, write, table, classBase));
}

std::string propBytes(GenFixture& fx, PropWriter write, const std::string& classBase) {
    return fx.capture([&](GenContext& c, int n) { write(c, n, classBase); });
}

std::string propText(GenFixture& fx, PropWriter write, const std::string& classBase) {
    return readable(propBytes(fx, write, classBase));
}

bool hasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The line that follows the first occurrence of `line`.
std::string lineAfter(const std::string& text, const std::string& line) {
    const auto at = ("\n" + text).find("\n" + line + "\n");
    if (at == std::string::npos) return "<missing: " + line + ">";
    const auto start = at + line.size() + 1;
    return text.substr(start, text.find('\n', start) - start);
}

// Code and error handling on, headers off: the setting of the worked examples.
void codeAndHandler(GenFixture& fx) {
    fx.allOptions(false);
    fx.settings.mbCode = fx.settings.mbErrorHandler = true;
}

void notesOnly(GenFixture& fx) {
    fx.allOptions(false);
    fx.settings.mbFunctionHeaders = fx.settings.mbDevNotes = true;
}

// ---------------------------------------------------------------- Add

// Whole procedures and properties, one golden file each.
TEST(CollProcs, GoldenFiles) {
    using Setup = void (*)(GenFixture&);
    const auto orders = [](GenFixture& fx) {
        codeAndHandler(fx);
        fx.grid = FieldGrid({row("Orders", "OrderID", 3, false, true), row("Orders", "CustomerID", 130),
                             row("Orders", "OrderDate", 135), row("Orders", "Shipped", 11)});
    };
    const auto refresh = [](GenFixture& fx) {
        codeAndHandler(fx);
        fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, false, false),
                             row("Orders", "CustomerID", 130, false, false, true),
                             row("Orders", "OrderDate", 135, false, false, true)});
    };
    const auto addNotes = [](GenFixture& fx) {
        notesOnly(fx);
        fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true), row("Orders", "customer ID", 130),
                             row("Orders", "Seq", 3, false, true), row("Other", "X", 3)});
    };
    const auto refreshNotes = [](GenFixture& fx) {
        notesOnly(fx);
        fx.grid = FieldGrid({row("Orders", "OrderID", 3), row("Orders", "CustomerID", 130),
                             row("Orders", "OrderDate", 135), row("Orders", "Freight", 6),
                             row("Orders", "ShipName", 130)});
    };
    const auto removeKey = [](GenFixture& fx) {
        codeAndHandler(fx);
        fx.grid = FieldGrid({row("Orders", "OrderID", 3, true)});
    };
    const auto removeNotes = [](GenFixture& fx) {
        notesOnly(fx);
        fx.grid = FieldGrid({row("Orders", "OrderID", 3, true), row("Orders", "ProductID", 3, true),
                             row("Orders", "Qty", 3)});
    };
    const auto handlerOnly = [](GenFixture& fx) {
        fx.allOptions(false);
        fx.settings.mbErrorHandler = true;
        fx.grid = FieldGrid({row("Order Details", "ID", 3, true)});
    };
    const auto nothing = [](GenFixture& fx) {
        fx.allOptions(false);
        fx.settings.mbDevNotes = true;  // without headers the notes add nothing
    };
    const auto itemHeader = [](GenFixture& fx) {
        fx.allOptions(false);
        fx.settings.mbFunctionHeaders = fx.settings.mbErrorHandler = fx.settings.mbDevNotes = true;
    };
    const auto spaced = [](GenFixture& fx) {
        codeAndHandler(fx);
        fx.grid = FieldGrid({row("Order Details", "ID", 3, true)});
    };
    const struct {
        const char* golden;
        Setup setup;
        ProcWriter proc;  // null: `prop`
        PropWriter prop;
        const char* table;
    } cases[] = {
        {"collection_add_example.txt", orders, msGenCollAddProc, nullptr, "Orders"},
        {"collection_add_notes.txt", addNotes, msGenCollAddProc, nullptr, "Orders"},
        {"collection_add_bare.txt", nothing, msGenCollAddProc, nullptr, "Orders"},
        {"collection_add_handler_only.txt", handlerOnly, msGenCollAddProc, nullptr, "Orders"},
        {"collection_refresh_example.txt", refresh, msGenCollRefreshProc, nullptr, "Orders"},
        {"collection_refresh_notes.txt", refreshNotes, msGenCollRefreshProc, nullptr, "Orders"},
        {"collection_refresh_handler_only.txt", handlerOnly, msGenCollRefreshProc, nullptr, "Orders"},
        {"collection_remove_example.txt", removeKey, msGenCollRemoveProc, nullptr, "Orders"},
        {"collection_remove_notes.txt", removeNotes, msGenCollRemoveProc, nullptr, "Orders"},
        {"collection_remove_spaced_table.txt", spaced, msGenCollRemoveProc, nullptr, "Order Details"},
        {"collection_remove_handler_only.txt", handlerOnly, msGenCollRemoveProc, nullptr, "Order Details"},
        {"collection_count.txt", codeAndHandler, nullptr, msGenCollCountProp, "Orders"},
        {"collection_new_enum.txt", codeAndHandler, nullptr, msGenCollNewEnumProp, "Orders"},
        {"collection_sort_order_bare.txt", nothing, nullptr, msGenCollSortOrderProp, "Orders"},
        {"collection_item_header.txt", itemHeader, nullptr, msGenCollItemProp, "OrderDetails"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.golden);
        GenFixture fx;
        k.setup(fx);
        std::string base = k.table;
        base.erase(std::remove(base.begin(), base.end(), ' '), base.end());
        expectGolden(k.golden, k.proc ? procBytes(fx, k.proc, k.table, base) : propBytes(fx, k.prop, base));
        EXPECT_TRUE(fx.ui.messages.empty());
    }
}

TEST(CollAdd, ProductNamesAreComparedExactly) {
    // Each known product is in the whole-file golden files; a known name in
    // other case counts as another product: numeric Boolean, ODBC timestamp.
    GenFixture fx;
    codeAndHandler(fx);
    fx.conn.set("DBMS Name", "oracle");
    fx.grid = FieldGrid({row("Orders", "Shipped", 11), row("Orders", "Stamp", 7)});
    const std::string text = procText(fx, msGenCollAddProc, "Orders", "Orders");
    const std::string values = text.substr(text.find("VALUES("));
    EXPECT_EQ(lineAfter(values, "    If roOrders.Shipped <> \"\" Then"),
              "        lsSQL = lsSQL & roOrders.Shipped & \", \"");
    EXPECT_EQ(lineAfter(values, "    If roOrders.Stamp <> \"\" Then"),
              R"~(        lsSQL = lsSQL & "{ts '" & Format(roOrders.Stamp, "yyyy-mm-dd hh:nn:ss") & "'}, ")~");
}

TEST(CollAdd, MissingDbmsNameStopsAtTheFirstBooleanOrDateValue) {
    // What follows the Qty value: a Boolean stops at its guard; a time is
    // quoted text and needs no product, a date without time does.
    struct Case {
        FieldRow second;
        std::string stop;
    };
    const std::vector<Case> cases = {
        {row("Orders", "Shipped", 11), "    If roOrders.Shipped <> \"\" Then\n"},
        {row("Orders", "Opens", 134),
         "    If roOrders.Opens <> \"\" Then\n"
         "        lsSQL = lsSQL & \"'\" & Replace(roOrders.Opens, \"'\", \"''\") & \"', \"\n    End If\n"
         "    If roOrders.Due <> \"\" Then\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second.field);
        GenFixture fx;
        codeAndHandler(fx);
        fx.conn = OfflineConnection(std::nullopt, std::nullopt);
        fx.grid = FieldGrid({row("Orders", "Qty", 3), c.second, row("Orders", "Due", 133), row("Orders", "Stamp", 135)});
        const std::string text = procText(fx, msGenCollAddProc, "Orders", "Orders");
        // The column list does not need the product.
        EXPECT_TRUE(hasLine(text, "        lsSQL = lsSQL & \"Stamp, \""));
        const std::string tail = "    lsSQL = lsSQL & \"VALUES(\"\n    If roOrders.Qty <> \"\" Then\n"
                                 "        lsSQL = lsSQL & roOrders.Qty & \", \"\n    End If\n" + c.stop;
        ASSERT_GE(text.size(), tail.size());
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
        ASSERT_EQ(fx.ui.messages.size(), 1u);
        EXPECT_NE(fx.ui.messages[0].text.find("Source: ADODB.Properties (frmFields.msGenCollAddProc)"),
                  std::string::npos);
    }
}

TEST(CollAdd, NoAutoFieldAndEveryFieldAuto) {
    GenFixture fx;
    codeAndHandler(fx);
    fx.grid = FieldGrid({row("Orders", "CustomerID", 130), row("Orders", "Qty", 3)});
    std::string text = procText(fx, msGenCollAddProc, "Orders", "Orders");
    EXPECT_EQ(lineAfter(text, "    If moConn.ExecActionSQL(lsSQL) Then"), "        mCollection.Add roOrders");

    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true), row("Orders", "Seq", 3, false, true)});
    text = procText(fx, msGenCollAddProc, "Orders", "Orders");
    EXPECT_EQ(lineAfter(text, R"~(    lsSQL = "INSERT INTO Orders (")~"),
              R"~(    lsSQL = Left(lsSQL, Len(lsSQL) - 2) &  ") ")~");
    EXPECT_EQ(lineAfter(text, R"~(    lsSQL = lsSQL & "VALUES(")~"), R"~(    lsSQL = Left(lsSQL, Len(lsSQL) - 2) & ")")~");
    EXPECT_EQ(text.find("    If roOrders."), std::string::npos);
    EXPECT_EQ(lineAfter(text, "            roOrders.OrderID = lrsID(0)"), "        Else");
    EXPECT_TRUE(hasLine(text, R"~(        lsSQL = "SELECT MAX(Seq) FROM Orders")~"));
}

TEST(CollAdd, NotesNeedHeadersAndCodeOffKeepsTheHandler) {
    GenFixture fx;
    notesOnly(fx);
    fx.grid = FieldGrid({row("Orders", "CustomerID", 130)});
    std::string text = procText(fx, msGenCollAddProc, "Orders", "Orders");
    EXPECT_TRUE(hasLine(text, "'      -None-"));
    EXPECT_EQ(text.find("MsgBox"), std::string::npos);
    EXPECT_EQ(lineAfter(text, "'          If loOrdersColl.Add(loOrders) Then"), "'          End If");

}

// ------------------------------------------------------------ Refresh

TEST(CollRefresh, SampleFilterWithOnlyAnUnknownDateIsEmpty) {
    GenFixture fx;
    notesOnly(fx);
    fx.conn.set("DBMS Name", "PostgreSQL");
    fx.grid = FieldGrid({row("Orders", "Stamp", 135)});
    const std::string text = procText(fx, msGenCollRefreshProc, "Orders", "Orders");
    EXPECT_TRUE(hasLine(text, "'          loOrdersColl.RefreshFilter = \"\""));
    EXPECT_TRUE(hasLine(text, "'          loOrdersColl.SortOrder = \"Stamp\""));
}

TEST(CollRemove, SampleFilterFromTheKey) {
    struct Case {
        const char* dbms;
        std::vector<FieldRow> rows;
        const char* filter;
    };
    const std::vector<Case> cases = {
        // No key: the first field, whatever its type.
        {"Microsoft SQL Server", {row("O", "Name", 130), row("O", "Qty", 3)}, "Name = <value> "},
        {"MS Jet", {row("O", "Qty", 3), row("O", "CustomerID", 130, true), row("O", "OrderDate", 135, true)},
         "CustomerID = '<value>' AND OrderDate = #<value># "},
        {"Microsoft SQL Server", {row("O", "OrderDate", 7, true)},
         R"~(OrderDate = 'Format(<value>, "mm/dd/yyyy hh:mm:ss")' )~"},
        // A date key under an unknown product gives no condition, so the
        // first field stands in.
        {"PostgreSQL", {row("O", "Line", 3), row("O", "OrderDate", 135, true)}, "Line = <value> "},
        {"PostgreSQL", {row("O", "OrderDate", 135, true), row("O", "Ship Name", 130, true)}, "Ship Name = '<value>' "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        GenFixture fx;
        notesOnly(fx);
        fx.conn.set("DBMS Name", c.dbms);
        fx.grid = FieldGrid(c.rows);
        const std::string text = procText(fx, msGenCollRemoveProc, "O", "O");
        const std::string line = "'          lsFilter = \"" + std::string(c.filter) + "\"";
        const auto first = text.find(line);
        ASSERT_NE(first, std::string::npos);
        EXPECT_NE(text.find(line, first + 1), std::string::npos);
    }
}

// ---------------------------------------------------------- failures

TEST(CollGenerators, EachShowsItsOwnSource) {
    GenFixture fx;
    fx.grid = FieldGrid({row("Orders", "OrderID", 3)});
    GenContext c = fx.ctx();
    const int bad = 99;  // no file is open on this number
    msGenCollRefreshFilterProp(c, bad, "Orders");
    msGenCollSortOrderProp(c, bad, "Orders");
    msGenCollCountProp(c, bad, "Orders");
    msGenCollItemProp(c, bad, "Orders");
    msGenCollNewEnumProp(c, bad, "Orders");
    msGenCollAddProc(c, bad, "Orders", "Orders");
    msGenCollRefreshProc(c, bad, "Orders", "Orders");
    msGenCollRemoveProc(c, bad, "Orders", "Orders");
    const std::vector<std::string> names = {"msGenCollRefreshFilterProp", "msGenCollSortOrderProp",
                                            "msGenCollCountProp",         "msGenCollItemProp",
                                            "msGenCollNewEnumProp",       "msGenCollAddProc",
                                            "msGenCollRefreshProc",       "msGenCollRemoveProc"};
    ASSERT_EQ(fx.ui.messages.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(fx.ui.messages[i].text, "Error: 52\r\nSource: RwtAddIn (frmFields." + names[i] +
                                              ")\r\n\r\nDescription: Bad file name or number");
        EXPECT_EQ(fx.ui.messages[i].style, 48);
    }
}

}  // namespace
}  // namespace rw
