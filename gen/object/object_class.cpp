#include "gen/object/object_class.h"

#include "gen/object/class_frame.h"
#include "gen/object/headers.h"
#include "model/type_rules.h"

namespace rw {
namespace {

// The checks of a value assigned to the property `property` of `cls`,
// which names itself as "cls.property" in the errors it raises.
void writeChecks(Printer& p, int dataType, std::string_view cls, std::string_view property) {
    const CheckGroup group = checkGroupOf(dataType);
    if (group == CheckGroup::None) return;
    const TemplateVars vars = {{"class", cls}, {"property", property}};
    p.emit(vars, R"vb(
    If IsNull(vData) Then
        Err.Raise 94, "$class$.$property$", "Invalid use of Null"
)vb");
    switch (group) {
        case CheckGroup::SmallRange:
        case CheckGroup::ByteRange:
            p.emit(vars, "    ElseIf IsNumeric(vData) Then\n");
            p.emit(group == CheckGroup::SmallRange ? Template("        If vData >= 32768 Or vdata < -32768 Then\n")
                                                   : Template("        If vData < 0 Or vdata > 255 Then\n"));
            p.emit(vars, R"vb(
            Err.Raise 6, "$class$.$property$", "Overflow"
        End If
    Else
        Err.Raise 13, "$class$.$property$", "Type Mismatch"
    End If
)vb");
            break;
        case CheckGroup::Numeric:
        case CheckGroup::Date:
            p.emit(group == CheckGroup::Numeric ? Template("    ElseIf Not IsNumeric(vData) Then\n")
                                                : Template("    ElseIf Not IsDate(vData) Then\n"));
            p.emit(vars, R"vb(
        Err.Raise 13, "$class$.$property$", "Type Mismatch"
    End If
)vb");
            break;
        case CheckGroup::Text: p.emit("    End If\n"); break;
        case CheckGroup::None: break;
    }
}

void writePropertyLet(GenContext& ctx, Printer& p, const ClassNames& names, const ColumnNames& n) {
    const Procedure proc{"Property", names.objectClass(), n.property};
    const TemplateVars vars = {
        {"property", n.property}, {"class", names.objectClass()}, {"member", n.member}, {"buffer", n.buffer}};
    if (ctx.settings.mbFunctionHeaders) p.emptyLines();
    writeProcedureHeader(ctx, p, n.letHeader, vars, R"vb(
' Purpose: Assigns a value to the $property$ property of the 
'          $class$ object.
)vb");
    p.emit(vars, "Public Property Let $property$ (ByVal vData As Variant)\n");
    writeHandlerHead(ctx, p, proc);
    if (valueGroupOf(n.row->dataType) != ValueGroup::Boolean) p.emptyLines();
    writeChecks(p, n.row->dataType, names.objectClass(), n.property);
    p.emit(vars, R"vb(
    $member$ = vData
    If mbLoading Then
        $buffer$ = vData
    End If
)vb");
    writeProcedureClose(ctx, p, proc);
    p.emptyLines();
}

void writePropertyGet(GenContext& ctx, Printer& p, const ClassNames& names, const ColumnNames& n) {
    const Procedure proc{"Property", names.objectClass(), n.property};
    const TemplateVars vars = {{"property", n.property}, {"class", names.objectClass()}, {"member", n.member}};
    writeProcedureHeader(ctx, p, n.getHeader, vars, R"vb(
' Purpose: Reads the value of the $property$ property of the 
'          $class$ object.
)vb");
    p.emit(vars, "Public Property Get $property$() As Variant\n");
    writeHandlerHead(ctx, p, proc);
    p.emit(vars, R"vb(

    $property$ = $member$
)vb");
    writeProcedureClose(ctx, p, proc);
    p.emptyLines();
}

}  // namespace

void msGenObjectFile(GenContext& ctx, int fileNumber, const TableNames& table, const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msGenObjectFile", [&] {
        const GenerationSettings& s = ctx.settings;
        const ClassNames& names = table.classes();
        TextFile& f = ctx.file(fileNumber);
        Printer p(f);
        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(p, s, names.objectClass(), projectTypeWord);
        if (s.mbModuleHeaders) msGenObjectModHeader(ctx, names, fileNumber);
        if (targetMode(s) != TargetMode::Loaded) p.line("Option Explicit");
        p.emit(R"vb(

Public mbLoading As Boolean
)vb");
        for (const ColumnNames& n : table.columns()) {
            p.emit({{"member", n.member}, {"buffer", n.buffer}}, R"vb(
Private $member$ As Variant
Private $buffer$ As Variant
)vb");
        }
        for (const ColumnNames& n : table.columns()) {
            writePropertyLet(ctx, p, names, n);
            writePropertyGet(ctx, p, names, n);
        }
        msGenObjectUpdateMethod(ctx, fileNumber, table);
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kTableClassPadding);
        // Hand the buffered lines to the file system here, so that a failed
        // write (a full disk) is reported by this generator.
        f.flush();
    });
}

}  // namespace rw
