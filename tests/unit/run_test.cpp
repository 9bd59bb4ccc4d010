#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/ide/environment.h"
#include "platform/temp_folders.h"
#include "run/report.h"
#include "run/run.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/memory_temp_folders.h"
#include "support/sample_vb_project.h"

namespace rw {
namespace {

using test::GenFixture;
using test::row;
using test::SampleProject;
using test::writeBytes;
using test::writeClassFile;

// Runs through `stopping` (which passes calls on to `f.fs`) when given.
RunOutcome runIn(GenFixture& f, test::StopWhenCreated* stopping = nullptr) {
    RunEnvironment env{stopping ? static_cast<FileSystem&>(*stopping) : f.fs, f.ui, f.clock, f.conn};
    if (stopping) env.stopSignal = &stopping->stop;
    return runGeneration(f.settings, f.grid, env);
}

FieldGrid twoTables() {
    return FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130),
                      row("Order Details", "OrderID", 3, true), row("Order Details", "Qty", 2)});
}

// What a run did: its outcome, the messages shown (then forgotten), `more`,
// every file (project files and files under `whole` bytes whole, any other
// by its size) and the report.
std::string dump(GenFixture& f, const RunOutcome& o, const std::string& more = "", std::size_t whole = 0) {
    const char* const status[] = {"Completed", "Declined", "Cancelled", "Failed", "Stopped"};
    std::string text = std::string(status[static_cast<int>(o.status)]) + ", report to \"" + o.reportFolder + "\" as " +
                       o.reportFileName + "\n";
    for (const auto& m : f.ui.messages)
        text += "-- message " + std::to_string(m.style) + " " + m.title + ":\n" + m.text + "\n";
    f.ui.messages.clear();
    text += more;
    for (const auto& [path, bytes] : f.fs.files())
        text += path.ends_with(".vbp") || bytes.size() < whole ? "-- " + path + ":\n" + test::readable(bytes) + "\n"
                                                               : "-- " + path + " " + std::to_string(bytes.size()) + " bytes\n";
    return text + "-- report:\n" + test::readable(o.reportText) + "\n";
}

void existing(GenFixture& f, const std::string& project, const std::string& listing) {
    f.settings.mbStdExe = false, f.settings.mbExistingProject = true;
    f.settings.msProjectFile = f.settings.project.txtExistProject = project;
    f.fs.put(project, listing);
}

void earlierClasses(GenFixture& f, int answer) {
    f.fs.put("/out/clsCustomers.cls", "old"), f.fs.put("/out/clsOrderDetails.cls", "old"), f.ui.answers = {answer};
}

void heldProject(GenFixture& f, const std::string& project) {
    earlierClasses(f, kAnswerYes), existing(f, project, "Type=Exe\r\n");
}

