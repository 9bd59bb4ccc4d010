#include <gtest/gtest.h>

#include <filesystem>

#include "run/run.h"
#include "platform/temp_folders.h"
#include "support/gen_fixture.h"

namespace rw {
namespace {

using test::GenFixture;
using test::row;

constexpr const char* kRunSource = "RwtAddIn (frmFields.cmdFinish_Click)";

RunOutcome runOn(GenFixture& fx, FileSystem& fs) {
    RunEnvironment env{fs, fx.ui, fx.clock, fx.conn};
    return runGeneration(fx.settings, fx.grid, env);
}

// A refused table is named in one message and leaves no trace: the files,
// the project file and the report are those of a run without its rows.
TEST(RunNames, RefusedTablesLeaveNoTraceAndTheRestIsGenerated) {
    struct Case {
        std::vector<FieldRow> rows;
        std::vector<FieldRow> clean;  // the rows a run without the refused tables has
        std::vector<std::pair<long, std::string>> messages;
    };
    const FieldRow orders = row("Orders", "ID", 3, true);
    const auto t = [](const std::string& table, const std::string& field = "ID") { return row(table, field, 3); };
    const std::string no = "Table \"";
    const std::vector<Case> cases = {
        {{t("/../../../x"), orders}, {orders},
         {{52, no + "/../../../x\" was not generated: its name cannot be used for a file."}}},
        {{t("a\\b"), orders}, {orders}, {{52, no + "a\\b\" was not generated: its name cannot be used for a file."}}},
        {{orders, t("Evil\r\nModule=Evil; C:\\Evil.bas")}, {orders},
         {{52, no + "Evil??Module=Evil; C:\\Evil.bas\" was not generated: its name cannot be used for a file."}}},
        {{t("x\u0085y\u007f\u009f"), orders}, {orders},
         {{52, no + "x?y??\" was not generated: its name cannot be used for a file."}}},
        {{t("\u9867\u5ba2"), orders}, {orders},
         {{52, no + "\u9867\u5ba2\" was not generated: its name cannot be used for a file."}}},
        // Only the first rule that applies is named; a refused table is no earlier table.
        {{t("rwtconn", "a\tb"), t("RWTCONN"), t("T", "ok"), t("T", "x\ny"), t("t")}, {t("t")},
         {{52, no + "rwtconn\" was not generated: column \"a?b\" has a control character in its name."},
          {58, no + "RWTCONN\" was not generated: its class clsRWTCONN is the connection class."},
          {52, no + "T\" was not generated: column \"x?y\" has a control character in its name."}}},
        {{t("ab"), t("a b"), orders, t("OrdersColl"), t("a\u00e9"), t("A\u00c9")},
         {t("ab"), orders, t("a\u00e9")},
         {{58, no + "a b\" was not generated: its class clsAb is already generated for table \"ab\"."},
          {58, no + "OrdersColl\" was not generated: its class clsOrdersColl is already generated for table "
                    "\"Orders\"."},
          {58, no + "A\u00c9\" was not generated: its class clsA\u00c9 is already generated for table "
                    "\"a\u00e9\"."}}},
#ifdef _WIN32
        // Names Windows cannot give a file (":" would write a data stream).
        {{t("a:b"), orders, t("x.")}, {orders},
         {{52, no + "a:b\" was not generated: its name cannot be used for a file."},
          {52, no + "x.\" was not generated: its name cannot be used for a file."}}},
#endif
        // Rows that come back later belong to the table of their first row.
        {{t("A", "x"), t("B", "y"), t("A", "z")}, {t("A", "x"), t("A", "z"), t("B", "y")}, {}},
    };
    for (const Case& c : cases) {
        GenFixture clean;
        clean.grid = FieldGrid(c.clean);
        const RunOutcome expected = runOn(clean, clean.fs);
        ASSERT_TRUE(clean.ui.messages.empty());

        GenFixture fx;
        fx.grid = FieldGrid(c.rows);
        const RunOutcome outcome = runOn(fx, fx.fs);
        const std::string what = c.rows.front().table;
        EXPECT_EQ(outcome.status, RunOutcome::Status::Completed) << what;
        std::vector<std::string> messages;
        for (const auto& [number, description] : c.messages)
            messages.push_back(errorMessageText(number, kRunSource, description));
        EXPECT_EQ(fx.messageTexts(), messages) << what;
        EXPECT_EQ(fx.fs.files(), clean.fs.files()) << what;
        EXPECT_EQ(outcome.reportText, expected.reportText) << what;
    }
}

TEST(RunNames, RefusedTableDoesNotTriggerTheOverwriteQuestion) {
    GenFixture fx;
    fx.grid = FieldGrid({row("ab", "ID", 3), row("a b", "ID", 3)});
    fx.fs.put("/out/clsAb.cls", "earlier");
    fx.ui.answers = {kAnswerNo};
    runOn(fx, fx.fs);
    ASSERT_EQ(fx.ui.messages.size(), 2u);  // the refusal, then the question for "ab"
    EXPECT_EQ(fx.ui.messages[1].style, 20);

    GenFixture other;
    other.grid = FieldGrid({row("x/y", "ID", 3)});
    other.fs.put("/out/clsX/y.cls", "earlier");
    EXPECT_EQ(runOn(other, other.fs).status, RunOutcome::Status::Completed);
    EXPECT_EQ(other.ui.messages.size(), 1u);  // no question
}

// A class the project being extended lists for the same file, however the
// path is spelt, is neither refused nor listed twice; one listed for another
// file refuses its table.
TEST(RunNames, ClassesTheProjectAlreadyListsOnRealFiles) {
    PosixFileSystem fs;
    const std::string root = SystemTempFolders().makePrivateFolder();
    fs.createDirectories(root + "/p");
    fs.createDirectories(root + "/gen");
    const std::string vbp = root + "/p/P.vbp";
    const std::string head = "Type=OleDll\r\nModule=modRowwrightErrHndlr; y.bas\r\nClass=clsRwtConn; x.cls\r\n"
                             "Class=clsCustomers; ..\\gen\\clsCustomers.cls\r\n"
                             "Class=CLSORDERS; /elsewhere/clsOrders.cls\r\n"
                             "Class=clsItemsColl; " + root + "/p/./../gen//clsItemsColl.cls\r\n";
    const std::string tail = "[Section]\r\nClass=clsShip; other.cls\r\n";
    fs.create(vbp)->write(head + tail);

    GenFixture fx;
    fx.settings.mbStdExe = false;
    fx.settings.mbExistingProject = true;
    fx.settings.msStoreDir = root + "/gen";
    fx.settings.msProjectFile = fx.settings.project.txtExistProject = vbp;
    fx.grid = FieldGrid({row("Customers", "ID", 3), row("orders", "ID", 3), row("Items", "ID", 3),
                         row("Ship", "ID", 3)});
    EXPECT_EQ(runOn(fx, fs).status, RunOutcome::Status::Completed);
    EXPECT_EQ(fx.messageTexts(), (std::vector<std::string>{errorMessageText(
                                     58, kRunSource,
                                     "Table \"orders\" was not generated: its class CLSORDERS is already in the "
                                     "project as /elsewhere/clsOrders.cls.")}));
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
