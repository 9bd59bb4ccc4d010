#include "gen/collection/coll_file.h"

#include "gen/collection/coll_procs.h"
#include "gen/object/class_frame.h"
#include "gen/object/headers.h"

namespace rw {

void msGenCollFile(GenContext& ctx, int fileNumber, const std::string& tableName, const std::string& classBase,
                   const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msGenCollFile", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(f, s, "cls" + classBase + "Coll", projectTypeWord);
        if (s.mbModuleHeaders) msGenCollModHeader(ctx, classBase, fileNumber);
        if (targetMode(s) != TargetMode::Loaded) f.line("Option Explicit");

        f.line("Private mCollection As Collection");
        f.line("Private msRefreshFilter As String");
        f.line("Private msSortOrder As String");
        f.line("Private moConn As clsRwtConn");
        f.line("Private Sub Class_Initialize()");
        f.line("    Set mCollection = New Collection");
        f.line("    Set moConn = New clsRwtConn");
        f.line("End Sub");
        f.line("Private Sub Class_Terminate()");
        f.line("    Set mCollection = Nothing");
        f.line("    Set moConn = Nothing");
        f.line("End Sub");

        msGenCollRefreshFilterProp(ctx, fileNumber, classBase);
        msGenCollSortOrderProp(ctx, fileNumber, classBase);
        msGenCollCountProp(ctx, fileNumber, classBase);
        msGenCollItemProp(ctx, fileNumber, classBase);
        msGenCollNewEnumProp(ctx, fileNumber, classBase);
        // Add and Refresh end on their last line; the empty lines between
        // the three methods are written here.
        msGenCollAddProc(ctx, fileNumber, classBase, tableName);
        f.line("");
        msGenCollRefreshProc(ctx, fileNumber, classBase, tableName);
        f.line("");
        msGenCollRemoveProc(ctx, fileNumber, classBase, tableName);

        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kTableClassPadding);
        // Hand the buffered lines to the file system here, so that a failed
        // write (a full disk) is reported by this generator.
        f.flush();
    });
}

}  // namespace rw
