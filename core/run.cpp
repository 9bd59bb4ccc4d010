#include "core/run.h"

#include <memory>

#include "core/gen_context.h"
#include "core/loaded_project.h"
#include "core/names.h"
#include "core/project_file.h"
#include "core/report.h"
#include "gen/collection/coll_file.h"
#include "gen/object/class_frame.h"
#include "gen/object/object_class.h"
#include "gen/support/support_files.h"

namespace rw {
namespace {

constexpr const char* kRunHandler = "frmFields.cmdFinish_Click";

bool overwriteAgreed(Ui& ui) {
    return ui.msgBox("You are about to overwrite previously generated files.  Continue?", kStyleCriticalYesNo) !=
           kAnswerNo;
}

// Asks before overwriting earlier output, at a new project's file or the
// first object class file of a table that exists already. True when the
// run may go on.
bool overwriteConfirmed(const GenerationSettings& s, const FieldGrid& grid, RunEnvironment& env) {
    if (!s.mbExistingProject && env.fs.exists(s.msProjectFile)) return overwriteAgreed(env.ui);
    const std::string* last = nullptr;
    for (const FieldRow& row : grid.rows()) {
        if (last != nullptr && row.table == *last) continue;
        last = &row.table;
        if (!env.fs.exists(joinPath(s.msStoreDir, "cls" + classBaseName(row.table) + ".cls"))) continue;
        return overwriteAgreed(env.ui);
    }
    return true;
}

// Where the generated files are recorded: a project file, or the project
// loaded in the development environment.
class RunTarget {
public:
    virtual ~RunTarget() = default;
    // Prepares the target before the first table; returns the project type word.
    virtual std::string prepare(ReportFacts& facts) = 0;
    // Records one generated table whose two files are still open. False when
    // the user cancelled the run.
    virtual bool addTable(const std::string& classBase, int objectFile, int collFile) = 0;
    // Completes the target after the support files are written.
    virtual void complete(ReportFacts& facts) = 0;
    // The run ended by an error.
    virtual void abandon() noexcept {}
    // The report file name the report window's Save proposes.
    virtual std::string reportFileName(const ReportFacts& facts) const = 0;
};

// New-project and existing-project modes: the files go into the store
// folder and are listed in a project file.
class ProjectFileTarget final : public RunTarget {
public:
    ProjectFileTarget(FileTable& files, const GenerationSettings& s) : settings_(s), project_(files, s) {}

    std::string prepare(ReportFacts& facts) override {
        if (!settings_.mbExistingProject) {
            project_.create();
            return {};
        }
        const ProjectFileFlags flags = project_.extend();
        facts.hasErrorHandlerModule = flags.hasErrorHandlerModule;
        facts.hasConnectionClass = flags.hasConnectionClass;
        return flags.projectTypeWord;
    }

    bool addTable(const std::string& classBase, int, int) override {
        project_.appendTable(classBase);
        return true;
    }

    void complete(ReportFacts&) override { project_.close(); }

    // A project file being extended keeps its original content.
    void abandon() noexcept override { project_.abandon(); }

    std::string reportFileName(const ReportFacts&) const override {
        const GenerationSettings& s = settings_;
        if (s.mbExistingProject) {
            std::string text = s.project.txtExistProject;
            for (std::size_t at = text.find(".vbp"); at != std::string::npos; at = text.find(".vbp", at + 4))
                text.replace(at, 4, ".txt");
            const auto slash = text.rfind('/');
            return slash == std::string::npos ? joinPath(s.msStoreDir, text) : s.msStoreDir + text.substr(slash);
        }
        return joinPath(s.msStoreDir, s.project.txtProjName + ".txt");
    }

private:
    const GenerationSettings& settings_;
    ProjectFileWriter project_;
};

// Loaded-project mode: code-only files staged in the private folder are
// imported into the loaded project.
class LoadedProjectTarget final : public RunTarget {
public:
    LoadedProjectTarget(ide::Project* project, Ui& ui, FileTable& files, const GenerationSettings& s,
                        const StagingFolder& staging)
        : project_(project), ui_(ui), files_(files), settings_(s), staging_(staging) {}

    std::string prepare(ReportFacts&) override {
        if (project_ == nullptr) throw RuntimeError(91, kAddInSource, "Object variable or With block variable not set");
        const std::string word = projectTypeWord(*project_);
        project_->references().addFromGuid(kAdoTypeLibraryGuid, 2, 0);
        return word;
    }

