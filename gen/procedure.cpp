#include "gen/procedure.h"

#include "model/product.h"

namespace rw {

void writeDevNotesOpening(Printer& p) {
    p.emit({{"product", product::kDisplayName}}, "' [Developer Notes from '$product$']\n");
}

void writeProcedureHeaderTop(Printer& p, std::string_view name, TemplateVars vars, Template purpose) {
    p.line(kRuleLine);
    p.emit({{"name", name}}, "' Procedure Name: $name$\n");
    p.emit(vars, purpose);
}

void writeProcedureHeaderCreated(GenContext& ctx, Printer& p) {
    // The current time is taken afresh for each header.
    p.emit({{"now", ctx.clock.nowText()}, {"product", product::kDisplayName}}, R"vb(
' Created $now$ by '$product$'
' Revision History:
'
)vb");
}

void writeProcedureHeader(GenContext& ctx, Printer& p, std::string_view name, TemplateVars vars,
                          Template purpose) {
    writeProcedureHeader(ctx, p, name, vars, purpose, [] {});
}

void writeHandlerHead(const GenContext& ctx, Printer& p, const Procedure& proc) {
    if (proc.handled(ctx)) p.emit({{"name", proc.name}}, "On Error GoTo $name$Err\n");
}

void writeHandlerTail(const GenContext& ctx, Printer& p, const Procedure& proc, TemplateVars cleanupVars,
                      Template cleanup) {
    if (!proc.handled(ctx)) return;
    p.emit({{"kind", proc.kind}, {"name", proc.name}}, R"vb(

    Exit $kind$

$name$Err:
)vb");
    p.emit(cleanupVars, cleanup);
    p.emit({{"owner", proc.owner}, {"name", proc.name}}, R"vb(
    RaiseError Err.Number, Err.Source & " ($owner$.$name$)", Err.Description
)vb");
}

void writeProcedureEnd(Printer& p, const Procedure& proc) {
    p.emit({{"kind", proc.kind}}, R"vb(

End $kind$
)vb");
}

}  // namespace rw
