// The command-line tool as a process: a signal in the middle of a large run,
// and a second run into a folder the first one holds.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "platform/file_system.h"
#include "platform/temp_folders.h"
#include "support/sample_vb_project.h"

extern char** environ;

namespace rw {
namespace {

// Starts `rowwright generate` on an answers file, its standard error going
// to `errPath`.
pid_t startGenerate(const std::string& answers, const std::string& errPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const char* argv[] = {RW_TOOL_PATH, "generate", "--answers", answers.c_str(), "--now", "2026-12-05T08:17:21",
                          "--yes", nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, RW_TOOL_PATH, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int exitStatus(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An offline answers file of `tables` tables of two columns, T00001 ...
std::string answersOf(const std::string& target, int tables) {
    std::string rows;
    for (int i = 1; i <= tables; ++i) {
        const std::string t = "T" + std::string(5 - std::to_string(i).size(), '0') + std::to_string(i);
        rows += std::string(rows.empty() ? "" : ",") + R"({"table": ")" + t + R"(", "field": "ID", "primary": true, )" +
                R"("dataType": 3}, {"table": ")" + t + R"(", "field": "Name", "dataType": 130})";
    }
    return R"({"target": )" + target + R"(, "connection": {"kind": "dsn", "dsn": "D"}, "rows": [)" + rows +
           R"(], "dbmsName": "SQLite"})";
}

TEST(CliProcess, SignalEndsALargeRunKeepingOnlyCompleteFilesWhileItsLockRefusesASecondRun) {
    // SIGTERM's run extends the project file in the store, named another way
    // (so the folder is locked once); SIGINT's writes a new one over an earlier run's.
    for (const auto& [signal, name, existing] : {std::tuple{SIGINT, "SIGINT", false}, {SIGTERM, "SIGTERM", true}}) {
        PosixFileSystem fs;
        const std::string root = SystemTempFolders().makePrivateFolder(), store = root + "/out", vbp = store + "/Big.vbp";
        const std::string earlier = "Type=OleDll\r\nName=\"Big\"\r\nClass=clsOld; old.cls\r\n";
        test::writeBytes(fs, vbp, earlier);
        const std::string target =
            existing ? R"({"mode": "existing", "project": ")" + store + R"(/./Big.vbp", "store": ")" + store + "\"}"
                     : R"({"mode": "new", "kind": "OleDll", "name": "Big", "store": ")" + store + "\"}";
        test::writeBytes(fs, root + "/big.json", answersOf(target, 4000));
        test::writeBytes(fs, root + "/other.json",
                         answersOf(R"({"mode": "new", "kind": "Exe", "name": "Other", "store": ")" + store + "\"}", 1));
        const pid_t run = startGenerate(root + "/big.json", root + "/big.err");
        ASSERT_GT(run, 0);
        // Frozen once a few tables are written, the run holds its folders
        // while a second run tries them.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs.exists(store + "/clsT00004.cls") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ASSERT_EQ(kill(run, SIGSTOP), 0);
        EXPECT_EQ(exitStatus(startGenerate(root + "/other.json", root + "/other.err")), 1);
        const std::string otherErr = fs.readAll(root + "/other.err");
        EXPECT_NE(otherErr.find("Error: 70\nSource: RwtAddIn (frmFields.cmdFinish_Click)\n\nDescription: Permission "
                                "denied: another Rowwright run is using the folder \"" + store + "\"\n"),
                  std::string::npos) << otherErr;
        kill(run, signal), kill(run, SIGCONT);
        ASSERT_EQ(exitStatus(run), 128 + signal) << "the run ended before the signal";

        const std::string err = fs.readAll(root + "/big.err");
        const std::string list = "Files written completely:\n";
        ASSERT_NE(err.find(list), std::string::npos) << err;
        std::set<std::string> listed;
        for (std::size_t at = err.find(list) + list.size(); at < err.size(); at = err.find('\n', at) + 1)
            listed.insert(err.substr(at, err.find('\n', at) - at));
        const std::string question =
            existing ? "" : "You are about to overwrite previously generated files.  Continue?\nAnswered Yes (--yes).\n";
        EXPECT_EQ(err, question + "rowwright: interrupted by " + std::string(name) + ": " + std::to_string(listed.size()) +
                           " files were written completely (listed below); the table in progress and the "
                           "project file were not written\n" + err.substr(err.find(list)));
        // The earlier project file is as it was; the store holds the listed
        // files alone, each complete, two for every table.
        EXPECT_EQ(fs.readAll(vbp), earlier);
        std::set<std::string> inStore;
        for (const auto& entry : std::filesystem::directory_iterator(store))
            if (entry.path() != vbp) inStore.insert(entry.path().string());
        EXPECT_EQ(inStore, listed);
        for (const std::string& path : listed) {
            EXPECT_TRUE(fs.readAll(path).ends_with("\r\nEnd Function\r\n")) << path;
            const std::string base = path.substr(0, path.size() - (path.ends_with("Coll.cls") ? 8 : 4));
            EXPECT_TRUE(listed.count(base + ".cls") && listed.count(base + "Coll.cls")) << path;
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), {}), 5);  // out, two answers, two logs
        std::filesystem::remove_all(root);
    }
}

}  // namespace
}  // namespace rw
