// The command-line tool on a live database: the listing commands, the live
// mode of generate, and a snapshot that regenerates the same files offline.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/db_commands.h"
#include "odbc/odbc_setup.h"
#include "platform/db/odbc.h"
#include "platform/ide/environment.h"
#include "platform/runtime_error.h"
#include "platform/temp_folders.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"

namespace rw::cli {
namespace {

using test::backend;

struct Output {
    int status = -1;
    std::string out, err;
};

DbCommandOptions onSample() {
    DbCommandOptions o;
    o.connection.dsn = "rw_sqlite";
    return o;
}

TEST(CliLive, TablesAndFieldsPrintWhatThePagesWouldHold) {
    ASSERT_TRUE(backend("SQLite").failure.empty()) << backend("SQLite").failure;
    db::OdbcDataAccess access;
    std::ostringstream out, err;
    EXPECT_EQ(runTablesCommand(access, onSample(), out, err), kExitSuccess) << err.str();
    EXPECT_EQ(out.str(),
              "Customers\nEmployees\nshippers\nProducts\nOrders\nOrder Details\nOrder_Details\nUSERS\nUSER_\n");

    DbCommandOptions o = onSample();
    o.tables = {"shippers"};
    o.detectKeys = true;
    std::ostringstream fields;
    EXPECT_EQ(runFieldsCommand(access, o, fields, err), kExitSuccess) << err.str();
    EXPECT_EQ(fields.str(),
              "shippers\tShipperID\tTrue\tTrue\t3\tTrue\n"
              "shippers\tCompanyName\tFalse\tFalse\t129\tFalse\n"
              "shippers\tPhone\tFalse\tFalse\t129\tTrue\n");
    EXPECT_EQ(err.str(), "");

    std::ostringstream sources;
    EXPECT_EQ(runSourcesCommand(access, sources, err), kExitSuccess);
    EXPECT_EQ(sources.str(),
              "rw_sqlite\tSQLite3\nrw_pg\tPostgreSQL Unicode\nrw_mariadb\tMariaDB Unicode\nrw_broken\tSQLite\n");
}

TEST(CliLive, AFailureToConnectIsShownAsThePageWouldShowIt) {
    db::OdbcDataAccess access;
    DbCommandOptions o;
    o.connection.dsn = "no_such_source";
    std::ostringstream out, err;
    EXPECT_EQ(runTablesCommand(access, o, out, err), kExitErrorsShown);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(),
              "Error: -2147467259\nSource: ODBC SQLDriverConnect (frmConnection.cmdNext_Click)\n\nDescription: "
              "[unixODBC][Driver Manager]Data source name not found and no default driver specified (SQLSTATE "
              "IM002)\n");

