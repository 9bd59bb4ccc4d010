#include <gtest/gtest.h>

#include <filesystem>

#include "run/run.h"
#include "platform/temp_folders.h"
#include "support/gen_fixture.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"

namespace rw {
namespace {

using test::GenFixture;
using test::row;

constexpr const char* kRunSource = "RwtAddIn (frmFields.cmdFinish_Click)";

RunOutcome runOn(GenFixture& fx, FileSystem& fs) {
    RunEnvironment env{fs, fx.ui, fx.clock, fx.conn};
    return runGeneration(fx.settings, fx.grid, env);
}

// A refused table is named in one message (only the first rule that
// applies) and leaves no trace: the files, the project file and the report
// are those of a run without its rows. Its earlier files ask nothing.
TEST(RunNames, RefusedTablesLeaveNoTraceAndTheRestIsGenerated) {
    const FieldRow orders = row("Orders", "ID", 3, true);
    const auto t = [](const std::string& table, const std::string& field = "ID") { return row(table, field, 3); };
    const struct {
        std::vector<FieldRow> rows;
        std::vector<FieldRow> clean;  // the rows a run without the refused tables has
        const char* earlier = "";     // a file an earlier run left
        bool windowsOnly = false;     // its messages are not in the golden file
    } cases[] = {
        {{t("/../../../x"), orders}, {orders}},
        {{t("a\\b"), orders}, {orders}},
        {{orders, t("Evil\r\nModule=Evil; C:\\Evil.bas")}, {orders}},
        {{t("x\u0085y\u007f\u009f"), orders}, {orders}},
        {{t("\u9867\u5ba2"), orders}, {orders}},
        // A refused table is no earlier table.
        {{t("rwtconn", "a\tb"), t("RWTCONN"), t("T", "ok"), t("T", "x\ny"), t("t")}, {t("t")}},
        {{t("ab"), t("a b"), orders, t("OrdersColl"), t("a\u00e9"), t("A\u00c9")}, {t("ab"), orders, t("a\u00e9")}},
#ifdef _WIN32
        // Names Windows cannot give a file (":" would write a data stream).
        {{t("a:b"), orders, t("x.")}, {orders}, "", true},
#endif
        // Rows that come back later belong to the table of their first row.
        {{t("A", "x"), t("B", "y"), t("A", "z")}, {t("A", "x"), t("A", "z"), t("B", "y")}},
        {{t("x/y"), orders}, {orders}, "/out/clsX/y.cls"},
        // The refusal, then the question for "ab" (answered No).
        {{t("ab"), t("a b")}, {t("ab")}, "/out/clsAb.cls"},
    };
    std::string messages;
    for (const auto& c : cases) {
        GenFixture clean, fx;
        clean.grid = FieldGrid(c.clean), fx.grid = FieldGrid(c.rows);
        for (GenFixture* f : {&clean, &fx}) {
            if (*c.earlier != '\0') f->fs.put(c.earlier, "earlier");
            f->ui.fallback = kAnswerNo;
        }
        const RunOutcome expected = runOn(clean, clean.fs);
        const RunOutcome outcome = runOn(fx, fx.fs);
        EXPECT_EQ(outcome.status, expected.status) << c.rows.front().table;
        EXPECT_EQ(fx.fs.files(), clean.fs.files()) << c.rows.front().table;
        EXPECT_EQ(outcome.reportText, expected.reportText) << c.rows.front().table;
        if (c.windowsOnly) {
            EXPECT_EQ(fx.ui.messages.size(), 2u);
            continue;
        }
        messages += "== " + c.rows.front().table + "\n";
        for (const std::string& m : fx.messageTexts()) messages += m + "\n";
    }
    test::expectGolden("run_names_refused.txt", messages);
}

// A class the project being extended lists for the same file, however the
// path is spelt, is neither refused nor listed twice; one listed for another
// file refuses its table.
TEST(RunNames, ClassesTheProjectAlreadyListsOnRealFiles) {
    PosixFileSystem fs;
    const std::string root = SystemTempFolders().makePrivateFolder();
    fs.createDirectories(root + "/gen");
    const std::string vbp = root + "/p/P.vbp";
    const std::string head = "Type=OleDll\r\nModule=modRowwrightErrHndlr; y.bas\r\nClass=clsRwtConn; x.cls\r\n"
                             "Class=clsCustomers; ..\\gen\\clsCustomers.cls\r\n"
                             "Class=CLSORDERS; /elsewhere/clsOrders.cls\r\n"
                             "Class=clsItemsColl; " + root + "/p/./../gen//clsItemsColl.cls\r\n";
    const std::string tail = "[Section]\r\nClass=clsShip; other.cls\r\n";
    test::writeBytes(fs, vbp, head + tail);

    GenFixture fx;
    fx.settings.mbStdExe = false, fx.settings.mbExistingProject = true, fx.settings.msStoreDir = root + "/gen";
    fx.settings.msProjectFile = fx.settings.project.txtExistProject = vbp;
    fx.grid = FieldGrid({row("Customers", "ID", 3), row("orders", "ID", 3), row("Items", "ID", 3),
                         row("Ship", "ID", 3)});
    EXPECT_EQ(runOn(fx, fs).status, RunOutcome::Status::Completed);
    EXPECT_EQ(fx.messageTexts(), (std::vector<std::string>{errorMessageText(58, kRunSource,
              "Table \"orders\" was not generated: its class CLSORDERS is already in the project as /elsewhere/clsOrders.cls.")}));
    const std::string gen = root + "/gen/";
    EXPECT_EQ(fs.readAll(vbp), head + "Class=clsCustomersColl; " + gen + "clsCustomersColl.cls\r\nClass=clsItems; " +
                                   gen + "clsItems.cls\r\nClass=clsShip; " + gen + "clsShip.cls\r\nClass=clsShipColl; " +
                                   gen + "clsShipColl.cls\r\n" + tail);
    EXPECT_FALSE(fs.exists(gen + "clsOrders.cls"));
    EXPECT_TRUE(fs.exists(gen + "clsItemsColl.cls"));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace rw
