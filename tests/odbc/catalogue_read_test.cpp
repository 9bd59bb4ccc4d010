// A whole-catalogue read through the real SQLite driver: what a large load
// does to the database file and to names longer than a read buffer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/field_loader.h"
#include "odbc/odbc_setup.h"
#include "platform/db/odbc.h"

namespace rw {
namespace {

class SqliteCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        if (!backend("SQLite").failure.empty()) GTEST_FAIL() << backend("SQLite").failure;
        file_ = std::filesystem::path(test::odbcFolder()) / "catalogue.db";
        std::filesystem::remove(file_);
        std::ofstream(file_).close();  // an empty file is an empty database
        eager_.prefetchColumnsFrom = 1;
    }
    static const test::Backend& backend(const std::string& name) { return test::backend(name); }

    std::unique_ptr<DataConnection> open(db::OdbcDataAccess& access) const {
        return access.open("Driver=SQLite3;Database=" + file_.string(), "", "");
    }

    std::filesystem::path file_;
    db::OdbcOptions eager_;
};

TEST_F(SqliteCatalogue, ALoadLeavesNoLockAndReadsNamesLongerThanABuffer) {
    db::OdbcDataAccess access(eager_);
    std::unique_ptr<DataConnection> reader = open(access);
    std::unique_ptr<DataConnection> writer = open(access);
    const std::string longTable(1500, 't');
    const std::string longColumn(3000, 'c');
    writer->execute("CREATE TABLE short (id INTEGER PRIMARY KEY, name TEXT)");
    writer->execute("CREATE TABLE \"" + longTable + "\" (\"" + longColumn + "\" INTEGER PRIMARY KEY, b TEXT)");

    FieldGrid grid;
    loadFieldRows(*reader, {"short", longTable}, grid, FieldLoadOptions{true});
    ASSERT_EQ(grid.rowCount(), 4u);
    EXPECT_EQ(grid.row(2).table, longTable);
    EXPECT_EQ(grid.row(2).field, longColumn);
    EXPECT_TRUE(grid.row(2).primary && grid.row(2).autoNumber);
    EXPECT_EQ(grid.row(3).field, "b");

    // The reader's catalogue pass is over: another connection may write.
    EXPECT_NO_THROW(writer->execute("CREATE TABLE later (x INTEGER)"));
}

}  // namespace
}  // namespace rw
