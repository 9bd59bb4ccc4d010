// The command-line tool on a real disk: project files that are not what
// they seem, a user without the rights, a file-size limit, a full disk,
// earlier output; a signal in the middle of a large run, and a second run
// into a folder the first one holds.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/temp_folders.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"

extern char** environ;

namespace rw {
namespace {

namespace fsys = std::filesystem;
using namespace std::string_literals;

PosixFileSystem disk;

std::string bytesOf(const std::string& path) { return disk.readAll(path); }

void putBytes(const std::string& path, const std::string& bytes) { test::writeBytes(disk, path, bytes); }

// The names in `folder` that hold `part`.
std::set<std::string> namesIn(const std::string& folder, const std::string& part = "") {
    std::set<std::string> names;
    if (fsys::is_directory(folder))
        for (const auto& entry : fsys::directory_iterator(folder))
            if (entry.path().filename().string().find(part) != std::string::npos)
                names.insert(entry.path().filename().string());
    return names;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

struct ToolRun {
    int status = -1;
    std::string out, err;
    std::vector<std::string> listed;  // the files the tool says it wrote, under the run's gen/
};

// Runs `rowwright generate` in `dir` with the answers file a.json, behind
// `prefix` (another user, a limit).
ToolRun runTool(const std::string& dir, const std::string& prefix, const std::string& args = "") {
    const std::string command = "cd '" + dir + "' && " + prefix + " '" RW_TOOL_PATH "' generate --answers a.json " +
                                "--now 2026-12-05T08:17:21 " + args + " >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = bytesOf(dir + "/out.txt"), run.err = bytesOf(dir + "/err.txt");
    std::istringstream lines(run.out + run.err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(dir + "/gen/", 0) == 0) run.listed.push_back(line.substr(dir.size() + 5));
    return run;
}

const std::string kProject = "Type=Exe\r\nName=\"P\"\r\n";
const std::string kRows = R"(,
  "connection": {"kind": "dsn", "dsn": "Northwind"},
  "rows": [{"table": "Orders", "field": "OrderID", "primary": true, "auto": true, "dataType": 3},
           {"table": "Orders", "field": "Note", "dataType": 202, "nullable": true}],
  "dbmsName": "Microsoft SQL Server"})";
const std::string kNew = R"({"target": {"mode": "new", "kind": "OleDll", "name": "Orders", "store": "gen"})" + kRows;
const std::string kNewDeep = R"({"target": {"mode": "new", "kind": "OleDll", "name": "Orders", "store": "gen/sub"})" + kRows;
const std::string kExisting = R"({"target": {"mode": "existing", "project": "P.vbp", "store": "gen"})" + kRows;
const std::string kLoaded = R"({"target": {"mode": "loaded", "project": "L.vbp"})" + kRows;
const char* kOtherUser = "setpriv --reuid=65534 --regid=65534 --clear-groups";

// Unmounts what the test mounted, on every way out.
struct Mounted {
    std::string at;
    ~Mounted() { at.empty() || ::umount(at.c_str()); }
};

// What a case left in `dir` (shown as <dir>): the exit status, the
// messages, the files the tool listed, and each file: a link's target, a
// file with a second name, one of gen/ as the run without limits wrote it,
// the project file's mode, owner and group and whether it holds the new text.
std::string outcome(const std::string& dir, const ToolRun& run) {
    std::string text = "status " + std::to_string(run.status) + "\n" + run.err;
    for (const std::string& name : run.listed) text += "listed " + name + "\n";
    std::set<fsys::path> paths;
    for (const auto& entry : fsys::recursive_directory_iterator(dir)) paths.insert(entry.path());
    for (const fsys::path& entry : paths) {
        const std::string path = entry.string(), name = path.substr(dir.size() + 1),
                          ref = dir + "/ref/" + entry.filename().string();
        if (name.starts_with("ref") || name == "a.json" || name == "out.txt" || name == "err.txt") continue;
        const struct stat st = statOf(path);
        const std::string bytes = S_ISREG(st.st_mode) ? bytesOf(path) : "";
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", st.st_mode & 07777);
        text += name + (S_ISLNK(st.st_mode) ? " -> " + fsys::read_symlink(path).string() : "") +
                (S_ISFIFO(st.st_mode) ? " (a pipe)" : "") + (S_ISREG(st.st_mode) && st.st_nlink > 1 ? ", 2 names" : "");
        if (name.starts_with("gen/") && fsys::exists(ref) && bytes == bytesOf(ref))
            text += ", as without limits";
        else if (bytes.find("\r\nClass=clsOrders; ") != std::string::npos)
            text += ", lists clsOrders";
        else if (S_ISREG(st.st_mode))
            text += ", " + std::to_string(bytes.size()) + " bytes";
        if (name == "P.vbp" && S_ISREG(st.st_mode))
            text += std::string(", mode ") + mode + ", owner " +
                    (st.st_uid == ::geteuid() ? "me" : std::to_string(st.st_uid)) + ", group " +
                    (st.st_gid == ::getegid() ? "mine" : std::to_string(st.st_gid));
        text += "\n";
    }
    for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "<dir>");
    return text;
}

