// The command-line tool's generate command, its console and the record of
// the files it wrote.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>
#include <sstream>

#include "cli/console_ui.h"
#include "cli/db_commands.h"
#include "cli/generate_command.h"
#include "cli/recording_file_system.h"
#include "platform/temp_folders.h"
#include "support/fake_db.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"
#include "support/memory_temp_folders.h"

namespace rw::cli {
namespace {

std::string answersText(const std::string& target, const std::string& more = "") {
    return R"({"target": )" + target + R"(, "connection": {"kind": "dsn", "dsn": "Northwind"},
  "rows": [{"table": "Orders", "field": "OrderID", "primary": true, "auto": true, "dataType": 3},
           {"table": "Orders", "field": "Note", "dataType": 202, "nullable": true}],
  "dbmsName": "Microsoft SQL Server")" + more + "}";
}

// Answers for a new Standard EXE "P" with one column of type 3 per (table, field).
std::string rowsAnswers(const std::string& store, const std::vector<std::pair<std::string, std::string>>& rows) {
    std::string json = R"({"target": {"mode": "new", "kind": "Exe", "name": "P", "store": ")" + store +
                       R"("}, "connection": {"kind": "dsn", "dsn": "D"}, "dbmsName": "Oracle", "rows": [)";
    for (const auto& [table, field] : rows)
        json += (json.back() == '[' ? "" : ", ") + std::string(R"({"table": ")") + table + R"(", "field": ")" + field +
                R"(", "dataType": 3})";
    return json + "]}";
}

const std::string kNewTarget = R"({"mode": "new", "kind": "OleDll", "name": "Orders", "store": "/out"})";
const std::string kExisting = R"({"mode": "existing", "project": "/p/Billing.vbp", "store": "/p/gen"})";
const std::string kExistingInItsFolder = R"({"mode": "existing", "project": "/p/Billing.vbp", "store": "/p"})";
const std::string kLoaded = R"({"mode": "loaded", "project": "Billing.vbp"})";

struct CliRun {
    MemoryFileSystem fs;
    GenerateOptions options;
    std::string input;
    bool terminal = false;
    std::string out, err;

    MemoryTempFolders tempFolders{fs};
    test::FakeAccess access;  // the database a live run reads

    CliRun() {
        fs.createDirectories("/tmp");
        options.answersPath = "/answers.json";
        options.now = "2026-12-05T08:17:21";
        answers(answersText(kNewTarget));
    }
    void answers(const std::string& text) { fs.put(options.answersPath, text); }
    // Runs through `via` (the disk, or a file system that passes calls on to `fs`) when given.
    int run(FileSystem* via = nullptr) {
        std::ostringstream o, e;
        std::istringstream in(input);
        const int status = runGenerateCommand(options, o, e, via ? *via : fs, in, terminal, &tempFolders);
        return out = o.str(), err = e.str(), status;
    }
    // The two streams, then every file: project files, reports, saved
    // answers and short files whole, any other by its size.
    std::string dump(int status) {
        std::string text = "status " + std::to_string(status) + "\n-- err\n" + err + "-- out\n" + out + "-- files" +
                           (fs.isDirectory("/out") ? " (/out made)\n" : "\n");
        for (const auto& [path, bytes] : fs.files()) {
            const bool whole = path.ends_with(".vbp") || path.ends_with(".txt") || path == "/saved.json" || bytes.size() < 64;
            text += path + (whole ? ":\n" + test::readable(bytes) : " " + std::to_string(bytes.size()) + " bytes") + "\n";
        }
        return text;
    }
};

void sample(CliRun& r) { test::writeSampleProject(r.fs, "/p"), r.options.workingFolder = "/p"; }

void earlier(CliRun& r) { r.fs.put("/out/clsOrders.cls", "earlier"); }

// A live run of table Orders (key found by --detect-keys) into "/out",
// with a password only the command line gives.
void live(CliRun& r) {
    r.access.make = [](const std::string&) {
        auto c = std::make_unique<test::FakeConnection>();
        c->tables = {{"Orders", "TABLE"}, {"Items", "TABLE"}};
        c->columns["Orders"] = {{"OrderID", 3, {}, {}, false}, {"Note", 202, {}, {}}};
        c->keys["Orders"] = {"OrderID"}, c->properties["Data Source Name"] = "D";
        return c;
    };
    r.options.dataAccess = &r.access, r.options.store = "/out", r.options.password = "s3cret", r.options.detectKeys = true;
}