// The overwrite question (asked once, No writes nothing), file errors shown
// by their writer (a table skipped, or the run ended), an existing project's
// flags shaping the report, a stop signal keeping only complete files, and a
// folder another run holds ending the run before anything else.
TEST(RunTest, EachRunShowsItsOutcomeAndLeavesItsFiles) {
    using F = GenFixture&;
    const struct {
        const char* name;
        void (*setup)(F);
        const char* trigger = nullptr;  // raises the stop signal when made; "": raised before the run
        const char* held = "";          // a folder another run holds
    } rows[] = {
        {"new project", [](F) {}},
        {"earlier classes, No", [](F f) { earlierClasses(f, kAnswerNo); }},
        {"earlier classes, Yes", [](F f) { earlierClasses(f, kAnswerYes); }},
        {"earlier project file, No", [](F f) { f.fs.put("/out/Orders.vbp", "old"), f.ui.answers = {kAnswerNo}; }},
        {"an earlier collection file alone asks nothing",
         [](F f) { f.fs.put("/out/clsCustomersColl.cls", "old"), f.ui.answers = {kAnswerNo}; }},
        {"collection file cannot be made",
         [](F f) { f.fs.failCreate("/out/clsCustomersColl.cls", kErrPathFileAccess); }},
        {"disk full", [](F f) { f.fs.failWrite("/out/clsCustomers.cls", 100, kErrDiskFull); }},
        {"store missing",
         [](F f) { f.settings.msStoreDir = "/missing", f.settings.msProjectFile = "/missing/Orders.vbp"; }},
        {"project rewrite fails",
         [](F f) { existing(f, "/proj/P.vbp", "Type=Exe\r\n"), f.fs.failRename("/proj/P.vbp", kErrPathFileAccess); }},
        // The report is named after the project file with its last extension
        // replaced, and lists neither the project file nor the support modules it has.
        {"existing project with the support files",
         [](F f) {
             existing(f, "/proj/My.vbp.vbp",
                      "Type=OleDll\r\nModule=modRowwrightErrHndlr; x.bas\r\nClass=clsRwtConn; y.cls\r\n");
         }},
        {"existing project named relatively", [](F f) { existing(f, "Plain.vbp", "Type=Exe\r\n"); }},
        // The connection class calls RaiseError: the module comes whatever the option.
        {"no error handler option", [](F f) { f.settings.mbErrorHandler = false; }},
        {"no rows", [](F f) { f.grid = FieldGrid(); }},
        {"stopped before the run", [](F f) { f.fs.put("/out/Orders.vbp", "an earlier run's"); }, ""},
        {"stopped in the first table", [](F f) { f.fs.put("/out/Orders.vbp", "an earlier run's"); },
         "/out/clsCustomers.cls"},
        {"stopped in the second table", [](F f) { f.fs.put("/out/Orders.vbp", "an earlier run's"); },
         "/out/clsOrderDetailsColl.cls"},
        {"stopped in the support files", [](F f) { f.fs.put("/out/Orders.vbp", "an earlier run's"); },
         "/out/modRowwrightErrHndlr.bas"},
        // Held folders are tried before the overwrite question.
        {"store held", [](F f) { earlierClasses(f, kAnswerYes); }, nullptr, "/out"},
        {"store held, named with a slash", [](F f) { earlierClasses(f, kAnswerYes); }, nullptr, "/out/"},
        {"project folder held", [](F f) { heldProject(f, "/proj/P.vbp"); }, nullptr, "/proj"},
        {"store of an existing project held", [](F f) { heldProject(f, "/proj/P.vbp"); }, nullptr, "/out"},
        {"another folder held", [](F f) { earlierClasses(f, kAnswerYes), f.fs.createDirectories("/elsewhere"); },
         nullptr, "/elsewhere"},
        // The store is the project's folder: locked once.
        {"project in the store", [](F f) { heldProject(f, "/out/P.vbp"); }},
    };
    std::string all;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        GenFixture f;
        f.grid = twoTables();
        r.setup(f);
        test::StopWhenCreated stopping(f.fs, r.trigger ? r.trigger : "");
        if (r.trigger && *r.trigger == '\0') stopping.stop = 2;
        const auto held = *r.held != '\0' ? f.fs.lockFolders({r.held}) : nullptr;
        const RunOutcome outcome = runIn(f, r.trigger ? &stopping : nullptr);
        all += "== " + std::string(r.name) + ": " + dump(f, outcome);
        EXPECT_EQ(f.ui.busyDepth, 0);
    }
    test::expectGolden("run_outcomes.txt", all);
    // The run lets go of its folders when it ends.
    GenFixture f;
    ASSERT_EQ(runIn(f).status, RunOutcome::Status::Completed);
    EXPECT_NO_THROW(f.fs.lockFolders({"/out"}));
}

// On Windows the project file and the report name every file as Windows
// writes a path: the store folder as given, "\" and the name.
TEST(RunTest, WindowsPathFormsInTheProjectFileAndTheReport) {
#ifndef _WIN32
    GTEST_SKIP() << "Windows-only: POSIX joins with \"/\" (the test above)";
#endif
    GenFixture fx;
    fx.grid = twoTables();
    fx.settings.msStoreDir = "C:\\Out", fx.settings.msProjectFile = "C:\\Out\\Orders.vbp";
    fx.fs.createDirectories("C:/Out");
    const RunOutcome outcome = runIn(fx);
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_EQ(outcome.reportFileName, "C:\\Out\\Orders.txt");
    test::expectGolden("report_new_project_windows.txt", outcome.reportText);
    test::expectGolden("project_new_windows.txt", fx.fs.readAll("C:\\Out\\Orders.vbp"));
}

