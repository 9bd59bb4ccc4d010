#include "cli/generate_command.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <istream>
#include <ostream>

#include "answers/clock_choice.h"
#include "cli/console_ui.h"
#include "cli/db_commands.h"
#include "cli/recording_file_system.h"
#include "platform/ide/environment.h"
#include "model/gen_context.h"
#include "run/report.h"
#include "run/run.h"
#include "model/settings.h"
#include "platform/runtime_error.h"

namespace rw::cli {

namespace {

constexpr const char* kTool = "rowwright: ";

void listFiles(std::ostream& out, const char* heading, const std::vector<std::string>& paths) {
    out << heading << '\n';
    for (const std::string& path : paths) out << path << '\n';
}

// A run ended by a signal: what was and was not written. Exit status 128 +
// the signal number, as a shell shows a process the signal ended.
int reportStop(std::ostream& err, int signal, const std::vector<std::string>& written, bool loadedProject) {
    const std::string name = signal == SIGINT    ? "SIGINT"
                             : signal == SIGTERM ? "SIGTERM"
                                                 : "signal " + std::to_string(signal);
    err << kTool << "interrupted by " << name << ": ";
    if (written.empty())
        err << "no file was written";
    else
        err << written.size() << (written.size() == 1 ? " file was" : " files were")
            << " written completely (listed below)";
    err << (loadedProject ? "; the project was not saved\n"
                          : "; the table in progress and the project file were not written\n");
    if (!written.empty()) listFiles(err, "Files written completely:", written);
    return 128 + signal;
}

void makePathsAbsolute(Answers& answers, const std::string& workingFolder) {
    for (std::string* path : {&answers.project.msStoreDir, &answers.project.txtExistProject, &answers.loadedProject})
        *path = absoluteFrom(workingFolder, *path);
}

// Makes the store folder with its parents when it is missing, as the
// project page does when the user agrees to have it created.
void prepareStore(FileSystem& fs, const std::string& store) {
    if (fs.isDirectory(store)) return;
    try {
        fs.createDirectories(store);
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number, e.source, "the store folder \"" + store + "\" cannot be created: " + e.description);
    }
    if (!fs.isDirectory(store))
        throw RuntimeError(kErrPathFileAccess, kAddInSource, "the store folder \"" + store + "\" is not a folder");
}

// The answers a live run's command line gives, read as an answers file
// without rows would be, so they pass the same checks.
Answers answersFromCommandLine(const GenerateOptions& options) {
    if (!options.answersPath.empty())
        throw UsageError("give either --answers or --connect/--dsn, not both");
    if (!options.store) throw UsageError("--connect and --dsn need --store");
    const LiveRunOptions& live = *options.live;
    Answers a;
    a.options = live.generated;
    if (live.project) {
        a.project.optProjectExisting = true;
        a.project.txtExistProject = *live.project;
    } else {
        a.project.optNew = true;
        a.project.txtProjName = live.name;
        a.project.optProjectStdExe = live.kind == "Exe";
        a.project.optProjectActiveXExe = live.kind == "OleExe";
        a.project.optProjectActiveXDLL = live.kind == "OleDll";
        if (!a.project.optProjectStdExe && !a.project.optProjectActiveXExe && !a.project.optProjectActiveXDLL)
            throw UsageError(R"(--kind: expected one of "Exe", "OleExe", "OleDll")");
    }
    a.connection.optDSN = live.dsn.has_value();
    a.connection.optDSNLess = !a.connection.optDSN;
    a.connection.txtConnString = live.connect.value_or("");
    a.dsn = live.dsn.value_or("");
    a.user = live.user;
    if (!live.tables.empty()) a.tables = live.tables;
    return parseAnswers(answersToJson(a), "the command line", options.store);
}

// The first flag of `flags` the command line gave, if any.
std::optional<std::string> givenOf(const GenerateOptions& options, const std::vector<std::string>& flags) {
    for (const std::string& f : options.givenFlags)
        if (std::find(flags.begin(), flags.end(), f) != flags.end()) return f;
    return std::nullopt;
}

// A flag the answers file's run would not read is refused, so that nobody
// believes it took effect.
void refuseUnreadFlags(const GenerateOptions& options, const Answers* answers) {
    if (answers == nullptr) {
        if (const auto flag = givenOf(options, kLiveRunFlags))
            throw UsageError(*flag + " does nothing with --answers: it goes with --connect or --dsn, and the "
                                     "answers file gives what it would set");
    } else if (answers->rows) {
        if (const auto flag = givenOf(options, kDatabaseReadFlags))
            throw UsageError(*flag + " does nothing with " + options.answersPath +
                             ": the file holds the field rows, so no database is read");
    }
}

// The run's answers with the field rows as marked, so that a run from the
// saved file opens no database; the password is never written.
void saveAnswers(FileSystem& fs, const std::string& path, Answers answers, const FieldSource& source) {
    keepLiveRows(answers, source.grid, *source.conn);
    answers.marks.clear();
    const std::string text = answersToJson(answers);
    const std::unique_ptr<ByteSink> file = fs.create(path);
    file->write(text);
    file->close();
}

}  // namespace

