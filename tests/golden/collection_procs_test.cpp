#include <gtest/gtest.h>

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

TEST(CollAdd, WorkedExample) {
    GenFixture fx;
    codeAndHandler(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, false, true), row("Orders", "CustomerID", 130),
                         row("Orders", "OrderDate", 135), row("Orders", "Shipped", 11)});
    expectGolden("collection_add_example.txt", procBytes(fx, msGenCollAddProc, "Orders", "Orders"));
    EXPECT_TRUE(fx.ui.messages.empty());
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

TEST(CollAdd, HeaderWithDeveloperNotes) {
    GenFixture fx;
    notesOnly(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true), row("Orders", "customer ID", 130),
                         row("Orders", "Seq", 3, false, true), row("Other", "X", 3)});
    expectGolden("collection_add_notes.txt", procBytes(fx, msGenCollAddProc, "Orders", "Orders"));
}

TEST(CollAdd, NotesNeedHeadersAndCodeOffKeepsTheHandler) {
    GenFixture fx;
    notesOnly(fx);
    fx.grid = FieldGrid({row("Orders", "CustomerID", 130)});
    std::string text = procText(fx, msGenCollAddProc, "Orders", "Orders");
    EXPECT_TRUE(hasLine(text, "'      -None-"));
    EXPECT_EQ(text.find("MsgBox"), std::string::npos);
    EXPECT_EQ(lineAfter(text, "'          If loOrdersColl.Add(loOrders) Then"), "'          End If");

    fx.settings.mbFunctionHeaders = false;
    EXPECT_EQ(procText(fx, msGenCollAddProc, "Orders", "Orders"),
              "Public Function Add(ByRef roOrders As clsOrders) As Boolean\n\nEnd Function\n");

    fx.settings.mbErrorHandler = true;
    EXPECT_EQ(procText(fx, msGenCollAddProc, "Orders", "Orders"),
              "Public Function Add(ByRef roOrders As clsOrders) As Boolean\nOn Error GoTo AddErr\n\n"
              "    Exit Function\n\nAddErr:\n"
              "    RaiseError Err.Number, Err.Source & \" (clsOrdersColl.Add)\", Err.Description\n\nEnd Function\n");
}

// ------------------------------------------------------------ Refresh

TEST(CollRefresh, WorkedExample) {
    GenFixture fx;
    codeAndHandler(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, false, false), row("Orders", "CustomerID", 130, false, false, true),
                         row("Orders", "OrderDate", 135, false, false, true)});
    expectGolden("collection_refresh_example.txt", procBytes(fx, msGenCollRefreshProc, "Orders", "Orders"));
}

TEST(CollRefresh, HandlerDoesNotTouchAMissingObject) {
    GenFixture fx;
    codeAndHandler(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true)});
    std::string text = procText(fx, msGenCollRefreshProc, "Orders", "Orders");
    EXPECT_EQ(lineAfter(text, "RefreshErr:"), "    If Not loOrders Is Nothing Then loOrders.mbLoading = False");

    // Without the body no working object is declared, so the handler names none.
    fx.settings.mbCode = false;
    EXPECT_EQ(procText(fx, msGenCollRefreshProc, "Orders", "Orders"),
              "Public Sub Refresh()\nOn Error GoTo RefreshErr\n\n    Exit Sub\n\nRefreshErr:\n"
              "    RaiseError Err.Number, Err.Source & \" (clsOrdersColl.Refresh)\", Err.Description\n\n"
              "End Sub\n");
}

TEST(CollRefresh, HeaderWithDeveloperNotesUsesTheFirstFourFields) {
    GenFixture fx;
    notesOnly(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3), row("Orders", "CustomerID", 130), row("Orders", "OrderDate", 135),
                         row("Orders", "Freight", 6), row("Orders", "ShipName", 130)});
    expectGolden("collection_refresh_notes.txt", procBytes(fx, msGenCollRefreshProc, "Orders", "Orders"));
}

