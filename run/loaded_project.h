#pragma once
// The run's work on a project loaded in the development environment: the
// type word and the ADO reference, the import of each generated class with
// the unsaved-changes question, the support modules, and the private folder
// the code-only files are staged in.
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "platform/ui.h"

namespace rw {

// The ADO type library every generated class needs.
inline constexpr const char* kAdoTypeLibraryGuid = "{00000200-0000-0010-8000-00AA006D2EA4}";

// "Exe", "OleExe" or "OleDll" by the project's type; empty for any other.
std::string projectTypeWord(const ide::Project& project);

// Imports one staged class as the component `componentName`: replaces the
// code of the first component of that name (asking first when it has unsaved
// changes), or adds a class module of that name. False when the user answered
// Cancel: nothing was changed for this class.
bool importClass(ide::Project& project, Ui& ui, const std::string& componentName, const std::string& stagedPath);

struct SupportModuleFlags {
    bool hasErrorHandlerModule = false;
    bool hasConnectionClass = false;
};

// Adds the error-handler module and the connection class from the staging
// folder, each only when the project has no component of that name (the
// connection class calls RaiseError whatever the error-handling option); a
// component already there is left as it is and flagged.
SupportModuleFlags importSupportModules(ide::Project& project, const std::string& stagingFolder);

// A run's private staging folder: made once, and removed with the files the
// run put into it (and nothing else) however the run ends.
class StagingFolder {
public:
    StagingFolder(FileSystem& fs, TempFolders& folders) : fs_(fs), folders_(folders) {}
    ~StagingFolder() { remove(); }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Makes the folder; throws RuntimeError.
    void create();
    // The folder, empty before create().
    const std::string& path() const { return path_; }
    // A file the run writes into the folder, to be removed with it.
    void track(const std::string& file) { files_.push_back(file); }
    // Removes the tracked files, then the folder once it is empty. Failures
    // are ignored; a second call does nothing.
    void remove() noexcept;

private:
    FileSystem& fs_;
    TempFolders& folders_;
    std::string path_;
    std::vector<std::string> files_;
};

}  // namespace rw
