// The workbench's projects: loading, editing code modules, saving, closing.
#include <gtest/gtest.h>

#include <functional>

#include "platform/ide/environment.h"
#include "platform/runtime_error.h"
#include "support/golden.h"
#include "support/memory_file_system.h"
#include "support/sample_vb_project.h"

namespace rw::ide {
namespace {

using test::writeBytes;

// Each step is noted in `log`: what it did, or the error it raised.
struct EnvironmentTest : ::testing::Test {
    MemoryFileSystem fs;
    Environment env{fs};
    std::string vbp = test::writeSampleProject(fs, "/proj");
    std::string log;

    void attempt(const std::string& what, const std::function<void()>& action) {
        try {
            action();
            log += what + ": ok\n";
        } catch (const RuntimeError& e) {
            log += what + ": " + std::to_string(e.number) + " " + e.source + " " + e.description + "\n";
        }
    }
    // The project's kind, name and references, and each component with its code.
    void note(Project& p) {
        log += "project " + p.name() + " type " + std::to_string(p.type()) + ", " +
               std::to_string(p.references().count()) + " references" + (p.isDirty() ? ", changed\n" : "\n");
        for (int i = 0; i < p.vbComponents().count(); ++i) {
            Component& c = p.vbComponents().item(i);
            log += "-- " + c.name() + " type " + std::to_string(c.type()) + " " + c.fileName() + "\n";
            for (int line = 1; line <= c.codeModule().countOfLines(); ++line)
                log += "| " + c.codeModule().lines(line, 1) + "\n";
        }
    }
};

// A form's name comes from its file; its code is what follows the VERSION
// line, the nested Begin/BeginProperty block and the Attribute lines; "\"
// in the listing is a folder separator. A failed load changes nothing.
TEST_F(EnvironmentTest, LoadsAndClosesProjectsOrSaysWhyNot) {
    Project& p = env.loadProject(vbp);
    note(p);
    EXPECT_EQ(&env.loadProject(vbp), &p);  // loading the same file again gives the same project
    EXPECT_TRUE(p.references().contains("{00020430-0000-0000-c000-000000000046}"));
    for (const std::string word : {"OleExe", "OleDll", "Control", "exe"}) {
        writeBytes(fs, "/t/" + word + ".vbp", "Type=" + word + "\r\n");
        note(env.loadProject("/t/" + word + ".vbp"));
    }
    // Closing hands the project over; loaded again, it is read afresh.
    const std::unique_ptr<Project> closed = env.closeProject(p);
    EXPECT_EQ(closed.get(), &p);
    EXPECT_EQ(env.projects().size(), 4u);
    EXPECT_EQ(env.closeProject(*closed), nullptr);  // not loaded any more
    EXPECT_NE(&env.loadProject(vbp), closed.get());
    fs.remove("/proj/Modules/modMain.bas");
    writeBytes(fs, "/proj/Notes.vbp", "just some text\r\n");
    const auto before = fs.files();
    Environment other(fs);
    for (const char* path : {"/proj/Billing.vbp", "/proj/None.vbp", "/proj/Notes.vbp"})
        attempt(std::string("load ") + path, [&] { other.loadProject(path); });
    EXPECT_TRUE(other.projects().empty());
    EXPECT_EQ(fs.files(), before);
    test::expectGolden("ide_loads.txt", log);
}

// Attribute lines are not code: member attributes stay with their line, an
// added text's are taken out (VB_Name renames the module). Added text goes
// after the declarations, before the first procedure. Names must be unique
// identifiers; lines outside the module are refused and change nothing.
TEST_F(EnvironmentTest, EditingCodeAndNamesLeavesThisTranscript) {
    test::writeClassFile(fs, "/proj/clsOrders.cls", "clsOrders",
                         "Option Explicit\r\nPublic Property Get Item(vlIndex As Variant) As Variant\r\n"
                         "Attribute Item.VB_UserMemId = 0\r\n    Item = 1\r\nEnd Property\r\n' spare\r\n");
    vbp = test::writeSampleProject(fs, "/proj", {"Class=clsOrders; clsOrders.cls\r\n"});
    Project& p = env.loadProject(vbp);
    CodeModule& main = p.vbComponents().item(1).codeModule();
    main.deleteLines(1, 0);
    for (const auto& [start, count] : std::vector<std::pair<int, int>>{{0, 1}, {7, 1}, {2, 6}, {1, -1}})
        attempt("delete " + std::to_string(start) + "+" + std::to_string(count), [&] { main.deleteLines(start, count); });
    for (const int line : {0, -1, 8}) attempt("insert at " + std::to_string(line), [&] { main.insertLines(line, "' x"); });
    EXPECT_FALSE(p.isDirty());
    CodeModule& form = p.vbComponents().item(0).codeModule();
    form.deleteLines(2, 2);
    form.insertLines(2, "' a\r\n' b\n' c");  // after the last line: appended
    form.insertLines(1, ""), form.insertLines(1, "x\r\n");  // a final line end adds one more
    Component& orders = *p.vbComponents().find("clsOrders");
    orders.codeModule().deleteLines(5);
    EXPECT_TRUE(orders.isDirty());

    writeBytes(fs, "/stage/eh.rwg",
               "Attribute VB_Name = \"modErrors\"\r\nPublic Sub RaiseError()\r\nEnd Sub\r\n"
               "Public Property Get NewEnum() As IUnknown\r\nAttribute NewEnum.VB_UserMemId = -4\r\n"
               "Attribute NewEnum.VB_MemberFlags = \"40\"\r\nEnd Property\r\n\r\n\r\n");
    writeBytes(fs, "/stage/decl.txt", "Private mCount As Long\r\n");
    Component& added = p.vbComponents().add(kStdModule);
    attempt("add none.rwg", [&] { added.codeModule().addFromFile("/stage/none.rwg"); });
    added.codeModule().addFromFile("/stage/eh.rwg");
    main.addFromFile("/stage/decl.txt");
    Component& cls = p.vbComponents().add(kClassModule);
    cls.codeModule().addFromFile("/stage/decl.txt");
    for (const char* name : {"", "cls Orders", "1st", "Order-Items", "_x", "MODMAIN", "cls\u00c9t\u00e9_2"})
        attempt(std::string("name ") + name, [&] { cls.setName(name); });
    p.vbComponents().add(kClassModule), p.vbComponents().add(kClassModule);  // Class1 is free again
    attempt("add a form", [&] { p.vbComponents().add(kVBForm); });
    note(p);
    log += "-- saved " + added.name() + ":\n" + test::readable(added.fileBytes());
    test::expectGolden("ide_edits.txt", log);
    p.save();
    EXPECT_FALSE(orders.isDirty());
    test::expectGolden("ide_member_attribute_kept.txt", fs.readAll("/proj/clsOrders.cls"));
}

TEST_F(EnvironmentTest, NewComponentsAndReferencesAreSavedBesideTheProjectAndListed) {
    Project& p = env.loadProject(vbp);
    Component& cls = p.vbComponents().add(kClassModule);
    writeBytes(fs, "/stage/a.rwg", "Public Name As String\r\n\r\n\r\n");
    cls.codeModule().addFromFile("/stage/a.rwg");
    cls.setName("clsNew");
    p.vbComponents().add(kStdModule);
    p.references().addFromGuid("{00000200-0000-0010-8000-00AA006D2EA4}", 2, 0);
    p.references().addFromGuid("00000200-0000-0010-8000-00aa006d2ea4", 2, 8);  // known already: nothing
    p.references().addFromGuid("{12345678-9ABC-DEF0-1234-56789ABCDEF0}", 10, 1);
    attempt("reference", [&] { p.references().addFromGuid("{not-a-guid}", 1, 0); });
    p.save();
    EXPECT_FALSE(p.isDirty());
    test::expectGolden("ide_new_class.txt", fs.readAll("/proj/clsNew.cls"));
    EXPECT_EQ(fs.readAll("/proj/Module1.bas"), "Attribute VB_Name = \"Module1\"\r\n");
    test::expectGolden("ide_saved_project.txt", fs.readAll(vbp));

    // Saved state is kept: another save writes nothing, a reload sees the same.
    const auto after = fs.files();
    p.save();
    EXPECT_EQ(fs.files(), after);
    Environment again(fs);
    note(again.loadProject(vbp));

    // A new component never overwrites a file it does not own.
    writeBytes(fs, "/proj/Class1.cls", "somebody else's");
    p.vbComponents().add(kClassModule);
    const auto before = fs.files();
    attempt("save", [&] { p.save(); });
    EXPECT_EQ(fs.files(), before);
    test::expectGolden("ide_new_components.txt", log);
}

// A project saved on Linux keeps its line ends; renaming rewrites the
// listing line and the name line only (Windows-1252 bytes kept).
TEST_F(EnvironmentTest, SavingKeepsLineEndsAndRenamingRewritesOnlyTheNameLines) {
    Project& p = env.loadProject(test::writeSampleProject(fs, "/proj", {"", true}));
    p.vbComponents().item(1).setName("modStart");
    p.vbComponents().add(kStdModule);
    p.save();
    test::expectGolden("ide_renamed_lf_project.txt", fs.readAll(vbp));
    test::expectGolden("ide_renamed_module.txt", fs.readAll("/proj/Modules/modMain.bas"));
}

}  // namespace
}  // namespace rw::ide
