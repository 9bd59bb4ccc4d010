// Files on a real disk: project files that are not what they seem, and the
// command-line tool itself with a user without the rights, a file-size
// limit, a full disk, earlier output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "run/project_file.h"
#include "platform/file_system.h"
#include "platform/runtime_error.h"
#include "platform/temp_folders.h"
#include "support/sample_vb_project.h"

namespace rw {
namespace {

namespace fsys = std::filesystem;
using namespace std::string_literals;

PosixFileSystem disk;

std::string bytesOf(const std::string& path) { return disk.readAll(path); }

void putBytes(const std::string& path, const std::string& bytes) { test::writeBytes(disk, path, bytes); }

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fsys::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

const std::string kProject = "Type=Exe\r\nName=\"P\"\r\n";

// Each row's P.vbp holds `bytes`, is given `mode` (0: as made) and, as
// root only, the owner and group `owner` (-1: as made); `prepare` makes the
// rest of the case in its folder. A refused file keeps its bytes; a replaced
// one keeps its mode and owner, and `check` looks at what else it kept.
TEST(ProjectFileOnDisk, RefusedOrReplacedKeepingWhatTheFileIs) {
    struct Case {
        const char* name;
        std::string bytes;
        mode_t mode;
        int owner;
        bool refused, newProject = false;
        std::function<void(const std::string& dir)> prepare = nullptr, check = nullptr;
    };
    const std::vector<Case> cases = {
        {"binary", "Type=Exe\r\n\0\x01\x02"s, 0, -1, true},
        {"UTF-16", "\xFF\xFET\0y\0p\0e\0=\0E\0x\0e\0\r\0\n\0"s, 0, -1, true},
        {"empty", "", 0, -1, true},
        {"no Type line", "Name=\"P\"\r\nType =Exe\r\n", 0, -1, true},
        {"read-only (even to root)", kProject, 0444, -1, true},
        {"read-only, for a new project", kProject, 0444, -1, true, true},
        {"a pipe", "", 0, -1, true, false,
         [](const std::string& d) {
             fsys::remove(d + "/P.vbp");
             ASSERT_EQ(::mkfifo((d + "/P.vbp").c_str(), 0644), 0);
         }},
        {"mode 0600", kProject, 0600, -1, false},
        {"set-group-id and sticky", kProject, 03664, -1, false},
        {"mode 0640, another group", kProject, 0640, 0, false},
        {"another owner", kProject, 0664, 65534, false},
        {"symbolic link", kProject, 0, -1, false, false,
         [](const std::string& d) {
             fsys::create_directory(d + "/real");
             fsys::rename(d + "/P.vbp", d + "/real/R.vbp");
             fsys::create_symlink("real/R.vbp", d + "/P.vbp");
         },
         [](const std::string& d) {
             EXPECT_TRUE(fsys::is_symlink(d + "/P.vbp"));
             EXPECT_EQ(namesIn(d + "/real"), std::set<std::string>{"R.vbp"});
         }},
        {"hard link", kProject, 0, -1, false, false,
         [](const std::string& d) { fsys::create_hard_link(d + "/P.vbp", d + "/H.vbp"); },
         [](const std::string& d) {
             EXPECT_EQ(statOf(d + "/P.vbp").st_ino, statOf(d + "/H.vbp").st_ino);
             EXPECT_EQ(bytesOf(d + "/H.vbp"), bytesOf(d + "/P.vbp"));
         }},
        {"link planted at the temporary name", kProject, 0, -1, false, false,
         [](const std::string& d) {
             putBytes(d + "/victim", "keep");
             fsys::create_symlink("victim", d + "/.P.vbp.rwnew");
             fsys::create_symlink("gone", d + "/.P.vbp.rwnew1");
         },
         [](const std::string& d) {
             EXPECT_EQ(bytesOf(d + "/victim"), "keep");
             EXPECT_FALSE(fsys::exists(d + "/gone"));
             EXPECT_TRUE(fsys::is_regular_file(fsys::symlink_status(d + "/P.vbp")));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.owner >= 0 && ::geteuid() != 0) continue;
        const std::string dir = SystemTempFolders().makePrivateFolder();
        const std::string vbp = dir + "/P.vbp";
        putBytes(vbp, c.bytes);
        const uid_t uid = c.owner >= 0 ? static_cast<uid_t>(c.owner) : ::geteuid();
        const gid_t gid = c.owner >= 0 ? 65534 : ::getegid();
        if (c.owner >= 0) ASSERT_EQ(::chown(vbp.c_str(), uid, gid), 0);
        if (c.mode) ASSERT_EQ(::chmod(vbp.c_str(), c.mode), 0);
        if (c.prepare) c.prepare(dir);
        const std::set<std::string> before = namesIn(dir);
        FileTable files(disk);
        GenerationSettings s;
        s.mbExistingProject = !c.newProject;
        s.mbErrorHandler = true;
        s.msStoreDir = "/out";
        s.msProjectFile = vbp;
        ProjectFileWriter writer(files, s);
        try {
            if (c.newProject) writer.create();
            else writer.extend();
            writer.appendTable("Orders");
            writer.close();
            ASSERT_FALSE(c.refused) << "should be refused";
            if (c.check) c.check(dir);
            if (c.mode) {
                const struct stat st = statOf(vbp);
                EXPECT_EQ(st.st_mode & 07777, c.mode);
                EXPECT_EQ(st.st_uid, uid);
                EXPECT_EQ(st.st_gid, gid);
            }
            EXPECT_EQ(bytesOf(vbp), kProject + "Module=modRowwrightErrHndlr; /out/modRowwrightErrHndlr.bas\r\n"
                                               "Class=clsRwtConn; /out/clsRwtConn.cls\r\nClass=clsOrders; "
                                               "/out/clsOrders.cls\r\nClass=clsOrdersColl; /out/clsOrdersColl.cls\r\n");
        } catch (const RuntimeError& e) {
            EXPECT_TRUE(c.refused) << e.description;
            EXPECT_EQ(e.number, kErrPathFileAccess);
            EXPECT_EQ(e.subject.path, vbp);
            if (fsys::is_regular_file(vbp)) EXPECT_EQ(bytesOf(vbp), c.bytes);
        }
        EXPECT_EQ(namesIn(dir), before);  // no temporary file or backup left
        fsys::remove_all(dir);
    }
    // Until it takes the old file's place, the new text is its writer's alone.
    const std::string dir = SystemTempFolders().makePrivateFolder();
    putBytes(dir + "/P.vbp", kProject);
    TempFile temp = disk.createTempBeside(dir + "/P.vbp");
    temp.sink->close();
    EXPECT_EQ(statOf(temp.path).st_mode & 0777, 0600u);
    fsys::remove_all(dir);
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
    run.out = bytesOf(dir + "/out.txt");
    run.err = bytesOf(dir + "/err.txt");
    std::istringstream lines(run.out + run.err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(dir + "/gen/", 0) == 0) run.listed.push_back(line.substr(dir.size() + 5));
    return run;
}

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
    ~Mounted() {
        if (!at.empty()) ::umount(at.c_str());
    }
};

TEST(CliDisk, FilesAreWrittenCompletelyOrReportedAndNeverListed) {
    const std::string dir = SystemTempFolders().makePrivateFolder();
    // What a run without limits writes, to tell complete files from partial ones.
    putBytes(dir + "/a.json", kNew);
    ASSERT_EQ(runTool(dir, "").status, 0);
    fsys::rename(dir + "/gen", dir + "/ref");
    const auto expectComplete = [&](const ToolRun& run) {
        const std::set<std::string> listed(run.listed.begin(), run.listed.end());
        for (const std::string& name : listed)
            EXPECT_EQ(bytesOf(dir + "/gen/" + name), bytesOf(dir + "/ref/" + name)) << name;
        EXPECT_LT(listed.size(), namesIn(dir + "/ref").size()) << "some file should have failed";
        EXPECT_NE(run.err.find("Description: Disk full\nFile: " + dir + "/gen/"), std::string::npos) << run.err;
        for (const std::string& name : namesIn(dir + "/gen")) EXPECT_EQ(name.find(".rwnew"), std::string::npos);
    };

    struct Case {
        const char* name;
        const std::string& answers;
        // Makes the case in `dir`; false when it cannot be made here.
        std::function<bool(Mounted&)> prepare;
        const char* prefix;
        const char* args;
        int status;
        std::function<void(const ToolRun&)> check;
    };
    const bool root = ::geteuid() == 0;
    const auto projectFile = [&](mode_t mode) {
        return [&, mode](Mounted&) {
            putBytes(dir + "/P.vbp", kProject);
            return root && ::chmod(dir.c_str(), 0777) == 0 && ::chmod((dir + "/P.vbp").c_str(), mode) == 0;
        };
    };
    const auto storeIsAFile = [&](Mounted&) {
        putBytes(dir + "/gen", "x");
        return true;
    };
    const std::vector<Case> cases = {
        {"a user who may not write the project file", kExisting, projectFile(0644), kOtherUser, "", 1,
         [&](const ToolRun& run) {
             EXPECT_NE(run.err.find("Error: 75\nSource: RwtAddIn (frmFields.cmdFinish_Click)\n\n"
                                    "Description: Path/File access error\nFile: " + dir + "/P.vbp\n"),
                       std::string::npos) << run.err;
             EXPECT_EQ(bytesOf(dir + "/P.vbp"), kProject);
             EXPECT_TRUE(run.listed.empty());
         }},
        {"a user who may write it but not give it its owner", kExisting, projectFile(0666), kOtherUser, "", 0,
         [&](const ToolRun& run) {
             const struct stat st = statOf(dir + "/P.vbp");
             EXPECT_EQ(st.st_uid, 0u);
             EXPECT_EQ(st.st_mode & 07777, 0666u);
             EXPECT_NE(bytesOf(dir + "/P.vbp").find("\r\nClass=clsOrders; "), std::string::npos);
             EXPECT_EQ(namesIn(dir), (std::set<std::string>{"P.vbp", "a.json", "err.txt", "gen", "out.txt", "ref"}));
             EXPECT_EQ(run.listed.size(), 4u);
         }},
        {"a file-size limit", kNew, [](Mounted&) { return true; }, "prlimit --fsize=8000 --", "", 1, expectComplete},
        {"a full disk", kNew,
         [&](Mounted& m) {
             fsys::create_directory(dir + "/gen");
             if (!root || ::mount("tmpfs", (dir + "/gen").c_str(), "tmpfs", 0, "size=16k") != 0) return false;
             m.at = dir + "/gen";
             return true;
         },
         "", "", 1, expectComplete},
        // Longer earlier files, one of them with a second name, which is
        // rewritten in place.
        {"earlier output longer than the new", kNew,
         [&](Mounted&) {
             fsys::create_directory(dir + "/gen");
             putBytes(dir + "/gen/Orders.vbp", std::string(20000, 'y'));
             fsys::create_hard_link(dir + "/gen/Orders.vbp", dir + "/gen/Other.vbp");
             putBytes(dir + "/gen/clsOrders.cls", std::string(100000, 'x'));
             return true;
         },
         "", "--yes", 0,
         [&](const ToolRun& run) {
             for (const char* name : {"Orders.vbp", "clsOrders.cls"})
                 EXPECT_EQ(bytesOf(dir + "/gen/" + name), bytesOf(dir + "/ref/" + name)) << name;
             EXPECT_EQ(run.err, "You are about to overwrite previously generated files.  Continue?\n"
                                "Answered Yes (--yes).\n");
         }},
        {"a store that is a file", kNew, storeIsAFile, "", "", 1,
         [&](const ToolRun& run) { EXPECT_EQ(run.err, "rowwright: the store folder \"" + dir + "/gen\" is not a folder\n"); }},
        {"a store in a file", kNewDeep, storeIsAFile, "", "", 1,
         [&](const ToolRun& run) {
             EXPECT_EQ(run.err, "rowwright: the store folder \"" + dir + "/gen/sub\" cannot be created: Path not found\n");
         }},
        {"a loaded project whose class file was longer", kLoaded,
         [&](Mounted&) {
             putBytes(dir + "/L.vbp", "Type=OleDll\r\nClass=clsOrders; clsOrders.cls\r\nName=\"L\"\r\n");
             std::string old;
             for (int k = 0; k < 5000; ++k) old += "' old line\r\n";
             test::writeClassFile(disk, dir + "/clsOrders.cls", "clsOrders", old);
             fsys::create_hard_link(dir + "/clsOrders.cls", dir + "/link.cls");
             return true;
         },
         "", "", 0,
         [&](const ToolRun&) {
             const std::string saved = bytesOf(dir + "/clsOrders.cls");
             EXPECT_EQ(saved.find("' old line"), std::string::npos);
             EXPECT_EQ(saved.substr(saved.size() - 14), "End Function\r\n");
             EXPECT_EQ(bytesOf(dir + "/link.cls"), saved);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fsys::remove_all(dir + "/gen");
        fsys::remove(dir + "/P.vbp");
        putBytes(dir + "/a.json", c.answers);
        Mounted mounted;
        if (!c.prepare(mounted)) continue;
        const ToolRun run = runTool(dir, c.prefix, c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        c.check(run);
    }
    fsys::remove_all(dir);
}

}  // namespace
}  // namespace rw
