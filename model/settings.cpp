#include "model/settings.h"

#include "platform/file_system.h"

namespace rw {

TargetMode targetMode(const GenerationSettings& s) {
    if (s.mbLoadedProject) return TargetMode::Loaded;
    return s.mbExistingProject ? TargetMode::Existing : TargetMode::New;
}

ProjectKind projectKind(const GenerationSettings& s) {
    if (s.mbStdExe) return ProjectKind::StdExe;
    if (s.mbActiveXExe) return ProjectKind::ActiveXExe;
    return s.mbActiveXDll ? ProjectKind::ActiveXDll : ProjectKind::None;
}

void fillSettings(GenerationSettings& s, const WelcomeOptions& options, const ProjectPageValues& project,
                  const ConnectionPageValues& connection) {
    s.project = project;
    s.connection = connection;
    if (options.chkEH) s.mbErrorHandler = true;
    if (options.chkCode) s.mbCode = true;
    if (options.chkModuleHead) s.mbModuleHeaders = true;
    if (options.chkFunctionHead) s.mbFunctionHeaders = true;
    if (options.chkDevNotes) s.mbDevNotes = true;

    if (project.optLoaded) {
        s.mbLoadedProject = true;
    } else if (project.optNew) {
        s.msStoreDir = project.msStoreDir;
        if (project.optProjectStdExe) s.mbStdExe = true;
        if (project.optProjectActiveXExe) s.mbActiveXExe = true;
        if (project.optProjectActiveXDLL) s.mbActiveXDll = true;
        s.msProjectFile = joinPath(project.msStoreDir, project.txtProjName + ".vbp");
    } else if (project.optProjectExisting) {
        s.msStoreDir = project.msStoreDir;
        s.mbExistingProject = true;
        s.msProjectFile = project.txtExistProject;
    }
}

}  // namespace rw
