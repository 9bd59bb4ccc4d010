#include "gen/collection/coll_procs.h"
#include "gen/procedure.h"

namespace rw {
namespace {

// One property procedure of the collection class. They all share one shape
// and differ only in these templates; each may use $name$, $class$ (the
// object class) and $collclass$ (the collection class).
struct PropertyProc {
    std::string_view headerName;  // after "' Procedure Name: "
    Template purpose;             // the purpose lines
    Template signature;           // with the attribute lines under it
    bool handled;                 // false: no error handler at all
    Template body;                // the one statement, without indent
};

void writeProperty(GenContext& ctx, Printer& p, const ClassNames& names, std::string_view name,
                   const PropertyProc& prop) {
    const Procedure proc{"Property", names.collectionClass(), name, prop.handled};
    const TemplateVars vars = {{"name", name}, {"class", names.objectClass()}, {"collclass", names.collectionClass()}};
    writeProcedureHeader(ctx, p, prop.headerName, vars, prop.purpose);
    p.emit(vars, prop.signature);
    writeHandlerHead(ctx, p, proc);
    p.emptyLines();
    {
        Printer::Indent in(p, 4);
        p.emit(vars, prop.body);
    }
    writeProcedureClose(ctx, p, proc);
    p.emptyLines();
}

// The Get and Let pair of a String property kept in a private member, such
// as RefreshFilter in msRefreshFilter; one empty line goes before the pair.
void writeStringPropertyPair(GenContext& ctx, TextFile& f, const ClassNames& names, std::string_view name,
                             std::string_view getName, std::string_view letName) {
    Printer p(f);
    p.emptyLines();
    writeProperty(ctx, p, names, name,
                  {getName, R"vb(
' Purpose: Returns the $name$ property of the 
'          $collclass$ object.
)vb",
                   "Public Property Get $name$() As String\n", true, "$name$ = ms$name$\n"});
    writeProperty(ctx, p, names, name,
                  {letName, R"vb(
' Purpose: Sets the $name$ property of the 
'          $collclass$ object.
)vb",
                   "Public Property Let $name$(ByVal vs$name$ As String)\n", true, "ms$name$ = vs$name$\n"});
}

void writeSingleProperty(GenContext& ctx, int fileNumber, const TableNames& table, std::string_view name,
                         const PropertyProc& prop) {
    Printer p(ctx.file(fileNumber));
    writeProperty(ctx, p, table.classes(), name, prop);
}

}  // namespace

void msGenCollRefreshFilterProp(GenContext& ctx, int fileNumber, const TableNames& table) {
    guarded(ctx.ui, "frmFields.msGenCollRefreshFilterProp",
            [&] { writeStringPropertyPair(ctx, ctx.file(fileNumber), table.classes(), "RefreshFilter",
                                            "Property Get RefreshFilter ()", "Property Let RefreshFilter ()"); });
}

void msGenCollSortOrderProp(GenContext& ctx, int fileNumber, const TableNames& table) {
    guarded(ctx.ui, "frmFields.msGenCollSortOrderProp",
            [&] { writeStringPropertyPair(ctx, ctx.file(fileNumber), table.classes(), "SortOrder",
                                            "Property Get SortOrder ()", "Property Let SortOrder ()"); });
}

void msGenCollCountProp(GenContext& ctx, int fileNumber, const TableNames& table) {
    guarded(ctx.ui, "frmFields.msGenCollCountProp", [&] {
        writeSingleProperty(ctx, fileNumber, table, "Count",
                            {"Property Get Count ()", R"vb(
' Purpose: Returns the the number of $class$ objects
'          currently in the $collclass$ collection.
)vb",
                             "Public Property Get Count() As Long\n", true, "Count = mCollection.Count\n"});
    });
}

void msGenCollItemProp(GenContext& ctx, int fileNumber, const TableNames& table) {
    guarded(ctx.ui, "frmFields.msGenCollItemProp", [&] {
        writeSingleProperty(ctx, fileNumber, table, "Item",
                            {"Property Get Item ()", R"vb(
' Purpose: Returns the a $class$ object
'          from the $collclass$ collection
'          based on the index passed.
)vb",
                             R"vb(
Public Property Get Item(ByVal vlIndex as Long) As $class$
Attribute Item.VB_UserMemId = 0
)vb",
                             true, "Set Item = mCollection(vlIndex)\n"});
    });
}

void msGenCollNewEnumProp(GenContext& ctx, int fileNumber, const TableNames& table) {
    // The enumerator has no error handler: its errors reach the caller unchanged.
    guarded(ctx.ui, "frmFields.msGenCollNewEnumProp", [&] {
        writeSingleProperty(ctx, fileNumber, table, "NewEnum",
                            {"Property Get NewEnum ()", R"vb(
' Purpose: Enables For Each...In functionality for the 
'          $collclass$ object.
)vb",
                             R"vb(
Public Property Get NewEnum() As IUnknown
Attribute NewEnum.VB_UserMemId = -4
Attribute NewEnum.VB_MemberFlags = "40"
)vb",
                             false, "Set NewEnum = mCollection.[_NewEnum]\n"});
    });
}

}  // namespace rw
