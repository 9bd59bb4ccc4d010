#include "run/report.h"
#include "model/namer.h"

#include "platform/text_files.h"
#include "platform/ui.h"

namespace rw {
namespace {
constexpr const char* kCrLf = "\r\n";
const char* word(bool value) { return value ? "True" : "False"; }
}  // namespace

std::string buildReportText(const GenerationSettings& s, const ReportFacts& facts) {
    const TargetMode mode = targetMode(s);
    std::string r;
    r += std::string(kProductName) + " completed file generation at: " + kCrLf + facts.dateText + kCrLf + kCrLf;
    if (mode != TargetMode::Loaded) r += std::string("Files stored in: ") + kCrLf + s.msStoreDir + kCrLf + kCrLf;
    r += std::string("Options were chosen as follows:") + kCrLf + kCrLf;
    r += std::string("Generate Module Headers: ") + word(s.mbModuleHeaders) + kCrLf;
    r += std::string("Generate Function Headers: ") + word(s.mbFunctionHeaders) + kCrLf;
    r += std::string("Generate Developer Notes headers: ") + word(s.mbDevNotes) + kCrLf;
    r += std::string("Generate Error Handler: ") + word(s.mbErrorHandler) + kCrLf;
    r += std::string("Generate VB and SQL code: ") + word(s.mbCode) + kCrLf + kCrLf;
    r += std::string("Project File Info:") + kCrLf;
    if (mode == TargetMode::Loaded) {
        r += "Added files to " + facts.loadedProjectName + " as per request." + kCrLf;
    } else if (mode == TargetMode::Existing) {
        r += "Added files to '" + s.msProjectFile + "' as per request." + kCrLf;
    } else {
        const ProjectKind k = projectKind(s);
        const char* kind = k == ProjectKind::StdExe       ? "Standard EXE"
                           : k == ProjectKind::ActiveXExe ? "ActiveX EXE"
                                                          : "ActiveX DLL";
        r += std::string("Created ") + kind + " project file '" + s.msProjectFile + "'" + kCrLf;
    }
    r += std::string("=================================") + kCrLf + "List of files generated:" + kCrLf + kCrLf;
    if (mode == TargetMode::New) r += s.msProjectFile + kCrLf + kCrLf;
    for (const std::string& base : facts.classBaseNames) {
        const ClassNames names(base);
        r += names.objectClassFile() + kCrLf + names.collectionClassFile() + kCrLf;
    }
    if (!facts.hasErrorHandlerModule) r += std::string(kCrLf) + "modRowwrightErrHndlr.bas" + kCrLf;
    if (!facts.hasConnectionClass) r += std::string(kCrLf) + "clsRwtConn.cls" + kCrLf;
    r += std::string(kCrLf) + "<End of Report>";
    return r;
}

void saveReport(FileSystem& fs, const std::string& path, const std::string& reportText) {
    TextFile file(fs.create(path), path);
    file.text(reportText);
    file.text("\r\n");
    file.close();
}

}  // namespace rw
