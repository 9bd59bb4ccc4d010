#pragma once
// The frame every generated procedure of a table class shares: the header
// comment block, the error handler's head and tail, and the end line.
#include <string_view>

#include "gen/printer.h"
#include "model/gen_context.h"

namespace rw {

// An apostrophe and 73 equals signs; a macro too, so that a template can
// hold it as compile-time text.
#define RW_RULE_LINE "'========================================================================="
inline constexpr std::string_view kRuleLine = RW_RULE_LINE;
// An apostrophe and six spaces: the start of every developer-notes line.
inline constexpr std::string_view kNoteIndent = "'      ";

struct Procedure {
    std::string_view kind;   // "Function", "Sub" or "Property": the word of Exit and End
    std::string_view owner;  // its class: RaiseError names it owner + "." + name ("clsOrdersColl.Add")
    std::string_view name;   // its error handler's label is name + "Err"
    bool hasHandler = true;  // false: the procedure never gets one
    // True when the procedure gets its error handler.
    bool handled(const GenContext& ctx) const { return ctx.settings.mbErrorHandler && hasHandler; }
};

// "' [Developer Notes from 'Rowwright']"
void writeDevNotesOpening(Printer& p);

// The procedure header block, when headers are chosen: the rule line, the
// procedure name, the purpose lines (a template), the created lines, the
// developer notes `notes` writes, the rule line.
template <class Notes>
void writeProcedureHeader(GenContext& ctx, Printer& p, std::string_view name, TemplateVars vars,
                          Template purpose, Notes&& notes);
void writeProcedureHeader(GenContext& ctx, Printer& p, std::string_view name, TemplateVars vars,
                          Template purpose);

// "On Error GoTo <label>" when the procedure has its handler.
void writeHandlerHead(const GenContext& ctx, Printer& p, const Procedure& proc);
// The end of the procedure. When it has its handler, the handler's tail
// first: an empty line, the Exit line, an empty line, the label, the
// `cleanup` template's lines, the RaiseError call naming the procedure.
// Then an empty line and "End <kind>".
void writeProcedureClose(const GenContext& ctx, Printer& p, const Procedure& proc, TemplateVars cleanupVars = {},
                         Template cleanup = {});

// The header's lines up to the purpose, and those between the purpose and
// the developer notes.
void writeProcedureHeaderTop(Printer& p, std::string_view name, TemplateVars vars, Template purpose);
void writeProcedureHeaderCreated(GenContext& ctx, Printer& p);

template <class Notes>
void writeProcedureHeader(GenContext& ctx, Printer& p, std::string_view name, TemplateVars vars,
                          Template purpose, Notes&& notes) {
    if (!ctx.settings.mbFunctionHeaders) return;
    writeProcedureHeaderTop(p, name, vars, purpose);
    writeProcedureHeaderCreated(ctx, p);
    notes();
    p.line(kRuleLine);
}

}  // namespace rw
