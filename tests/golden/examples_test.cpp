// Every shipped offline example, generated as README runs it (fixed clock,
// every question answered Yes) and compared file by file with
// tests/golden/expected/examples/<name>/, so the examples cannot go stale.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "cli/generate_command.h"
#include "platform/ide/environment.h"
#include "support/golden.h"
#include "support/memory_file_system.h"
#include "support/memory_temp_folders.h"

namespace rw::cli {
namespace {

namespace fsys = std::filesystem;

TEST(Examples, EveryOfflineExampleWritesItsGoldenFiles) {
    const struct {
        const char* name;
        const char* copied;  // the example files README copies first, and where
        int components;      // of the project written, 0: not checked
    } cases[] = {{"orders-offline", "", 0}, {"orders-existing", "out/existing", 8}};
    PosixFileSystem disk;
    const std::string examples = RW_EXAMPLES_DIR;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        MemoryFileSystem fs;
        MemoryTempFolders temp{fs};
        const std::string work = "/w";
        if (*k.copied) {
            ide::Environment original(disk);
            ide::Project& p = original.loadProject(examples + "/Existing.vbp");
            fs.put(work + "/" + k.copied + "/Existing.vbp", disk.readAll(p.fileName()));
            for (const auto& c : p.vbComponents())
                fs.put(work + "/" + k.copied + "/" + fsys::path(c->fileName()).filename().string(),
                       disk.readAll(c->fileName()));
        }
        const auto before = fs.files();
        GenerateOptions o;
        o.answersPath = examples + "/" + k.name + ".json";
        fs.put(o.answersPath, disk.readAll(o.answersPath));
        o.workingFolder = work;
        o.now = "2026-12-05T08:17:21";
        o.yes = true;
        o.reportPath = work + "/report.txt";
        std::ostringstream out, err;
        std::istringstream in;
        ASSERT_EQ(runGenerateCommand(o, out, err, fs, in, false, &temp), kExitSuccess) << err.str();
        std::set<std::string> written, stored;
        for (const auto& [path, bytes] : fs.files()) {
            if (path.rfind(work + "/", 0) != 0 || (before.count(path) && before.at(path) == bytes)) continue;
            written.insert(path.substr(work.size() + 1));
            test::expectGolden("examples/" + std::string(k.name) + "/" + path.substr(work.size() + 1), bytes);
        }
        const fsys::path golden = fsys::path(RW_GOLDEN_DIR) / "examples" / k.name;
        for (const auto& e : fsys::recursive_directory_iterator(golden))
            if (e.is_regular_file()) stored.insert(fsys::relative(e.path(), golden).string());
        EXPECT_EQ(written, stored);
        if (k.components) {
            ide::Environment extended(fs);
            EXPECT_EQ(extended.loadProject(work + "/" + k.copied + "/Existing.vbp").vbComponents().count(),
                      k.components);
        }
    }
}

}  // namespace
}  // namespace rw::cli
