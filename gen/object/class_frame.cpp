#include "gen/object/class_frame.h"

namespace rw {
namespace {

int openClassFile(GenContext& ctx, const std::string& baseName, const std::string& stagingFolder,
                  std::string_view where) {
    int number = 0;
    guarded(ctx.ui, where, [&] {
        number = ctx.files.openForOutput(generatedFilePath(ctx.settings, stagingFolder, baseName, "cls"));
    });
    return number;
}

}  // namespace

std::string generatedFilePath(const GenerationSettings& s, const std::string& stagingFolder,
                              std::string_view baseName, std::string_view extension) {
    if (targetMode(s) == TargetMode::Loaded) return joinPath(stagingFolder, std::string(baseName) + ".rwg");
    return joinPath(s.msStoreDir, std::string(baseName) + "." + std::string(extension));
}

int mfCreateObjectClassFile(GenContext& ctx, const std::string& classBase, const std::string& stagingFolder) {
    return openClassFile(ctx, "cls" + classBase, stagingFolder, "frmFields.mfCreateObjectClassFile");
}

int mfCreateCollClassFile(GenContext& ctx, const std::string& classBase, const std::string& stagingFolder) {
    return openClassFile(ctx, "cls" + classBase + "Coll", stagingFolder, "frmFields.mfCreateCollClassFile");
}

std::string exposureLine(const GenerationSettings& s, std::string_view projectTypeWord) {
    static const std::string exposed = "Attribute VB_Exposed = True";
    static const std::string hidden = "Attribute VB_Exposed = False";
    const ProjectKind kind = projectKind(s);
    if (kind == ProjectKind::ActiveXDll || kind == ProjectKind::ActiveXExe) return exposed;
    if (kind == ProjectKind::StdExe) return hidden;
    if (targetMode(s) == TargetMode::Existing) {
        if (projectTypeWord == "Exe") return hidden;
        if (projectTypeWord == "OleExe" || projectTypeWord == "OleDll") return exposed;
    }
    return {};
}

void writeClassHeaderBlock(TextFile& f, const GenerationSettings& s, std::string_view className,
                           std::string_view projectTypeWord) {
    f.line("VERSION 1.0 CLASS");
    f.line("BEGIN");
    f.line("  MultiUse = -1  'True");
    f.line("  Persistable = 0  'NotPersistable");
    f.line("  DataBindingBehavior = 0  'vbNone");
    f.line("  DataSourceBehavior = 0   'vbNone");
    f.line("  MTSTransactionMode = 0   'NotAnMTSObject");
    f.line("End");
    f.line("Attribute VB_Name = \"" + std::string(className) + "\"");
    f.line("Attribute VB_GlobalNameSpace = False");
    f.line("Attribute VB_Creatable = True");
    f.line("Attribute VB_PredeclaredId = False");
    if (const std::string exposure = exposureLine(s, projectTypeWord); !exposure.empty()) f.line(exposure);
}

}  // namespace rw
