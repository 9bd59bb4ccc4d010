#include "gen/object/class_frame.h"
#include "gen/object/headers.h"
#include "gen/support/owned_output_file.h"
#include "gen/support/support_files.h"

namespace rw {
namespace {

void writeConnModuleHeader(TextFile& f, bool devNotes) {
    f.line("' Module Name: clsRwtConn");
    writeCreatorLines(f);
    f.line(kRuleLine);
    if (!devNotes) return;
    writeDevNotesOpening(f);
    f.line("'      This module utilizes the ADO library.  Don't forget to refer to it. ");
    f.line("'      To do so in VB6, click 'Project->References' from the VB menu, and ");
    f.line("'      check the Microsoft ActiveX Data Objects 2.1 Library.");
    f.line(kRuleLine);
}

void writeExecSql(GenContext& ctx, TextFile& f) {
    f.line("Public Function ExecSQL(ByVal vsQuery As String, ByRef roResults As ADODB.Recordset) As Long");
    f.line("On Error GoTo ExecSQLErr");
    // The DBMS name is read here whatever the connection kind, so a missing
    // property ends the file at this point.
    const std::string dbms = ctx.dbmsName();
    if (ctx.settings.connection.optDSNLess && dbms == "Oracle") {
        f.line("    roResults.CursorLocation = adUseClient   ' This line can be removed if you change");
        f.line("                                             ' to an ODBC DSN connection.");
    }
    f.line("    roResults.Open vsQuery, moConn, adOpenStatic");
    f.line("    If roResults.Supports(adApproxPosition) Or roResults.Supports(adBookmark) Then");
    f.line("        ExecSQL = roResults.RecordCount");
    f.line("    Else");
    f.line("        roResults.MoveLast");
    f.line("        ExecSQL = roResults.RecordCount");
    f.line("        roResults.MoveFirst");
    f.line("    End If");
    f.line("    Exit Function");
    f.line("ExecSQLErr:");
    f.line("    ExecSQL = dbResultCodes.dbFAIL");
    f.line("    RaiseError moConn.Errors(0).Number, moConn.Errors(0).Source, moConn.Errors(0).Description");
    f.line("End Function");
}

void writeClassEvents(GenContext& ctx, TextFile& f) {
    const ConnectionPageValues& page = ctx.settings.connection;
    f.line("Private Sub Class_Initialize()");
    f.line("On Error GoTo Class_InitializeErr");
    f.line("    Set moConn = New ADODB.Connection");
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
    f.line("    moConn.Open \"" + literal + "\"");
    f.line("    Exit Sub");
    f.line("Class_InitializeErr:");
    f.line("    RaiseError Err.Number, Err.Source & \" (clsRwtConn.Class_Initialize)\", Err.Description");
    f.line("End Sub");
    f.line("Private Sub Class_Terminate()");
    f.line("On Error GoTo Class_TerminateErr");
    f.line("    moConn.Close");
    f.line("    Set moConn = Nothing");
    f.line("    Exit Sub");
    f.line("Class_TerminateErr:");
    f.line("    RaiseError Err.Number, Err.Source & \" (clsRwtConn.Class_Terminate)\", Err.Description");
    f.line("End Sub");
}

void writeExecActionSqlAndTransactions(TextFile& f) {
    f.line("Public Function ExecActionSQL(ByVal vsQuery As String, Optional ByRef rlRecs As Variant) As Boolean");
    f.line("On Error GoTo ExecActionSQLErr");
    f.line("    Dim llRecs As Long");
    f.line("    moConn.Execute vsQuery, llRecs");
    f.line("    If Not IsMissing(rlRecs) Then");
    f.line("        rlRecs = llRecs");
    f.line("    End If");
    f.line("    ExecActionSQL = True");
    f.line("    Exit Function");
    f.line("ExecActionSQLErr:");
    f.line("    ExecActionSQL = False");
    f.line("    RaiseError moConn.Errors(0).Number, moConn.Errors(0).Source, moConn.Errors(0).Description");
    f.line("End Function");
    for (const char* method : {"RollBackTrans", "CommitTrans", "BeginTrans"}) {
        f.line(std::string("Public Sub ") + method + "()");
        f.line(std::string("    moConn.") + method);
        f.line("End Sub");
    }
}

}  // namespace

void msCreateConnObjFile(GenContext& ctx, const std::string& stagingFolder, const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msCreateConnObjFile", [&] {
        const GenerationSettings& s = ctx.settings;
        OwnedOutputFile out(ctx.files, generatedFilePath(s, stagingFolder, "clsRwtConn", "cls"));
        TextFile& f = out.file();

        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(f, s, "clsRwtConn", projectTypeWord);
        if (s.mbModuleHeaders) writeConnModuleHeader(f, s.mbDevNotes);
        if (targetMode(s) != TargetMode::Loaded) f.line("Option Explicit");
        f.line("Public Enum dbResultCodes");
        f.line("    dbSUCCESS = 1");
        f.line("    dbFAIL = -1");
        f.line("    dbNORECORDS = -2");
        f.line("    dbLOCKEDRECORD = -3");
        f.line("End Enum");
        f.line("Private moConn As ADODB.Connection");
        writeExecSql(ctx, f);
        writeClassEvents(ctx, f);
        writeExecActionSqlAndTransactions(f);
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kSupportModulePadding);
        out.close();
    });
}

}  // namespace rw
