#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

#include "run/run.h"
#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"
#include "support/memory_temp_folders.h"

namespace rw {
namespace {

using test::GenFixture;
using test::row;
using test::SampleProject;
using test::writeBytes;
using test::writeClassFile;

const char* const kQuestion =
    "You have unsaved changes in %s.  Do you want to save your changes prior to generating the new file?";

std::string question(const std::string& name) {
    std::string text = kQuestion;
    return text.replace(text.find("%s"), 2, name);
}

std::vector<std::string> names(ide::Project& p) {
    std::vector<std::string> out;
    for (const auto& c : p.vbComponents()) out.push_back(c->name());
    return out;
}

std::string allCode(ide::Component& c) {
    const ide::CodeModule& code = c.codeModule();
    return code.countOfLines() == 0 ? std::string() : code.lines(1, code.countOfLines());
}

// A loaded project, its run and the temporary folder it stages in.
struct LoadedRun {
    GenFixture fx;
    MemoryTempFolders temp{fx.fs, "/tmp"};
    ide::Environment ide{fx.fs};
    ide::Project* project = nullptr;

    LoadedRun() {
        GenerationSettings s;
        s.mbErrorHandler = s.mbCode = s.mbModuleHeaders = s.mbFunctionHeaders = s.mbDevNotes = true;
        s.mbLoadedProject = true;
        s.project.optLoaded = true;
        fx.settings = s;
        fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130),
                             row("Orders", "OrderID", 3, true, true), row("Orders", "Total", 6)});
        // Other users' and other runs' files in the temporary folder.
        fx.fs.put("/tmp/other.rwg", "not ours");
        fx.fs.put("/tmp/rowwright-old/clsOrders.rwg", "an older run's");
    }

    ide::Project& load(const std::string& extraListing = {}) {
        project = &ide.loadProject(test::writeSampleProject(fx.fs, "/proj", SampleProject{extraListing}));
        return *project;
    }

    RunOutcome run() {
        RunEnvironment env{fx.fs, fx.ui, fx.clock, fx.conn, project, &temp};
        return runGeneration(fx.settings, fx.grid, env);
    }

    // Every run made exactly one staging folder and removed it with all its files.
    void expectStagingGone(std::size_t runs = 1) {
        ASSERT_EQ(temp.made.size(), runs);
        EXPECT_EQ(temp.removed, temp.made);
        for (const auto& [path, bytes] : fx.fs.files()) {
            for (const std::string& folder : temp.made) EXPECT_NE(path.rfind(folder + "/", 0), 0u) << path;
        }
        EXPECT_EQ(fx.fs.readAll("/tmp/other.rwg"), "not ours");
        EXPECT_EQ(fx.fs.readAll("/tmp/rowwright-old/clsOrders.rwg"), "an older run's");
    }

    // Marks a component as changed by the user.
    void editByUser(const std::string& name) {
        writeBytes(fx.fs, "/edits/edit.txt", "' my edit\r\n");
        project->vbComponents().find(name)->codeModule().addFromFile("/edits/edit.txt");
    }
};

struct LoadedRunTest : LoadedRun, ::testing::Test {};

