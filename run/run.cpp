#include "run/run.h"

#include <memory>
#include <unordered_set>

#include "model/gen_context.h"
#include "run/loaded_project.h"
#include "run/name_checks.h"
#include "model/name_warnings.h"
#include "model/names.h"
#include "model/namer.h"
#include "model/table_names.h"
#include "run/project_file.h"
#include "run/report.h"
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
// first object class file of a table that exists already (refused tables
// write nothing, so theirs do not count). True when the run may go on.
bool overwriteConfirmed(const GenerationSettings& s, const FieldGrid& grid, RunEnvironment& env,
                        const TableNameChecks& names) {
    if (targetMode(s) == TargetMode::New && env.fs.exists(s.msProjectFile)) return overwriteAgreed(env.ui);
    const std::string* last = nullptr;
    for (const FieldRow& row : grid.rows()) {
        if ((last != nullptr && row.table == *last) || names.refused.count(row.table)) continue;
        last = &row.table;
        if (!env.fs.exists(joinPath(s.msStoreDir, ClassNames::ofTable(row.table).objectClassFile()))) continue;
        return overwriteAgreed(env.ui);
    }
    return true;
}

// The folder of a file path ("." for a bare name).
std::string folderOf(const std::string& path) {
    const auto slash = lastSeparator(path);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
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
    // `listed`: classes the project file already lists for the same file.
    ProjectFileTarget(FileTable& files, const GenerationSettings& s, const std::unordered_set<std::string>& listed)
        : settings_(s), project_(files, s), listed_(listed) {}

    std::string prepare(ReportFacts& facts) override {
        if (targetMode(settings_) == TargetMode::New) {
            project_.create();
            return {};
        }
        const ProjectFileFlags flags = project_.extend();
        facts.hasErrorHandlerModule = flags.hasErrorHandlerModule;
        facts.hasConnectionClass = flags.hasConnectionClass;
        return flags.projectTypeWord;
    }

    bool addTable(const std::string& classBase, int, int) override {
        project_.appendTable(classBase, listed_);
        return true;
    }

    void complete(ReportFacts&) override { project_.close(); }

    // A project file being extended keeps its original content.
    void abandon() noexcept override { project_.abandon(); }

    std::string reportFileName(const ReportFacts&) const override {
        const GenerationSettings& s = settings_;
        if (targetMode(s) == TargetMode::Existing) {
            std::string text = s.project.txtExistProject;
            for (std::size_t at = text.find(".vbp"); at != std::string::npos; at = text.find(".vbp", at + 4))
                text.replace(at, 4, ".txt");
            const auto slash = lastSeparator(text);
            return slash == std::string::npos ? joinPath(s.msStoreDir, text) : s.msStoreDir + text.substr(slash);
        }
        return joinPath(s.msStoreDir, s.project.txtProjName + ".txt");
    }

private:
    const GenerationSettings& settings_;
    ProjectFileWriter project_;
    const std::unordered_set<std::string>& listed_;
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
        const ClassNames names(classBase);
        return importStaged(names.objectClass(), objectFile) && importStaged(names.collectionClass(), collFile);
    }

    void complete(ReportFacts& facts) override {
        const SupportModuleFlags flags = importSupportModules(*project_, staging_.path());
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

std::unique_ptr<FolderLock> lockRunFolders(const GenerationSettings& s, const std::string& loadedProjectFile,
                                           FileSystem& fs, Ui& ui) {
    std::vector<std::string> folders;
    if (targetMode(s) == TargetMode::Loaded) {
        if (!loadedProjectFile.empty()) folders.push_back(folderOf(loadedProjectFile));
    } else {
        folders.push_back(s.msStoreDir);
        if (targetMode(s) == TargetMode::Existing) folders.push_back(folderOf(s.msProjectFile));
    }
    std::unique_ptr<FolderLock> lock;
    guarded(ui, kRunHandler, [&] { lock = fs.lockFolders(folders); });
    return lock;
}

RunOutcome runGeneration(const GenerationSettings& settings, const FieldGrid& grid, RunEnvironment& env) {
    RunOutcome outcome;
    BusyPointer busy(env.ui);
    const GenerationSettings& s = settings;
    const bool loaded = targetMode(s) == TargetMode::Loaded;
    const auto stopped = [&] { return env.stopSignal != nullptr && env.stopSignal->load() != 0; };

    // Held until the run returns, so no other run writes into its folders.
    std::unique_ptr<FolderLock> lock;
    if (!env.foldersLocked) {
        lock = lockRunFolders(s, env.loadedProject != nullptr ? env.loadedProject->fileName() : "", env.fs, env.ui);
        if (lock == nullptr) return outcome;
    }
    if (stopped()) {
        outcome.status = RunOutcome::Status::Stopped;
        return outcome;
    }

    // Names that cannot be generated safely are refused before anything is written.
    const TableNameChecks names = checkTableNames(s, grid, env.fs, env.ui);
    outcome.warnings = nameWarnings(grid, names.refused);
    if (!loaded && !overwriteConfirmed(s, grid, env, names)) {
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
    if (loaded) {
        target = std::make_unique<LoadedProjectTarget>(env.loadedProject, env.ui, files, s, staging);
    } else {
        target = std::make_unique<ProjectFileTarget>(files, s, names.listed);
    }
    ReportFacts facts;
    bool cancelled = false;
    bool stop = false;

    const bool completed = guarded(env.ui, kRunHandler, [&] {
        if (loaded) staging.create();
        const std::string& stagingFolder = staging.path();
        const auto staged = [&](const std::string& baseName) {
            if (loaded) staging.track(generatedFilePath(s, stagingFolder, baseName, "cls"));
        };
        const std::string projectTypeWord = target->prepare(facts);

        // Neither file of a table that is skipped or stopped is kept:
        // a class without its other half, or an empty one, would not
        // build. The collection file is not even opened when the object
        // file could not be, so a file of that name is left as it was.
        const auto discard = [&](int file) {
            if (file == 0) return;
            const std::string path = files.at(file).path();
            try {
                files.close(file);
            } catch (const RuntimeError&) {  // it goes anyway
            }
            env.fs.remove(path);
        };
        // One record of names, made again for each table in the same storage.
        TableNames table;
        for (std::size_t at = 0; at < grid.rowCount(); ++at) {
            // A table whose rows come back later in the grid is generated
            // once, at its first row, with all its rows.
            const std::string& tableName = grid.row(at).table;
            if (!grid.startsTable(at) || names.refused.count(tableName)) continue;
            if ((stop = stopped())) return;
            table.assign(grid, tableName);
            const ClassNames& names = table.classes();
            const std::string& classBase = names.base();
            facts.classBaseNames.push_back(classBase);
            staged(names.objectClass());
            staged(names.collectionClass());
            const int objectFile = mfCreateObjectClassFile(ctx, names, stagingFolder);
            const int collFile = objectFile != 0 ? mfCreateCollClassFile(ctx, names, stagingFolder) : 0;
            if (objectFile == 0 || collFile == 0) {
                discard(objectFile);
                continue;
            }
            msGenCollFile(ctx, collFile, table, projectTypeWord);
            msGenObjectFile(ctx, objectFile, table, projectTypeWord);
            if ((stop = stopped())) {
                discard(objectFile);
                discard(collFile);
                return;
            }
            if (!target->addTable(classBase, objectFile, collFile)) {
                // Cancel: what is done so far stays; nothing more is done.
                cancelled = true;
                files.close(objectFile);
                files.close(collFile);
                return;
            }
            files.close(objectFile);
            files.close(collFile);
        }

        if ((stop = stopped())) return;
        staged("modRowwrightErrHndlr");
        staged("clsRwtConn");
        msCreateEHFile(ctx, stagingFolder);
        msCreateConnObjFile(ctx, stagingFolder, projectTypeWord);
        if ((stop = stopped())) return;
        target->complete(facts);

        facts.dateText = env.clock.nowText();
        outcome.reportText = buildReportText(s, facts);
    });

    if (!completed || stop) {
        // Files written completely so far stay; a project file is as it was.
        target->abandon();
        files.closeAll();
        staging.remove();
        outcome.status = completed ? RunOutcome::Status::Stopped : RunOutcome::Status::Failed;
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