// Each welcome option alone turns on its own report line, and each project
// kind names itself, from the page values through the settings.
TEST(Report, OptionsAndProjectKindFromThePageValues) {
    std::string reports;
    for (int on = 0; on < 5; ++on) {
        const WelcomeOptions o{.chkModuleHead = on == 0, .chkFunctionHead = on == 1, .chkDevNotes = on == 2,
                               .chkEH = on == 3, .chkCode = on == 4};
        const ProjectPageValues p{.optNew = true, .optProjectStdExe = on == 0, .optProjectActiveXExe = on == 1,
                                  .optProjectActiveXDLL = on >= 2, .txtProjName = "P", .msStoreDir = "/s"};
        GenerationSettings s;
        fillSettings(s, o, p, {});
        reports += buildReportText(s, {}) + "\r\n";
    }
    test::expectGolden("report_each_option.txt", reports);
}

// Each reader that needs the DBMS name stops and the run goes on: Add stops
// at the If line of the first Boolean value, Refresh and Remove still follow
// (Remove's filter is built from a numeric key alone), Update stops at its SET.
TEST(RunTest, MissingDbmsNameStopsEachReaderAndTheRunGoesOn) {
    GenFixture fx;
    fx.conn = OfflineConnection(std::nullopt, std::string("Orders"));
    fx.grid = FieldGrid({row("Orders", "OrderID", 3, true, true), row("Orders", "Shipped", 11),
                         row("Orders", "Placed", 135)});
    const RunOutcome outcome = runIn(fx);
    test::expectGolden("run_missing_dbms.txt", dump(fx, outcome));
    test::expectGolden("run_missing_dbms_coll.txt", fx.fs.readAll("/out/clsOrdersColl.cls"));
    test::expectGolden("run_missing_dbms_object.txt", fx.fs.readAll("/out/clsOrders.cls"));
}

// ---- a loaded project ---------------------------------------------------

const char* const kAdo = "{00000200-0000-0010-8000-00AA006D2EA4}";

// A loaded project's run, the temporary folder it stages in, and other
// users' and other runs' files there.
struct LoadedRun {
    GenFixture fx;
    MemoryTempFolders temp{fx.fs, "/tmp"};
    ide::Project* project = nullptr;

    LoadedRun() {
        fx.settings = {};
        fx.settings.mbErrorHandler = fx.settings.mbCode = fx.settings.mbModuleHeaders = fx.settings.mbFunctionHeaders =
            fx.settings.mbDevNotes = fx.settings.mbLoadedProject = fx.settings.project.optLoaded = true;
        fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130),
                             row("Orders", "OrderID", 3, true, true), row("Orders", "Total", 6)});
        fx.fs.put("/tmp/other.rwg", "not ours"), fx.fs.put("/tmp/rowwright-old/clsOrders.rwg", "an older run's");
    }
};

void edit(LoadedRun& t, int answer) {
    t.project->vbComponents().find("clsOrders")->codeModule().addFromFile("/edits/edit.txt");
    t.fx.ui.answers = {answer};
}

// The project after a run: changed or not, its references and components.
std::string projectText(ide::Project& p) {
    std::string text = std::string("project ") + (p.isDirty() ? "changed" : "as saved") + ", " +
                       std::to_string(p.references().count()) + " references" +
                       (p.references().contains(kAdo) ? " with ADO" : "") + "\n";
    for (const auto& c : p.vbComponents())
        text += "-- " + c->name() + " type " + std::to_string(c->type()) + " " + c->fileName() +
                (c->isDirty() ? " changed, " : ", ") + std::to_string(c->codeModule().countOfLines()) + " lines\n";
    return text;
}

const char* const kOrdersListed = "Class=clsOrders; Classes\\clsOrders.cls\r\n";

