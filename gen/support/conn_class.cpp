#include "gen/object/class_frame.h"
#include "gen/object/headers.h"
#include "gen/support/owned_output_file.h"
#include "gen/support/support_files.h"
#include "model/type_rules.h"

namespace rw {
namespace {

void writeConnModuleHeader(Printer& p, bool devNotes) {
    p.line("' Module Name: clsRwtConn");
    writeCreatorLines(p);
    p.line(kRuleLine);
    if (!devNotes) return;
    writeDevNotesOpening(p);
    p.emit(R"vb(
'      This module utilizes the ADO library.  Don't forget to refer to it. 
'      To do so in VB6, click 'Project->References' from the VB menu, and 
'      check the Microsoft ActiveX Data Objects 2.1 Library.
)vb");
    p.line(kRuleLine);
}

void writeExecSql(GenContext& ctx, Printer& p) {
    p.emit(R"vb(
Public Function ExecSQL(ByVal vsQuery As String, ByRef roResults As ADODB.Recordset) As Long
On Error GoTo ExecSQLErr
)vb");
    // The DBMS name is read here whatever the connection kind, so a missing
    // property ends the file at this point.
    const Dbms dbms = dbmsOf(ctx.dbmsName());
    if (ctx.settings.connection.optDSNLess && needsClientCursor(dbms)) {
        p.emit(R"vb(
    roResults.CursorLocation = adUseClient   ' This line can be removed if you change
                                             ' to an ODBC DSN connection.
)vb");
    }
    p.emit(R"vb(
    roResults.Open vsQuery, moConn, adOpenStatic
    If roResults.Supports(adApproxPosition) Or roResults.Supports(adBookmark) Then
        ExecSQL = roResults.RecordCount
    Else
        roResults.MoveLast
        ExecSQL = roResults.RecordCount
        roResults.MoveFirst
    End If
    Exit Function
ExecSQLErr:
    ExecSQL = dbResultCodes.dbFAIL
    RaiseError moConn.Errors(0).Number, moConn.Errors(0).Source, moConn.Errors(0).Description
End Function
)vb");
}

void writeClassEvents(GenContext& ctx, Printer& p) {
    const ConnectionPageValues& page = ctx.settings.connection;
    p.emit(R"vb(
Private Sub Class_Initialize()
On Error GoTo Class_InitializeErr
    Set moConn = New ADODB.Connection
)vb");
    // A data source connection opens by its name alone: the user name and
    // password of the wizard's login are not written into the class.
    const std::string connectionText = page.optDSN ? ctx.conn.property("Data Source Name") : page.txtConnString;
    // A double quote inside the text is doubled, so that the generated
    // literal compiles and opens exactly the text the user gave.
    std::string literal;
    for (const char c : connectionText) {
        literal += c;
        if (c == '"') literal += '"';
    }
    p.emit({{"connection", literal}}, R"vb(
    moConn.Open "$connection$"
    Exit Sub
Class_InitializeErr:
    RaiseError Err.Number, Err.Source & " (clsRwtConn.Class_Initialize)", Err.Description
End Sub
Private Sub Class_Terminate()
On Error GoTo Class_TerminateErr
    moConn.Close
    Set moConn = Nothing
    Exit Sub
Class_TerminateErr:
    RaiseError Err.Number, Err.Source & " (clsRwtConn.Class_Terminate)", Err.Description
End Sub
)vb");
}

void writeExecActionSqlAndTransactions(Printer& p) {
    p.emit(R"vb(
Public Function ExecActionSQL(ByVal vsQuery As String, Optional ByRef rlRecs As Variant) As Boolean
On Error GoTo ExecActionSQLErr
    Dim llRecs As Long
    moConn.Execute vsQuery, llRecs
    If Not IsMissing(rlRecs) Then
        rlRecs = llRecs
    End If
    ExecActionSQL = True
    Exit Function
ExecActionSQLErr:
    ExecActionSQL = False
    RaiseError moConn.Errors(0).Number, moConn.Errors(0).Source, moConn.Errors(0).Description
End Function
)vb");
    for (const char* method : {"RollBackTrans", "CommitTrans", "BeginTrans"}) {
        p.emit({{"method", method}}, R"vb(
Public Sub $method$()
    moConn.$method$
End Sub
)vb");
    }
}

}  // namespace

void msCreateConnObjFile(GenContext& ctx, const std::string& stagingFolder, const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msCreateConnObjFile", [&] {
        const GenerationSettings& s = ctx.settings;
        OwnedOutputFile out(ctx.files, generatedFilePath(s, stagingFolder, "clsRwtConn", "cls"));
        TextFile& f = out.file();
        Printer p(f);

        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(p, s, "clsRwtConn", projectTypeWord);
        if (s.mbModuleHeaders) writeConnModuleHeader(p, s.mbDevNotes);
        if (targetMode(s) != TargetMode::Loaded) p.line("Option Explicit");
        p.emit(R"vb(
Public Enum dbResultCodes
    dbSUCCESS = 1
    dbFAIL = -1
    dbNORECORDS = -2
    dbLOCKEDRECORD = -3
End Enum
Private moConn As ADODB.Connection
)vb");
        writeExecSql(ctx, p);
        writeClassEvents(ctx, p);
        writeExecActionSqlAndTransactions(p);
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kSupportModulePadding);
        out.close();
    });
}

}  // namespace rw
