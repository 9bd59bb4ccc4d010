#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "gen/support/support_files.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::expectGolden;
using test::GenFixture;
using test::readable;

const std::string kStage = "/stage";
const std::string kEhPath = "/out/modRowwrightErrHndlr.bas";
const std::string kConnPath = "/out/clsRwtConn.cls";

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    const std::string text = readable(bytes);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string missingPropertyMessage(const std::string& operation) {
    return "Error: 3265\r\nSource: ADODB.Properties (frmFields." + operation +
           ")\r\n\r\nDescription: Item cannot be found in the collection corresponding to the requested name or "
           "ordinal.";
}

struct Support {
    GenFixture fx;

    Support() { fx.fs.createDirectories(kStage); }

    std::string eh() {
        GenContext c = fx.ctx();
        msCreateEHFile(c, kStage);
        return fx.fs.exists(kEhPath) ? fx.fs.readAll(kEhPath) : std::string();
    }
    std::string conn(const std::string& projectTypeWord = "Exe") {
        GenContext c = fx.ctx();
        msCreateConnObjFile(c, kStage, projectTypeWord);
        return fx.fs.exists(kConnPath) ? fx.fs.readAll(kConnPath) : std::string();
    }
    void byDsn() {
        fx.settings.connection.optDSN = true;
        fx.settings.connection.optDSNLess = false;
        // What the login left behind must not reach the class.
        fx.settings.connection.txtConnString = "DSN=Northwind;UID=sa;PWD=secret";
    }
    void byString(const std::string& text) {
        fx.settings.connection.optDSN = false;
        fx.settings.connection.optDSNLess = true;
        fx.settings.connection.txtConnString = text;
    }
    void loaded() {
        fx.settings.mbStdExe = fx.settings.mbActiveXExe = fx.settings.mbActiveXDll = false;
        fx.settings.mbLoadedProject = true;
        fx.settings.msStoreDir = "/nowhere";  // not used for a loaded project
    }
    void expectNoMessages() { EXPECT_TRUE(fx.ui.messages.empty()) << fx.messageTexts().front(); }
    void expectAllFilesClosed() { EXPECT_EQ(fx.files.freeFile(), 1); }
};

struct SupportFiles : ::testing::Test, Support {};

// Whole files, one golden file each: in the store, or staged as code only
// (with its padding) for a loaded project, which writes nothing to the store.
TEST_F(SupportFiles, GoldenFiles) {
    using Setup = void (*)(Support&);
    const struct {
        const char* golden;
        Setup setup;
        bool connection;  // else the error-handler module
    } cases[] = {
        {"support_eh_bare.txt",
         [](Support& t) {
             t.fx.allOptions(false);
             t.fx.settings.mbDevNotes = true;  // without module headers the notes do nothing
             t.fx.fs.put(kEhPath, "an older file that is replaced\r\n");
         },
         false},
        {"support_eh_headers.txt", [](Support& t) { t.fx.settings.mbDevNotes = false; }, false},
        {"support_eh_headers_notes.txt", [](Support&) {}, false},
        {"support_eh_loaded.txt",
         [](Support& t) {
             t.fx.allOptions(false);
             t.loaded();
         },
         false},
        {"support_eh_loaded_headers.txt", [](Support& t) { t.loaded(); }, false},
        {"support_conn_dsn_exe.txt", [](Support& t) { t.byDsn(); }, true},
        {"support_conn_oracle_string.txt",
         [](Support& t) {
             t.fx.newProject("OleDll");
             t.fx.settings.mbDevNotes = false;
             t.fx.conn = OfflineConnection(std::string("Oracle"), std::nullopt);  // never asked for by a string
             t.byString("Provider=MSDAORA.1;Password=tiger;User ID=scott;Data Source=orcl;Persist Security Info=True");
         },
         true},
        {"support_conn_no_headers.txt",
         [](Support& t) {
             t.byDsn();
             t.fx.settings.mbModuleHeaders = false;  // and so no notes
         },
         true},
        {"support_conn_loaded.txt",
         [](Support& t) {
             t.byDsn();
             t.loaded();
             t.fx.settings.mbModuleHeaders = false;
         },
         true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.golden);
        Support t;
        k.setup(t);
        GenContext c = t.fx.ctx();
        if (k.connection)
            msCreateConnObjFile(c, kStage, "Exe");
        else
            msCreateEHFile(c, kStage);
        const std::string stored = k.connection ? kConnPath : kEhPath;
        const std::string staged = kStage + (k.connection ? "/clsRwtConn.rwg" : "/modRowwrightErrHndlr.rwg");
        EXPECT_NE(t.fx.fs.exists(stored), t.fx.settings.mbLoadedProject);
        expectGolden(k.golden, t.fx.fs.readAll(t.fx.settings.mbLoadedProject ? staged : stored));
        EXPECT_TRUE(t.fx.ui.messages.empty());
        EXPECT_EQ(t.fx.files.freeFile(), 1);
    }
}

