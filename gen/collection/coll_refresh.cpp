#include <algorithm>
#include <string>
#include <vector>

#include "model/names.h"
#include "gen/collection/coll_common.h"
#include "gen/collection/coll_procs.h"
#include "gen/object/headers.h"

namespace rw {
namespace {

using Rows = std::vector<const FieldRow*>;

// The sample RefreshFilter and SortOrder of the developer notes, from the
// table's first four fields.
struct SampleQuery {
    std::string filter;
    std::string sortOrder;
};

constexpr std::size_t kSampleFields = 4;

SampleQuery buildSampleQuery(const GenContext& ctx, const Rows& rows) {
    SampleQuery q;
    const std::size_t count = std::min(rows.size(), kSampleFields);
    for (std::size_t i = 0; i < count; ++i) {
        const FieldRow& row = *rows[i];
        if (const auto tail = coll::sampleConditionTail(ctx, row.dataType)) q.filter += row.field + *tail + "AND ";
        q.sortOrder += row.field + ", ";
    }
    if (q.filter.size() >= 4) q.filter.resize(q.filter.size() - 4);
    if (q.sortOrder.size() >= 2) q.sortOrder.resize(q.sortOrder.size() - 2);
    return q;
}

void writeUsageBlock(TextFile& f, const SampleQuery& q, const std::string& classBase) {
    f.line("'          lo" + classBase + "Coll.RefreshFilter = \"" + q.filter + "\"");
    f.line("'          lo" + classBase + "Coll.SortOrder = \"" + q.sortOrder + "\"");
    f.line("'          lo" + classBase + "Coll.Refresh");
    f.line("'");
    f.line("'          For Each lo" + classBase + " In lo" + classBase + "Coll");
    f.line("'             MsgBox lo" + classBase + ".<property name>");
    f.line("'          Next");
    f.line(kNoteIndent);
}

void writeDevNotes(GenContext& ctx, TextFile& f, const Rows& rows, const std::string& classBase,
                   const std::string& tableName) {
    writeDevNotesOpening(f);
    f.line("'      If no Refresh Filter is set, calling this method will cause");
    f.line("'      the cls" + classBase + "Coll collection object to contain one ");
    f.line("'      cls" + classBase + " object for each row in the '" + tableName + "'");
    f.line("'      table.  You may filter your results by setting the RefreshFilter");
    f.line("'      property prior to calling this method.");
    f.line("'");
    f.line("'      To call this method from an ASP page:");
    f.line(kNoteIndent);
    f.line(coll::aspObjectLine(classBase));
    f.line(coll::aspCollectionLine(classBase));
    f.line(kNoteIndent);
    f.line("'");
    // Built where it is first needed: a provider without a DBMS name stops
    // the notes just before the sample filter line.
    const SampleQuery sample = buildSampleQuery(ctx, rows);
    writeUsageBlock(f, sample, classBase);
    f.line("'      To call this method from VB:");
    f.line(kNoteIndent);
    f.line(coll::vbObjectLine(classBase));
    f.line(coll::vbCollectionLine(classBase));
    f.line(kNoteIndent);
    f.line("'");
    writeUsageBlock(f, sample, classBase);
}

void writeBody(TextFile& f, const Rows& rows, const std::string& classBase, const std::string& tableName) {
    const std::string recordset = "lrs" + classBase + "s";
    const std::string object = "lo" + classBase;
    f.line("Dim lsSQL as String");
    f.line("Dim " + recordset + " As New ADODB.Recordset");
    f.line("Dim " + object + " As cls" + classBase);
    f.line("Dim lcoll" + classBase + "s As New Collection");
    f.line("");
    f.line("");

    std::string columns;
    for (const FieldRow* row : rows) {
        if (!columns.empty()) columns += ", ";
        columns += bracketedFieldName(row->field);
    }
    f.line("    lsSQL = \"SELECT \" _");
    f.line("             & \"" + columns + " \" _");
    f.line("             & \"FROM " + bracketedTableName(tableName) + " \"");

    f.line("    If RefreshFilter <> \"\" Then");
    f.line("        lsSQL = lsSQL & \"WHERE \" & RefreshFilter");
    f.line("    End If");
    f.line("");
    f.line("    If SortOrder <> \"\" Then");
    f.line("        lsSQL = lsSQL & \" ORDER BY \" & SortOrder");
    f.line("    End If");
    f.line("");
    f.line("    Set mCollection = Nothing");
    f.line("    Set mCollection = New Collection");
    f.line("");

    f.line("    If moConn.ExecSQL(lsSQL, " + recordset + ") > 0 Then");
    f.line("        Do While Not " + recordset + ".EOF");
    f.line("            Set " + object + " = New cls" + classBase);
    f.line("            " + object + ".mbLoading = True");
    f.line("            'Assign object properties for each column");
    for (const FieldRow* row : rows) {
        const std::string property = object + "." + propertyName(row->field);
        const std::string column = recordset + "(\"" + row->field + "\")";
        if (!row->nullable) {
            f.line("            " + property + " = " + column);
        } else if (coll::isTextType(row->dataType)) {
            // A Null text column becomes the empty string.
            f.line("            " + property + " = \"\" & " + column);
        } else {
            f.line("            If Not IsNull(" + column + ") Then");
            f.line("                " + property + " = " + column);
            f.line("            End If");
        }
    }
    f.line("            " + object + ".mbLoading = False");
    f.line("            mCollection.Add " + object);
    f.line("            Set " + object + " = Nothing");
    f.line("            " + recordset + ".MoveNext");
    f.line("        Loop");
    f.line("    End If");
    f.line("    " + recordset + ".Close");
}

}  // namespace

void msGenCollRefreshProc(GenContext& ctx, int fileNumber, const std::string& classBase,
                          const std::string& tableName) {
    guarded(ctx.ui, "frmFields.msGenCollRefreshProc", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        const Rows rows = ctx.grid.tableRows(tableName);
        if (s.mbFunctionHeaders) {
            writeProcedureHeaderTop(f, "Refresh()");
            f.line("' Purpose: Refreshes the cls" + classBase + "Coll based upon the ");
            f.line("'         RefreshFilter property setting.");
            writeProcedureHeaderCreated(ctx, f);
            if (s.mbDevNotes) writeDevNotes(ctx, f, rows, classBase, tableName);
            f.line(kRuleLine);
        }
        f.line("Public Sub Refresh()");
        if (s.mbErrorHandler) f.line("On Error GoTo RefreshErr");
        if (s.mbCode) writeBody(f, rows, classBase, tableName);
        if (s.mbErrorHandler) {
            f.line("");
            f.line("    Exit Sub");
            f.line("");
            f.line("RefreshErr:");
            // The working object is Nothing before the first row and after
            // each row is added, so the handler tests it before clearing its
            // flag: otherwise a failed query would surface as error 91 and
            // hide the real error. Without the body there is no such object.
            if (s.mbCode) f.line("    If Not lo" + classBase + " Is Nothing Then lo" + classBase + ".mbLoading = False");
            f.line("    RaiseError Err.Number, Err.Source & \" (cls" + classBase + "Coll.Refresh)\", Err.Description");
        }
        f.line("");
        f.line("End Sub");
    });
}

}  // namespace rw
