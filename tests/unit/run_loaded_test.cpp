#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/stat.h>

#include "run/run.h"
#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "support/gen_fixture.h"
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

// Lines of a file as bytes, split at CR LF.
std::vector<std::string> crlfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, at - start));
        start = at + 2;
    }
    return lines;
}

struct LoadedRunTest : ::testing::Test {
    GenFixture fx;
    MemoryTempFolders temp{fx.fs, "/tmp"};
    ide::Environment ide{fx.fs};
    ide::Project* project = nullptr;

    LoadedRunTest() {
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

    // The class as new-project mode writes it, turned into what a saved
    // imported class must hold below the environment's header: no header
    // block, no "Option Explicit", no empty lines at the end.
    std::string newProjectBody(const std::string& fileName) {
        GenFixture other;
        other.grid = fx.grid;
        RunEnvironment env{other.fs, other.ui, other.clock, other.conn};
        EXPECT_EQ(runGeneration(other.settings, other.grid, env).status, RunOutcome::Status::Completed);
        std::vector<std::string> lines = crlfLines(other.fs.readAll("/out/" + fileName));
        lines.erase(lines.begin(), lines.begin() + 13);  // the class header block
        lines.erase(std::find(lines.begin(), lines.end(), "Option Explicit"));
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        std::string body;
        for (const std::string& line : lines) body += line + "\r\n";
        return body;
    }

    // Marks a component as changed by the user.
    void editByUser(const std::string& name) {
        writeBytes(fx.fs, "/edits/edit.txt", "' my edit\r\n");
        project->vbComponents().find(name)->codeModule().addFromFile("/edits/edit.txt");
    }
};

constexpr const char* kEnvClassHeader =
    "VERSION 1.0 CLASS\r\n"
    "BEGIN\r\n"
    "  MultiUse = -1  'True\r\n"
    "  Persistable = 0  'NotPersistable\r\n"
    "  DataBindingBehavior = 0  'vbNone\r\n"
    "  DataSourceBehavior  = 0  'vbNone\r\n"
    "  MTSTransactionMode  = 0  'NotAnMTSObject\r\n"
    "END\r\n";

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
    EXPECT_EQ(p.vbComponents().find("clsRwtConn")->type(), ide::kClassModule);
    // The staged text went in whole: module header first, the 500 empty lines last.
    ide::Component& customers = *p.vbComponents().find("clsCustomers");
    EXPECT_EQ(customers.codeModule().lines(1, 1), "' Module Name: clsCustomers.cls");
    std::string emptyLines;
    for (int i = 0; i < 499; ++i) emptyLines += "\r\n";
    EXPECT_EQ(customers.codeModule().lines(customers.codeModule().countOfLines() - 499, 500), emptyLines);
    expectStagingGone();

    EXPECT_EQ(outcome.reportFolder, "");
    EXPECT_EQ(outcome.reportFileName, "Billing.txt");
    EXPECT_EQ(outcome.reportText.find("Files stored in"), std::string::npos);
    EXPECT_NE(outcome.reportText.find("Project File Info:\r\nAdded files to Billing as per request.\r\n"
                                      "=================================\r\nList of files generated:\r\n\r\n"
                                      "clsCustomers.cls\r\nclsCustomersColl.cls\r\nclsOrders.cls\r\n"
                                      "clsOrdersColl.cls\r\n\r\nmodRowwrightErrHndlr.bas\r\n\r\nclsRwtConn.cls\r\n"
                                      "\r\n<End of Report>"),
              std::string::npos);

