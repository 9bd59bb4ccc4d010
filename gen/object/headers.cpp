#include "gen/object/headers.h"

#include "model/product.h"

namespace rw {

void writeCreatorLines(Printer& p) {
    const std::string version =
        std::to_string(product::kMajor) + "." + std::to_string(product::kMinor) + std::to_string(product::kRevision);
    p.emit({{"product", product::kDisplayName}, {"version", version}, {"copyright", product::kCopyright},
            {"comments", product::kComments}},
           R"vb(
' This module was created with '$product$' R$version$
' ©$copyright$
' $comments$
)vb");
}

void msGenObjectModHeader(GenContext& ctx, const ClassNames& names, int fileNumber) {
    guarded(ctx.ui, "frmFields.msGenObjectModHeader", [&] {
        Printer p(ctx.file(fileNumber));
        p.emit({{"file", names.objectClassFile()}}, "' Module Name: $file$\n");
        writeCreatorLines(p);
        p.line(kRuleLine);
    });
}

void msGenCollModHeader(GenContext& ctx, const ClassNames& names, int fileNumber) {
    guarded(ctx.ui, "frmFields.msGenCollModHeader", [&] {
        Printer p(ctx.file(fileNumber));
        p.emit({{"file", names.collectionClassFile()}}, "' Module Name: $file$\n");
        writeCreatorLines(p);
        p.line("'");
        if (ctx.settings.mbDevNotes) {
            writeDevNotesOpening(p);
            p.emit(R"vb(
'      This module instantiates the clsRwtConn object, which utilizes 
'      the ADO library.  Don't forget to refer to it.  To do so in VB6, 
'      click 'Project->References' from the VB menu, and check the 
'      Microsoft ActiveX Data Objects 2.1 Library.
)vb");
        }
        p.line(kRuleLine);
    });
}

}  // namespace rw