// A live run of the tables an answers file names, its connection ending with `member`.
void livePassword(CliRun& r, const std::string& member) {
    live(r);
    r.answers(R"({"target": {"mode": "new", "kind": "Exe", "name": "Shop"}, "connection": {"kind": "dsn", "dsn": "D")" +
              member + R"(}, "tables": ["Orders"]})");
    r.options.givenFlags = kDatabaseReadFlags;
}

// The same live run from an answers file without rows, saving its answers.
void liveFromAnswers(CliRun& r) {
    live(r);
    r.answers(R"({"options": {"code": false}, "target": {"mode": "new", "kind": "Exe", "name": "Shop"},
                  "connection": {"kind": "string", "string": "DSN=Shop"}})");
    r.options.saveAnswersPath = "/saved.json", r.options.givenFlags = kDatabaseReadFlags;  // read: the file has no rows
}

// Every outcome of the command: bad input (status 2, nothing written), the
// store taken from the working folder, the overwrite question, projects
// being extended, errors shown during the run, a stop signal.
TEST(CliGenerate, EachRunShowsItsOutcomeAndLeavesItsFiles) {
    using R = CliRun&;
    const struct {
        const char* name;
        void (*setup)(R);
        const char* trigger = "";  // the file whose creation raises SIGTERM
    } rows[] = {
        {"answers file missing", [](R r) { r.fs.remove("/answers.json"); }},
        {"marks an unknown field",
         [](R r) { r.answers(answersText(kNewTarget, R"(, "marks": {"Orders.Nope": {"primary": true}})")); }},
        {"bad --now", [](R r) { r.options.now = "2026-02-30T-1:-5:-9"; }},
        {"answers and a connection", [](R r) { r.options.live.emplace().connect = "DSN=Shop"; }},
        {"no source", [](R r) { r.options.answersPath.clear(); }},
        {"--no-code with answers", [](R r) { r.options.givenFlags = {"--yes", "--no-code", "--table"}; }},
        {"--detect-keys with answers", [](R r) { r.options.givenFlags = {"--detect-keys"}; }},
        {"--dsn without --store", [](R r) { r.options.answersPath.clear(), r.options.live.emplace().dsn = "Shop"; }},
        {"bad --kind",
         [](R r) { r.options.answersPath.clear(), r.options.store = "/out", r.options.live.emplace().kind = "Dll"; }},
        {"completed with its report saved", [](R r) {
             r.answers(answersText(kNewTarget, R"(, "options": {"errorHandler": false})")), r.options.reportPath = "/out/Orders.txt";
         }},
        {"store in the working folder", [](R r) { r.options.workingFolder = "/w", r.options.store = "out"; }},
        {"store in the root", [](R r) { r.options.workingFolder = "/", r.options.store = "out"; }},
        {"store spelt with dots", [](R r) { r.options.workingFolder = "/w/", r.options.store = "./a/../b"; }},
        {"absolute store", [](R r) { r.options.workingFolder = "/w", r.options.store = "/abs//x"; }},
        {"no working folder", [](R r) { r.options.workingFolder = "", r.options.store = "out"; }},
        {"overwrite, nobody to ask", [](R r) { earlier(r), r.input = "y\n"; }},
        {"overwrite, answered no", [](R r) { earlier(r), r.terminal = true, r.input = "n\n"; }},
        {"overwrite, answered yes", [](R r) { earlier(r), r.terminal = true, r.input = "y\n"; }},
        {"overwrite, --yes", [](R r) { earlier(r), r.options.yes = true; }},
        {"existing project extended", [](R r) { sample(r), r.answers(answersText(kExisting)); }},
        {"loaded project extended", [](R r) { sample(r), r.answers(answersText(kLoaded)); }},
        {"class file cannot be made",
         [](R r) { r.fs.createDirectories("/out"), r.fs.failCreate("/out/clsOrders.cls", kErrPermissionDenied); }},
        {"report cannot be saved", [](R r) { r.options.reportPath = "/nowhere/Orders.txt"; }},
        {"answers cannot be saved", [](R r) { r.options.saveAnswersPath = "/nowhere/a.json"; }},
        {"loaded project missing",
         [](R r) { r.answers(answersText(R"({"mode": "loaded", "project": "/p/Missing.vbp"})")); }},
        // Warned after the file list: a bad identifier, characters outside
        // Windows-1252, reserved words, class members, columns and functions.
        {"names that will not compile", [](R r) {
             r.answers(rowsAnswers("/out", {{"Orders", "ok"}, {"Orders", "Unit-Price"}, {"Orders", "1st"}, {"Orders", "\u00e9t\u00e9"},
                                            {"Orders", "\u9867"}, {"Orders", "next"}, {"Orders", "update"}, {"Orders", "mbLoading"},
                                            {"Orders", "Qty"}, {"Orders", "qty"}, {"Orders", "mvarqty"}, {"Orders", "mvarNone"}, {"Orders", "format"},
                                            {"Unit-Prices", "ID"}, {"Unit-Prices", "err"}}));
         }},
        // The same files three ways; the saved answers list the tables with
        // rows, each once, and no password.
        {"live from the command line", [](R r) {
             live(r), r.options.answersPath.clear();
             LiveRunOptions& l = r.options.live.emplace();
             l.connect = "DSN=Shop", l.name = "Shop", l.kind = "Exe", l.tables = {"Orders"}, l.generated.chkCode = false;
         }},
        {"live from answers without rows", liveFromAnswers},
        {"offline from the saved answers", [](R r) {
             CliRun first;
             liveFromAnswers(first), first.run(), r.answers(first.fs.readAll("/saved.json"));
         }},
        // The password the answers lack comes from the command line.
        {"password in the answers", [](R r) { livePassword(r, R"(, "password": "file")"); }},
        {"empty password in the answers", [](R r) { livePassword(r, R"(, "password": "")"); }},
        {"no password anywhere", [](R r) { livePassword(r, ""), r.options.password.reset(); }},
        {"stopped in a loaded run", [](R r) { sample(r), r.answers(answersText(kLoaded)); },
         "/tmp/rowwright-1/clsOrdersColl.rwg"},
        {"stopped extending a project", [](R r) { sample(r), r.answers(answersText(kExistingInItsFolder)); },
         "/p/clsOrdersColl.cls"},
    };
    std::string all;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CliRun r;
        row.setup(r);
        test::StopWhenCreated stopping(r.fs, row.trigger);
        if (*row.trigger != '\0') r.options.stopSignal = &stopping.stop;
        const int status = r.run(*row.trigger != '\0' ? &stopping : nullptr);
        all += "== " + std::string(row.name) + ": ";
        for (const auto& open : r.access.opens) all += "opened with password \"" + open.password + "\", ";
        all += r.dump(status);
        EXPECT_EQ(r.tempFolders.removed, r.tempFolders.made);
    }
    test::expectGolden("cli_generate_runs.txt", all);
}

