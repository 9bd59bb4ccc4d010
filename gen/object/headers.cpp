#include "gen/object/headers.h"

#include "model/product.h"

namespace rw {

void writeCreatorLines(TextFile& f) {
    f.line("' This module was created with '" + std::string(product::kDisplayName) + "' R" +
           std::to_string(product::kMajor) + "." + std::to_string(product::kMinor) +
           std::to_string(product::kRevision));
    f.line("' \u00A9" + std::string(product::kCopyright));
    f.line("' " + std::string(product::kComments));
}

void writeDevNotesOpening(TextFile& f) {
    f.line("' [Developer Notes from '" + std::string(product::kDisplayName) + "']");
}

void writeProcedureHeaderTop(TextFile& f, std::string_view procedureName) {
    f.line(kRuleLine);
    f.line("' Procedure Name: " + std::string(procedureName));
}

void writeProcedureHeaderCreated(GenContext& ctx, TextFile& f) {
    f.line("' Created " + ctx.clock.nowText() + " by '" + product::kDisplayName + "'");
    f.line("' Revision History:");
    f.line("'");
}

void msGenObjectModHeader(GenContext& ctx, const std::string& classBase, int fileNumber) {
    guarded(ctx.ui, "frmFields.msGenObjectModHeader", [&] {
        TextFile& f = ctx.file(fileNumber);
        f.line("' Module Name: cls" + classBase + ".cls");
        writeCreatorLines(f);
        f.line(kRuleLine);
    });
}

void msGenCollModHeader(GenContext& ctx, const std::string& classBase, int fileNumber) {
    guarded(ctx.ui, "frmFields.msGenCollModHeader", [&] {
        TextFile& f = ctx.file(fileNumber);
        f.line("' Module Name: cls" + classBase + "Coll.cls");
        writeCreatorLines(f);
        f.line("'");
        if (ctx.settings.mbDevNotes) {
            writeDevNotesOpening(f);
            f.line("'      This module instantiates the clsRwtConn object, which utilizes ");
            f.line("'      the ADO library.  Don't forget to refer to it.  To do so in VB6, ");
            f.line("'      click 'Project->References' from the VB menu, and check the ");
            f.line("'      Microsoft ActiveX Data Objects 2.1 Library.");
        }
        f.line(kRuleLine);
    });
}

}  // namespace rw
