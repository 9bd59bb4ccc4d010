#include <gtest/gtest.h>

#include "run/project_file.h"
#include "support/gen_fixture.h"
#include "support/golden.h"

namespace rw {
namespace {

using test::GenFixture;

const char* const kKeep = "Type=Exe\r\nName=\"Keep\"\r\n";

void useExisting(GenFixture& fx, const std::string& bytes) {
    fx.settings.mbStdExe = false, fx.settings.mbExistingProject = true, fx.settings.msProjectFile = "/proj/Existing.vbp";
    fx.fs.put("/proj/Existing.vbp", bytes);
}

// A new project file has its twelve lines in order (the error handler module
// whatever the option, a class line for every table, repeated names too); an
// existing one keeps its bytes and line ends, gains the support lines it
// lacks with full paths, keeps sections after the class lines, holds back an
// [RVB] line and skips classes it already lists. No temporary file stays.
TEST(ProjectFileTest, NewAndExtendedFilesHoldTheirLinesInOrder) {
    using F = GenFixture&;
    const struct {
        const char* name;
        void (*setup)(F);
        std::vector<std::string> tables;
    } rows[] = {
        {"new Standard EXE", [](F) {}, {"Customers", "OrderDetails"}},
        {"new ActiveX DLL without the error handler option",
         [](F f) { f.settings.mbErrorHandler = false, f.newProject("OleDll"); }, {"A", "A"}},
        {"new ActiveX EXE, the store with a last slash",
         [](F f) { f.newProject("OleExe"), f.settings.msStoreDir = "/out/", f.settings.msProjectFile = "/out//Orders.vbp"; },
         {"A"}},
        {"existing without support lines",
         [](F f) { useExisting(f, "Type=OleDll\r\nReference=*\\G{x}#2.0#0#a.tlb#A\r\nName=\"Old\"\r\n"); }, {"Orders"}},
        {"existing with LF and CR line ends, a section, a class already listed and no last line end", [](F f) {
             useExisting(f, "Type=Exe\nModule=modRowwrightErrHndlr; modRowwrightErrHndlr.bas\rClass=clsRwtConn; "
                            "clsRwtConn.cls\nClass=clsOrders; /out/clsOrders.cls\n[MS Transaction Server]\nAutoRefresh=1");
         }, {"Orders", "Orders"}},
        {"existing with an RVB line",
         [](F f) { useExisting(f, "Type=Control\r\nName=\"X\"\r\nxx[RVB] clsRwtConn\r\nTail=1\r\n"); }, {}},
        {"existing with Windows-1252 text",
         [](F f) { useExisting(f, "Type=Exe\r\nTitle=\"Caf\xE9 \x80 \x81\"\r\n"), f.settings.mbErrorHandler = false; },
         {}},
        {"existing beside a file with the temporary name",
         [](F f) { useExisting(f, "Type=Exe\r\n"), f.fs.put("/proj/.Existing.vbp.rwnew", "user data"); }, {}},
        // A failed rewrite leaves the original intact and no temporary file.
        {"existing, the disk fills",
         [](F f) { useExisting(f, kKeep), f.fs.failWrite("/proj/.Existing.vbp.rwnew", 10, kErrDiskFull); }, {"Orders"}},
        {"existing, the rename fails",
         [](F f) { useExisting(f, kKeep), f.fs.failRename("/proj/Existing.vbp", kErrPermissionDenied); }, {"Orders"}},
        {"new over an earlier file, the disk fills", [](F f) {
             useExisting(f, kKeep), f.settings.mbExistingProject = false, f.settings.mbStdExe = true;
             f.fs.failWrite("/proj/.Existing.vbp.rwnew", 10, kErrDiskFull);
         }, {"Orders"}},
    };
    std::string all;
    for (const auto& r : rows) {
        GenFixture fx;
        r.setup(fx);
        ProjectFileWriter writer(fx.files, fx.settings);
        all += "== " + std::string(r.name) + "\r\n";
        try {
            if (fx.settings.mbExistingProject) {
                const ProjectFileFlags flags = writer.extend();
                all += "type " + flags.projectTypeWord + ", error handler module " +
                       (flags.hasErrorHandlerModule ? "yes" : "no") + ", connection class " +
                       (flags.hasConnectionClass ? "yes" : "no") + "\r\n";
            } else {
                writer.create();
            }
            for (const auto& t : r.tables) writer.appendTable(t);
            writer.close();
        } catch (const RuntimeError& e) {
            all += "error " + std::to_string(e.number) + "\r\n";
            writer.abandon();
        }
        for (const auto& [path, bytes] : fx.fs.files()) all += "-- " + path + ":\r\n" + bytes;
    }
    test::expectGolden("project_files.txt", all);
}

}  // namespace
}  // namespace rw
