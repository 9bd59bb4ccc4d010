#include "core/loaded_project.h"

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

SupportModuleFlags importSupportModules(ide::Project& project, const std::string& stagingFolder) {
    SupportModuleFlags flags;
    ide::VBComponents& components = project.vbComponents();
    if (components.find("modRowwrightErrHndlr") != nullptr) {
        flags.hasErrorHandlerModule = true;
    } else {
        ide::Component& module = components.add(ide::kStdModule);
        module.codeModule().addFromFile(joinPath(stagingFolder, "modRowwrightErrHndlr.rwg"));
        module.setName("modRowwrightErrHndlr");
    }
    if (components.find("clsRwtConn") != nullptr) {
        flags.hasConnectionClass = true;
    } else {
        ide::Component& connection = components.add(ide::kClassModule);
        connection.codeModule().addFromFile(joinPath(stagingFolder, "clsRwtConn.rwg"));
        connection.setName("clsRwtConn");
    }
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
