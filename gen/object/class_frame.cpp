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

int mfCreateObjectClassFile(GenContext& ctx, const ClassNames& names, const std::string& stagingFolder) {
    return openClassFile(ctx, names.objectClass(), stagingFolder, "frmFields.mfCreateObjectClassFile");
}

int mfCreateCollClassFile(GenContext& ctx, const ClassNames& names, const std::string& stagingFolder) {
    return openClassFile(ctx, names.collectionClass(), stagingFolder, "frmFields.mfCreateCollClassFile");
}

std::string_view exposureLine(const GenerationSettings& s, std::string_view projectTypeWord) {
    constexpr std::string_view exposed = "Attribute VB_Exposed = True";
    constexpr std::string_view hidden = "Attribute VB_Exposed = False";
    const ProjectKind kind = projectKind(s);
    if (kind == ProjectKind::ActiveXDll || kind == ProjectKind::ActiveXExe) return exposed;
    if (kind == ProjectKind::StdExe) return hidden;
    if (targetMode(s) == TargetMode::Existing) {
        if (projectTypeWord == "Exe") return hidden;
        if (projectTypeWord == "OleExe" || projectTypeWord == "OleDll") return exposed;
    }
    return {};
}

void writeClassHeaderBlock(Printer& p, const GenerationSettings& s, std::string_view className,
                           std::string_view projectTypeWord) {
    p.emit({{"name", className}}, R"vb(
VERSION 1.0 CLASS
BEGIN
  MultiUse = -1  'True
  Persistable = 0  'NotPersistable
  DataBindingBehavior = 0  'vbNone
  DataSourceBehavior = 0   'vbNone
  MTSTransactionMode = 0   'NotAnMTSObject
End
Attribute VB_Name = "$name$"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = False
)vb");
    if (const std::string_view exposure = exposureLine(s, projectTypeWord); !exposure.empty()) p.line(exposure);
}

}  // namespace rw