    o.connection.dsn = " ";
    std::ostringstream err2;
    EXPECT_EQ(runFieldsCommand(access, o, out, err2), kExitErrorsShown);
    EXPECT_EQ(err2.str(),
              "You have chosen to use a DSN connection but have not chosen one.  Rowwright can not continue until "
              "you do.\n");
}

struct ToolRun {
    MemoryFileSystem fs;
    MemoryTempFolders temp{fs};
    ToolRun() { fs.createDirectories("/tmp"); }
    Output generate(const std::string& answers, bool detectKeys) {
        fs.put("/answers.json", answers);
        GenerateOptions options;
        options.answersPath = "/answers.json";
        options.now = "2026-12-05T08:17:21";
        options.detectKeys = detectKeys;
        std::ostringstream out, err;
        std::istringstream in;
        Output o;
        o.status = runGenerateCommand(options, out, err, fs, in, false, &temp);
        o.out = out.str();
        o.err = err.str();
        return o;
    }
};

TEST(CliLive, ASnapshotRegeneratesTheLiveRunsFiles) {
    ASSERT_TRUE(backend("SQLite").failure.empty()) << backend("SQLite").failure;
    const std::string live = R"({"target": {"mode": "new", "kind": "OleDll", "name": "Orders", "store": "/out"},
        "connection": {"kind": "dsn", "dsn": "rw_sqlite"},
        "tables": ["Orders", "Order Details", "shippers"],
        "marks": {"Orders.CustomerID": {"primary": true}}})";

    ToolRun liveRun;
    const Output a = liveRun.generate(live, true);
    ASSERT_EQ(a.status, kExitSuccess) << a.err;

    ToolRun snapRun;
    snapRun.fs.put("/base.json", live);
    DbCommandOptions o;
    o.answersPath = "/base.json";
    o.detectKeys = true;
    std::ostringstream snapshot, err;
    db::OdbcDataAccess access;
    ASSERT_EQ(runSnapshotCommand(access, o, snapRun.fs, snapshot, err), kExitSuccess) << err.str();
    EXPECT_NE(snapshot.str().find(R"("dbmsName": "SQLite")"), std::string::npos);
    EXPECT_NE(snapshot.str().find(R"("dataSourceName": "rw_sqlite")"), std::string::npos);
    const Output b = snapRun.generate(snapshot.str(), false);
    ASSERT_EQ(b.status, kExitSuccess) << b.err;

    EXPECT_EQ(a.out, b.out);
    auto output = [](const MemoryFileSystem& fs) {
        std::map<std::string, std::string> out;
        for (const auto& [path, bytes] : fs.files())
            if (path.rfind("/out/", 0) == 0) out[path] = bytes;
        return out;
    };
    EXPECT_EQ(output(liveRun.fs).size(), 9u);  // three tables: six classes, the project, two modules
    EXPECT_TRUE(output(liveRun.fs) == output(snapRun.fs));
    // The mark and the detected keys are in the generated Update.
    EXPECT_NE(liveRun.fs.readAll("/out/clsOrders.cls").find("AND CustomerID = '"), std::string::npos);
    EXPECT_NE(liveRun.fs.readAll("/out/clsOrderDetails.cls").find("AND ProductID = "), std::string::npos);
}

TEST(CliLive, TheReadmeCommandsProjectOpensInTheDevelopmentEnvironment) {
    ASSERT_TRUE(backend("SQLite").failure.empty()) << backend("SQLite").failure;
    // A working folder laid out as the repository's: the answers file names
    // build/examples/orders.db, and the store folder is given relative to it.
    const std::string work = test::odbcFolder() + "/readme";
    std::filesystem::create_directories(work + "/build/examples");
    std::filesystem::copy_file(RW_SAMPLE_DB, work + "/build/examples/orders.db",
                               std::filesystem::copy_options::overwrite_existing);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work);
    GenerateOptions options;
    options.answersPath = RW_EXAMPLES_DIR "/orders-sqlite.json";
    options.store = "out/sqlite";
    options.workingFolder = work;
    options.detectKeys = options.yes = true;
    std::ostringstream out, err;
    std::istringstream in;
    PosixFileSystem fs;
    const int status = runGenerateCommand(options, out, err, fs, in, false);
    std::filesystem::current_path(before);
    ASSERT_EQ(status, kExitSuccess) << err.str();
    EXPECT_NE(out.str().find("Files stored in: \n" + work + "/out/sqlite\n"), std::string::npos) << out.str();

    ide::Environment environment(fs);
    ide::Project* project = nullptr;
    try {
        project = &environment.loadProject(work + "/out/sqlite/Orders.vbp");
    } catch (const RuntimeError& e) {
        FAIL() << e.description;
    }
    EXPECT_EQ(project->vbComponents().count(), 14);  // six tables' classes, the connection class, the module
    for (const auto& component : project->vbComponents())
        EXPECT_EQ(component->fileName().rfind(work + "/out/sqlite/", 0), 0u) << component->fileName();
}

TEST(CliLive, ALiveRunThatCannotConnectWritesNothing) {
    ToolRun r;
    const Output o = r.generate(R"({"target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/out"},
        "connection": {"kind": "string", "string": "Driver=SQLite3;Database=/nonexistent/x.db"}})",
                                false);
    EXPECT_EQ(o.status, kExitErrorsShown);
    EXPECT_NE(o.err.find("The SQLite database \"/nonexistent/x.db\" does not exist"), std::string::npos) << o.err;
    EXPECT_FALSE(r.fs.isDirectory("/out"));
}

}  // namespace
}  // namespace rw::cli
