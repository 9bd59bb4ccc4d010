#pragma once
// A generation context in memory: settings, field rows, a connection with
// fixed properties, a scripted user interface, a clock fixed at
// 12/5/2026 8:17:21 AM and an in-memory file system.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "model/gen_context.h"
#include "platform/file_system.h"
#include "support/memory_file_system.h"
#include "support/scripted_ui.h"

namespace rw::test {

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

    // Opens an in-memory file, lets `write` fill it through its number,
    // closes it and returns its bytes.
    std::string capture(const std::function<void(GenContext&, int)>& write);

    // Every option on; a new Standard EXE project in "/out".
    void allOptions(bool on);
    void newProject(const std::string& kind = "Exe");

    // The messages shown, one string each.
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
