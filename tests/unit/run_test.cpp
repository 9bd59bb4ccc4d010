#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "run/report.h"
#include "run/run.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/memory_file_system.h"

namespace rw {
namespace {

using test::GenFixture;
using test::readable;
using test::row;

std::string errorText(long number, const std::string& source) {
    return errorMessageText(number, source, fileErrorDescription(number));
}

// Runs through `stopping` (which passes calls on to `f.fs`) when given.
RunOutcome runIn(GenFixture& f, test::StopWhenCreated* stopping = nullptr) {
    RunEnvironment env{stopping ? static_cast<FileSystem&>(*stopping) : f.fs, f.ui, f.clock, f.conn};
    if (stopping) env.stopSignal = &stopping->stop;
    return runGeneration(f.settings, f.grid, env);
}

struct RunTest : ::testing::Test {
    GenFixture fx;

    RunTest() {
        fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130),
                             row("Order Details", "OrderID", 3, true), row("Order Details", "Qty", 2)});
    }

    RunOutcome run() { return runIn(fx); }
};

TEST_F(RunTest, NewProjectWritesEveryFileAndTheReport) {
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_TRUE(fx.ui.messages.empty());  // no earlier output: no question
    for (const char* name : {"Orders.vbp", "clsCustomers.cls", "clsCustomersColl.cls", "clsOrderDetails.cls",
                             "clsOrderDetailsColl.cls", "modRowwrightErrHndlr.bas", "clsRwtConn.cls"}) {
        EXPECT_TRUE(fx.fs.exists(std::string("/out/") + name)) << name;
    }
    EXPECT_EQ(outcome.reportFolder, "/out");
    EXPECT_EQ(outcome.reportFileName, "/out/Orders.txt");
    EXPECT_EQ(fx.ui.busyDepth, 0);
    test::expectGolden("report_new_project.txt", outcome.reportText);
}

// On Windows the project file and the report name every file as Windows
// writes a path: the store folder as given, "\" and the name.
TEST_F(RunTest, WindowsPathFormsInTheProjectFileAndTheReport) {
#ifndef _WIN32
    GTEST_SKIP() << "Windows-only: POSIX joins with \"/\" (the test above)";
#endif
    fx.settings.msStoreDir = "C:\\Out";
    fx.settings.msProjectFile = "C:\\Out\\Orders.vbp";
    fx.fs.createDirectories("C:/Out");
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_EQ(outcome.reportFileName, "C:\\Out\\Orders.txt");
    test::expectGolden("report_new_project_windows.txt", outcome.reportText);
    test::expectGolden("project_new_windows.txt", fx.fs.readAll("C:\\Out\\Orders.vbp"));
}

// Earlier object class files or a new project's file ask once; No writes nothing.
TEST_F(RunTest, OverwriteQuestionIsAskedOnceAndNoWritesNothing) {
    const struct {
        std::vector<std::string> earlier;
        int answer;
        bool asks;
    } cases[] = {{{"/out/clsCustomers.cls", "/out/clsOrderDetails.cls"}, kAnswerNo, true},
                 {{"/out/clsCustomers.cls", "/out/clsOrderDetails.cls"}, kAnswerYes, true},
                 {{"/out/Orders.vbp"}, kAnswerNo, true},
                 {{"/out/clsCustomersColl.cls"}, kAnswerNo, false}};
    for (const auto& c : cases) {
        GenFixture f;
        f.grid = fx.grid;
        for (const std::string& file : c.earlier) f.fs.put(file, "old");
        f.ui.answers = {c.answer};
        const auto before = f.fs.files();
        const bool declined = c.asks && c.answer == kAnswerNo;
        EXPECT_EQ(runIn(f).status, declined ? RunOutcome::Status::Declined : RunOutcome::Status::Completed);
        EXPECT_EQ(f.messageTexts(), c.asks ? std::vector<std::string>{"You are about to overwrite previously generated "
                                                                       "files.  Continue?"}
                                           : std::vector<std::string>{});
        if (c.asks) {
            EXPECT_EQ(f.ui.messages[0].style, 20);
            EXPECT_EQ(f.ui.messages[0].title, "Rowwright");
        }
        EXPECT_EQ(f.fs.files() == before, declined) << c.earlier[0];
        EXPECT_EQ(f.ui.busyDepth, 0);
    }
}

