// The workbench's projects: loading, editing code modules, saving, closing.
#include <gtest/gtest.h>

#include <functional>

#include "platform/ide/environment.h"
#include "platform/runtime_error.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"
#include "support/memory_file_system.h"

namespace rw::ide {
namespace {

using test::SampleProject;
using test::writeBytes;
using test::writeClassFile;
using test::writeSampleProject;

void expectError(const std::function<void()>& action, long number, const std::string& description) {
    try {
        action();
        ADD_FAILURE() << "no RuntimeError was thrown";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, number);
        EXPECT_EQ(e.source, "RwtIde");
        EXPECT_EQ(e.description, description);
    }
}

struct EnvironmentTest : ::testing::Test {
    MemoryFileSystem fs;
    Environment env{fs};
    std::string vbp;

    EnvironmentTest() { vbp = writeSampleProject(fs, "/proj"); }

    Project& load(const SampleProject& options = {}) {
        if (!options.extraListing.empty() || options.lfLineEnds) vbp = writeSampleProject(fs, "/proj", options);
        return env.loadProject(vbp);
    }
    std::string file(const std::string& path) { return fs.readAll(path); }
};

TEST_F(EnvironmentTest, LoadsTypeNameReferencesAndComponentsInListingOrder) {
    Project& p = load();
    EXPECT_EQ(p.type(), kProjectStandardExe);
    EXPECT_EQ(p.name(), "Billing");
    EXPECT_EQ(p.references().count(), 1);
    EXPECT_TRUE(p.references().contains("{00020430-0000-0000-c000-000000000046}"));
    ASSERT_EQ(p.vbComponents().count(), 2);

    Component& form = p.vbComponents().item(0);
    EXPECT_EQ(form.name(), "frmMain");  // a form's name comes from its file
    EXPECT_EQ(form.type(), kVBForm);
    // Below the VERSION line, the Object line, the nested Begin/BeginProperty
    // block and the Attribute lines.
    EXPECT_EQ(form.codeModule().lines(1, form.codeModule().countOfLines()),
              "Option Explicit\r\nPrivate Sub cmdGo_Click()\r\nEnd Sub");

    Component& module = p.vbComponents().item(1);
    EXPECT_EQ(module.name(), "modMain");
    EXPECT_EQ(module.type(), kStdModule);
    EXPECT_EQ(module.fileName(), "/proj/Modules/modMain.bas");  // "\" in the listing is a folder separator
    EXPECT_EQ(module.codeModule().countOfLines(), 6);
    EXPECT_EQ(module.codeModule().lines(2, 1), "Public Const Greeting As String = \"Gr\u00fc\u00dfe\"");
    EXPECT_FALSE(p.isDirty());
    EXPECT_EQ(&env.loadProject(vbp), &p);  // loading the same file again gives the same project
}

TEST_F(EnvironmentTest, TypeWords) {
    for (const auto& [word, type] : std::vector<std::pair<std::string, int>>{
             {"OleExe", 1}, {"OleDll", 2}, {"Control", 3}, {"exe", kProjectOther}}) {
        writeBytes(fs, "/t/" + word + ".vbp", "Type=" + word + "\r\n");
        Project& p = env.loadProject("/t/" + word + ".vbp");
        EXPECT_EQ(p.type(), type) << word;
        EXPECT_EQ(p.name(), "Project1");
    }
}

TEST_F(EnvironmentTest, LoadFailuresNameTheFileAndChangeNothing) {
    fs.remove("/proj/Modules/modMain.bas");
    const auto before = fs.files();
    expectError([&] { env.loadProject(vbp); }, 53, "File not found: '/proj/Modules/modMain.bas'");
    expectError([&] { env.loadProject("/proj/None.vbp"); }, 53, "File not found: '/proj/None.vbp'");
    writeBytes(fs, "/proj/Notes.vbp", "just some text\r\n");
    expectError([&] { env.loadProject("/proj/Notes.vbp"); }, 321, "Invalid file format: '/proj/Notes.vbp'");
    EXPECT_TRUE(env.projects().empty());
    fs.remove("/proj/Notes.vbp");
    EXPECT_EQ(fs.files(), before);
}

TEST_F(EnvironmentTest, MemberAttributesAreNotCodeAndAreSavedWithTheirLine) {
    writeClassFile(fs, "/proj/clsOrders.cls", "clsOrders",
                   "Option Explicit\r\n"
                   "Public Property Get Item(vlIndex As Variant) As Variant\r\n"
                   "Attribute Item.VB_UserMemId = 0\r\n"
                   "    Item = 1\r\n"
                   "End Property\r\n"
                   "' spare\r\n");
    Project& p = load({"Class=clsOrders; clsOrders.cls\r\n"});
    Component* orders = p.vbComponents().find("clsOrders");
    ASSERT_NE(orders, nullptr);
    CodeModule& code = orders->codeModule();
    EXPECT_EQ(code.countOfLines(), 5);
    EXPECT_EQ(code.lines(2, 2), "Public Property Get Item(vlIndex As Variant) As Variant\r\n    Item = 1");

    code.deleteLines(5);
    EXPECT_TRUE(orders->isDirty());
    p.save();
    EXPECT_FALSE(orders->isDirty());
    test::expectGolden("ide_member_attribute_kept.txt", file("/proj/clsOrders.cls"));
}

// Attribute lines are taken out of an added text; the text goes after the
// declarations, before the first procedure.
TEST_F(EnvironmentTest, AddFromFileTakesAttributesOutAndInsertsBeforeTheFirstProcedure) {
    Project& p = load();
    const std::string saved = "Attribute VB_Name = \"modErrors\"\r\n"
                              "Public Sub RaiseError()\r\n"
                              "End Sub\r\n"
                              "Public Property Get NewEnum() As IUnknown\r\n"
                              "Attribute NewEnum.VB_UserMemId = -4\r\n"
                              "Attribute NewEnum.VB_MemberFlags = \"40\"\r\n"
                              "End Property\r\n";
    writeBytes(fs, "/stage/eh.rwg", saved + "\r\n\r\n");
    Component& added = p.vbComponents().add(kStdModule);
    EXPECT_EQ(added.name(), "Module1");
    expectError([&] { added.codeModule().addFromFile("/stage/none.rwg"); }, 53, "File not found: '/stage/none.rwg'");
    added.codeModule().addFromFile("/stage/eh.rwg");
    EXPECT_EQ(added.name(), "modErrors");  // the VB_Name line renames the module
    EXPECT_EQ(added.codeModule().countOfLines(), 6);  // four code lines; the two empty lines at the end count
    // Saved: one name line, the member attributes after their line, no trailing empty lines.
    EXPECT_EQ(added.fileBytes(), saved);

    CodeModule& code = p.vbComponents().item(1).codeModule();  // modMain
    writeBytes(fs, "/stage/decl.txt", "Private mCount As Long\r\n");
    code.addFromFile("/stage/decl.txt");
    // After the declarations, before the blank line that leads to Sub Main.
    EXPECT_EQ(code.lines(1, 4),
              "Option Explicit\r\nPublic Const Greeting As String = \"Gr\u00fc\u00dfe\"\r\nPrivate mCount As Long\r\n");

    Component& empty = p.vbComponents().add(kClassModule);
    empty.codeModule().addFromFile("/stage/decl.txt");
    EXPECT_EQ(empty.codeModule().lines(1, 1), "Private mCount As Long");
}

TEST_F(EnvironmentTest, NamesMustBeIdentifiersAndUnique) {
    Project& p = load();
    Component& c = p.vbComponents().add(kClassModule);
    EXPECT_EQ(c.name(), "Class1");
    for (const char* bad : {"", "cls Orders", "1st", "Order-Items", "_x"})
        expectError([&] { c.setName(bad); }, 380, "Invalid property value");
    expectError([&] { c.setName("MODMAIN"); }, 32813,
                "Name conflicts with existing module, project, or object library");
    EXPECT_EQ(c.name(), "Class1");
    c.setName("cls\u00c9t\u00e9_2");
    EXPECT_EQ(c.name(), "cls\u00c9t\u00e9_2");
    EXPECT_EQ(p.vbComponents().add(kClassModule).name(), "Class1");  // free again
    EXPECT_EQ(p.vbComponents().add(kClassModule).name(), "Class2");
    expectError([&] { p.vbComponents().add(kVBForm); }, 5, "Invalid procedure call or argument");
}

TEST_F(EnvironmentTest, NewComponentsAndReferencesAreSavedBesideTheProjectAndListed) {
    Project& p = load();
    Component& cls = p.vbComponents().add(kClassModule);
    writeBytes(fs, "/stage/a.rwg", "Public Name As String\r\n\r\n\r\n");
    cls.codeModule().addFromFile("/stage/a.rwg");
    cls.setName("clsNew");
    p.vbComponents().add(kStdModule);
    p.references().addFromGuid("{00000200-0000-0010-8000-00AA006D2EA4}", 2, 0);
    p.references().addFromGuid("00000200-0000-0010-8000-00aa006d2ea4", 2, 8);  // known already: nothing
    p.references().addFromGuid("{12345678-9ABC-DEF0-1234-56789ABCDEF0}", 10, 1);
    expectError([&] { p.references().addFromGuid("{not-a-guid}", 1, 0); }, 5, "Invalid procedure call or argument");
    EXPECT_TRUE(p.isDirty());
    p.save();
    EXPECT_FALSE(p.isDirty());

    test::expectGolden("ide_new_class.txt", file("/proj/clsNew.cls"));
    EXPECT_EQ(file("/proj/Module1.bas"), "Attribute VB_Name = \"Module1\"\r\n");
    test::expectGolden("ide_saved_project.txt", file(vbp));

    // Saved state is kept: another save writes nothing, a reload sees the same.
    const auto after = fs.files();
    p.save();
    EXPECT_EQ(fs.files(), after);
    Environment again(fs);
    Project& reloaded = again.loadProject(vbp);
    EXPECT_EQ(reloaded.vbComponents().count(), 4);
    EXPECT_EQ(reloaded.vbComponents().find("clsNew")->codeModule().lines(1, 1), "Public Name As String");
    EXPECT_EQ(reloaded.references().count(), 3);
}

TEST_F(EnvironmentTest, NewComponentNeverOverwritesAFileItDoesNotOwn) {
    writeBytes(fs, "/proj/Class1.cls", "somebody else's");
    Project& p = load();
    p.vbComponents().add(kClassModule);
    const auto before = fs.files();
    expectError([&] { p.save(); }, 58, "File already exists: '/proj/Class1.cls'");
    EXPECT_EQ(fs.files(), before);
}

// A project saved on Linux keeps its line ends; renaming rewrites the
// listing line and the name line only (Windows-1252 bytes kept).
TEST_F(EnvironmentTest, SavingKeepsLineEndsAndRenamingRewritesOnlyTheNameLines) {
    Project& p = load({"", true});
    p.vbComponents().item(1).setName("modStart");
    p.vbComponents().add(kStdModule);
    p.save();
    test::expectGolden("ide_renamed_lf_project.txt", file(vbp));
    test::expectGolden("ide_renamed_module.txt", file("/proj/Modules/modMain.bas"));
}

// Lines outside the module are refused and change nothing; inserted text
// is split at every line end.
TEST_F(EnvironmentTest, InsertAndDeleteLines) {
    Project& p = load();
    CodeModule& code = p.vbComponents().item(1).codeModule();  // six lines
    code.deleteLines(1, 0);                                    // nothing to delete is no change
    for (const auto& [start, count] : std::vector<std::pair<int, int>>{{0, 1}, {7, 1}, {2, 6}, {1, -1}})
        expectError([&] { code.deleteLines(start, count); }, 5, "Invalid procedure call or argument");
    for (const int line : {0, -1, 8})
        expectError([&] { code.insertLines(line, "' x"); }, 5, "Invalid procedure call or argument");
    EXPECT_FALSE(p.isDirty());
    code.deleteLines(2, 5);
    code.insertLines(2, "' a\r\n' b\n' c");  // after the last line: appended
    code.insertLines(1, "");                  // one empty line
    code.insertLines(1, "x\r\n");              // a final line end adds one more
    EXPECT_EQ(code.lines(1, code.countOfLines()), "x\r\n\r\n\r\nOption Explicit\r\n' a\r\n' b\r\n' c");
    EXPECT_TRUE(p.isDirty());
    code.deleteLines(1, code.countOfLines());
    EXPECT_EQ(code.countOfLines(), 0);
}

TEST_F(EnvironmentTest, CloseProjectHandsTheProjectOver) {
    Project& first = load();
    Project& second = env.loadProject(writeSampleProject(fs, "/other"));
    std::unique_ptr<Project> closed = env.closeProject(first);
    EXPECT_EQ(closed.get(), &first);
    ASSERT_EQ(env.projects().size(), 1u);
    EXPECT_EQ(env.projects().front().get(), &second);
    EXPECT_EQ(env.closeProject(*closed), nullptr);   // not loaded any more
    EXPECT_NE(&env.loadProject(vbp), closed.get());  // loaded again: read afresh
}

}  // namespace
}  // namespace rw::ide
