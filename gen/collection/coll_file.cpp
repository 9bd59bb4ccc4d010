#include "gen/collection/coll_file.h"

#include "gen/collection/coll_procs.h"
#include "gen/object/class_frame.h"
#include "gen/object/headers.h"
#include "model/namer.h"

namespace rw {

void msGenCollFile(GenContext& ctx, int fileNumber, const std::string& tableName, const std::string& classBase,
                   const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msGenCollFile", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        Printer p(f);
        if (targetMode(s) != TargetMode::Loaded) writeClassHeaderBlock(p, s, ClassNames(classBase).collectionClass(), projectTypeWord);
        if (s.mbModuleHeaders) msGenCollModHeader(ctx, classBase, fileNumber);
        if (targetMode(s) != TargetMode::Loaded) p.line("Option Explicit");
        p.emit(R"vb(
Private mCollection As Collection
Private msRefreshFilter As String
Private msSortOrder As String
Private moConn As clsRwtConn
Private Sub Class_Initialize()
    Set mCollection = New Collection
    Set moConn = New clsRwtConn
End Sub
Private Sub Class_Terminate()
    Set mCollection = Nothing
    Set moConn = Nothing
End Sub
)vb");

        msGenCollRefreshFilterProp(ctx, fileNumber, classBase);
        msGenCollSortOrderProp(ctx, fileNumber, classBase);
        msGenCollCountProp(ctx, fileNumber, classBase);
        msGenCollItemProp(ctx, fileNumber, classBase);
        msGenCollNewEnumProp(ctx, fileNumber, classBase);
        // Add and Refresh end on their last line; the empty lines between
        // the three methods are written here.
        msGenCollAddProc(ctx, fileNumber, classBase, tableName);
        p.emptyLines();
        msGenCollRefreshProc(ctx, fileNumber, classBase, tableName);
        p.emptyLines();
        msGenCollRemoveProc(ctx, fileNumber, classBase, tableName);

        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kTableClassPadding);
        // Hand the buffered lines to the file system here, so that a failed
        // write (a full disk) is reported by this generator.
        f.flush();
    });
}

}  // namespace rw