    p.save();
    const std::string vbp =
        "Type=Exe\r\n"
        "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE "
        "Automation\r\n"
        "Reference=*\\G{00000200-0000-0010-8000-00AA006D2EA4}#2.0#0#C:\\Program Files\\Common Files\\System\\ADO\\"
        "msado20.tlb#Microsoft ActiveX Data Objects 2.0 Library\r\n"
        "Form=frmMain.frm\r\n"
        "Module=modMain; Modules\\modMain.bas\r\n"
        "Class=clsCustomers; clsCustomers.cls\r\n"
        "Class=clsCustomersColl; clsCustomersColl.cls\r\n"
        "Class=clsOrders; clsOrders.cls\r\n"
        "Class=clsOrdersColl; clsOrdersColl.cls\r\n"
        "Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\r\n"
        "Class=clsRwtConn; clsRwtConn.cls\r\n"
        "Startup=\"frmMain\"\r\n"
        "Name=\"Billing\"\r\n"
        "[MS Transaction Server]\r\n"
        "AutoRefresh=1\r\n";
    EXPECT_EQ(fx.fs.readAll("/proj/Billing.vbp"), vbp);
    // Saved with a header VB6 reads, the code as generated, member attributes in place.
    EXPECT_EQ(fx.fs.readAll("/proj/clsCustomersColl.cls"),
              std::string(kEnvClassHeader) +
                  "Attribute VB_Name = \"clsCustomersColl\"\r\n"
                  "Attribute VB_GlobalNameSpace = False\r\n"
                  "Attribute VB_Creatable = True\r\n"
                  "Attribute VB_PredeclaredId = False\r\n"
                  "Attribute VB_Exposed = False\r\n" +
                  newProjectBody("clsCustomersColl.cls"));
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
    EXPECT_EQ(orders->name(), "clsOrders");
    EXPECT_EQ(orders->fileName(), "/proj/Classes/clsOrders.cls");
    EXPECT_EQ(allCode(*orders).find("Public Old As Long"), std::string::npos);
    EXPECT_NE(allCode(*orders).find("Public mbLoading As Boolean"), std::string::npos);
    EXPECT_FALSE(eh->isDirty());
    EXPECT_EQ(allCode(*eh), ehCode);
    EXPECT_EQ(outcome.reportText.find("modRowwrightErrHndlr.bas"), std::string::npos);
    EXPECT_NE(outcome.reportText.find("clsOrdersColl.cls\r\n\r\nclsRwtConn.cls\r\n\r\n<End of Report>"),
              std::string::npos);

    p.save();
    const std::string saved = fx.fs.readAll("/proj/Classes/clsOrders.cls");
    // The file keeps its own header.
    EXPECT_EQ(saved, std::string(kEnvClassHeader) +
                         "Attribute VB_Name = \"clsOrders\"\r\n"
                         "Attribute VB_GlobalNameSpace = False\r\n"
                         "Attribute VB_Creatable = True\r\n"
                         "Attribute VB_PredeclaredId = False\r\n"
                         "Attribute VB_Exposed = False\r\n" +
                         newProjectBody("clsOrders.cls"));
    EXPECT_EQ(fx.fs.readAll("/proj/modRowwrightErrHndlr.bas"), handler);
    const std::string vbp = fx.fs.readAll("/proj/Billing.vbp");
    EXPECT_EQ(vbp.find("Class=clsOrders;"), vbp.rfind("Class=clsOrders;"));  // listed once, where it was
    EXPECT_NE(vbp.find("Class=clsOrders; Classes\\clsOrders.cls\r\n"), std::string::npos);
    EXPECT_EQ(vbp.find("modRowwrightErrHndlr.bas"), vbp.rfind("modRowwrightErrHndlr.bas"));
}

TEST_F(LoadedRunTest, UnsavedChangesYesSavesBesideTheProjectFirstAndNoDiscardsThem) {
    writeClassFile(fx.fs, "/proj/Classes/clsOrders.cls", "clsOrders", "Public Old As Long\r\n");
    const std::string original = fx.fs.readAll("/proj/Classes/clsOrders.cls");

    for (const int answer : {kAnswerYes, kAnswerNo}) {
        SCOPED_TRACE(answer);
        fx.fs.remove("/proj/clsOrders.cls");
        fx.ui.messages.clear();
        ide::Environment fresh(fx.fs);
        project = &fresh.loadProject(
            test::writeSampleProject(fx.fs, "/proj", SampleProject{"Class=clsOrders; Classes\\clsOrders.cls\r\n"}));
        editByUser("clsOrders");
        fx.ui.answers = {answer};

        ASSERT_EQ(run().status, RunOutcome::Status::Completed);
        ASSERT_EQ(fx.ui.messages.size(), 1u);
        EXPECT_EQ(fx.ui.messages[0].text, question("clsOrders"));
        EXPECT_EQ(fx.ui.messages[0].style, 19);
        EXPECT_EQ(fx.ui.messages[0].title, "Rowwright");
        ide::Component& orders = *project->vbComponents().find("clsOrders");
        EXPECT_NE(allCode(orders).find("Public mbLoading As Boolean"), std::string::npos);
        EXPECT_EQ(fx.fs.readAll("/proj/Classes/clsOrders.cls"), original);
        if (answer == kAnswerYes) {
            const std::string kept = fx.fs.readAll("/proj/clsOrders.cls");
            EXPECT_NE(kept.find("Public Old As Long\r\n' my edit\r\n"), std::string::npos);
            EXPECT_EQ(orders.fileName(), "/proj/clsOrders.cls");
        } else {
            EXPECT_FALSE(fx.fs.exists("/proj/clsOrders.cls"));
            EXPECT_EQ(orders.fileName(), "/proj/Classes/clsOrders.cls");
        }
        EXPECT_TRUE(orders.isDirty());
    }
    expectStagingGone(2);
}

