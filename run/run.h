#pragma once
// The generation run: everything Finish does, from the overwrite question
// to the report text.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "model/field_grid.h"
#include "model/settings.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/file_system.h"
#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "platform/ui.h"

namespace rw {

struct RunEnvironment {
    FileSystem& fs;
    Ui& ui;
    Clock& clock;
    const Connection& conn;
    // The project loaded in the development environment that a
    // loaded-project run imports into; null when none is loaded.
    ide::Project* loadedProject = nullptr;
    // Makes the private staging folder of a loaded-project run; null: under
    // the system's temporary folder.
    TempFolders* tempFolders = nullptr;
    // Set (to a signal number) to end the run at its next safe point: before
    // a table, after a table's generators, before the support files and
    // before the target is completed. Null: the run is never stopped.
    const std::atomic<int>* stopSignal = nullptr;
    // True when the caller holds the run's folders (lockRunFolders) already.
    bool foldersLocked = false;
};

struct RunOutcome {
    enum class Status {
        Completed,  // the report was built
        Declined,   // the overwrite question was answered No; nothing was written
        Cancelled,  // an unsaved-changes question was answered Cancel
        Failed,     // a run-time error ended the run (it was shown)
        Stopped,    // the stop signal ended the run: the files of the table in
                    // progress, the new project file text and the staging folder
                    // are removed; an existing project file is as it was
    };
    Status status = Status::Failed;
    std::string reportText;
    // Where the report window's Save starts (empty for a loaded project),
    // and the file name it proposes.
    std::string reportFolder;
    std::string reportFileName;
    // One plain line for each generated name that gives code that will not
    // compile or calls a property for a function (see name_warnings.h).
    std::vector<std::string> warnings;
};

// Locks the folders a run writes into (the store folder; the project file's
// folder when extending one; the loaded project's folder, from
// `loadedProjectFile`) for as long as the result lives. When another run
// holds one, shows the error as the run shows its errors and returns null.
std::unique_ptr<FolderLock> lockRunFolders(const GenerationSettings& settings, const std::string& loadedProjectFile,
                                           FileSystem& fs, Ui& ui);

RunOutcome runGeneration(const GenerationSettings& settings, const FieldGrid& grid, RunEnvironment& env);

}  // namespace rw
