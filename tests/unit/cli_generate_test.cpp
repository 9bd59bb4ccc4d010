#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "cli/db_commands.h"
#include "answers/clock_choice.h"
#include "cli/generate_command.h"
#include "platform/runtime_error.h"
#include "platform/temp_folders.h"
#include "support/fake_db.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"
#include "support/scripted_ui.h"

namespace rw::cli {
namespace {

std::string answersText(const std::string& target, const std::string& more = "") {
    return R"({"target": )" + target + R"(,
  "connection": {"kind": "dsn", "dsn": "Northwind"},
  "rows": [
    {"table": "Orders", "field": "OrderID", "primary": true, "auto": true, "dataType": 3},
    {"table": "Orders", "field": "Note", "dataType": 202, "nullable": true}],
  "dbmsName": "Microsoft SQL Server")" +
           more + "}";
}

std::string badName(const std::string& why) {
    return "You have chosen an invalid project name: " + why + ".  Please try again.";
}

const std::string kNewTarget = R"({"mode": "new", "kind": "OleDll", "name": "Orders", "store": "/out"})";

struct CliRun {
    MemoryFileSystem fs;
    GenerateOptions options;
    std::string input;
    bool terminal = false;
    std::string out, err;

    MemoryTempFolders tempFolders{fs};

