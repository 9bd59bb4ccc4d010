#pragma once
// The command-line tool's live-database commands: `sources`, `tables`,
// `fields` and `snapshot`, and the live mode of `generate` (an answers file
// without rows). They open the database the way the connection page does,
// list tables the way the table page does and load field rows the way the
// fields page does.
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "answers/answers.h"
#include "cli/console_ui.h"
#include "cli/generate_command.h"
#include "platform/data_access.h"
#include "platform/ui.h"

namespace CLI {
class App;
}

namespace rw::cli {

// How the command line names the database.
struct ConnectOptions {
    std::optional<std::string> connect;  // --connect STRING
    std::optional<std::string> dsn;      // --dsn NAME
    std::string user;                    // --user U
    std::string password;                // --password P
};

struct DbCommandOptions {
    ConnectOptions connection;
    std::vector<std::string> tables;          // --table T (repeatable); none: the table page's list
    bool detectKeys = false;                  // --detect-keys
    std::optional<std::string> answersPath;   // snapshot --answers: the file the snapshot starts from
    bool stderrIsTerminal = false;            // the reading of the fields shows its progress there
};

// An error was shown (on standard error) and the command stops; exit status 1.
struct ErrorsShown : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The field rows and the open connection of a live database, as the
// connection, table and fields pages would have them: the connection page's
// checks and opening (with `options.password` when the answers hold no
// password), the table page's list unless `answers.tables` names the tables,
// the fields page's loading (with `options.detectKeys`, keys and auto-number
// columns of every product), then the answers' marks. Messages go to `ui`,
// the tables read to `progress` (when given); throws ErrorsShown after one
// was shown, AnswersError for a mark that names no row.
FieldSource openLiveFieldSource(DataAccess& access, Answers answers, const GenerateOptions& options, Ui& ui,
                                ProgressLine* progress = nullptr);

// The same through ODBC, for `rowwright generate` with an answers file
// without rows (with --detect-keys: `options.detectKeys`); messages go to `err`.
FieldSource openLiveFieldSource(const Answers& answers, const GenerateOptions& options, std::ostream& err);

// Records the loaded rows in `answers`, with the tables they came from when
// the answers name none and the connection's properties, so the answers
// open no database when read again.
void keepLiveRows(Answers& answers, const FieldGrid& grid, Connection& conn);

// `rowwright sources`: every data source, "name<TAB>driver" per line.
int runSourcesCommand(DataAccess& access, std::ostream& out, std::ostream& err);
// `rowwright tables`: the tables the table page would list, one per line.
int runTablesCommand(DataAccess& access, const DbCommandOptions& options, std::ostream& out, std::ostream& err);
// `rowwright fields`: the field rows as the grid would hold them, one
// tab-separated row per line.
int runFieldsCommand(DataAccess& access, const DbCommandOptions& options, std::ostream& out, std::ostream& err);
// `rowwright snapshot`: an offline answers file holding the field rows.
int runSnapshotCommand(DataAccess& access, const DbCommandOptions& options, FileSystem& fs, std::ostream& out,
                       std::ostream& err);

// The four subcommands on the tool's command line.
class DbCommands {
public:
    explicit DbCommands(CLI::App& app);
    // Whether one of them was given.
    bool chosen() const;
    // Runs the one given, through ODBC; returns the exit status.
    int run(FileSystem& fs, std::ostream& out, std::ostream& err);

private:
    CLI::App* sources_;
    CLI::App* tables_;
    CLI::App* fields_;
    CLI::App* snapshot_;
    DbCommandOptions options_;
};

}  // namespace rw::cli
