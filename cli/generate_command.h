#pragma once
// `rowwright generate`: one generation run from an answers file, without
// the wizard's pages.
#include <atomic>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "answers/answers.h"
#include "model/field_grid.h"
#include "platform/clock.h"
#include "platform/connection.h"
#include "platform/data_access.h"
#include "platform/file_system.h"
#include "platform/temp_folders.h"

namespace rw::cli {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitErrorsShown = 1,  // the run failed, or finished after showing an error
    kExitUsage = 2,        // bad command line or bad answers file
    kExitDeclined = 3,     // a question stopped the run before it wrote anything more
};

// --connect or --dsn instead of --answers: the run's answers come from the
// command line, as an answers file without rows would give them.
struct LiveRunOptions {
    std::optional<std::string> connect;  // --connect STRING
    std::optional<std::string> dsn;      // --dsn NAME
    std::string user;                    // --user U
    std::string name = "Project1";       // --name: the new project's name
    std::string kind = "OleDll";         // --kind Exe|OleExe|OleDll
    std::optional<std::string> project;  // --project: the existing project file to extend
    std::vector<std::string> tables;     // --table (repeatable); none: every user table
    WelcomeOptions generated;            // each --no-... flag clears its box
};

struct GenerateOptions {
    std::string answersPath;
    std::optional<LiveRunOptions> live;          // --connect / --dsn
    std::optional<std::string> saveAnswersPath;  // --save-answers: the run's answers, rows included
    DataAccess* dataAccess = nullptr;            // the live database; null: ODBC
    bool detectKeys = false;                // --detect-keys: a live database pre-marks keys for every product
    std::optional<std::string> store;       // --store: replaces target.store
    // The folder relative store and project paths are taken from (the
    // tool's working folder); empty: they are used as given.
    std::string workingFolder;
    std::optional<std::string> now;         // --now YYYY-MM-DDTHH:MM:SS
    bool yes = false;                       // --yes: every question is answered Yes
    std::optional<std::string> reportPath;  // --report: the report is saved there
    std::optional<std::string> sourceDateEpoch;  // the environment's SOURCE_DATE_EPOCH
    // --password, else the environment's ROWWRIGHT_PASSWORD: the data
    // source's password for a live run whose answers file holds none.
    std::optional<std::string> password;
    // Standard error is a terminal: reading a live database's fields shows
    // its progress there.
    bool stderrIsTerminal = false;
    // The flags given on the command line that only some forms of the
    // command read (kLiveRunFlags, kDatabaseReadFlags), so that one that
    // would do nothing is refused instead of ignored.
    std::vector<std::string> givenFlags;
    // Set to a signal number (by the tool's SIGINT and SIGTERM handlers) to
    // end the run at its next safe point; null: never.
    const std::atomic<int>* stopSignal = nullptr;
};

// The flags only --connect/--dsn reads: an answers file gives what they set.
inline const std::vector<std::string> kLiveRunFlags = {
    "--name", "--kind", "--project", "--table", "--no-module-headers", "--no-function-headers",
    "--no-dev-notes", "--no-error-handler", "--no-code"};
// The flags only a database read uses: an answers file with rows reads none.
inline const std::vector<std::string> kDatabaseReadFlags = {"--detect-keys", "--password"};

// A fault in how the tool was asked to run; exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where the run's field rows and connection come from: the answers file's
// rows with a stand-in connection, marks applied. A file without rows reads
// the live database instead (openLiveFieldSource, cli/db_commands.h).
// The rows are moved out of `answers` into the grid.
struct FieldSource {
    FieldGrid grid;
    std::unique_ptr<Connection> conn;
};
FieldSource openFieldSource(Answers& answers, const std::string& fileName);

// Runs the command; `in` answers questions when `stdinIsTerminal`. A
// loaded-project run stages its files in a folder from `tempFolders`
// (null: the system's temporary folder).
// Messages go to `err`, the report and the list of files written to `out`.
// Returns the exit status; a run ended by `options.stopSignal` gives 128 +
// the signal number.
int runGenerateCommand(const GenerateOptions& options, std::ostream& out, std::ostream& err, FileSystem& fs,
                       std::istream& in, bool stdinIsTerminal, TempFolders* tempFolders = nullptr);

}  // namespace rw::cli