// A file that cannot be made or filled skips its table, naming the writer;
// a missing store or a failed project rewrite ends the run.
TEST_F(RunTest, FileErrorsAreShownByTheirWriter) {
    using Fixture = GenFixture&;
    const struct {
        void (*adjust)(Fixture);
        long number;
        const char* source;
        RunOutcome::Status status;
        void (*check)(Fixture, const RunOutcome&);
    } cases[] = {
        {[](Fixture f) { f.fs.failCreate("/out/clsCustomersColl.cls", kErrPathFileAccess); }, 75,
         "mfCreateCollClassFile", RunOutcome::Status::Completed,
         [](Fixture f, const RunOutcome& outcome) {  // in the report, not in the project
             const std::string project = readable(f.fs.readAll("/out/Orders.vbp"));
             EXPECT_EQ(project.find("clsCustomers;"), std::string::npos);
             EXPECT_NE(project.find("Class=clsOrderDetails; /out/clsOrderDetails.cls"), std::string::npos);
             EXPECT_NE(outcome.reportText.find("clsCustomers.cls\r\nclsCustomersColl.cls\r\n"), std::string::npos);
         }},
        {[](Fixture f) { f.fs.failWrite("/out/clsCustomers.cls", 100, kErrDiskFull); }, 61, "msGenObjectFile",
         RunOutcome::Status::Completed,
         [](Fixture f, const RunOutcome&) { EXPECT_EQ(f.fs.readAll("/out/clsCustomers.cls").size(), 100u); }},
        {[](Fixture f) { f.settings.msStoreDir = "/missing", f.settings.msProjectFile = "/missing/Orders.vbp"; }, 76,
         "cmdFinish_Click", RunOutcome::Status::Failed, [](Fixture, const RunOutcome&) {}},
        {[](Fixture f) {
             f.settings.mbStdExe = false, f.settings.mbExistingProject = true;
             f.settings.msProjectFile = f.settings.project.txtExistProject = "/proj/P.vbp";
             f.fs.put("/proj/P.vbp", "Type=Exe\r\n");
             f.fs.failRename("/proj/P.vbp", kErrPathFileAccess);
         },
         75, "cmdFinish_Click", RunOutcome::Status::Failed,
         [](Fixture f, const RunOutcome&) {  // the original is kept
             EXPECT_EQ(f.fs.readAll("/proj/P.vbp"), "Type=Exe\r\n");
             EXPECT_FALSE(f.fs.exists("/proj/.P.vbp.rwnew"));
         }},
    };
    for (const auto& c : cases) {
        GenFixture f;
        f.grid = fx.grid;
        c.adjust(f);
        const RunOutcome outcome = runIn(f);
        EXPECT_EQ(outcome.status, c.status) << c.source;
        const std::string source = std::string("RwtAddIn (frmFields.") + c.source + ")";
        EXPECT_EQ(f.messageTexts(), std::vector<std::string>{errorText(c.number, source)});
        EXPECT_EQ(f.ui.messages.back().style, 48);
        EXPECT_EQ(f.ui.busyDepth, 0);
        // The next table is still generated.
        EXPECT_TRUE(c.status == RunOutcome::Status::Failed || f.fs.exists("/out/clsOrderDetailsColl.cls"));
        c.check(f, outcome);
    }
}

// The report is named after the project file with its last extension
// replaced, and lists neither the project file nor the support modules it has.
TEST_F(RunTest, ExistingProjectFlagsShapeTheReportAndTheFileName) {
    const struct {
        const char *project, *listing, *reportFileName;
    } cases[] = {{"/proj/My.vbp.vbp", "Type=OleDll\r\nModule=modRowwrightErrHndlr; x.bas\r\nClass=clsRwtConn; y.cls\r\n",
                  "/out/My.txt.txt"},
                 {"Plain.vbp", "Type=Exe\r\n", "/out/Plain.txt"}};
    for (const auto& c : cases) {
        GenFixture f;
        f.grid = fx.grid;
        f.settings.mbStdExe = false;
        f.settings.mbExistingProject = true;
        f.settings.msProjectFile = f.settings.project.txtExistProject = c.project;
        f.fs.put(c.project, c.listing);
        const RunOutcome outcome = runIn(f);
        ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
        EXPECT_EQ(outcome.reportFileName, c.reportFileName);
        const std::string& report = outcome.reportText;
        EXPECT_NE(report.find("Added files to '" + std::string(c.project) + "' as per request.\r\n"), std::string::npos);
        EXPECT_EQ(report.find(std::string(c.project) + "\r\n\r\n"), std::string::npos);  // no project file in the list
        EXPECT_EQ(report.find("modRowwrightErrHndlr.bas") == std::string::npos, c.project[0] == '/');
        // Support files are still written into the store; the project type word reaches the frame.
        EXPECT_EQ(f.fs.readAll("/out/clsCustomers.cls").find("Attribute VB_Exposed = True") != std::string::npos,
                  c.project[0] == '/');
    }
}

