#include <string>
#include <vector>

#include "model/names.h"
#include "model/product.h"
#include "gen/collection/coll_common.h"
#include "gen/collection/coll_procs.h"
#include "gen/object/headers.h"

namespace rw {
namespace {

using Rows = std::vector<const FieldRow*>;

// The sample filter of the developer notes: one condition per key field;
// when no key field gives one, the table's first field.
std::string buildSampleFilter(const GenContext& ctx, const Rows& rows) {
    std::string filter;
    for (const FieldRow* row : rows) {
        if (!row->primary) continue;
        if (const auto tail = coll::sampleConditionTail(ctx, row->dataType)) filter += row->field + *tail + "AND ";
    }
    if (!filter.empty()) {
        filter.resize(filter.size() - 4);
        return filter;
    }
    return (rows.empty() ? std::string() : rows.front()->field) + " = <value> ";
}

// The filter line and the Remove call of a usage sample. The filter is
// built each time it is written; a provider without a DBMS name stops the
// notes just before it.
void writeFilterAndCall(const GenContext& ctx, TextFile& f, const Rows& rows, const std::string& classBase) {
    f.line("'          lsFilter = \"" + buildSampleFilter(ctx, rows) + "\"");
    f.line("'          If Not lo" + classBase + "Coll.Remove lsFilter Then");
}

void writeDevNotes(GenContext& ctx, TextFile& f, const Rows& rows, const std::string& classBase,
                   const std::string& tableName) {
    writeDevNotesOpening(f);
    f.line("'      This method uses a passed in filter to determine");
    f.line("'      which records to delete from the " + tableName + " table.  It then");
    f.line("'      causes the cls" + classBase + "Coll collection object to be ");
    f.line("'      refreshed.");
    f.line("'");
    f.line("'      To call this method from an ASP page:");
    f.line(kNoteIndent);
    f.line(coll::aspCollectionLine(classBase));
    f.line(kNoteIndent);
    writeFilterAndCall(ctx, f, rows, classBase);
    f.line("'              Response.Write \"Error!\"");
    f.line("'          End If");
    f.line(kNoteIndent);
    f.line("'      To call this method from VB:");
    f.line(kNoteIndent);
    f.line(coll::vbCollectionLine(classBase));
    f.line("'          Dim lsFilter As String");
    f.line(kNoteIndent);
    writeFilterAndCall(ctx, f, rows, classBase);
    f.line("'              MsgBox \"Error!\"");
    f.line("'          End If");
    f.line(kNoteIndent);
}

void writeBody(TextFile& f, const std::string& tableName) {
    f.line("Dim lsSQL as String");
    f.line("");
    f.line("    If Trim(vsFilter) = \"\" Or IsNull(vsFilter) Then");
    f.line("        'If no filter is passed, " + std::string(product::kDisplayName));
    f.line("        'can not create a valid WHERE clause to filter deletions.");
    f.line("        'Execution will then be halted to avoid accidental deletion.");
    f.line("        Exit Function");
    f.line("    End If");
    f.line("");
    f.line("");
    f.line("    lsSQL = \"DELETE FROM " + bracketedTableName(tableName) + " \" _");
    f.line("         & \"WHERE \" & vsFilter");
    f.line("");
    f.line("");
    f.line("    If moConn.ExecActionSQL(lsSQL) Then");
    f.line("        Refresh");
    f.line("        Remove = True");
    f.line("    End If");
}

}  // namespace

void msGenCollRemoveProc(GenContext& ctx, int fileNumber, const std::string& classBase,
                         const std::string& tableName) {
    guarded(ctx.ui, "frmFields.msGenCollRemoveProc", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        if (s.mbFunctionHeaders) {
            writeProcedureHeaderTop(f, "Remove()");
            f.line("' Purpose: Deletes records from the " + tableName + " table and refreshes ");
            f.line("'          the cls" + classBase + "Coll collection based on the ");
            f.line("'          filter passed into the method.  A blank filter will be rejected");
            f.line("'          by this method for safety reasons.");
            writeProcedureHeaderCreated(ctx, f);
            if (s.mbDevNotes) writeDevNotes(ctx, f, ctx.grid.tableRows(tableName), classBase, tableName);
            f.line(kRuleLine);
        }
        f.line("Public Function Remove(ByVal vsFilter as String) As Boolean");
        if (s.mbErrorHandler) f.line("On Error GoTo RemoveErr");
        if (s.mbCode) writeBody(f, tableName);
        if (s.mbErrorHandler) coll::writeRaiseErrorTail(f, "Function", "RemoveErr", classBase, "Remove");
        f.line("");
        f.line("End Function");
    });
}

}  // namespace rw
