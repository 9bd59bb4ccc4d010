// The command-line tool on a live database: the listing commands, the live mode of generate, and a snapshot that
// regenerates the same files offline.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/db_commands.h"
#include "odbc/odbc_setup.h"
#include "platform/db/odbc.h"
#include "platform/ide/environment.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"

namespace rw::cli {
namespace {

class CliLive : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::backend("SQLite").failure.empty()) << test::backend("SQLite").failure; }

    // A generate run on a file system in memory: its status, and what it printed.
    std::pair<int, std::string> generate(MemoryFileSystem& fs, const std::string& answers, bool detectKeys) {
        MemoryTempFolders temp{fs};
        fs.createDirectories("/tmp");
        fs.put("/answers.json", answers);
        GenerateOptions options{.answersPath = "/answers.json", .detectKeys = detectKeys, .now = "2026-12-05T08:17:21"};
        std::ostringstream out;
        std::istringstream in;
        const int status = runGenerateCommand(options, out, out, fs, in, false, &temp);
        return {status, out.str()};
    }

    db::OdbcDataAccess access_;
    std::ostringstream out_, err_;
};

// The listing commands print what the pages would hold; a failure to connect is shown as the page would show it.
TEST_F(CliLive, TheListingCommandsAsThePagesWouldShowThem) {
    const DbCommandOptions o{.connection = {.dsn = "rw_sqlite"}, .tables = {"shippers"}, .detectKeys = true};
    EXPECT_EQ(runTablesCommand(access_, o, out_, err_), kExitSuccess);
    EXPECT_EQ(runFieldsCommand(access_, o, out_, err_), kExitSuccess);
    EXPECT_EQ(runSourcesCommand(access_, out_, err_), kExitSuccess);
    EXPECT_EQ(runTablesCommand(access_, {.connection = {.dsn = "no_such_source"}}, out_, err_), kExitErrorsShown);
    EXPECT_EQ(runFieldsCommand(access_, {.connection = {.dsn = " "}}, out_, err_), kExitErrorsShown);
    EXPECT_EQ(out_.str(),
              "Customers\nEmployees\nshippers\nProducts\nOrders\nOrder Details\nOrder_Details\nUSERS\nUSER_\n"
              "shippers\tShipperID\tTrue\tTrue\t3\tTrue\nshippers\tCompanyName\tFalse\tFalse\t129\tFalse\n"
              "shippers\tPhone\tFalse\tFalse\t129\tTrue\n"
              "rw_sqlite\tSQLite3\nrw_pg\tPostgreSQL Unicode\nrw_mariadb\tMariaDB Unicode\nrw_broken\tSQLite\n");
    EXPECT_EQ(err_.str(),
              "Error: -2147467259\nSource: ODBC SQLDriverConnect (frmConnection.cmdNext_Click)\n\nDescription: "
              "[unixODBC][Driver Manager]Data source name not found and no default driver specified (SQLSTATE "
              "IM002)\nYou have chosen to use a DSN connection but have not chosen one.  Rowwright can not continue "
              "until you do.\n");
    // A live run that cannot connect writes nothing.
    MemoryFileSystem fs;
    const auto [status, printed] = generate(fs, R"({"target": {"mode": "new", "kind": "Exe", "name": "P", "store": "/out"},
        "connection": {"kind": "string", "string": "Driver=SQLite3;Database=/nonexistent/x.db"}})", false);
    EXPECT_EQ(status, kExitErrorsShown);
    EXPECT_NE(printed.find("The SQLite database \"/nonexistent/x.db\" does not exist"), std::string::npos) << printed;
    EXPECT_FALSE(fs.isDirectory("/out"));
}

TEST_F(CliLive, ASnapshotRegeneratesTheLiveRunsFiles) {
    const std::string live = R"({"target": {"mode": "new", "kind": "OleDll", "name": "Orders", "store": "/out"},
        "connection": {"kind": "dsn", "dsn": "rw_sqlite"}, "tables": ["Orders", "Order Details", "shippers"],
        "marks": {"Orders.CustomerID": {"primary": true}}})";
    MemoryFileSystem liveFs, snapFs;
    const auto a = generate(liveFs, live, true);
    ASSERT_EQ(a.first, kExitSuccess) << a.second;
    snapFs.put("/base.json", live);
    ASSERT_EQ(runSnapshotCommand(access_, {.detectKeys = true, .answersPath = "/base.json"}, snapFs, out_, err_),
              kExitSuccess) << err_.str();
    EXPECT_NE(out_.str().find(R"("dbmsName": "SQLite")"), std::string::npos);
    EXPECT_NE(out_.str().find(R"("dataSourceName": "rw_sqlite")"), std::string::npos);
    const auto b = generate(snapFs, out_.str(), false);
    ASSERT_EQ(b.first, kExitSuccess) << b.second;
    EXPECT_EQ(a.second, b.second);
    auto output = [](const MemoryFileSystem& fs) {
        auto files = fs.files();
        std::erase_if(files, [](const auto& file) { return file.first.rfind("/out/", 0) != 0; });
        return files;
    };
    EXPECT_EQ(output(liveFs).size(), 9u);  // three tables: six classes, the project, two modules
    EXPECT_TRUE(output(liveFs) == output(snapFs));
    // The mark and the detected keys are in the generated Update.
    EXPECT_NE(liveFs.readAll("/out/clsOrders.cls").find("AND CustomerID = '"), std::string::npos);
    EXPECT_NE(liveFs.readAll("/out/clsOrderDetails.cls").find("AND ProductID = "), std::string::npos);
}

// A working folder laid out as the repository's: the answers file names build/examples/orders.db, and the store
// folder is given relative to it.
TEST_F(CliLive, TheReadmeCommandsProjectOpensInTheDevelopmentEnvironment) {
    const std::string work = test::odbcFolder() + "/readme";
    std::filesystem::create_directories(work + "/build/examples");
    std::filesystem::copy_file(RW_SAMPLE_DB, work + "/build/examples/orders.db");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work);
    GenerateOptions options{.answersPath = RW_EXAMPLES_DIR "/orders-sqlite.json", .detectKeys = true,
                            .store = "out/sqlite", .workingFolder = work, .yes = true};
    std::istringstream in;
    PosixFileSystem fs;
    const int status = runGenerateCommand(options, out_, err_, fs, in, false);
    std::filesystem::current_path(before);
    ASSERT_EQ(status, kExitSuccess) << err_.str();
    EXPECT_NE(out_.str().find("Files stored in: \n" + work + "/out/sqlite\n"), std::string::npos) << out_.str();
    ide::Environment environment(fs);
    ide::Project& project = environment.loadProject(work + "/out/sqlite/Orders.vbp");
    EXPECT_EQ(project.vbComponents().count(), 14);  // six tables' classes, the connection class, the module
    for (const auto& component : project.vbComponents())
        EXPECT_EQ(component->fileName().rfind(work + "/out/sqlite/", 0), 0u) << component->fileName();
}

}  // namespace
}  // namespace rw::cli