// The connection class calls RaiseError, so the module comes whatever the
// option; the option decides only the table classes' handlers.
TEST_F(RunTest, WithoutTheErrorHandlerOptionTheModuleIsStillWritten) {
    fx.settings.mbErrorHandler = false;
    run();
    EXPECT_TRUE(fx.fs.exists("/out/modRowwrightErrHndlr.bas"));
    EXPECT_EQ(fx.fs.readAll("/out/clsCustomers.cls").find("On Error GoTo"), std::string::npos);
    EXPECT_NE(readable(fx.fs.readAll("/out/Orders.vbp")).find("Library\nModule=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\n"),
              std::string::npos);
}

TEST_F(RunTest, NoRowsStillWritesTheSupportFiles) {
    fx.grid = FieldGrid();
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_TRUE(fx.fs.exists("/out/clsRwtConn.cls"));
    EXPECT_NE(outcome.reportText.find("/out/Orders.vbp\r\n\r\n\r\nmodRowwrightErrHndlr.bas"), std::string::npos);
}

TEST(Report, SavedFileEndsWithOneLineEnd) {
    MemoryFileSystem fs;
    fs.createDirectories("/r");
    saveReport(fs, "/r/x.txt", "a \u00a9\r\n<End of Report>");
    EXPECT_EQ(fs.readAll("/r/x.txt"), "a \xA9\r\n<End of Report>\r\n");
}

// Each welcome option alone turns on its own report line, and each project
// kind names itself, from the page values through the settings.
TEST(Report, OptionsAndProjectKindFromThePageValues) {
    std::string reports;
    for (int on = 0; on < 5; ++on) {
        const WelcomeOptions o{.chkModuleHead = on == 0, .chkFunctionHead = on == 1, .chkDevNotes = on == 2,
                               .chkEH = on == 3, .chkCode = on == 4};
        ProjectPageValues p;
        p.optNew = true;
        p.optProjectStdExe = on == 0;
        p.optProjectActiveXExe = on == 1;
        p.optProjectActiveXDLL = on >= 2;
        p.msStoreDir = "/s";
        p.txtProjName = "P";
        GenerationSettings s;
        fillSettings(s, o, p, {});
        reports += buildReportText(s, {}) + "\r\n";
    }
    test::expectGolden("report_each_option.txt", reports);
}

TEST(Report, LoadedProjectHasNoStoreAndNoProjectFileLine) {
    GenerationSettings s;
    s.mbLoadedProject = true;
    s.mbErrorHandler = true;
    ReportFacts facts;
    facts.dateText = "12/5/2026";
    facts.loadedProjectName = "Billing";
    facts.classBaseNames = {"Orders"};
    facts.hasErrorHandlerModule = true;
    test::expectGolden("report_loaded_project.txt", buildReportText(s, facts));
}

TEST_F(RunTest, StopSignalEndsTheRunAtTheNextSafePointKeepingOnlyCompleteFiles) {
    const struct {
        const char* trigger;  // the file whose creation raises the flag; "": up before the run
        std::vector<std::string> kept;
    } cases[] = {
        {"", {}},
        {"/out/clsCustomers.cls", {}},  // the table in progress loses both its files
        {"/out/clsOrderDetailsColl.cls", {"/out/clsCustomers.cls", "/out/clsCustomersColl.cls"}},
        {"/out/modRowwrightErrHndlr.bas",
         {"/out/clsCustomers.cls", "/out/clsCustomersColl.cls", "/out/clsOrderDetails.cls",
          "/out/clsOrderDetailsColl.cls", "/out/clsRwtConn.cls", "/out/modRowwrightErrHndlr.bas"}},
    };
    for (const auto& c : cases) {
        GenFixture f;
        f.grid = fx.grid;
        f.fs.put("/out/Orders.vbp", "an earlier run's");
        test::StopWhenCreated fs(f.fs, c.trigger);
        if (*c.trigger == '\0') fs.stop = 2;
        EXPECT_EQ(runIn(f, &fs).status, RunOutcome::Status::Stopped) << c.trigger;
        std::map<std::string, std::string> expected = {{"/out/Orders.vbp", "an earlier run's"}};
        for (const std::string& path : c.kept) expected[path] = f.fs.readAll(path);
        EXPECT_EQ(f.fs.files(), expected) << c.trigger;
        for (const std::string& path : c.kept) EXPECT_TRUE(f.fs.readAll(path).ends_with("End Sub\r\n") ||
                                                           f.fs.readAll(path).ends_with("End Function\r\n")) << path;
        // No error: at most the question about the earlier project file.
        for (const auto& m : f.ui.messages) EXPECT_EQ(m.style, kStyleCriticalYesNo) << c.trigger << m.text;
        EXPECT_EQ(f.ui.busyDepth, 0);
    }
}