TEST_F(LoadedRunTest, ProjectWithoutGeneratedComponentsGetsEveryClassAndSupportModule) {
    ide::Project& p = load();
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(fx.ui.busyDepth, 0);
    EXPECT_EQ(names(p), (std::vector<std::string>{"frmMain", "modMain", "clsCustomers", "clsCustomersColl",
                                                  "clsOrders", "clsOrdersColl", "modRowwrightErrHndlr",
                                                  "clsRwtConn"}));
    EXPECT_EQ(p.vbComponents().find("modRowwrightErrHndlr")->type(), ide::kStdModule);
    // The staged text went in whole: module header first, the 500 empty lines last.
    ide::Component& customers = *p.vbComponents().find("clsCustomers");
    EXPECT_EQ(customers.codeModule().lines(1, 1), "' Module Name: clsCustomers.cls");
    std::string emptyLines;
    for (int i = 0; i < 499; ++i) emptyLines += "\r\n";
    EXPECT_EQ(customers.codeModule().lines(customers.codeModule().countOfLines() - 499, 500), emptyLines);
    expectStagingGone();

    EXPECT_EQ(outcome.reportFolder, "");
    EXPECT_EQ(outcome.reportFileName, "Billing.txt");
    test::expectGolden("loaded_run_report.txt", outcome.reportText);

    // Saved with a header VB6 reads, the code as generated, member attributes in place.
    p.save();
    const std::string vbp = fx.fs.readAll("/proj/Billing.vbp");
    test::expectGolden("loaded_project_billing.txt", vbp);
    test::expectGolden("loaded_project_customers_coll.txt", fx.fs.readAll("/proj/clsCustomersColl.cls"));
    EXPECT_EQ(fx.fs.readAll("/proj/modRowwrightErrHndlr.bas").rfind(
                  "Attribute VB_Name = \"modRowwrightErrHndlr\"\r\n' Module Name: modRowwrightErrHndlr.bas\r\n", 0),
              0u);

    // A second run replaces the code in place: nothing is asked, the ADO
    // reference stays single, and the support modules are found.
    const RunOutcome second = run();
    ASSERT_EQ(second.status, RunOutcome::Status::Completed);
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(p.vbComponents().count(), 8);
    EXPECT_NE(second.reportText.find("clsOrdersColl.cls\r\n\r\n<End of Report>"), std::string::npos);
    p.save();
    EXPECT_EQ(fx.fs.readAll("/proj/Billing.vbp"), vbp);
    expectStagingGone(2);
}

TEST_F(LoadedRunTest, SavedComponentsAreReplacedInPlaceAndSupportModulesLeftAlone) {
    writeClassFile(fx.fs, "/proj/Classes/clsOrders.cls", "clsOrders", "Option Explicit\r\nPublic Old As Long\r\n");
    const std::string handler =
        "Attribute VB_Name = \"modRowwrightErrHndlr\"\r\nPublic Sub RaiseError()\r\n    ' mine\r\nEnd Sub\r\n";
    writeBytes(fx.fs, "/proj/modRowwrightErrHndlr.bas", handler);
    ide::Project& p = load("Class=clsOrders; Classes\\clsOrders.cls\r\n"
                           "Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\r\n");
    ide::Component* orders = p.vbComponents().find("clsOrders");
    ide::Component* eh = p.vbComponents().find("modRowwrightErrHndlr");
    const std::string ehCode = allCode(*eh);

    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(p.vbComponents().find("clsOrders"), orders);
    EXPECT_EQ(orders->fileName(), "/proj/Classes/clsOrders.cls");
    EXPECT_FALSE(eh->isDirty());
    EXPECT_EQ(allCode(*eh), ehCode);
    EXPECT_EQ(outcome.reportText.find("modRowwrightErrHndlr.bas"), std::string::npos);
    EXPECT_NE(outcome.reportText.find("clsOrdersColl.cls\r\n\r\nclsRwtConn.cls\r\n\r\n<End of Report>"),
              std::string::npos);

    p.save();
    test::expectGolden("loaded_project_orders_replaced.txt", fx.fs.readAll("/proj/Classes/clsOrders.cls"));
    EXPECT_EQ(fx.fs.readAll("/proj/modRowwrightErrHndlr.bas"), handler);
    // Each listed once, where it was.
    test::expectGolden("loaded_project_billing_replaced.txt", fx.fs.readAll("/proj/Billing.vbp"));
}

