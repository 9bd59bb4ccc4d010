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

        // A standard module keeps its name line even in a code-only file.
        f.line("Attribute VB_Name = \"modRowwrightErrHndlr\"");
        if (s.mbModuleHeaders) {
            f.line("' Module Name: modRowwrightErrHndlr.bas");
            writeCreatorLines(f);
            f.line("");
            if (s.mbDevNotes) {
                writeDevNotesOpening(f);
                f.line("'      Obviously, this is a very basic error handler.  Please feel free");
                f.line("'      to customize it as you see fit.");
            }
            f.line(kRuleLine);
        }
        if (targetMode(s) != TargetMode::Loaded) f.line("Option Explicit");
        f.line("Public Sub RaiseError(vlErrorNumber As Long, vsSource As String, vsDescription As String)");
        f.line("");
        f.line("    Err.Raise vlErrorNumber, vsSource, vsDescription");
        f.line("");
        f.line("End Sub");
        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kSupportModulePadding);
        out.close();
    });
}

}  // namespace rw