// Each case's outcome goes to a transcript; those that only root can make
// (owners, another user, a mount) to a second one, compared when root.
TEST(CliDisk, FilesAreWrittenCompletelyOrReportedAndNeverListed) {
    const std::string dir = SystemTempFolders().makePrivateFolder(), vbp = dir + "/P.vbp";
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);  // open to the other user
    // What a run without limits writes, to tell complete files from partial ones.
    putBytes(dir + "/a.json", kNew);
    ASSERT_EQ(runTool(dir, "").status, 0);
    fsys::rename(dir + "/gen", dir + "/ref");
    const bool root = ::geteuid() == 0;
    // P.vbp holds `bytes` with `mode` and, as root only, owner `uid` and group `gid` (0: as made).
    const auto projectFile = [&](std::string bytes, mode_t mode, uid_t uid = 0, gid_t gid = 0) {
        return [&, bytes, mode, uid, gid](Mounted&) {
            putBytes(vbp, bytes);
            if (root && ::chown(vbp.c_str(), uid, gid) != 0) return false;
            return (root || (uid == 0 && gid == 0)) && ::chmod(vbp.c_str(), mode) == 0;
        };
    };
    const auto storeIsAFile = [&](Mounted&) { return putBytes(dir + "/gen", "x"), true; };
    const std::string binary = "Type=Exe\r\n\0\x01\x02"s, noType = "Name=\"P\"\r\nType =Exe\r\n";

    struct Case {
        const char* name;
        const std::string& answers;
        // Makes the case in `dir`; false when it cannot be made here.
        std::function<bool(Mounted&)> prepare;
        const char *prefix = "", *args = "";
        bool rootOnly = false;
        // Stopped part way: the files listed are complete, the one that failed is named.
        bool partial = false;
    };
    const std::vector<Case> cases = {
        {"binary", kExisting, projectFile(binary, 0644)},
        {"no Type line", kExisting, projectFile(noType, 0644)},
        {"read-only (even to root)", kExisting, projectFile(kProject, 0444)},
        {"read-only, for a new project", kNew, [&](Mounted&) {
             return putBytes(dir + "/gen/Orders.vbp", kProject), ::chmod((dir + "/gen/Orders.vbp").c_str(), 0444) == 0;
         }, "", "--yes"},
        {"a pipe", kExisting, [&](Mounted&) { return ::mkfifo(vbp.c_str(), 0644) == 0; }},
        {"a user who may not write the project file", kExisting, projectFile(kProject, 0644), kOtherUser, "", true},
        {"set-group-id and sticky", kExisting, projectFile(kProject, 03664)},
        {"mode 0640, another group", kExisting, projectFile(kProject, 0640, 0, 65534), "", "", true},
        {"another owner", kExisting, projectFile(kProject, 0664, 65534, 65534), "", "", true},
        {"a user who may write it but not give it its owner", kExisting, projectFile(kProject, 0666), kOtherUser, "", true},
        {"symbolic link", kExisting,
         [&](Mounted&) { return putBytes(dir + "/real/R.vbp", kProject), fsys::create_symlink("real/R.vbp", vbp), true; }},
        {"link planted at the temporary name", kExisting, [&](Mounted& m) {
             putBytes(dir + "/victim", "keep"), fsys::create_symlink("victim", dir + "/.P.vbp.rwnew");
             return fsys::create_symlink("gone", dir + "/.P.vbp.rwnew1"), projectFile(kProject, 0644)(m);
         }},
        {"a file-size limit", kNew, [](Mounted&) { return true; }, "prlimit --fsize=8000 --", "", false, true},
        {"a full disk", kNew, [&](Mounted& m) {
             fsys::create_directory(dir + "/gen");
             if (!root || ::mount("tmpfs", (dir + "/gen").c_str(), "tmpfs", 0, "size=16k") != 0) return false;
             return m.at = dir + "/gen", true;
         }, "", "", true, true},
        // Longer earlier files, one of them with a second name, which is
        // rewritten in place.
        {"earlier output longer than the new", kNew, [&](Mounted&) {
             putBytes(dir + "/gen/Orders.vbp", std::string(20000, 'y'));
             putBytes(dir + "/gen/clsOrders.cls", std::string(100000, 'x'));
             return fsys::create_hard_link(dir + "/gen/Orders.vbp", dir + "/gen/Other.vbp"), true;
         }, "", "--yes"},
        // Not earlier output: no question, and the class file cannot be made.
        {"a folder where a class file goes", kNew,
         [&](Mounted&) { return fsys::create_directories(dir + "/gen/clsOrders.cls"); }},
        {"a store that is a file", kNew, storeIsAFile},
        {"a store in a file", kNewDeep, storeIsAFile},
        {"a loaded project whose class file was longer", kLoaded, [&](Mounted&) {
             putBytes(dir + "/L.vbp", "Type=OleDll\r\nClass=clsOrders; clsOrders.cls\r\nName=\"L\"\r\n");
             std::string old;
             for (int k = 0; k < 5000; ++k) old += "' old line\r\n";
             test::writeClassFile(disk, dir + "/clsOrders.cls", "clsOrders", old);
             return fsys::create_hard_link(dir + "/clsOrders.cls", dir + "/link.cls"), true;
         }},
    };
    std::string log, rootLog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& name : namesIn(dir))
            if (name != "ref") fsys::remove_all(dir + "/" + name);
        putBytes(dir + "/a.json", c.answers);
        Mounted mounted;
        if ((c.prefix == kOtherUser && !root) || !c.prepare(mounted)) continue;
        const std::set<std::string> before = namesIn(dir, ".rwnew");
        const ToolRun run = runTool(dir, c.prefix, c.args);
        std::string& out = c.rootOnly ? rootLog : log;
        out += "== " + std::string(c.name) + "\n";
        if (c.partial) {
            out += "status " + std::to_string(run.status) + "\n";
            const std::set<std::string> listed(run.listed.begin(), run.listed.end());
            for (const std::string& name : listed)
                EXPECT_EQ(bytesOf(dir + "/gen/" + name), bytesOf(dir + "/ref/" + name)) << name;
            EXPECT_LT(listed.size(), namesIn(dir + "/ref").size()) << "some file should have failed";
            EXPECT_NE(run.err.find("Description: Disk full\nFile: " + dir + "/gen/"), std::string::npos) << run.err;
        } else
            out += outcome(dir, run);
        EXPECT_EQ(namesIn(dir, ".rwnew"), before);  // no temporary file is left
        EXPECT_EQ(namesIn(dir + "/gen", ".rwnew"), std::set<std::string>{});
    }
    test::expectGolden("disk_runs.txt", log);
    if (root) test::expectGolden("disk_runs_as_root.txt", rootLog);
    fsys::remove_all(dir);
}

