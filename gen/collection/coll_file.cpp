#include "gen/collection/coll_file.h"

#include "gen/collection/coll_procs.h"
#include "gen/object/class_frame.h"
#include "gen/object/headers.h"

namespace rw {

void msGenCollFile(GenContext& ctx, int fileNumber, const TableNames& table, const std::string& projectTypeWord) {
    guarded(ctx.ui, "frmFields.msGenCollFile", [&] {
        const GenerationSettings& s = ctx.settings;
        TextFile& f = ctx.file(fileNumber);
        Printer p(f);
        if (targetMode(s) != TargetMode::Loaded)
            writeClassHeaderBlock(p, s, table.classes().collectionClass(), projectTypeWord);
        if (s.mbModuleHeaders) msGenCollModHeader(ctx, table.classes(), fileNumber);
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

        msGenCollRefreshFilterProp(ctx, fileNumber, table);
        msGenCollSortOrderProp(ctx, fileNumber, table);
        msGenCollCountProp(ctx, fileNumber, table);
        msGenCollItemProp(ctx, fileNumber, table);
        msGenCollNewEnumProp(ctx, fileNumber, table);
        // Add and Refresh end on their last line; the empty lines between
        // the three methods are written here.
        msGenCollAddProc(ctx, fileNumber, table);
        p.emptyLines();
        msGenCollRefreshProc(ctx, fileNumber, table);
        p.emptyLines();
        msGenCollRemoveProc(ctx, fileNumber, table);

        if (targetMode(s) == TargetMode::Loaded) f.emptyLines(kTableClassPadding);
        // Hand the buffered lines to the file system here, so that a failed
        // write (a full disk) is reported by this generator.
        f.flush();
    });
}

}  // namespace rw