// A table name that climbs out of the store, on the real disk: the run refuses
// it and writes only the other tables' files inside the store (deep enough
// that a climb let through ends inside the private folder).
TEST(CliGenerate, HostileTableNameWritesNothingOutsideTheStore) {
    PosixFileSystem real;
    const std::string root = SystemTempFolders().makePrivateFolder(), store = root + "/a/b/store";
    real.createDirectories(store + "/cls");
    test::writeBytes(real, root + "/a.json", rowsAnswers(store, {{"/../../../x", "ID"}, {"Orders", "ID"}}));
    CliRun r;
    r.options.answersPath = root + "/a.json";
    EXPECT_EQ(r.run(&real), kExitErrorsShown);
    EXPECT_EQ(r.err, "Error: 52\nSource: RwtAddIn (frmFields.cmdFinish_Click)\n\nDescription: Table "
                     "\"/../../../x\" was not generated: its name cannot be used for a file.\n");
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.insert(entry.path().lexically_relative(root).string());
    EXPECT_EQ(files, (std::set<std::string>{"a.json", "a/b/store/P.vbp", "a/b/store/clsOrders.cls",
                                            "a/b/store/clsOrdersColl.cls", "a/b/store/clsRwtConn.cls",
                                            "a/b/store/modRowwrightErrHndlr.bas"}));
    std::filesystem::remove_all(root);
}

// ---- the console ----------------------------------------------------------

TEST(CliConsoleUi, MessagesGoToStandardErrorAndOnlyErrorsAreCounted) {
    std::ostringstream err;
    std::istringstream in;
    ConsoleUi ui(err, in, false, false);
    EXPECT_EQ(ui.msgBox("Done.", kStyleInformation), kAnswerOk);
    ShowError(ui, 76, "RwtAddIn (frmFields.msGenObjectFile)", "Path not found", {"/out/a\nb.cls"});
    ShowError(ui, 70, "RwtAddIn", "Permission denied", {"/tmp", true});
    EXPECT_EQ(ui.msgBox("Careful", kStyleInformation, "Other"), kAnswerOk);
    EXPECT_EQ(err.str(), "Done.\nError: 76\nSource: RwtAddIn (frmFields.msGenObjectFile)\n\nDescription: Path not found\n"
                         "File: /out/a?b.cls\nError: 70\nSource: RwtAddIn\n\nDescription: Permission denied\n"
                         "Folder: /tmp\nOther: Careful\n");
    EXPECT_EQ(ui.errorCount(), 2);
    EXPECT_EQ(terminalText("a\r\nb\rc\n"), "a\nb\nc\n");
}

