#include "run/loaded_project.h"

namespace rw {

std::string projectTypeWord(const ide::Project& project) {
    switch (project.type()) {
        case ide::kProjectStandardExe: return "Exe";
        case ide::kProjectActiveXExe: return "OleExe";
        case ide::kProjectActiveXDll: return "OleDll";
        default: return {};
    }
}

bool importClass(ide::Project& project, Ui& ui, const std::string& componentName, const std::string& stagedPath) {
    if (ide::Component* existing = project.vbComponents().find(componentName)) {
        if (existing->isDirty()) {
            const int answer = ui.msgBox("You have unsaved changes in " + existing->name() +
                                             ".  Do you want to save your changes prior to generating the new file?",
                                         kStyleCriticalYesNoCancel);
            // Only an explicit No lets unsaved changes be replaced.
            if (answer == kAnswerYes) {
                existing->saveAs(existing->name() + ".cls");
            } else if (answer != kAnswerNo) {
                return false;
            }
        }
        ide::CodeModule& code = existing->codeModule();
        code.deleteLines(1, code.countOfLines());
        code.addFromFile(stagedPath);
        return true;
    }
    ide::Component& added = project.vbComponents().add(ide::kClassModule);
    added.codeModule().addFromFile(stagedPath);
    added.setName(componentName);
    return true;
}

namespace {

// Adds the staged module `name` (a component of `type`) unless the project
// has a component of that name; true when it had one.
bool importUnlessPresent(ide::VBComponents& components, int type, const std::string& name,
                         const std::string& stagingFolder) {
    if (components.find(name) != nullptr) return true;
    ide::Component& added = components.add(type);
    added.codeModule().addFromFile(joinPath(stagingFolder, name + ".rwg"));
    added.setName(name);
    return false;
}

}  // namespace

SupportModuleFlags importSupportModules(ide::Project& project, const std::string& stagingFolder) {
    SupportModuleFlags flags;
    ide::VBComponents& components = project.vbComponents();
    flags.hasErrorHandlerModule =
        importUnlessPresent(components, ide::kStdModule, "modRowwrightErrHndlr", stagingFolder);
    flags.hasConnectionClass = importUnlessPresent(components, ide::kClassModule, "clsRwtConn", stagingFolder);
    return flags;
}

void StagingFolder::create() { path_ = folders_.makePrivateFolder(); }

void StagingFolder::remove() noexcept {
    if (path_.empty()) return;
    for (const std::string& file : files_) {
        try {
            fs_.remove(file);
        } catch (...) {
        }
    }
    folders_.removeFolder(path_);
    files_.clear();
    path_.clear();
}

}  // namespace rw
