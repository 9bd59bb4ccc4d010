#include "gen/procedure.h"

#include "model/product.h"

namespace rw {

void writeDevNotesOpening(Printer& p) {
    p.emit({{"product", product::kDisplayName}}, "' [Developer Notes from '$product$']\n");
}

// The created lines: the current time is taken afresh for each header.
#define RW_CREATED_LINES "' Created $now$ by '$product$'\n' Revision History:\n'\n"

// The error handler's label, and the parts of a procedure's end, joined
// into one template where nothing comes between them. (A template's first
// line break is skipped, hence the "\n" before a part that starts with an
// empty line.)
#define RW_HANDLER_LABEL "$name$Err"
#define RW_HANDLER_EXIT "\n    Exit $kind$\n\n" RW_HANDLER_LABEL ":\n"
#define RW_HANDLER_RAISE "    RaiseError Err.Number, Err.Source & \" ($owner$.$name$)\", Err.Description\n"
#define RW_PROCEDURE_END "\nEnd $kind$\n"

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
    if (proc.handled(ctx)) p.emit({{"name", proc.name}}, "On Error GoTo " RW_HANDLER_LABEL "\n");
}

void writeProcedureClose(const GenContext& ctx, Printer& p, const Procedure& proc, TemplateVars cleanupVars,
                         Template cleanup) {
    const TemplateVars vars = {{"kind", proc.kind}, {"owner", proc.owner}, {"name", proc.name}};
    if (!proc.handled(ctx)) {
        p.emit(vars, "\n" RW_PROCEDURE_END);
    } else if (cleanup.text().empty()) {
        p.emit(vars, "\n" RW_HANDLER_EXIT RW_HANDLER_RAISE RW_PROCEDURE_END);
    } else {
        p.emit(vars, "\n" RW_HANDLER_EXIT);
        p.emit(cleanupVars, cleanup);
        p.emit(vars, RW_HANDLER_RAISE RW_PROCEDURE_END);
    }
}

}  // namespace rw
