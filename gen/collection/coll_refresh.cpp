#include <algorithm>
#include <string>
#include <vector>

#include "gen/collection/coll_procs.h"
#include "gen/procedure.h"
#include "gen/samples.h"
#include "model/type_rules.h"

namespace rw {
namespace {

using Columns = std::vector<ColumnNames>;

// The sample RefreshFilter and SortOrder of the developer notes, from the
// table's first four fields.
struct SampleQuery {
    std::string filter;
    std::string sortOrder;
};

constexpr std::size_t kSampleFields = 4;

SampleQuery buildSampleQuery(const GenContext& ctx, const Columns& columns) {
    SampleQuery q;
    const std::size_t count = std::min(columns.size(), kSampleFields);
    for (std::size_t i = 0; i < count; ++i) {
        const FieldRow& row = *columns[i].row;
        if (const auto tail = sampleConditionTail(ctx, row.dataType))
            q.filter.append(row.field).append(*tail).append("AND ");
        q.sortOrder.append(row.field).append(", ");
    }
    if (q.filter.size() >= 4) q.filter.resize(q.filter.size() - 4);
    if (q.sortOrder.size() >= 2) q.sortOrder.resize(q.sortOrder.size() - 2);
    return q;
}

void writeUsageBlock(Printer& p, const SampleQuery& q, const ClassNames& names) {
    p.emit({{"obj", names.objectVariable()},
            {"coll", names.collectionVariable()},
            {"filter", q.filter},
            {"sort", q.sortOrder}},
           R"vb(
'          $coll$.RefreshFilter = "$filter$"
'          $coll$.SortOrder = "$sort$"
'          $coll$.Refresh
'
'          For Each $obj$ In $coll$
'             MsgBox $obj$.<property name>
'          Next
'      
)vb");
}

void writeDevNotes(GenContext& ctx, Printer& p, const TableNames& table) {
    const ClassNames& names = table.classes();
    writeDevNotesOpening(p);
    p.emit({{"class", names.objectClass()}, {"collclass", names.collectionClass()}, {"table", table.table()}}, R"vb(
'      If no Refresh Filter is set, calling this method will cause
'      the $collclass$ collection object to contain one 
'      $class$ object for each row in the '$table$'
'      table.  You may filter your results by setting the RefreshFilter
'      property prior to calling this method.
'
'      To call this method from an ASP page:
'      
)vb");
    writeAspCreation(p, names);
    p.emit(R"vb(
'      
'
)vb");
    // Built where it is first needed: a provider without a DBMS name stops
    // the notes just before the sample filter line.
    const SampleQuery sample = buildSampleQuery(ctx, table.columns());
    writeUsageBlock(p, sample, names);
    writeVbSampleHead(p, names);
    p.emit(R"vb(
'      
'
)vb");
    writeUsageBlock(p, sample, names);
}

void writeBody(Printer& p, const TableNames& table) {
    const ClassNames& names = table.classes();
    const std::string recordset = names.recordsetVariable();
    const std::string_view object = names.objectVariable();
    std::size_t length = 0;
    for (const ColumnNames& c : table.columns()) length += c.sqlName.size() + 2;
    std::string columns;
    columns.reserve(length);
    for (const ColumnNames& c : table.columns()) {
        if (!columns.empty()) columns += ", ";
        columns += c.sqlName;
    }
    p.emit({{"rs", recordset},
            {"obj", object},
            {"class", names.objectClass()},
            {"coll", names.localCollectionVariable()},
            {"columns", columns},
            {"table", table.sqlTable()}},
           R"vb(
Dim lsSQL as String
Dim $rs$ As New ADODB.Recordset
Dim $obj$ As $class$
Dim $coll$ As New Collection


    lsSQL = "SELECT " _
             & "$columns$ " _
             & "FROM $table$ "
    If RefreshFilter <> "" Then
        lsSQL = lsSQL & "WHERE " & RefreshFilter
    End If

    If SortOrder <> "" Then
        lsSQL = lsSQL & " ORDER BY " & SortOrder
    End If

    Set mCollection = Nothing
    Set mCollection = New Collection

    If moConn.ExecSQL(lsSQL, $rs$) > 0 Then
        Do While Not $rs$.EOF
            Set $obj$ = New $class$
            $obj$.mbLoading = True
            'Assign object properties for each column
)vb");
    {
        Printer::Indent in(p, 12);
        for (const ColumnNames& c : table.columns()) {
            const TemplateVars cell = {
                {"obj", object}, {"property", c.property}, {"rs", recordset}, {"field", c.row->field}};
            if (!c.row->nullable) {
                p.emit(cell, "$obj$.$property$ = $rs$(\"$field$\")\n");
            } else if (valueGroupOf(c.row->dataType) == ValueGroup::Text) {
                // A Null text column becomes the empty string.
                p.emit(cell, "$obj$.$property$ = \"\" & $rs$(\"$field$\")\n");
            } else {
                p.emit(cell, R"vb(
If Not IsNull($rs$("$field$")) Then
    $obj$.$property$ = $rs$("$field$")
End If
)vb");
            }
        }
    }
    p.emit({{"rs", recordset}, {"obj", object}}, R"vb(
            $obj$.mbLoading = False
            mCollection.Add $obj$
            Set $obj$ = Nothing
            $rs$.MoveNext
        Loop
    End If
    $rs$.Close
)vb");
}

}  // namespace

void msGenCollRefreshProc(GenContext& ctx, int fileNumber, const TableNames& table) {
    guarded(ctx.ui, "frmFields.msGenCollRefreshProc", [&] {
        const GenerationSettings& s = ctx.settings;
        const ClassNames& names = table.classes();
        Printer p(ctx.file(fileNumber));
        const Procedure proc{"Sub", names.collectionClass(), "Refresh"};
        writeProcedureHeader(ctx, p, "Refresh()", {{"collclass", names.collectionClass()}}, R"vb(
' Purpose: Refreshes the $collclass$ based upon the 
'         RefreshFilter property setting.
)vb",
                             [&] {
                                 if (s.mbDevNotes) writeDevNotes(ctx, p, table);
                             });
        p.emit("Public Sub Refresh()\n");
        writeHandlerHead(ctx, p, proc);
        if (s.mbCode) writeBody(p, table);
        // The working object is Nothing before the first row and after each
        // row is added, so the handler tests it before clearing its flag:
        // otherwise a failed query would surface as error 91 and hide the
        // real error. Without the body there is no such object.
        const Template cleanup = "    If Not $obj$ Is Nothing Then $obj$.mbLoading = False\n";
        writeProcedureClose(ctx, p, proc, {{"obj", names.objectVariable()}}, s.mbCode ? cleanup : Template());
    });
}

}  // namespace rw