    CliRun() {
        fs.createDirectories("/tmp");
        options.answersPath = "/answers.json";
        options.now = "2026-12-05T08:17:21";
    }
    void answers(const std::string& text) { fs.put(options.answersPath, text); }
    // Runs through `via` (a file system that passes calls on to `fs`) when given.
    int run(FileSystem* via = nullptr) {
        std::ostringstream o, e;
        std::istringstream in(input);
        const int status = runGenerateCommand(options, o, e, via ? *via : fs, in, terminal, &tempFolders);
        out = o.str();
        err = e.str();
        return status;
    }
};

TEST(CliGenerate, BadInputExitsTwoNamingTheFaultAndWritesNothing) {
    struct Case {
        std::string answers;  // "" leaves the answers file missing
        std::string message;
        void (*adjust)(GenerateOptions&);
    };
    const auto none = [](GenerateOptions&) {};
    std::vector<Case> cases = {
        {"", "/answers.json: cannot be read: File not found", none},
        {"{\"target\": {", "/answers.json: parse error at line 1, column 13", none},
        {answersText(R"({"mode": "new", "kind": "Dll", "name": "P", "store": "/out"})"),
         R"(/answers.json: $.target.kind: expected one of "Exe", "OleExe", "OleDll")", none},
        {answersText(kNewTarget, R"(, "marks": {"Orders.Nope": {"primary": true}})"),
         R"(/answers.json: $.marks["Orders.Nope"]: no field row has this table and field)", none},
        {answersText(kNewTarget), "--now: expected a real date and time, YYYY-MM-DDTHH:MM:SS",
         [](GenerateOptions& o) { o.now = "2026-02-30T-1:-5:-9"; }},
        {answersText(kNewTarget), "SOURCE_DATE_EPOCH: expected a whole number of seconds",
         [](GenerateOptions& o) { o.now.reset(), o.sourceDateEpoch = "-5"; }},
        {answersText(kNewTarget), "SOURCE_DATE_EPOCH: expected a whole number of seconds",
         [](GenerateOptions& o) { o.now.reset(), o.sourceDateEpoch = "99999999999999999999"; }},
        {answersText(kNewTarget), "give either --answers or --connect/--dsn, not both",
         [](GenerateOptions& o) { o.live.emplace().connect = "DSN=Shop"; }},
        {"", "give --answers, --connect or --dsn", [](GenerateOptions& o) { o.answersPath.clear(); }},
        {answersText(kNewTarget),
         "--no-code does nothing with --answers: it goes with --connect or --dsn, and the answers file gives what "
         "it would set",
         [](GenerateOptions& o) { o.givenFlags = {"--yes", "--no-code", "--table"}; }},
        {answersText(kNewTarget),
         "--detect-keys does nothing with /answers.json: the file holds the field rows, so no database is read",
         [](GenerateOptions& o) { o.givenFlags = {"--detect-keys"}; }},
        {"", "--connect and --dsn need --store", [](GenerateOptions& o) { o.answersPath.clear(), o.live.emplace().dsn = "Shop"; }},
        {"", R"(--kind: expected one of "Exe", "OleExe", "OleDll")",
         [](GenerateOptions& o) { o.answersPath.clear(), o.store = "/out", o.live.emplace().kind = "Dll"; }},
    };
    for (const auto& [name, why] : std::vector<std::pair<std::string, std::string>>{
             {"../../x", "it contains a path separator (/ or \\)"},
             {"..", "it cannot be \".\" or \"..\""},
             {"a\\\"b", "it contains a double quote"},
             {"P\\r\\nModule=E; E.bas", "it contains a control character"},
             {"\\u9867", "it contains a character outside Windows-1252"}})
        cases.push_back({answersText(R"({"mode": "new", "kind": "Exe", "store": "/out", "name": ")" + name + "\"}"),
                         "/answers.json: $.target.name: " + badName(why), none});
    for (const Case& c : cases) {
        CliRun r;
        if (!c.answers.empty()) r.answers(c.answers);
        c.adjust(r.options);
        const auto before = r.fs.files();
        EXPECT_EQ(r.run(), kExitUsage) << c.message;
        EXPECT_EQ(r.err.rfind("rowwright: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.fs.files(), before) << c.message;
        EXPECT_FALSE(r.fs.isDirectory("/out")) << c.message;
    }
}

// The report goes out with line feeds for its CR LF, then the files in the order written.
TEST(CliGenerate, CompletedRunPrintsTheReportAndTheFilesWritten) {
    CliRun r;
    r.answers(answersText(kNewTarget, R"(, "options": {"errorHandler": false})"));
    r.options.reportPath = "/out/Orders.txt";
    ASSERT_EQ(r.run(), kExitSuccess) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string saved = r.fs.readAll("/out/Orders.txt");
    test::expectGolden("cli_report_no_handler.txt", saved);
    std::string report;
    for (const char c : saved.substr(0, saved.size() - 2)) if (c != '\r') report += c;
    EXPECT_EQ(r.out, report + "\n\nFiles written:\n/out/Orders.vbp\n/out/clsOrders.cls\n/out/clsOrdersColl.cls\n"
                              "/out/modRowwrightErrHndlr.bas\n/out/clsRwtConn.cls\n/out/Orders.txt\n");
}

TEST(CliGenerate, StoreIsTakenFromTheWorkingFolderAndNothingElseChanges) {
    const struct {
        const char *workingFolder, *store, *stored;
    } cases[] = {{"/w", "out", "/w/out"},
                 {"/", "out", "/out"},
                 {"/w/", "./a/../b", "/w/./a/../b"},
                 {"/w", "/abs//x", "/abs//x"},
                 {"", "out", "out"},
                 {"/w", "/elsewhere/deep/er", "/elsewhere/deep/er"}};
    for (const auto& c : cases) {
        CliRun r;
        r.answers(answersText(kNewTarget));
        r.options.workingFolder = c.workingFolder;
        r.options.store = c.store;
        ASSERT_EQ(r.run(), kExitSuccess) << r.err;
        EXPECT_NE(r.out.find("Files stored in: \n" + std::string(c.stored) + "\n"), std::string::npos) << r.out;
        EXPECT_NE(r.fs.readAll(std::string(c.stored) + "/Orders.vbp").find("Class=clsOrders; " + std::string(c.stored)),
                  std::string::npos);
        EXPECT_EQ(r.fs.isDirectory("/out"), std::string(c.stored) == "/out");
    }
}

TEST(CliGenerate, OverwriteQuestionDecidesWhetherEarlierOutputIsReplaced) {
    const struct {
        bool terminal, yes;
        const char* input;
        int status;
    } cases[] = {{false, false, "y\n", kExitDeclined},  // nobody to ask: No
                 {true, false, "n\n", kExitDeclined},
                 {true, false, "y\n", kExitSuccess},
                 {false, true, "", kExitSuccess}};
    for (const auto& c : cases) {
        CliRun r;
        r.answers(answersText(kNewTarget));
        r.fs.put("/out/clsOrders.cls", "earlier");
        r.terminal = c.terminal;
        r.options.yes = c.yes;
        r.input = c.input;
        const auto before = r.fs.files();
        EXPECT_EQ(r.run(), c.status) << r.err;
        EXPECT_EQ(r.err.rfind("You are about to overwrite previously generated files.  Continue?\n", 0), 0u);
        if (c.status == kExitDeclined) {
            EXPECT_EQ(r.fs.files(), before);
            EXPECT_EQ(r.out, "");
        } else {
            EXPECT_NE(r.fs.readAll("/out/clsOrders.cls"), "earlier");
        }
    }
}

// An existing project's file comes first under its own name (where its
// rewrite began), a loaded one's last; no temporary or staged file is left or listed.
TEST(CliGenerate, ProjectsBeingExtendedAreNamedInTheReportAndTheFileList) {
    const struct {
        const char *target, *added, *written;
    } cases[] = {
        {R"({"mode": "existing", "project": "/p/Billing.vbp", "store": "/p/gen"})",
         "Added files to '/p/Billing.vbp' as per request.\n",
         "/p/Billing.vbp\n/p/gen/clsOrders.cls\n/p/gen/clsOrdersColl.cls\n/p/gen/modRowwrightErrHndlr.bas\n"
         "/p/gen/clsRwtConn.cls\n"},
        {R"({"mode": "loaded", "project": "Billing.vbp"})", "Added files to Billing as per request.\n",
         "/p/clsOrders.cls\n/p/clsOrdersColl.cls\n/p/modRowwrightErrHndlr.bas\n/p/clsRwtConn.cls\n/p/Billing.vbp\n"},
    };
    for (const auto& c : cases) {
        CliRun r;
        const std::string vbp = test::writeSampleProject(r.fs, "/p");
        const std::size_t files = r.fs.files().size();
        r.answers(answersText(c.target));
        r.options.workingFolder = "/p";
        ASSERT_EQ(r.run(), kExitSuccess) << r.err;
        EXPECT_NE(r.out.find(c.added), std::string::npos) << r.out;
        EXPECT_EQ(r.out.substr(r.out.find("Files written:")), "Files written:\n" + std::string(c.written));
        EXPECT_EQ(r.fs.files().size(), files + 5);  // four new files and the answers file
        EXPECT_NE(r.fs.readAll(vbp).find("Class=clsOrders; "), std::string::npos);
        EXPECT_EQ(r.tempFolders.removed, r.tempFolders.made);
    }
}

TEST(CliGenerate, ErrorShownDuringTheRunGivesStatusOne) {
    const struct {
        void (*adjust)(CliRun&);
        const char* err;  // a part of what is shown
        bool reported;    // else nothing is printed and no store made
        bool listed;      // the table's files are listed as written
    } cases[] = {
        {[](CliRun& r) { r.fs.createDirectories("/out"), r.fs.failCreate("/out/clsOrders.cls", kErrPermissionDenied); },
         "Error: 70\nSource: RwtAddIn (frmFields.mfCreateObjectClassFile)\n\nDescription: Permission denied\n"
         "File: /out/clsOrders.cls\n",
         true, false},
        {[](CliRun& r) { r.options.reportPath = "/nowhere/Orders.txt"; }, "(frmReport.cmdSave_Click)", true, true},
        {[](CliRun& r) { r.options.saveAnswersPath = "/nowhere/a.json"; },
         "rowwright: /nowhere/a.json: cannot be written: Path not found\n", false, false},
        {[](CliRun& r) { r.answers(answersText(R"({"mode": "loaded", "project": "/p/Missing.vbp"})")); }, "Missing.vbp",
         false, false},
    };
    for (const auto& c : cases) {
        CliRun r;
        r.answers(answersText(kNewTarget));
        c.adjust(r);
        EXPECT_EQ(r.run(), kExitErrorsShown) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("<End of Report>") != std::string::npos, c.reported) << r.out;
        // A table that failed is not listed, nor its empty collection file.
        EXPECT_EQ(r.out.find("/out/clsOrdersColl.cls") != std::string::npos, c.listed) << r.out;
        EXPECT_TRUE(c.reported || !r.fs.isDirectory("/out")) << c.err;
    }
}

TEST(CliGenerate, LiveRunTakesThePasswordTheAnswersLackFromTheCommandLine) {
    const struct {
        const char* inFile;  // nullptr: no password member
        std::optional<std::string> given;
        const char* opened;
    } cases[] = {{nullptr, "pw", "pw"}, {"", "pw", "pw"}, {"file", "pw", "file"}, {nullptr, std::nullopt, ""}};
    for (const auto& c : cases) {
        const std::string password = c.inFile ? R"(, "password": ")" + std::string(c.inFile) + "\"" : "";
        const Answers answers = parseAnswers(R"({"target": )" + kNewTarget + R"(, "connection": {"kind": "dsn", "dsn": "D")" +
                                                 password + R"(}, "tables": ["T"]})", "a.json");
        test::FakeAccess access;
        GenerateOptions options;
        options.password = c.given;
        ScriptedUi ui;
        openLiveFieldSource(access, answers, options, ui);
        ASSERT_EQ(access.opens.size(), 1u);
        EXPECT_EQ(access.opens[0].password, c.opened) << (c.inFile ? c.inFile : "none");
    }
}

