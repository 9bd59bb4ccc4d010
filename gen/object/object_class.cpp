#include "gen/object/object_class.h"

#include "model/names.h"
#include "gen/object/class_frame.h"
#include "gen/object/headers.h"

namespace rw {
namespace {

enum class CheckGroup { Range, Numeric, Date, Text, None };

CheckGroup checkGroupOf(int dataType) {
    switch (dataType) {
        case 2:
        case 17: return CheckGroup::Range;
        case 3:
        case 4:
        case 5:
        case 6:
        case 11: return CheckGroup::Numeric;
        case 7:
        case 135: return CheckGroup::Date;
        case 8:
        case 129:
        case 130: return CheckGroup::Text;
        default: return CheckGroup::None;
    }
}

void writeHandlerTail(TextFile& f, const std::string& label, const std::string& classBase,
                      const std::string& procedure) {
    f.line("");
    f.line("    Exit Property");
    f.line("");
    f.line(label + "Err:");
    f.line("    RaiseError Err.Number, Err.Source & \" (cls" + classBase + "." + procedure + ")\", Err.Description");
}

void writeChecks(TextFile& f, int dataType, const std::string& source) {
    const CheckGroup group = checkGroupOf(dataType);
    if (group == CheckGroup::None) return;
    const std::string typeMismatch = "Err.Raise 13, \"" + source + "\", \"Type Mismatch\"";
    f.line("    If IsNull(vData) Then");
    f.line("        Err.Raise 94, \"" + source + "\", \"Invalid use of Null\"");
    switch (group) {
        case CheckGroup::Range:
            f.line("    ElseIf IsNumeric(vData) Then");
            f.line(dataType == 2 ? "        If vData >= 32768 Or vdata < -32768 Then"
                                 : "        If vData < 0 Or vdata > 255 Then");
            f.line("            Err.Raise 6, \"" + source + "\", \"Overflow\"");
            f.line("        End If");
            f.line("    Else");
            f.line("        " + typeMismatch);
            f.line("    End If");
            break;
        case CheckGroup::Numeric:
            f.line("    ElseIf Not IsNumeric(vData) Then");
            f.line("        " + typeMismatch);
            f.line("    End If");
            break;
        case CheckGroup::Date:
            f.line("    ElseIf Not IsDate(vData) Then");
            f.line("        " + typeMismatch);
            f.line("    End If");
            break;
        case CheckGroup::Text: f.line("    End If"); break;
        case CheckGroup::None: break;
    }
}

void writePropertyLet(GenContext& ctx, TextFile& f, const FieldRow& row, const std::string& classBase) {
    const GenerationSettings& s = ctx.settings;
    const std::string property = propertyName(row.field);
    if (s.mbFunctionHeaders) {
        f.line("");
        writeProcedureHeaderTop(f, "Property Let " + property + " ()");
        f.line("' Purpose: Assigns a value to the " + property + " property of the ");
        f.line("'          cls" + classBase + " object.");
        writeProcedureHeaderCreated(ctx, f);
        f.line(kRuleLine);
    }
    f.line("Public Property Let " + property + " (ByVal vData As Variant)");
    if (s.mbErrorHandler) f.line("On Error GoTo " + property + "Err");
    if (row.dataType != 11) f.line("");
    writeChecks(f, row.dataType, "cls" + classBase + "." + property);
    f.line("    mvar" + property + " = vData");
    f.line("    If mbLoading Then");
    f.line("        mvar" + property + "_ReadBuf = vData");
    f.line("    End If");
    if (s.mbErrorHandler) writeHandlerTail(f, property, classBase, property);
    f.line("");
    f.line("End Property");
    f.line("");
}

void writePropertyGet(GenContext& ctx, TextFile& f, const FieldRow& row, const std::string& classBase) {
    const GenerationSettings& s = ctx.settings;
    const std::string property = propertyName(row.field);
    if (s.mbFunctionHeaders) {
        writeProcedureHeaderTop(f, "Property Get " + property + " ()");
        f.line("' Purpose: Reads the value of the " + property + " property of the ");
        f.line("'          cls" + classBase + " object.");
        writeProcedureHeaderCreated(ctx, f);
        f.line(kRuleLine);
    }
    f.line("Public Property Get " + property + "() As Variant");
    if (s.mbErrorHandler) f.line("On Error GoTo " + property + "Err");
    f.line("");
    f.line("    " + property + " = mvar" + property);
    if (s.mbErrorHandler) writeHandlerTail(f, property, classBase, property);
    f.line("");
    f.line("End Property");
    f.line("");
}

}  // namespace

void msGenObjectFile(GenContext& ctx, int fileNumber, const std::string& tableName, const std::string& classBase,
                     const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msGenObjectFile", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(f, s, "cls" + classBase, projectTypeWord);
        if (s.mbModuleHeaders) msGenObjectModHeader(ctx, classBase, fileNumber);
        if (targetMode(s) != TargetMode::Loaded) f.line("Option Explicit");
        f.line("");
        f.line("Public mbLoading As Boolean");
        const auto rows = ctx.grid.tableRows(tableName);
        for (const FieldRow* row : rows) {
            const std::string property = propertyName(row->field);
            f.line("Private mvar" + property + " As Variant");
            f.line("Private mvar" + property + "_ReadBuf As Variant");
        }
        for (const FieldRow* row : rows) {
            writePropertyLet(ctx, f, *row, classBase);
            writePropertyGet(ctx, f, *row, classBase);
        }
        msGenObjectUpdateMethod(ctx, fileNumber, classBase, tableName);
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kTableClassPadding);
        // Hand the buffered lines to the file system here, so that a failed
        // write (a full disk) is reported by this generator.
        f.flush();
    });
}

}  // namespace rw
