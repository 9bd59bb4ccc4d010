#include <gtest/gtest.h>

#include "run/project_file.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::GenFixture;
using test::readable;

const char* kStdole =
    "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\WINNT\\System32\\STDOLE2.TLB#OLE Automation\n";
const char* kAdo =
    "Reference=*\\G{00000201-0000-0010-8000-00AA006D2EA4}#2.1#0#C:\\Program Files\\Common Files\\System\\ADO\\"
    "msado15.dll#Microsoft ActiveX Data Objects 2.1 Library\n";

struct ProjectFileTest : ::testing::Test {
    GenFixture fx;

    std::string writeNew(const std::vector<std::string>& tables) {
        ProjectFileWriter writer(fx.files, fx.settings);
        writer.create();
        for (const auto& t : tables) writer.appendTable(t);
        writer.close();
        return fx.fs.readAll(fx.settings.msProjectFile);
    }

    void useExisting(const std::string& bytes) {
        fx.settings.mbStdExe = false;
        fx.settings.mbExistingProject = true;
        fx.settings.msProjectFile = "/proj/Existing.vbp";
        fx.fs.put("/proj/Existing.vbp", bytes);
    }
};

TEST_F(ProjectFileTest, NewStandardExeHasTheTwelveLinesInOrder) {
    const std::string text = writeNew({"Customers", "OrderDetails"});
    EXPECT_EQ(readable(text), std::string("Type=Exe\n") + kStdole + kAdo +
                                  "Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\n"
                                  "Title=\"Orders\"\n"
                                  "Name=\"Orders\"\n"
                                  "Startup=\"(None)\"\n"
                                  "Class=clsRwtConn; clsRwtConn.cls\n"
                                  "Class=clsCustomers; /out/clsCustomers.cls\n"
                                  "Class=clsCustomersColl; /out/clsCustomersColl.cls\n"
                                  "Class=clsOrderDetails; /out/clsOrderDetails.cls\n"
                                  "Class=clsOrderDetailsColl; /out/clsOrderDetailsColl.cls\n");
    EXPECT_EQ(text.find("\r\n"), text.find('\n') - 1);  // CR LF line ends
}

TEST_F(ProjectFileTest, NewProjectKindsAndOptions) {
    fx.settings.mbErrorHandler = false;
    fx.newProject("OleDll");
    std::string text = readable(writeNew({"A", "A"}));
    EXPECT_EQ(text.rfind("Type=OleDll\n", 0), 0u);
    // The connection class calls RaiseError: the module is listed whatever the option.
    EXPECT_NE(text.find(std::string(kAdo) + "Module=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\nTitle="),
              std::string::npos);
    // A new file repeats class lines of tables with the same base name.
    EXPECT_NE(text.find("Class=clsA; /out/clsA.cls\nClass=clsAColl; /out/clsAColl.cls\nClass=clsA; "),
              std::string::npos);
    fx.newProject("OleExe");
    fx.settings.msStoreDir = "/out/";
    fx.settings.msProjectFile = "/out//Orders.vbp";
    text = readable(writeNew({"A"}));
    EXPECT_EQ(text.rfind("Type=OleExe\n", 0), 0u);
    EXPECT_NE(text.find("Class=clsA; /out//clsA.cls\n"), std::string::npos);
}

TEST_F(ProjectFileTest, ExistingFileGainsMissingSupportLinesWithFullPaths) {
    useExisting("Type=OleDll\r\nReference=*\\G{x}#2.0#0#a.tlb#A\r\nName=\"Old\"\r\n");
    ProjectFileWriter writer(fx.files, fx.settings);
    const ProjectFileFlags flags = writer.extend();
    EXPECT_EQ(flags.projectTypeWord, "OleDll");
    EXPECT_FALSE(flags.hasErrorHandlerModule);
    EXPECT_FALSE(flags.hasConnectionClass);
    writer.appendTable("Orders");
    writer.close();
    EXPECT_EQ(readable(fx.fs.readAll("/proj/Existing.vbp")),
              "Type=OleDll\nReference=*\\G{x}#2.0#0#a.tlb#A\nName=\"Old\"\n"
              "Module=modRowwrightErrHndlr; /out/modRowwrightErrHndlr.bas\n"
              "Class=clsRwtConn; /out/clsRwtConn.cls\n"
              "Class=clsOrders; /out/clsOrders.cls\n"
              "Class=clsOrdersColl; /out/clsOrdersColl.cls\n");
    EXPECT_EQ(fx.fs.files().size(), 1u);  // no temporary file left behind
}