    bool addTable(const std::string& classBase, int objectFile, int collFile) override {
        return importStaged("cls" + classBase, objectFile) && importStaged("cls" + classBase + "Coll", collFile);
    }

    void complete(ReportFacts& facts) override {
        const SupportModuleFlags flags = importSupportModules(*project_, settings_.mbErrorHandler, staging_.path());
        facts.hasErrorHandlerModule = flags.hasErrorHandlerModule;
        facts.hasConnectionClass = flags.hasConnectionClass;
        facts.loadedProjectName = project_->name();
    }

    std::string reportFileName(const ReportFacts& facts) const override { return facts.loadedProjectName + ".txt"; }

private:
    // The staged file is still open: what the generators wrote goes to disk first.
    bool importStaged(const std::string& componentName, int fileNumber) {
        TextFile& staged = files_.at(fileNumber);
        staged.flush();
        return importClass(*project_, ui_, componentName, staged.path());
    }

    ide::Project* project_;
    Ui& ui_;
    FileTable& files_;
    const GenerationSettings& settings_;
    const StagingFolder& staging_;
};

}  // namespace

RunOutcome runGeneration(const GenerationSettings& settings, const FieldGrid& grid, RunEnvironment& env) {
    RunOutcome outcome;
    BusyPointer busy(env.ui);
    const GenerationSettings& s = settings;

    if (!s.mbLoadedProject && !overwriteConfirmed(s, grid, env)) {
        outcome.status = RunOutcome::Status::Declined;
        return outcome;
    }

    FileTable files(env.fs);
    GenContext ctx{s, grid, env.conn, env.ui, env.clock, files};
    // Code-only files are staged only for a project loaded in the
    // development environment, in a folder of this run's own; the other
    // targets write straight to the store.
    SystemTempFolders systemTemp;
    StagingFolder staging(env.fs, env.tempFolders != nullptr ? *env.tempFolders : systemTemp);
    std::unique_ptr<RunTarget> target;
    if (s.mbLoadedProject) {
        target = std::make_unique<LoadedProjectTarget>(env.loadedProject, env.ui, files, s, staging);
    } else {
        target = std::make_unique<ProjectFileTarget>(files, s);
    }
    ReportFacts facts;
    bool cancelled = false;

    const bool completed = guarded(env.ui, kRunHandler, [&] {
        if (s.mbLoadedProject) staging.create();
        const std::string& stagingFolder = staging.path();
        const auto staged = [&](const std::string& baseName) {
            if (s.mbLoadedProject) staging.track(generatedFilePath(s, stagingFolder, baseName, "cls"));
        };
        const std::string projectTypeWord = target->prepare(facts);

        const std::string* last = nullptr;
        for (const FieldRow& row : grid.rows()) {
            if (last != nullptr && row.table == *last) continue;
            const std::string classBase = classBaseName(row.table);
            facts.classBaseNames.push_back(classBase);
            staged("cls" + classBase);
            staged("cls" + classBase + "Coll");
            const int objectFile = mfCreateObjectClassFile(ctx, classBase, stagingFolder);
            const int collFile = mfCreateCollClassFile(ctx, classBase, stagingFolder);
            if (objectFile != 0 && collFile != 0) {
                msGenCollFile(ctx, collFile, row.table, classBase, projectTypeWord);
                msGenObjectFile(ctx, objectFile, row.table, classBase, projectTypeWord);
                if (!target->addTable(classBase, objectFile, collFile)) {
                    // Cancel: what is done so far stays; nothing more is done.
                    cancelled = true;
                    files.close(objectFile);
                    files.close(collFile);
                    return;
                }
            }
            files.close(objectFile);
            files.close(collFile);
            last = &row.table;
        }

        staged("modRowwrightErrHndlr");
        staged("clsRwtConn");
        if (s.mbErrorHandler) msCreateEHFile(ctx, stagingFolder);
        msCreateConnObjFile(ctx, stagingFolder, projectTypeWord);
        target->complete(facts);

        facts.dateText = env.clock.nowText();
        outcome.reportText = buildReportText(s, facts);
    });

    if (!completed) {
        // Files written so far stay.
        target->abandon();
        files.closeAll();
        staging.remove();
        outcome.status = RunOutcome::Status::Failed;
        return outcome;
    }
    files.closeAll();
    staging.remove();
    if (cancelled) {
        outcome.status = RunOutcome::Status::Cancelled;
        return outcome;
    }
    outcome.status = RunOutcome::Status::Completed;
    outcome.reportFolder = s.msStoreDir;
    outcome.reportFileName = target->reportFileName(facts);
    return outcome;
}

}  // namespace rw
