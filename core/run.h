#pragma once
// The generation run: everything Finish does, from the overwrite question
// to the report text.
#include <string>
#include <vector>

#include "core/field_grid.h"
#include "core/settings.h"
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
};

struct RunOutcome {
    enum class Status {
        Completed,  // the report was built
        Declined,   // the overwrite question was answered No; nothing was written
        Cancelled,  // an unsaved-changes question was answered Cancel
        Failed,     // a run-time error ended the run (it was shown)
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

RunOutcome runGeneration(const GenerationSettings& settings, const FieldGrid& grid, RunEnvironment& env);

}  // namespace rw