// The same run three ways: from the command line, from an answers file
// without rows, and offline from the answers that second run saved.
TEST(CliGenerate, LiveRunFromTheCommandLineWritesWhatItsAnswersFileWrites) {
    std::map<std::string, std::string> written[3];
    std::string saved;
    for (int run = 0; run < 3; ++run) {
        CliRun r;
        test::FakeAccess access;
        access.make = [](const std::string&) {
            auto c = std::make_unique<test::FakeConnection>();
            c->tables = {{"Orders", "TABLE"}, {"Items", "TABLE"}};
            c->columns["Orders"] = {{"OrderID", 3, {}, {}, false}, {"Note", 202, {}, {}}};
            c->keys["Orders"] = {"OrderID"};
            return c;
        };
        r.options.dataAccess = &access;
        r.options.store = "/out";
        r.options.password = "s3cret";
        r.options.detectKeys = true;
        if (run == 0) {
            r.options.answersPath.clear();
            LiveRunOptions& live = r.options.live.emplace();
            live.connect = "DSN=Shop";
            live.name = "Shop";
            live.kind = "Exe";
            live.tables = {"Orders"};
            live.generated.chkCode = false;
        } else if (run == 1) {
            r.answers(R"({"options": {"code": false}, "target": {"mode": "new", "kind": "Exe", "name": "Shop"},
                          "connection": {"kind": "string", "string": "DSN=Shop"}})");
            r.options.saveAnswersPath = "/saved.json";
            r.options.givenFlags = kDatabaseReadFlags;  // read: the file has no rows
        } else {
            r.answers(saved);
        }
        ASSERT_EQ(r.run(), kExitSuccess) << r.err;
        EXPECT_EQ(access.opens.size(), run < 2 ? 1u : 0u);
        if (run == 1) saved = r.fs.readAll("/saved.json");
        for (const auto& [path, bytes] : r.fs.files())
            if (path.rfind("/out/", 0) == 0) written[run][path] = bytes;
    }
    EXPECT_EQ(saved.find("s3cret"), std::string::npos);
    // The tables listed are those with rows, each once.
    EXPECT_EQ(parseAnswers(saved, "s").tables, std::optional<std::vector<std::string>>({"Orders"}));
    EXPECT_TRUE(written[0].count("/out/Shop.vbp"));
    EXPECT_EQ(written[0], written[1]);
    EXPECT_EQ(written[0], written[2]);
}