// Unsaved changes: Yes saves them beside the project first, No discards
// them, any other answer stops the run at once keeping what was imported.
TEST_F(LoadedRunTest, UnsavedChangesAreSavedDiscardedOrKeptByTheAnswer) {
    writeClassFile(fx.fs, "/proj/Classes/clsOrders.cls", "clsOrders", "Public Old As Long\r\n");
    const std::string original = fx.fs.readAll("/proj/Classes/clsOrders.cls");
    const struct {
        int answer;
        RunOutcome::Status status;
        const char* fileName;  // the component's after the run
    } cases[] = {{kAnswerYes, RunOutcome::Status::Completed, "/proj/clsOrders.cls"},
                 {kAnswerNo, RunOutcome::Status::Completed, "/proj/Classes/clsOrders.cls"},
                 {kAnswerCancel, RunOutcome::Status::Cancelled, "/proj/Classes/clsOrders.cls"},
                 {kAnswerOk, RunOutcome::Status::Cancelled, "/proj/Classes/clsOrders.cls"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        fx.fs.remove("/proj/clsOrders.cls");
        fx.ui.messages.clear();
        ide::Environment fresh(fx.fs);
        project = &fresh.loadProject(
            test::writeSampleProject(fx.fs, "/proj", SampleProject{"Class=clsOrders; Classes\\clsOrders.cls\r\n"}));
        editByUser("clsOrders");
        fx.ui.answers = {c.answer};
        const auto before = fx.fs.files();

        const RunOutcome outcome = run();
        ASSERT_EQ(outcome.status, c.status);
        EXPECT_EQ(fx.messageTexts(), std::vector<std::string>{question("clsOrders")});
        EXPECT_EQ(fx.ui.messages[0].style, 19);
        EXPECT_EQ(fx.ui.messages[0].title, "Rowwright");
        EXPECT_EQ(fx.ui.busyDepth, 0);
        ide::Component& orders = *project->vbComponents().find("clsOrders");
        EXPECT_EQ(orders.fileName(), c.fileName);
        EXPECT_TRUE(orders.isDirty());
        EXPECT_EQ(fx.fs.readAll("/proj/Classes/clsOrders.cls"), original);
        EXPECT_TRUE(project->references().contains("{00000200-0000-0010-8000-00AA006D2EA4}"));
        EXPECT_EQ(fx.fs.exists("/proj/clsOrders.cls"), c.answer == kAnswerYes);
        if (c.answer == kAnswerYes) {
            EXPECT_NE(fx.fs.readAll("/proj/clsOrders.cls").find("Public Old As Long\r\n' my edit\r\n"), std::string::npos);
        }
        if (c.status == RunOutcome::Status::Completed) {
            EXPECT_NE(allCode(orders).find("Public mbLoading As Boolean"), std::string::npos);
            continue;
        }
        EXPECT_TRUE(outcome.reportText.empty());
        EXPECT_EQ(names(*project), (std::vector<std::string>{"frmMain", "modMain", "clsOrders", "clsCustomers",
                                                             "clsCustomersColl"}));
        EXPECT_EQ(allCode(orders), "Public Old As Long\r\n' my edit");
        EXPECT_EQ(fx.fs.files(), before);  // nothing saved, staged files gone
    }
    expectStagingGone(4);
}

// What was done before an error stays (the added class still under its
// default name); without a staging folder or a project nothing changes.
TEST_F(LoadedRunTest, AnErrorEndsTheRunAndStillRemovesTheStagingFolder) {
    const struct {
        void (*adjust)(LoadedRun&);
        long number;
        const char *source, *description;
        std::vector<std::string> names;
    } cases[] = {
        {[](LoadedRun& t) { t.fx.grid = FieldGrid({row("Customers", "ID", 130, true), row("Order-Items", "ID", 3)}); },
         380, "RwtIde (frmFields.cmdFinish_Click)", "Invalid property value",
         {"frmMain", "modMain", "clsCustomers", "clsCustomersColl", "Class1"}},
        {[](LoadedRun& t) { t.temp.failWith = kErrPermissionDenied; }, 70, "RwtAddIn (frmFields.cmdFinish_Click)",
         "Permission denied", {"frmMain", "modMain"}},
        {[](LoadedRun& t) { t.project = nullptr; }, 91, "RwtAddIn (frmFields.cmdFinish_Click)",
         "Object variable or With block variable not set", {"frmMain", "modMain"}},
    };
    for (const auto& c : cases) {
        LoadedRun t;
        ide::Project& p = t.load();
        c.adjust(t);
        EXPECT_EQ(t.run().status, RunOutcome::Status::Failed);
        EXPECT_EQ(t.fx.messageTexts(), std::vector<std::string>{errorMessageText(c.number, c.source, c.description)});
        EXPECT_EQ(names(p), c.names);
        EXPECT_EQ(p.isDirty(), c.number == 380);
        EXPECT_EQ(t.fx.ui.busyDepth, 0);
        t.expectStagingGone(c.number == 70 ? 0 : 1);
    }
}

TEST_F(LoadedRunTest, WithoutTheErrorHandlerOptionTheSupportModuleIsStillAdded) {
    ide::Project& p = load();
    fx.settings.mbErrorHandler = false;
    ASSERT_EQ(run().status, RunOutcome::Status::Completed);
    EXPECT_NE(p.vbComponents().find("modRowwrightErrHndlr"), nullptr);
    expectStagingGone();
}

// ---- real files -----------------------------------------------------------

std::map<std::string, std::string> snapshot(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    PosixFileSystem fs;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files[entry.path().string()] = fs.readAll(entry.path().string());
    }
    return files;
}

