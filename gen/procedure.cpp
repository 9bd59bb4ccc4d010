#include "gen/procedure.h"

#include "model/product.h"

namespace rw {

void writeDevNotesOpening(Printer& p) {
    p.emit({{"product", product::kDisplayName}}, "' [Developer Notes from '$product$']\n");
}

// The created lines: the current time is taken afresh for each header.
#define RW_CREATED_LINES "' Created $now$ by '$product$'\n' Revision History:\n'\n"

void writeProcedureHeaderTop(Printer& p, std::string_view name, TemplateVars vars, Template purpose) {
    p.emit({{"name", name}}, RW_RULE_LINE "\n' Procedure Name: $name$\n");
    p.emit(vars, purpose);
}

void writeProcedureHeaderCreated(GenContext& ctx, Printer& p) {
    p.emit({{"now", ctx.clock.nowText()}, {"product", product::kDisplayName}}, RW_CREATED_LINES);
}

void writeProcedureHeader(GenContext& ctx, Printer& p, std::string_view name, TemplateVars vars,
                          Template purpose) {
    if (!ctx.settings.mbFunctionHeaders) return;
    writeProcedureHeaderTop(p, name, vars, purpose);
    // Without notes the closing rule line is part of the same template.
    p.emit({{"now", ctx.clock.nowText()}, {"product", product::kDisplayName}}, RW_CREATED_LINES RW_RULE_LINE "\n");
}

void writeHandlerHead(const GenContext& ctx, Printer& p, const Procedure& proc) {
    if (proc.handled(ctx)) p.emit({{"name", proc.name}}, "On Error GoTo $name$Err\n");
}

void writeProcedureClose(const GenContext& ctx, Printer& p, const Procedure& proc, TemplateVars cleanupVars,
                         Template cleanup) {
    const TemplateVars vars = {{"kind", proc.kind}, {"owner", proc.owner}, {"name", proc.name}};
    if (!proc.handled(ctx)) {
        p.emit(vars, R"vb(

End $kind$
)vb");
        return;
    }
    // The common case, a handler without cleanup, is one template.
    if (cleanup.text().empty()) {
        p.emit(vars, R"vb(

    Exit $kind$

$name$Err:
    RaiseError Err.Number, Err.Source & " ($owner$.$name$)", Err.Description

End $kind$
)vb");
        return;
    }
    p.emit(vars, R"vb(

    Exit $kind$

$name$Err:
)vb");
    p.emit(cleanupVars, cleanup);
    p.emit(vars, R"vb(
    RaiseError Err.Number, Err.Source & " ($owner$.$name$)", Err.Description

End $kind$
)vb");
}

}  // namespace rw