TEST(CliGenerate, ClockComesFromNowThenSourceDateEpoch) {
    const struct {
        std::optional<std::string> now;
        const char *epoch, *text;
    } cases[] = {{std::nullopt, "1796458641", "12/5/2026 8:17:21 AM"},  // 2026-12-05 08:17:21 UTC
                 {std::nullopt, "0", "1/1/1970"},
                 {std::nullopt, "253402300799", "12/31/9999 11:59:59 PM"},  // the last second of 9999
                 {"2031-02-03T13:04:05", "0", "2/3/2031 1:04:05 PM"}};
    for (const auto& c : cases) EXPECT_EQ(chooseClock(c.now, std::string(c.epoch))->nowText(), c.text);
}

TEST(CliGenerate, StopSignalAfterATablesGeneratorsLeavesTheProjectAsItWas) {
    const struct {
        const char* target;
        const char* trigger;  // the file whose creation raises the flag
        const char* message;
    } cases[] = {
        {R"({"mode": "loaded", "project": "/p/Billing.vbp"})", "/tmp/rowwright-1/clsOrdersColl.rwg",
         "rowwright: interrupted by SIGTERM: no file was written; the project was not saved\n"},
        {R"({"mode": "existing", "project": "/p/Billing.vbp", "store": "/p"})", "/p/clsOrdersColl.cls",
         "rowwright: interrupted by SIGTERM: no file was written; the table in progress and the project file were "
         "not written\n"},
    };
    for (const auto& c : cases) {
        CliRun r;
        test::writeSampleProject(r.fs, "/p");
        r.answers(answersText(c.target));
        test::StopWhenCreated fs(r.fs, c.trigger);
        r.options.stopSignal = &fs.stop;
        const auto before = r.fs.files();
        EXPECT_EQ(r.run(&fs), 143);
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.fs.files(), before);
        EXPECT_EQ(r.tempFolders.removed, r.tempFolders.made);
    }
}

