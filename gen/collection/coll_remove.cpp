#include <string>
#include <vector>

#include "gen/collection/coll_procs.h"
#include "gen/procedure.h"
#include "gen/samples.h"
#include "model/product.h"
#include "model/type_rules.h"

namespace rw {
namespace {

using Columns = std::vector<ColumnNames>;

// The sample filter of the developer notes: one condition per key field;
// when no key field gives one, the table's first field.
std::string buildSampleFilter(const GenContext& ctx, const Columns& columns) {
    std::string filter;
    for (const ColumnNames& c : columns) {
        if (!c.row->primary) continue;
        if (const auto tail = sampleConditionTail(ctx, c.row->dataType))
            filter.append(c.row->field).append(*tail).append("AND ");
    }
    if (!filter.empty()) {
        filter.resize(filter.size() - 4);
        return filter;
    }
    return (columns.empty() ? std::string() : columns.front().row->field) + " = <value> ";
}

// The filter line and the Remove call of a usage sample, then the line the
// sample shows on failure. The filter is built each time it is written; a
// provider without a DBMS name stops the notes just before it.
void writeFilterAndCall(const GenContext& ctx, Printer& p, const TableNames& table, std::string_view failure) {
    p.emit({{"filter", buildSampleFilter(ctx, table.columns())},
            {"coll", table.classes().collectionVariable()},
            {"failure", failure}},
           R"vb(
'          lsFilter = "$filter$"
'          If Not $coll$.Remove lsFilter Then
'              $failure$
'          End If
'      
)vb");
}

void writeDevNotes(GenContext& ctx, Printer& p, const TableNames& table) {
    const ClassNames& names = table.classes();
    writeDevNotesOpening(p);
    p.emit({{"table", table.table()}, {"collclass", names.collectionClass()}}, R"vb(
'      This method uses a passed in filter to determine
'      which records to delete from the $table$ table.  It then
'      causes the $collclass$ collection object to be 
'      refreshed.
'
'      To call this method from an ASP page:
'      
)vb");
    writeAspCreation(p, names, false);
    p.line(kNoteIndent);
    writeFilterAndCall(ctx, p, table, "Response.Write \"Error!\"");
    writeVbSampleHead(p, names, false);
    p.emit(R"vb(
'          Dim lsFilter As String
'      
)vb");
    writeFilterAndCall(ctx, p, table, "MsgBox \"Error!\"");
}

void writeBody(Printer& p, const TableNames& table) {
    p.emit({{"product", product::kDisplayName}, {"table", table.sqlTable()}}, R"vb(
Dim lsSQL as String

    If Trim(vsFilter) = "" Or IsNull(vsFilter) Then
        'If no filter is passed, $product$
        'can not create a valid WHERE clause to filter deletions.
        'Execution will then be halted to avoid accidental deletion.
        Exit Function
    End If


    lsSQL = "DELETE FROM $table$ " _
         & "WHERE " & vsFilter


    If moConn.ExecActionSQL(lsSQL) Then
        Refresh
        Remove = True
    End If
)vb");
}

}  // namespace

void msGenCollRemoveProc(GenContext& ctx, int fileNumber, const TableNames& table) {
    guarded(ctx.ui, "frmFields.msGenCollRemoveProc", [&] {
        const GenerationSettings& s = ctx.settings;
        const ClassNames& names = table.classes();
        Printer p(ctx.file(fileNumber));
        const Procedure proc{"Function", names.collectionClass(), "Remove"};
        const TemplateVars vars = {{"table", table.table()}, {"collclass", names.collectionClass()}};
        writeProcedureHeader(ctx, p, "Remove()", vars, R"vb(
' Purpose: Deletes records from the $table$ table and refreshes 
'          the $collclass$ collection based on the 
'          filter passed into the method.  A blank filter will be rejected
'          by this method for safety reasons.
)vb",
                             [&] {
                                 if (s.mbDevNotes) writeDevNotes(ctx, p, table);
                             });
        p.emit("Public Function Remove(ByVal vsFilter as String) As Boolean\n");
        writeHandlerHead(ctx, p, proc);
        if (s.mbCode) writeBody(p, table);
        writeProcedureClose(ctx, p, proc);
    });
}

}  // namespace rw
