#include "gen/object/object_class.h"

#include <string>

#include "gen/object/class_frame.h"
#include "gen/object/headers.h"
#include "model/namer.h"
#include "model/type_rules.h"

namespace rw {
namespace {

void writeChecks(Printer& p, int dataType, std::string_view source) {
    const CheckGroup group = checkGroupOf(dataType);
    if (group == CheckGroup::None) return;
    const TemplateVars vars = {{"source", source}};
    p.emit(vars, R"vb(
    If IsNull(vData) Then
        Err.Raise 94, "$source$", "Invalid use of Null"
)vb");
    switch (group) {
        case CheckGroup::SmallRange:
        case CheckGroup::ByteRange:
            p.emit(vars, "    ElseIf IsNumeric(vData) Then\n");
            p.emit(group == CheckGroup::SmallRange ? Template("        If vData >= 32768 Or vdata < -32768 Then\n")
                                                   : Template("        If vData < 0 Or vdata > 255 Then\n"));
            p.emit(vars, R"vb(
            Err.Raise 6, "$source$", "Overflow"
        End If
    Else
        Err.Raise 13, "$source$", "Type Mismatch"
    End If
)vb");
            break;
        case CheckGroup::Numeric:
        case CheckGroup::Date:
            p.emit(group == CheckGroup::Numeric ? Template("    ElseIf Not IsNumeric(vData) Then\n")
                                                : Template("    ElseIf Not IsDate(vData) Then\n"));
            p.emit(vars, R"vb(
        Err.Raise 13, "$source$", "Type Mismatch"
    End If
)vb");
            break;
        case CheckGroup::Text: p.emit("    End If\n"); break;
        case CheckGroup::None: break;
    }
}

// The names of one column's property, its procedures and its variables,
// made once for both procedures.
struct PropertyNames {
    PropertyNames(const FieldRow& row, const ClassNames& names)
        : property(propertyName(row.field)), label(property + "Err"), source(names.objectClass() + "." + property),
          member(memberVariable(property)), buffer(readBufferVariable(property)) {}

    std::string property;
    std::string label;   // the error handler's
    std::string source;  // clsOrders.Qty
    std::string member;
    std::string buffer;
};

void writePropertyLet(GenContext& ctx, Printer& p, const FieldRow& row, const ClassNames& names,
                      const PropertyNames& n) {
    const std::string& property = n.property;
    const std::string& source = n.source;
    const Procedure proc{"Property", n.label, source};
    const TemplateVars vars = {
        {"property", property}, {"class", names.objectClass()}, {"member", n.member}, {"buffer", n.buffer}};
    if (ctx.settings.mbFunctionHeaders) p.emptyLines();
    writeProcedureHeader(ctx, p, "Property Let " + property + " ()", vars, R"vb(
' Purpose: Assigns a value to the $property$ property of the 
'          $class$ object.
)vb");
    p.emit(vars, "Public Property Let $property$ (ByVal vData As Variant)\n");
    writeHandlerHead(ctx, p, proc);
    if (valueGroupOf(row.dataType) != ValueGroup::Boolean) p.emptyLines();
    writeChecks(p, row.dataType, source);
    p.emit(vars, R"vb(
    $member$ = vData
    If mbLoading Then
        $buffer$ = vData
    End If
)vb");
    writeHandlerTail(ctx, p, proc);
    writeProcedureEnd(p, proc);
    p.emptyLines();
}

void writePropertyGet(GenContext& ctx, Printer& p, const ClassNames& names, const PropertyNames& n) {
    const std::string& property = n.property;
    const Procedure proc{"Property", n.label, n.source};
    const TemplateVars vars = {{"property", property}, {"class", names.objectClass()}, {"member", n.member}};
    writeProcedureHeader(ctx, p, "Property Get " + property + " ()", vars, R"vb(
' Purpose: Reads the value of the $property$ property of the 
'          $class$ object.
)vb");
    p.emit(vars, "Public Property Get $property$() As Variant\n");
    writeHandlerHead(ctx, p, proc);
    p.emit(vars, R"vb(

    $property$ = $member$
)vb");
    writeHandlerTail(ctx, p, proc);
    writeProcedureEnd(p, proc);
    p.emptyLines();
}

}  // namespace

void msGenObjectFile(GenContext& ctx, int fileNumber, const std::string& tableName, const std::string& classBase,
                     const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msGenObjectFile", [&] {
        const GenerationSettings& s = ctx.settings;
        const ClassNames names(classBase);
        TextFile& f = ctx.file(fileNumber);
        Printer p(f);
        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(p, s, names.objectClass(), projectTypeWord);
        if (s.mbModuleHeaders) msGenObjectModHeader(ctx, classBase, fileNumber);
        if (targetMode(s) != TargetMode::Loaded) p.line("Option Explicit");
        p.emit(R"vb(

Public mbLoading As Boolean
)vb");
        const auto rows = ctx.grid.tableRows(tableName);
        for (const FieldRow* row : rows) {
            const std::string property = propertyName(row->field);
            p.emit({{"member", memberVariable(property)}, {"buffer", readBufferVariable(property)}}, R"vb(
Private $member$ As Variant
Private $buffer$ As Variant
)vb");
        }
        // Not kept from the declarations: an array of every column's names
        // costs a large allocation per table, more than making them again.
        for (const FieldRow* row : rows) {
            const PropertyNames n(*row, names);
            writePropertyLet(ctx, p, *row, names, n);
            writePropertyGet(ctx, p, names, n);
        }
        msGenObjectUpdateMethod(ctx, fileNumber, classBase, tableName);
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kTableClassPadding);
        // Hand the buffered lines to the file system here, so that a failed
        // write (a full disk) is reported by this generator.
        f.flush();
    });
}

}  // namespace rw
