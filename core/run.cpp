#include "core/run.h"

#include <optional>

#include "core/gen_context.h"
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

// Asks before overwriting earlier output, at the first object class file
// of a table that exists already. True when the run may go on.
bool overwriteConfirmed(const GenerationSettings& s, const FieldGrid& grid, RunEnvironment& env) {
    const std::string* last = nullptr;
    for (const FieldRow& row : grid.rows()) {
        if (last != nullptr && row.table == *last) continue;
        last = &row.table;
        if (!env.fs.exists(joinPath(s.msStoreDir, "cls" + classBaseName(row.table) + ".cls"))) continue;
        return env.ui.msgBox("You are about to overwrite previously generated files.  Continue?",
                             kStyleCriticalYesNo) != kAnswerNo;
    }
    return true;
}

// The report's file name, proposed by the report window's Save.
std::string reportFileName(const GenerationSettings& s) {
    if (s.mbExistingProject) {
        std::string text = s.project.txtExistProject;
        for (std::size_t at = text.find(".vbp"); at != std::string::npos; at = text.find(".vbp", at + 4))
            text.replace(at, 4, ".txt");
        const auto slash = text.rfind('/');
        return slash == std::string::npos ? joinPath(s.msStoreDir, text) : s.msStoreDir + text.substr(slash);
    }
    return joinPath(s.msStoreDir, s.project.txtProjName + ".txt");
}

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
    ProjectFileWriter project(files, s);
    // Code-only files are staged only for a project loaded in the
    // development environment; the other targets write straight to the store.
    const std::string stagingFolder;
    ReportFacts facts;

    const bool completed = guarded(env.ui, kRunHandler, [&] {
        std::string projectTypeWord;
        if (s.mbExistingProject) {
            const ProjectFileFlags flags = project.extend();
            projectTypeWord = flags.projectTypeWord;
            facts.hasErrorHandlerModule = flags.hasErrorHandlerModule;
            facts.hasConnectionClass = flags.hasConnectionClass;
        } else {
            project.create();
        }

        const std::string* last = nullptr;
        for (const FieldRow& row : grid.rows()) {
            if (last != nullptr && row.table == *last) continue;
            const std::string classBase = classBaseName(row.table);
            facts.classBaseNames.push_back(classBase);
            const int objectFile = mfCreateObjectClassFile(ctx, classBase, stagingFolder);
            const int collFile = mfCreateCollClassFile(ctx, classBase, stagingFolder);
            if (objectFile != 0 && collFile != 0) {
                msGenCollFile(ctx, collFile, row.table, classBase, projectTypeWord);
                msGenObjectFile(ctx, objectFile, row.table, classBase, projectTypeWord);
                project.appendTable(classBase);
            }
            files.close(objectFile);
            files.close(collFile);
            last = &row.table;
        }

        if (s.mbErrorHandler) msCreateEHFile(ctx, stagingFolder);
        msCreateConnObjFile(ctx, stagingFolder, projectTypeWord);
        project.close();

        facts.dateText = env.clock.nowText();
        outcome.reportText = buildReportText(s, facts);
    });

    if (!completed) {
        // Files written so far stay; a project file being extended keeps
        // its original content.
        project.abandon();
        files.closeAll();
        outcome.status = RunOutcome::Status::Failed;
        return outcome;
    }
    outcome.status = RunOutcome::Status::Completed;
    outcome.reportFolder = s.msStoreDir;
    outcome.reportFileName = reportFileName(s);
    return outcome;
}

}  // namespace rw