TEST(CliGenerate, NamesThatWillNotCompileAreWarnedAfterTheFileList) {
    const struct {
        const char* table;
        const char* field;
        const char* warning;  // "" for none
    } cases[] = {
        {"Orders", "ok", ""},
        {"Orders", "Unit-Price", "Orders.Unit-Price: the property name Unit-Price is not a valid identifier"},
        {"Orders", "1st", "Orders.1st: the property name 1st is not a valid identifier"},
        {"Orders", "\u00e9t\u00e9", ""},
        {"Orders", "\u9867", "Orders.\u9867: its characters outside Windows-1252 become \"?\" in the property name"},
        {"Orders", "next", "Orders.next: the property name Next is a reserved word"},
        {"Orders", "update", "Orders.update: the property name Update is also the class member Update"},
        {"Orders", "mbLoading", "Orders.mbLoading: the property name MbLoading is also the class member mbLoading"},
        {"Orders", "Qty", ""},
        {"Orders", "qty", "Orders.qty: the property name Qty is also that of column \"Qty\""},
        {"Orders", "mvarqty", "Orders.mvarqty: the property name Mvarqty is also the class member mvarQty"},
        {"Orders", "format", "Orders.format: the property name Format hides the function Format that the class calls"},
        {"Unit-Prices", "ID", "Unit-Prices: the class name clsUnit-Prices is not a valid identifier"},
        {"Unit-Prices", "err",
         "Unit-Prices.err: the property name Err hides the function Err that the class calls (calls the property "
         "instead of the function)"},
    };
    std::string rows, expected;
    for (const auto& c : cases) {
        rows += std::string(rows.empty() ? "" : ", ") + R"({"table": ")" + c.table + R"(", "field": ")" + c.field +
                R"(", "dataType": 3})";
        const std::string w = c.warning;
        if (!w.empty()) expected += "warning: " + w + (w.back() == ')' ? "" : " (the class will not compile)") + "\n";
    }
    CliRun r;
    r.answers(R"({"target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/out"},
                  "connection": {"kind": "dsn", "dsn": "D"}, "dbmsName": "Oracle", "rows": [)" + rows + "]}");
    EXPECT_EQ(r.run(), kExitSuccess);
    EXPECT_EQ(r.err, expected);
    EXPECT_NE(r.out.find("/out/clsUnit-PricesColl.cls\n"), std::string::npos);
}

// A table name that climbs out of the store, on the real disk: the run refuses
// it and writes only the other tables' files inside the store.
std::string rowsAnswers(const std::string& store, const std::vector<std::pair<std::string, std::string>>& rows) {
    std::string json = R"({"target": {"mode": "new", "kind": "Exe", "name": "P", "store": ")" + store +
                       R"("}, "connection": {"kind": "dsn", "dsn": "D"}, "dbmsName": "Oracle", "rows": [)";
    for (const auto& [table, field] : rows)
        json += (json.back() == '[' ? "" : ", ") + std::string(R"({"table": ")") + table + R"(", "field": ")" + field +
                R"(", "dataType": 3})";
    return json + "]}";
}

TEST(CliGenerate, HostileTableNameWritesNothingOutsideTheStore) {
    namespace fs = std::filesystem;
    PosixFileSystem real;
    const std::string root = SystemTempFolders().makePrivateFolder();
    // Deep enough that the climb ends inside the private folder: a run that
    // let it through leaves the stray file where this test finds it, and
    // nothing outside.
    const std::string store = root + "/a/b/store";
    real.createDirectories(store + "/cls");
    const std::string escaped = fs::path(store + "/cls/../../../x.cls").lexically_normal().string();
    ASSERT_FALSE(real.exists(escaped));
    real.create(root + "/a.json")->write(rowsAnswers(store, {{"/../../../x", "ID"}, {"Orders", "ID"}}));
    GenerateOptions options;
    options.answersPath = root + "/a.json";
    options.now = "2026-12-05T08:17:21";
    std::ostringstream out, err;
    std::istringstream in;
    EXPECT_EQ(runGenerateCommand(options, out, err, real, in, false, nullptr), kExitErrorsShown);
    EXPECT_EQ(err.str(), "Error: 52\nSource: RwtAddIn (frmFields.cmdFinish_Click)\n\nDescription: Table "
                         "\"/../../../x\" was not generated: its name cannot be used for a file.\n");
    EXPECT_FALSE(real.exists(escaped));
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"P.vbp", "a.json", "clsOrders.cls", "clsOrdersColl.cls",
                                               "clsRwtConn.cls", "modRowwrightErrHndlr.bas"}));
    fs::remove_all(root);
}

}  // namespace
}  // namespace rw::cli
