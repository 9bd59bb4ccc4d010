#include "cli/db_commands.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <ostream>

#include "cli/console_ui.h"
#include "core/connection_page.h"
#include "core/field_loader.h"
#include "model/gen_context.h"
#include "platform/process.h"
#include "core/table_choice.h"
#include "platform/db/odbc.h"
#include "platform/runtime_error.h"

namespace rw::cli {

namespace {

constexpr const char* kTool = "rowwright: ";

// The tool has no login dialog: a data source named without a login is
// opened without one, as the dialog's OK with empty boxes would.
bool noLoginDialog(const std::string&, std::string& user, std::string& password) {
    user.clear();
    password.clear();
    return true;
}

// Opens the database through the connection page's logic; throws
// ErrorsShown when it showed a message.
std::unique_ptr<DataConnection> openAsConnectionPage(DataAccess& access, const ConnectionPageValues& values,
                                                     const std::string& dsn, const std::string& user,
                                                     const std::string& password, Ui& ui) {
    ConnectionPage page;
    if (values.optDSN) {
        page.chooseDSN();
        page.txtDSN = dsn;
        page.msUserName = user;
        page.msPassword = password;
    } else {
        page.chooseDSNLess();
        page.txtConnString = values.txtConnString;
    }
    if (!page.next(access, ui, noLoginDialog)) throw ErrorsShown("the database could not be opened");
    return std::move(page.moConn);
}

std::vector<std::string> tablePageList(DataConnection& conn, Ui& ui) {
    TablePage page;
    if (page.display(ui, conn) != TablePage::Shown::Yes) throw ErrorsShown("the tables could not be listed");
    return page.chosenTables();
}

// Loads the field rows, counting the tables on `progress` (when given).
FieldGrid loadRows(DataConnection& conn, const std::vector<std::string>& tables, bool detectKeys, Ui& ui,
                   ProgressLine* progress) {
    FieldGrid grid;
    const bool loaded = guarded(ui, "frmFields.Display", [&] {
        // The line is cleared before an error is shown and before anything
        // else is written.
        const std::unique_ptr<ProgressLine, void (*)(ProgressLine*)> ending(progress,
                                                                            [](ProgressLine* p) { p->end(); });
        FieldLoadOptions options;
        options.detectKeys = detectKeys;
        if (progress != nullptr)
            options.progress = [progress](std::size_t done, std::size_t total) {
                progress->update(done, total);
                return true;
            };
        loadFieldRows(conn, tables, grid, options);
    });
    if (!loaded) throw ErrorsShown("the field rows could not be loaded");
    return grid;
}

ConnectionPageValues pageValues(const ConnectOptions& c) {
    ConnectionPageValues v;
    v.optDSN = c.dsn.has_value();
    v.optDSNLess = !v.optDSN;
    v.txtConnString = c.connect.value_or("");
    return v;
}

std::unique_ptr<DataConnection> openFromOptions(DataAccess& access, const ConnectOptions& c, Ui& ui) {
    return openAsConnectionPage(access, pageValues(c), c.dsn.value_or(""), c.user, c.password, ui);
}

// Runs a command body; shown errors and usage errors become exit statuses.
template <class Body>
int runReporting(std::ostream& err, Body&& body) {
    try {
        return body();
    } catch (const ErrorsShown&) {
        return kExitErrorsShown;
    } catch (const UsageError& e) {
        err << kTool << e.what() << '\n';
        return kExitUsage;
    } catch (const AnswersError& e) {
        err << kTool << e.what() << '\n';
        return kExitUsage;
    } catch (const RuntimeError& e) {
        err << kTool << e.description << '\n';
        return kExitErrorsShown;
    }
}

int finish(std::ostream& out, std::ostream& err, const ConsoleUi& ui) {
    out.flush();
    if (!out) {
        err << kTool << "standard output could not be written\n";
        return kExitErrorsShown;
    }
    return ui.errorCount() > 0 ? kExitErrorsShown : kExitSuccess;
}

// The connection and the unmarked field rows of a live database.
FieldSource loadLive(DataAccess& access, const Answers& answers, bool detectKeys, Ui& ui, ProgressLine* progress) {
    std::unique_ptr<DataConnection> conn =
        openAsConnectionPage(access, answers.connection, answers.dsn, answers.user, answers.password, ui);
    const std::vector<std::string> tables = answers.tables ? *answers.tables : tablePageList(*conn, ui);
    if (tables.empty()) {
        ui.beep();
        ui.msgBox(TablePage::kNoTablesMessage, kStyleExclamation, kProductName);
        throw ErrorsShown("no tables");
    }
    FieldSource source;
    source.grid = loadRows(*conn, tables, detectKeys, ui, progress);
    source.conn = std::move(conn);
    return source;
}

}  // namespace

FieldSource openLiveFieldSource(DataAccess& access, Answers answers, const GenerateOptions& options, Ui& ui,
                                ProgressLine* progress) {
    // Answers files are written without the password (snapshot, Save
    // Answers): the command line or the environment gives it.
    if (answers.password.empty() && options.password) answers.password = *options.password;
    FieldSource source = loadLive(access, answers, options.detectKeys, ui, progress);
    applyMarks(source.grid, answers.marks, options.answersPath);
    return source;
}

FieldSource openLiveFieldSource(const Answers& answers, const GenerateOptions& options, std::ostream& err) {
    db::OdbcOptions odbc;
    odbc.drivers = db::oleDbDriversFromEnvironment();
    db::OdbcDataAccess access(odbc);
    ConsoleUi ui(err, std::cin, false, false);
    ProgressLine progress(err, options.stderrIsTerminal);
    return openLiveFieldSource(access, answers, options, ui, &progress);
}

void keepLiveRows(Answers& answers, const FieldGrid& grid, Connection& conn) {
    answers.rows = grid.rows();
    if (!answers.tables) {
        std::vector<std::string> tables;
        for (const FieldRow& row : grid.rows())
            if (tables.empty() || tables.back() != row.table) tables.push_back(row.table);
        answers.tables = std::move(tables);
    }
    auto property = [&](const char* name) -> std::optional<std::string> {
        try {
            return conn.property(name);
        } catch (const RuntimeError&) {
            return std::nullopt;
        }
    };
    answers.dbmsName = property("DBMS Name");
    answers.dataSourceName = property("Data Source Name");
}

int runSourcesCommand(DataAccess& access, std::ostream& out, std::ostream& err) {
    for (const DataSourceInfo& d : listDataSources(access)) out << d.name << '\t' << d.description << '\n';
    out.flush();
    if (!out) {
        err << kTool << "standard output could not be written\n";
        return kExitErrorsShown;
    }
    return kExitSuccess;
}

int runTablesCommand(DataAccess& access, const DbCommandOptions& options, std::ostream& out, std::ostream& err) {
    ConsoleUi ui(err, std::cin, false, false);
    return runReporting(err, [&] {
        std::unique_ptr<DataConnection> conn = openFromOptions(access, options.connection, ui);
        for (const std::string& t : tablePageList(*conn, ui)) out << t << '\n';
        return finish(out, err, ui);
    });
}

int runFieldsCommand(DataAccess& access, const DbCommandOptions& options, std::ostream& out, std::ostream& err) {
    ConsoleUi ui(err, std::cin, false, false);
    return runReporting(err, [&] {
        std::unique_ptr<DataConnection> conn = openFromOptions(access, options.connection, ui);
        const std::vector<std::string> tables =
            options.tables.empty() ? tablePageList(*conn, ui) : options.tables;
        ProgressLine progress(err, options.stderrIsTerminal);
        const FieldGrid grid = loadRows(*conn, tables, options.detectKeys, ui, &progress);
        for (const FieldRow& row : grid.rows()) out << fieldRowText(row) << '\n';
        return finish(out, err, ui);
    });
}

int runSnapshotCommand(DataAccess& access, const DbCommandOptions& options, FileSystem& fs, std::ostream& out,
                       std::ostream& err) {
    ConsoleUi ui(err, std::cin, false, false);
    return runReporting(err, [&] {
        Answers answers;
        if (options.answersPath) {
            std::string text;
            try {
                text = fs.readAll(*options.answersPath);
            } catch (const RuntimeError& e) {
                throw UsageError(*options.answersPath + ": cannot be read: " + e.description);
            }
            answers = parseAnswers(text, *options.answersPath);
        } else {
            // A new ActiveX DLL, as the project page would have it named.
            answers.project.optNew = true;
            answers.project.optProjectActiveXDLL = true;
            answers.project.txtProjName = "Project1";
            answers.project.msStoreDir = "out";
        }
        const ConnectOptions& c = options.connection;
        if (c.connect || c.dsn) {
            answers.connection = pageValues(c);
            answers.dsn = c.dsn.value_or("");
            answers.user = c.user;
            answers.password = c.password;
        } else if (!options.answersPath) {
            throw UsageError("snapshot: name the database with --connect or --dsn, or give --answers");
        }
        if (!options.tables.empty()) answers.tables = options.tables;
        const std::string fileName = options.answersPath.value_or("snapshot");
        ProgressLine progress(err, options.stderrIsTerminal);
        FieldSource source = loadLive(access, answers, options.detectKeys, ui, &progress);
        // The file holds the rows as loaded and keeps the marks, which are
        // applied when it is read; each mark must name a row.
        if (!answers.marks.empty()) {
            FieldGrid marked = source.grid;
            applyMarks(marked, answers.marks, fileName);
        }
        keepLiveRows(answers, source.grid, *source.conn);
        out << answersToJson(answers);
        return finish(out, err, ui);
    });
}

DbCommands::DbCommands(CLI::App& app) {
    sources_ = app.add_subcommand("sources", "List the ODBC data sources.");
    tables_ = app.add_subcommand("tables", "List the tables the table page would offer.");
    fields_ = app.add_subcommand("fields", "Print the field rows the fields page would load, tab-separated.");
    snapshot_ = app.add_subcommand(
        "snapshot", "Write an offline answers file holding the field rows, for generating without the database.");
    for (CLI::App* sub : {tables_, fields_, snapshot_}) {
        CLI::Option* connect =
            sub->add_option("--connect", options_.connection.connect, "An ODBC or OLE DB connection string");
        CLI::Option* dsn = sub->add_option("--dsn", options_.connection.dsn, "An ODBC data source name");
        connect->excludes(dsn);
        sub->add_option("--user", options_.connection.user, "User name for the data source")->needs(dsn);
        sub->add_option("--password", options_.connection.password, "Password for the data source")->needs(dsn);
        if (sub != snapshot_) {
            CLI::Option_group* group = sub->add_option_group("database");
            group->add_option(connect);
            group->add_option(dsn);
            group->require_option(1);
        }
    }
    for (CLI::App* sub : {fields_, snapshot_}) {
        sub->add_option("--table", options_.tables, "A table to read (repeatable; default: every user table)");
        sub->add_flag("--detect-keys", options_.detectKeys,
                      "Pre-mark primary keys and auto-number columns for every database product");
    }
    snapshot_->add_option("--answers", options_.answersPath,
                          "An answers file whose options, target, connection, tables and marks the snapshot keeps");
}

bool DbCommands::chosen() const {
    return sources_->parsed() || tables_->parsed() || fields_->parsed() || snapshot_->parsed();
}

int DbCommands::run(FileSystem& fs, std::ostream& out, std::ostream& err) {
    db::OdbcOptions odbc;
    odbc.drivers = db::oleDbDriversFromEnvironment();
    db::OdbcDataAccess access(odbc);
    options_.stderrIsTerminal = rw::isTerminal(rw::StdStream::Err);
    if (sources_->parsed()) return runSourcesCommand(access, out, err);
    if (tables_->parsed()) return runTablesCommand(access, options_, out, err);
    if (fields_->parsed()) return runFieldsCommand(access, options_, out, err);
    return runSnapshotCommand(access, options_, fs, out, err);
}

}  // namespace rw::cli