TEST_F(SupportFiles, CursorLocationLinesOnlyForExactlyOracleByString) {
    struct Case {
        const char* dbms;
        bool byString;
        bool wanted;
    };
    for (const Case k : {Case{"Oracle", false, false}, Case{"oracle", true, false}, Case{"ORACLE", true, false},
                         Case{"Microsoft SQL Server", true, false}, Case{"Oracle", true, true}}) {
        fx.conn = OfflineConnection(std::string(k.dbms), std::string("OrclDsn"));
        if (k.byString)
            byString("Provider=MSDAORA.1;Data Source=orcl");
        else
            byDsn();
        const auto lines = linesOf(conn());
        const auto at = std::find(lines.begin(), lines.end(), "On Error GoTo ExecSQLErr");
        ASSERT_NE(at, lines.end());
        EXPECT_EQ(*(at + 1) == "    roResults.Open vsQuery, moConn, adOpenStatic", !k.wanted)
            << k.dbms << " by string " << k.byString;
        EXPECT_EQ(readable(fx.fs.readAll(kConnPath)).find("CursorLocation") != std::string::npos, k.wanted);
    }
    expectNoMessages();
}

TEST_F(SupportFiles, ConnectionClassExposureLine) {
    struct Case {
        const char* kind;  // "Exe", "OleExe", "OleDll" for a new project, else an existing one
        const char* typeWord;
        const char* line;  // nullptr: no exposure line
    };
    const char* exposed = "Attribute VB_Exposed = True";
    const char* hidden = "Attribute VB_Exposed = False";
    byDsn();
    for (const Case k : {Case{"Exe", "OleDll", hidden}, Case{"OleExe", "Exe", exposed}, Case{"OleDll", "", exposed},
                         Case{"existing", "Exe", hidden}, Case{"existing", "OleExe", exposed},
                         Case{"existing", "OleDll", exposed}, Case{"existing", "Control", nullptr},
                         Case{"existing", "exe", nullptr}, Case{"existing", "", nullptr}}) {
        fx.newProject(k.kind);
        fx.settings.mbExistingProject = std::string(k.kind) == "existing";
        const auto lines = linesOf(conn(k.typeWord));
        ASSERT_GT(lines.size(), 13u);
        EXPECT_EQ(lines[8], "Attribute VB_Name = \"clsRwtConn\"");
        EXPECT_EQ(lines[11], "Attribute VB_PredeclaredId = False");
        EXPECT_EQ(lines[12], k.line ? k.line : "' Module Name: clsRwtConn") << k.kind << " " << k.typeWord;
    }
    expectNoMessages();
}

// ---- failures --------------------------------------------------------------

TEST_F(SupportFiles, MissingDbmsNameCutsTheConnectionClassAfterTheExecSqlHandlerLine) {
    fx.settings.mbModuleHeaders = false;
    for (const bool dsn : {true, false}) {
        fx.ui.messages.clear();
        fx.conn = OfflineConnection(std::nullopt, std::string("Northwind"));
        if (dsn)
            byDsn();
        else
            byString("Provider=MSDAORA.1;Data Source=orcl");
        const std::string text = conn();
        ASSERT_EQ(fx.ui.messages.size(), 1u);
        EXPECT_EQ(fx.ui.messages[0].text, missingPropertyMessage("msCreateConnObjFile"));
        EXPECT_EQ(fx.ui.messages[0].style, kStyleExclamation);
        const auto lines = linesOf(text);
        ASSERT_EQ(lines.size(), 13u + 1u + 7u + 2u);
        EXPECT_EQ(lines.back(), "On Error GoTo ExecSQLErr");
        expectAllFilesClosed();
    }
}

