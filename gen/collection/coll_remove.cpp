#include <string>
#include <vector>

#include "gen/collection/coll_procs.h"
#include "gen/procedure.h"
#include "gen/samples.h"
#include "model/namer.h"
#include "model/product.h"
#include "model/type_rules.h"

namespace rw {
namespace {

using Rows = std::vector<const FieldRow*>;

// The sample filter of the developer notes: one condition per key field;
// when no key field gives one, the table's first field.
std::string buildSampleFilter(const GenContext& ctx, const Rows& rows) {
    std::string filter;
    for (const FieldRow* row : rows) {
        if (!row->primary) continue;
        if (const auto tail = sampleConditionTail(ctx, row->dataType)) filter += row->field + *tail + "AND ";
    }
    if (!filter.empty()) {
        filter.resize(filter.size() - 4);
        return filter;
    }
    return (rows.empty() ? std::string() : rows.front()->field) + " = <value> ";
}

// The filter line and the Remove call of a usage sample, then the line the
// sample shows on failure. The filter is built each time it is written; a
// provider without a DBMS name stops the notes just before it.
void writeFilterAndCall(const GenContext& ctx, Printer& p, const Rows& rows, const ClassNames& names,
                        std::string_view failure) {
    p.emit({{"filter", buildSampleFilter(ctx, rows)}, {"coll", names.collectionVariable()}, {"failure", failure}},
           R"vb(
'          lsFilter = "$filter$"
'          If Not $coll$.Remove lsFilter Then
'              $failure$
'          End If
'      
)vb");
}

void writeDevNotes(GenContext& ctx, Printer& p, const Rows& rows, const ClassNames& names,
                   const std::string& tableName) {
    writeDevNotesOpening(p);
    p.emit({{"table", tableName}, {"collclass", names.collectionClass()}}, R"vb(
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
    writeFilterAndCall(ctx, p, rows, names, "Response.Write \"Error!\"");
    writeVbSampleHead(p, names, false);
    p.emit(R"vb(
'          Dim lsFilter As String
'      
)vb");
    writeFilterAndCall(ctx, p, rows, names, "MsgBox \"Error!\"");
}

void writeBody(Printer& p, const std::string& tableName) {
    p.emit({{"product", product::kDisplayName}, {"table", bracketedTableName(tableName)}}, R"vb(
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

void msGenCollRemoveProc(GenContext& ctx, int fileNumber, const std::string& classBase,
                         const std::string& tableName) {
    guarded(ctx.ui, "frmFields.msGenCollRemoveProc", [&] {
        const GenerationSettings& s = ctx.settings;
        const ClassNames names(classBase);
        Printer p(ctx.file(fileNumber));
        const std::string source = names.collectionClass() + ".Remove";
        const Procedure proc{"Function", "RemoveErr", source};
        writeProcedureHeader(ctx, p, "Remove()", {{"table", tableName}, {"collclass", names.collectionClass()}}, R"vb(
' Purpose: Deletes records from the $table$ table and refreshes 
'          the $collclass$ collection based on the 
'          filter passed into the method.  A blank filter will be rejected
'          by this method for safety reasons.
)vb",
                             [&] {
                                 if (s.mbDevNotes) writeDevNotes(ctx, p, ctx.grid.tableRows(tableName), names, tableName);
                             });
        p.emit("Public Function Remove(ByVal vsFilter as String) As Boolean\n");
        writeHandlerHead(ctx, p, proc);
        if (s.mbCode) writeBody(p, tableName);
        writeHandlerTail(ctx, p, proc);
        writeProcedureEnd(p, proc);
    });
}

}  // namespace rw
