// Every shipped offline example, generated as README runs it (fixed clock, every question answered Yes) and
// compared file by file with tests/golden/expected/examples/<name>/, so the examples cannot go stale.
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
    // The example files README copies first, and where; the components of the project written (0: not checked).
    const struct { std::string name, copied; int components; } cases[] = {
        {"orders-offline", "", 0}, {"orders-existing", "/w/out/existing/", 8}};
    PosixFileSystem disk;
    const std::string examples = RW_EXAMPLES_DIR;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        MemoryFileSystem fs;
        MemoryTempFolders temp{fs};
        if (!k.copied.empty()) {
            ide::Environment original(disk);
            ide::Project& p = original.loadProject(examples + "/Existing.vbp");
            fs.put(k.copied + "Existing.vbp", disk.readAll(p.fileName()));
            for (const auto& c : p.vbComponents())
                fs.put(k.copied + fsys::path(c->fileName()).filename().string(), disk.readAll(c->fileName()));
        }
        const auto before = fs.files();
        const GenerateOptions o{.answersPath = examples + "/" + k.name + ".json", .workingFolder = "/w",
                                .now = "2026-12-05T08:17:21", .yes = true, .reportPath = "/w/report.txt"};
        fs.put(o.answersPath, disk.readAll(o.answersPath));
        std::ostringstream out, err;
        std::istringstream in;
        ASSERT_EQ(runGenerateCommand(o, out, err, fs, in, false, &temp), kExitSuccess) << err.str();
        std::set<std::string> written, stored;
        for (const auto& [path, bytes] : fs.files()) {
            if (path.rfind("/w/", 0) != 0 || (before.count(path) && before.at(path) == bytes)) continue;
            written.insert(path.substr(3));
            test::expectGolden("examples/" + k.name + "/" + path.substr(3), bytes);
        }
        const fsys::path golden = fsys::path(RW_GOLDEN_DIR) / "examples" / k.name;
        for (const auto& e : fsys::recursive_directory_iterator(golden))
            if (e.is_regular_file()) stored.insert(fsys::relative(e.path(), golden).string());
        EXPECT_EQ(written, stored);
        if (k.components) {
            EXPECT_EQ(ide::Environment(fs).loadProject(k.copied + "Existing.vbp").vbComponents().count(), k.components);
        }
    }
}

}  // namespace
}  // namespace rw::cli
