#pragma once
// The record of the user's choices that the run and every generator read,
// and the page values it is filled from.
#include <string>

namespace rw {

// The five check boxes of the welcome page.
struct WelcomeOptions {
    bool chkModuleHead = true;
    bool chkFunctionHead = true;
    bool chkDevNotes = true;
    bool chkEH = true;
    bool chkCode = true;
};

// What the project page holds.
struct ProjectPageValues {
    bool optNew = false;
    bool optProjectStdExe = false;
    bool optProjectActiveXExe = false;
    bool optProjectActiveXDLL = false;
    bool optProjectExisting = false;
    bool optLoaded = false;
    std::string txtProjName;
    std::string txtExistProject;
    std::string msStoreDir;
};

// What the connection page holds, as far as the generators read it.
struct ConnectionPageValues {
    bool optDSN = false;
    bool optDSNLess = false;
    std::string txtConnString;
};

struct GenerationSettings {
    std::string msStoreDir;
    bool mbErrorHandler = false;
    bool mbCode = false;
    bool mbModuleHeaders = false;
    bool mbFunctionHeaders = false;
    bool mbDevNotes = false;
    bool mbStdExe = false;
    bool mbActiveXExe = false;
    bool mbActiveXDll = false;
    bool mbExistingProject = false;
    std::string msProjectFile;
    bool mbLoadedProject = false;

    // Page values the run and the generators read again at Finish.
    ProjectPageValues project;
    ConnectionPageValues connection;
};

// Where a run puts the generated files.
enum class TargetMode {
    New,       // a new project file in the store folder
    Existing,  // an existing project file, extended
    Loaded,    // the project loaded in the development environment
};

// The kind of a new project.
enum class ProjectKind { None, StdExe, ActiveXExe, ActiveXDll };

// The target mode the settings hold: loaded, else existing, else new.
TargetMode targetMode(const GenerationSettings& s);
// The kind the settings hold for a new project; None when no kind is chosen
// (an existing or a loaded project).
ProjectKind projectKind(const GenerationSettings& s);

// Fills the settings from the pages. Filling only sets values, never clears
// one; the target mode is loaded, else new, else existing, in that order.
void fillSettings(GenerationSettings& s, const WelcomeOptions& options, const ProjectPageValues& project,
                  const ConnectionPageValues& connection);

}  // namespace rw
