// Files on a real disk, written by the command-line tool: project files that
// are not what they seem, a user without the rights, a file-size limit, a
// full disk, earlier output.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/temp_folders.h"
#include "support/golden.h"
#include "support/sample_vb_project.h"

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

}  // namespace
}  // namespace rw