TEST_F(SupportFiles, MissingDataSourceNameCutsTheConnectionClassAfterNewConnection) {
    fx.settings.mbModuleHeaders = false;
    fx.conn = OfflineConnection(std::string("Microsoft SQL Server"), std::nullopt);
    byDsn();
    const std::string text = conn();
    ASSERT_EQ(fx.ui.messages.size(), 1u);
    EXPECT_EQ(fx.ui.messages[0].text, missingPropertyMessage("msCreateConnObjFile"));
    const auto lines = linesOf(text);
    EXPECT_EQ(lines.back(), "    Set moConn = New ADODB.Connection");
    EXPECT_EQ(lines[lines.size() - 2], "On Error GoTo Class_InitializeErr");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    expectAllFilesClosed();

    // A string connection never reads the data source name.
    fx.ui.messages.clear();
    byString("Provider=SQLOLEDB.1;Data Source=db");
    EXPECT_EQ(linesOf(conn()).back(), "End Sub");
    expectNoMessages();
}

TEST_F(SupportFiles, MissingStoreFolderShowsPathNotFoundOncePerOperation) {
    byDsn();
    fx.settings.msStoreDir = "/out/missing";
    GenContext c = fx.ctx();
    msCreateEHFile(c, kStage);
    msCreateConnObjFile(c, kStage, "Exe");
    EXPECT_EQ(fx.messageTexts(),
              (std::vector<std::string>{
                  "Error: 76\r\nSource: RwtAddIn (frmFields.msCreateEHFile)\r\n\r\nDescription: Path not found",
                  "Error: 76\r\nSource: RwtAddIn (frmFields.msCreateConnObjFile)\r\n\r\nDescription: Path not found"}));
    EXPECT_FALSE(fx.fs.exists("/out/missing"));
    expectAllFilesClosed();

    // The next run into a folder that exists is not disturbed.
    fx.ui.messages.clear();
    fx.settings.msStoreDir = "/out";
    EXPECT_FALSE(eh().empty());
    EXPECT_FALSE(conn().empty());
    expectNoMessages();
}

TEST_F(SupportFiles, WriteFailureWhenClosingIsShownAndKeepsWhatWasWritten) {
    byDsn();
    fx.fs.failWrite(kConnPath, 100, kErrDiskFull);
    fx.fs.failWrite(kEhPath, 50, kErrDiskFull);
    const std::string connText = conn();
    const std::string ehText = eh();
    EXPECT_EQ(fx.messageTexts(),
              (std::vector<std::string>{
                  "Error: 61\r\nSource: RwtAddIn (frmFields.msCreateConnObjFile)\r\n\r\nDescription: Disk full",
                  "Error: 61\r\nSource: RwtAddIn (frmFields.msCreateEHFile)\r\n\r\nDescription: Disk full"}));
    EXPECT_EQ(connText.substr(0, 19), "VERSION 1.0 CLASS\r\n");
    EXPECT_EQ(connText.size(), 100u);
    EXPECT_EQ(ehText.size(), 50u);
    expectAllFilesClosed();
}

TEST_F(SupportFiles, OperationsLeaveFilesOpenedByOthersAlone) {
    byDsn();
    GenContext c = fx.ctx();
    const int other = fx.files.openForOutput("/out/other.txt");
    msCreateEHFile(c, kStage);
    msCreateConnObjFile(c, kStage, "Exe");
    EXPECT_TRUE(fx.files.isOpen(other));
    EXPECT_EQ(fx.files.freeFile(), other + 1);
    // The last number is still free for an operation; after it, none is.
    for (int k = other + 1; k < 511; ++k) fx.files.openForOutput("/out/f" + std::to_string(k));
    msCreateEHFile(c, kStage);
    expectNoMessages();
    fx.files.openForOutput("/out/last");
    msCreateEHFile(c, kStage);
    EXPECT_EQ(fx.messageTexts(), std::vector<std::string>{"Error: 67\r\nSource: RwtAddIn (frmFields.msCreateEHFile)"
                                                          "\r\n\r\nDescription: Too many files"});
}


TEST_F(SupportFiles, DoubleQuoteInTheConnectionTextIsDoubled) {
    byString("Driver=X;Database=\"C:\\a b\\db.mdb\"");
    const auto lines = linesOf(conn());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    moConn.Open \"Driver=X;Database=\"\"C:\\a b\\db.mdb\"\"\""),
              lines.end());
}

}  // namespace
}  // namespace rw
