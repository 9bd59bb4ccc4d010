#include <gtest/gtest.h>

#include <filesystem>
#include <map>

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
};

void edit(LoadedRun& t, int answer) {
    t.project->vbComponents().find("clsOrders")->codeModule().addFromFile("/edits/edit.txt");
    t.fx.ui.answers = {answer};
}

// What a run did: its outcome, the messages shown, the project's components,
// the project files and short files whole and any other file by its size, and the report.
std::string dump(LoadedRun& t, ide::Project& p, const RunOutcome& o) {
    const char* const status[] = {"Completed", "Declined", "Cancelled", "Failed", "Stopped"};
    std::string text = std::string(status[static_cast<int>(o.status)]) + ", report to \"" + o.reportFolder + "\" as " +
                       o.reportFileName + ", project " + (p.isDirty() ? "changed" : "as saved") + ", " +
                       std::to_string(p.references().count()) + " references" +
                       (p.references().contains(kAdo) ? " with ADO" : "") + "\n";
    for (const auto& m : t.fx.ui.messages) text += "-- message " + std::to_string(m.style) + ": " + m.text + "\n";
    t.fx.ui.messages.clear();
    for (const auto& c : p.vbComponents()) {
        text += "-- " + c->name() + " type " + std::to_string(c->type()) + " " + c->fileName();
        text += (c->isDirty() ? " changed, " : ", ") + std::to_string(c->codeModule().countOfLines()) + " lines\n";
    }
    for (const auto& [path, bytes] : t.fx.fs.files()) {
        const bool whole = path.ends_with(".vbp") || bytes.size() < 100;
        text += "-- " + path + (whole ? ":\n" + test::readable(bytes) : " " + std::to_string(bytes.size()) + " bytes");
        text += '\n';
    }
    return text + "-- report:\n" + test::readable(o.reportText) + "\n";
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
        ide::Project& p = t.load(r.listing);
        r.setup(t);
        all += "== " + std::string(r.name) + "\n";
        for (int run = 0; run < r.runs; ++run) {
            const RunOutcome outcome = t.run();
            if (r.save) p.save();
            all += dump(t, p, outcome);
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
    GenFixture fx;
    fx.settings = {};
    fx.settings.mbErrorHandler = fx.settings.mbCode = fx.settings.mbLoadedProject = true;
    fx.grid = FieldGrid({row("Customers", "CustomerID", 130, true), row("Customers", "Name", 130)});
    ide::Environment env(fs);
    ide::Project& project = env.loadProject(vbp);
    RunEnvironment runEnv{fs, fx.ui, fx.clock, fx.conn, &project, &staging};
    ASSERT_EQ(runGeneration(fx.settings, fx.grid, runEnv).status, RunOutcome::Status::Completed);
    project.save();
    const auto saved = snapshot();
    for (const auto& [path, bytes] : saved)
        if (before.count(path)) EXPECT_EQ(bytes == before.at(path), !path.ends_with(".vbp")) << path;
    EXPECT_EQ(saved.size(), before.size() + 4);
    ide::Environment again(fs);
    again.loadProject(vbp).save();
    EXPECT_EQ(snapshot(), saved);
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace rw