TEST_F(RunTest, FolderHeldByAnotherRunEndsTheRunBeforeAnythingElse) {
    const std::string busy = errorMessageText(70, "RwtAddIn (frmFields.cmdFinish_Click)",
                                              "Permission denied: another Rowwright run is using the folder ");
    const struct {
        const char* project;  // "": a new project in /out
        const char* held;     // "": none
        const char* message;  // "": the run completes
    } cases[] = {
        {"", "/out", "\"/out\""},
        {"", "/out/", "\"/out\""},
        {"/proj/P.vbp", "/proj", "\"/proj\""},
        {"/proj/P.vbp", "/out", "\"/out\""},
        {"/out/P.vbp", "", ""},   // the store is the project's folder: locked once
        {"", "/elsewhere", ""},
    };
    for (const auto& c : cases) {
        GenFixture f;
        f.grid = fx.grid;
        f.fs.createDirectories("/elsewhere");
        f.fs.put("/out/clsCustomers.cls", "earlier");
        if (*c.project != '\0') {
            f.settings.mbExistingProject = true;
            f.settings.msProjectFile = c.project;
            f.fs.put(c.project, "Type=Exe\r\n");
        }
        const auto before = f.fs.files();
        const auto held = f.fs.lockFolders({c.held});
        f.ui.answers = {kAnswerYes};
        const RunOutcome outcome = runIn(f);
        if (*c.message == '\0') {
            EXPECT_EQ(outcome.status, RunOutcome::Status::Completed) << c.held;
            continue;
        }
        EXPECT_EQ(outcome.status, RunOutcome::Status::Failed) << c.held;
        EXPECT_EQ(f.fs.files(), before) << c.held;
        EXPECT_EQ(f.messageTexts(), std::vector<std::string>{busy + c.message}) << c.held;
        EXPECT_EQ(f.ui.busyDepth, 0);
    }
    // The run lets go of its folders when it ends.
    ASSERT_EQ(run().status, RunOutcome::Status::Completed);
    EXPECT_NO_THROW(fx.fs.lockFolders({"/out"}));
}

TEST_F(RunTest, MissingDbmsNameStopsEachReaderAndTheRunGoesOn) {
    fx.conn = OfflineConnection(std::nullopt, std::string("Orders"));
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true), row("Orders", "Shipped", 11),
                         row("Orders", "Placed", 135)});
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    std::vector<std::string> sources;
    for (const auto& m : fx.ui.messages) {
        const auto from = m.text.find("(frmFields.");
        sources.push_back(m.text.substr(from + 11, m.text.find(')', from) - from - 11));
    }
    // Remove's sample filter is built from the key alone, a number here, so it never asks.
    EXPECT_EQ(sources, (std::vector<std::string>{"msGenCollAddProc", "msGenCollRefreshProc",
                                                 "msGenObjectUpdateMethod", "msCreateConnObjFile"}));
    // Add stops at the If line of the first Boolean value; Refresh and Remove
    // still follow. Update stops at its SET.
    test::expectGolden("run_missing_dbms_coll.txt", fx.fs.readAll("/out/clsOrdersColl.cls"));
    test::expectGolden("run_missing_dbms_object.txt", fx.fs.readAll("/out/clsOrders.cls"));
    EXPECT_TRUE(fx.fs.exists("/out/modRowwrightErrHndlr.bas"));
}

}  // namespace
}  // namespace rw