TEST_F(ProjectFileTest, ExistingFileKeepsSectionsAfterTheClassLinesAndSkipsDuplicates) {
    // LF and CR line ends, both support files listed, a class already present.
    useExisting(
        "Type=Exe\nModule=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\rClass=clsRwtConn; clsRwtConn.cls\n"
        "Class=clsOrders; /out/clsOrders.cls\n[MS Transaction Server]\nAutoRefresh=1\n");
    ProjectFileWriter writer(fx.files, fx.settings);
    const ProjectFileFlags flags = writer.extend();
    EXPECT_EQ(flags.projectTypeWord, "Exe");
    EXPECT_TRUE(flags.hasErrorHandlerModule);
    EXPECT_TRUE(flags.hasConnectionClass);
    writer.appendTable("Orders");
    writer.appendTable("Orders");
    writer.close();
    EXPECT_EQ(fx.fs.readAll("/proj/Existing.vbp"),
              "Type=Exe\r\nModule=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\r\n"
              "Class=clsRwtConn; clsRwtConn.cls\r\nClass=clsOrders; /out/clsOrders.cls\r\n"
              "Class=clsOrdersColl; /out/clsOrdersColl.cls\r\n"
              "[MS Transaction Server]\r\nAutoRefresh=1\r\n");
}

TEST_F(ProjectFileTest, RvbLineIsExaminedAndHeldBack) {
    useExisting("Type=Control\r\nName=\"X\"\r\nxx[RVB] clsRwtConn\r\nTail=1\r\n");
    ProjectFileWriter writer(fx.files, fx.settings);
    const ProjectFileFlags flags = writer.extend();
    EXPECT_EQ(flags.projectTypeWord, "Control");
    EXPECT_TRUE(flags.hasConnectionClass);
    writer.close();
    EXPECT_EQ(readable(fx.fs.readAll("/proj/Existing.vbp")),
              "Type=Control\nName=\"X\"\nModule=modRowwrightErrHndlr; /out/modRowwrightErrHndlr.bas\n"
              "xx[RVB] clsRwtConn\nTail=1\n");
}

TEST_F(ProjectFileTest, WindowsTextSurvivesTheRewrite) {
    useExisting("Type=Exe\r\nTitle=\"Caf\xE9 \x80 \x81\"\r\n");
    fx.settings.mbErrorHandler = false;
    ProjectFileWriter writer(fx.files, fx.settings);
    writer.extend();
    writer.close();
    EXPECT_EQ(fx.fs.readAll("/proj/Existing.vbp"),
              "Type=Exe\r\nTitle=\"Caf\xE9 \x80 \x81\"\r\nModule=modRowwrightErrHndlr; /out/modRowwrightErrHndlr.bas\r\n"
              "Class=clsRwtConn; /out/clsRwtConn.cls\r\n");
}

TEST(ProjectFileFailure, FailedRewriteLeavesTheOriginalIntact) {
    const std::string original = "Type=Exe\r\nName=\"Keep\"\r\n";
    for (const int variant : {0, 1, 2}) {  // extended: failed write, failed rename; new: failed write
        const bool failRename = variant == 1;
        const bool newProject = variant == 2;
        GenFixture fx;
        fx.settings.mbStdExe = newProject;
        fx.settings.mbExistingProject = !newProject;
        fx.settings.msProjectFile = "/proj/Existing.vbp";
        fx.fs.put("/proj/Existing.vbp", original);
        if (failRename)
            fx.fs.failRename("/proj/Existing.vbp", kErrPermissionDenied);
        else
            fx.fs.failWrite("/proj/.Existing.vbp.rwnew", 10, kErrDiskFull);
        ProjectFileWriter writer(fx.files, fx.settings);
        try {
            if (newProject) writer.create();
            else writer.extend();
            writer.appendTable("Orders");
            writer.close();
            ADD_FAILURE() << "the rewrite should fail";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, failRename ? kErrPermissionDenied : kErrDiskFull);
            writer.abandon();
        }
        EXPECT_EQ(fx.fs.readAll("/proj/Existing.vbp"), original);
        EXPECT_FALSE(fx.fs.exists("/proj/.Existing.vbp.rwnew"));
    }
}

TEST_F(ProjectFileTest, TemporaryNameAvoidsAnExistingFile) {
    useExisting("Type=Exe\r\n");
    fx.fs.put("/proj/.Existing.vbp.rwnew", "user data");
    ProjectFileWriter writer(fx.files, fx.settings);
    writer.extend();
    writer.close();
    EXPECT_EQ(fx.fs.readAll("/proj/.Existing.vbp.rwnew"), "user data");
}

TEST(SplitLines, AllThreeLineEnds) {
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(splitLines("").empty());
}

}  // namespace
}  // namespace rw

