#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "model/gen_context.h"
#include "platform/file_system.h"
#include "support/memory_file_system.h"
#include "support/scripted_ui.h"

namespace rw::test {

// A generation context in memory: every option on, a new Standard EXE
// project "Orders" in "/out", a connection with fixed properties, a scripted
// user interface and a clock fixed at 12/5/2026 8:17:21 AM.
struct GenFixture {
    GenFixture();
    MemoryFileSystem fs;
    FileTable files{fs};
    ScriptedUi ui;
    FixedClock clock{DateTime{2026, 12, 5, 8, 17, 21}};
    OfflineConnection conn{std::string("Microsoft SQL Server"), std::string("Northwind")};
    GenerationSettings settings;
    FieldGrid grid;
    GenContext ctx() { return GenContext{settings, grid, conn, ui, clock, files}; }
    // Lets `write` fill an in-memory file through its number; returns its bytes.
    std::string capture(const std::function<void(GenContext&, int)>& write);
    void newProject(const std::string& kind = "Exe");  // "Exe", "OleExe" or "OleDll"
    std::vector<std::string> messageTexts() const;
};

// Passes every call on and raises `stop` (to SIGTERM's number, 15) when the
// file `trigger` is created, as a signal arriving at that moment would.
class StopWhenCreated final : public ForwardingFileSystem {
public:
    StopWhenCreated(FileSystem& inner, std::string trigger) : ForwardingFileSystem(inner), trigger_(std::move(trigger)) {}
    std::atomic<int> stop{0};
    std::unique_ptr<ByteSink> create(const std::string& path) override {
        if (path == trigger_) stop = 15;
        return inner_.create(path);
    }
    TempFile createTempBeside(const std::string& target) override {
        TempFile temp = inner_.createTempBeside(target);
        if (temp.path == trigger_) stop = 15;
        return temp;
    }

private:
    std::string trigger_;
};

FieldRow row(std::string table, std::string field, int dataType, bool primary = false, bool autoNumber = false,
             bool nullable = true);

}  // namespace rw::test
