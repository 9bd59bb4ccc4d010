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

std::vector<std::string> names(ide::Project& p) {
    std::vector<std::string> out;
    for (const auto& c : p.vbComponents()) out.push_back(c->name());
    return out;
}

const char* const kAdo = "{00000200-0000-0010-8000-00AA006D2EA4}";

// A loaded project, its run and the temporary folder it stages in.
struct LoadedRun {
    GenFixture fx;
    MemoryTempFolders temp{fx.fs, "/tmp"};
    ide::Environment ide{fx.fs};
    ide::Project* project = nullptr;

    LoadedRun() {
        GenerationSettings s;
        s.mbErrorHandler = s.mbCode = s.mbModuleHeaders = s.mbFunctionHeaders = s.mbDevNotes = true;
        s.mbLoadedProject = s.project.optLoaded = true;
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

    // Every run made exactly one staging folder and removed it with all its
    // files, and left the others' files alone.
    void expectStagingGone(std::size_t runs = 1) {
        ASSERT_EQ(temp.made.size(), runs);
        EXPECT_EQ(temp.removed, temp.made);
        for (const auto& [path, bytes] : fx.fs.files())
            for (const std::string& folder : temp.made) EXPECT_NE(path.rfind(folder + "/", 0), 0u) << path;
        EXPECT_EQ(fx.fs.readAll("/tmp/other.rwg"), "not ours");
        EXPECT_EQ(fx.fs.readAll("/tmp/rowwright-old/clsOrders.rwg"), "an older run's");
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
    expectStagingGone();
    EXPECT_EQ(outcome.reportFolder, "");
    EXPECT_EQ(outcome.reportFileName, "Billing.txt");
    test::expectGolden("loaded_run_report.txt", outcome.reportText);

    // Saved with a header VB6 reads, the staged code whole, member attributes in place.
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

    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(p.vbComponents().find("clsOrders"), orders);
    EXPECT_FALSE(eh->isDirty());
    EXPECT_NE(outcome.reportText.find("clsOrdersColl.cls\r\n\r\nclsRwtConn.cls\r\n\r\n<End of Report>"),
              std::string::npos);  // and no support module

    p.save();
    test::expectGolden("loaded_project_orders_replaced.txt", fx.fs.readAll("/proj/Classes/clsOrders.cls"));
    EXPECT_EQ(fx.fs.readAll("/proj/modRowwrightErrHndlr.bas"), handler);
    // Each listed once, where it was.
    test::expectGolden("loaded_project_billing_replaced.txt", fx.fs.readAll("/proj/Billing.vbp"));
}

void edit(LoadedRun& t, int answer) {
    t.project->vbComponents().find("clsOrders")->codeModule().addFromFile("/edits/edit.txt");
    t.fx.ui.answers = {answer};
}

// Unsaved changes: Yes saves them beside the project first, No discards
// them, any other answer stops the run at once keeping what was imported.
// An error ends the run keeping what was done (the added class still under
// its default name); without a staging folder or a project nothing changes.
// The support modules come without the error handler option too.
TEST_F(LoadedRunTest, EachRunShowsItsOutcomeAndLeavesItsFiles) {
    using T = LoadedRun&;
    const struct {
        const char* name;
        void (*setup)(T);
    } rows[] = {
        {"unsaved changes, Yes", [](T t) { edit(t, kAnswerYes); }},
        {"unsaved changes, No", [](T t) { edit(t, kAnswerNo); }},
        {"unsaved changes, Cancel", [](T t) { edit(t, kAnswerCancel); }},
        {"unsaved changes, OK", [](T t) { edit(t, kAnswerOk); }},
        {"a class name the environment refuses",
         [](T t) { t.fx.grid = FieldGrid({row("Customers", "ID", 130, true), row("Order-Items", "ID", 3)}); }},
        {"no staging folder", [](T t) { t.temp.failWith = kErrPermissionDenied; }},
        {"no project", [](T t) { t.project = nullptr; }},
        {"no error handler option", [](T t) { t.fx.settings.mbErrorHandler = false; }},
    };
    std::string all;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        LoadedRun t;
        writeClassFile(t.fx.fs, "/proj/Classes/clsOrders.cls", "clsOrders", "Public Old As Long\r\n");
        writeBytes(t.fx.fs, "/edits/edit.txt", "' my edit\r\n");
        ide::Project& p = t.load("Class=clsOrders; Classes\\clsOrders.cls\r\n");
        r.setup(t);
        const RunOutcome outcome = t.run();
        const char* const status[] = {"Completed", "Declined", "Cancelled", "Failed", "Stopped"};
        all += "== " + std::string(r.name) + ": " + status[static_cast<int>(outcome.status)] + ", staging folders " +
               std::to_string(t.temp.made.size()) + ", report " + std::to_string(outcome.reportText.size()) +
               " bytes, project " + (p.isDirty() ? "changed" : "as loaded") + ", ADO " +
               (p.references().contains(kAdo) ? "referenced" : "not referenced") + "\n";
        for (const auto& m : t.fx.ui.messages) all += "-- message " + std::to_string(m.style) + ": " + m.text + "\n";
        for (const auto& c : p.vbComponents())
            all += "-- " + c->name() + " " + c->fileName() + (c->isDirty() ? " changed, " : ", ") +
                   std::to_string(c->codeModule().countOfLines()) + " lines\n";
        for (const auto& [path, bytes] : t.fx.fs.files()) {
            all += "-- " + path + (bytes.size() < 64 ? ": " + bytes : " " + std::to_string(bytes.size()) + " bytes");
            all += '\n';
        }
        EXPECT_EQ(t.fx.ui.busyDepth, 0);
        t.expectStagingGone(t.temp.made.size());
    }
    test::expectGolden("loaded_run_outcomes.txt", all);
}

// ---- real files -----------------------------------------------------------

std::map<std::string, std::string> snapshot(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    PosixFileSystem fs;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files[entry.path().string()] = fs.readAll(entry.path().string());
    return files;
}

struct RealFilesTest : ::testing::Test {
    PosixFileSystem fs;
    std::string root = SystemTempFolders().makePrivateFolder();
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

// A component the run does not touch keeps every byte (mixed line ends,
// bytes outside Windows-1252 too).
TEST_F(RealFilesTest, LoadedRunUpdatesAProjectOnDisk) {
    const std::string text = "Private Const P = \"\x80\x81\"\n";
    writeClassFile(fs, root + "/proj/clsText.cls", "clsText", text);
    const std::string untouched = fs.readAll(root + "/proj/clsText.cls");
    const std::string vbpPath =
        test::writeSampleProject(fs, root + "/proj", SampleProject{"Class=clsText; clsText.cls\r\n"});
    writeBytes(fs, root + "/tmp/other.rwg", "not ours");
    SystemTempFolders staging(root + "/tmp");

    GenFixture fx;
    GenerationSettings s;
    s.mbErrorHandler = s.mbCode = s.mbModuleHeaders = s.mbLoadedProject = true;
    fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130)});

    ide::Environment env(fs);
    ide::Project& project = env.loadProject(vbpPath);
    RunEnvironment runEnv{fs, fx.ui, fx.clock, fx.conn, &project, &staging};
    ASSERT_EQ(runGeneration(s, fx.grid, runEnv).status, RunOutcome::Status::Completed)
        << ::testing::PrintToString(fx.messageTexts());
    project.save();

    // Only the other file is left in the temporary folder.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(root + "/tmp")) left.push_back(entry.path().string());
    EXPECT_EQ(left, std::vector<std::string>{root + "/tmp/other.rwg"});

    // The staged text was on disk when it was imported.
    EXPECT_NE(fs.readAll(root + "/proj/clsCustomers.cls").find("Public mbLoading As Boolean\r\n"), std::string::npos);
    EXPECT_NE(fs.readAll(vbpPath).find("Class=clsText; clsText.cls\r\nClass=clsCustomers; clsCustomers.cls\r\n"),
              std::string::npos);
    EXPECT_EQ(fs.readAll(root + "/proj/Modules/modMain.bas"), test::kSampleModuleBytes);
    EXPECT_EQ(fs.readAll(root + "/proj/clsText.cls"), untouched);

    // Loaded again, the project is what was saved, and saving it changes nothing.
    const auto saved = snapshot(root);
    ide::Environment again(fs);
    ide::Project& reloaded = again.loadProject(vbpPath);
    EXPECT_EQ(reloaded.vbComponents().count(), 7);
    EXPECT_TRUE(reloaded.references().contains(kAdo));
    reloaded.save();
    EXPECT_EQ(snapshot(root), saved);
}

}  // namespace
}  // namespace rw
