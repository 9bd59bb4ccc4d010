// The command-line tool: parses the arguments and hands over to the command.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "cli/db_commands.h"
#include "cli/generate_command.h"
#include "model/product.h"
#include "platform/process.h"

namespace {

// The signal that asks the run to stop; the handler only sets it.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

void askToStop(int signal) { stopSignal.store(signal); }

}  // namespace

int main(int argc, char** argv) {
    using namespace rw::cli;
    rw::prepareProcess();
    CLI::App app{"Visual Basic 6 data-access classes from a database schema.", "rowwright"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("rowwright ") + rw::product::kVersion);

    GenerateOptions options;
    std::string store, now, report, password;
    CLI::App* generate =
        app.add_subcommand("generate", "Generate the classes from an answers file or a live database, without the wizard's pages.");
    generate->add_option("--answers", options.answersPath, "The answers file (JSON)");
    LiveRunOptions live;
    CLI::Option* connect = generate->add_option("--connect", live.connect,
                                                "Instead of --answers: an ODBC or OLE DB connection string");
    CLI::Option* dsn = generate->add_option("--dsn", live.dsn, "Instead of --answers: an ODBC data source name");
    connect->excludes(dsn);
    generate->add_option("--user", live.user, "User name for the data source")->needs(dsn);
    generate->add_option("--name", live.name, "With --connect/--dsn: the new project's name (default: Project1)");
    generate->add_option("--kind", live.kind, "With --connect/--dsn: Exe, OleExe or OleDll (default: OleDll)");
    generate->add_option("--project", live.project,
                         "With --connect/--dsn: extend this project file instead of creating one");
    generate->add_option("--table", live.tables,
                         "With --connect/--dsn: a table to read (repeatable; default: every user table)");
    for (const auto& [flag, box] : {std::pair{"--no-module-headers", &live.generated.chkModuleHead},
                                    std::pair{"--no-function-headers", &live.generated.chkFunctionHead},
                                    std::pair{"--no-dev-notes", &live.generated.chkDevNotes},
                                    std::pair{"--no-error-handler", &live.generated.chkEH},
                                    std::pair{"--no-code", &live.generated.chkCode}})
        generate->add_flag_callback(flag, [box = box] { *box = false; }, "With --connect/--dsn: leave this out");
    generate->add_option(
        "--save-answers", options.saveAnswersPath,
        "Save the run's answers with the field rows (without the password), to repeat it offline");
    CLI::Option* storeOption = generate->add_option("--store", store, "Store folder; replaces target.store");
    CLI::Option* nowOption =
        generate->add_option("--now", now, "Date and time of the output, YYYY-MM-DDTHH:MM:SS (default: "
                                           "SOURCE_DATE_EPOCH, else the clock)");
    generate->add_flag("--yes", options.yes, "Answer Yes to every question (such as overwriting earlier output)");
    CLI::Option* reportOption = generate->add_option("--report", report, "Save the report to this file");
    generate->add_flag("--detect-keys", options.detectKeys,
                       "Without rows: pre-mark primary keys and auto-number columns for every database product");
    CLI::Option* passwordOption = generate->add_option(
        "--password", password,
        "Without rows: the data source's password when the answers file holds none (default: ROWWRIGHT_PASSWORD)");
    DbCommands db(app);

    try {
        // CLI11 takes the arguments last to first.
        std::vector<std::string> arguments = rw::utf8Arguments(argc, argv);
        if (!arguments.empty()) arguments.erase(arguments.begin());
        std::reverse(arguments.begin(), arguments.end());
        app.parse(arguments);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }
    if (db.chosen()) {
        rw::PosixFileSystem fs;
        return db.run(fs, std::cout, std::cerr);
    }
    if (connect->count() > 0 || dsn->count() > 0) options.live = live;
    for (const std::vector<std::string>* flags : {&kLiveRunFlags, &kDatabaseReadFlags})
        for (const std::string& flag : *flags)
            if (generate->count(flag) > 0) options.givenFlags.push_back(flag);
    if (storeOption->count() > 0) options.store = store;
    if (nowOption->count() > 0) options.now = now;
    if (reportOption->count() > 0) options.reportPath = report;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) options.sourceDateEpoch = epoch;
    if (passwordOption->count() > 0)
        options.password = password;
    else if (const char* fromEnvironment = std::getenv("ROWWRIGHT_PASSWORD"))
        options.password = fromEnvironment;
    options.stopSignal = &stopSignal;
    options.stderrIsTerminal = rw::isTerminal(rw::StdStream::Err);
    options.workingFolder = rw::currentFolder();
    // SIGINT and SIGTERM end the run at its next safe point.
    rw::stopOnSignals(askToStop);

    try {
        rw::PosixFileSystem fs;
        return runGenerateCommand(options, std::cout, std::cerr, fs, std::cin, rw::isTerminal(rw::StdStream::In));
    } catch (const std::exception& e) {
        std::cerr << "rowwright: " << e.what() << '\n';
        return kExitErrorsShown;
    }
}