struct RealFilesTest : ::testing::Test {
    PosixFileSystem fs;
    std::string root;
    RealFilesTest() { root = SystemTempFolders().makePrivateFolder(); }
    ~RealFilesTest() override { std::filesystem::remove_all(root); }
};

TEST_F(RealFilesTest, StagingFolderIsPrivate) {
#ifndef _WIN32  // POSIX-only: Windows has no mode; the folder is private as the user's temporary folder is
    struct stat st {};
    ASSERT_EQ(::stat(root.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif
    const std::string inner = SystemTempFolders(root).makePrivateFolder();
    EXPECT_EQ(inner.rfind(joinPath(root, "rowwright-"), 0), 0u);
    EXPECT_NE(inner, SystemTempFolders(root).makePrivateFolder());  // a new folder each time
}

TEST_F(RealFilesTest, UntouchedProjectRoundTripChangesNoByte) {
    writeClassFile(fs, root + "/proj/clsText.cls", "clsText", "Private Const P = \"\x80\x81\"\n");  // mixed line ends
    test::writeSampleProject(fs, root + "/proj", SampleProject{"Class=clsText; clsText.cls\r\n"});
    const auto before = snapshot(root);
    ide::Environment env(fs);
    env.loadProject(root + "/proj/Billing.vbp").save();
    EXPECT_EQ(snapshot(root), before);
}

TEST_F(RealFilesTest, LoadedRunUpdatesAProjectOnDisk) {
    const std::string vbpPath = test::writeSampleProject(fs, root + "/proj");
    writeBytes(fs, root + "/tmp/other.rwg", "not ours");
    SystemTempFolders staging(root + "/tmp");

    GenFixture fx;
    GenerationSettings s;
    s.mbErrorHandler = s.mbCode = s.mbModuleHeaders = true;
    s.mbLoadedProject = true;
    fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130)});

    ide::Environment env(fs);
    ide::Project& project = env.loadProject(vbpPath);
    RunEnvironment runEnv{fs, fx.ui, fx.clock, fx.conn, &project, &staging};
    const RunOutcome outcome = runGeneration(s, fx.grid, runEnv);
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed) << ::testing::PrintToString(fx.messageTexts());
    project.save();

    // Only the other file is left in the temporary folder.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(root + "/tmp")) left.push_back(entry.path().string());
    EXPECT_EQ(left, std::vector<std::string>{root + "/tmp/other.rwg"});

    // The staged text was on disk when it was imported.
    EXPECT_NE(fs.readAll(root + "/proj/clsCustomers.cls").find("Public mbLoading As Boolean\r\n"), std::string::npos);
    const std::string vbp = fs.readAll(vbpPath);
    EXPECT_NE(vbp.find("Module=modMain; Modules\\modMain.bas\r\nClass=clsCustomers; clsCustomers.cls\r\n"),
              std::string::npos);
    EXPECT_EQ(fs.readAll(root + "/proj/Modules/modMain.bas"), test::kSampleModuleBytes);

    // Loaded again, the project is what was saved, and saving it changes nothing.
    const auto saved = snapshot(root);
    ide::Environment again(fs);
    ide::Project& reloaded = again.loadProject(vbpPath);
    EXPECT_EQ(reloaded.vbComponents().count(), 6);
    EXPECT_TRUE(reloaded.references().contains("{00000200-0000-0010-8000-00AA006D2EA4}"));
    reloaded.save();
    EXPECT_EQ(snapshot(root), saved);
}

}  // namespace
}  // namespace rw