// A loaded project gets every class and support module, the staged text
// whole, member attributes in place; a second run replaces the code in place,
// asks nothing and keeps one ADO reference. Components saved earlier are
// replaced in place and listed once where they were; support modules are left
// alone. Unsaved changes: Yes saves them beside the project first, No
// discards them, any other answer stops the run at once keeping what was
// imported. An error ends the run keeping what was done (the added class
// still under its default name); without a staging folder or a project
// nothing changes. The support modules come without the error handler option too.
TEST(LoadedRunTest, EachRunShowsItsOutcomeAndLeavesItsFiles) {
    using T = LoadedRun&;
    const struct {
        const char* name;
        void (*setup)(T);
        std::string listing = kOrdersListed;           // added to the sample project's
        int runs = 1;                                  // each followed by saving the project when `save`
        bool save = false;
        std::pair<const char*, const char*> golden{};  // a saved file and its golden file
    } rows[] = {
        {"no generated components yet", [](T) {}, "", 2, true,
         {"/proj/clsCustomersColl.cls", "loaded_project_customers_coll.txt"}},
        {"generated components saved earlier", [](T) {},
         kOrdersListed + std::string("Module=modRowwrightErrHndlr; Support\\modRowwrightErrHndlr.bas\r\n"), 1, true,
         {"/proj/Classes/clsOrders.cls", "loaded_project_orders_replaced.txt"}},
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
        writeBytes(t.fx.fs, "/proj/Support/modRowwrightErrHndlr.bas",
                   "Attribute VB_Name = \"modRowwrightErrHndlr\"\r\nPublic Sub RaiseError()\r\nEnd Sub\r\n");
        writeBytes(t.fx.fs, "/edits/edit.txt", "' my edit\r\n");
        ide::Environment ide(t.fx.fs);
        ide::Project& p = *(t.project = &ide.loadProject(test::writeSampleProject(t.fx.fs, "/proj", {r.listing})));
        r.setup(t);
        all += "== " + std::string(r.name) + "\n";
        for (int run = 0; run < r.runs; ++run) {
            RunEnvironment env{t.fx.fs, t.fx.ui, t.fx.clock, t.fx.conn, t.project, &t.temp};
            const RunOutcome outcome = runGeneration(t.fx.settings, t.fx.grid, env);
            if (r.save) p.save();
            all += dump(t.fx, outcome, projectText(p), 100);
        }
        if (r.golden.first) test::expectGolden(r.golden.second, t.fx.fs.readAll(r.golden.first));
        EXPECT_EQ(t.fx.ui.busyDepth, 0);
        EXPECT_EQ(t.temp.removed, t.temp.made);  // what stays in them is in the transcript
    }
    test::expectGolden("loaded_run_outcomes.txt", all);
}

// On disk: only the other file is left in the temporary folder, a component
// the run does not touch keeps every byte (bytes outside Windows-1252 too),
// and the project loaded again and saved changes nothing.
TEST(RealFilesTest, LoadedRunUpdatesAProjectOnDisk) {
    PosixFileSystem fs;
    const std::string root = SystemTempFolders().makePrivateFolder();
    writeClassFile(fs, root + "/proj/clsText.cls", "clsText", "Private Const P = \"\x80\x81\"\n");
    const std::string vbp = test::writeSampleProject(fs, root + "/proj", SampleProject{"Class=clsText; clsText.cls\r\n"});
    writeBytes(fs, root + "/tmp/other.rwg", "not ours");
    const auto snapshot = [&] {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file()) files[entry.path().string()] = fs.readAll(entry.path().string());
        return files;
    };
    const auto before = snapshot();
    SystemTempFolders staging(root + "/tmp");
    LoadedRun t;
    ide::Environment env(fs);
    ide::Project& project = env.loadProject(vbp);
    RunEnvironment runEnv{fs, t.fx.ui, t.fx.clock, t.fx.conn, &project, &staging};
    ASSERT_EQ(runGeneration(t.fx.settings, t.fx.grid, runEnv).status, RunOutcome::Status::Completed);
    project.save();
    const auto saved = snapshot();
    for (const auto& [path, bytes] : saved)
        if (before.count(path)) {
            EXPECT_EQ(bytes == before.at(path), !path.ends_with(".vbp")) << path;
        }
    EXPECT_EQ(saved.size(), before.size() + 6);
    ide::Environment again(fs);
    again.loadProject(vbp).save();
    EXPECT_EQ(snapshot(), saved);
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace rw