TEST(CollRefresh, SampleFilterWithOnlyAnUnknownDateIsEmpty) {
    GenFixture fx;
    notesOnly(fx);
    fx.conn.set("DBMS Name", "PostgreSQL");
    fx.grid = FieldGrid({row("Orders", "Stamp", 135)});
    const std::string text = procText(fx, msGenCollRefreshProc, "Orders", "Orders");
    EXPECT_TRUE(hasLine(text, "'          loOrdersColl.RefreshFilter = \"\""));
    EXPECT_TRUE(hasLine(text, "'          loOrdersColl.SortOrder = \"Stamp\""));
}

// ------------------------------------------------------------- Remove

TEST(CollRemove, WorkedExample) {
    GenFixture fx;
    codeAndHandler(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true)});
    expectGolden("collection_remove_example.txt", procBytes(fx, msGenCollRemoveProc, "Orders", "Orders"));
}

TEST(CollRemove, BracketedTableAndNoCode) {
    GenFixture fx;
    codeAndHandler(fx);
    fx.grid = FieldGrid({row("Order Details", "ID", 3, true)});
    std::string text = procText(fx, msGenCollRemoveProc, "Order Details", "OrderDetails");
    EXPECT_TRUE(hasLine(text, R"~(    lsSQL = "DELETE FROM [Order Details] " _)~"));
    EXPECT_TRUE(hasLine(text, R"~(    RaiseError Err.Number, Err.Source & " (clsOrderDetailsColl.Remove)", Err.Description)~"));

    fx.settings.mbCode = false;
    EXPECT_EQ(procText(fx, msGenCollRemoveProc, "Order Details", "OrderDetails"),
              "Public Function Remove(ByVal vsFilter as String) As Boolean\nOn Error GoTo RemoveErr\n\n"
              "    Exit Function\n\nRemoveErr:\n"
              "    RaiseError Err.Number, Err.Source & \" (clsOrderDetailsColl.Remove)\", Err.Description\n\n"
              "End Function\n");
}

TEST(CollRemove, HeaderWithDeveloperNotes) {
    GenFixture fx;
    notesOnly(fx);
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true), row("Orders", "ProductID", 3, true),
                         row("Orders", "Qty", 3)});
    expectGolden("collection_remove_notes.txt", procBytes(fx, msGenCollRemoveProc, "Orders", "Orders"));
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

// --------------------------------------------------------- properties

TEST(CollProperties, CountAndNewEnumExamples) {
    GenFixture fx;
    codeAndHandler(fx);
    EXPECT_EQ(propText(fx, msGenCollCountProp, "Orders"), R"~(Public Property Get Count() As Long
On Error GoTo CountErr

    Count = mCollection.Count

    Exit Property

CountErr:
    RaiseError Err.Number, Err.Source & " (clsOrdersColl.Count)", Err.Description

End Property

)~");
    // The enumerator never has a handler.
    EXPECT_EQ(propText(fx, msGenCollNewEnumProp, "Orders"), R"~(Public Property Get NewEnum() As IUnknown
Attribute NewEnum.VB_UserMemId = -4
Attribute NewEnum.VB_MemberFlags = "40"

    Set NewEnum = mCollection.[_NewEnum]

End Property

)~");
}

TEST(CollProperties, PairStartsWithAnEmptyLine) {
    GenFixture fx;
    fx.allOptions(false);
    fx.settings.mbCode = false;
    EXPECT_EQ(propText(fx, msGenCollSortOrderProp, "Orders"), R"~(
Public Property Get SortOrder() As String

    SortOrder = msSortOrder

End Property

Public Property Let SortOrder(ByVal vsSortOrder As String)

    msSortOrder = vsSortOrder

End Property

)~");
}

TEST(CollProperties, ItemWithHeaderAttributeAndHandler) {
    GenFixture fx;
    fx.allOptions(false);
    fx.settings.mbFunctionHeaders = fx.settings.mbErrorHandler = fx.settings.mbDevNotes = true;
    expectGolden("collection_item_header.txt", propBytes(fx, msGenCollItemProp, "OrderDetails"));
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