// Until it takes the old file's place, the new text is its writer's alone;
// each staging folder is new and its user's alone.
TEST(FileOnDisk, NewTextsAndStagingFoldersArePrivate) {
    const std::string dir = SystemTempFolders().makePrivateFolder(), inner = SystemTempFolders(dir).makePrivateFolder();
    putBytes(dir + "/P.vbp", kProject);
    TempFile temp = disk.createTempBeside(dir + "/P.vbp");
    temp.sink->close();
    EXPECT_EQ(statOf(temp.path).st_mode & 0777, 0600u);
    EXPECT_EQ(statOf(dir).st_mode & 0777, 0700u);
    EXPECT_EQ(inner.rfind(dir + "/rowwright-", 0), 0u);
    EXPECT_NE(inner, SystemTempFolders(dir).makePrivateFolder());
    fsys::remove_all(dir);
}

// A pipe (answers given as `<(...)`) has no size to read up to: it is read
// to its end. (The text fits in the pipe, so it is written first.)
TEST(FileOnDisk, APipeIsReadToItsEnd) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string text(60000, 'x');
    ASSERT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(ends[1]);
    EXPECT_EQ(bytesOf("/proc/self/fd/" + std::to_string(ends[0])), text);
    ::close(ends[0]);
}

// ---- the tool as a process ----------------------------------------------

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