TEST(CliConsoleUi, QuestionsAreAnsweredByYesFlagTerminalOrNo) {
    for (const int style : {kStyleQuestionYesNo, kStyleCriticalYesNo, kStyleCriticalYesNoCancel}) {
        std::ostringstream err;
        std::istringstream in("n\n");
        EXPECT_EQ(ConsoleUi(err, in, true, true).msgBox("Go on?", style), kAnswerYes) << style;
        EXPECT_EQ(ConsoleUi(err, in, false, false).msgBox("Go on?", style), kAnswerNo) << style;
        EXPECT_EQ(in.tellg(), 0) << "nothing is read when the answer is not asked for";
    }

    std::ostringstream err;
    std::istringstream in("maybe\n  YES \nc\nno\nc\n");
    ConsoleUi ui(err, in, true, false);
    EXPECT_EQ(ui.msgBox("Overwrite?", kStyleCriticalYesNo), kAnswerYes);  // asks again after "maybe"
    EXPECT_EQ(ui.msgBox("Overwrite?", kStyleCriticalYesNo), kAnswerNo);   // "c" is no answer without Cancel
    EXPECT_EQ(ui.msgBox("Save first?", kStyleCriticalYesNoCancel), kAnswerCancel);
    EXPECT_EQ(ui.msgBox("Save first?", kStyleCriticalYesNoCancel), kAnswerNo);  // end of input
    EXPECT_EQ(ui.errorCount(), 0);
    EXPECT_NE(err.str().find("[y]es, [n]o or [c]ancel? "), std::string::npos);
}

TEST(CliConsoleUi, ProgressShowsOnATerminalAfterASecondAndIsClearedAtTheEnd) {
    const struct {
        bool terminal;
        std::vector<std::array<int, 3>> steps;  // at milliseconds, tables done, of tables
        std::string expected;
    } cases[] = {
        {false, {{1500, 1, 2}, {3000, 2, 2}}, ""},
        {true, {{400, 1, 2}, {1000, 2, 2}}, ""},  // done within the second
        {true, {{900, 1, 120}, {1001, 9, 120}, {1100, 10, 120}, {1500, 11, 120}, {1501, 120, 120}},
         "\rreading fields: 9 of 120 tables\rreading fields: 11 of 120 tables"
         "\rreading fields: 120 of 120 tables\r                                 \r"},
        {true, {{2000, 1, 1}}, "\rreading fields: 1 of 1 table\r                            \r"},
    };
    for (const auto& c : cases) {
        std::ostringstream err;
        std::chrono::steady_clock::time_point now{};
        auto line = std::make_unique<ProgressLine>(err, c.terminal, [&] { return now; });
        for (const auto& [atMs, done, total] : c.steps)
            now = std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(atMs), line->update(done, total);
        line.reset();
        EXPECT_EQ(err.str(), c.expected);
    }
}

TEST(CliRecordingFileSystem, ListsCompleteFilesOnceInCreationOrderUnderFinalNames) {
    MemoryFileSystem memory;
    memory.createDirectories("/out"), memory.createDirectories("/stage"), memory.put("/elsewhere/old.txt", "x");
    memory.failCreate("/out/clsBad.cls", kErrPermissionDenied);
    memory.failWrite("/out/clsFull.cls", 4, kErrDiskFull);
    RecordingFileSystem fs(memory);
    const auto write = [](auto sink, std::string_view bytes = "text") { sink->write(bytes), sink->close(); };
    TempFile temp = fs.createTempBeside("/out/P.vbp");
    write(std::move(temp.sink));
    write(fs.create("/out/clsA.cls")), write(fs.create("/out/clsA.cls"));
    write(fs.create("/stage/clsA.rwg"));
    EXPECT_THROW(fs.create("/out/clsBad.cls"), RuntimeError);
    write(fs.create("/out/clsGone.cls")), fs.remove("/out/clsGone.cls");
    write(fs.create("/out/clsEmpty.cls"), "");  // its generator never wrote
    auto full = fs.create("/out/clsFull.cls");  // the disk fills, then the run closes it
    full->write("text");
    EXPECT_THROW(full->write("more"), RuntimeError);
    full->close();
    fs.replace(temp.path, "/out/P.vbp");
    fs.rename("/elsewhere/old.txt", "/out/moved.txt");
    EXPECT_EQ(fs.written(), (std::vector<std::string>{"/out/P.vbp", "/out/clsA.cls", "/out/moved.txt"}));
    EXPECT_TRUE(memory.exists("/out/P.vbp"));
    EXPECT_FALSE(memory.exists(temp.path));
}

}  // namespace
}  // namespace rw::cli
