#include "gen/object/class_frame.h"
#include "gen/object/headers.h"
#include "gen/support/owned_output_file.h"
#include "gen/support/support_files.h"

namespace rw {

void msCreateEHFile(GenContext& ctx, const std::string& stagingFolder) {
    guarded(ctx.ui, "frmFields.msCreateEHFile", [&] {
        const GenerationSettings& s = ctx.settings;
        OwnedOutputFile out(ctx.files, generatedFilePath(s, stagingFolder, "modRowwrightErrHndlr", "bas"));
        TextFile& f = out.file();
        Printer p(f);

        // A standard module keeps its name line even in a code-only file.
        p.line("Attribute VB_Name = \"modRowwrightErrHndlr\"");
        if (s.mbModuleHeaders) {
            p.line("' Module Name: modRowwrightErrHndlr.bas");
            writeCreatorLines(p);
            p.emptyLines();
            if (s.mbDevNotes) {
                writeDevNotesOpening(p);
                p.emit(R"vb(
'      Obviously, this is a very basic error handler.  Please feel free
'      to customize it as you see fit.
)vb");
            }
            p.line(kRuleLine);
        }
        if (targetMode(s) != TargetMode::Loaded) p.line("Option Explicit");
        p.emit(R"vb(
Public Sub RaiseError(vlErrorNumber As Long, vsSource As String, vsDescription As String)

    Err.Raise vlErrorNumber, vsSource, vsDescription

End Sub
)vb");
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kSupportModulePadding);
        out.close();
    });
}

}  // namespace rw