TEST_F(LoadedRunTest, CancelStopsAtOnceAndKeepsWhatWasImported) {
    writeClassFile(fx.fs, "/proj/Classes/clsOrdersColl.cls", "clsOrdersColl", "Public Old As Long\r\n");
    // Any answer but Yes or No keeps the user's changes, as Cancel does.
    for (const int answer : {kAnswerCancel, kAnswerOk}) {
        SCOPED_TRACE(answer);
        ide::Environment fresh(fx.fs);
        project = &fresh.loadProject(test::writeSampleProject(
            fx.fs, "/proj", SampleProject{"Class=clsOrdersColl; Classes\\clsOrdersColl.cls\r\n"}));
        editByUser("clsOrdersColl");
        fx.ui.messages.clear();
        fx.ui.answers = {answer};
        const auto filesBefore = fx.fs.files();

        const RunOutcome outcome = run();
        EXPECT_EQ(outcome.status, RunOutcome::Status::Cancelled);
        EXPECT_TRUE(outcome.reportText.empty());
        EXPECT_EQ(fx.ui.busyDepth, 0);
        ASSERT_EQ(fx.ui.messages.size(), 1u);
        EXPECT_EQ(fx.ui.messages[0].text, question("clsOrdersColl"));
        EXPECT_EQ(names(*project), (std::vector<std::string>{"frmMain", "modMain", "clsOrdersColl", "clsCustomers",
                                                             "clsCustomersColl", "clsOrders"}));
        ide::Component& coll = *project->vbComponents().find("clsOrdersColl");
        EXPECT_EQ(allCode(coll), "Public Old As Long\r\n' my edit");
        EXPECT_TRUE(coll.isDirty());
        EXPECT_TRUE(project->references().contains("{00000200-0000-0010-8000-00AA006D2EA4}"));
        EXPECT_EQ(fx.fs.files(), filesBefore);  // nothing saved, staged files gone
    }
    expectStagingGone(2);
}

TEST_F(LoadedRunTest, AnErrorEndsTheRunAndStillRemovesTheStagingFolder) {
    ide::Project& p = load();
    fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Order-Items", "ID", 3, true)});
    EXPECT_EQ(run().status, RunOutcome::Status::Failed);
    ASSERT_EQ(fx.ui.messages.size(), 1u);
    EXPECT_EQ(fx.ui.messages[0].text,
              errorMessageText(380, "RwtIde (frmFields.cmdFinish_Click)", "Invalid property value"));
    // What was done before the error stays, the added class still under its default name.
    EXPECT_EQ(names(p), (std::vector<std::string>{"frmMain", "modMain", "clsCustomers", "clsCustomersColl",
                                                  "Class1"}));
    EXPECT_EQ(fx.ui.busyDepth, 0);
    expectStagingGone();
}

TEST_F(LoadedRunTest, NoStagingFolderOrNoProjectEndsTheRunBeforeAnyChange) {
    ide::Project& p = load();
    temp.failWith = kErrPermissionDenied;
    EXPECT_EQ(run().status, RunOutcome::Status::Failed);
    EXPECT_EQ(fx.messageTexts(), (std::vector<std::string>{errorMessageText(
                                     70, "RwtAddIn (frmFields.cmdFinish_Click)", "Permission denied")}));
    EXPECT_FALSE(p.isDirty());

    fx.ui.messages.clear();
    project = nullptr;
    EXPECT_EQ(run().status, RunOutcome::Status::Failed);
    EXPECT_EQ(fx.messageTexts(),
              (std::vector<std::string>{errorMessageText(91, "RwtAddIn (frmFields.cmdFinish_Click)",
                                                         "Object variable or With block variable not set")}));
    expectStagingGone();
}

TEST_F(LoadedRunTest, WithoutTheErrorHandlerOptionBothSupportModulesAreAdded) {
    ide::Project& p = load();
    fx.settings.mbErrorHandler = false;
    const RunOutcome outcome = run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_NE(p.vbComponents().find("modRowwrightErrHndlr"), nullptr);
    EXPECT_NE(p.vbComponents().find("clsRwtConn"), nullptr);
    EXPECT_NE(outcome.reportText.find("\r\nmodRowwrightErrHndlr.bas\r\n"), std::string::npos);
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
    const std::string customers = fs.readAll(root + "/proj/clsCustomers.cls");
    EXPECT_NE(customers.find("Attribute VB_Name = \"clsCustomers\"\r\n"), std::string::npos);
    EXPECT_NE(customers.find("Public mbLoading As Boolean\r\n"), std::string::npos);
    for (const char* file : {"clsCustomersColl.cls", "modRowwrightErrHndlr.bas", "clsRwtConn.cls"})
        EXPECT_TRUE(fs.exists(root + "/proj/" + file)) << file;
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