FieldSource openFieldSource(Answers& answers, const std::string& fileName) {
    if (!answers.rows) throw UsageError(fileName + ": this answers file has no rows");
    FieldSource source{FieldGrid(std::move(*answers.rows)),
                       std::make_unique<OfflineConnection>(answers.dbmsName, answers.dataSourceName)};
    applyMarks(source.grid, answers.marks, fileName);
    return source;
}

int runGenerateCommand(const GenerateOptions& options, std::ostream& out, std::ostream& err, FileSystem& fs,
                       std::istream& in, bool stdinIsTerminal, TempFolders* tempFolders) {
    std::unique_ptr<Clock> clock;
    Answers answers;
    FieldSource source;
    try {
        clock = chooseClock(options.now, options.sourceDateEpoch);
        if (options.live) {
            answers = answersFromCommandLine(options);
        } else {
            if (options.answersPath.empty()) throw UsageError("give --answers, --connect or --dsn");
            refuseUnreadFlags(options, nullptr);
            std::string text;
            try {
                text = fs.readAll(options.answersPath);
            } catch (const RuntimeError& e) {
                throw UsageError(options.answersPath + ": cannot be read: " + e.description);
            }
            answers = parseAnswers(text, options.answersPath, options.store);
            refuseUnreadFlags(options, &answers);
        }
        makePathsAbsolute(answers, options.workingFolder);
        // Without rows the field rows come from the live database.
        if (answers.rows) {
            source = openFieldSource(answers, options.answersPath);
        } else if (options.dataAccess != nullptr) {
            ConsoleUi ui(err, in, false, false);
            ProgressLine progress(err, options.stderrIsTerminal);
            source = openLiveFieldSource(*options.dataAccess, answers, options, ui, &progress);
        } else {
            source = openLiveFieldSource(answers, options, err);
        }
    } catch (const ErrorsShown&) {  // the database's error was shown
        return kExitErrorsShown;
    } catch (const std::runtime_error& e) {  // UsageError, AnswersError, ClockChoiceError
        err << kTool << e.what() << '\n';
        return kExitUsage;
    }
    if (options.saveAnswersPath) {
        try {
            saveAnswers(fs, *options.saveAnswersPath, answers, source);
        } catch (const RuntimeError& e) {
            err << kTool << *options.saveAnswersPath << ": cannot be written: " << e.description << '\n';
            return kExitErrorsShown;
        }
    }

    RecordingFileSystem recording(fs);
    if (!answers.project.optLoaded) {
        try {
            prepareStore(recording, answers.project.msStoreDir);
        } catch (const RuntimeError& e) {
            err << kTool << e.description << '\n';
            return kExitErrorsShown;
        }
    }

    GenerationSettings settings;
    fillSettings(settings, answers.options, answers.project, answers.connection);
    ConsoleUi ui(err, in, stdinIsTerminal, options.yes);
    // The run's folders stay locked from before a loaded project is read
    // until after it is saved, so no other run changes it in between.
    const std::unique_ptr<FolderLock> lock = lockRunFolders(settings, answers.loadedProject, recording, ui);
    if (lock == nullptr) return kExitErrorsShown;

    // A loaded-project target is loaded into the development environment
    // first and saved after a completed run; a failed run leaves it on disk
    // as it was.
    ide::Environment environment(recording);
    ide::Project* project = nullptr;
    if (answers.project.optLoaded) {
        try {
            project = &environment.loadProject(answers.loadedProject);
        } catch (const RuntimeError& e) {
            err << kTool << e.description << '\n';
            return kExitErrorsShown;
        }
    }

    RunEnvironment env{recording, ui, *clock, *source.conn, project, tempFolders, options.stopSignal, true};
    const RunOutcome outcome = runGeneration(settings, source.grid, env);

    // A signal ends the run wherever it was; a loaded project is then not saved.
    const int signal = options.stopSignal != nullptr ? options.stopSignal->load() : 0;
    if (signal != 0 && (outcome.status != RunOutcome::Status::Completed || project != nullptr))
        return reportStop(err, signal, recording.written(), project != nullptr);

    switch (outcome.status) {
    case RunOutcome::Status::Declined:
        err << kTool << "nothing was written: the overwrite question was answered No\n";
        return kExitDeclined;
    case RunOutcome::Status::Cancelled:
        err << kTool << "the run was cancelled\n";
        listFiles(err, "Files written before it ended:", recording.written());
        return kExitDeclined;
    case RunOutcome::Status::Failed:
    case RunOutcome::Status::Stopped:  // not without a signal
        err << kTool << "the run ended early because of the error above\n";
        listFiles(err, "Files written before it ended:", recording.written());
        return kExitErrorsShown;
    case RunOutcome::Status::Completed:
        break;
    }

    if (project != nullptr) guarded(ui, "rowwright.SaveProject", [&] { project->save(); });
    if (options.reportPath)
        guarded(ui, "frmReport.cmdSave_Click", [&] { saveReport(recording, *options.reportPath, outcome.reportText); });

    // The report goes out with line feeds for its CR LF line ends.
    out << terminalText(outcome.reportText) << "\n\n";
    listFiles(out, "Files written:", recording.written());
    out.flush();
    for (const std::string& warning : outcome.warnings) err << warning << '\n';
    if (!out) {
        err << kTool << "the report could not be written to standard output\n";
        return kExitErrorsShown;
    }
    return ui.errorCount() > 0 ? kExitErrorsShown : kExitSuccess;
}

}  // namespace rw::cli
